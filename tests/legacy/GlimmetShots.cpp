// Pictures of Glimmet's window: each page on a document, then the Scramble
// and Print Setup dialogs, taken with ImageMagick:
// `xvfb-run -a glimmet_shots FOLDER DOCUMENT`.
#include <QApplication>
#include <QProcess>
#include <QTabWidget>
#include <QTest>

#include "engine/Profile.h"
#include "legacy/sheet/GlimmetSheetProfile.h"
#include "legacy/sheet/GlimmetWindow.h"
#include "sheet/Dialogs.h"
#include "sheet/Hosts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const std::string document = argc > 2 ? argv[2] : "samples/damaged.qwd";
    const inspector::SheetProfile& profile = legacy::GlimmetSheetProfile();
    engine::InstallProfile(*profile.engine);
    legacy::GlimmetWindow window;
    inspector::InstalledQtHosts hosts(&window, profile.application);
    window.move(0, 0);
    window.show();
    window.Start(document);
    int failed = 0;
    auto shoot = [&](const QString& name) {
        QTest::qWait(500);
        if (QProcess::execute(QStringLiteral("import"),
                              {QStringLiteral("-window"), QStringLiteral("root"), folder + "/" + name + ".png"}) != 0)
            ++failed;
    };
    const char* const names[] = {"info", "prefix", "codes", "filter", "corruption", "subdocument"};
    for (int i = 0; i < window.tabs->count(); ++i) {
        window.tabs->setCurrentIndex(i);
        shoot(QString::fromLatin1(names[i]));
    }
    window.tabs->setCurrentIndex(4);
    legacy::CScrambleDialog scramble(&window);
    scramble.adjustSize();
    scramble.show();
    shoot(QStringLiteral("scramble"));
    scramble.hide();
    inspector::CPrintSetupDialog print(inspector::InitialPrintChoice(inspector::kInfoPage, true, true, true), &window,
                                       inspector::PrintLayoutOf(profile));
    print.adjustSize();
    print.show();
    shoot(QStringLiteral("print-setup"));
    print.hide();
    window.Finish();
    return failed;
}
