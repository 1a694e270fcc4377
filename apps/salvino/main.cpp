#include <QApplication>

#include "engine/EngineContext.h"
#include "platform/desktop/Desktop.h"
#include "sheet/BusFetcher.h"
#include "sheet/Hosts.h"
#include "sheet/Sheet.h"
#include "sheet/SheetProfile.h"
#include "sheet/SheetWindow.h"

int main(int argc, char** argv) {
    // The path is taken before Qt sees the arguments: it keeps every one of them.
    const std::string pending = inspector::PendingPathFromArguments(argc, argv);
    const inspector::SheetProfile& profile = inspector::SalvinoSheetProfile();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(profile.organisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(profile.application));
    engine::InstallProfile(*profile.engine);
    desktop::QtDesktopOpener opener;
    inspector::SheetWindow window(profile);
    // Yes in a refusal box extracts the refused file's text (the commands
    // bind the sheet's onExtract).
    window.commands().Services().opener = &opener;
    sheet::BusDocumentFetcher fetcher;
    window.commands().Services().fetcher = &fetcher;
    inspector::InstalledQtHosts hosts(&window, profile.title);
    window.show();
    window.Start(pending);
    return app.exec();
}
