#pragma once
// Salvino's window offscreen for the advanced pages' tests: recording
// hosts, fake common dialogs, a private settings store and a folder.

#include <QPrinter>
#include <memory>
#include <optional>
#include <string>

#include "sheet/ListOutput.h"
#include "sheet/Pages.h"
#include "sheet/SheetWindow.h"
#include "tests/sheet/Fixtures.h"
#include "tests/support/Recording.h"

namespace inspector::testing {

class PageDialogs : public SheetDialogs {
public:
    std::optional<std::string> OpenFileName(uint32_t*) override { return std::nullopt; }
    std::optional<std::string> SaveFileName() override { return save; }
    bool SetupPrinter(QPrinter& printer) override {
        if (pdf.empty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    }
    std::optional<std::string> save;
    std::string pdf;
};

struct PageRig {
    SettingsSandbox settings;
    testsupport::ScopedContext ctx;
    testsupport::ScopedTempDir dir;
    PageDialogs dialogs;
    std::unique_ptr<SheetWindow> window;

    PageRig() { Restart(); }
    ~PageRig() { window.reset(); }
    // A new window, as at the program's next start.
    void Restart() {
        window.reset();
        window = std::make_unique<SheetWindow>(SalvinoSheetProfile(), &dialogs);
    }
    void Start(const std::string& pending = "") {
        window->show();
        window->Start(pending);
    }
    void Advanced() {
        if (!sheet().Advanced()) sheet().ToggleAdvanced();
    }
    CTabSheet& sheet() { return window->sheet(); }
    std::string Write(const std::string& name, const testsupport::DocBuilder& b, bool compound = false) {
        return WriteDoc(dir, name, b, compound);
    }
    // Updates a page that is still a placeholder has seen.
    size_t UpdatesOf(int index) {
        auto* p = dynamic_cast<PlaceholderPage*>(window->page(index));
        return p ? p->updates.size() : 0;
    }
};

}  // namespace inspector::testing
