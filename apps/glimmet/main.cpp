#include <QApplication>

#include "engine/Profile.h"
#include "legacy/sheet/GlimmetSheetProfile.h"
#include "legacy/sheet/GlimmetWindow.h"
#include "platform/desktop/Desktop.h"
#include "sheet/BusFetcher.h"
#include "sheet/Fetch.h"
#include "sheet/Hosts.h"
#include "sheet/Sheet.h"

int main(int argc, char** argv) {
    // The path is taken before Qt sees the arguments: it keeps every one of them.
    const std::string pending = inspector::PendingPathFromArguments(argc, argv);
    const inspector::SheetProfile& profile = legacy::GlimmetSheetProfile();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(profile.organisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(profile.application));
    engine::InstallProfile(*profile.engine);
    desktop::QtDesktopOpener opener;
    desktop::QtProgramLauncher launcher;
    legacy::GlimmetWindow window;
    window.commands().Services().opener = &opener;
    window.launcher = &launcher;
    sheet::BusDocumentFetcher fetcher;
    window.commands().Services().fetcher = &fetcher;
    window.commands().Services().fetchTarget = &sheet::FetchTargetPath;
    // Boxes that bring no caption of their own carry the program's name.
    inspector::InstalledQtHosts hosts(&window, profile.application);
    window.show();
    window.Start(pending);
    return app.exec();
}
