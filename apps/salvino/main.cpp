#include <QApplication>

#include "engine/EngineContext.h"
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
    inspector::SheetWindow window(profile);
    inspector::InstalledQtHosts hosts(&window, profile.title);
    window.show();
    window.Start(pending);
    return app.exec();
}
