#include "frontend/Mediator.h"

namespace frontend {

namespace {

constexpr const char* kDateUnreadable = "The date of the document could not be read.";
constexpr const char* kFolderUnreadable = "The source folder could not be read.";
constexpr const char* kQuillwrightOpenFailed = "The document could not be opened in Quillwright.";

using bus::Variant;

Variant Int(std::int16_t v) { return Variant{v}; }
Variant Text(const std::string& s) { return Variant{s}; }

}  // namespace

Band BandForAge(std::int64_t days) {
  if (days > 60)
    return {kColourRed, "Document Header Needs to be Refreshed!",
            "Document header is at risk of serious corruption. It is recommended to refresh the document "
            "header, please refresh header."};
  if (days >= 30)
    return {kColourYellow, "Document Header may be corrupt...",
            "Document header should be refreshed, if it is not acting properly please refresh header."};
  return {kColourGreen, "Document Header OK!",
          "Document header appears to be ok, If it is not acting properly please refresh header."};
}

bool HeaderFrameVisibleFor(const std::string& comboText) { return comboText == "Refresh document header"; }

void Mediator::init() {
  states_.init(this);
  source_ = Source();
  StartStateThree();
  tools_.init(this);
}

void Mediator::Pass(int times) {
  for (int i = 0; i < times; ++i) ports_.pump->ProcessEvents();
}

void Mediator::startStateOne() {
  states_.setStateOne();
  ports_.main->SetNextDocumentVisible(false);
  ports_.main->ClearList();
  ports_.main->SetRefreshEnabled(true);
}

void Mediator::StartStateTwo() {
  ports_.main->ClearList();
  ports_.main->SetRefreshEnabled(true);
  states_.SetStateTwo();
}

void Mediator::StartStateThree() {
  ports_.main->ClearList();
  ports_.main->SetRefreshEnabled(false);
}

void Mediator::SingleSourceFile() {
  startStateOne();
  try {
    const auto chosen = ports_.dialogs->OpenDocument();
    if (!chosen) {
      StartStateThree();
      return;
    }
    if (!chosen->empty()) {
      startStateOne();
      SetSourceFile(*chosen);
      auto command = std::make_shared<cmd1>();
      command->init(this);
      command->Execute();
      RefreshSet();
    }
  } catch (const std::exception& e) {
    StartStateThree();
    ports_.messages->Show(std::string("The document could not be listed: ") + e.what());
  }
}

std::string Mediator::BrowseForFolder(const std::string& prompt) { return ports_.dialogs->BrowseForFolder(prompt); }

void Mediator::SourceFolder() {
  const std::string folder = BrowseForFolder("Select a Source Folder");
  if (folder.empty()) return;
  ports_.batch->ClearFound();
  ports_.batch->SetSourceText(folder);
  SetSourceFolder(folder);
  const auto names = ports_.listing->List(folder);
  if (!names) {
    ports_.messages->Show(kFolderUnreadable);
    return;
  }
  ExtensionChain chain(chainAccepted_);
  for (const auto& name : *names) {
    try {
      const std::string full = clsFileSystem::JoinPath(folder, name);
      if (chain.Accepts(clsFileSystem::GetFileExtension(full))) ports_.batch->AddFound(clsFileSystem::GetFileName(full));
    } catch (const std::exception&) {
      // One bad entry skips that entry only.
    }
  }
}

void Mediator::TargetFolder() {
  const std::string folder = BrowseForFolder("Select a Target Folder");
  ports_.batch->SetTargetText(folder);
  SetTgtFolder(folder);
}

void Mediator::RefreshSet() {
  const std::string path = GetSourceFile();
  if (path.empty()) return;
  ports_.main->SetIndicatorColour(kColourGrey);
  Pass(3);
  const auto age = clsFileSystem::CompFileTime(path, *ports_.fileTimes, *ports_.clock);
  if (!age) {
    ports_.messages->Show(kDateUnreadable);
    return;
  }
  const Band band = BandForAge(*age);
  ports_.main->SetIndicatorTexts(band.header, band.body);
  ports_.main->SetIndicatorColour(band.colour);
}

void Mediator::XInsert() {
  const std::string path = GetSourceFile();
  std::unique_ptr<bus::AutomationObject> qw;
  try {
    qw = ports_.automation->Create(kProgId);
    qw->Call("Display", {Int(1)});
    Pass(3);
    qw->Call("FileNew");
    Pass(3);
    qw->Call("PosDocTop");
    Pass(3);
    qw->Call("KeyType", {Text("x")});
    Pass(3);
    qw->Call("FileInsert", {Text(path)});
    Pass(3);
    qw->Call("PosDocTop");
    Pass(3);
    qw->Call("DeleteCharNext");
    Pass(3);
    ports_.messages->Show("XInsert completed. Please save document");
    Pass(3);
    qw->Call("QWActivate");
    Pass(3);
  } catch (const std::exception&) {
    qw.reset();
    ports_.messages->Show("XInsert failed");
    Pass(6);
    return;
  }
  try {
    Pass(3);
    qw->Call("FileSaveAsDlg");
  } catch (const std::exception&) {
    // The user's Save As is theirs to finish; a failure there says nothing.
  }
  Pass(3);
}

void Mediator::BlockCutPaste() {
  const std::string path = GetSourceFile();
  try {
    auto qw = ports_.automation->Create(kProgId);
    qw->Call("FileOpen", {Text(path)});
    if (bus::IsAutomationTrue(qw->Get("envDocBlank"))) {
      ports_.messages->Show("Document appears to be blank!");
      return;
    }
    Pass(3);
    qw->Call("Display", {Int(1)});
    Pass(3);
    qw->Call("SelectAll");
    Pass(3);
    qw->Call("SelectDelete");
    Pass(3);
    qw->Call("FileNew");
    Pass(3);
    qw->Call("Undelete", {Int(1)});
    Pass(6);
    ports_.messages->Show("BlockCutPaste complete. Please save document");
    qw->Call("QWActivate");
    Pass(6);
    qw->Call("FileSaveAsDlg");
    Pass(3);
  } catch (const std::exception&) {
    ports_.messages->Show("BlockCutPaste failed");
  }
}

bool Mediator::RemoveDelayCode() {
  const std::string path = GetSourceFile();
  try {
    auto qw = ports_.automation->Create(kProgId);
    qw->Call("FileOpen", {Text(path)});
    qw->Call("QWActivate");
    Pass(4);
    qw->Call("Styleslistdlg");
    return true;
  } catch (const std::exception&) {
    ports_.messages->Show("Error editing Styles");
    ports_.main->BringForward();
    return false;
  }
}

void Mediator::ViewDoc() {
  const std::string path = GetSourceFile();
  if (ports_.main->QuillwrightOptionSelected()) {
    try {
      auto qw = ports_.automation->Create(kProgId);
      qw->Call("AppRestore");
      qw->Call("FileOpen", {Text(path)});
    } catch (const std::exception&) {
      ports_.messages->Show(kQuillwrightOpenFailed);
    }
  }
  if (ports_.main->InspectorOptionSelected()) {
    std::vector<std::string> args;
    if (!path.empty()) args.push_back(path);
    (void)ports_.launcher->StartDetached(InspectorPath(), args);
  }
}

void Mediator::OpenInspector() { (void)ports_.launcher->StartDetached(InspectorPath(), {}); }

void Mediator::Next(const std::string& comboText) {
  if (comboText == "Block Copy Paste") {
    StartStateBlkCtPste();
    StateToolsCommand1();
  }
  if (comboText == "Edit Styles") {
    StartStateRemoveDelayCodes();
    StateToolsCommand1();
  }
  if (comboText == "Refresh document header") {
    Pass(1);
    StartStateXInsert();
    StateToolsCommand1();
  }
  if (comboText == "Analyze and repair document") ViewDoc();
}

void Mediator::StartBatch() {
  StartStateTwo();
  auto command = std::make_shared<cmd1>();
  command->init(this);
  command->Execute();
}

void Mediator::NextDocument() {
  auto command = std::make_shared<Cmd2>();
  command->init(this);
  command->Execute();
}

void Mediator::OnlineHelp() {
  if (!ports_.opener->HasHtmlHandler()) {
    ports_.messages->Show("Could not find associated Browser", "Browser Not Found", MessageIcon::Exclamation);
    return;
  }
  if (!ports_.opener->OpenUrl(kSupportForumUrl))
    ports_.messages->Show("Web Page not Opened", "URL Failed", MessageIcon::Exclamation);
}

void Mediator::OpenGuide(const char* fileName) {
  (void)ports_.opener->OpenFile(clsFileSystem::JoinPath(ports_.programDir, fileName));
}

}  // namespace frontend
