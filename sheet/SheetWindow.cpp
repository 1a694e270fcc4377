#include "sheet/SheetWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "engine/EngineContext.h"
#include "platform/desktop/Desktop.h"
#include "sheet/CodesPage.h"
#include "sheet/Dialogs.h"
#include "sheet/Fetch.h"
#include "sheet/FilterPage.h"
#include "sheet/ListOutput.h"
#include "sheet/Pages.h"
#include "sheet/PrefixPage.h"
#include "sheet/RepairPage.h"
#include "sheet/Text.h"

namespace inspector {

SheetWindow::SheetWindow(const SheetProfile& profile, SheetDialogs* dialogs, CommandDialogs* commandDialogs,
                         QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs) {
    if (!dialogs_) {
        ownDialogs_ = std::make_unique<QtSheetDialogs>(this);
        dialogs_ = ownDialogs_.get();
    }
    if (!commandDialogs) {
        ownCommandDialogs_ = std::make_unique<QtCommandDialogs>(this, *dialogs_, profile);
        commandDialogs = ownCommandDialogs_.get();
    }
    sheet_ = std::make_unique<CTabSheet>(profile, this);
    CommandServices services;
    services.dialogs = commandDialogs;
    services.pages = this;
    services.programFolder = [] { return PathBytes(QCoreApplication::applicationDirPath()); };
    services.fetchTarget = sheet::FetchTargetPath;
    commands_ = std::make_unique<Commands>(*sheet_, std::move(services));
    setWindowTitle(QString::fromLatin1(profile.title));
    setAcceptDrops(true);
    BuildMenu();

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    tabs = new QTabWidget(central);
    outer->addWidget(tabs, 1);

    for (int i = 0; i < kPageCount; ++i) {
        PageWidget* p = nullptr;
        if (i == kRepairPage)
            p = new CRepairPage(*sheet_, *dialogs_, tabs);
        else if (i == kInfoPage)
            p = new CInfoPage(*sheet_, *dialogs_, tabs);
        else if (i == kFormatPage)
            p = new CFormatPage(*sheet_, tabs);
        else if (i == kFilterPage)
            p = new CQWPage(*sheet_, tabs);
        else if (i == kPrefixPage)
            p = new CPrefixPage(*sheet_, *dialogs_, tabs);
        else if (i == kCodesPage || i == kSubDocPage)
            p = new CCodesPage(*sheet_, *dialogs_, i, tabs);
        else
            p = new PlaceholderPage(*sheet_, i, tabs);
        p->hide();
        pages_[static_cast<size_t>(i)] = p;
    }
    repairPage()->SetFindings(&infoPage()->model, infoPage()->list);
    std::array<SheetPage*, kPageCount> asPages{};
    for (size_t i = 0; i < pages_.size(); ++i) asPages[i] = pages_[i];
    sheet_->AttachPages(asPages);
    switching_ = true;
    for (int i = 0; i < profile.simplePages; ++i) AddPage(i);
    switching_ = false;
    connect(tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (switching_ || tab < 0) return;
        if (auto* p = qobject_cast<PageWidget*>(tabs->widget(tab))) sheet_->SetActivePage(p->Index());
    });

    auto* buttons = new QHBoxLayout;
    backButton = new QPushButton(QStringLiteral("Back"), central);
    advancedButton = new QPushButton(QStringLiteral("Advanced >>"), central);
    repairButton = new QPushButton(QStringLiteral("Repair"), central);
    backButton->setEnabled(false);
    repairButton->setEnabled(false);
    buttons->addWidget(backButton);
    buttons->addWidget(advancedButton);
    buttons->addStretch(1);
    buttons->addWidget(repairButton);
    outer->addLayout(buttons);
    setCentralWidget(central);
    connect(backButton, &QPushButton::clicked, this, [this] {
        if (!commands_->Busy()) sheet_->Back();
    });
    connect(advancedButton, &QPushButton::clicked, this, [this] {
        if (!commands_->Busy()) sheet_->ToggleAdvanced();
    });
    connect(repairButton, &QPushButton::clicked, this,
            [this] { commands_->Repair([this] { repairPage()->RepairAction(); }); });
    resize(760, 560);
}

void SheetWindow::BuildMenu() {
    auto add = [this](QMenu* menu, const char* text, void (Commands::*command)()) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        connect(a, &QAction::triggered, this, [this, command] { (commands_.get()->*command)(); });
        return a;
    };
    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    openAction = add(fileMenu, "&Open...", &Commands::Open);
    closeAction = add(fileMenu, "&Close", &Commands::Close);
    printAction = add(fileMenu, "&Print...", &Commands::Print);
    fetchAction = add(fileMenu, "Fetch &Document from Quillwright", &Commands::FetchCurrentDocument);
    fetchAction->setShortcut(QKeySequence(Qt::Key_F5));
    autoRefreshAction = add(fileMenu, "&Auto Refresh", &Commands::ToggleAutoRefresh);
    autoRefreshAction->setCheckable(true);
    // The check mark shows the flag, never the click.
    connect(autoRefreshAction, &QAction::triggered, this, [this] { UpdateMenuStates(); });
    fileMenu->addSeparator();
    exitAction = fileMenu->addAction(QStringLiteral("Exit"));
    connect(exitAction, &QAction::triggered, this, &QWidget::close);
    recentSeparator_ = fileMenu->addSeparator();

    editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    findAction = add(editMenu, "&Find...", &Commands::Find);
    findAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    editMenu->addSeparator();
    scrambleAction = add(editMenu, "&Scramble all text...", &Commands::Scramble);
    editMenu->addSeparator();
    extractAction = add(editMenu, "&Extract text from document...", &Commands::Extract);

    optionsMenu = menuBar()->addMenu(QStringLiteral("&Options"));
    fontAction = add(optionsMenu, "&Font...", &Commands::Font);

    helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    helpAction = add(helpMenu, "&Help...", &Commands::HelpTips);
    helpMenu->addSeparator();
    fileFormatAction = add(helpMenu, "&File Format...", &Commands::FileFormat);
    helpMenu->addSeparator();
    aboutAction = add(helpMenu, "&About...", &Commands::About);

    // A help request anywhere in the window shows the tips.
    helpRequest = new QAction(this);
    helpRequest->setShortcut(QKeySequence(QKeySequence::HelpContents));
    helpRequest->setShortcutContext(Qt::WindowShortcut);
    addAction(helpRequest);
    connect(helpRequest, &QAction::triggered, this, [this] { commands_->HelpTips(); });

    connect(fileMenu, &QMenu::aboutToShow, this, &SheetWindow::RebuildFileMenu);
    for (QMenu* m : {editMenu, optionsMenu, helpMenu})
        connect(m, &QMenu::aboutToShow, this, &SheetWindow::UpdateMenuStates);
    UpdateMenuStates();
}

void SheetWindow::UpdateMenuStates() {
    const bool open = commands_->DocumentOpen();
    closeAction->setEnabled(open);
    printAction->setEnabled(open);
    findAction->setEnabled(open);
    scrambleAction->setEnabled(commands_->TextCommandsEnabled());
    extractAction->setEnabled(commands_->TextCommandsEnabled());
    autoRefreshAction->setChecked(sheet_->AutoRefresh());
}

SheetWindow::~SheetWindow() {
    Finish();
    commands_.reset();
    // The pages go with the tab widget; the sheet must not outlive them.
    sheet_->AttachPages({});
    // The Sub Document page goes before the Codes page, whose "Filter Codes"
    // is the one kept.
    delete pages_[kSubDocPage];
    pages_[kSubDocPage] = nullptr;
}

void SheetWindow::Start(const std::string& pendingPath) {
    sheet_->SetPendingPath(pendingPath);
    sheet_->OnCreate();
    sheet_->OnInitDialog();
}

void SheetWindow::Finish() {
    if (finished_) return;
    finished_ = true;
    sheet_->OnDestroy();
}

CRepairPage* SheetWindow::repairPage() const { return static_cast<CRepairPage*>(page(kRepairPage)); }
bool SheetWindow::RepairRunning() const { return repairPage()->Running(); }

engine::RepairJob& SheetWindow::Job() { return repairPage()->job; }
bool SheetWindow::RepairPageHasWindow() const { return repairPage()->HasWindow(); }
bool SheetWindow::GetNewFileName(std::string* text) const { return repairPage()->GetNewFileName(text); }
void SheetWindow::SetNewFileName(const std::string& text) { repairPage()->SetNewFileName(text); }
void SheetWindow::ShowRepairMembers() { repairPage()->ShowMembers(); }
int SheetWindow::RunRepair() { return repairPage()->RunRepair(); }
void SheetWindow::ClearFindings() { infoPage()->model.Clear(); }
void SheetWindow::ClearLog() { repairPage()->model.Clear(); }
int SheetWindow::InfoBatchStep() { return infoPage()->BatchStep(); }

bool SheetWindow::PageHex(int index) const {
    if (index == kPrefixPage) return static_cast<CPrefixPage*>(page(index))->hexBox->isChecked();
    if (index == kCodesPage || index == kSubDocPage) return static_cast<CCodesPage*>(page(index))->hexBox->isChecked();
    return false;
}

void SheetWindow::SetPageHex(int index, bool on) {
    if (index == kPrefixPage) static_cast<CPrefixPage*>(page(index))->hexBox->setChecked(on);
    if (index == kCodesPage || index == kSubDocPage) static_cast<CCodesPage*>(page(index))->hexBox->setChecked(on);
}

int SheetWindow::SelectedRow(int index) const {
    if (index == kPrefixPage) return static_cast<CPrefixPage*>(page(index))->SelectedPacketRow();
    if (index == kCodesPage || index == kSubDocPage) return static_cast<CCodesPage*>(page(index))->SelectedCodeRow();
    return -1;
}

void SheetWindow::SetWaitCursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool SheetWindow::ModalUp() const { return QApplication::activeModalWidget() != nullptr || !isEnabled(); }
CInfoPage* SheetWindow::infoPage() const { return static_cast<CInfoPage*>(page(kInfoPage)); }
CFormatPage* SheetWindow::formatPage() const { return static_cast<CFormatPage*>(page(kFormatPage)); }

void SheetWindow::SetCaption(const std::string& caption) {
    setWindowTitle(DecodeCp1252(caption));
    // Every load and unload comes by here: the shortcuts follow the document.
    if (commands_) UpdateMenuStates();
}
void SheetWindow::SetBackEnabled(bool enabled) { backButton->setEnabled(enabled); }
void SheetWindow::SetRepairEnabled(bool enabled) { repairButton->setEnabled(enabled); }
void SheetWindow::SetAdvancedText(const std::string& text) { advancedButton->setText(QString::fromLatin1(text.c_str())); }

void SheetWindow::AddPage(int index) {
    PageWidget* p = page(index);
    if (tabs->indexOf(p) >= 0) return;
    const bool was = switching_;
    switching_ = true;
    tabs->addTab(p, p->Title());
    switching_ = was;
}

void SheetWindow::RemovePage(int index) {
    const int tab = tabs->indexOf(page(index));
    if (tab < 0) return;
    const bool was = switching_;
    switching_ = true;
    tabs->removeTab(tab);
    page(index)->hide();
    switching_ = was;
}

void SheetWindow::ShowPage(int index) {
    const bool was = switching_;
    switching_ = true;
    tabs->setCurrentWidget(page(index));
    switching_ = was;
}

void SheetWindow::RebuildFileMenu() {
    for (QAction* a : recentActions) {
        fileMenu->removeAction(a);
        delete a;
    }
    recentActions.clear();
    int number = 0;
    for (const std::string& path : sheet_->Recent().Entries()) {
        ++number;
        QString text = PathText(path);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = fileMenu->addAction(QStringLiteral("&%1. %2").arg(number).arg(text));
        connect(a, &QAction::triggered, this, [this, number] { commands_->OpenRecent(number); });
        recentActions.append(a);
    }
    UpdateMenuStates();
}

void SheetWindow::DropUrls(const QList<QUrl>& urls) {
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    commands_->LoadDropped(PathBytes(urls.first().toLocalFile()));
}

void SheetWindow::closeEvent(QCloseEvent* event) {
    // Disabled while a long scan's progress dialog is up: the scan still
    // reads the document, which closing would take from under it.
    if (!isEnabled() || commands_->Busy()) {
        event->ignore();
        return;
    }
    Finish();
    event->accept();
}

void SheetWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void SheetWindow::dropEvent(QDropEvent* event) {
    DropUrls(event->mimeData()->urls());
    event->acceptProposedAction();
}

}  // namespace inspector
