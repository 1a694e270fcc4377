#pragma once
// The common dialogs the sheet and its pages ask for, and the two list
// operations behind every page's "Print..." and "Save To Disk..." buttons.

#include <QFont>
#include <QPainter>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/Targets.h"
#include "sheet/RowEdit.h"

class QPrinter;
class QWidget;

namespace inspector {

struct SheetProfile;

class SheetDialogs {
public:
    virtual ~SheetDialogs() = default;
    // File Open: one existing file; `filterIndex` (1-based) is where the
    // dialog starts and receives the filter chosen. None on Cancel.
    virtual std::optional<std::string> OpenFileName(uint32_t* filterIndex) = 0;
    // Save As without a proposed name or filter. None on Cancel.
    virtual std::optional<std::string> SaveFileName() = 0;
    // The Repair page's Browse: a file to write, existing or not, under the
    // Quillwright filters (matched in any case). None on Cancel, and from a
    // host that has no such dialog.
    virtual std::optional<std::string> BrowseNewFileName() { return std::nullopt; }
    // Save As starting at `proposed`. None on Cancel, and from a host that
    // has no such dialog.
    virtual std::optional<std::string> SaveAsFileName(const std::string& proposed) {
        (void)proposed;
        return std::nullopt;
    }
    // The print dialog, a PDF file among its choices; false on Cancel.
    virtual bool SetupPrinter(QPrinter& printer) = 0;
    // The hex row editor on a dump row's text: the edited text on SAVE,
    // none on Cancel. `font` is what the fields are drawn in.
    virtual std::optional<std::string> EditRow(const std::string& rowText, const QFont& font);
};

// The pages' row editor: the dialogs' hex row editor, drawn in `font`.
class DialogRowEditor : public RowEditor {
public:
    DialogRowEditor(SheetDialogs& dialogs, QFont font) : dialogs_(dialogs), font_(std::move(font)) {}
    std::optional<std::string> Edit(const std::string& rowText) override { return dialogs_.EditRow(rowText, font_); }

private:
    SheetDialogs& dialogs_;
    QFont font_;
};

// The Open dialog with the document filters (or `filters`); `filterIndex`
// (1-based) is the filter shown first and, after a choice, the one chosen.
// Empty on Cancel.
std::vector<std::string> RunOpenDialog(QWidget* owner, uint32_t* filterIndex, bool several,
                                       std::span<const char* const> filters = {});

class QtSheetDialogs : public SheetDialogs {
public:
    explicit QtSheetDialogs(QWidget* owner) : owner_(owner) {}
    std::optional<std::string> OpenFileName(uint32_t* filterIndex) override;
    std::optional<std::string> SaveFileName() override;
    std::optional<std::string> BrowseNewFileName() override;
    std::optional<std::string> SaveAsFileName(const std::string& proposed) override;
    bool SetupPrinter(QPrinter& printer) override;
    std::optional<std::string> EditRow(const std::string& rowText, const QFont& font) override;

private:
    QWidget* owner_;
};

// A print job's page, over a painter that is active on a printer. Once a
// new page fails, or `keepPrinting` says no at one, nothing more is drawn.
class QtPagePrinter : public engine::PagePrinter {
public:
    QtPagePrinter(QPainter& painter, QPrinter& printer, std::function<bool()> keepPrinting = {});
    int PageHeight() const override;
    int TextWidth(std::string_view text) const override;
    void DrawText(int x, int y, std::string_view text) override;
    void DrawFrame(int left, int top, int right, int bottom) override;
    void NewPage() override;
    bool Failed() const { return failed_; }
    bool Cancelled() const { return cancelled_; }
    // Asks `keepPrinting`; false once the job is cancelled or failed.
    bool KeepPrinting();

private:
    QPainter& painter_;
    QPrinter& printer_;
    std::function<bool()> keepPrinting_;
    bool failed_ = false;
    bool cancelled_ = false;
};

enum class PrintResult { Printed, Failed, Cancelled };

// One print job on a printer set up already: the job is named after the
// profile, its text is Courier at `pointSize` when that is from 4 to 23
// (else the printer's own font), each page starts with the header
// "---- File: %s   Page: %d ----" (the sink's file name) and the sink prints
// to it while `parts` run, in order; each writes its lines through the
// engine (PrintLine, a page's UpdatePage(kPrintDetail) ...). `keepPrinting`
// is asked before each part and at each new page; when it says no the job
// is aborted. A job that cannot start or fails shows "Could not print to
// %s." (the PDF file, else the printer's name). The sink's printer is
// cleared in every case.
PrintResult PrintToPrinter(QPrinter& printer, const SheetProfile& profile, int pointSize,
                           const std::vector<std::function<void()>>& parts,
                           const std::function<bool()>& keepPrinting = {});
// The print dialog (a PDF file among its choices), then the job above on
// the printer or file chosen there. Cancelled when the dialog is.
PrintResult PrintWithDialog(SheetDialogs& dialogs, const SheetProfile& profile, int pointSize,
                            const std::vector<std::function<void()>>& parts,
                            const std::function<bool()>& keepPrinting = {});

// Every line, whole, each followed by CR LF, into a file the user names.
void SaveListToFile(const engine::ListTarget& list, SheetDialogs& dialogs);
// Every line under the page header "---- File: %s   Page: %d ----", in
// 10-point Courier, to a printer or PDF file the user chooses.
void PrintList(const engine::ListTarget& list, SheetDialogs& dialogs, const SheetProfile& profile);

}  // namespace inspector
