// Print jobs through the real QPrinter into PDF files, read back with
// poppler's tools: the page header, parts in order, page breaks, the job's
// name, and every way a job fails or is cancelled.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTimer>
#include <filesystem>

#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "sheet/ListOutput.h"
#include "sheet/SheetProfile.h"
#include "sheet/TaggedList.h"
#include "tests/sheet/FakeDialogs.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/Recording.h"

namespace inspector::testing {
namespace {

std::string RunTool(const char* tool, const QStringList& args) {
    QProcess p;
    p.start(QString::fromLatin1(tool), args);
    if (!p.waitForFinished(30000)) return {};
    return p.readAllStandardOutput().toStdString();
}

std::string PdfLayout(const std::string& pdf) {
    return RunTool("pdftotext", {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
}

// The lines of the text, trailing blanks cut.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t from = 0;
    while (from <= text.size()) {
        size_t to = text.find('\n', from);
        if (to == std::string::npos) to = text.size();
        std::string line = text.substr(from, to - from);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\f')) line.pop_back();
        while (!line.empty() && line.front() == '\f') line.erase(0, 1);
        out.push_back(line);
        from = to + 1;
    }
    return out;
}

std::string PdfTitle(const std::string& pdf) {
    for (const std::string& line : Lines(RunTool("pdfinfo", {QString::fromStdString(pdf)})))
        if (line.rfind("Title:", 0) == 0) return line.substr(line.find_first_not_of(' ', 6));
    return {};
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct PrintRig {
    testsupport::ScopedContext ctx;
    testsupport::ScopedTempDir dir;
    std::string document = dir.File("my docs/report one.qwd");
    PrintRig() { engine::Ctx().sink.fileName = document; }

    std::unique_ptr<QPrinter> PdfPrinter(const std::string& pdf) {
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(QString::fromStdString(pdf));
        return p;
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> out;
        for (const auto& b : ctx.messages.boxes) out.push_back(b.text);
        return out;
    }
};

std::function<void()> Part(const std::string& prefix, int n) {
    return [prefix, n] {
        for (int i = 0; i < n; ++i) engine::PrintLine(engine::SilentTarget(), prefix + " " + std::to_string(i));
    };
}

TEST(PrintToPrinter, HeaderPartsInOrderAndTheJobsName) {
    PrintRig r;
    const std::string pdf = r.dir.File("out.pdf");
    auto printer = r.PdfPrinter(pdf);
    EXPECT_EQ(PrintToPrinter(*printer, SalvinoSheetProfile(), 9, {Part("first part", 2), Part("second part", 2)}),
              PrintResult::Printed);
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);
    EXPECT_TRUE(r.Boxes().empty());
    const std::vector<std::string> lines = Lines(PdfLayout(pdf));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "---- File: " + r.document + "   Page: 1 ----");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 5),
              (std::vector<std::string>{"first part 0", "first part 1", "second part 0", "second part 1"}));
    EXPECT_EQ(PdfTitle(pdf), "Glimmet");
}

TEST(PrintToPrinter, LongListingsRunOntoMorePagesEachWithItsHeader) {
    PrintRig r;
    const std::string pdf = r.dir.File("long.pdf");
    auto printer = r.PdfPrinter(pdf);
    ASSERT_EQ(PrintToPrinter(*printer, SalvinoSheetProfile(), 10, {Part("row", 400)}), PrintResult::Printed);
    const std::string text = PdfLayout(pdf);
    const std::vector<std::string> lines = Lines(text);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "---- File: " + r.document + "   Page: 2 ----"), lines.end());
    EXPECT_EQ(Count(text, "---- File: "), static_cast<size_t>(Count(text, "Page: ")));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "row 0"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "row 399"), lines.end());

    // Courier from 4 to 23 points; outside that the printer's own font.
    auto pages = [&](int pointSize) {
        const std::string f = r.dir.File("size" + std::to_string(pointSize) + ".pdf");
        auto p = r.PdfPrinter(f);
        EXPECT_EQ(PrintToPrinter(*p, SalvinoSheetProfile(), pointSize, {Part("row", 100)}), PrintResult::Printed);
        return Count(PdfLayout(f), "---- File: ");
    };
    EXPECT_EQ(pages(4), 1u);
    EXPECT_GE(pages(23), 3u);
    EXPECT_LT(pages(30), pages(23));
}

TEST(PrintToPrinter, AJobThatCannotStartShowsTheBox) {
    PrintRig r;
    ASSERT_TRUE(testsupport::WriteFileBytes(r.dir.File("plain"), testsupport::Bytes("x")));
    const std::string pdf = r.dir.File("plain/out.pdf");  // under a plain file: never writable
    auto printer = r.PdfPrinter(pdf);
    bool ran = false;
    EXPECT_EQ(PrintToPrinter(*printer, SalvinoSheetProfile(), 9, {[&] { ran = true; }}), PrintResult::Failed);
    EXPECT_FALSE(ran);
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"Could not print to " + pdf + "."});
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);

    // The page buttons' Print says so too.
    FakeDialogs dialogs;
    dialogs.pdf = pdf;
    TaggedListModel list;
    list.Append("a line", 0);
    PrintList(list, dialogs, SalvinoSheetProfile());
    EXPECT_EQ(r.Boxes().size(), 2u);
    EXPECT_EQ(r.Boxes().back(), "Could not print to " + pdf + ".");
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);
}

TEST(PrintToPrinter, AJobThatFailsShowsTheBox) {
    // Every write to this device fails: past the first buffers a new page
    // fails; a short job is caught when its file lacks the PDF's end.
    for (int rows : {1000, 3}) {
        PrintRig r;
        auto printer = r.PdfPrinter("/dev/full");
        EXPECT_EQ(PrintToPrinter(*printer, SalvinoSheetProfile(), 10, {Part("row", rows)}), PrintResult::Failed) << rows;
        EXPECT_EQ(r.Boxes(), std::vector<std::string>{"Could not print to /dev/full."}) << rows;
        EXPECT_EQ(engine::Ctx().sink.printer, nullptr);
    }
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        // No printer, and no file chosen: the job cannot start.
        PrintRig r;
        QPrinter printer(QPrinter::HighResolution);
        EXPECT_EQ(PrintToPrinter(printer, SalvinoSheetProfile(), 10, {Part("row", 3)}), PrintResult::Failed);
        EXPECT_EQ(r.Boxes().size(), 1u);
    }
}

TEST(PrintToPrinter, CancelAbortsTheJobWithoutABox) {
    PrintRig r;
    const std::string pdf = r.dir.File("cancelled.pdf");
    auto printer = r.PdfPrinter(pdf);
    int asked = 0, secondRan = 0;
    // Asked before the first part, then at each new page: no at the third question.
    const PrintResult result = PrintToPrinter(*printer, SalvinoSheetProfile(), 10,
                                              {Part("row", 1000), [&] { ++secondRan; }}, [&] { return ++asked < 3; });
    EXPECT_EQ(result, PrintResult::Cancelled);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(secondRan, 0);
    EXPECT_TRUE(r.Boxes().empty());
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);
}

TEST(QtSheetDialogs, ThePrintDialogOffersAPdfFile) {
    PrintRig r;
    QWidget owner;
    QtSheetDialogs dialogs(&owner);
    const std::string pdf = r.dir.File("chosen.pdf");
    bool offered = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        auto* printers = d->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* file = d->findChild<QLineEdit*>(QStringLiteral("filename"));
        if (printers && file) {
            const int pdfItem = printers->findText(QStringLiteral("Print to File (PDF)"));
            offered = pdfItem >= 0;
            if (offered) printers->setCurrentIndex(pdfItem);
            file->setText(QString::fromStdString(pdf));
        }
        d->accept();
    });
    QPrinter printer(QPrinter::HighResolution);
    ASSERT_TRUE(dialogs.SetupPrinter(printer));
    EXPECT_TRUE(offered);
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.outputFileName().toStdString(), pdf);
    EXPECT_EQ(PrintToPrinter(printer, SalvinoSheetProfile(), 9, {Part("row", 3)}), PrintResult::Printed);
    EXPECT_EQ(Lines(PdfLayout(pdf))[0], "---- File: " + r.document + "   Page: 1 ----");
}

}  // namespace
}  // namespace inspector::testing
