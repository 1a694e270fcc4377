#include "sheet/CodesPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QSettings>
#include <QVBoxLayout>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/PacketNames.h"
#include "engine/TextOps.h"
#include "engine/Walker.h"
#include "sheet/ListOutput.h"
#include "sheet/RowEdit.h"
#include "sheet/Text.h"

namespace inspector {

namespace {

const std::string kRule(61, '=');
constexpr uint32_t kGraphicsData = 0x6F;

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
    hexBox = new QCheckBox(QStringLiteral("&Hex Display"), this);
    filterBox = new QCheckBox(QStringLiteral("&Apply Filter"), this);
    filterBox->setChecked(filter_);
    codeName = new QLabel(QStringLiteral("Code name goes here"), this);
    top->addWidget(hexBox);
    top->addWidget(filterBox);
    top->addWidget(codeName, 1);
    outer->addLayout(top);
    auto* lists = new QHBoxLayout;
    codeList = MakeList(this, &codes, &CCodesPage::StyleOf);
    detailList = MakeList(this, &details, &CCodesPage::StyleOf);
    lists->addWidget(codeList, 2);
    lists->addWidget(detailList, 3);
    outer->addLayout(lists, 1);

    connect(codeList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex&, const QModelIndex&) { ShowCodeDetail(); });
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
    engine::EngineContext& c = engine::Ctx();
    c.sink.highlighted = engine::kNoHighlight;
    engine::DocFile* doc = sheet_.Document();
    const HeaderInForce header(*this);
    const uint8_t type = c.doc.header.FileType();
    const bool listable = doc && (type == 10 || type == 17);
    if (flags == kPrintEveryItem) {
        engine::PrintLine(&details, kRule);
        engine::PrintLine(&details, "COMPLETE list of QW Codes/QWG Records");
        if (filter_) engine::PrintLine(&details, "  List is FILTERED");
        engine::PrintLine(&details, kRule);
        c.describer.currentTarget = &details;
        codes.Flush();
        for (size_t i = 0; listable && i < codes.Size(); ++i)
            if (codes.Tag(i) != 0) engine::DescribeCodeAt(doc, &details, codes.Tag(i), Mode(), Length());
        c.describer.currentTarget = nullptr;
        details.Flush();
        return;
    }
    if (flags == kPrintDetail) {
        const int row = SelectedCodeRow();
        engine::PrintLine(&details, kRule);
        engine::PrintLine(&details, row < 0 ? "No QW Code/QWG Record Selected!" : "Selected QW Code/QWG Record Display");
        engine::PrintLine(&details, kRule);
        if (row >= 0 && listable && codes.Tag(static_cast<size_t>(row)) != 0) {
            c.describer.currentTarget = &details;
            engine::DescribeCodeAt(doc, &details, codes.Tag(static_cast<size_t>(row)), Mode(), Length());
            c.describer.currentTarget = nullptr;
        }
        details.Flush();
        return;
    }
    if (flags == kPrintSummary) {
        engine::PrintLine(&details, kRule);
        engine::PrintLine(&details, "Summary List of QW Codes/QWG Records");
        if (filter_) engine::PrintLine(&details, "  List is FILTERED");
        engine::PrintLine(&details, kRule);
        const int row = SelectedCodeRow();
        if (row >= 0) c.sink.highlighted = codes.Tag(static_cast<size_t>(row));
        if (listable) {
            const auto& m = sheet_.Settings().codeMasks;
            engine::ListDocumentCodes(doc, &codes, Mode(), filter_ ? m[0] : 0xFFFFFFFF, filter_ ? m[1] : 0xFFFFFFFF,
                                      Length());
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
    if (sheet_.ActivePage() == kCodesPage || sheet_.ActivePage() == kSubDocPage)
        FillCodeList();
    else if (doc)
        needsRefill_ = true;
}

void CCodesPage::FillCodeList() {
    std::optional<uint32_t> previous;
    if (!SubDocument()) {
        const int row = SelectedCodeRow();
        if (row >= 0 && codes.Tag(static_cast<size_t>(row)) != 0)
            previous = engine::OffsetOf(codes.Tag(static_cast<size_t>(row)));
    }
    codes.Clear();
    details.Clear();
    engine::DocFile* doc = sheet_.Document();
    if (!doc) {
        codes.Append("No File Open", 0);
        codes.Flush();
        ClearSource();
        needsRefill_ = false;
        return;
    }
    {
        const HeaderInForce header(*this);
        const uint8_t type = engine::Ctx().doc.header.FileType();
        if ((type == 10 || type == 17) && (!SubDocument() || place_)) {
            const auto& m = sheet_.Settings().codeMasks;
            engine::ListDocumentCodes(doc, &codes, Mode(), filter_ ? m[0] : 0xFFFFFFFF, filter_ ? m[1] : 0xFFFFFFFF,
                                      Length());
        }
        // Graphics files and "Graphics Data" packets list their records
        // through the graphics dumper's ListQwgRecords.
    }
    codes.Flush();
    if (previous && codes.Size() > 0) {
        const size_t row =
            FirstRowAtOrAfter(codes.Size(), [this](size_t i) { return codes.Tag(i); }, engine::Ctx().profile->tagOffsetMask, *previous);
        SelectListRow(codeList, row < codes.Size() ? static_cast<int>(row) : -1, true);
    } else if (codes.Size() > 0) {
        SelectListRow(codeList, 0, false);
    } else {
        codes.Append(filter_ ? "All items were filtered out!"
                             : SubDocument() ? "No Prefix document selected" : "GLIMMET Assert #01.",
                     0);
        codes.Flush();
    }
    ShowCodeDetail();
    needsRefill_ = false;
}

void CCodesPage::ShowCodeDetail() {
    details.Clear();
    engine::DocFile* doc = sheet_.Document();
    if (!doc) return;
    const int row = SelectedCodeRow();
    codeName->setText(row < 0 ? QStringLiteral(" ") : DecodeCp1252(codes.Text(static_cast<size_t>(row))));
    if (row < 0) return;
    const uint32_t tag = codes.Tag(static_cast<size_t>(row));
    if (tag == 0) return;  // a placeholder line is never described
    const HeaderInForce header(*this);
    const uint8_t type = engine::Ctx().doc.header.FileType();
    if (type != 10 && type != 17) return;  // graphics records: DumpQwgRecordAt
    engine::EngineContext& c = engine::Ctx();
    engine::ListTarget* const keep = c.describer.currentTarget;
    c.describer.currentTarget = &details;
    engine::DescribeCodeAt(doc, &details, tag, Mode(), Length());
    c.describer.currentTarget = keep;
    details.Flush();
}

void CCodesPage::SelectItem(uint32_t value) {
    if (value & engine::kTagTextBlock) {
        block_ = engine::BlockOf(value);
        sourcePacket_ = value & 0xFFFF;
        if (SubDocument()) {
            const auto& packets = engine::Ctx().doc.packets;
            const uint32_t type = sourcePacket_ < packets.size() ? packets[sourcePacket_].entry.Type() : 0;
            if (type != kGraphicsData)
                place_ = engine::TextBlockAt(engine::MakeBlockTag(block_, sourcePacket_));
            codeName->setText(DecodeCp1252(engine::Format("From prefix packet 0x%X - (%s)", sourcePacket_,
                                                          engine::PacketTypeName(type, sourcePacket_).c_str())));
        } else {
            codeName->clear();
        }
        UpdatePage(kUpdateDocument);
        return;
    }
    codes.Flush();
    if (value >= codes.Size()) return;
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
        if (RowEdit(sheet_, details, static_cast<size_t>(d), editor, &edited) == RowEditOutcome::Written) {
            // The same lines again, as far as the refill kept them.
            if (static_cast<size_t>(selected) < codes.Size()) SelectItem(static_cast<uint32_t>(selected));
            if (static_cast<size_t>(d) < details.Size()) SelectListRow(detailList, d, false);
        }
    }
    if ((t & engine::kTagPacket) && codeRow >= 0)
        sheet_.PushHistory(static_cast<uint32_t>(index_), static_cast<uint32_t>(codeRow), t);
}

}  // namespace inspector
