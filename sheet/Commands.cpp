#include "sheet/Commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QSettings>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/Progress.h"
#include "engine/TextOps.h"
#include "platform/desktop/Desktop.h"
#include "sheet/Fetch.h"
#include "sheet/Sheet.h"
#include "sheet/Text.h"

namespace inspector {

namespace {

const char kFetchFailed[] = "Unable to establish a DDE connection with Quillwright";

void Box(const std::string& text, const std::string& caption = "") {
    if (engine::MessageService* m = engine::Ctx().hosts.messages)
        m->Show(text, caption, engine::MsgIcon::None, engine::MsgButtons::Ok);
}

void Beep() {
    if (engine::WindowHost* w = engine::Ctx().hosts.window) w->Beep();
}

}  // namespace

bool PrintChoice::AnyPart() const {
    return log || corruption || format || prefixSummary || prefixSelected || prefixAll || codesSummary ||
           codesSelected || codesAll || subSummary || subSelected || subAll;
}

PrintChoice InitialPrintChoice(int activePage, bool prefixHex, bool codesHex, bool subHex) {
    PrintChoice c;
    switch (activePage) {
    case kRepairPage: c.log = true; break;
    case kInfoPage: c.corruption = true; break;
    case kFormatPage: c.format = true; break;
    case kPrefixPage: c.prefixSelected = c.prefixSummary = true; break;
    case kCodesPage: c.codesSelected = c.codesSummary = true; break;
    case kSubDocPage: c.subSelected = c.subSummary = true; break;
    default: break;
    }
    c.prefixHex = prefixHex;
    c.codesHex = codesHex;
    c.subHex = subHex;
    return c;
}

int PrintPointSize(int itemIndex, const std::string& typed) {
    if (itemIndex >= 0) return itemIndex + 6;
    char* end = nullptr;
    const long v = std::strtol(typed.c_str(), &end, 10);
    if (end == typed.c_str()) return 9;
    return v >= 2 && v <= 24 ? static_cast<int>(v) : 9;
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + extension;
    return path.substr(0, dot) + extension;
}

std::optional<std::string> EngineSearchText(const std::string& typed, bool caseSensitive) {
    size_t missing = std::string::npos;
    std::string text = EncodeCp1252Text(QString::fromUtf8(typed), &missing);
    if (text.size() > kSearchTextBytes) text.resize(kSearchTextBytes);
    if (missing < text.size()) return std::nullopt;
    if (!caseSensitive)
        for (char& ch : text)
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return text;
}

std::string SearchTextShown(const std::string& typed) { return EncodeCp1252Text(QString::fromUtf8(typed)); }

// One operation that owns the document and the window while it runs.
class Commands::BusyScope {
public:
    explicit BusyScope(Commands& c) : c_(c) {
        if (c_.busy_++ == 0 && c_.onBusyChanged) c_.onBusyChanged(true);
    }
    ~BusyScope() {
        if (--c_.busy_ == 0 && c_.onBusyChanged) c_.onBusyChanged(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Commands& c_;
};

Commands::Commands(CTabSheet& sheet, CommandServices services, QObject* parent)
    : QObject(parent), sheet_(sheet), s_(std::move(services)) {
    timer_.setSingleShot(true);
    // A coarse timer may fire 5% early: the next fetch must come a whole
    // interval after the last one ended.
    timer_.setTimerType(Qt::PreciseTimer);
    poll_.setSingleShot(true);
    poll_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, &Commands::Tick);
    connect(&poll_, &QTimer::timeout, this, &Commands::Tick);
    sheet_.onExtract = [this] { ExtractText(); };
}

Commands::~Commands() {
    if (sheet_.onExtract) sheet_.onExtract = nullptr;
}

bool Commands::Busy() const {
    return busy_ > 0 || (s_.pages && (s_.pages->RepairRunning() || s_.pages->ModalUp()));
}

bool Commands::DocumentOpen() const { return sheet_.Document() != nullptr; }

bool Commands::TextCommandsEnabled() const {
    return sheet_.Document() != nullptr && engine::Ctx().doc.header.FileType() != 22;
}

// A profile's own scramble takes graphics files too.
bool Commands::ScrambleEnabled() const { return s_.scramble ? DocumentOpen() : TextCommandsEnabled(); }

int Commands::IntervalMs(uint32_t seconds) {
    const int64_t ms = static_cast<int64_t>(seconds) * 1000;
    return static_cast<int>(std::min<int64_t>(ms, INT_MAX));
}

void Commands::Repair(const std::function<void()>& action) {
    if (Busy()) return;
    BusyScope busy(*this);
    action();
}

void Commands::Close() {
    if (Busy()) return;
    sheet_.UnloadDocument();
}

void Commands::OpenRecent(int number) {
    if (Busy()) return;
    BusyScope busy(*this);
    sheet_.OpenRecent(number);
}

void Commands::LoadDropped(const std::string& path) {
    if (Busy()) return;
    BusyScope busy(*this);
    sheet_.LoadDocument(path, false);
}

void Commands::Open() {
    if (Busy()) return;
    BusyScope busy(*this);
    SheetSettings& settings = sheet_.Settings();
    if (!sheet_.Profile().batch) {
        // One file, and no filter kept.
        uint32_t filter = 0;
        const std::vector<std::string> paths = s_.dialogs->OpenFileNames(&filter);
        if (!paths.empty()) sheet_.LoadDocument(paths.front(), false);
        return;
    }
    if (settings.batchAvailable == 0 && s_.dialogs->BatchTip()) settings.batchAvailable = 1;
    uint32_t filter = settings.openFilterIndex;
    const std::vector<std::string> paths = s_.dialogs->OpenFileNames(&filter);
    if (paths.empty()) return;
    settings.openFilterIndex = filter;
    if (paths.size() == 1) {
        sheet_.LoadDocument(paths.front(), false);
        return;
    }
    BatchChoice choice;
    if (!s_.dialogs->Batch(choice)) return;
    RunBatch(paths, choice);
}

void Commands::RunBatch(const std::vector<std::string>& paths, const BatchChoice& choice) {
    if (paths.empty()) return;
    BusyScope busy(*this);
    CommandPages& pages = *s_.pages;
    engine::RepairJob& job = pages.Job();
    sheet_.UnloadDocument();
    sheet_.SetBatch(true);
    pages.ClearFindings();
    pages.ClearLog();
    job.followDocument = false;
    job.outputReplacesInput = choice.replace;
    if (!choice.AnyRepair()) sheet_.SetActivePage(kInfoPage);

    bool run = true;
    std::string folder;
    if (choice.AnyRepair() && !choice.replace) {
        const size_t slash = paths.front().rfind('/');
        if (slash != std::string::npos) {
            folder = paths.front().substr(0, slash) + "/glimmet";
            struct stat st {};
            if (stat(folder.c_str(), &st) == 0) {
                // A plain file of that name is never written into.
                if (S_ISDIR(st.st_mode))
                    Beep();
                else
                    run = false;
            } else if (mkdir(folder.c_str(), 0777) != 0) {
                run = false;
            }
            if (!run) Box(engine::Format("Cannot create DIRECTORY %s.", folder.c_str()));
        }
    }

    engine::CProgressDialog progress;
    if (run) {
        progress.Create();
        progress.SetRange(0, static_cast<int>(paths.size()));
        progress.SetStep(1);
    }
    for (size_t i = 0; run && i < paths.size(); ++i) {
        if (i > 0 && progress.CheckCancel()) break;
        const std::string& path = paths[i];
        sheet_.LoadDocument(path, false);
        if (sheet_.Document()) {
            if (choice.listCorruption) pages.InfoBatchStep();
            if (choice.AnyRepair()) {
                job.repairCorruption = choice.repairCorruption;
                job.removeUnusedStyles = choice.removeStyles;
                job.removeUndo = choice.removeUndo;
                job.outputReplacesInput = choice.replace;
                // The engine tells a repair in place by this name: it must be
                // the document just loaded, never the one before.
                job.repairedFileName = engine::Ctx().sink.fileName;
                const std::string output =
                    choice.replace || folder.empty() ? path : folder + "/" + FileNameOf(path);
                job.outputName = output;
                pages.SetNewFileName(output);
                pages.ShowRepairMembers();
                pages.RunRepair();
            }
            sheet_.UnloadDocument();
        }
        progress.StepIt();
    }

    sheet_.SetBatch(false);
    job.followDocument = true;
    job.outputReplacesInput = false;
    pages.ShowRepairMembers();
}

void Commands::Print() {
    if (Busy() || !sheet_.Document()) return;
    BusyScope busy(*this);
    CommandPages& pages = *s_.pages;
    const PrintLayout& layout = PrintLayoutOf(sheet_.Profile());
    PrintChoice c = InitialPrintChoice(sheet_.ActivePage(), pages.PageHex(kPrefixPage), pages.PageHex(kCodesPage),
                                       pages.PageHex(kSubDocPage));
    if (!s_.dialogs->PrintSetup(c)) return;

    // Up once the job runs, not over the print dialog; Cancel aborts the job.
    std::optional<engine::CProgressDialog> progress;
    auto keepPrinting = [&progress] {
        if (!progress) {
            progress.emplace();
            progress->Create();
            progress->SetRange(0, 6);
            progress->SetStep(1);
        }
        return !progress->CheckCancel();
    };
    std::vector<std::function<void()>> parts;
    auto part = [&](std::function<void()> print) {
        parts.push_back([print = std::move(print), &progress] {
            print();
            if (progress) progress->StepIt();
        });
    };
    struct Group {
        bool summary, selected, all, hex, allFirst;
    };
    // The Prefix group prints its selected packet when both are chosen; the
    // code groups print every code.
    auto group = [&](int role, const Group& g) {
        const SheetPage* p = sheet_.PageAt(role);
        if (!p || !p->HasWindow()) return;
        part([this, role, g, &pages, &layout] {
            if (g.summary) sheet_.RefreshPage(role, kPrintSummary);
            const bool saved = pages.PageHex(role);
            if (layout.hexBoxes) pages.SetPageHex(role, g.hex);
            const bool all = g.allFirst ? g.all : g.all && !g.selected;
            if (all)
                sheet_.RefreshPage(role, kPrintEveryItem);
            else if (g.selected)
                sheet_.RefreshPage(role, kPrintDetail);
            if (layout.hexBoxes) pages.SetPageHex(role, saved);
        });
    };
    for (int role : layout.order) {
        switch (role) {
        case kRepairPage:
            if (c.log) part([&] { sheet_.PageAt(kRepairPage)->UpdatePage(kPrintDetail); });
            break;
        case kInfoPage:
            if (c.corruption) part([&] { sheet_.PageAt(kInfoPage)->UpdatePage(kPrintDetail); });
            break;
        case kFormatPage:
            if (c.format) part([&] { sheet_.RefreshPage(kFormatPage, kPrintDetail); });
            break;
        case kPrefixPage:
            group(role, {c.prefixSummary, c.prefixSelected, c.prefixAll, c.prefixHex, false});
            break;
        case kCodesPage:
            group(role, {c.codesSummary, c.codesSelected, c.codesAll, c.codesHex, true});
            break;
        case kSubDocPage:
            group(role, {c.subSummary, c.subSelected, c.subAll, c.subHex, true});
            break;
        default:
            break;
        }
    }
    s_.dialogs->Print(c.pointSize, parts, keepPrinting);
}

void Commands::Font() {
    if (Busy()) return;
    BusyScope busy(*this);
    SheetSettings& settings = sheet_.Settings();
    const std::optional<LogFont> chosen = s_.dialogs->ChooseFont(settings.listFont);
    if (!chosen) return;
    settings.listFont = *chosen;
    {
        QSettings store = SettingsStore(sheet_.Profile());
        WriteListFont(store, *chosen);
    }
    sheet_.RefreshAllPages(kUpdateFont);
}

void Commands::Find() {
    if (Busy() || !sheet_.Document()) return;
    BusyScope busy(*this);
    const SheetProfile& profile = sheet_.Profile();
    SearchChoice c;
    c.text = lastSearch_;
    if (!s_.dialogs->Search(c)) return;
    lastSearch_ = c.text;

    const uint32_t mask = profile.engine->tagOffsetMask;
    const int kind = sheet_.ActivePage();
    uint32_t value = 0;
    uint32_t start = 0;
    if (kind == kCodesPage) {
        const SheetPage* codes = sheet_.PageAt(kCodesPage);
        const int row = s_.pages->SelectedRow(kCodesPage);
        value = row < 0 ? 0 : static_cast<uint32_t>(row);
        if (c.fromCurrent) {
            const int64_t rows = static_cast<int64_t>(codes->RowCount());
            if (row == rows - 1) {
                Box(SearchTextShown(c.text) + " - not Found.  You may want to try a search from the top of the file",
                    profile.findCaption);
                return;
            }
            start = codes->RowTag(static_cast<size_t>(row + 1)) & mask;
        }
    } else if (kind == kPrefixPage) {
        const int row = s_.pages->SelectedRow(kPrefixPage);
        value = row < 0 ? 0 : static_cast<uint32_t>(row);
    }
    if (c.text.empty()) {
        Box("No search string supplied", "Error");
        return;
    }
    const std::optional<std::string> text = EngineSearchText(c.text, c.caseSensitive);
    const auto search = profile.searchText ? profile.searchText : &engine::SearchDocumentText;
    int32_t hit = 0;
    if (text)
        hit = s_.searchText ? s_.searchText(sheet_.Document(), start, *text, c.caseSensitive)
                            : search(sheet_.Document(), start, 0x7FFFFFFF, text->c_str(), c.caseSensitive);
    // 0 is no hit and 1 a failed walk; a text run never starts that early.
    if (hit <= 1) {
        Box(SearchTextShown(c.text) + " Not found.", profile.findCaption);
        return;
    }
    if (!sheet_.Advanced()) sheet_.ToggleAdvanced();
    SheetPage* codes = sheet_.PageAt(kCodesPage);
    const bool fresh = !codes->HasWindow();
    // Active before its rows are read: a page that is not shown refills later.
    sheet_.SetActivePage(kCodesPage);
    if (fresh) codes->SelectItem(0);
    if (codes->FilterOn()) {
        codes->SetFilterOff();
        sheet_.RefreshPage(kCodesPage, kUpdateDocument);
    }
    const size_t row = FirstRowAtOrAfter(
        codes->RowCount(), [codes](size_t i) { return codes->RowTag(i); }, mask, static_cast<uint32_t>(hit));
    sheet_.PushHistory(static_cast<uint32_t>(kind), value, static_cast<uint32_t>(row));
}

std::string Commands::Source() const {
    return sheet_.Document() ? engine::Ctx().sink.fileName : sheet_.LastFailedPath();
}

OutputCheck Commands::CheckOutput() const {
    const std::string source = Source();
    return [source](const std::string& name, bool browsed) {
        const bool same = !source.empty() && (name == source || engine::SameFile(name, source));
        if (browsed) {
            if (same) {
                Box("Can not use the original file.");
                return false;
            }
            engine::DocFile* f = engine::OpenDocFile(name, engine::kOpenRead | engine::kOpenWrite);
            if (!f) {
                Box("File cannot be open with Write Access.");
                return false;
            }
            engine::CloseDocFile(f);
            return true;
        }
        if (same) {
            Box("Can not use the original file.  All contents will be destroyed!");
            return false;
        }
        return true;
    };
}

void Commands::RunRepairMode(bool scramble, const std::string& output) {
    CommandPages& pages = *s_.pages;
    engine::RepairJob& job = pages.Job();
    pages.SetNewFileName(output);
    job.outputName = output;
    const bool saved[3] = {job.repairCorruption, job.removeUndo, job.removeUnusedStyles};
    job.repairCorruption = job.removeUndo = job.removeUnusedStyles = false;
    (scramble ? job.scramble : job.extract) = true;
    // Without a document the extraction reads the file last refused.
    if (!sheet_.Document()) job.repairedFileName = sheet_.LastFailedPath();
    job.textWritten = false;
    pages.ShowRepairMembers();
    pages.RunRepair();
    job.scramble = job.extract = false;
    job.repairCorruption = saved[0];
    job.removeUndo = saved[1];
    job.removeUnusedStyles = saved[2];
    pages.ShowRepairMembers();
}

void Commands::Scramble() {
    if (Busy() || !ScrambleEnabled()) return;
    BusyScope busy(*this);
    if (s_.scramble) {
        s_.scramble();
        return;
    }
    std::string name = ReplaceExtension(engine::Ctx().sink.fileName, ".XXX");
    std::string edit;
    if (s_.pages->RepairPageHasWindow() && s_.pages->GetNewFileName(&edit)) name = edit;
    if (!s_.dialogs->Scramble(name, CheckOutput())) return;
    RunRepairMode(true, name);
}

void Commands::Extract() {
    if (Busy() || !TextCommandsEnabled()) return;
    BusyScope busy(*this);
    ExtractText();
}

void Commands::ExtractText() {
    BusyScope busy(*this);
    std::string name = ReplaceExtension(engine::Ctx().sink.fileName, ".txt");
    if (!s_.dialogs->Extract(name, CheckOutput())) return;
    RunRepairMode(false, name);
    if (s_.pages->Job().textWritten)
        Box("Finished Extracting text.  New file will not be opened in GLIMMET.", "Glimmet");
}

void Commands::HelpTips() {
    if (busy_ > 0) return;
    BusyScope busy(*this);
    s_.dialogs->HelpTips();
}

void Commands::About() {
    if (Busy()) return;
    BusyScope busy(*this);
    s_.dialogs->About();
}

void Commands::FileFormat() {
    if (Busy()) return;
    BusyScope busy(*this);
    if (s_.fileFormat) {
        s_.fileFormat();
        return;
    }
    const std::string folder = s_.programFolder ? s_.programFolder() : std::string();
    if (folder.empty()) {
        Box(engine::Text(engine::Msg::NoProgramPath), "Error");
        return;
    }
    const std::string path = folder + "/A_frntff.htm";
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        if (s_.opener) s_.opener->OpenFile(path);
        return;
    }
    Box("Could not find file : " + path, "Error");
}

bool Commands::Fetch() {
    BusyScope busy(*this);
    s_.pages->SetWaitCursor(true);
    const std::string path = s_.fetchTarget ? s_.fetchTarget() : std::string();
    sheet_.UnloadDocument();
    bool ok = false;
    if (!path.empty() && s_.fetcher) {
        engine::CProgressDialog progress;
        progress.Create();
        ok = s_.fetcher->SaveCurrentDocument(path, [&progress] { return !progress.CheckCancel(); });
    }
    s_.pages->SetWaitCursor(false);
    if (ok)
        sheet_.LoadDocument(path, false);
    else
        Box(kFetchFailed);
    return ok;
}

void Commands::FetchCurrentDocument() {
    if (Busy()) return;
    Fetch();
}

void Commands::StartUpdateTimer(bool failed) {
    int ms = IntervalMs(sheet_.Settings().updateInterval);
    // After a failure the user gets time to reach the toggle.
    if (failed) ms = std::max(ms, kRetryAfterFailureMs);
    timer_.start(ms);
}

void Commands::StopUpdateTimer() {
    timer_.stop();
    poll_.stop();
    tickPending_ = false;
}

void Commands::ToggleAutoRefresh() {
    if (sheet_.AutoRefresh()) {
        sheet_.SetAutoRefresh(false);
        StopUpdateTimer();
        return;
    }
    if (Busy()) return;
    const bool ok = Fetch();
    sheet_.SetAutoRefresh(true);
    StartUpdateTimer(!ok);
}

void Commands::Tick() {
    if (!sheet_.AutoRefresh()) return;
    if (Busy()) {
        // Runs once the operation ends, however many ticks fell due.
        tickPending_ = true;
        poll_.start();
        return;
    }
    tickPending_ = false;
    const bool ok = Fetch();
    if (sheet_.AutoRefresh()) StartUpdateTimer(!ok);
}

}  // namespace inspector
