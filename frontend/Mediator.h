#pragma once
// The one central controller of Mendora: every window event reaches the
// document states, the tool states, the paths and the repair sequences here.

#include <memory>
#include <optional>
#include <string>

#include "frontend/FileSystem.h"
#include "frontend/Intake.h"
#include "frontend/Ports.h"
#include "frontend/Tools.h"
#include "platform/bus/Automation.h"
#include "platform/desktop/Desktop.h"

namespace frontend {

inline constexpr const char* kProgId = "Quillwright.Quillscript";
inline constexpr const char* kInspectorProgram = "salvino";
inline constexpr const char* kSupportForumUrl = "https://forum.quillwright.example/support";
inline constexpr const char* kMakerUrl = "https://www.quillwright.example/";

class Source {
 public:
  void SetSourceFolder(const std::string& s) { sourceFolder_ = s; }
  const std::string& GetSourceFolder() const { return sourceFolder_; }
  void SetTgtFolder(const std::string& s) { tgtFolder_ = s; }
  const std::string& GetTgtFolder() const { return tgtFolder_; }
  void SetSourceFile(const std::string& s) { sourceFile_ = s; }
  const std::string& GetSourceFile() const { return sourceFile_; }
  void SetTgtFile(const std::string& s) { tgtFile_ = s; }
  const std::string& GetTgtFile() const { return tgtFile_; }

 private:
  std::string sourceFolder_, tgtFolder_, sourceFile_, tgtFile_;
};

struct MediatorPorts {
  MainView* main = nullptr;
  BatchView* batch = nullptr;
  Dialogs* dialogs = nullptr;
  Messages* messages = nullptr;
  Pump* pump = nullptr;
  Clock* clock = nullptr;
  FileTimes* fileTimes = nullptr;
  DirectoryListing* listing = nullptr;
  bus::AutomationFactory* automation = nullptr;
  desktop::ProgramLauncher* launcher = nullptr;
  desktop::DesktopOpener* opener = nullptr;
  std::string programDir;  // Mendora's own folder
};

struct Band {
  std::uint32_t colour;
  const char* header;
  const char* body;
};
// The indicator band of an age in days: 0-29 green, 30-60 yellow, 61+ red.
Band BandForAge(std::int64_t days);

// Whether the header frame shows after the combo pick.
bool HeaderFrameVisibleFor(const std::string& comboText);

class Mediator {
 public:
  explicit Mediator(MediatorPorts ports) : ports_(std::move(ports)) {}

  void init();

  void startStateOne();
  void StartStateTwo();
  void StartStateThree();
  void StartStateToolEmpty() { tools_.SetStateEmpty(); }
  void StartStateXInsert() { tools_.setStateXInsert(); }
  void StartStateBlkCtPste() { tools_.setStateBlkCtPste(); }
  void StartStateRemoveDelayCodes() { tools_.setStateRemoveDelayCodes(); }
  void StateToolsCommand1() { tools_.Command1("test"); }

  void registerCmd1(std::shared_ptr<cmd1> c) { lastCmd1_ = std::move(c); }
  void registerCmd2(std::shared_ptr<Cmd2> c) { lastCmd2_ = std::move(c); }

  void Command1(std::string& text) { states_.Command1(text); }
  void Command2(std::string& text) { states_.Command2(text); }
  void Command3() { states_.Command3(); }

  void SetSourceFolder(const std::string& s) { source_.SetSourceFolder(s); }
  std::string GetSourceFolder() const { return source_.GetSourceFolder(); }
  void SetTgtFolder(const std::string& s) { source_.SetTgtFolder(s); }
  std::string GetTgtFolder() const { return source_.GetTgtFolder(); }
  void SetSourceFile(const std::string& s) { source_.SetSourceFile(s); }
  std::string GetSourceFile() const { return source_.GetSourceFile(); }
  void SetTgtFile(const std::string& s) { source_.SetTgtFile(s); }
  std::string GetTgtFile() const { return source_.GetTgtFile(); }

  void SingleSourceFile();
  std::string BrowseForFolder(const std::string& prompt);
  void SourceFolder();
  void TargetFolder();
  void RefreshSet();

  void XInsert();
  void BlockCutPaste();
  bool RemoveDelayCode();
  void ViewDoc();
  void OpenInspector();  // Tools > Open Glimmet: no document

  // The "Next" button's tests, in their order.
  void Next(const std::string& comboText);
  // "Start" of the batch dialog.
  void StartBatch();
  // "Next Document".
  void NextDocument();

  void OnlineHelp();
  void OpenGuide(const char* fileName);
  void OpenMakerSite() { (void)ports_.opener->OpenUrl(kMakerUrl); }

  // Helpers for the pipeline and the windows.
  MainView& main() { return *ports_.main; }
  Messages& messages() { return *ports_.messages; }
  DirectoryListing& listing() { return *ports_.listing; }
  bool& chainAccepted() { return chainAccepted_; }
  std::string InspectorPath() const { return clsFileSystem::JoinPath(ports_.programDir, kInspectorProgram); }
  void Pass(int times);

  const StateManager& states() const { return states_; }
  const StateMgrTools& tools() const { return tools_; }
  const std::shared_ptr<cmd1>& lastCmd1() const { return lastCmd1_; }
  const std::shared_ptr<Cmd2>& lastCmd2() const { return lastCmd2_; }

 private:
  MediatorPorts ports_;
  StateManager states_;
  StateMgrTools tools_;
  Source source_;
  std::shared_ptr<cmd1> lastCmd1_;
  std::shared_ptr<Cmd2> lastCmd2_;
  bool chainAccepted_ = false;
};

}  // namespace frontend
