#include "sheet/SheetWindow.h"

#include <QAction>
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
#include "sheet/ListOutput.h"
#include "sheet/Pages.h"
#include "sheet/RepairPage.h"
#include "sheet/Text.h"

namespace inspector {

SheetWindow::SheetWindow(const SheetProfile& profile, SheetDialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs) {
    if (!dialogs_) {
        ownDialogs_ = std::make_unique<QtSheetDialogs>(this);
        dialogs_ = ownDialogs_.get();
    }
    sheet_ = std::make_unique<CTabSheet>(profile, this);
    setWindowTitle(QString::fromLatin1(profile.title));
    setAcceptDrops(true);

    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    openAction = fileMenu->addAction(QStringLiteral("&Open..."));
    closeAction = fileMenu->addAction(QStringLiteral("&Close"));
    fileMenu->addSeparator();
    exitAction = fileMenu->addAction(QStringLiteral("Exit"));
    recentSeparator_ = fileMenu->addSeparator();
    connect(fileMenu, &QMenu::aboutToShow, this, &SheetWindow::RebuildFileMenu);
    connect(openAction, &QAction::triggered, this, &SheetWindow::Open);
    connect(closeAction, &QAction::triggered, this, [this] {
        if (!RepairRunning()) sheet_->UnloadDocument();
    });
    connect(exitAction, &QAction::triggered, this, &QWidget::close);

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
        if (!RepairRunning()) sheet_->Back();
    });
    connect(advancedButton, &QPushButton::clicked, this, [this] {
        if (!RepairRunning()) sheet_->ToggleAdvanced();
    });
    connect(repairButton, &QPushButton::clicked, this, [this] { repairPage()->RepairAction(); });
    resize(760, 560);
}

SheetWindow::~SheetWindow() {
    Finish();
    // The pages go with the tab widget; the sheet must not outlive them.
    sheet_->AttachPages({});
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
CInfoPage* SheetWindow::infoPage() const { return static_cast<CInfoPage*>(page(kInfoPage)); }
CFormatPage* SheetWindow::formatPage() const { return static_cast<CFormatPage*>(page(kFormatPage)); }

void SheetWindow::SetCaption(const std::string& caption) { setWindowTitle(DecodeCp1252(caption)); }
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
        connect(a, &QAction::triggered, this, [this, number] {
            if (!RepairRunning()) sheet_->OpenRecent(number);
        });
        recentActions.append(a);
    }
    closeAction->setEnabled(sheet_->Document() != nullptr);
}

void SheetWindow::Open() {
    if (RepairRunning()) return;
    uint32_t filter = sheet_->Settings().openFilterIndex;
    const std::optional<std::string> path = dialogs_->OpenFileName(&filter);
    if (!path) return;
    sheet_->Settings().openFilterIndex = filter;
    sheet_->LoadDocument(*path, false);
}

void SheetWindow::DropUrls(const QList<QUrl>& urls) {
    if (RepairRunning() || urls.isEmpty() || !urls.first().isLocalFile()) return;
    sheet_->LoadDocument(PathBytes(urls.first().toLocalFile()), false);
}

void SheetWindow::closeEvent(QCloseEvent* event) {
    // Disabled while a long scan's progress dialog is up: the scan still
    // reads the document, which closing would take from under it.
    if (!isEnabled() || RepairRunning()) {
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
