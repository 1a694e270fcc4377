#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "tests/frontend/Doubles.h"
#include "tests/frontend/Sequences.h"

namespace frontend::testing {
namespace {

CivilDate DaysBefore(CivilDate today, int days) {
  std::int64_t z = DaysFromCivil(today) - days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const unsigned d = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
  const unsigned m = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0)), m, d};
}

TEST(StartUp, MediatorInitState) {
  Rig rig;
  EXPECT_EQ(rig.mediator->states().current(), &rig.mediator->states().three());
  EXPECT_EQ(rig.mediator->tools().current(), rig.mediator->tools().empty());
  EXPECT_FALSE(rig.main.refreshEnabled);
  EXPECT_EQ(rig.main.clears, 1);
  EXPECT_EQ(rig.mediator->GetSourceFile(), "");
  // RefreshSet without a document keeps the start-up indicator.
  rig.mediator->RefreshSet();
  EXPECT_EQ(rig.main.header, "Document not selected");
  EXPECT_EQ(rig.main.colour, kColourGrey);
  EXPECT_EQ(rig.pump.passes, 0);
  // "Next Document" before any intake changes nothing.
  rig.mediator->NextDocument();
  EXPECT_TRUE(rig.main.rows.empty());
}

TEST(Indicator, BandsByAge) {
  struct Row {
    int days;
    std::uint32_t colour;
    const char* header;
  } rows[] = {
      {0, kColourGreen, "Document Header OK!"},
      {29, kColourGreen, "Document Header OK!"},
      {30, kColourYellow, "Document Header may be corrupt..."},
      {31, kColourYellow, "Document Header may be corrupt..."},
      {60, kColourYellow, "Document Header may be corrupt..."},
      {61, kColourRed, "Document Header Needs to be Refreshed!"},
      {40000, kColourRed, "Document Header Needs to be Refreshed!"},
  };
  for (const auto& r : rows) {
    Rig rig;
    rig.times.dates["/d/x.qwd"] = DaysBefore(rig.clock.today, r.days);
    ASSERT_EQ(clsFileSystem::GetDayCount(rig.times.dates["/d/x.qwd"], rig.clock.today), r.days);
    rig.mediator->SetSourceFile("/d/x.qwd");
    rig.mediator->RefreshSet();
    EXPECT_EQ(rig.main.colour, r.colour) << r.days;
    EXPECT_EQ(rig.main.header, r.header) << r.days;
    EXPECT_EQ(rig.pump.passes, 3);
    EXPECT_TRUE(rig.messages.boxes.empty());
  }
  EXPECT_EQ(BandForAge(0).body,
            std::string("Document header appears to be ok, If it is not acting properly please refresh header."));
  EXPECT_EQ(BandForAge(45).body,
            std::string("Document header should be refreshed, if it is not acting properly please refresh header."));
  EXPECT_EQ(BandForAge(61).body, std::string("Document header is at risk of serious corruption. It is recommended to "
                                             "refresh the document header, please refresh header."));
}

TEST(Indicator, UnreadableDateLeavesGreyAndReports) {
  Rig rig;
  rig.main.header = "previous";
  rig.main.colour = kColourGreen;
  rig.mediator->SetSourceFile("/d/gone.qwd");
  rig.mediator->RefreshSet();
  EXPECT_EQ(rig.main.colour, kColourGrey);
  EXPECT_EQ(rig.main.header, "previous");
  ASSERT_EQ(rig.messages.boxes.size(), 1u);
  EXPECT_EQ(rig.messages.boxes[0].caption, "Quillwright, Mendora");
}

TEST(NextButton, DispatchTable) {
  struct Row {
    const char* text;
    const char* firstEvent;  // nullptr: nothing happens
    int tool;                // 0 empty, 1 xinsert, 2 blkctpste, 3 rmvdlycds
    std::size_t starts;
  } rows[] = {
      {"Block Copy Paste", "create Quillwright.Quillscript", 2, 0},
      {"Edit Styles", "create Quillwright.Quillscript", 3, 0},
      {"Refresh document header", "~", 1, 0},
      {"Analyze and repair document", nullptr, 0, 1},
      {"analyze and repair document", nullptr, 0, 0},
      {"EDIT STYLES", nullptr, 0, 0},
      {"Block Copy Paste ", nullptr, 0, 0},
      {"", nullptr, 0, 0},
      {"Something else", nullptr, 0, 0},
  };
  for (const auto& r : rows) {
    Rig rig;
    rig.mediator->Next(r.text);
    if (r.firstEvent) {
      ASSERT_FALSE(rig.log.empty()) << r.text;
      EXPECT_EQ(rig.log.front(), r.firstEvent) << r.text;
    } else {
      EXPECT_TRUE(rig.log.empty()) << r.text;
    }
    const auto& t = rig.mediator->tools();
    const StateTools* expected[] = {t.empty(), t.xinsert(), t.blkctpste(), t.rmvdlycds()};
    EXPECT_EQ(t.current(), expected[r.tool]) << r.text;
    EXPECT_EQ(rig.launcher.starts.size(), r.starts) << r.text;
  }
}

TEST(NextButton, RefreshHeaderPumpsOnceBeforeTheSequence) {
  Rig rig;
  rig.mediator->SetSourceFile("/d/x.qwd");
  rig.mediator->Next("Refresh document header");
  std::vector<std::string> expected{"~"};
  Append(expected, XInsertSuccess("/d/x.qwd"));
  EXPECT_EQ(rig.log, expected);
}

TEST(ToolStates, CloseThenRepairStillRuns) {
  Rig rig;
  rig.mediator->StartStateThree();
  rig.mediator->StartStateToolEmpty();
  rig.mediator->StateToolsCommand1();  // the empty tool does nothing
  EXPECT_TRUE(rig.log.empty());
  rig.mediator->Next("Block Copy Paste");
  EXPECT_FALSE(rig.log.empty());
  EXPECT_EQ(rig.mediator->tools().current(), rig.mediator->tools().blkctpste());
}

TEST(Sequences, SuccessLogsWithPumpCounts) {
  Rig rig;
  rig.mediator->SetSourceFile("/d/my doc.qwd");
  rig.mediator->XInsert();
  EXPECT_EQ(rig.log, XInsertSuccess("/d/my doc.qwd"));
  rig.log.clear();
  rig.mediator->BlockCutPaste();
  EXPECT_EQ(rig.log, BlockCutPasteSuccess("/d/my doc.qwd"));
  rig.log.clear();
  EXPECT_TRUE(rig.mediator->RemoveDelayCode());
  EXPECT_EQ(rig.log, RemoveDelayCodeSuccess("/d/my doc.qwd"));
  EXPECT_EQ(rig.automation.live, 0);
}

TEST(Sequences, XInsertFailureRegions) {
  const std::string path = "/d/x.qwd";
  for (const char* failing : {"Display n:1", "FileNew", "PosDocTop", "KeyType s:x", "FileInsert s:/d/x.qwd",
                              "DeleteCharNext", "QWActivate"}) {
    Rig rig;
    rig.mediator->SetSourceFile(path);
    rig.automation.fail = std::string(failing).substr(0, std::string(failing).find(' '));
    rig.mediator->XInsert();
    auto expected = UpTo(XInsertSuccess(path), failing);
    Append(expected, {"box XInsert failed"});
    Append(expected, Pumps(6));
    EXPECT_EQ(rig.log, expected) << failing;
    EXPECT_EQ(rig.automation.live, 0) << failing;
  }
  // The Save As step fails silently.
  Rig rig;
  rig.mediator->SetSourceFile(path);
  rig.automation.fail = "FileSaveAsDlg";
  rig.mediator->XInsert();
  EXPECT_EQ(rig.log, XInsertSuccess(path));
  // No server: the first step fails.
  Rig none;
  none.automation.unavailable = true;
  none.mediator->XInsert();
  auto expected = std::vector<std::string>{"create Quillwright.Quillscript", "box XInsert failed"};
  Append(expected, Pumps(6));
  EXPECT_EQ(none.log, expected);
  EXPECT_EQ(none.messages.boxes[0].caption, "Quillwright, Mendora");
  EXPECT_EQ(none.messages.boxes[0].icon, MessageIcon::None);
}

TEST(Sequences, BlockCutPasteFailureRegionsAndBlankAnswers) {
  const std::string path = "/d/x.qwd";
  for (const char* failing : {"FileOpen s:/d/x.qwd", "get envDocBlank", "Display n:1", "SelectAll", "SelectDelete",
                              "FileNew", "Undelete n:1", "QWActivate", "FileSaveAsDlg"}) {
    Rig rig;
    rig.mediator->SetSourceFile(path);
    std::string name = failing;
    if (name.rfind("get ", 0) == 0) name = name.substr(4);
    rig.automation.fail = name.substr(0, name.find(' '));
    rig.mediator->BlockCutPaste();
    auto expected = UpTo(BlockCutPasteSuccess(path), failing);
    Append(expected, {"box BlockCutPaste failed"});
    EXPECT_EQ(rig.log, expected) << failing;
    EXPECT_EQ(rig.automation.live, 0);
  }
  struct Blank {
    bus::Variant value;
    bool blank;
  } blanks[] = {{true, true}, {std::int16_t{-1}, true}, {std::int32_t{-1}, true}, {false, false},
                {std::int16_t{0}, false}, {std::int16_t{1}, false}, {std::string("true"), false}};
  for (const auto& b : blanks) {
    Rig rig;
    rig.mediator->SetSourceFile(path);
    rig.automation.blank = b.value;
    rig.mediator->BlockCutPaste();
    if (b.blank) {
      EXPECT_EQ(rig.log, (std::vector<std::string>{"create Quillwright.Quillscript", "FileOpen s:/d/x.qwd",
                                                   "get envDocBlank", "box Document appears to be blank!"}));
    } else {
      EXPECT_EQ(rig.log, BlockCutPasteSuccess(path)) << Describe(b.value);
    }
  }
}

TEST(Sequences, RemoveDelayCodeFailureBringsMainWindowForward) {
  for (const char* failing : {"FileOpen", "QWActivate", "Styleslistdlg"}) {
    Rig rig;
    rig.mediator->SetSourceFile("/d/x.qwd");
    rig.automation.fail = failing;
    EXPECT_FALSE(rig.mediator->RemoveDelayCode()) << failing;
    ASSERT_GE(rig.log.size(), 2u);
    EXPECT_EQ(rig.log[rig.log.size() - 2], "box Error editing Styles");
    EXPECT_EQ(rig.log.back(), "bring-forward");
  }
}

TEST(ViewDoc, StartsTheInspectorBesideMendora) {
  Rig rig;
  rig.mediator->ViewDoc();  // no document: no argument at all
  rig.mediator->SetSourceFile("/docs/my file.qwd");
  rig.mediator->ViewDoc();
  rig.mediator->OpenInspector();
  ASSERT_EQ(rig.launcher.starts.size(), 3u);
  for (const auto& s : rig.launcher.starts) EXPECT_EQ(s.program, "/opt/quillwright/salvino");
  EXPECT_TRUE(rig.launcher.starts[0].args.empty());
  EXPECT_EQ(rig.launcher.starts[1].args, std::vector<std::string>{"/docs/my file.qwd"});
  EXPECT_TRUE(rig.launcher.starts[2].args.empty());
  EXPECT_TRUE(rig.log.empty());
}

TEST(ViewDoc, QuillwrightBranchReportsFailures) {
  Rig rig;
  rig.main.quillwright = true;
  rig.mediator->SetSourceFile("/d/x.qwd");
  rig.mediator->ViewDoc();
  EXPECT_EQ(rig.log, (std::vector<std::string>{"create Quillwright.Quillscript", "AppRestore", "FileOpen s:/d/x.qwd"}));
  EXPECT_TRUE(rig.launcher.starts.empty());
  rig.log.clear();
  rig.automation.unavailable = true;
  rig.mediator->ViewDoc();
  ASSERT_EQ(rig.messages.boxes.size(), 1u);
  EXPECT_EQ(rig.automation.live, 0);
}

TEST(Help, OnlineHelpAndGuides) {
  Rig rig;
  rig.opener.html = false;
  rig.mediator->OnlineHelp();
  ASSERT_EQ(rig.messages.boxes.size(), 1u);
  EXPECT_EQ(rig.messages.boxes[0].text, "Could not find associated Browser");
  EXPECT_EQ(rig.messages.boxes[0].caption, "Browser Not Found");
  EXPECT_EQ(rig.messages.boxes[0].icon, MessageIcon::Exclamation);
  EXPECT_TRUE(rig.opener.urls.empty());

  rig.opener.html = true;
  rig.opener.urlOk = false;
  rig.mediator->OnlineHelp();
  ASSERT_EQ(rig.messages.boxes.size(), 2u);
  EXPECT_EQ(rig.messages.boxes[1].text, "Web Page not Opened");
  EXPECT_EQ(rig.messages.boxes[1].caption, "URL Failed");
  EXPECT_EQ(rig.opener.urls, std::vector<std::string>{kSupportForumUrl});

  rig.opener.urlOk = true;
  rig.mediator->OnlineHelp();
  EXPECT_EQ(rig.messages.boxes.size(), 2u);

  rig.mediator->OpenGuide("QuickStart.pdf");
  rig.mediator->OpenGuide("DocCorrupt.pdf");
  EXPECT_EQ(rig.opener.files,
            (std::vector<std::string>{"/opt/quillwright/QuickStart.pdf", "/opt/quillwright/DocCorrupt.pdf"}));
}

// --- intake over real folders ---

class TempDir {
 public:
  TempDir() {
    static int n = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("mendora-intake-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string Touch(const std::string& name) const {
    const auto p = path_ / name;
    std::ofstream(p.string()) << "x";
    return p.string();
  }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

TempDir MixedFolder() {
  TempDir d;
  for (const char* n : {"a.qwd", "A.qwd", "b.QWD", "e.Qwd", "c.qwdx", "d", "f.qw", "g.qwd.bak", "hqwd", ".hidden.qwd"})
    d.Touch(n);
  std::filesystem::create_directories(d.str() + "/sub.qwd");
  return d;
}

TEST(Intake, SourceFolderPreviewsAcceptedNames) {
  TempDir d = MixedFolder();
  Rig rig;
  rig.dialogs.folder = d.str();
  rig.mediator->SourceFolder();
  EXPECT_EQ(rig.dialogs.prompts, std::vector<std::string>{"Select a Source Folder"});
  EXPECT_EQ(rig.batch.source, d.str());
  EXPECT_EQ(rig.mediator->GetSourceFolder(), d.str());
  EXPECT_EQ(rig.batch.found, (std::vector<std::string>{"A.qwd", "a.qwd", "b.QWD", "e.Qwd"}));
  EXPECT_TRUE(rig.main.rows.empty());

  // A cancelled browser changes nothing.
  rig.dialogs.folder = "";
  rig.mediator->SourceFolder();
  EXPECT_EQ(rig.batch.found.size(), 4u);
  EXPECT_EQ(rig.mediator->GetSourceFolder(), d.str());

  rig.mediator->TargetFolder();
  EXPECT_EQ(rig.batch.target, "");
  EXPECT_EQ(rig.dialogs.prompts.back(), "Select a Target Folder");
}

TEST(Intake, BatchListsEveryAcceptedFileInQueueOrder) {
  TempDir d = MixedFolder();
  Rig rig;
  rig.dialogs.folder = d.str() + "/";  // a trailing separator gives no doubled one
  rig.mediator->SourceFolder();
  rig.mediator->SetSourceFile("/before.qwd");
  rig.mediator->StartBatch();
  EXPECT_EQ(rig.mediator->states().current(), &rig.mediator->states().two());
  EXPECT_TRUE(rig.main.refreshEnabled);
  const std::string f = d.str() + "/";
  EXPECT_EQ(rig.main.addOrder, (std::vector<std::string>{f + "A.qwd", f + "a.qwd", f + "b.QWD", f + "e.Qwd"}));
  EXPECT_EQ(rig.main.keys.size(), 4u);  // a.qwd and A.qwd both have rows
  EXPECT_EQ(rig.main.currentAfterEach,
            (std::vector<std::string>{f + "A.qwd", f + "a.qwd", f + "b.QWD", f + "e.Qwd"}));
  EXPECT_EQ(rig.mediator->GetSourceFile(), f + "e.Qwd");
  // The indicator refresh of "Start" concerned the earlier document, which is gone.
  ASSERT_EQ(rig.messages.boxes.size(), 1u);

  // "Next Document" after the drain changes nothing; a second batch starts afresh.
  rig.mediator->NextDocument();
  EXPECT_EQ(rig.main.rows.size(), 4u);
  rig.mediator->StartBatch();
  EXPECT_EQ(rig.main.rows.size(), 4u);
}

TEST(Intake, BatchWithoutUsableFolderListsNothing) {
  for (const std::string& folder : {std::string(), std::string("/nonexistent/mendora/folder")}) {
    Rig rig;
    rig.mediator->SetSourceFolder(folder);
    rig.mediator->SetSourceFile("/keep.qwd");
    rig.times.dates["/keep.qwd"] = rig.clock.today;
    rig.mediator->StartBatch();
    EXPECT_TRUE(rig.main.rows.empty()) << folder;
    EXPECT_EQ(rig.mediator->GetSourceFile(), "/keep.qwd");
    EXPECT_EQ(rig.messages.boxes.size(), 1u) << folder;
  }
}

TEST(Intake, LargeFolderDrainsWithoutRecursion) {
  TempDir d;
  constexpr int kCount = 50000;
  for (int i = 0; i < kCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "doc%05d.qwd", i);
    d.Touch(name);
  }
  Rig rig;
  rig.mediator->SetSourceFolder(d.str());
  rig.mediator->StartBatch();
  EXPECT_EQ(rig.main.rows.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(rig.mediator->GetSourceFile(), d.str() + "/doc49999.qwd");
}

TEST(Intake, SingleDocument) {
  struct Row {
    std::optional<std::string> chosen;
    std::size_t rows;
    const char* current;
  } rows[] = {
      {std::string("/d/Report.QWD"), 1, "/d/Report.QWD"},
      {std::string("/d/notes.txt"), 0, "/d/notes.txt"},  // stays current, lists nothing
      {std::nullopt, 0, "/earlier.qwd"},                  // Cancel
  };
  for (const auto& r : rows) {
    Rig rig;
    rig.main.AddRow("/x.qwd", "/x.qwd");
    rig.mediator->SetSourceFile("/earlier.qwd");
    rig.times.dates["/d/Report.QWD"] = rig.clock.today;
    rig.times.dates["/d/notes.txt"] = rig.clock.today;
    rig.dialogs.open = r.chosen;
    rig.mediator->SingleSourceFile();
    EXPECT_EQ(rig.main.rows.size(), r.rows);
    EXPECT_EQ(rig.mediator->GetSourceFile(), r.current);
    EXPECT_FALSE(rig.main.nextVisible);
    if (r.chosen) {
      EXPECT_EQ(rig.mediator->states().current(), &rig.mediator->states().one());
      EXPECT_TRUE(rig.main.refreshEnabled);
      EXPECT_EQ(rig.main.header, "Document Header OK!");
      EXPECT_TRUE(rig.messages.boxes.empty());
    } else {
      EXPECT_FALSE(rig.main.refreshEnabled);
    }
  }
}

TEST(Intake, ChainAcceptsOnlyQwdInAnyCase) {
  bool accepted = true;
  ExtensionChain chain(accepted);
  struct Row {
    const char* ext;
    bool ok;
  } rows[] = {{"qwd", true}, {"QWD", true}, {"qWd", true}, {"qwdx", false}, {"qw", false}, {"Unknown", false}, {"", false}};
  for (const auto& r : rows) EXPECT_EQ(chain.Accepts(r.ext), r.ok) << r.ext;
}

}  // namespace
}  // namespace frontend::testing
