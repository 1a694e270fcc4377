#include "sheet/ListOutput.h"

#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QPrintDialog>
#include <QPrinter>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "sheet/HexEdit.h"
#include "sheet/SheetProfile.h"
#include "sheet/Text.h"

namespace inspector {

std::optional<std::string> SheetDialogs::EditRow(const std::string& rowText, const QFont& font) {
    CHexEditDialog d(rowText);
    d.SetFieldFont(font);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return d.RowText();
}

std::optional<std::string> QtSheetDialogs::EditRow(const std::string& rowText, const QFont& font) {
    CHexEditDialog d(rowText, owner_);
    d.SetFieldFont(font);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return d.RowText();
}


namespace {

const char* const kOpenFilters[] = {
    "Quillwright Files (*.qwd *.qwt *.qcm *.qwg)",
    engine::Text(engine::Msg::DocumentFilesFilter),
    engine::SharedText(engine::Msg::GraphicFilesFilter),
    engine::Text(engine::Msg::AllFilesFilter),
};

void Box(const std::string& text) {
    if (engine::MessageService* m = engine::Ctx().hosts.messages)
        m->Show(text, "", engine::MsgIcon::None, engine::MsgButtons::Ok);
}

}  // namespace

std::vector<std::string> RunOpenDialog(QWidget* owner, uint32_t* filterIndex, bool several,
                                       std::span<const char* const> ownFilters) {
    QFileDialog dialog(owner);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    QStringList filters;
    for (const char* f : ownFilters.empty() ? std::span<const char* const>(kOpenFilters) : ownFilters)
        filters << QString::fromLatin1(f);
    dialog.setNameFilters(filters);
    const uint32_t start = *filterIndex >= 1 && *filterIndex <= filters.size() ? *filterIndex : 1;
    dialog.selectNameFilter(filters[static_cast<int>(start) - 1]);
    if (dialog.exec() != QDialog::Accepted) return {};
    const int chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    if (chosen >= 0) *filterIndex = static_cast<uint32_t>(chosen + 1);
    std::vector<std::string> out;
    for (const QString& f : dialog.selectedFiles()) out.push_back(PathBytes(f));
    return out;
}

std::optional<std::string> QtSheetDialogs::OpenFileName(uint32_t* filterIndex) {
    std::vector<std::string> paths = RunOpenDialog(owner_, filterIndex, false);
    if (paths.empty()) return std::nullopt;
    return paths.front();
}

std::optional<std::string> QtSheetDialogs::SaveFileName() {
    const QString name = QFileDialog::getSaveFileName(owner_);
    if (name.isEmpty()) return std::nullopt;
    return PathBytes(name);
}

std::optional<std::string> QtSheetDialogs::BrowseNewFileName() {
    static const char* const kFilters[] = {
        engine::SharedText(engine::Msg::QuillwrightFilesFilter),
        engine::Text(engine::Msg::DocumentFilesFilter),
        engine::Text(engine::Msg::AllFilesFilter),
    };
    QFileDialog dialog(owner_);
    // The name of the file still to be written need not exist.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // Qt's own dialog matches the filters in any case; a platform's may not.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    QStringList filters;
    for (const char* f : kFilters) filters << QString::fromLatin1(f);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return PathBytes(dialog.selectedFiles().first());
}

std::optional<std::string> QtSheetDialogs::SaveAsFileName(const std::string& proposed) {
    const QString name = QFileDialog::getSaveFileName(owner_, QString(), PathText(proposed));
    if (name.isEmpty()) return std::nullopt;
    return PathBytes(name);
}

bool QtSheetDialogs::SetupPrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, owner_);
    // A PDF file is offered too: without it a machine with no printer could not print at all.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

QtPagePrinter::QtPagePrinter(QPainter& painter, QPrinter& printer, std::function<bool()> keepPrinting)
    : painter_(painter), printer_(printer), keepPrinting_(std::move(keepPrinting)) {}

int QtPagePrinter::PageHeight() const { return printer_.height(); }

int QtPagePrinter::TextWidth(std::string_view text) const {
    return painter_.fontMetrics().horizontalAdvance(DecodeCp1252(text));
}

void QtPagePrinter::DrawText(int x, int y, std::string_view text) {
    if (failed_ || cancelled_) return;
    // y is the top of the line, as the sink counts it.
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), DecodeCp1252(text));
}

void QtPagePrinter::DrawFrame(int left, int top, int right, int bottom) {
    if (failed_ || cancelled_) return;
    painter_.drawRect(QRect(QPoint(left, top), QPoint(right, bottom)));
}

void QtPagePrinter::NewPage() {
    if (!KeepPrinting()) return;
    if (!printer_.newPage()) failed_ = true;
}

bool QtPagePrinter::KeepPrinting() {
    if (!failed_ && !cancelled_ && keepPrinting_ && !keepPrinting_()) cancelled_ = true;
    return !failed_ && !cancelled_;
}

void SaveListToFile(const engine::ListTarget& list, SheetDialogs& dialogs) {
    const std::optional<std::string> path = dialogs.SaveFileName();
    if (!path) return;
    engine::DocFile* f = engine::OpenDocFile(*path, engine::kOpenRead | engine::kOpenWrite | engine::kOpenCreate);
    if (!f) {
        Box(engine::Format<engine::Msg::NotWritten>(path->c_str()));
        return;
    }
    // Written in large blocks: a list can hold a million lines.
    constexpr size_t kChunk = 1 << 16;
    std::string buffer;
    bool ok = true;
    auto put = [&] {
        if (!buffer.empty() && WriteDocFile(f, buffer.data(), static_cast<uint32_t>(buffer.size())) !=
                                   static_cast<int32_t>(buffer.size()))
            ok = false;
        buffer.clear();
    };
    for (size_t i = 0, n = list.Size(); i < n && ok; ++i) {
        buffer += list.Text(i);
        buffer += "\r\n";
        if (buffer.size() >= kChunk) put();
    }
    if (ok) put();
    if (engine::CloseDocFile(f) != 0) ok = false;
    if (!ok) {
        Box(engine::Format<engine::Msg::NotWritten>(path->c_str()));
        return;
    }
    Box(engine::Format("Finsihed writing to file %s", path->c_str()));
}

namespace {

// The sink prints to a page for as long as this lives, and never after.
class SinkPrinterScope {
public:
    explicit SinkPrinterScope(engine::PagePrinter& page) { engine::Ctx().sink.printer = &page; }
    ~SinkPrinterScope() { engine::Ctx().sink.printer = nullptr; }
    SinkPrinterScope(const SinkPrinterScope&) = delete;
    SinkPrinterScope& operator=(const SinkPrinterScope&) = delete;
};

void CouldNotPrint(const QPrinter& printer) {
    const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    Box(engine::Format<engine::Msg::CouldNotPrintTo>(PathBytes(where).c_str()));
}

// The PDF engine reports no failed write at its end; a file cut short
// lacks the end-of-file marker that closes every PDF.
bool PdfWrittenWhole(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const qint64 tail = 1024;
    if (f.size() > tail && !f.seek(f.size() - tail)) return false;
    return f.read(tail).contains("%%EOF");
}

}  // namespace

PrintResult PrintToPrinter(QPrinter& printer, const SheetProfile& profile, int pointSize,
                           const std::vector<std::function<void()>>& parts,
                           const std::function<bool()>& keepPrinting) {
    printer.setDocName(QString::fromLatin1(profile.printJobName));
    printer.setCreator(QString::fromLatin1(profile.title));
    QPainter painter;
    if (!painter.begin(&printer)) {
        CouldNotPrint(printer);
        return PrintResult::Failed;
    }
    if (pointSize >= 4 && pointSize <= 23) {
        QFont font(QStringLiteral("Courier"), pointSize);
        font.setStyleHint(QFont::TypeWriter);
        painter.setFont(font);
    }
    const int lineHeight = painter.fontMetrics().height();

    QtPagePrinter page(painter, printer, keepPrinting);
    {
        SinkPrinterScope printing(page);
        engine::SinkState& s = engine::Ctx().sink;
        s.lineHeight = lineHeight;
        s.currentY = lineHeight;
        s.pageNumber = 1;
        s.highlightFlag = false;
        page.DrawText(2, s.currentY,
                      engine::Format<engine::Msg::PrintPageHead>(s.fileName.c_str(), s.pageNumber));
        s.currentY += lineHeight;
        for (const auto& part : parts) {
            if (!page.KeepPrinting()) break;
            part();
        }
        page.KeepPrinting();
    }
    if (page.Failed() || page.Cancelled()) {
        printer.abort();
        painter.end();
        if (page.Cancelled()) return PrintResult::Cancelled;
        CouldNotPrint(printer);
        return PrintResult::Failed;
    }
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error ||
        (printer.outputFormat() == QPrinter::PdfFormat && !PdfWrittenWhole(printer.outputFileName()))) {
        CouldNotPrint(printer);
        return PrintResult::Failed;
    }
    return PrintResult::Printed;
}

PrintResult PrintWithDialog(SheetDialogs& dialogs, const SheetProfile& profile, int pointSize,
                            const std::vector<std::function<void()>>& parts,
                            const std::function<bool()>& keepPrinting) {
    QPrinter printer(QPrinter::HighResolution);
    // Named before the dialog: its PDF choice proposes a file after the job.
    printer.setDocName(QString::fromLatin1(profile.printJobName));
    if (!dialogs.SetupPrinter(printer)) return PrintResult::Cancelled;
    return PrintToPrinter(printer, profile, pointSize, parts, keepPrinting);
}

void PrintList(const engine::ListTarget& list, SheetDialogs& dialogs, const SheetProfile& profile) {
    PrintWithDialog(dialogs, profile, 10, {[&list] {
                        for (size_t i = 0, n = list.Size(); i < n; ++i)
                            engine::PrintLine(engine::SilentTarget(), list.Text(i));
                    }});
}

}  // namespace inspector
