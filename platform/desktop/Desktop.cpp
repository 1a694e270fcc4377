#include "platform/desktop/Desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace desktop {

bool QtProgramLauncher::StartDetached(const std::string& program, const std::vector<std::string>& args) {
  QStringList list;
  for (const auto& a : args) list << QString::fromStdString(a);
  return QProcess::startDetached(QString::fromStdString(program), list);
}

bool QtDesktopOpener::OpenFile(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtDesktopOpener::OpenUrl(const std::string& url) {
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

bool QtDesktopOpener::HasHtmlHandler() {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (tool.isEmpty()) return false;
  QProcess p;
  p.start(tool, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
  if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return false;
  return !p.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace desktop
