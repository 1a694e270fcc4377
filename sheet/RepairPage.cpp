#include "sheet/RepairPage.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "sheet/ListOutput.h"
#include "sheet/Text.h"

namespace inspector {

namespace {

const char kNoFile[] = "No File Opened!";

std::string FileLine(const std::string& name) {
    return engine::Format<engine::Msg::LogHead>(name.c_str(), engine::Ctx().doc.dateText.c_str());
}

void Box(const std::string& text) {
    if (engine::MessageService* m = engine::Ctx().hosts.messages)
        m->Show(text, "", engine::MsgIcon::None, engine::MsgButtons::Ok);
}

const char kPending[] = "scrollWhenShown";

// A hidden list has no geometry to scroll in yet: it scrolls just before it
// is first painted, when its size is known.
class ScrollWhenShown : public QObject {
public:
    explicit ScrollWhenShown(QListView* view) : QObject(view), view_(view), viewport_(view->viewport()) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Compared, not asked of the view: the viewport also sees events
        // while the view is being destroyed.
        if (watched == viewport_ && event->type() == QEvent::Paint) {
            view_->scrollToBottom();
            viewport_->removeEventFilter(this);
            view_->setProperty(kPending, false);
            deleteLater();
        }
        return false;
    }

private:
    QListView* view_;
    QWidget* viewport_;
};

void ScrollToLastLine(QListView* view) {
    view->scrollToBottom();
    if (view->isVisible() || view->property(kPending).toBool()) return;
    view->setProperty(kPending, true);
    view->viewport()->installEventFilter(new ScrollWhenShown(view));
}

}  // namespace

std::string BatchOutputName(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return path;
    return path.substr(0, slash) + "/glimmet/" + path.substr(slash + 1);
}

CRepairPage::CRepairPage(CTabSheet& sheet, SheetDialogs& dialogs, QWidget* parent)
    : PageWidget(sheet, kRepairPage, parent), dialogs_(dialogs) {
    job.followDocument = true;
    job.prompts = true;
    job.log = &model;
    job.host = this;

    auto* outer = new QVBoxLayout(this);

    auto* fileGroup = new QGroupBox(QStringLiteral("File to Repair:"), this);
    auto* fg = new QGridLayout(fileGroup);
    fileName = new QLabel(fileGroup);
    fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    newFile = new QLineEdit(fileGroup);
    browseButton = new QPushButton(QStringLiteral("&Browse ..."), fileGroup);
    fg->addWidget(new QLabel(QStringLiteral("Original File:"), fileGroup), 0, 0);
    fg->addWidget(fileName, 0, 1, 1, 2);
    auto* newLabel = new QLabel(QStringLiteral("New File:"), fileGroup);
    newLabel->setBuddy(newFile);
    fg->addWidget(newLabel, 1, 0);
    fg->addWidget(newFile, 1, 1);
    fg->addWidget(browseButton, 1, 2);
    fg->setColumnStretch(1, 1);
    outer->addWidget(fileGroup);

    auto* repairGroup = new QGroupBox(QStringLiteral("Repair"), this);
    auto* rg = new QVBoxLayout(repairGroup);
    repairCorruption = new QCheckBox(QStringLiteral("&Repair Corruption"), repairGroup);
    removeUndo = new QCheckBox(QStringLiteral("Remove &UNDO information:"), repairGroup);
    removeStyles = new QCheckBox(QStringLiteral("Remove Unused &Styles:"), repairGroup);
    for (QCheckBox* b : {repairCorruption, removeUndo, removeStyles}) rg->addWidget(b);
    outer->addWidget(repairGroup);

    auto* logGroup = new QGroupBox(QStringLiteral("Log File"), this);
    auto* lg = new QVBoxLayout(logGroup);
    list = new QListView(logGroup);
    list->setModel(&model);
    list->setItemDelegate(new TaggedItemDelegate(DefaultLineStyle, list));
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lg->addWidget(list, 1);
    auto* buttons = new QHBoxLayout;
    printButton = new QPushButton(QStringLiteral("&Print Log..."), logGroup);
    saveButton = new QPushButton(QStringLiteral("&Save Log To Disk..."), logGroup);
    buttons->addStretch(1);
    buttons->addWidget(printButton);
    buttons->addWidget(saveButton);
    lg->addLayout(buttons);
    outer->addWidget(logGroup, 1);

    connect(repairCorruption, &QCheckBox::clicked, this, [this] { Clicked(repairCorruption, kDefaultRepairCorruption); });
    connect(removeUndo, &QCheckBox::clicked, this, [this] { Clicked(removeUndo, kDefaultRemoveUndo); });
    connect(removeStyles, &QCheckBox::clicked, this, [this] { Clicked(removeStyles, kDefaultRemoveStyles); });
    connect(browseButton, &QPushButton::clicked, this, &CRepairPage::Browse);
    connect(printButton, &QPushButton::clicked, this, [this] {
        model.Flush();
        PrintList(model, dialogs_, sheet_.Profile());
    });
    connect(saveButton, &QPushButton::clicked, this, [this] {
        model.Flush();
        SaveListToFile(model, dialogs_);
    });
}

void CRepairPage::SetFindings(TaggedListModel* findings, QListView* view) {
    findings_ = findings;
    findingsView_ = view;
    job.findings = findings;
}

bool CRepairPage::RepairAvailable() const {
    return sheet_.Document() != nullptr && sheet_.Header().FileType() != 22;
}

void CRepairPage::OnInitDialog() {
    const uint32_t defaults = sheet_.GetButtonDefaults();
    job.repairCorruption = (defaults & kDefaultRepairCorruption) != 0;
    job.removeUndo = (defaults & kDefaultRemoveUndo) != 0;
    job.removeUnusedStyles = (defaults & kDefaultRemoveStyles) != 0;
    ShowMembers();
}

void CRepairPage::Activated() {
    if (needsRefresh) Refresh();
}

void CRepairPage::UpdatePage(uint32_t flags) {
    if (flags == kPrintDetail) {
        model.Flush();
        // Each line whole, however long its path.
        for (size_t i = 0, n = model.Size(); i < n; ++i) engine::PrintLine(engine::SilentTarget(), model.Text(i));
        return;
    }
    if (!(flags & kUpdateDocument)) return;
    if (sheet_.Document() || sheet_.ActivePage() == kRepairPage) {
        Refresh();
    } else if (created_) {
        saveButton->setEnabled(false);
        printButton->setEnabled(false);
    }
}

void CRepairPage::Refresh() {
    needsRefresh = false;
    engine::DocFile* doc = sheet_.Document();
    const bool graphics = doc && sheet_.Header().FileType() == 22;
    const bool repairable = doc && !graphics;
    if (created_) {
        for (QWidget* w : std::initializer_list<QWidget*>{saveButton, printButton, newFile, browseButton})
            w->setEnabled(repairable);
        for (QWidget* w : std::initializer_list<QWidget*>{removeStyles, removeUndo, repairCorruption})
            w->setEnabled(!graphics);
    }
    const std::string& path = engine::Ctx().sink.fileName;
    if (doc) {
        if (job.followDocument) {
            job.repairedFileName = path;
            job.inPlace = false;
        }
        SetNewFileName(sheet_.Batch() && !job.outputReplacesInput ? BatchOutputName(path) : path);
    } else {
        if (job.followDocument) job.repairedFileName = kNoFile;
        SetNewFileName("");
    }
    if (created_ && job.followDocument) {
        const bool batch = sheet_.Batch();
        if (repairable) {
            if (!batch) model.Clear();
            model.Append(job.repairedFileName.empty() ? std::string(kNoFile) : FileLine(job.repairedFileName), 0);
            const engine::CheckState& st = engine::Ctx().check;
            model.Append(st.countMismatches != 0 || st.otherFindings != 0 ? engine::Text(engine::Msg::VerdictCorrupt) : engine::Text(engine::Msg::VerdictSound),
                         0);
        } else if (!batch) {
            model.Clear();
            model.Append(graphics ? FileLine(job.repairedFileName) : std::string(kNoFile), 0);
        }
        model.Flush();
    }
    if (created_) ShowMembers();
}

void CRepairPage::ShowMembers() {
    if (!created_) return;
    fileName->setText(PathText(job.repairedFileName));
    repairCorruption->setChecked(job.repairCorruption);
    removeUndo->setChecked(job.removeUndo);
    removeStyles->setChecked(job.removeUnusedStyles);
}

void CRepairPage::ReadControls() {
    if (!created_) return;
    job.repairCorruption = repairCorruption->isChecked();
    job.removeUndo = removeUndo->isChecked();
    job.removeUnusedStyles = removeStyles->isChecked();
}

void CRepairPage::Clicked(QCheckBox* box, uint32_t bit) {
    ReadControls();
    sheet_.SetButtonDefaultBits(bit, box->isChecked());
}

void CRepairPage::Browse() {
    const std::optional<std::string> path = dialogs_.BrowseNewFileName();
    if (!path) return;
    SetNewFileName(*path);
    ShowMembers();
}

bool CRepairPage::GetNewFileName(std::string* text) const {
    if (!created_ || !newFile) return false;
    *text = PathBytes(newFile->text());
    return true;
}

void CRepairPage::SetNewFileName(const std::string& text) {
    if (created_ && newFile) newFile->setText(PathText(text));
}

void CRepairPage::RepairAction() {
    if (running_) return;
    ReadControls();
    if (!job.repairCorruption && !job.removeUndo && !job.removeUnusedStyles) {
        Box("Nothing Selected to repair.  Select the items to on the \"Repair Document\" tab.");
        return;
    }
    RunRepair();
}

int CRepairPage::RunRepair() {
    if (running_) return 0;
    running_ = true;
    ReadControls();
    std::string name;
    if (GetNewFileName(&name)) job.outputName = name;
    job.findings = findings_;
    const int result = engine::RepairDocument(job);
    running_ = false;
    return result;
}

std::optional<std::string> CRepairPage::AskOutputName(const std::string& name) {
    std::optional<std::string> chosen = dialogs_.SaveAsFileName(name);
    if (chosen) SetNewFileName(*chosen);
    return chosen;
}

bool CRepairPage::BatchRunning() const { return sheet_.Batch(); }

void CRepairPage::ClearLog() { model.Clear(); }

void CRepairPage::ScrollLists() {
    model.Flush();
    ScrollToLastLine(list);
    if (findings_) findings_->Flush();
    if (findingsView_) ScrollToLastLine(findingsView_);
}

void CRepairPage::LoadDocument(const std::string& path) { sheet_.LoadDocument(path, true); }

}  // namespace inspector
