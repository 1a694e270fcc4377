#include "sheet/Pages.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/Check.h"
#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "graphics/Dumper.h"
#include "sheet/ListOutput.h"
#include "sheet/Text.h"
#include "sheet/TreeTarget.h"

namespace inspector {

namespace {

const std::string kRule(61, '=');

QLabel* ValueField(QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("0,000,000,000 Bytes ")) + 8);
    return l;
}

}  // namespace

QListView* MakeList(QWidget* parent, QAbstractItemModel* model, LineStyler styler) {
    auto* v = new QListView(parent);
    v->setModel(model);
    v->setItemDelegate(new TaggedItemDelegate(std::move(styler), v));
    v->setUniformItemSizes(true);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return v;
}

int SelectedListRow(const QAbstractItemView* list) {
    const QModelIndex i = list->currentIndex();
    if (!i.isValid() || !list->selectionModel()->isSelected(i)) return -1;
    return i.row();
}

void SelectListRow(QAbstractItemView* list, int row, bool centre) {
    auto* model = list->model();
    if (row < 0 || row >= model->rowCount()) {
        list->clearSelection();
        list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
        return;
    }
    const QModelIndex i = model->index(row, 0);
    list->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    list->scrollTo(i, centre ? QAbstractItemView::PositionAtCenter : QAbstractItemView::PositionAtTop);
}

namespace {

void SetText(QLabel* l, const std::string& text) { l->setText(DecodeCp1252(text)); }

}  // namespace

std::optional<QFont> ListFontOf(const SheetSettings& settings) {
    if (!settings.listFont) return std::nullopt;
    const LogFont& lf = *settings.listFont;
    QFont f(QString::fromLatin1(lf.faceName.c_str()));
    if (lf.height != 0) f.setPixelSize(std::max(1, std::abs(lf.height)));
    if (lf.weight > 0) f.setWeight(static_cast<QFont::Weight>(std::clamp<int>(lf.weight, 100, 900)));
    f.setItalic(lf.italic != 0);
    f.setUnderline(lf.underline != 0);
    f.setStrikeOut(lf.strikeOut != 0);
    return f;
}

QFont ListOrFixedFont(const SheetSettings& settings) {
    if (auto f = ListFontOf(settings)) return *f;
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

PageWidget::PageWidget(CTabSheet& sheet, int index, QWidget* parent)
    : QWidget(parent), sheet_(sheet), index_(index) {}

QString PageWidget::Title() const {
    return QString::fromLatin1(sheet_.Profile().pageTitles[static_cast<size_t>(index_)]);
}

void PageWidget::OnSetActive() {
    if (!created_) {
        created_ = true;
        OnInitDialog();
    }
    Activated();
}

PlaceholderPage::PlaceholderPage(CTabSheet& sheet, int index, QWidget* parent)
    : PageWidget(sheet, index, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
}

// ---- Information ----

CInfoPage::CInfoPage(CTabSheet& sheet, SheetDialogs& dialogs, QWidget* parent)
    : PageWidget(sheet, kInfoPage, parent), dialogs_(dialogs) {
    auto* outer = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* fileForm = new QFormLayout;
    totalSize = ValueField(this);
    date = ValueField(this);
    format = ValueField(this);
    fileForm->addRow(QStringLiteral("Total File Size:"), totalSize);
    fileForm->addRow(QStringLiteral("Last Modified Date:"), date);
    fileForm->addRow(QStringLiteral("File Format:"), format);
    auto* saveForm = new QFormLayout;
    undoOnly = ValueField(this);
    stylesOnly = ValueField(this);
    both = ValueField(this);
    deletable = ValueField(this);
    saveForm->addRow(QStringLiteral("Remove UNDO information ONLY:"), undoOnly);
    saveForm->addRow(QStringLiteral("Remove UNUSED styles ONLY:"), stylesOnly);
    saveForm->addRow(QStringLiteral("Remove BOTH Undo and Unused Styles:"), both);
    saveForm->addRow(QStringLiteral("Deletable Prefix data:"), deletable);
    top->addLayout(fileForm);
    top->addSpacing(16);
    top->addLayout(saveForm);
    top->addStretch(1);
    outer->addLayout(top);

    auto* group = new QGroupBox(QString::fromLatin1(engine::Text(engine::Msg::CorruptionSummary)), this);
    auto* gl = new QVBoxLayout(group);
    list = MakeList(group, &model, [this](uint32_t tag) { return StyleOf(tag); });
    gl->addWidget(list, 1);
    auto* buttons = new QHBoxLayout;
    saveButton = new QPushButton(QStringLiteral("Save To Disk..."), group);
    printButton = new QPushButton(QStringLiteral("Print..."), group);
    buttons->addStretch(1);
    buttons->addWidget(saveButton);
    buttons->addWidget(printButton);
    gl->addLayout(buttons);
    outer->addWidget(group, 1);
    saveButton->setEnabled(false);
    printButton->setEnabled(false);

    connect(saveButton, &QPushButton::clicked, this, [this] {
        model.Flush();
        SaveListToFile(model, dialogs_);
    });
    connect(printButton, &QPushButton::clicked, this, [this] {
        model.Flush();
        PrintList(model, dialogs_, sheet_.Profile());
    });
    connect(list, &QListView::doubleClicked, this, [this](const QModelIndex& i) { DoubleClicked(i.row()); });
}

LineStyle CInfoPage::StyleOf(uint32_t tag) const {
    LineStyle s;
    s.underline = (tag & engine::kTagPacket) != 0;
    if ((tag & (engine::kTagPacket | engine::kTagDamage)) && sheet_.Advanced() && sheet_.Document())
        s.colour = QColor(0, 0, 0xFF);
    return s;
}

void CInfoPage::OnInitDialog() { UpdatePage(kUpdateAll); }

void CInfoPage::Activated() {
    if (notFilled_) Fill();
}

void CInfoPage::UpdatePage(uint32_t flags) {
    if (!created_) return;
    if (flags == kPrintSummary || flags == kPrintEveryItem) return;
    if (flags == kPrintDetail) {
        engine::PrintLine(&model, kRule);
        engine::PrintLine(&model, "Corruption");
        engine::PrintLine(&model, kRule);
        // The check's lines go to the printer; what it would add to a list
        // goes to one nobody sees, so the findings shown stay as they are.
        if (engine::DocFile* doc = sheet_.Document()) {
            TaggedListModel scratch;
            if (sheet_.Header().FileType() == 22)
                graphics::CheckQwgRecords(doc, &scratch, 0);
            else
                engine::CheckDocument(doc, &scratch);
        }
        return;
    }
    if (flags & kUpdateFont) {
        if (auto font = ListFontOf(sheet_.Settings())) list->setFont(*font);
    }
    if (flags & kUpdateDocument) Fill();
}

void CInfoPage::ClearFields() {
    for (QLabel* l : {totalSize, date, format, undoOnly, stylesOnly, both, deletable}) l->clear();
}

void CInfoPage::Fill() {
    const engine::EngineContext& c = engine::Ctx();
    engine::DocFile* doc = sheet_.Document();
    const bool batch = sheet_.Batch();
    const bool enable = !c.sink.fileName.empty();
    saveButton->setEnabled(enable);
    printButton->setEnabled(enable);

    // Findings of a document that has not changed since they were listed
    // stay: the check does not run again to list them a second time.
    const bool current = doc && !batch && filledGeneration_ == sheet_.DocumentGeneration() &&
                         !c.doc.changed && model.Size() > 0;
    if (!current) {
        if (!batch) model.Clear();
        const std::string heading =
            engine::Format<engine::Msg::LogHead>(c.sink.fileName.c_str(), c.doc.dateText.c_str());
        if (doc && sheet_.Header().FileType() == 22) {
            model.Append(heading, 0);
            graphics::CheckQwgRecords(doc, &model, 0);
        } else if (doc) {
            model.Append(heading, 0);
            engine::RecheckDocument(doc, &model);
        }
        model.Flush();
    }
    if (doc) {
        SetText(totalSize, FormatByteCount(c.doc.fileSize));
        SetText(date, c.doc.dateText);
        if (sheet_.Header().FileType() == 22) {
            SetText(format, doc->IsCompound() ? "QWG 3.0 format " : "QWG 2.x format ");
            for (QLabel* l : {undoOnly, stylesOnly, both, deletable}) l->clear();
        } else {
            const engine::CheckTotals& t = c.check.totals;
            SetText(format, doc->IsCompound() ? "QW 7.0 format " : "QW 6.0 format ");
            SetText(undoOnly, FormatByteCount(t.undoBytes));
            SetText(stylesOnly, FormatByteCount(t.unusedStyleBytes));
            SetText(deletable, FormatByteCount(t.deletedBytes));
            both->clear();
        }
    }
    if (model.Size() == 0) {
        if (!batch) {
            engine::PrintLine(&model, engine::Text(engine::Msg::NoFileOpen));
            model.Flush();
        }
        ClearFields();
    }
    filledGeneration_ = sheet_.DocumentGeneration();
    notFilled_ = false;
}

void CInfoPage::DoubleClicked(int row) {
    if (row < 0 || static_cast<size_t>(row) >= model.Size() || !sheet_.Advanced()) return;
    const uint32_t tag = model.Tag(static_cast<size_t>(row));
    if ((tag & (engine::kTagPacket | engine::kTagDamage)) == 0) return;
    sheet_.PushHistory(kInfoPage, static_cast<uint32_t>(row), tag);
}

// ---- Format ----

CFormatPage::CFormatPage(CTabSheet& sheet, QWidget* parent) : PageWidget(sheet, kFormatPage, parent) {
    auto* outer = new QVBoxLayout(this);
    auto* generalLabel = new QLabel(QStringLiteral("&General Info:"), this);
    list = MakeList(this, &model, [](uint32_t) { return LineStyle{}; });
    generalLabel->setBuddy(list);
    outer->addWidget(generalLabel);
    outer->addWidget(list, 2);
    outer->addWidget(new QLabel(QStringLiteral("Docfile Directory Information:"), this));
    tree = new QTreeWidget(this);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setUniformRowHeights(true);
    tree->setRootIsDecorated(true);
    tree->setDragEnabled(false);
    outer->addWidget(tree, 3);

    auto* fields = new QGridLayout;
    classId = new QLabel(this);
    classId->setTextInteractionFlags(Qt::TextSelectableByMouse);
    prefixSize = ValueField(this);
    codeAreaSize = ValueField(this);
    fields->addWidget(new QLabel(QStringLiteral("Class ID:"), this), 0, 0);
    fields->addWidget(classId, 0, 1, 1, 3);
    fields->addWidget(new QLabel(QStringLiteral("Prefix Size:"), this), 1, 0);
    fields->addWidget(prefixSize, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Code Area Size:"), this), 1, 2);
    fields->addWidget(codeAreaSize, 1, 3);
    fields->setColumnStretch(4, 1);
    outer->addLayout(fields);
    if (!sheet.Profile().pages.formatSizes) {
        for (QLayoutItem* item : {fields->itemAtPosition(1, 0), fields->itemAtPosition(1, 2)})
            if (item && item->widget()) item->widget()->hide();
        prefixSize->hide();
        codeAreaSize->hide();
    }

    QStyle* st = style();
    treeTarget_ = std::make_unique<QtTreeTarget>(
        tree, std::array<QIcon, 3>{st->standardIcon(QStyle::SP_DirClosedIcon), st->standardIcon(QStyle::SP_DirOpenIcon),
                                   st->standardIcon(QStyle::SP_FileIcon)});
    connect(tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* i) { Expanded(i, true); });
    connect(tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* i) { Expanded(i, false); });
}

CFormatPage::~CFormatPage() = default;

// The list font from the start, as the Information page has it; the fill
// waits for the page to show, unless pages refill at once.
void CFormatPage::OnInitDialog() {
    UpdatePage(sheet_.Profile().pages.refillAtOnce ? kUpdateAll : kUpdateFont);
}

void CFormatPage::Activated() {
    if (needsRefill_) Fill();
    engine::Ctx().describer.currentTarget = nullptr;
}

void CFormatPage::Expanded(QTreeWidgetItem* item, bool expanded) {
    const int image = QtTreeTarget::ImageOf(item);
    if (expanded && image == kStorageClosed)
        treeTarget_->SetImage(item, kStorageOpen);
    else if (!expanded && image == kStorageOpen)
        treeTarget_->SetImage(item, kStorageClosed);
}

void CFormatPage::UpdatePage(uint32_t flags) {
    if (!created_) return;
    if (flags == kPrintSummary || flags == kPrintEveryItem) return;
    if (flags == kPrintDetail) {
        engine::DocFile* doc = sheet_.Document();
        engine::PrintLine(&model, kRule);
        engine::PrintLine(&model, "File Header Display");
        engine::PrintLine(&model, kRule);
        engine::Ctx().describer.currentTarget = &model;
        if (doc) ListHeader(doc);
        engine::PrintLine(&model, kRule);
        engine::PrintLine(&model, "QW7/QWG3 Object Pool Display");
        engine::PrintLine(&model, kRule);
        if (doc) engine::ShowFileFormat(doc, nullptr, nullptr, sheet_.Header());
        engine::Ctx().describer.currentTarget = nullptr;
        model.Flush();
        return;
    }
    if (flags & kUpdateFont) {
        const QFont font = ListOrFixedFont(sheet_.Settings());
        list->setFont(font);
        tree->setFont(font);
    }
    if (flags & kUpdateDocument) {
        if (sheet_.ActivePage() == kFormatPage || sheet_.Profile().pages.refillAtOnce)
            Fill();
        else if (sheet_.Document())
            needsRefill_ = true;
    }
}

void CFormatPage::ListHeader(engine::DocFile* doc) {
    const auto list = sheet_.Profile().listFileHeader;
    (list ? list : &engine::ListFileHeader)(doc, &model);
}

void CFormatPage::Fill() {
    model.Clear();
    treeTarget_->Clear();
    engine::EngineContext& c = engine::Ctx();
    if (engine::DocFile* doc = sheet_.Document()) {
        ListHeader(doc);
        model.Flush();
        std::string classText;
        c.describer.currentTarget = nullptr;
        engine::ShowFileFormat(doc, &classText, treeTarget_.get(), sheet_.Header());
        treeTarget_->Flush();
        SetText(classId, classText);
        SetText(prefixSize, FormatByteCount(c.doc.prefixAreaSize));
        SetText(codeAreaSize, FormatByteCount(c.doc.codeAreaSize));
    } else {
        model.Append(engine::Text(engine::Msg::NoFileOpen), 0);
        model.Flush();
        for (QLabel* l : {prefixSize, codeAreaSize, classId}) l->clear();
    }
    needsRefill_ = false;
}

}  // namespace inspector
