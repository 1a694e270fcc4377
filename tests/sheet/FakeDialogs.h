#pragma once
// The sheet's common dialogs as a fake: each answers what the test set, and
// a hook can act while the dialog would be up.

#include <QPrinter>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sheet/ListOutput.h"

namespace inspector::testing {

class FakeDialogs : public SheetDialogs {
public:
    std::optional<std::string> OpenFileName(uint32_t* filterIndex) override {
        openStartedAt = *filterIndex;
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
    uint32_t openFilter = 1, openStartedAt = 0;
    int browses = 0;
    std::vector<std::string> proposals;  // of each Save As
    std::function<void()> onSaveAs;
    std::string pdf;
};

}  // namespace inspector::testing
