// Shows each of the commands' dialogs in turn and has ImageMagick take the
// screen: `xvfb-run -a dialog_shots FOLDER`.
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <memory>

#include "sheet/Dialogs.h"
#include "sheet/SheetProfile.h"

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
    int failed = 0;
    for (auto& [name, d] : dialogs) {
        d->adjustSize();
        d->move(20, 20);
        d->show();
        QTest::qWait(400);
        const int rc = QProcess::execute(QStringLiteral("import"),
                                         {QStringLiteral("-window"), QStringLiteral("root"), folder + "/" + name + ".png"});
        if (rc != 0) ++failed;
        d->hide();
    }
    return failed;
}
