#pragma once
// The sheet's common dialogs as a fake: each answers what the test set, and
// a hook can act while the dialog would be up.

#include <QPrinter>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sheet/Commands.h"
#include "sheet/Dialogs.h"
#include "sheet/ListOutput.h"
#include "sheet/SheetProfile.h"

namespace inspector::testing {

// The commands' dialogs: each answers what the test set and records how it
// was asked. Scramble and Extract run the output checks on the names set.
class FakeCommandDialogs : public CommandDialogs {
public:
    explicit FakeCommandDialogs(SheetDialogs& common) : common_(common) {}
    std::vector<std::string> OpenFileNames(uint32_t* filterIndex) override {
        openStartedAt = *filterIndex;
        ++opens;
        if (!openMany.empty()) {
            *filterIndex = openFilter;
            return openMany;
        }
        if (!open) return {};
        *filterIndex = openFilter;
        return {*open};
    }
    bool BatchTip() override {
        ++tips;
        return tipDontShow;
    }
    bool Batch(BatchChoice& choice) override {
        ++batches;
        if (!batch) return false;
        choice = *batch;
        return true;
    }
    bool PrintSetup(PrintChoice& choice) override {
        printInitial = choice;
        if (!print) return false;
        choice = *print;
        return true;
    }
    bool Print(int pointSize, const std::vector<std::function<void()>>& parts,
               const std::function<bool()>& keepPrinting) override {
        printPointSize = pointSize;
        return PrintWithDialog(common_, SalvinoSheetProfile(), pointSize, parts, keepPrinting) == PrintResult::Printed;
    }
    bool Search(SearchChoice& choice) override {
        searchInitial = choice;
        if (!search) return false;
        choice = *search;
        return true;
    }
    // Browse with `browsed` first (when set), then OK with `output`; a
    // refused OK with `retry` when set, else Cancel.
    bool RunOutput(std::string& name, const OutputCheck& check) {
        proposed.push_back(name);
        if (browsed) browseAccepted = check(*browsed, true);
        if (!output) return false;
        if (check(*output, false)) {
            name = *output;
            return true;
        }
        if (retry && check(*retry, false)) {
            name = *retry;
            return true;
        }
        return false;
    }
    bool Scramble(std::string& name, const OutputCheck& check) override { return RunOutput(name, check); }
    bool Extract(std::string& name, const OutputCheck& check) override { return RunOutput(name, check); }
    std::optional<LogFont> ChooseFont(const std::optional<LogFont>& current) override {
        fontInitial = current;
        return font;
    }
    void HelpTips() override { ++helps; }
    void About() override { ++abouts; }

    std::optional<std::string> open;
    std::vector<std::string> openMany;
    uint32_t openFilter = 1, openStartedAt = 0;
    int opens = 0, tips = 0, batches = 0, helps = 0, abouts = 0;
    bool tipDontShow = false;
    std::optional<BatchChoice> batch;
    std::optional<PrintChoice> print;
    PrintChoice printInitial;
    int printPointSize = 0;
    std::optional<SearchChoice> search;
    SearchChoice searchInitial;
    std::optional<std::string> browsed, output, retry;
    std::optional<bool> browseAccepted;
    std::vector<std::string> proposed;
    std::optional<LogFont> font, fontInitial;

private:
    SheetDialogs& common_;
};

class FakeDialogs : public SheetDialogs {
public:
    std::optional<std::string> OpenFileName(uint32_t* filterIndex) override {
        if (open) *filterIndex = openFilter;
        return open;
    }
    std::optional<std::string> SaveFileName() override { return save; }
    std::optional<std::string> BrowseNewFileName() override {
        ++browses;
        return browse;
    }
    std::optional<std::string> SaveAsFileName(const std::string& proposed) override {
        proposals.push_back(proposed);
        if (onSaveAs) onSaveAs();
        return saveAs;
    }
    bool SetupPrinter(QPrinter& printer) override {
        if (pdf.empty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    }
    std::optional<std::string> open, save, browse, saveAs;
    uint32_t openFilter = 1;
    int browses = 0;
    std::vector<std::string> proposals;  // of each Save As
    std::function<void()> onSaveAs;
    std::string pdf;
    FakeCommandDialogs commands{*this};
};

}  // namespace inspector::testing
