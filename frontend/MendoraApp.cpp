#include "frontend/MendoraApp.h"

#include <QApplication>

#include "platform/bus/BusAutomation.h"

namespace frontend {

namespace {

template <class T, class Own>
T* Pick(T* given, std::unique_ptr<T>& own, Own make) {
  if (given) return given;
  own = make();
  return own.get();
}

}  // namespace

MendoraApp::MendoraApp(std::string programDir, MediatorPorts o)
    : form2_(std::make_unique<Form2>()), form1_(std::make_unique<Form1>(form2_.get())),
      form3_(std::make_unique<Form3>(form2_.get())) {
  MediatorPorts p;
  p.main = form2_.get();
  p.batch = form1_.get();
  p.dialogs = Pick<Dialogs>(o.dialogs, ownDialogs_, [&] { return std::make_unique<QtDialogs>(form2_.get()); });
  p.messages = Pick<Messages>(o.messages, ownMessages_, [&] { return std::make_unique<QtMessages>(form2_.get()); });
  p.pump = Pick<Pump>(o.pump, ownPump_, [] { return std::make_unique<QtPump>(); });
  p.clock = Pick<Clock>(o.clock, ownClock_, [] { return std::make_unique<SystemClock>(); });
  p.fileTimes = Pick<FileTimes>(o.fileTimes, ownTimes_, [] { return std::make_unique<LocalFileTimes>(); });
  p.listing = Pick<DirectoryListing>(o.listing, ownListing_, [] { return std::make_unique<FsDirectoryListing>(); });
  p.automation = Pick<bus::AutomationFactory>(o.automation, ownAutomation_,
                                              [] { return std::make_unique<bus::BusAutomationFactory>(); });
  p.launcher = Pick<desktop::ProgramLauncher>(o.launcher, ownLauncher_,
                                              [] { return std::make_unique<desktop::QtProgramLauncher>(); });
  p.opener = Pick<desktop::DesktopOpener>(o.opener, ownOpener_,
                                          [] { return std::make_unique<desktop::QtDesktopOpener>(); });
  p.programDir = std::move(programDir);
  Messages* messages = p.messages;
  mediator_ = std::make_unique<Mediator>(std::move(p));
  mediator_->init();

  form2_->Attach(mediator_.get(), messages);
  form1_->Attach(mediator_.get(), messages);
  form2_->onBatch = [this] { ShowBatchModal(); };
  form2_->onAbout = [this] { ShowAbout(); };
  form2_->onExit = [] { QApplication::quit(); };
  form3_->onSingle = [this, messages] { Guard(*messages, [this] { mediator_->SingleSourceFile(); }); };
  form3_->onBatch = [this] { ShowBatchModeless(); };
  form3_->onGuide = [this, messages] { Guard(*messages, [this] { mediator_->OpenGuide("QuickStart.pdf"); }); };
}

MendoraApp::~MendoraApp() {
  delete about_;
  form3_.reset();
  form1_.reset();
}

void MendoraApp::Start() {
  form2_->show();
  form3_->show();
  form3_->raise();
}

void MendoraApp::ShowBatchModal() { form1_->exec(); }
void MendoraApp::ShowBatchModeless() { form1_->show(); }

void MendoraApp::ShowAbout() {
  // "OK" closes it; the next About builds a fresh one.
  if (about_ && !about_->isVisible()) {
    delete about_;
    about_ = nullptr;
  }
  if (!about_) about_ = new frmAbout(form2_.get());
  about_->show();
  about_->raise();
}

}  // namespace frontend
