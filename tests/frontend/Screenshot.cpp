// Shows Mendora's windows with a listed document and writes one picture of
// them: mendora_screenshot OUTPUT.png DOCUMENT
#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "frontend/MendoraApp.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) return 2;
  frontend::MendoraApp mendora(QCoreApplication::applicationDirPath().toStdString());
  mendora.Start();
  auto& f2 = mendora.form2();
  const std::string doc = argv[2];
  f2.AddRow(doc, doc);
  mendora.mediator().SetSourceFile(doc);
  f2.cboDocTroubleshooting->setCurrentIndex(1);
  emit f2.cboDocTroubleshooting->activated(1);
  mendora.mediator().RefreshSet();
  mendora.ShowAbout();
  QTimer::singleShot(500, [&] {
    const QPixmap main = f2.grab();
    const QPixmap chooser = mendora.form3().grab();
    const QPixmap about = mendora.about()->grab();
    QPixmap all(main.width() + std::max(chooser.width(), about.width()) + 30,
                std::max(main.height(), chooser.height() + about.height() + 10) + 20);
    all.fill(Qt::darkGray);
    QPainter p(&all);
    p.drawPixmap(10, 10, main);
    p.drawPixmap(main.width() + 20, 10, chooser);
    p.drawPixmap(main.width() + 20, chooser.height() + 20, about);
    p.end();
    app.exit(all.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1);
  });
  return app.exec();
}
