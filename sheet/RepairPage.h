#pragma once
// The Repair page: the file to repair, the new file to write, the three
// repair choices and the log of the last check or repair. It holds the
// repair's job and answers what the repair asks of its host.

#include <string>

#include "engine/Repair.h"
#include "sheet/Pages.h"
#include "sheet/TaggedList.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace inspector {

class SheetDialogs;

// Where a batch run writes a document's repaired copy: a "glimmet" folder
// beside it. A path without a folder stays as it is.
std::string BatchOutputName(const std::string& path);

class CRepairPage : public PageWidget, public engine::RepairHost {
    Q_OBJECT
public:
    CRepairPage(CTabSheet& sheet, SheetDialogs& dialogs, QWidget* parent = nullptr);

    // The Information page's findings list: the check of a repaired copy
    // reports there, and it is scrolled with the log.
    void SetFindings(TaggedListModel* findings, QListView* view);

    void UpdatePage(uint32_t flags) override;
    bool RepairAvailable() const override;

    // The main window's Repair button.
    void RepairAction();
    // One repair run with the members as they are; 0 when its Save As
    // dialog was cancelled, also when a run is already going on.
    int RunRepair();
    bool Running() const { return running_; }

    // Edit 1067; false without the page window.
    bool GetNewFileName(std::string* text) const;
    void SetNewFileName(const std::string& text);
    // The members into the controls, and back.
    void ShowMembers();
    void ReadControls();

    // engine::RepairHost
    std::optional<std::string> AskOutputName(const std::string& name) override;
    bool BatchRunning() const override;
    void ClearLog() override;
    void ScrollLists() override;
    void LoadDocument(const std::string& path) override;

    engine::RepairJob job;
    bool needsRefresh = true;

    TaggedListModel model;                  // the log
    QLabel* fileName = nullptr;             // 1068 "Original File:"
    QLineEdit* newFile = nullptr;           // 1067 "New File:"
    QPushButton* browseButton = nullptr;    // 1066
    QCheckBox* repairCorruption = nullptr;  // 1107
    QCheckBox* removeUndo = nullptr;        // 1070
    QCheckBox* removeStyles = nullptr;      // 1069
    QListView* list = nullptr;              // 1108
    QPushButton* printButton = nullptr;     // 1110
    QPushButton* saveButton = nullptr;      // 1109

protected:
    void OnInitDialog() override;
    void Activated() override;

private:
    void Refresh();
    void Clicked(QCheckBox* box, uint32_t bit);
    void Browse();

    SheetDialogs& dialogs_;
    TaggedListModel* findings_ = nullptr;
    QListView* findingsView_ = nullptr;
    bool running_ = false;
};

}  // namespace inspector
