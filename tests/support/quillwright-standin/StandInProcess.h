#pragma once
// One stand-in Quillwright for one test case, on the session bus of the
// test's dbus-run-session; stopped, and its names gone, when the case ends.

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

namespace testsupport {

class StandInProcess {
 public:
  StandInProcess(const QString& program, QStringList options) {
    log_ = dir_.filePath(QStringLiteral("calls.log"));
    proc_.start(program, QStringList{QStringLiteral("--log"), log_} + options);
    ready_ = proc_.waitForStarted(5000) && proc_.waitForReadyRead(5000) &&
             proc_.readAllStandardOutput().startsWith("ready");
  }
  ~StandInProcess() {
    proc_.kill();
    proc_.waitForFinished(5000);
    QElapsedTimer t;
    t.start();
    auto* iface = QDBusConnection::sessionBus().interface();
    auto anyUp = [iface] {
      for (const char* name : {"Quillwright.Quillscript", "QWWin7_Macros.QS7Commands", "QWWin60_Macros.Commands"})
        if (iface->isServiceRegistered(QString::fromLatin1(name)).value()) return true;
      return false;
    };
    while (iface && anyUp() && t.elapsed() < 5000) QThread::msleep(10);
  }
  StandInProcess(const StandInProcess&) = delete;
  StandInProcess& operator=(const StandInProcess&) = delete;

  bool ready() const { return ready_; }
  // The log's lines as bytes, in the order the calls came.
  QList<QByteArray> RawCalls() const {
    QList<QByteArray> out;
    QFile f(log_);
    if (!f.open(QIODevice::ReadOnly)) return out;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (!line.isEmpty()) out << line;
    return out;
  }
  QStringList Calls() const {
    QStringList out;
    for (const QByteArray& line : RawCalls()) out << QString::fromUtf8(line);
    return out;
  }

 private:
  QTemporaryDir dir_;
  QString log_;
  QProcess proc_;
  bool ready_ = false;
};

}  // namespace testsupport
