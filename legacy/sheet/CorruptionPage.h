#pragma once
// Glimmet's Corruption page: the older check's findings, run afresh at
// every change of the document, on the shared list model and delegate.

#include "sheet/Pages.h"

class QListView;

namespace legacy {

class CCorruptionPage : public inspector::PageWidget {
    Q_OBJECT
public:
    explicit CCorruptionPage(inspector::CTabSheet& sheet, QWidget* parent = nullptr);

    void UpdatePage(uint32_t flags) override;
    // Back: the line of that row.
    void SelectItem(uint32_t row) override;
    // Packet and damage lines are blue and lead somewhere; packet lines
    // are underlined.
    static inspector::LineStyle StyleOf(uint32_t tag);
    void DoubleClicked(int row);

    inspector::TaggedListModel model;  // list 1013
    QListView* list = nullptr;

protected:
    void OnInitDialog() override;

private:
    void Check(engine::ListTarget* target);
};

}  // namespace legacy
