#include "sheet/CodesPage.h"

#include <algorithm>

#include <QCheckBox>
#include <QTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QScrollBar>
#include <QTabWidget>
#include <QSettings>
#include <QVBoxLayout>

#include "engine/Captions.h"
#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/PacketNames.h"
#include "engine/TextOps.h"
#include "engine/Walker.h"
#include "graphics/Dumper.h"
#include "sheet/ListOutput.h"
#include "sheet/RowEdit.h"
#include "sheet/Text.h"

namespace inspector {

namespace {

const std::string kRule(61, '=');
constexpr uint32_t kGraphicsData = 0x6F;
// As the walker: a listing this long shows its progress, in this many steps.
constexpr uint32_t kProgressFromBytes = 20000;
constexpr int kProgressSteps = 50;
// The walk of the list goes on in slices this long between turns of the
// event loop.
constexpr std::chrono::milliseconds kStepBudget(12);
// The most a walk for one line's text reads: more than any one item.
constexpr uint32_t kItemWalk = 0x40000;

}  // namespace

// The Sub Document page's header is the engine's around each of its calls.
class CCodesPage::HeaderInForce {
public:
    explicit HeaderInForce(const CCodesPage& page) : active_(page.SubDocument()) {
        if (!active_) return;
        saved_ = engine::Ctx().doc.header;
        engine::Ctx().doc.header = page.SubHeader();
    }
    ~HeaderInForce() {
        if (active_) engine::Ctx().doc.header = saved_;
    }
    HeaderInForce(const HeaderInForce&) = delete;
    HeaderInForce& operator=(const HeaderInForce&) = delete;

private:
    bool active_;
    engine::FileHeader saved_;
};

CCodesPage::CCodesPage(CTabSheet& sheet, SheetDialogs& dialogs, int index, QWidget* parent)
    : PageWidget(sheet, index, parent), dialogs_(dialogs), profile_(sheet.Profile()) {
    {
        QSettings store = SettingsStore(profile_);
        filter_ = store.value(QStringLiteral("Settings/Filter Codes"), 0).toUInt() != 0;
    }
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    hexBox = new QCheckBox(QString::fromLatin1(engine::Text(engine::Msg::HexDisplay)), this);
    filterBox = new QCheckBox(QString::fromLatin1(engine::Text(engine::Msg::ApplyFilter)), this);
    filterBox->setChecked(filter_);
    codeName = new QLabel(profile_.pages.codeName ? QStringLiteral("Code name goes here") : QString(), this);
    top->addWidget(hexBox);
    top->addWidget(filterBox);
    top->addWidget(codeName, 1);
    outer->addLayout(top);
    auto* lists = new QHBoxLayout;
    codeList = new CodeListView(this);
    codeList->setModel(&codes);
    codeList->setItemDelegate(new TaggedItemDelegate(&CCodesPage::StyleOf, codeList));
    detailList = MakeList(this, &details, &CCodesPage::StyleOf);
    lists->addWidget(codeList, 2);
    lists->addWidget(detailList, 3);
    outer->addLayout(lists, 1);

    codes.SetTextMaker([this](size_t row) { return MakeRowText(row); });
    codes.SetFinisher([this] { FinishFill(); });
    connect(codeList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex&, const QModelIndex&) {
                selected_ = true;  // the user's choice stands while the list fills
                ShowCodeDetail();
            });
    // Scrolled to the end while the walk goes on: the next step at once.
    connect(codeList->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (fill_ && value >= codeList->verticalScrollBar()->maximum()) StepFill(kStepBudget);
    });
    connect(detailList, &QListView::doubleClicked, this, [this](const QModelIndex& i) { DetailDoubleClicked(i.row()); });
    connect(hexBox, &QCheckBox::clicked, this, [this](bool on) {
        sheet_.Settings().hex = on ? 1 : 0;
        sheet_.RefreshAllPages(kUpdateHex);
    });
    connect(filterBox, &QCheckBox::clicked, this, [this](bool on) {
        filter_ = on;
        UpdatePage(kUpdateDocument);
    });
}

CCodesPage::~CCodesPage() {
    StopFill();
    QSettings store = SettingsStore(profile_);
    store.setValue(QStringLiteral("Settings/Filter Codes"), QString::number(filter_ ? 1 : 0));
}

LineStyle CCodesPage::StyleOf(uint32_t tag) {
    LineStyle s;
    s.strikeOut = (tag & 0x80000000u) != 0;
    s.underline = (tag & engine::kTagPacket) != 0;
    if (tag & engine::kTagDamage) s.colour = QColor(0xFF, 0, 0);
    if (tag & engine::kTagPacket) s.colour = QColor(0, 0, 0xFF);
    return s;
}

bool CCodesPage::FilterOn() const { return filter_; }

void CCodesPage::SetFilterOff() {
    filter_ = false;
    filterBox->setChecked(false);
}

int CCodesPage::Mode() const { return hexBox->isChecked() ? engine::kModeHex : engine::kModeDecoded; }

uint32_t CCodesPage::Length() const {
    if (SubDocument() && sourceKind_ != kGraphicsData) return place_ ? place_->size : 0;
    return engine::kWalkToEnd;
}

engine::FileHeader CCodesPage::SubHeader() const {
    engine::FileHeader h = engine::Ctx().doc.header;
    uint32_t offset = 0;
    uint8_t type = 10;
    if (sourceKind_ == kGraphicsData) {
        offset = sourceDataOffset_;
        type = 22;
    } else if (place_) {
        offset = place_->offset;
    } else {
        type = 0;  // no block opened: nothing is listed
    }
    for (int i = 0; i < 4; ++i) h.bytes[4 + i] = static_cast<uint8_t>(offset >> (8 * i));
    h.bytes[9] = type;
    h.bytes[10] = 2;
    h.bytes[11] = 0;
    return h;
}

int CCodesPage::SelectedCodeRow() const { return SelectedListRow(codeList); }

void CCodesPage::SetSourcePacket(uint32_t id, uint32_t block) {
    sourcePacket_ = id;
    block_ = block;
    const auto& packets = engine::Ctx().doc.packets;
    sourceKind_ = id < packets.size() ? packets[id].entry.Type() : 0;
    sourceDataOffset_ = id < packets.size() ? packets[id].entry.DataOffset() : 0;
}

void CCodesPage::ClearSource() {
    sourcePacket_ = sourceKind_ = block_ = sourceDataOffset_ = 0;
    place_.reset();
}

void CCodesPage::OnInitDialog() { UpdatePage(kUpdateAll); }

void CCodesPage::Activated() {
    engine::Ctx().sink.highlighted = engine::kNoHighlight;
    if (needsRefill_) FillCodeList();
}

void CCodesPage::UpdatePage(uint32_t flags) {
    if (!created_) return;
    if (SubDocument() && profile_.pages.subDocTabTitle) ShowSourceInTab();
    engine::EngineContext& c = engine::Ctx();
    c.sink.highlighted = engine::kNoHighlight;
    engine::DocFile* doc = sheet_.Document();
    if (flags == kPrintEveryItem || flags == kPrintDetail || flags == kPrintSummary) FinishFill();
    const HeaderInForce header(*this);
    const uint8_t type = c.doc.header.FileType();
    const bool listable = doc && (type == 10 || type == 17);
    const bool graphics = doc && type == 22;
    const auto describe = [&](uint32_t tag) {
        if (graphics)
            graphics::DumpQwgRecordAt(doc, &details, tag, Mode(), Base());
        else if (listable)
            engine::DescribeCodeAt(doc, &details, tag, Mode(), Length());
    };
    if (flags == kPrintEveryItem) {
        engine::PrintLine(&details, kRule);
        engine::PrintLine(&details, "COMPLETE list of QW Codes/QWG Records");
        if (filter_) engine::PrintLine(&details, engine::Text(engine::Msg::ListFiltered));
        engine::PrintLine(&details, kRule);
        c.describer.currentTarget = &details;
        for (size_t i = 0, n = codes.Size(); i < n; ++i)
            if (codes.Tag(i) != 0) describe(codes.Tag(i));
        c.describer.currentTarget = nullptr;
        details.Flush();
        return;
    }
    if (flags == kPrintDetail) {
        const int row = SelectedCodeRow();
        engine::PrintLine(&details, kRule);
        engine::PrintLine(&details, row < 0 ? "No QW Code/QWG Record Selected!" : "Selected QW Code/QWG Record Display");
        engine::PrintLine(&details, kRule);
        if (row >= 0 && codes.Tag(static_cast<size_t>(row)) != 0) {
            c.describer.currentTarget = &details;
            describe(codes.Tag(static_cast<size_t>(row)));
            c.describer.currentTarget = nullptr;
        }
        details.Flush();
        return;
    }
    if (flags == kPrintSummary) {
        engine::PrintLine(&details, kRule);
        engine::PrintLine(&details, "Summary List of QW Codes/QWG Records");
        if (filter_) engine::PrintLine(&details, engine::Text(engine::Msg::ListFiltered));
        engine::PrintLine(&details, kRule);
        const int row = SelectedCodeRow();
        // The printed listing goes to the page, not into the list shown.
        if (listable) {
            if (row >= 0) c.sink.highlighted = codes.Tag(static_cast<size_t>(row));
            const auto m = Masks(false);
            engine::ListDocumentCodes(doc, engine::SilentTarget(), Mode(), m[0], m[1], Length());
        } else if (graphics) {
            const auto m = Masks(true);
            graphics::ListQwgRecords(doc, engine::SilentTarget(), Mode(), m[0], m[1], Base());
        }
        c.sink.highlighted = engine::kNoHighlight;
        return;
    }
    if (flags & kUpdateFont) {
        const QFont font = ListOrFixedFont(sheet_.Settings());
        codeList->setFont(font);
        detailList->setFont(font);
    }
    if (flags & kUpdateHex) hexBox->setChecked(sheet_.Settings().hex != 0);
    if (!(flags & kUpdateDocument)) {
        ShowCodeDetail();
        return;
    }
    StopFill();  // what it walks has changed
    if (sheet_.ActivePage() == kCodesPage || sheet_.ActivePage() == kSubDocPage || profile_.pages.refillAtOnce)
        FillCodeList();
    else if (doc)
        needsRefill_ = true;
}

std::array<uint32_t, 2> CCodesPage::Masks(bool graphics) const {
    if (!filter_) return {0xFFFFFFFF, 0xFFFFFFFF};
    return graphics ? sheet_.Settings().graphicsMasks : sheet_.Settings().codeMasks;
}

uint32_t CCodesPage::Base() const { return SubDocument() ? sourceDataOffset_ : 0; }

// Lines of the walk into the list: held by item data alone where the text
// can be made again from the item at their place.
class CCodesPage::RowSink final : public engine::ListTarget {
public:
    explicit RowSink(CodeListModel& model) : model_(model) {}
    bool keepAll = false;  // graphics records: every text is kept

    void Append(std::string_view text, uint32_t tag) override {
        last_.assign(text);
        if (keepAll || (engine::OffsetOf(tag)) == 0 || (tag & engine::kTagDamage))
            model_.AppendText(text, tag);
        else
            model_.AppendTag(tag);
    }
    size_t Size() const override { return model_.Held(); }
    std::string Text(size_t i) const override { return i + 1 == model_.Held() ? last_ : model_.Text(i); }
    uint32_t Tag(size_t i) const override { return model_.Tag(i); }
    void RemoveLast() override {
        model_.RemoveLast();
        last_.clear();
    }

private:
    CodeListModel& model_;
    std::string last_;  // the walk merges damage into the line before
};

void CCodesPage::FillCodeList() {
    std::optional<uint32_t> previous;
    if (!SubDocument()) {
        const int row = SelectedCodeRow();
        if (row >= 0 && codes.Tag(static_cast<size_t>(row)) != 0)
            previous = engine::OffsetOf(codes.Tag(static_cast<size_t>(row)));
    }
    StopFill();
    codes.Clear();
    details.Clear();
    needsRefill_ = false;
    selected_ = false;
    previous_ = previous;
    engine::DocFile* doc = sheet_.Document();
    if (!doc) {
        codes.AppendText(engine::Text(engine::Msg::NoFileOpen), 0);
        codes.Flush();
        ClearSource();
        return;
    }
    if (!rowSink_) rowSink_ = std::make_unique<RowSink>(codes);
    const HeaderInForce header(*this);
    const engine::FileHeader& inForce = engine::Ctx().doc.header;
    const uint8_t type = inForce.FileType();
    if ((type == 10 || type == 17) && (!SubDocument() || place_)) {
        rowSink_->keepAll = false;
        fillMode_ = Mode();
        fillMasks_ = Masks(false);
        engine::EnsurePacketTable(doc, fillMode_, engine::kCaptionScanningPrefixPackets);
        engine::CodeWalkRequest rq;
        rq.file = doc;
        rq.mode = fillMode_;
        rq.groupMask = fillMasks_[0];
        rq.classMask = fillMasks_[1];
        rq.length = Length();
        rq.captionId = engine::kCaptionCodeSummary;
        const int32_t size = engine::SeekDocFile(doc, 0, 2);
        const uint32_t fileSize = size > 0 ? static_cast<uint32_t>(size) : 0;
        fillEnd_ = rq.length == engine::kWalkToEnd ? fileSize : inForce.DocOffset() + rq.length;
        std::unique_ptr<engine::CProgressDialog> progress;
        if (fileSize >= kProgressFromBytes) {
            progress = std::make_unique<engine::CProgressDialog>(engine::kCaptionCodeSummary);
            if (progress->Create()) {
                progress->SetRange(0, kProgressSteps);
                progress->SetStep(1);
            } else {
                progress.reset();
            }
        }
        fill_ = std::make_unique<CodeListFill>(rq, rowSink_.get(), inForce, std::move(progress));
        ++fillRound_;
        StepFill(std::chrono::milliseconds(0));  // the first window: the first screen
        return;
    }
    if (type == 22) {
        rowSink_->keepAll = true;
        const auto m = Masks(true);
        graphics::ListQwgRecords(doc, rowSink_.get(), Mode(), m[0], m[1], Base());
    }
    EndFill();
}

void CCodesPage::StepFill(std::chrono::milliseconds budget) {
    if (!fill_ || fill_->Running() || stepping_) return;
    stepping_ = true;
    const bool done = fill_->Step(budget);
    codes.Flush();  // the step's windows, in one insertion
    SelectPlaceOrFirst(done);
    stepping_ = false;
    if (done) {
        EndFill();
        return;
    }
    const uint64_t round = fillRound_;
    QTimer::singleShot(0, this, [this, round] {
        if (round == fillRound_) StepFill(kStepBudget);
    });
}

void CCodesPage::FinishFill() {
    while (fill_ && !fill_->Running()) StepFill(std::chrono::hours(1));
}

void CCodesPage::StopFill() {
    fill_.reset();
    ++fillRound_;
}

void CCodesPage::EndFill() {
    const bool cancelled = fill_ && fill_->Cancelled();
    fill_.reset();
    if (cancelled) codes.AppendText(engine::Text(engine::Msg::Canceled), 0);
    codes.Flush();
    if (codes.Held() == 0) {
        codes.AppendText(filter_ ? engine::Text(engine::Msg::AllFilteredOut)
                                 : SubDocument() ? "No Prefix document selected" : "GLIMMET Assert #01.",
                         0);
        codes.Flush();
        previous_.reset();
        selected_ = true;
        ShowCodeDetail();
        return;
    }
    SelectPlaceOrFirst(true);
}

void CCodesPage::SelectPlaceOrFirst(bool done) {
    if (selected_) return;
    const size_t n = codes.Shown();
    if (n == 0) return;
    if (previous_) {
        // The place is known once a line at or after it is held.
        size_t last = n;
        while (last > 0 && codes.Tag(last - 1) == 0) --last;
        if (!done && (last == 0 || engine::OffsetOf(codes.Tag(last - 1)) < *previous_)) return;
        const size_t row = FirstRowAtOrAfter(
            n, [this](size_t i) { return codes.Tag(i); }, engine::Ctx().profile->tagOffsetMask, *previous_);
        SelectListRow(codeList, row < n ? static_cast<int>(row) : -1, true);
    } else {
        SelectListRow(codeList, 0, false);
    }
    previous_.reset();
    selected_ = true;
    ShowCodeDetail();
}

std::string CCodesPage::MakeRowText(size_t row) const {
    engine::DocFile* doc = sheet_.Document();
    const uint32_t tag = codes.Tag(row);
    const uint32_t at = engine::OffsetOf(tag);
    if (!doc || at == 0) return {};
    // The k-th line at this place (an item may give more than one).
    size_t k = 0;
    for (size_t r = row; r > 0 && !codes.Kept(r - 1) && engine::OffsetOf(codes.Tag(r - 1)) == at; --r) ++k;
    uint32_t end = fillEnd_;
    for (size_t r = row + 1, n = codes.Held(); r < n; ++r) {
        const uint32_t o = engine::OffsetOf(codes.Tag(r));
        if (o > at) {
            end = o;
            break;
        }
    }
    const uint32_t length = end > at ? std::min(end - at, kItemWalk) : kItemWalk;
    TaggedListModel lines;
    const HeaderInForce header(*this);
    engine::ListCodeAt(doc, &lines, tag, fillMode_, fillMasks_[0], fillMasks_[1], length);
    for (const auto& line : lines.Lines())
        if ((line.tag & ~engine::kTagUndo) == (tag & ~engine::kTagUndo) && k-- == 0) return line.text;
    return {};
}

void CCodesPage::ShowCodeDetail() {
    details.Clear();
    engine::DocFile* doc = sheet_.Document();
    if (!doc) return;
    const int row = SelectedCodeRow();
    if (profile_.pages.codeName)
        codeName->setText(row < 0 ? QStringLiteral(" ") : DecodeCp1252(codes.Text(static_cast<size_t>(row))));
    if (row < 0) return;
    const uint32_t tag = codes.Tag(static_cast<size_t>(row));
    if (tag == 0) return;  // a placeholder line is never described
    const HeaderInForce header(*this);
    const uint8_t type = engine::Ctx().doc.header.FileType();
    engine::EngineContext& c = engine::Ctx();
    engine::ListTarget* const keep = c.describer.currentTarget;
    c.describer.currentTarget = &details;
    if (type == 22)
        graphics::DumpQwgRecordAt(doc, &details, tag, Mode(), Base());
    else if (type == 10 || type == 17)
        engine::DescribeCodeAt(doc, &details, tag, Mode(), Length());
    c.describer.currentTarget = keep;
    details.Flush();
}

bool CCodesPage::ListsBlocksOf(uint32_t type) const {
    const auto& types = profile_.pages.textBlockTypes;
    return types.empty() || std::find(types.begin(), types.end(), type) != types.end();
}

void CCodesPage::ShowSourceInTab() {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            const int tab = tabs->indexOf(this);
            if (tab >= 0)
                tabs->setTabText(tab, QString::fromLatin1(
                                          engine::Format("%s%02x", profile_.pages.subDocTabTitle, sourcePacket_).c_str()));
            return;
        }
    }
}

void CCodesPage::SelectItem(uint32_t value) {
    if (value & engine::kTagTextBlock) {
        block_ = engine::BlockOf(value);
        sourcePacket_ = value & 0xFFFF;
        if (SubDocument()) {
            const auto& packets = engine::Ctx().doc.packets;
            const uint32_t type = sourcePacket_ < packets.size() ? packets[sourcePacket_].entry.Type() : 0;
            sourceKind_ = type;
            sourceDataOffset_ = sourcePacket_ < packets.size() ? packets[sourcePacket_].entry.DataOffset() : 0;
            if (type != kGraphicsData && ListsBlocksOf(type))
                place_ = engine::TextBlockAt(engine::MakeBlockTag(block_, sourcePacket_));
            else if (type != kGraphicsData)
                place_.reset();
            codeName->setText(DecodeCp1252(engine::Format("From prefix packet 0x%X - (%s)", sourcePacket_,
                                                          engine::PacketTypeName(type, sourcePacket_).c_str())));
        } else {
            codeName->clear();
        }
        UpdatePage(kUpdateDocument);
        return;
    }
    if (value >= codes.Held()) FinishFill();
    codes.Flush();
    if (value >= codes.Shown()) return;
    previous_.reset();
    selected_ = true;
    SelectListRow(codeList, static_cast<int>(value), true);
    ShowCodeDetail();
}

void CCodesPage::DetailDoubleClicked(int d) {
    if (d <= 0 || static_cast<size_t>(d) >= details.Size()) return;
    const uint32_t t = details.Tag(static_cast<size_t>(d));
    const int codeRow = SelectedCodeRow();
    if (hexBox->isChecked() && sheet_.Document() && codeRow >= 0) {
        DialogRowEditor editor(dialogs_, ListOrFixedFont(sheet_.Settings()));
        std::string edited;
        const int selected = codeRow;
        StopFill();  // the file changes under it
        if (RowEdit(sheet_, details, static_cast<size_t>(d), editor, &edited) == RowEditOutcome::Written) {
            // The same lines again, as far as the refill kept them.
            if (static_cast<size_t>(selected) < codes.Held()) SelectItem(static_cast<uint32_t>(selected));
            if (static_cast<size_t>(d) < details.Size()) SelectListRow(detailList, d, false);
        }
    }
    if ((t & engine::kTagPacket) && codeRow >= 0)
        sheet_.PushHistory(static_cast<uint32_t>(index_), static_cast<uint32_t>(codeRow), t);
}

}  // namespace inspector
