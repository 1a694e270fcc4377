// bench_sheet: a generated 64 MB document loaded into Salvino's window
// offscreen; the time from LoadDocument until the Information page's list
// holds the verdict, beside the engine's own check of the same file.

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/Check.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "sheet/Hosts.h"
#include "sheet/Pages.h"
#include "sheet/SheetWindow.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

namespace {

constexpr size_t kTarget = 64u << 20;

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

bool IsVerdict(const std::string& line) { return line == "Document CORRUPT" || line == "No Corruption Found"; }

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const std::string path = dir.filePath(QStringLiteral("big.qwd")).toStdString();

    testsupport::DocBuilder b;
    testsupport::Packet font;
    font.type = 0x20;
    font.payload = {'A', 'r', 'i', 'a', 'l'};
    const uint16_t id = b.Add(font);
    const std::string text(200, 'x');
    while (b.body.Bytes().size() < kTarget) {
        b.body.Text(text).Code(0x0A).Var(testsupport::Func(0xD4, 0x06, {id}));
    }
    if (!b.WriteFile(path)) {
        std::fprintf(stderr, "bench_sheet: cannot write %s\n", path.c_str());
        return 1;
    }

    // The engine alone.
    double engineMs = 0;
    {
        testsupport::ScopedContext ctx;
        engine::FileHeader h;
        int readOnly = 0, verdict = 0;
        engine::DocFile* f = engine::OpenDocument(path, &h, &readOnly, &verdict);
        if (!f) return 1;
        const auto start = std::chrono::steady_clock::now();
        engine::RecheckDocument(f, &ctx.list);
        engineMs = Ms(start);
        engine::CloseDocument(f);
    }

    // The window, with the Qt hosts (the progress dialog shows as it would).
    engine::ResetContext();
    double sheetMs = 0;
    size_t lines = 0;
    std::string last;
    {
        inspector::SheetWindow window(inspector::SalvinoSheetProfile());
        inspector::InstalledQtHosts hosts(&window, "Salvino");
        window.show();
        window.Start("");
        const auto start = std::chrono::steady_clock::now();
        window.sheet().LoadDocument(path, false);
        inspector::TaggedListModel& list = window.infoPage()->model;
        while (list.rowCount() == 0 || !IsVerdict(list.Text(static_cast<size_t>(list.rowCount()) - 1))) {
            QCoreApplication::processEvents();
            if (Ms(start) > 600000) break;
        }
        sheetMs = Ms(start);
        lines = list.Size();
        last = list.Size() ? list.Text(list.Size() - 1) : std::string();
        window.Finish();
    }
    std::printf("document         %zu bytes\n", static_cast<size_t>(b.body.Bytes().size()));
    std::printf("engine check     %.1f ms\n", engineMs);
    std::printf("sheet to verdict %.1f ms (%zu lines, last \"%s\")\n", sheetMs, lines, last.c_str());
    return IsVerdict(last) ? 0 : 1;
}
