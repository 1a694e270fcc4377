// The sheet controller over a recording view and recording pages: no widgets.
#include "sheet/Sheet.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <memory>
#include <string>
#include <vector>

#include "engine/EngineContext.h"
#include "sheet/Settings.h"
#include "sheet/SheetProfile.h"
#include "tests/sheet/Fixtures.h"
#include "tests/support/Recording.h"

namespace inspector::testing {
namespace {

using Log = std::vector<std::string>;
using testsupport::ScopedContext;
using testsupport::ScopedTempDir;

const char* const kNames[kPageCount] = {"Repair", "Info", "Format", "Prefix", "Codes", "Filter", "SubDoc"};

class FakeView : public SheetView {
public:
    explicit FakeView(Log* log) : log_(log) {}
    void SetCaption(const std::string& c) override { caption = c; }
    void SetBackEnabled(bool e) override { back = e; }
    void SetRepairEnabled(bool e) override { repair = e; }
    void SetAdvancedText(const std::string& t) override { advancedText = t; }
    void AddPage(int i) override { log_->push_back(std::string("add ") + kNames[i]); }
    void RemovePage(int i) override { log_->push_back(std::string("remove ") + kNames[i]); }
    void ShowPage(int i) override { log_->push_back(std::string("show ") + kNames[i]); }

    std::string caption, advancedText;
    bool back = true, repair = true;

private:
    Log* log_;
};

class FakePage : public SheetPage {
public:
    FakePage(int index, Log* log) : index_(index), log_(log) {}
    void OnSetActive() override {
        window = true;
        log_->push_back(std::string("active ") + kNames[index_]);
    }
    bool HasWindow() const override { return window; }
    void UpdatePage(uint32_t flags) override {
        char buf[64];
        std::snprintf(buf, sizeof buf, "update %s %X", kNames[index_], flags);
        log_->push_back(buf);
    }
    void MarkNeedsRefill() override { ++refillMarks; }
    void SelectItem(uint32_t row) override { selected.push_back(row); }
    bool FilterOn() const override { return filter; }
    void SetFilterOff() override { filter = false; }
    size_t RowCount() const override { return rows.size(); }
    uint32_t RowTag(size_t row) const override { return rows.at(row); }
    void ApplyFilter() override { log_->push_back("apply filter"); }

    bool window = false;
    bool filter = false;
    int refillMarks = 0;
    std::vector<uint32_t> rows;
    std::vector<uint32_t> selected;

private:
    int index_;
    Log* log_;
};

// A sheet over fakes, with its own settings store and engine context.
struct Rig {
    SettingsSandbox settings;
    ScopedContext ctx;
    ScopedTempDir dir;
    Log log;
    FakeView view{&log};
    std::vector<std::unique_ptr<FakePage>> pages;
    std::unique_ptr<CTabSheet> sheet;

    Rig() { Make(); }
    void Make() {
        pages.clear();
        sheet = std::make_unique<CTabSheet>(SalvinoSheetProfile(), &view);
        std::array<SheetPage*, kPageCount> p{};
        for (int i = 0; i < kPageCount; ++i) {
            pages.push_back(std::make_unique<FakePage>(i, &log));
            p[static_cast<size_t>(i)] = pages.back().get();
        }
        sheet->AttachPages(p);
    }
    void Start(const std::string& pending = "") {
        sheet->SetPendingPath(pending);
        sheet->OnCreate();
        sheet->OnInitDialog();
    }
    FakePage& page(int i) { return *pages[static_cast<size_t>(i)]; }
    std::string Write(const std::string& name, const testsupport::DocBuilder& b) {
        return WriteDoc(dir, name, b, false);
    }
    std::string WriteCompound(const std::string& name, const testsupport::DocBuilder& b) {
        return WriteDoc(dir, name, b, true);
    }
    Log Take() {
        Log out;
        out.swap(log);
        return out;
    }
};

TEST(PendingPath, ArgumentsJoinedBySingleBlanks) {
    struct Case {
        std::vector<const char*> args;  // after the program's name
        std::string expected;
    };
    const Case cases[] = {
        {{}, ""},
        {{"/docs/a.qwd"}, "/docs/a.qwd"},
        {{"/my", "docs/a", "b.qwd"}, "/my docs/a b.qwd"},
        {{"\"/docs/a.qwd\""}, "\"/docs/a.qwd\""},
        {{"a.qwd", ""}, "a.qwd "},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"salvino"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(PendingPathFromArguments(static_cast<int>(argv.size()), argv.data()), c.expected);
    }
}

TEST(PendingPath, BlanksInsideAPathStillOpenIt) {
    Rig r;
    const std::string path = r.Write("two words.qwd", SoundDoc());
    const std::string dirPart = path.substr(0, path.rfind('/') + 1);
    const std::string first = dirPart + "two";
    const char* argv[] = {"salvino", first.c_str(), "words.qwd"};
    r.Start(PendingPathFromArguments(3, argv));
    EXPECT_NE(r.sheet->Document(), nullptr);
    EXPECT_EQ(r.view.caption, "two words.qwd (QW 6.0 format) - Salvino");
}

TEST(PendingPath, QuotesStayAndTheFileDoesNotOpen) {
    Rig r;
    const std::string path = r.Write("a.qwd", SoundDoc());
    r.Start("\"" + path + "\"");
    EXPECT_EQ(r.sheet->Document(), nullptr);
    ASSERT_EQ(r.ctx.messages.boxes.size(), 1u);
    EXPECT_EQ(r.ctx.messages.boxes[0].text, "File open failed.");
    EXPECT_EQ(r.view.caption, "Salvino");
}

TEST(PendingPath, NoneLoadsNothingAndRefreshesThePages) {
    Rig r;
    r.Start();
    EXPECT_EQ(r.sheet->Document(), nullptr);
    EXPECT_TRUE(r.ctx.messages.boxes.empty());
    const Log log = r.Take();
    EXPECT_NE(std::find(log.begin(), log.end(), "update Info 1"), log.end());
    EXPECT_EQ(r.view.caption, "Salvino");
}

TEST(Settings, EmptyStoreGivesTheDefaults) {
    SettingsSandbox sandbox;
    QSettings store = sandbox.Store();
    SheetSettings s;
    s.Read(store);
    EXPECT_EQ(s.hex, 1u);
    EXPECT_EQ(s.updateInterval, 60u);
    EXPECT_EQ(s.openFilterIndex, 1u);
    EXPECT_EQ(s.buttonDefaults, 3u);
    EXPECT_EQ(s.batchAvailable, 0u);
    EXPECT_EQ(s.codeMasks, (std::array<uint32_t, 2>{0xFFFFFFFF, 0xFFFFFFFF}));
    EXPECT_EQ(s.graphicsMasks, (std::array<uint32_t, 2>{0xFFFFFFFF, 0xFFFFFFFF}));
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(s.prefixMasks[i], 0xFFFFFFFFu) << i;
    EXPECT_EQ(s.prefixMasks[7], 0x7FFFFFFFu);
    EXPECT_FALSE(s.listFont.has_value());
}

TEST(Settings, MaskPairsOfZeroMeanAll) {
    struct Case {
        const char* first;
        const char* second;
        std::array<uint32_t, 2> expected;
    };
    const Case cases[] = {
        {"0", "0", {0xFFFFFFFF, 0xFFFFFFFF}},
        {"0", "5", {0, 5}},
        {"16", "0", {16, 0}},
        {"-1", "0", {0xFFFFFFFF, 0}},          // signed values of older stores
        {"4294967294", "0", {0xFFFFFFFE, 0}},  // unsigned as written
        {"junk", "", {0xFFFFFFFF, 0xFFFFFFFF}},
    };
    for (const Case& c : cases) {
        SettingsSandbox sandbox;
        QSettings store = sandbox.Store();
        for (const char* group : {"QW", "QWG"}) {
            store.setValue(QStringLiteral("Settings/%1 Filter Flags 1").arg(QLatin1String(group)), QString::fromLatin1(c.first));
            store.setValue(QStringLiteral("Settings/%1 Filter Flags 2").arg(QLatin1String(group)), QString::fromLatin1(c.second));
        }
        SheetSettings s;
        s.Read(store);
        EXPECT_EQ(s.codeMasks, c.expected) << c.first << "," << c.second;
        EXPECT_EQ(s.graphicsMasks, c.expected) << c.first << "," << c.second;
    }
}

TEST(Settings, WrittenUnsignedAndReadBack) {
    SettingsSandbox sandbox;
    SheetSettings s;
    s.hex = 0;
    s.buttonDefaults = 0x0400000D;
    s.codeMasks = {0x80000006, 0x1};
    s.prefixMasks[7] = 0xFFFFFFFF;
    {
        QSettings store = sandbox.Store();
        s.Write(store);
    }
    QSettings store = sandbox.Store();
    EXPECT_EQ(store.value("Settings/QW Filter Flags 1").toString(), "2147483654");
    EXPECT_EQ(store.value("Settings/PREFIX Filter Flags 8").toString(), "4294967295");
    EXPECT_FALSE(store.contains("Settings/Font"));
    SheetSettings back;
    back.Read(store);
    EXPECT_EQ(back.hex, 0u);
    EXPECT_EQ(back.buttonDefaults, 0x0400000Du);
    EXPECT_EQ(back.codeMasks, s.codeMasks);
    EXPECT_EQ(back.prefixMasks, s.prefixMasks);
}

TEST(Settings, FontTextHoldsThirteenNumbers) {
    LogFont f;
    f.height = -13;
    f.weight = 700;
    f.italic = 1;
    f.charSet = 238;
    f.pitchAndFamily = 49;
    std::string text;
    ExchangeLogFontText(text, f, FontExchange::FontToText);
    EXPECT_EQ(text, "-13,0,0,0,700,1,0,0,238,0,0,0,49");
    LogFont back;
    ExchangeLogFontText(text, back, FontExchange::TextToFont);
    EXPECT_EQ(back, f);

    struct Case {
        std::string text;
        int32_t height, weight;
        uint8_t italic, pitch;
    };
    const Case cases[] = {
        {"-16,0,0,0,400", -16, 400, 0, 0},               // missing fields stay 0
        {"-16,0,0,0,400,257,0,0,0,0,0,0,300", -16, 400, 1, 44},  // bytes keep their low byte
        {"", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::string t = c.text;
        LogFont got;
        got.height = 99;
        ExchangeLogFontText(t, got, FontExchange::TextToFont);
        EXPECT_EQ(got.height, c.height) << c.text;
        EXPECT_EQ(got.weight, c.weight) << c.text;
        EXPECT_EQ(got.italic, c.italic) << c.text;
        EXPECT_EQ(got.pitchAndFamily, c.pitch) << c.text;
    }
}

TEST(Settings, ListFontNeedsBothTexts) {
    SettingsSandbox sandbox;
    QSettings store = sandbox.Store();
    SheetSettings s;
    store.setValue("Settings/Font", "-12,0,0,0,400,0,0,0,0,0,0,0,0");
    s.Read(store);
    EXPECT_FALSE(s.listFont.has_value());
    store.setValue("Settings/FaceName", "DejaVu Sans Mono, a face name longer than thirty-one");
    s.Read(store);
    ASSERT_TRUE(s.listFont.has_value());
    EXPECT_EQ(s.listFont->height, -12);
    EXPECT_EQ(s.listFont->faceName, "DejaVu Sans Mono, a face name l");
}

TEST(RecentFiles, OrderAndLimit) {
    RecentFiles r(9);
    r.Add("/a");
    r.Add("/b");
    r.Add("/c");
    EXPECT_EQ(r.Entries(), (std::vector<std::string>{"/c", "/b", "/a"}));
    r.Add("/c");  // already at the head
    EXPECT_EQ(r.Entries(), (std::vector<std::string>{"/c", "/b", "/a"}));
    r.Add("/a");  // further down: to the head
    EXPECT_EQ(r.Entries(), (std::vector<std::string>{"/a", "/c", "/b"}));
    r.Add("/A");  // another path: comparison keeps case
    r.Add("");
    EXPECT_EQ(r.Entries().size(), 4u);
    for (int i = 0; i < 6; ++i) r.Add("/x" + std::to_string(i));
    ASSERT_EQ(r.Entries().size(), 9u);
    EXPECT_EQ(r.Entries().front(), "/x5");
    EXPECT_EQ(r.Entries().back(), "/c");  // "/b", the oldest, went
    EXPECT_EQ(r.Get(1), "/x5");
    EXPECT_EQ(r.Get(9), "/c");
    EXPECT_FALSE(r.Get(10).has_value());
    EXPECT_FALSE(r.Get(0).has_value());
}

TEST(RecentFiles, WriteDeletesStaleValuesUpToTheFirstGap) {
    SettingsSandbox sandbox;
    {
        QSettings store = sandbox.Store();
        for (int n : {1, 2, 3, 4, 5, 7}) store.setValue(QStringLiteral("Recent Files/File_%1").arg(n), QStringLiteral("/old%1").arg(n));
    }
    RecentFiles r(9);
    {
        QSettings store = sandbox.Store();
        r.Read(store);
    }
    EXPECT_EQ(r.Entries(), (std::vector<std::string>{"/old1", "/old2", "/old3", "/old4", "/old5"}));
    RecentFiles shorter(9);
    shorter.Add("/three");
    shorter.Add("/two");
    shorter.Add("/one");
    {
        QSettings store = sandbox.Store();
        shorter.Write(store);
    }
    QSettings store = sandbox.Store();
    EXPECT_EQ(store.value("Recent Files/File_1").toString(), "/one");
    EXPECT_EQ(store.value("Recent Files/File_3").toString(), "/three");
    EXPECT_FALSE(store.contains("Recent Files/File_4"));
    EXPECT_FALSE(store.contains("Recent Files/File_5"));
    EXPECT_TRUE(store.contains("Recent Files/File_7"));  // beyond the first gap
}

TEST(RecentFiles, LoadsAddAndTheListSurvivesTheSheet) {
    Rig r;
    const std::string a = r.Write("a.qwd", SoundDoc());
    const std::string b = r.Write("b.qwd", SoundDoc());
    r.Start();
    r.sheet->LoadDocument(a, false);
    r.sheet->LoadDocument(b, false);
    r.sheet->LoadDocument(r.dir.File("missing.qwd"), false);  // refused: not added
    EXPECT_EQ(r.sheet->Recent().Entries(), (std::vector<std::string>{b, a}));
    r.sheet->OpenRecent(2);
    EXPECT_EQ(engine::Ctx().sink.fileName, a);
    r.sheet->OnDestroy();
    r.sheet.reset();
    r.Make();
    EXPECT_EQ(r.sheet->Recent().Entries(), (std::vector<std::string>{a, b}));
}

TEST(Caption, ByFileTypeAndStorage) {
    struct Case {
        const char* name;
        bool compound;
        bool graphics;
        bool modified;
        std::string expected;
    };
    const Case cases[] = {
        {"plain.qwd", false, false, false, "plain.qwd (QW 6.0 format) - Salvino"},
        {"plain.qwd", false, false, true, "plain.qwd (Modified)  (QW 6.0 format) - Salvino"},
        {"c.qwd", true, false, false, "c.qwd (QW 7.0 format) - Salvino"},
        {"g.qwg", false, true, false, "g.qwg (QWG 2.x format) - Salvino"},
        {"cg.qwg", true, true, false, "cg.qwg (QWG 3.0 format) - Salvino"},
    };
    for (const Case& c : cases) {
        Rig r;
        r.Start();
        const testsupport::DocBuilder b = c.graphics ? GraphicsFile() : SoundDoc();
        const std::string path = c.compound ? r.WriteCompound(c.name, b) : r.Write(c.name, b);
        r.sheet->LoadDocument(path, c.modified);
        ASSERT_NE(r.sheet->Document(), nullptr) << c.name;
        EXPECT_EQ(r.view.caption, c.expected);
        EXPECT_EQ(r.view.repair, false) << "the repair is not there yet";
        r.sheet->UnloadDocument();
        EXPECT_EQ(r.view.caption, "Salvino");
        EXPECT_EQ(r.sheet->Header().FileType(), 0);
        EXPECT_TRUE(engine::Ctx().sink.fileName.empty());
    }
}

TEST(Refusals, EachVerdictHasItsBoxAndNothingStaysLoaded) {
    struct Case {
        const char* what;
        testsupport::DocBuilder doc;
        std::string text;  // %s: the path
        engine::MsgButtons buttons;
    };
    testsupport::DocBuilder noSignature = SoundDoc();
    noSignature.header.signature = 0x12345678;
    testsupport::DocBuilder wrongType = SoundDoc();
    wrongType.header.fileType = 11;
    testsupport::DocBuilder majorZero = SoundDoc();
    majorZero.header.major = 0;
    testsupport::DocBuilder keyed = SoundDoc();
    keyed.header.key = 0x1234;
    const std::string unknown =
        "The file %s, was not recoginized as a Quillwright Document (or Quillwright Graphics file).  If the file "
        "was a Quillwright document file, would youlike to EXTRACT all the ASCII text from it?";
    const Case cases[] = {
        {"no signature", noSignature, unknown, engine::MsgButtons::YesNo},
        {"wrong type", wrongType, unknown, engine::MsgButtons::YesNo},
        {"major 0", majorZero,
         "The file %s, was not recoginized as a Quillwright version 6.0 or later document.If the file was a "
         "Quillwright document file, would you like to EXTRACT all the ASCII text from it?",
         engine::MsgButtons::YesNo},
        {"keyed", keyed, "The file %s, is encrypted.", engine::MsgButtons::Ok},
    };
    for (const Case& c : cases) {
        Rig r;
        const std::string sound = r.Write("sound.qwd", SoundDoc());
        const std::string path = r.Write("refused.qwd", c.doc);
        r.Start(sound);
        r.ctx.messages.fallback = testsupport::RecordingMessages::Default::No;
        r.sheet->LoadDocument(path, false);
        ASSERT_EQ(r.ctx.messages.boxes.size(), 1u) << c.what;
        const auto& box = r.ctx.messages.boxes[0];
        std::string expected = c.text;
        expected.replace(expected.find("%s"), 2, path);
        EXPECT_EQ(box.text, expected) << c.what;
        EXPECT_EQ(box.caption, "Error") << c.what;
        EXPECT_EQ(box.icon, engine::MsgIcon::Warning) << c.what;
        EXPECT_EQ(box.buttons, c.buttons) << c.what;
        EXPECT_EQ(r.sheet->Document(), nullptr) << c.what;
        EXPECT_EQ(engine::Ctx().doc.file, nullptr) << c.what;
        EXPECT_EQ(r.sheet->Header().FileType(), 0) << c.what;
        EXPECT_EQ(r.sheet->LastFailedPath(), path) << c.what;
        EXPECT_EQ(r.view.caption, "Salvino") << c.what;
        EXPECT_EQ(r.sheet->Recent().Entries(), std::vector<std::string>{sound}) << c.what;
    }
}

TEST(Refusals, YesExtractsAndABatchRunShowsNoBox) {
    Rig r;
    testsupport::DocBuilder bad = SoundDoc();
    bad.header.signature = 0;
    const std::string path = r.Write("bad.qwd", bad);
    int extracts = 0;
    r.sheet->onExtract = [&] { ++extracts; };
    r.Start();
    r.ctx.messages.script = {engine::MsgAnswer::Yes};
    r.sheet->LoadDocument(path, false);
    EXPECT_EQ(extracts, 1);
    r.ctx.messages.script = {engine::MsgAnswer::No};
    r.sheet->LoadDocument(path, false);
    EXPECT_EQ(extracts, 1);

    r.ctx.messages.boxes.clear();
    r.sheet->SetBatch(true);
    const std::string other = r.Write("other.qwd", bad);
    r.sheet->LoadDocument(other, false);
    EXPECT_TRUE(r.ctx.messages.boxes.empty());
    EXPECT_EQ(r.sheet->LastFailedPath(), other);

    // A good load forgets the failed path.
    r.sheet->LoadDocument(r.Write("good.qwd", SoundDoc()), false);
    EXPECT_TRUE(r.sheet->LastFailedPath().empty());
}

TEST(Protocol, RefreshAllPagesInItsOrderAndOnlyToExistingWindows) {
    Rig r;
    r.Start();
    r.Take();
    r.sheet->RefreshAllPages(kUpdateHex);
    // Prefix, Codes and Sub Document have no window in the simple view.
    EXPECT_EQ(r.Take(), (Log{"update Info 2", "update Repair 2", "update Format 2"}));
    r.sheet->ToggleAdvanced();
    r.Take();
    r.sheet->RefreshAllPages(kUpdateFont);
    EXPECT_EQ(r.Take(), (Log{"update Info 4", "update Repair 4", "update Format 4", "update Prefix 4",
                             "update Codes 4", "update SubDoc 4"}));
}

TEST(Protocol, LoadAndUnloadRefreshEveryPage) {
    Rig r;
    const std::string path = r.Write("a.qwd", SoundDoc());
    r.Start();
    r.sheet->ToggleAdvanced();
    r.sheet->LoadDocument(path, false);
    r.Take();
    r.sheet->UnloadDocument();
    EXPECT_EQ(r.Take(), (Log{"apply filter", "update Info 1", "update Repair 1", "update Format 1",
                             "update Prefix 1", "update Codes 1", "update SubDoc 1"}));
    for (int i : {kInfoPage, kFormatPage, kPrefixPage, kCodesPage, kSubDocPage}) EXPECT_EQ(r.page(i).refillMarks, 1) << i;
    EXPECT_EQ(r.page(kRepairPage).refillMarks, 0);
    // Nothing open: only the caption and the history.
    r.sheet->UnloadDocument();
    EXPECT_TRUE(r.Take().empty());
}

TEST(Views, InitialisationAndTheAdvancedToggle) {
    Rig r;
    r.Start();
    EXPECT_EQ(r.Take(), (Log{"show Info", "active Info", "show Repair", "active Repair", "update Info 1",
                             "update Repair 1", "update Format 1"}));
    EXPECT_EQ(r.view.advancedText, "Advanced >>");
    EXPECT_FALSE(r.view.back);
    EXPECT_FALSE(r.view.repair);

    r.sheet->ToggleAdvanced();
    EXPECT_EQ(r.Take(), (Log{"add Format", "add Prefix", "add Codes", "add Filter", "add SubDoc", "show SubDoc",
                             "active SubDoc", "show Filter", "active Filter", "show Codes", "active Codes",
                             "show Prefix", "active Prefix", "show Format", "active Format", "show Repair",
                             "active Repair"}));
    EXPECT_EQ(r.view.advancedText, "<< Advanced");
    EXPECT_TRUE(r.sheet->Advanced());
    EXPECT_EQ(r.sheet->GetButtonDefaults(), 0x0000000Bu);  // bit 3 on, Repair last active

    r.sheet->SetActivePage(kCodesPage);
    r.Take();
    r.sheet->ToggleAdvanced();  // from the Codes page: the Repair page first
    EXPECT_EQ(r.Take(), (Log{"show Repair", "active Repair", "remove SubDoc", "remove Filter", "remove Codes",
                             "remove Prefix", "remove Format"}));
    EXPECT_EQ(r.view.advancedText, "Advanced >>");
    EXPECT_EQ(r.sheet->GetButtonDefaults(), 0x00000003u);
    EXPECT_FALSE(r.sheet->PageInView(kFormatPage));

    // From the Information page the simple view keeps it.
    r.sheet->ToggleAdvanced();
    r.sheet->SetActivePage(kInfoPage);
    r.Take();
    r.sheet->ToggleAdvanced();
    EXPECT_EQ(r.Take().front(), "remove SubDoc");
    EXPECT_EQ(r.sheet->ActivePage(), kInfoPage);
}

TEST(Views, ButtonDefaultsBitThreeStartsAdvancedBeforeTheDocumentLoads) {
    Rig r;
    const std::string path = r.Write("a.qwd", SoundDoc());
    {
        QSettings store = r.settings.Store();
        store.setValue("Settings/Button defaults", "12");
    }
    r.Start(path);
    const Log log = r.Take();
    const auto added = std::find(log.begin(), log.end(), "add Format");
    const auto loaded = std::find(log.begin(), log.end(), "update Codes 1");
    ASSERT_NE(added, log.end());
    ASSERT_NE(loaded, log.end());
    EXPECT_LT(added, loaded);
    EXPECT_TRUE(r.sheet->Advanced());
    // The low bits are kept; the top byte follows the active page.
    r.sheet->SetActivePage(kFilterPage);
    EXPECT_EQ(r.sheet->GetButtonDefaults(), 0x0500000Cu);
    r.sheet->SetButtonDefaultBits(kDefaultRemoveStyles, false);
    r.sheet->SetButtonDefaultBits(kDefaultRepairCorruption, true);
    EXPECT_EQ(r.sheet->GetButtonDefaults(), 0x05000009u);
    r.sheet->OnDestroy();
    QSettings store = r.settings.Store();
    EXPECT_EQ(store.value("Settings/Button defaults").toString(), QString::number(0x05000009u));
}

TEST(History, TargetsChooseThePageAndTheRow) {
    Rig r;
    const std::string path = r.Write("a.qwd", SoundDoc());
    r.Start(path);
    r.sheet->ToggleAdvanced();
    FakePage& codes = r.page(kCodesPage);
    FakePage& prefix = r.page(kPrefixPage);
    FakePage& sub = r.page(kSubDocPage);
    codes.rows = {0x00, 0x10, 0x18, 0x30};

    // A packet: the Prefix page, the packet's row.
    r.sheet->PushHistory(kInfoPage, 4, engine::kTagPacket | 0x0003);
    EXPECT_EQ(r.sheet->ActivePage(), kPrefixPage);
    EXPECT_EQ(prefix.selected.back(), 3u);
    EXPECT_TRUE(r.view.back);

    // A text block: the Sub Document page with the whole target.
    const uint32_t block = engine::kTagTextBlock | (2u << 16) | 5;
    r.sheet->PushHistory(kInfoPage, 5, block);
    EXPECT_EQ(r.sheet->ActivePage(), kSubDocPage);
    EXPECT_EQ(sub.selected.back(), block);

    // A cross-reference line and a damaged place of a document are file
    // offsets: the first code row at or after them.
    r.sheet->PushHistory(kInfoPage, 6, engine::kTagCrossRef | 0x18);
    EXPECT_EQ(r.sheet->ActivePage(), kCodesPage);
    EXPECT_EQ(codes.selected.back(), 2u);
    r.sheet->PushHistory(kInfoPage, 7, engine::kTagDamage | 0x11);
    EXPECT_EQ(codes.selected.back(), 2u);
    r.sheet->PushHistory(kInfoPage, 8, engine::kTagDamage | 0x40);  // past every row
    EXPECT_EQ(codes.selected.back(), 0u);
    // Any other code line is a row of the Codes page.
    r.sheet->PushHistory(kInfoPage, 9, 0x2);
    EXPECT_EQ(codes.selected.back(), 2u);
    EXPECT_EQ(r.sheet->History().size(), 6u);
}

TEST(History, DamageInAGraphicsFileIsARecordRow) {
    Rig r;
    const std::string path = r.Write("g.qwg", GraphicsFile());
    r.Start(path);
    r.sheet->ToggleAdvanced();
    r.page(kCodesPage).rows = {0x00, 0x10, 0x18};
    r.sheet->PushHistory(kInfoPage, 1, engine::kTagDamage | 0x11);
    EXPECT_EQ(r.page(kCodesPage).selected.back(), 0x11u);
}

TEST(History, FiltersAreHonouredOrSwitchedOff) {
    Rig r;
    const std::string path = r.Write("a.qwd", SoundDoc());
    r.Start(path);
    r.sheet->ToggleAdvanced();
    FakePage& prefix = r.page(kPrefixPage);
    FakePage& codes = r.page(kCodesPage);

    prefix.filter = true;
    prefix.rows = {engine::kTagPacket | 0x01, engine::kTagPacket | 0x09};
    r.sheet->PushHistory(kInfoPage, 0, engine::kTagPacket | 0x09);
    EXPECT_EQ(prefix.selected.back(), 1u);  // the filtered list's row
    EXPECT_TRUE(prefix.filter);
    r.Take();
    r.sheet->PushHistory(kInfoPage, 0, engine::kTagPacket | 0x04);
    EXPECT_FALSE(prefix.filter);
    EXPECT_EQ(prefix.selected.back(), 4u);
    const Log log = r.Take();
    EXPECT_NE(std::find(log.begin(), log.end(), "update Prefix 1"), log.end());

    codes.filter = true;
    r.sheet->PushHistory(kInfoPage, 0, 0x7);
    EXPECT_FALSE(codes.filter);
    EXPECT_EQ(codes.selected.back(), 7u);
}

TEST(History, BackReturnsAlongTheHistory) {
    Rig r;
    const std::string path = r.Write("a.qwd", SoundDoc());
    r.Start(path);
    r.sheet->ToggleAdvanced();
    r.sheet->SetActivePage(kCodesPage);
    r.sheet->PushHistory(kCodesPage, 12, engine::kTagPacket | 2);  // from the Codes page, row 12
    r.sheet->PushHistory(kPrefixPage, 2, 0x30);                      // from the Prefix page, row 2
    r.sheet->PushHistory(kInfoPage, 1, engine::kTagPacket | 1);      // from the Information page

    r.sheet->Back();
    EXPECT_EQ(r.sheet->ActivePage(), kInfoPage);
    EXPECT_EQ(r.ctx.window.beeps, 1);  // nothing to select there
    EXPECT_TRUE(r.view.back);
    r.sheet->Back();
    EXPECT_EQ(r.sheet->ActivePage(), kPrefixPage);
    EXPECT_EQ(r.page(kPrefixPage).selected.back(), 2u);
    r.sheet->Back();
    EXPECT_EQ(r.sheet->ActivePage(), kCodesPage);
    EXPECT_EQ(r.page(kCodesPage).selected.back(), 12u);
    EXPECT_FALSE(r.view.back);
    EXPECT_EQ(r.ctx.window.beeps, 1);
    r.sheet->Back();  // nothing left: stays disabled, nothing moves
    EXPECT_EQ(r.sheet->ActivePage(), kCodesPage);
    EXPECT_FALSE(r.view.back);

    r.sheet->PushHistory(kCodesPage, 1, 0x1);
    r.sheet->UnloadDocument();
    EXPECT_TRUE(r.sheet->History().empty());
    EXPECT_FALSE(r.view.back);
}

}  // namespace
}  // namespace inspector::testing

namespace inspector::testing {

TEST(RowForAnOffset, BinarySearchSteppingOverUntaggedRows) {
    const std::vector<uint32_t> tags = {0, 0x10, 0, 0, 0x20, 0x40000030, 0, 0x80000040, 0x50, 0};
    auto tagOf = [&](size_t i) { return tags[i]; };
    struct Case {
        uint32_t value;
        size_t row;
    };
    for (const Case& c : {Case{0, 1}, Case{0x10, 1}, Case{0x11, 4}, Case{0x20, 4}, Case{0x21, 5}, Case{0x31, 7},
                          Case{0x41, 8}, Case{0x50, 8}, Case{0x51, 10}}) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(FirstRowAtOrAfter(tags.size(), tagOf, 0x07FFFFFF, c.value), c.row);
    }
    EXPECT_EQ(FirstRowAtOrAfter(0, tagOf, 0x07FFFFFF, 0), 0u);
    const std::vector<uint32_t> none = {0, 0, 0};
    EXPECT_EQ(FirstRowAtOrAfter(none.size(), [&](size_t i) { return none[i]; }, 0x07FFFFFF, 0), 3u);
}

}  // namespace inspector::testing
