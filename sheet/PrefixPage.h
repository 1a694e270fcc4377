#pragma once
// The Prefix page: the packets of the document's index, one line each, and
// the selected packet in detail or as the list of its uses.

#include "sheet/Pages.h"

class QCheckBox;
class QRadioButton;

namespace inspector {

class SheetDialogs;

class CPrefixPage : public PageWidget {
    Q_OBJECT
public:
    CPrefixPage(CTabSheet& sheet, SheetDialogs& dialogs, QWidget* parent = nullptr);

    void UpdatePage(uint32_t flags) override;
    void MarkNeedsRefill() override { needsRefill_ = true; }
    // SelectPacketItem: a packet line by index (a text-block value opens
    // the block on the Sub Document page first).
    void SelectItem(uint32_t value) override;
    bool FilterOn() const override;
    void SetFilterOff() override;
    size_t RowCount() const override { return packets.Size(); }
    uint32_t RowTag(size_t row) const override { return packets.Tag(row); }

    // How a line is drawn: red damage, blue packet or code references,
    // purple text blocks (purple wins), underlined where a double-click leads.
    static LineStyle StyleOf(uint32_t tag);

    void PacketDoubleClicked(int row);
    void DetailDoubleClicked(int row);
    int SelectedPacketRow() const;

    TaggedListModel packets;  // control 1000
    TaggedListModel details;  // control 1002
    QListView* packetList = nullptr;
    QListView* detailList = nullptr;
    QCheckBox* hexBox = nullptr;        // "&Hex Display"
    QCheckBox* filterBox = nullptr;     // "&Apply Filter"
    QRadioButton* usesButton = nullptr; // "List references to this Packet"
    QRadioButton* dataButton = nullptr; // "List Packet data"
    QLabel* packetName = nullptr;       // "Prefix Packet Name Goes here"

protected:
    void OnInitDialog() override;
    void Activated() override;

private:
    int Mode() const;
    void FillPacketList();
    void ShowSelectedPacket();

    SheetDialogs& dialogs_;
    bool needsRefill_ = true;
    bool uses_ = false;
};

}  // namespace inspector
