// bench_pages: the Codes page over generated documents, sparse and dense in
// codes, at three sizes, offscreen: time from activating the page to its
// first screen drawn, time to the full listing, the longest stall of the
// event loop while it fills, a scroll to the last row, the peak resident
// memory of the run (document generation excluded) and what the list holds.
// Sizes in MB as arguments (default 4 16 64).

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>

#include "engine/EngineContext.h"
#include "sheet/CodesPage.h"
#include "sheet/Hosts.h"
#include "sheet/SheetWindow.h"
#include "tests/support/DocBuilder.h"

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// The peak resident size since the last ResetPeak (Linux), in MB.
long PeakMb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    long kb = -1;
    char line[256];
    while (f && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    if (f) std::fclose(f);
    if (kb < 0) {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        kb = u.ru_maxrss;
    }
    return kb / 1024;
}

void ResetPeak() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

double LoadAverage() {
    double l = -1;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &l) != 1) l = -1;
        std::fclose(f);
    }
    return l;
}

// Dense: a code every eight bytes (about 17 million lines in 64 MB); sparse:
// long text runs between them.
bool Generate(const std::string& path, size_t bytes, bool dense) {
    testsupport::DocBuilder b;
    testsupport::Packet font;
    font.type = 0x20;
    font.payload = {'A', 'r', 'i', 'a', 'l'};
    const uint16_t id = b.Add(font);
    const std::string word = dense ? "abcdefg" : std::string(60, 'x');
    while (b.body.Bytes().size() < bytes) {
        for (int i = 0; i < 64; ++i) b.body.Text(word).Code(0x20);
        b.body.Var(testsupport::Func(0xD4, 0x06, {id}));
    }
    return b.WriteFile(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
    if (sizes.empty()) sizes = {4, 16, 64};

    std::printf("%-7s %6s %12s %10s %10s %10s %10s %10s %10s\n", "kind", "MB", "lines", "first(ms)", "full(ms)",
                "stall(ms)", "scroll(ms)", "peak(MB)", "list(MB)");
    for (bool dense : {false, true}) {
        for (size_t mb : sizes) {
            const std::string path =
                dir.filePath(QStringLiteral("doc-%1-%2.qwd").arg(dense).arg(mb)).toStdString();
            if (!Generate(path, mb << 20, dense)) return 1;
            engine::ResetContext();
            auto window = std::make_unique<inspector::SheetWindow>(inspector::SalvinoSheetProfile());
            inspector::InstalledQtHosts hosts(window.get(), "Salvino");
            window->show();
            window->Start("");
            window->sheet().LoadDocument(path, false);
            if (!window->sheet().Advanced()) window->sheet().ToggleAdvanced();
            window->sheet().SetActivePage(inspector::kInfoPage);
            auto* codes = static_cast<inspector::CCodesPage*>(window->page(inspector::kCodesPage));
            codes->codes.Clear();
            codes->MarkNeedsRefill();
            QApplication::processEvents();
            ResetPeak();

            // The longest gap between timer ticks while the page fills.
            double stall = 0;
            auto lastTick = std::chrono::steady_clock::now();
            QTimer ticker;
            QObject::connect(&ticker, &QTimer::timeout, [&] {
                stall = std::max(stall, Ms(lastTick));
                lastTick = std::chrono::steady_clock::now();
            });
            const auto start = std::chrono::steady_clock::now();
            window->tabs->setCurrentIndex(inspector::kCodesPage);
            // The first window is listed on activation; the first screen is
            // drawn on the next paint.
            codes->codeList->viewport()->repaint();
            const double first = Ms(start);
            lastTick = std::chrono::steady_clock::now();
            ticker.start(1);
            while (codes->Filling()) QApplication::processEvents(QEventLoop::AllEvents, 50);
            const double full = Ms(start);
            stall = std::max(stall, Ms(lastTick));
            ticker.stop();
            const auto scrollStart = std::chrono::steady_clock::now();
            codes->codeList->scrollToBottom();
            codes->codeList->viewport()->repaint();
            const double scroll = Ms(scrollStart);
            std::printf("%-7s %6zu %12zu %10.1f %10.1f %10.1f %10.1f %10ld %10.1f\n", dense ? "dense" : "sparse", mb,
                        codes->codes.Held(), first, full, stall, scroll, PeakMb(),
                        static_cast<double>(codes->codes.HeldBytes()) / (1 << 20));
            std::fflush(stdout);
            window->Finish();
            window.reset();
            std::remove(path.c_str());
        }
    }
    std::printf("load average at the end: %.2f\n", LoadAverage());
    return 0;
}
