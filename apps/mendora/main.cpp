#include <QApplication>

#include "frontend/MendoraApp.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mendora"));
  QApplication::setApplicationVersion(QString::fromLatin1(frontend::kVersionText));
  frontend::MendoraApp mendora(QCoreApplication::applicationDirPath().toStdString());
  mendora.Start();
  return app.exec();
}
