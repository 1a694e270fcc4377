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
                         QWidget* parent, const PageFactory& ownPages)
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
    setAcceptDrops(profile.acceptsDrops);
    BuildMenu();

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    tabs = new QTabWidget(central);
    outer->addWidget(tabs, 1);

    for (int i = 0; i < kPageCount; ++i) {
        if (profile.IndexOf(i) < 0) continue;
        PageWidget* p = ownPages ? ownPages(i, *sheet_, *dialogs_, tabs) : nullptr;
        if (!p) p = MakeSharedPage(i);
        p->hide();
        pages_[static_cast<size_t>(i)] = p;
    }
    if (repairPage() && infoPage()) repairPage()->SetFindings(&infoPage()->model, infoPage()->list);
    std::array<SheetPage*, kPageCount> asPages{};
    for (size_t i = 0; i < pages_.size(); ++i) asPages[i] = pages_[i];
    sheet_->AttachPages(asPages);
    switching_ = true;
    const int shown = profile.advancedView ? profile.simplePages : profile.PageCount();
    for (int i = 0; i < shown; ++i) AddPage(profile.RoleAt(i));
    switching_ = false;
    connect(tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (switching_ || tab < 0) return;
        if (auto* p = qobject_cast<PageWidget*>(tabs->widget(tab))) sheet_->SetActivePage(p->Index());
    });

    auto* buttons = new QHBoxLayout;
    backButton = new QPushButton(QStringLiteral("Back"), central);
    backButton->setEnabled(false);
    buttons->addWidget(backButton);
    if (profile.advancedView) {
        advancedButton = new QPushButton(QStringLiteral("Advanced >>"), central);
        repairButton = new QPushButton(QStringLiteral("Repair"), central);
        repairButton->setEnabled(false);
        buttons->addWidget(advancedButton);
        buttons->addStretch(1);
        buttons->addWidget(repairButton);
        connect(advancedButton, &QPushButton::clicked, this, [this] {
            if (!commands_->Busy()) sheet_->ToggleAdvanced();
        });
        connect(repairButton, &QPushButton::clicked, this,
                [this] { commands_->Repair([this] { repairPage()->RepairAction(); }); });
    } else {
        // There is no Exit command: Close ends the program.
        closeButton = new QPushButton(QStringLiteral("&Close"), central);
        buttons->addStretch(1);
        buttons->addWidget(closeButton);
        connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    }
    outer->addLayout(buttons);
    setCentralWidget(central);
    connect(backButton, &QPushButton::clicked, this, [this] {
        if (!commands_->Busy()) sheet_->Back();
    });
    resize(760, 560);
}

QAction* SheetWindow::MenuAction(QMenu* menu, const MenuItem& item) {
    using Command = void (Commands::*)();
    struct Binding {
        int id;
        Command command;
        QAction* SheetWindow::*action;
    };
    static const Binding kBindings[] = {
        {57601, &Commands::Open, &SheetWindow::openAction},
        {57602, &Commands::Close, &SheetWindow::closeAction},
        {57607, &Commands::Print, &SheetWindow::printAction},
        {32775, &Commands::FetchCurrentDocument, &SheetWindow::fetchAction},
        {32776, &Commands::ToggleAutoRefresh, &SheetWindow::autoRefreshAction},
        {57636, &Commands::Find, &SheetWindow::findAction},
        {32783, &Commands::Scramble, &SheetWindow::scrambleAction},
        {32785, &Commands::Extract, &SheetWindow::extractAction},
        {32774, &Commands::Font, &SheetWindow::fontAction},
        {32780, &Commands::HelpTips, &SheetWindow::helpAction},
        {32784, &Commands::FileFormat, &SheetWindow::fileFormatAction},
        {32778, &Commands::About, &SheetWindow::aboutAction},
    };
    QAction* a = menu ? menu->addAction(QString::fromLatin1(item.text)) : new QAction(this);
    if (item.id == 32771) {
        exitAction = a;
        connect(a, &QAction::triggered, this, &QWidget::close);
        return a;
    }
    for (const Binding& b : kBindings) {
        if (b.id != item.id) continue;
        this->*b.action = a;
        const Command command = b.command;
        connect(a, &QAction::triggered, this, [this, command] { (commands_.get()->*command)(); });
    }
    if (item.id == 32775) a->setShortcut(QKeySequence(Qt::Key_F5));
    if (item.id == 57636) a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    if (item.id == 32776) {
        a->setCheckable(true);
        // The check mark shows the flag, never the click.
        connect(a, &QAction::triggered, this, [this] { UpdateMenuStates(); });
    }
    return a;
}

PageWidget* SheetWindow::MakeSharedPage(int role) {
    switch (role) {
    case kRepairPage: return new CRepairPage(*sheet_, *dialogs_, tabs);
    case kInfoPage: return new CInfoPage(*sheet_, *dialogs_, tabs);
    case kFormatPage: return new CFormatPage(*sheet_, tabs);
    case kFilterPage: return new CQWPage(*sheet_, tabs);
    case kPrefixPage: return new CPrefixPage(*sheet_, *dialogs_, tabs);
    case kCodesPage:
    case kSubDocPage: return new CCodesPage(*sheet_, *dialogs_, role, tabs);
    default: return new PlaceholderPage(*sheet_, role, tabs);
    }
}

void SheetWindow::BuildMenu() {
    const auto& popups = sheet_->Profile().menu;
    QMenu* menus[] = {nullptr, nullptr, nullptr, nullptr};
    for (size_t p = 0; p < popups.size() && p < std::size(menus); ++p) {
        QMenu* m = menus[p] = menuBar()->addMenu(QString::fromLatin1(popups[p].title));
        for (const MenuItem& item : popups[p].items) {
            if (item.id == 57616) {
                // The recent files go here; with none there is no item at all.
                recentSeparator_ = m->actions().isEmpty() ? nullptr : m->actions().back();
                continue;
            }
            if (item.id == 0)
                m->addSeparator();
            else
                MenuAction(m, item);
        }
    }
    fileMenu = menus[0];
    editMenu = menus[1];
    optionsMenu = menus[2];
    helpMenu = menus[3];
    // The fetch and its timer keep their keys where the menu has no item for them.
    for (const MenuItem item : {MenuItem{nullptr, 32775}, MenuItem{nullptr, 32776}}) {
        if ((item.id == 32775 ? fetchAction : autoRefreshAction) != nullptr) continue;
        QAction* a = MenuAction(nullptr, item);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }

    // A help request anywhere in the window shows the tips.
    if (sheet_->Profile().helpKey) {
        helpRequest = new QAction(this);
        helpRequest->setShortcut(QKeySequence(QKeySequence::HelpContents));
        helpRequest->setShortcutContext(Qt::WindowShortcut);
        addAction(helpRequest);
        connect(helpRequest, &QAction::triggered, this, [this] { commands_->HelpTips(); });
    }

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
    scrambleAction->setEnabled(commands_->ScrambleEnabled());
    if (extractAction) extractAction->setEnabled(commands_->TextCommandsEnabled());
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

CRepairPage* SheetWindow::repairPage() const { return qobject_cast<CRepairPage*>(page(kRepairPage)); }
bool SheetWindow::RepairRunning() const { return repairPage() && repairPage()->Running(); }

engine::RepairJob& SheetWindow::Job() { return repairPage() ? repairPage()->job : noRepair_; }
bool SheetWindow::RepairPageHasWindow() const { return repairPage() && repairPage()->HasWindow(); }
bool SheetWindow::GetNewFileName(std::string* text) const {
    return repairPage() && repairPage()->GetNewFileName(text);
}
void SheetWindow::SetNewFileName(const std::string& text) {
    if (repairPage()) repairPage()->SetNewFileName(text);
}
void SheetWindow::ShowRepairMembers() {
    if (repairPage()) repairPage()->ShowMembers();
}
int SheetWindow::RunRepair() { return repairPage() ? repairPage()->RunRepair() : 0; }
void SheetWindow::ClearFindings() {
    if (infoPage()) infoPage()->model.Clear();
}
void SheetWindow::ClearLog() {
    if (repairPage()) repairPage()->model.Clear();
}
int SheetWindow::InfoBatchStep() { return infoPage() ? infoPage()->BatchStep() : 1; }

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
CInfoPage* SheetWindow::infoPage() const { return qobject_cast<CInfoPage*>(page(kInfoPage)); }
CFormatPage* SheetWindow::formatPage() const { return qobject_cast<CFormatPage*>(page(kFormatPage)); }

void SheetWindow::SetCaption(const std::string& caption) {
    setWindowTitle(DecodeCp1252(caption));
    // Every load and unload comes by here: the shortcuts follow the document.
    if (commands_) UpdateMenuStates();
}
void SheetWindow::SetBackEnabled(bool enabled) { backButton->setEnabled(enabled); }
void SheetWindow::SetRepairEnabled(bool enabled) {
    if (repairButton) repairButton->setEnabled(enabled);
}
void SheetWindow::SetAdvancedText(const std::string& text) {
    if (advancedButton) advancedButton->setText(QString::fromLatin1(text.c_str()));
}

void SheetWindow::AddPage(int role) {
    PageWidget* p = role >= 0 ? page(role) : nullptr;
    if (!p || tabs->indexOf(p) >= 0) return;
    const bool was = switching_;
    switching_ = true;
    tabs->addTab(p, p->Title());
    switching_ = was;
}

void SheetWindow::RemovePage(int role) {
    const int tab = role >= 0 ? tabs->indexOf(page(role)) : -1;
    if (tab < 0) return;
    const bool was = switching_;
    switching_ = true;
    tabs->removeTab(tab);
    page(role)->hide();
    switching_ = was;
}

void SheetWindow::ShowPage(int role) {
    if (role < 0 || !page(role)) return;
    const bool was = switching_;
    switching_ = true;
    tabs->setCurrentWidget(page(role));
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
    if (!sheet_->Profile().acceptsDrops || urls.isEmpty() || !urls.first().isLocalFile()) return;
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
    if (sheet_->Profile().acceptsDrops && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void SheetWindow::dropEvent(QDropEvent* event) {
    DropUrls(event->mimeData()->urls());
    event->acceptProposedAction();
}

}  // namespace inspector
