#pragma once
// The Codes page and, as a second instance, the Sub Document page: the
// codes of the document (or of one text block of a packet) one line each,
// and the selected code decoded or as a hex dump.

#include <array>
#include <chrono>
#include <memory>
#include <optional>

#include "engine/Describer.h"
#include "engine/Document.h"
#include "sheet/CodeList.h"
#include "sheet/Pages.h"

class QCheckBox;

namespace inspector {

class SheetDialogs;

class CCodesPage : public PageWidget {
    Q_OBJECT
public:
    // `index`: kCodesPage, or kSubDocPage for the Sub Document page.
    CCodesPage(CTabSheet& sheet, SheetDialogs& dialogs, int index, QWidget* parent = nullptr);
    ~CCodesPage() override;

    void UpdatePage(uint32_t flags) override;
    void MarkNeedsRefill() override { needsRefill_ = true; }
    void DocumentClosing() override { StopFill(); }
    // SelectCodeItem.
    void SelectItem(uint32_t value) override;
    bool FilterOn() const override;
    void SetFilterOff() override;
    size_t RowCount() const override { return codes.Size(); }
    uint32_t RowTag(size_t row) const override { return codes.Tag(row); }

    // Red damage, blue packet references (blue wins), only packet
    // references underlined, struck out inside undo areas.
    static LineStyle StyleOf(uint32_t tag);

    bool SubDocument() const { return index_ == kSubDocPage; }
    // The Prefix page's choice of what the Sub Document page lists.
    void SetSourcePacket(uint32_t id, uint32_t block);
    void ClearSource();
    void DetailDoubleClicked(int row);
    int SelectedCodeRow() const;

    // Walks the rest of the list now (a caller needs every line).
    void FinishFill();
    bool Filling() const { return fill_ != nullptr; }

    CodeListModel codes;      // control 1003
    TaggedListModel details;  // control 1002
    CodeListView* codeList = nullptr;
    QListView* detailList = nullptr;
    QCheckBox* hexBox = nullptr;     // "&Hex Display"
    QCheckBox* filterBox = nullptr;  // "&Apply Filter"
    QLabel* codeName = nullptr;      // "Code name goes here"

protected:
    void OnInitDialog() override;
    void Activated() override;

private:
    class HeaderInForce;
    class RowSink;
    int Mode() const;
    uint32_t Length() const;
    std::array<uint32_t, 2> Masks(bool graphics) const;
    uint32_t Base() const;
    void FillCodeList();
    void StepFill(std::chrono::milliseconds budget);
    void EndFill();
    void StopFill();
    void SelectPlaceOrFirst(bool done);
    std::string MakeRowText(size_t row) const;
    void ShowCodeDetail();
    engine::FileHeader SubHeader() const;
    bool ListsBlocksOf(uint32_t type) const;
    void ShowSourceInTab();

    SheetDialogs& dialogs_;
    const SheetProfile& profile_;  // the sheet may be gone when the page is
    bool needsRefill_ = true;
    bool filter_ = false;
    uint32_t sourcePacket_ = 0;
    uint32_t sourceKind_ = 0;
    uint32_t block_ = 0;
    uint32_t sourceDataOffset_ = 0;
    std::optional<engine::TextBlockPlace> place_;  // the opened block, kept until unload

    // The fill going on, and what its lines were listed with.
    std::unique_ptr<RowSink> rowSink_;
    std::unique_ptr<CodeListFill> fill_;
    std::optional<uint32_t> previous_;
    bool selected_ = false;
    bool stepping_ = false;
    uint64_t fillRound_ = 0;
    int fillMode_ = 0;
    std::array<uint32_t, 2> fillMasks_{};
    uint32_t fillEnd_ = 0;  // the end of the walked area
};

}  // namespace inspector
