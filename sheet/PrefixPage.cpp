#include "sheet/PrefixPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/Captions.h"
#include "engine/Check.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "sheet/CodesPage.h"
#include "sheet/ListOutput.h"
#include "sheet/RowEdit.h"
#include "sheet/Text.h"

namespace inspector {

namespace {

const std::string kRule(61, '=');

}  // namespace

CPrefixPage::CPrefixPage(CTabSheet& sheet, SheetDialogs& dialogs, QWidget* parent)
    : PageWidget(sheet, kPrefixPage, parent), dialogs_(dialogs) {
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    hexBox = new QCheckBox(QString::fromLatin1(engine::Text(engine::Msg::HexDisplay)), this);
    filterBox = new QCheckBox(QString::fromLatin1(engine::Text(engine::Msg::ApplyFilter)), this);
    usesButton = new QRadioButton(QStringLiteral("List references to this Packet"), this);
    dataButton = new QRadioButton(QStringLiteral("List Packet data"), this);
    top->addWidget(hexBox);
    top->addWidget(filterBox);
    top->addStretch(1);
    top->addWidget(dataButton);
    top->addWidget(usesButton);
    outer->addLayout(top);
    auto* lists = new QHBoxLayout;
    packetList = MakeList(this, &packets, &CPrefixPage::StyleOf);
    detailList = MakeList(this, &details, &CPrefixPage::StyleOf);
    lists->addWidget(packetList, 2);
    auto* right = new QVBoxLayout;
    packetName = new QLabel(QStringLiteral("Prefix Packet Name Goes here"), this);
    right->addWidget(packetName);
    right->addWidget(detailList, 1);
    lists->addLayout(right, 3);
    outer->addLayout(lists, 1);
    const PageDialect& dialect = sheet.Profile().pages;
    usesButton->setVisible(dialect.prefixUses);
    dataButton->setVisible(dialect.prefixUses);
    if (!dialect.prefixName) packetName->clear();

    connect(packetList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex&, const QModelIndex&) { ShowSelectedPacket(); });
    connect(packetList, &QListView::doubleClicked, this, [this](const QModelIndex& i) { PacketDoubleClicked(i.row()); });
    connect(detailList, &QListView::doubleClicked, this, [this](const QModelIndex& i) { DetailDoubleClicked(i.row()); });
    connect(hexBox, &QCheckBox::clicked, this, [this](bool on) {
        sheet_.Settings().hex = on ? 1 : 0;
        sheet_.RefreshAllPages(kUpdateHex);
    });
    connect(filterBox, &QCheckBox::clicked, this, [this] { UpdatePage(kUpdateDocument); });
    connect(usesButton, &QRadioButton::clicked, this, [this] {
        uses_ = true;
        UpdatePage(kUpdateDocument);
    });
    connect(dataButton, &QRadioButton::clicked, this, [this] {
        uses_ = false;
        UpdatePage(kUpdateDocument);
    });
}

LineStyle CPrefixPage::StyleOf(uint32_t tag) {
    LineStyle s;
    s.strikeOut = (tag & 0x80000000u) != 0;
    s.underline = (tag & (engine::kTagTextBlock | engine::kTagPacket)) != 0;
    if (tag & engine::kTagDamage) s.colour = QColor(0xFF, 0, 0);
    if (tag & (engine::kTagPacket | engine::Ctx().profile->tagCrossRef)) s.colour = QColor(0, 0, 0xFF);
    if (tag & engine::kTagTextBlock) s.colour = QColor(0x80, 0, 0x80);
    return s;
}

bool CPrefixPage::FilterOn() const { return filterBox->isChecked(); }
void CPrefixPage::SetFilterOff() { filterBox->setChecked(false); }

int CPrefixPage::Mode() const { return hexBox->isChecked() ? engine::kModeHex : engine::kModeDecoded; }

int CPrefixPage::SelectedPacketRow() const { return SelectedListRow(packetList); }

void CPrefixPage::OnInitDialog() {
    dataButton->setChecked(true);
    uses_ = false;
    UpdatePage(kUpdateAll);
}

void CPrefixPage::Activated() {
    if (needsRefill_) FillPacketList();
}

void CPrefixPage::UpdatePage(uint32_t flags) {
    if (!created_) return;
    engine::EngineContext& c = engine::Ctx();
    c.sink.highlighted = engine::kNoHighlight;
    engine::DocFile* doc = sheet_.Document();
    engine::PacketFilter filter;
    for (size_t i = 0; i < 8; ++i) filter.words[i] = sheet_.Settings().prefixMasks[i];
    const engine::PacketFilter* masks = FilterOn() ? &filter : nullptr;
    if (flags == kPrintEveryItem) {
        engine::PrintLine(&details, kRule);
        engine::PrintLine(&details, FilterOn() ? "All FILTERED Detailed Prefix Packets Display"
                                               : "All Detailed Prefix Packets Display");
        engine::PrintLine(&details, kRule);
        if (doc) engine::ShowPacketDetail(doc, &details, -1, Mode(), masks);
        details.Flush();
        return;
    }
    if (flags == kPrintDetail) {
        const int row = SelectedPacketRow();
        engine::PrintLine(&details, kRule);
        engine::PrintLine(&details, row < 0 ? "No Prefix Packet Selected!" : "Selected Prefix Packet Display");
        engine::PrintLine(&details, kRule);
        if (row >= 0 && doc)
            engine::ShowPacketDetail(doc, &details, static_cast<int32_t>(packets.Tag(static_cast<size_t>(row)) & 0xFFFF),
                                     Mode(), nullptr);
        details.Flush();
        return;
    }
    if (flags == kPrintSummary) {
        engine::PrintLine(&details, kRule);
        engine::PrintLine(&details, "Summary List of Prefix Packets");
        engine::PrintLine(&details, kRule);
        const int row = SelectedPacketRow();
        if (row >= 0) c.sink.highlighted = packets.Tag(static_cast<size_t>(row)) & 0xFFFF;
        if (doc) engine::ListAllPackets(doc, &details, Mode(), masks, 0);
        c.sink.highlighted = engine::kNoHighlight;
        details.Flush();
        return;
    }
    if (flags & kUpdateFont) {
        const QFont font = ListOrFixedFont(sheet_.Settings());
        packetList->setFont(font);
        detailList->setFont(font);
    }
    if (flags & kUpdateHex) hexBox->setChecked(sheet_.Settings().hex != 0);
    if (!(flags & kUpdateDocument)) {
        ShowSelectedPacket();
        return;
    }
    if (sheet_.ActivePage() == kPrefixPage || sheet_.Profile().pages.refillAtOnce)
        FillPacketList();
    else if (doc)
        needsRefill_ = true;
}

void CPrefixPage::FillPacketList() {
    const int selected = SelectedPacketRow();
    const std::optional<uint32_t> previous =
        selected >= 0 ? std::optional<uint32_t>(packets.Tag(static_cast<size_t>(selected)) & 0xFFFF) : std::nullopt;
    packets.Clear();
    details.Clear();
    engine::DocFile* doc = sheet_.Document();
    if (!doc) {
        packets.Append(engine::Text(engine::Msg::NoFileOpen), 0);
        packets.Flush();
        needsRefill_ = false;
        return;
    }
    engine::PacketFilter filter;
    for (size_t i = 0; i < 8; ++i) filter.words[i] = sheet_.Settings().prefixMasks[i];
    engine::ListAllPackets(doc, &packets, Mode(), FilterOn() ? &filter : nullptr, engine::kCaptionPrefixSummary);
    if (packets.Size() == 0) {
        packets.Append(engine::Text(engine::Msg::AllFilteredOut), 0);
        packets.Flush();
        needsRefill_ = false;
        return;
    }
    packets.Flush();
    if (previous) {
        int row = -1;
        for (size_t i = 0; i < packets.Size() && row < 0; ++i)
            if ((packets.Tag(i) & 0xFFFF) >= *previous) row = static_cast<int>(i);
        SelectListRow(packetList, row, true);
    } else {
        SelectListRow(packetList, 0, false);
    }
    ShowSelectedPacket();
    needsRefill_ = false;
}

void CPrefixPage::ShowSelectedPacket() {
    engine::DocFile* doc = sheet_.Document();
    const int row = SelectedPacketRow();
    details.Clear();
    if (!doc || row < 0) return;
    const uint32_t tag = packets.Tag(static_cast<size_t>(row));
    if (sheet_.Profile().pages.prefixName) packetName->setText(DecodeCp1252(packets.Text(static_cast<size_t>(row))));
    engine::EngineContext& c = engine::Ctx();
    engine::ListTarget* const keep = c.describer.currentTarget;
    c.describer.currentTarget = &details;
    const uint32_t id = tag & 0xFFFF;
    if (uses_ && id != 0)
        engine::ListPacketUsage(doc, &details, id, Mode());
    else
        engine::ShowPacketDetail(doc, &details, static_cast<int32_t>(id), Mode(), nullptr);
    c.describer.currentTarget = keep;
    details.Flush();
}

void CPrefixPage::SelectItem(uint32_t value) {
    if (value & engine::kTagTextBlock) {
        if (SheetPage* sub = sheet_.PageAt(kSubDocPage)) sub->SelectItem(value);
        value = engine::OffsetOf(value);
    }
    packets.Flush();
    if (value >= packets.Size()) return;
    SelectListRow(packetList, static_cast<int>(value), false);
    ShowSelectedPacket();
}

void CPrefixPage::PacketDoubleClicked(int row) {
    if (row < 0 || row != SelectedPacketRow() || !sheet_.Document()) return;
    const uint32_t tag = packets.Tag(static_cast<size_t>(row));
    if (!(tag & (engine::kTagTextBlock | engine::kTagPacket))) return;
    const uint32_t id = engine::OffsetOf(tag);
    if (auto* sub = dynamic_cast<CCodesPage*>(sheet_.PageAt(kSubDocPage))) sub->SetSourcePacket(id, 0);
    if (sheet_.Profile().pages.backToPacketLine)
        sheet_.PushHistory(kPrefixPage, static_cast<uint32_t>(row), tag);
    else if (tag & engine::kTagPacket)
        sheet_.PushHistory(kPrefixPage, id, tag);
    else
        sheet_.PushHistory(kPrefixPage, static_cast<uint32_t>(row), engine::kTagTextBlock);
}

void CPrefixPage::DetailDoubleClicked(int d) {
    if (d < 0 || static_cast<size_t>(d) >= details.Size()) return;
    const uint32_t t = details.Tag(static_cast<size_t>(d));
    const int packetRow = SelectedPacketRow();
    engine::DocFile* doc = sheet_.Document();
    if (hexBox->isChecked() && doc && packetRow >= 0) {
        const uint32_t id = packets.Tag(static_cast<size_t>(packetRow)) & 0xFFFF;
        const int64_t entry = int64_t{sheet_.Header().IndexPosition()} + int64_t{id} * 14;
        // In the uses list only the index entry is a row to edit.
        if (!uses_ || details.FileOffset(static_cast<size_t>(d)) == entry) {
            DialogRowEditor editor(dialogs_, ListOrFixedFont(sheet_.Settings()));
            const int only = sheet_.Profile().pages.prefixEditRefreshesAll ? -1 : kPrefixPage;
            if (RowEdit(sheet_, details, static_cast<size_t>(d), editor, nullptr, only) == RowEditOutcome::Written &&
                static_cast<size_t>(d) < details.Size())
                SelectListRow(detailList, d, false);
        }
    }
    if (!(t & (engine::Ctx().profile->tagCrossRef | engine::kTagTextBlock | engine::kTagPacket)) || packetRow < 0) return;
    if (auto* sub = dynamic_cast<CCodesPage*>(sheet_.PageAt(kSubDocPage))) {
        if (t & engine::Ctx().profile->tagCrossRef)
            sub->ClearSource();
        else
            sub->SetSourcePacket(t & 0xFFFF, engine::BlockOf(t));
    }
    sheet_.PushHistory(kPrefixPage, static_cast<uint32_t>(packetRow), t);
}

}  // namespace inspector
