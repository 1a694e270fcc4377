#include "platform/desktop/Desktop.h"

#include <QDesktopServices>
#include <QFile>
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

namespace {

// The desktop id xdg-mime names for HTML; empty when none.
QString DefaultHtmlDesktopId() {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (tool.isEmpty()) return {};
  QProcess p;
  p.start(tool, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
  if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
  return QString::fromLocal8Bit(p.readAllStandardOutput().trimmed());
}

// The Exec key of the entry's [Desktop Entry] group.
std::string ExecLineOf(const QString& desktopId) {
  const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
  if (path.isEmpty()) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  bool inEntry = false;
  while (!file.atEnd()) {
    const QByteArray line = file.readLine().trimmed();
    if (line.startsWith('[')) {
      inEntry = line == "[Desktop Entry]";
    } else if (inEntry && line.startsWith("Exec")) {
      const qsizetype eq = line.indexOf('=');
      if (eq > 0 && line.left(eq).trimmed() == "Exec") return line.mid(eq + 1).trimmed().toStdString();
    }
  }
  return {};
}

}  // namespace

bool QtDesktopOpener::HasHtmlHandler() { return !DefaultHtmlDesktopId().isEmpty(); }

HtmlHandlerEntry QtDesktopOpener::HtmlHandler() {
  const QString id = DefaultHtmlDesktopId();
  if (id.isEmpty()) return {};
  return {id.toStdString(), ExecLineOf(id)};
}

}  // namespace desktop
