#pragma once
// Mendora's windows: the main window Form2, the batch dialog Form1, the
// start-up chooser Form3 and the about box frmAbout.

#include <QDialog>
#include <QMainWindow>
#include <functional>
#include <string>

#include "frontend/Mediator.h"
#include "frontend/Ports.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QAction;

namespace frontend {

inline constexpr const char* kVersionText = "1.0.35";

// Runs an event's work; any failure is reported and Mendora keeps running.
void Guard(Messages& messages, const std::function<void()>& work);

class Form2 : public QMainWindow, public MainView {
  Q_OBJECT
 public:
  explicit Form2(QWidget* parent = nullptr);
  void Attach(Mediator* mediator, Messages* messages);

  // MainView
  void ClearList() override;
  void AddRow(const std::string& key, const std::string& text) override;
  std::optional<std::string> FirstRowText() override;
  void SetNextDocumentVisible(bool visible) override;
  void SetRefreshEnabled(bool enabled) override;
  void SetIndicatorColour(std::uint32_t bgr) override;
  void SetIndicatorTexts(const std::string& header, const std::string& body) override;
  bool QuillwrightOptionSelected() override;
  bool InspectorOptionSelected() override;
  void BringForward() override;

  // Hooks the application wires to the other windows.
  std::function<void()> onBatch, onAbout, onExit;

  QComboBox* cboDocTroubleshooting = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* btnExit = nullptr;
  QPushButton* bttnXInsert = nullptr;
  QPushButton* Next = nullptr;
  QFrame* frmCheckForCorruption = nullptr;
  QFrame* picRefresh = nullptr;
  QLabel* lblRefreshHeader = nullptr;
  QLabel* lblRefreshBody = nullptr;
  QLabel* Label1 = nullptr;
  QRadioButton* chkGlimmet = nullptr;
  QRadioButton* chkQW = nullptr;
  QTreeWidget* ListView1 = nullptr;
  QAction *mnuOpen = nullptr, *mnuClose = nullptr, *mnuExit = nullptr, *mnuBatch = nullptr,
          *mnuAnalyze = nullptr, *mnuGlimmet = nullptr, *mnuOHelp = nullptr, *mnuQuickStartGuide = nullptr,
          *mnuDocumentCorruptionGuide = nullptr, *mnuAbout = nullptr;

  std::uint32_t indicatorColour() const { return colour_; }

 protected:
  // Closing the main window ends the program at once, whatever else is open.
  void closeEvent(QCloseEvent* event) override;

 private:
  void Run(const std::function<void()>& work);
  Mediator* m_ = nullptr;
  Messages* messages_ = nullptr;
  std::string first_;
  bool hasFirst_ = false;
  std::uint32_t colour_ = kColourGrey;
};

class Form1 : public QDialog, public BatchView {
  Q_OBJECT
 public:
  explicit Form1(QWidget* parent = nullptr);
  void Attach(Mediator* mediator, Messages* messages);

  void ClearFound() override;
  void AddFound(const std::string& name) override;
  void SetSourceText(const std::string& folder) override;
  void SetTargetText(const std::string& folder) override;

  QLineEdit* txtSrcFolder = nullptr;
  QLineEdit* txtTgtFolder = nullptr;
  QPushButton* btnSource = nullptr;
  QPushButton* btnTarget = nullptr;
  QListWidget* List1 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;

 private:
  Mediator* m_ = nullptr;
  Messages* messages_ = nullptr;
};

class Form3 : public QDialog {
  Q_OBJECT
 public:
  explicit Form3(QWidget* parent = nullptr);
  std::function<void()> onSingle, onBatch, onGuide;

  QPushButton* btnSingle = nullptr;
  QPushButton* btnBatch = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* Command1 = nullptr;
};

class frmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit frmAbout(QWidget* parent = nullptr);
  QLabel* lblTitle = nullptr;
  QLabel* lblVersion = nullptr;
  QPushButton* cmdOK = nullptr;
};

// Qt forms of the dialog, message and pump ports.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* owner) : owner_(owner) {}
  std::optional<std::string> OpenDocument() override;
  std::string BrowseForFolder(const std::string& prompt) override;

 private:
  QWidget* owner_;
};

class QtMessages : public Messages {
 public:
  explicit QtMessages(QWidget* owner) : owner_(owner) {}
  void Show(const std::string& text, const std::string& caption, MessageIcon icon) override;

 private:
  QWidget* owner_;
};

class QtPump : public Pump {
 public:
  void ProcessEvents() override;
};

}  // namespace frontend
