// Shows each of the commands' dialogs in turn and has ImageMagick take the
// screen; a window manager draws the title bars:
// `xvfb-run -a sh -c 'openbox & sleep 1; dialog_shots FOLDER'`.
#include <QApplication>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <memory>

#include "sheet/Dialogs.h"
#include "sheet/SheetProfile.h"

namespace {

int failed = 0;

void Shoot(const QString& folder, const QString& name) {
    QTest::qWait(600);
    const int rc = QProcess::execute(QStringLiteral("import"),
                                     {QStringLiteral("-window"), QStringLiteral("root"), folder + "/" + name + ".png"});
    if (rc != 0) ++failed;
}

// A modal dialog the commands run: shot while it is up, then dismissed.
void ShootModal(const QString& folder, const QString& name, const std::function<void()>& run) {
    QTimer::singleShot(0, [folder, name] {
        QWidget* d = QApplication::activeModalWidget();
        for (int i = 0; !d && i < 50; ++i) {
            QTest::qWait(100);
            d = QApplication::activeModalWidget();
        }
        if (!d) {
            ++failed;
            return;
        }
        d->move(20, 20);
        Shoot(folder, name);
        if (auto* dialog = qobject_cast<QDialog*>(d)) dialog->reject();
    });
    run();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    using namespace inspector;
    const SheetProfile& p = SalvinoSheetProfile();
    auto yes = [](const std::string&, bool) { return true; };
    std::vector<std::pair<QString, std::unique_ptr<QDialog>>> dialogs;
    dialogs.emplace_back("batch-tip", std::make_unique<CBatchTipDialog>());
    dialogs.emplace_back("batch", std::make_unique<CBatchDialog>());
    dialogs.emplace_back("print-setup", std::make_unique<CPrintSetupDialog>(InitialPrintChoice(kCodesPage, true, false, false)));
    dialogs.emplace_back("search", std::make_unique<CSearchDialog>(SearchChoice{false, "World", true}, p.searchCaption));
    dialogs.emplace_back("scramble", std::make_unique<COutputDialog>(COutputDialog::Kind::Scramble, "/home/user/docs/report.XXX", yes));
    dialogs.emplace_back("extract", std::make_unique<COutputDialog>(COutputDialog::Kind::Extract, "/home/user/docs/report.txt", yes));
    dialogs.emplace_back("help", std::make_unique<CHelpTipsDialog>(p));
    dialogs.emplace_back("about", std::make_unique<CAboutDialog>(p));
    for (auto& [name, d] : dialogs) {
        d->adjustSize();
        d->move(20, 20);
        d->show();
        Shoot(folder, name);
        d->hide();
    }

    // The common dialogs as the commands run them.
    QWidget owner;
    QtSheetDialogs common(&owner);
    QtCommandDialogs commands(&owner, common, p);
    ShootModal(folder, "open", [&] {
        uint32_t filter = 1;
        commands.OpenFileNames(&filter);
    });
    ShootModal(folder, "print", [&] {
        QPrinter printer(QPrinter::HighResolution);
        common.SetupPrinter(printer);
    });
    ShootModal(folder, "font", [&] { commands.ChooseFont(std::nullopt); });
    return failed;
}
