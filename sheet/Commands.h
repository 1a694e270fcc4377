#pragma once
// The main window's commands beside the sheet controller, free of widgets:
// Open and the batch run, Print, Font, Find, Scramble, Extract, the help
// commands and the fetch of the word processor's document, once or on a
// timer. The dialogs, the pages and the shell come in through interfaces,
// so tests drive every command with fakes and the real pages.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/Repair.h"
#include "engine/Targets.h"
#include "sheet/Settings.h"

namespace desktop {
class DesktopOpener;
}
namespace sheet {
class DocumentFetcher;
}

namespace inspector {

class CTabSheet;
struct SheetProfile;

// The batch dialog's members.
struct BatchChoice {
    bool repairCorruption = false;  // 1086
    bool removeStyles = false;      // 1088
    bool listCorruption = true;     // 1085
    bool removeUndo = false;        // 1087
    bool replace = false;           // 1114, read at OK
    bool AnyRepair() const { return repairCorruption || removeUndo || removeStyles; }
};

// The print selection dialog's members, by control id.
struct PrintChoice {
    int pointSize = 9;
    bool log = false;              // 1036
    bool corruption = false;       // 1033
    bool format = false;           // 1006
    bool prefixSummary = false;    // 1032
    bool prefixSelected = false;   // 1031
    bool prefixAll = false;        // 1038
    bool prefixHex = false;        // 1009
    bool codesSummary = false;     // 1030
    bool codesSelected = false;    // 1029
    bool codesAll = false;         // 1037
    bool codesHex = false;         // 1092
    bool subSummary = false;       // 1035
    bool subSelected = false;      // 1034
    bool subAll = false;           // 1041
    bool subHex = false;           // 1040
    bool AnyPart() const;
};

// The print selection dialog's boxes and the printout, as data.
struct PrintBox {
    int id;
    const char* text;
    bool PrintChoice::*member;  // none: shown, inert
    bool enabled = true;
};

struct PrintGroup {
    const char* title;
    std::span<const PrintBox> boxes;
};

struct PrintLayout {
    std::span<const PrintGroup> groups;
    // Checking the first box of a pair clears the second.
    std::span<const std::pair<int, int>> clears;
    // The parts in print order, by page role.
    std::span<const int> order;
    // The hex boxes choose the detail's form; else each page prints with its own.
    bool hexBoxes;
    // OK refuses a choice of nothing.
    bool needsPart;
};

const PrintLayout& SalvinoPrintLayout();
const PrintLayout& PrintLayoutOf(const SheetProfile& profile);

// The preselection by the active page, with the pages' hex flags.
PrintChoice InitialPrintChoice(int activePage, bool prefixHex, bool codesHex, bool subHex);
// The point size of the combo box at OK: an item's index + 6, or a typed
// number from 2 to 24, else 9.
int PrintPointSize(int itemIndex, const std::string& typed);

struct SearchChoice {
    bool caseSensitive = false;  // 1055
    std::string text;            // 1056, as typed (UTF-8)
    bool fromCurrent = true;     // 1053 checked
};

// The engine's copy of a search text holds this many bytes and the NUL.
inline constexpr size_t kSearchTextBytes = 127;
// What the engine searches for: the text's single bytes, lower case (A-Z,
// as the engine folds the document's text) unless case-sensitive, cut to
// kSearchTextBytes. None when the part kept holds a character that no
// single-byte text can: nothing could match it.
std::optional<std::string> EngineSearchText(const std::string& typed, bool caseSensitive);
// The text as a box shows it: single bytes, '?' where the code page has none.
std::string SearchTextShown(const std::string& typed);

// Whether a file chosen for output (by Browse, or at OK) can be used; a
// refusal has shown its box.
using OutputCheck = std::function<bool(const std::string& name, bool browsed)>;

// The proposal of Scramble and Extract: `path` with the extension of its
// file-name part replaced by `extension` (appended when there is none).
std::string ReplaceExtension(const std::string& path, const std::string& extension);

// The dialogs the commands open, each modal.
class CommandDialogs {
public:
    virtual ~CommandDialogs() = default;
    // File Open with several names; empty on Cancel.
    virtual std::vector<std::string> OpenFileNames(uint32_t* filterIndex) = 0;
    // The batch tip; true when "Don't show me this message again!" was checked.
    virtual bool BatchTip() = 0;
    virtual bool Batch(BatchChoice& choice) = 0;
    virtual bool PrintSetup(PrintChoice& choice) = 0;
    // The print dialog, then one job on the printer or PDF file chosen: the
    // sink prints to it while `parts` run, in order; `keepPrinting` is
    // asked before each part and at each new page, and a no aborts the job.
    // False when nothing was printed (Cancel, or a failure after its box).
    virtual bool Print(int pointSize, const std::vector<std::function<void()>>& parts,
                       const std::function<bool()>& keepPrinting) = 0;
    virtual bool Search(SearchChoice& choice) = 0;
    // The scramble and extract dialogs, starting at `name`, which receives
    // the output name on OK; `check` refuses a name.
    virtual bool Scramble(std::string& name, const OutputCheck& check) = 0;
    virtual bool Extract(std::string& name, const OutputCheck& check) = 0;
    virtual std::optional<LogFont> ChooseFont(const std::optional<LogFont>& current) = 0;
    virtual void HelpTips() = 0;
    virtual void About() = 0;
};

// What the commands need of the window's pages.
class CommandPages {
public:
    virtual ~CommandPages() = default;
    virtual engine::RepairJob& Job() = 0;
    virtual bool RepairPageHasWindow() const = 0;
    virtual bool GetNewFileName(std::string* text) const = 0;
    virtual void SetNewFileName(const std::string& text) = 0;
    virtual void ShowRepairMembers() = 0;
    // One repair run of the Repair page; 0 when cancelled.
    virtual int RunRepair() = 0;
    virtual bool RepairRunning() const = 0;
    virtual void ClearFindings() = 0;
    virtual void ClearLog() = 0;
    virtual int InfoBatchStep() = 0;
    // The hex boxes of the Prefix, Codes and Sub Document pages.
    virtual bool PageHex(int page) const = 0;
    virtual void SetPageHex(int page, bool on) = 0;
    // The selected row of the Codes or Prefix list, else -1.
    virtual int SelectedRow(int page) const = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // A modal dialog or a progress dialog is up somewhere in the program.
    virtual bool ModalUp() const = 0;
};

struct CommandServices {
    CommandDialogs* dialogs = nullptr;
    CommandPages* pages = nullptr;
    desktop::DesktopOpener* opener = nullptr;
    sheet::DocumentFetcher* fetcher = nullptr;  // none: every fetch fails
    // Where the fetched copy goes (empty: no private folder).
    std::function<std::string()> fetchTarget;
    // The folder of the running program, where "A_frntff.htm" is looked for.
    std::function<std::string()> programFolder;
    // The engine's text search (none: SearchDocumentText itself); tests
    // watch what reaches it.
    std::function<int32_t(engine::DocFile*, uint32_t start, const std::string& text, bool caseSensitive)> searchText;
    // A profile's own form of Scramble and File Format, where its steps are
    // its own; none: the shared command.
    std::function<void()> scramble;
    std::function<void()> fileFormat;
};

class Commands : public QObject {
    Q_OBJECT
public:
    Commands(CTabSheet& sheet, CommandServices services, QObject* parent = nullptr);
    ~Commands() override;

    // Menu commands; each does nothing while another operation runs.
    void Open();
    void Close();
    void OpenRecent(int number);
    void LoadDropped(const std::string& path);
    void Print();
    void Font();
    void Find();
    void Scramble();
    void Extract();
    void HelpTips();
    void FileFormat();
    void About();
    void FetchCurrentDocument();
    void ToggleAutoRefresh();
    // The Repair button, under the busy guard.
    void Repair(const std::function<void()>& action);

    // The batch run over `paths` with the dialog's choice.
    void RunBatch(const std::vector<std::string>& paths, const BatchChoice& choice);
    // Extract without the guard: also Yes in a refusal box, inside a load.
    void ExtractText();

    bool Busy() const;
    // What the commands were handed; the program and tests plug in here.
    CommandServices& Services() { return s_; }
    QTimer& UpdateTimer() { return timer_; }
    // Menu states.
    bool DocumentOpen() const;
    bool TextCommandsEnabled() const;
    bool ScrambleEnabled() const;

    // Fault 9: the least wait after a failed tick.
    static constexpr int kRetryAfterFailureMs = 5000;
    // "Update Interval" seconds in ms, capped at INT_MAX.
    static int IntervalMs(uint32_t seconds);

    // Changes of the busy state: the window disables its menu meanwhile.
    std::function<void(bool)> onBusyChanged;

private:
    class BusyScope;
    void Tick();
    void StartUpdateTimer(bool failed);
    void StopUpdateTimer();
    bool Fetch();
    std::string Source() const;
    OutputCheck CheckOutput() const;
    void RunRepairMode(bool scramble, const std::string& output);

    CTabSheet& sheet_;
    CommandServices s_;
    QTimer timer_;
    QTimer poll_;  // a postponed tick looks again
    int busy_ = 0;
    bool tickPending_ = false;
    std::string lastSearch_;
};

}  // namespace inspector
