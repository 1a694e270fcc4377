#pragma once
// Glimmet's main window: the shared sheet window with Glimmet's profile,
// its Corruption page and the two commands whose steps are its own,
// Scramble (it confirms and changes nothing) and File Format (it starts
// the desktop's HTML browser on the help page).

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "sheet/SheetWindow.h"

class QCheckBox;

namespace desktop {
class DesktopOpener;
class ProgramLauncher;
}  // namespace desktop

namespace legacy {

class CCorruptionPage;

// The scramble dialog's two boxes, both checked at construction.
struct ScrambleChoice {
    bool mainDocument = true;   // 1050
    bool subDocuments = true;   // 1051
};

class GlimmetDialogs {
public:
    virtual ~GlimmetDialogs() = default;
    // False on Cancel.
    virtual bool Scramble(ScrambleChoice& choice) = 0;
};

class CScrambleDialog : public QDialog {
    Q_OBJECT
public:
    explicit CScrambleDialog(QWidget* parent = nullptr);
    void accept() override;

    ScrambleChoice choice;
    QCheckBox* mainDocument = nullptr;
    QCheckBox* subDocuments = nullptr;
};

class QtGlimmetDialogs : public GlimmetDialogs {
public:
    explicit QtGlimmetDialogs(QWidget* owner) : owner_(owner) {}
    bool Scramble(ScrambleChoice& choice) override;

private:
    QWidget* owner_;
};

// How the browser is started: the first word of its open command is the
// program; the other words, less the desktop's field codes, and then the
// page are its arguments.
struct BrowserStart {
    std::string program;
    std::vector<std::string> args;
};
BrowserStart BrowserCommand(const std::string& command, const std::string& page);

// File Format: the help page "A_frntff.htm" of `programFolder` in the
// desktop's HTML browser. Every failure is a box with the caption "Error".
void LaunchHelpBrowser(desktop::DesktopOpener* opener, desktop::ProgramLauncher* launcher,
                       const std::string& programFolder);

// Scramble: the dialog, a confirmation, and the engine's answer that it is
// not done; the document is never changed.
void ScrambleCommand(inspector::CTabSheet& sheet, GlimmetDialogs& dialogs);

class GlimmetWindow : public inspector::SheetWindow {
    Q_OBJECT
public:
    explicit GlimmetWindow(inspector::SheetDialogs* dialogs = nullptr,
                           inspector::CommandDialogs* commandDialogs = nullptr,
                           GlimmetDialogs* glimmetDialogs = nullptr, QWidget* parent = nullptr);
    ~GlimmetWindow() override;

    CCorruptionPage* corruptionPage() const;
    // Starts the browser of File Format; none: it cannot start.
    desktop::ProgramLauncher* launcher = nullptr;

private:
    std::unique_ptr<GlimmetDialogs> ownGlimmetDialogs_;
    GlimmetDialogs* glimmetDialogs_;
};

}  // namespace legacy
