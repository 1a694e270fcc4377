#pragma once
// The main window: menu bar, the seven pages in a tab widget and the three
// buttons under them. It shows what the sheet controller decides and hands
// it the user's commands.

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "sheet/Commands.h"
#include "sheet/Sheet.h"

class QAction;
class QMenu;
class QPushButton;
class QTabWidget;

namespace inspector {

class CFormatPage;
class CInfoPage;
class CRepairPage;
class PageWidget;
class SheetDialogs;

// A profile's own page for a role; none: the shared page of that role.
using PageFactory = std::function<PageWidget*(int role, CTabSheet& sheet, SheetDialogs& dialogs, QWidget* parent)>;

class SheetWindow : public QMainWindow, public SheetView, public CommandPages {
    Q_OBJECT
public:
    // Without `dialogs` the window uses the Qt file and print dialogs;
    // without `commandDialogs` the commands' own Qt dialogs over them.
    explicit SheetWindow(const SheetProfile& profile, SheetDialogs* dialogs = nullptr,
                         CommandDialogs* commandDialogs = nullptr, QWidget* parent = nullptr,
                         const PageFactory& ownPages = {});
    ~SheetWindow() override;

    // Reads the settings, builds the view and opens `pendingPath` when it
    // is not empty.
    void Start(const std::string& pendingPath);
    // Writes the settings and closes the document (also on close).
    void Finish();

    CTabSheet& sheet() { return *sheet_; }
    Commands& commands() { return *commands_; }
    // The page of a role; none when the profile has no such page.
    PageWidget* page(int role) const { return pages_[static_cast<size_t>(role)]; }
    CRepairPage* repairPage() const;
    CInfoPage* infoPage() const;
    CFormatPage* formatPage() const;


    // SheetView
    void SetCaption(const std::string& caption) override;
    void SetBackEnabled(bool enabled) override;
    void SetRepairEnabled(bool enabled) override;
    void SetAdvancedText(const std::string& text) override;
    void AddPage(int role) override;
    void RemovePage(int role) override;
    void ShowPage(int role) override;

    // CommandPages
    engine::RepairJob& Job() override;
    bool RepairPageHasWindow() const override;
    bool GetNewFileName(std::string* text) const override;
    void SetNewFileName(const std::string& text) override;
    void ShowRepairMembers() override;
    int RunRepair() override;
    bool RepairRunning() const override;
    void ClearFindings() override;
    void ClearLog() override;
    int InfoBatchStep() override;
    bool PageHex(int page) const override;
    void SetPageHex(int page, bool on) override;
    int SelectedRow(int page) const override;
    void SetWaitCursor(bool on) override;
    bool ModalUp() const override;

    // The File popup as it is about to show: recent files and item states.
    void RebuildFileMenu();
    // Every popup's item states.
    void UpdateMenuStates();
    // Loads the first file of a drop; nothing when it is not a local file.
    void DropUrls(const QList<QUrl>& urls);

    QTabWidget* tabs = nullptr;
    QPushButton* backButton = nullptr;
    QPushButton* advancedButton = nullptr;
    QPushButton* repairButton = nullptr;
    QPushButton* closeButton = nullptr;  // "&Close", where there is no advanced view
    QMenu *fileMenu = nullptr, *editMenu = nullptr, *optionsMenu = nullptr, *helpMenu = nullptr;
    QAction *openAction = nullptr, *closeAction = nullptr, *printAction = nullptr, *exitAction = nullptr;
    QAction *fetchAction = nullptr, *autoRefreshAction = nullptr;
    QAction *scrambleAction = nullptr, *findAction = nullptr, *extractAction = nullptr;
    QAction *fontAction = nullptr, *helpAction = nullptr, *fileFormatAction = nullptr, *aboutAction = nullptr;
    QAction* helpRequest = nullptr;  // F1
    QList<QAction*> recentActions;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenu();
    QAction* MenuAction(QMenu* menu, const MenuItem& item);
    PageWidget* MakeSharedPage(int role);

    std::unique_ptr<SheetDialogs> ownDialogs_;
    SheetDialogs* dialogs_;
    std::unique_ptr<CommandDialogs> ownCommandDialogs_;
    std::unique_ptr<CTabSheet> sheet_;
    std::unique_ptr<Commands> commands_;
    std::array<PageWidget*, kPageCount> pages_{};
    engine::RepairJob noRepair_;  // the job of a window without a Repair page
    QAction* recentSeparator_ = nullptr;
    bool switching_ = false;
    bool finished_ = false;
};

}  // namespace inspector
