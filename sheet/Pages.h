#pragma once
// The sheet's pages as widgets. A page's "window" is made the first time it
// becomes active, as the page protocol expects; until then it ignores
// updates.

#include <QFont>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sheet/Sheet.h"
#include "sheet/TaggedList.h"

class QLabel;
class QListView;
class QAbstractItemView;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace inspector {

class QtTreeTarget;
class SheetDialogs;

// The list font of the settings, or none for the system's font.
std::optional<QFont> ListFontOf(const SheetSettings& settings);
// A page list over `model`, drawn line by line by `styler`.
QListView* MakeList(QWidget* parent, QAbstractItemModel* model, LineStyler styler);
// The list's current row while it is selected, else -1.
int SelectedListRow(const QAbstractItemView* list);
// Makes `row` current and selected, scrolled to the centre or the top; a
// row out of range leaves nothing current or selected.
void SelectListRow(QAbstractItemView* list, int row, bool centre);

// What lists and dumps are drawn in: the list font, else the fixed system
// font, so that hex columns line up.
QFont ListOrFixedFont(const SheetSettings& settings);

class PageWidget : public QWidget, public SheetPage {
    Q_OBJECT
public:
    PageWidget(CTabSheet& sheet, int index, QWidget* parent = nullptr);

    void OnSetActive() override;
    bool HasWindow() const override { return created_; }
    int Index() const { return index_; }
    QString Title() const;

protected:
    virtual void OnInitDialog() {}
    virtual void Activated() {}

    CTabSheet& sheet_;
    int index_;
    bool created_ = false;
};

// A page whose content comes later: present with its title, taking part in
// the protocol.
class PlaceholderPage : public PageWidget {
    Q_OBJECT
public:
    PlaceholderPage(CTabSheet& sheet, int index, QWidget* parent = nullptr);
    void UpdatePage(uint32_t flags) override { updates.push_back(flags); }
    void SelectItem(uint32_t row) override { selected.push_back(row); }

    std::vector<uint32_t> updates;
    std::vector<uint32_t> selected;
};

class CInfoPage : public PageWidget {
    Q_OBJECT
public:
    CInfoPage(CTabSheet& sheet, SheetDialogs& dialogs, QWidget* parent = nullptr);

    void UpdatePage(uint32_t flags) override;
    void MarkNeedsRefill() override { notFilled_ = true; }
    // A batch run's per-file step: nothing to do.
    int BatchStep() { return 1; }
    // How a finding line is drawn.
    LineStyle StyleOf(uint32_t tag) const;

    TaggedListModel model;
    QListView* list = nullptr;        // "Corruption Summary"
    QLabel* totalSize = nullptr;      // "Total File Size:"
    QLabel* date = nullptr;           // "Last Modified Date:"
    QLabel* format = nullptr;         // "File Format:"
    QLabel* undoOnly = nullptr;       // "Remove UNDO information ONLY:"
    QLabel* stylesOnly = nullptr;     // "Remove UNUSED styles ONLY:"
    QLabel* both = nullptr;           // "Remove BOTH Undo and Unused Styles:"
    QLabel* deletable = nullptr;      // "Deletable Prefix data:"
    QPushButton* saveButton = nullptr;
    QPushButton* printButton = nullptr;

protected:
    void OnInitDialog() override;
    void Activated() override;

private:
    void Fill();
    void ClearFields();
    void DoubleClicked(int row);

    SheetDialogs& dialogs_;
    bool notFilled_ = true;
    uint64_t filledGeneration_ = 0;
};

class CFormatPage : public PageWidget {
    Q_OBJECT
public:
    // Tree images.
    enum : int { kStorageClosed = 0, kStorageOpen = 1, kStream = 2 };

    CFormatPage(CTabSheet& sheet, QWidget* parent = nullptr);
    ~CFormatPage() override;

    void UpdatePage(uint32_t flags) override;
    void MarkNeedsRefill() override { needsRefill_ = true; }

    TaggedListModel model;            // "General Info:"
    QListView* list = nullptr;
    QTreeWidget* tree = nullptr;      // "Docfile Directory Information:"
    QLabel* classId = nullptr;        // "Class ID:"
    QLabel* prefixSize = nullptr;     // "Prefix Size:"
    QLabel* codeAreaSize = nullptr;   // "Code Area Size:"
    QtTreeTarget* treeTarget() const { return treeTarget_.get(); }

protected:
    void OnInitDialog() override;
    void Activated() override;

private:
    void Fill();
    void ListHeader(engine::DocFile* doc);
    void Expanded(QTreeWidgetItem* item, bool expanded);

    std::unique_ptr<QtTreeTarget> treeTarget_;
    bool needsRefill_ = true;
};

}  // namespace inspector
