#pragma once
// The main window: menu bar, the seven pages in a tab widget and the three
// buttons under them. It shows what the sheet controller decides and hands
// it the user's commands.

#include <QMainWindow>
#include <array>
#include <memory>
#include <string>

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

class SheetWindow : public QMainWindow, public SheetView {
    Q_OBJECT
public:
    // Without `dialogs` the window uses the Qt file and print dialogs.
    explicit SheetWindow(const SheetProfile& profile, SheetDialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~SheetWindow() override;

    // Reads the settings, builds the view and opens `pendingPath` when it
    // is not empty.
    void Start(const std::string& pendingPath);
    // Writes the settings and closes the document (also on close).
    void Finish();

    CTabSheet& sheet() { return *sheet_; }
    PageWidget* page(int index) const { return pages_[static_cast<size_t>(index)]; }
    CRepairPage* repairPage() const;
    CInfoPage* infoPage() const;
    CFormatPage* formatPage() const;

    // While a repair runs, the commands do nothing.
    bool RepairRunning() const;

    // SheetView
    void SetCaption(const std::string& caption) override;
    void SetBackEnabled(bool enabled) override;
    void SetRepairEnabled(bool enabled) override;
    void SetAdvancedText(const std::string& text) override;
    void AddPage(int index) override;
    void RemovePage(int index) override;
    void ShowPage(int index) override;

    // The File popup as it is about to show: recent files and item states.
    void RebuildFileMenu();
    // Loads the first file of a drop; nothing when it is not a local file.
    void DropUrls(const QList<QUrl>& urls);

    QTabWidget* tabs = nullptr;
    QPushButton* backButton = nullptr;
    QPushButton* advancedButton = nullptr;
    QPushButton* repairButton = nullptr;
    QMenu* fileMenu = nullptr;
    QAction *openAction = nullptr, *closeAction = nullptr, *exitAction = nullptr;
    QList<QAction*> recentActions;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Open();

    std::unique_ptr<SheetDialogs> ownDialogs_;
    SheetDialogs* dialogs_;
    std::unique_ptr<CTabSheet> sheet_;
    std::array<PageWidget*, kPageCount> pages_{};
    QAction* recentSeparator_ = nullptr;
    bool switching_ = false;
    bool finished_ = false;
};

}  // namespace inspector
