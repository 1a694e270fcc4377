// A stand-in Quillwright automation server for tests. It owns the bus name of
// "Quillwright.Quillscript" on the session bus and writes every call it gets,
// in order, one line each, to the log file:
//   NAME ARG...        a command; arguments as TYPE:VALUE (n int16, s string, ...)
//   get NAME           a property read
// Options: --log FILE, --fail COMMAND (answer that command with an error),
// --blank VALUE (envDocBlank: true, false or a 16-bit integer).
// Prints "ready" once the name is owned.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

#include "platform/bus/BusAutomation.h"

namespace {

QString Describe(const QVariant& v) {
  switch (v.metaType().id()) {
    case QMetaType::Short: return QStringLiteral("n:") + QString::number(v.value<qint16>());
    case QMetaType::Int: return QStringLiteral("i:") + QString::number(v.toInt());
    case QMetaType::Bool: return QStringLiteral("b:") + (v.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
    case QMetaType::QString: return QStringLiteral("s:") + v.toString();
    default: return QStringLiteral("?:") + QString::fromLatin1(v.typeName());
  }
}

class StandIn : public QDBusVirtualObject {
 public:
  StandIn(QString log, QString fail, QVariant blank, QString iface)
      : log_(std::move(log)), fail_(std::move(fail)), blank_(std::move(blank)), iface_(std::move(iface)) {}

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    QString name = message.member();
    QStringList line;
    bool property = message.interface() == QLatin1String("org.freedesktop.DBus.Properties");
    if (property) {
      const auto args = message.arguments();
      name = args.size() >= 2 ? args.at(1).toString() : QString();
      line << QStringLiteral("get") << name;
    } else {
      line << name;
      for (const auto& a : message.arguments()) line << Describe(a);
    }
    Record(line.join(QLatin1Char(' ')));
    if (name == fail_) {
      connection.send(message.createErrorReply(QStringLiteral("Quillwright.Error.Failed"), name + QStringLiteral(" failed")));
      return true;
    }
    if (property) {
      if (name == QLatin1String("envDocBlank"))
        connection.send(message.createReply(QVariant::fromValue(QDBusVariant(blank_))));
      else
        connection.send(message.createErrorReply(QStringLiteral("Quillwright.Error.NoProperty"), name));
      return true;
    }
    connection.send(message.createReply());
    return true;
  }

 private:
  void Record(const QString& line) {
    QFile f(log_);
    if (f.open(QIODevice::Append | QIODevice::Text)) {
      QTextStream(&f) << line << '\n';
    }
  }

  QString log_, fail_;
  QVariant blank_;
  QString iface_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QString log, fail;
  QVariant blank = QVariant::fromValue(false);
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--log")) log = args[i + 1];
    else if (args[i] == QLatin1String("--fail")) fail = args[i + 1];
    else if (args[i] == QLatin1String("--blank")) {
      const QString v = args[i + 1];
      if (v == QLatin1String("true")) blank = QVariant::fromValue(true);
      else if (v == QLatin1String("false")) blank = QVariant::fromValue(false);
      else blank = QVariant::fromValue(static_cast<qint16>(v.toShort()));
    }
  }
  const bus::BusAddress address = bus::AddressForProgId("Quillwright.Quillscript");
  QDBusConnection bus = QDBusConnection::sessionBus();
  StandIn object(log, fail, blank, address.interface);
  if (!bus.registerVirtualObject(address.path, &object) || !bus.registerService(address.service)) {
    std::fprintf(stderr, "standin: cannot own %s\n", qPrintable(address.service));
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}
