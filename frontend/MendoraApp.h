#pragma once
// Mendora put together: the windows, the ports and the one Mediator. Tests
// hand in doubles for the ports that would reach outside the process.

#include <memory>
#include <string>

#include "frontend/Mediator.h"
#include "frontend/Windows.h"

namespace frontend {

class MendoraApp {
 public:
  // Ports given in `overrides` replace the real ones; its main and batch
  // views and folder are not used (the windows and `programDir` are).
  MendoraApp(std::string programDir, MediatorPorts overrides = {});
  ~MendoraApp();

  // Main: the main window, then the chooser over it.
  void Start();
  void ShowBatchModal();
  void ShowBatchModeless();
  void ShowAbout();

  Mediator& mediator() { return *mediator_; }
  Form2& form2() { return *form2_; }
  Form1& form1() { return *form1_; }
  Form3& form3() { return *form3_; }
  frmAbout* about() { return about_; }

 private:
  std::unique_ptr<Form2> form2_;
  std::unique_ptr<Form1> form1_;
  std::unique_ptr<Form3> form3_;
  frmAbout* about_ = nullptr;
  std::unique_ptr<Dialogs> ownDialogs_;
  std::unique_ptr<Messages> ownMessages_;
  std::unique_ptr<Pump> ownPump_;
  std::unique_ptr<Clock> ownClock_;
  std::unique_ptr<FileTimes> ownTimes_;
  std::unique_ptr<DirectoryListing> ownListing_;
  std::unique_ptr<bus::AutomationFactory> ownAutomation_;
  std::unique_ptr<desktop::ProgramLauncher> ownLauncher_;
  std::unique_ptr<desktop::DesktopOpener> ownOpener_;
  std::unique_ptr<Mediator> mediator_;
};

}  // namespace frontend
