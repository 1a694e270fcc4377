#include "frontend/Windows.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace frontend {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QColor FromBgr(std::uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// Descending order by text is Qt's descending sort over this "less".
class DocumentItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    return NameLess(text(0).toStdString(), other.text(0).toStdString());
  }
};

}  // namespace

void Guard(Messages& messages, const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    messages.Show(std::string("The operation failed: ") + e.what());
  } catch (...) {
    messages.Show("The operation failed.");
  }
}

Form2::Form2(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Quillwright Mendora"));
  statusBar();

  auto* file = menuBar()->addMenu(QStringLiteral("&File"));
  mnuOpen = file->addAction(QStringLiteral("Open"));
  mnuClose = file->addAction(QStringLiteral("Close"));
  mnuExit = file->addAction(QStringLiteral("Exit"));
  auto* tools = menuBar()->addMenu(QStringLiteral("Tools"));
  mnuBatch = tools->addAction(QStringLiteral("Batch"));
  mnuAnalyze = tools->addAction(QStringLiteral("Analyze Document"));
  mnuGlimmet = tools->addAction(QStringLiteral("Open Glimmet"));
  auto* help = menuBar()->addMenu(QStringLiteral("Help"));
  mnuOHelp = help->addAction(QStringLiteral("Online Help"));
  mnuQuickStartGuide = help->addAction(QStringLiteral("Quick Start Guide"));
  mnuDocumentCorruptionGuide = help->addAction(QStringLiteral("Document Corruption Guide"));
  mnuAbout = help->addAction(QStringLiteral("About"));

  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);

  auto* group = new QGroupBox(QStringLiteral("Document Troubleshooting"), central);
  auto* gl = new QVBoxLayout(group);
  auto* row = new QHBoxLayout;
  cboDocTroubleshooting = new QComboBox(group);
  cboDocTroubleshooting->setEditable(true);
  cboDocTroubleshooting->setInsertPolicy(QComboBox::NoInsert);
  Command2 = new QPushButton(QStringLiteral("Next"), group);
  row->addWidget(cboDocTroubleshooting, 1);
  row->addWidget(Command2);
  gl->addLayout(row);

  frmCheckForCorruption = new QFrame(group);
  auto* fl = new QVBoxLayout(frmCheckForCorruption);
  chkGlimmet = new QRadioButton(QStringLiteral(" Glimmet"), frmCheckForCorruption);
  chkQW = new QRadioButton(QStringLiteral(" Quillwright"), frmCheckForCorruption);
  chkGlimmet->setChecked(true);
  chkGlimmet->hide();
  chkQW->hide();
  bttnXInsert = new QPushButton(QStringLiteral("Refresh Document Header"), frmCheckForCorruption);
  bttnXInsert->hide();
  picRefresh = new QFrame(frmCheckForCorruption);
  picRefresh->setAutoFillBackground(true);
  picRefresh->setFrameShape(QFrame::Box);
  auto* pl = new QVBoxLayout(picRefresh);
  lblRefreshHeader = new QLabel(QStringLiteral("Document not selected"), picRefresh);
  QFont bold = lblRefreshHeader->font();
  bold.setBold(true);
  lblRefreshHeader->setFont(bold);
  lblRefreshBody = new QLabel(QString(), picRefresh);
  lblRefreshBody->setWordWrap(true);
  pl->addWidget(lblRefreshHeader);
  pl->addWidget(lblRefreshBody);
  fl->addWidget(chkGlimmet);
  fl->addWidget(chkQW);
  fl->addWidget(bttnXInsert);
  fl->addWidget(picRefresh);
  gl->addWidget(frmCheckForCorruption);
  frmCheckForCorruption->hide();
  outer->addWidget(group);

  ListView1 = new QTreeWidget(central);
  ListView1->setColumnCount(1);
  ListView1->setHeaderLabels({QStringLiteral("File Name:")});
  ListView1->setRootIsDecorated(false);
  ListView1->setAllColumnsShowFocus(true);
  ListView1->setSortingEnabled(true);
  ListView1->sortItems(0, Qt::DescendingOrder);
  outer->addWidget(ListView1, 1);

  auto* bottom = new QHBoxLayout;
  Label1 = new QLabel(QStringLiteral("<a href=\"maker\">Quillwright Mendora, by the Quillwright team</a>"), central);
  Next = new QPushButton(QStringLiteral("Next Document"), central);
  Next->hide();
  btnExit = new QPushButton(QStringLiteral("Exit"), central);
  bottom->addWidget(Label1, 1);
  bottom->addWidget(Next);
  bottom->addWidget(btnExit);
  outer->addLayout(bottom);
  setCentralWidget(central);

  // Form_Load
  for (const char* op : {"Analyze and repair document", "Refresh document header", "Block Copy Paste", "Edit Styles"})
    cboDocTroubleshooting->addItem(QString::fromLatin1(op));
  cboDocTroubleshooting->setCurrentIndex(0);
  SetIndicatorColour(kColourGrey);
  resize(520, 460);
}

void Form2::Run(const std::function<void()>& work) {
  if (m_ && messages_) Guard(*messages_, work);
}

void Form2::Attach(Mediator* mediator, Messages* messages) {
  m_ = mediator;
  messages_ = messages;
  // A pick from the list, not typing, decides the header frame.
  connect(cboDocTroubleshooting, &QComboBox::activated, this, [this](int index) {
    frmCheckForCorruption->setVisible(HeaderFrameVisibleFor(cboDocTroubleshooting->itemText(index).toStdString()));
  });
  connect(Command2, &QPushButton::clicked, this,
          [this] { Run([this] { m_->Next(cboDocTroubleshooting->currentText().toStdString()); }); });
  connect(bttnXInsert, &QPushButton::clicked, this, [this] {
    Run([this] {
      m_->Pass(1);
      m_->StartStateXInsert();
      m_->StateToolsCommand1();
    });
  });
  connect(ListView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
    Run([this, item] {
      m_->SetSourceFile(item->text(0).toStdString());
      m_->RefreshSet();
    });
  });
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem*, int) { Run([this] { m_->ViewDoc(); }); });
  connect(Next, &QPushButton::clicked, this, [this] { Run([this] { m_->NextDocument(); }); });
  connect(btnExit, &QPushButton::clicked, this, [this] { if (onExit) onExit(); });
  connect(Label1, &QLabel::linkActivated, this, [this](const QString&) { Run([this] { m_->OpenMakerSite(); }); });
  connect(mnuOpen, &QAction::triggered, this, [this] { Run([this] { m_->SingleSourceFile(); }); });
  connect(mnuClose, &QAction::triggered, this, [this] {
    Run([this] {
      m_->StartStateThree();
      m_->StartStateToolEmpty();
    });
  });
  connect(mnuExit, &QAction::triggered, this, [this] { if (onExit) onExit(); });
  connect(mnuBatch, &QAction::triggered, this, [this] { if (onBatch) onBatch(); });
  connect(mnuAnalyze, &QAction::triggered, this, [this] { Run([this] { m_->ViewDoc(); }); });
  connect(mnuGlimmet, &QAction::triggered, this, [this] { Run([this] { m_->OpenInspector(); }); });
  connect(mnuOHelp, &QAction::triggered, this, [this] { Run([this] { m_->OnlineHelp(); }); });
  connect(mnuQuickStartGuide, &QAction::triggered, this, [this] { Run([this] { m_->OpenGuide("QuickStart.pdf"); }); });
  connect(mnuDocumentCorruptionGuide, &QAction::triggered, this,
          [this] { Run([this] { m_->OpenGuide("DocCorrupt.pdf"); }); });
  connect(mnuAbout, &QAction::triggered, this, [this] { if (onAbout) onAbout(); });
}

void Form2::closeEvent(QCloseEvent* event) {
  event->accept();
  if (onExit) onExit();
}

void Form2::ClearList() {
  ListView1->clear();
  hasFirst_ = false;
  first_.clear();
}

void Form2::AddRow(const std::string& key, const std::string& text) {
  auto* item = new DocumentItem;
  item->setText(0, Q(text));
  item->setData(0, Qt::UserRole, Q(key));
  ListView1->addTopLevelItem(item);
  // The first row in descending order: the greatest text so far.
  if (!hasFirst_ || NameLess(first_, text)) {
    first_ = text;
    hasFirst_ = true;
  }
}

std::optional<std::string> Form2::FirstRowText() {
  if (!hasFirst_) return std::nullopt;
  return first_;
}

void Form2::SetNextDocumentVisible(bool visible) { Next->setVisible(visible); }
void Form2::SetRefreshEnabled(bool enabled) { bttnXInsert->setEnabled(enabled); }

void Form2::SetIndicatorColour(std::uint32_t bgr) {
  colour_ = bgr;
  QPalette p = picRefresh->palette();
  p.setColor(QPalette::Window, FromBgr(bgr));
  picRefresh->setPalette(p);
}

void Form2::SetIndicatorTexts(const std::string& header, const std::string& body) {
  lblRefreshHeader->setText(Q(header));
  lblRefreshBody->setText(Q(body));
}

bool Form2::QuillwrightOptionSelected() { return chkQW->isChecked(); }
bool Form2::InspectorOptionSelected() { return chkGlimmet->isChecked(); }

void Form2::BringForward() {
  show();
  raise();
  activateWindow();
}

Form1::Form1(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Batch Documents"));
  auto* layout = new QVBoxLayout(this);
  auto* frame = new QGroupBox(QStringLiteral("Select folders:"), this);
  auto* fl = new QVBoxLayout(frame);
  auto* src = new QHBoxLayout;
  txtSrcFolder = new QLineEdit(frame);
  btnSource = new QPushButton(QStringLiteral("Select..."), frame);
  src->addWidget(new QLabel(QStringLiteral("Source:"), frame));
  src->addWidget(txtSrcFolder, 1);
  src->addWidget(btnSource);
  fl->addLayout(src);
  auto* targetRow = new QWidget(frame);
  auto* tgt = new QHBoxLayout(targetRow);
  txtTgtFolder = new QLineEdit(targetRow);
  btnTarget = new QPushButton(QStringLiteral("Select..."), targetRow);
  tgt->addWidget(new QLabel(QStringLiteral("Target:"), targetRow));
  tgt->addWidget(txtTgtFolder, 1);
  tgt->addWidget(btnTarget);
  fl->addWidget(targetRow);
  targetRow->hide();
  layout->addWidget(frame);
  layout->addWidget(new QLabel(QStringLiteral("Found Documents"), this));
  List1 = new QListWidget(this);
  layout->addWidget(List1, 1);
  auto* buttons = new QHBoxLayout;
  Command1 = new QPushButton(QStringLiteral("Start"), this);
  Command2 = new QPushButton(QStringLiteral("Cancel"), this);
  buttons->addStretch(1);
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);
  layout->addLayout(buttons);
}

void Form1::Attach(Mediator* mediator, Messages* messages) {
  m_ = mediator;
  messages_ = messages;
  connect(btnSource, &QPushButton::clicked, this, [this] { Guard(*messages_, [this] { m_->SourceFolder(); }); });
  connect(btnTarget, &QPushButton::clicked, this, [this] { Guard(*messages_, [this] { m_->TargetFolder(); }); });
  connect(Command1, &QPushButton::clicked, this, [this] {
    Guard(*messages_, [this] { m_->StartBatch(); });
    hide();
  });
  connect(Command2, &QPushButton::clicked, this, [this] { hide(); });
}

void Form1::ClearFound() { List1->clear(); }
void Form1::AddFound(const std::string& name) { List1->addItem(Q(name)); }
void Form1::SetSourceText(const std::string& folder) { txtSrcFolder->setText(Q(folder)); }
void Form1::SetTargetText(const std::string& folder) { txtTgtFolder->setText(Q(folder)); }

Form3::Form3(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Quick Start"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Select one..."), this));
  btnSingle = new QPushButton(QStringLiteral("Open Document"), this);
  btnBatch = new QPushButton(QStringLiteral("BatchDocuments"), this);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  layout->addWidget(btnSingle);
  layout->addWidget(btnBatch);
  layout->addWidget(btnCancel);
  layout->addWidget(new QLabel(QStringLiteral("Quick Start Guide:"), this));
  auto* text = new QLabel(QStringLiteral("Would you like to View Quick Start Guide? (Adobe PDF Reader required)"), this);
  text->setWordWrap(true);
  layout->addWidget(text);
  Command1 = new QPushButton(QStringLiteral("View Guide"), this);
  layout->addWidget(Command1);
  connect(btnSingle, &QPushButton::clicked, this, [this] {
    hide();
    if (onSingle) onSingle();
  });
  connect(btnBatch, &QPushButton::clicked, this, [this] {
    hide();
    if (onBatch) onBatch();
  });
  connect(btnCancel, &QPushButton::clicked, this, [this] { hide(); });
  connect(Command1, &QPushButton::clicked, this, [this] { if (onGuide) onGuide(); });
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(kProjectTitle));
  auto* layout = new QVBoxLayout(this);
  lblTitle = new QLabel(QString::fromLatin1(kProjectTitle), this);
  QFont f = lblTitle->font();
  f.setBold(true);
  f.setPointSize(f.pointSize() + 4);
  lblTitle->setFont(f);
  lblVersion = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(kVersionText), this);
  layout->addWidget(lblTitle);
  layout->addWidget(lblVersion);
  layout->addWidget(new QLabel(QStringLiteral("Proof of concept"), this));
  auto* warning = new QLabel(QStringLiteral("Warning: this program changes documents only through Quillwright, "
                                            "and only when you save them. Keep a copy of every damaged document."),
                             this);
  warning->setWordWrap(true);
  layout->addWidget(warning);
  layout->addWidget(new QLabel(QStringLiteral("Made by the Quillwright team."), this));
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  layout->addWidget(cmdOK, 0, Qt::AlignRight);
  connect(cmdOK, &QPushButton::clicked, this, [this] { close(); });
}

std::optional<std::string> QtDialogs::OpenDocument() {
  QFileDialog dialog(owner_);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QStringLiteral("Quillwright *(.qwd) (*.qwd)"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

std::string QtDialogs::BrowseForFolder(const std::string& prompt) {
  return QFileDialog::getExistingDirectory(owner_, Q(prompt)).toStdString();
}

void QtMessages::Show(const std::string& text, const std::string& caption, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, Q(caption), Q(text),
                  QMessageBox::Ok, owner_);
  box.exec();
}

void QtPump::ProcessEvents() { QCoreApplication::processEvents(); }

}  // namespace frontend
