// A stand-in Quillwright automation server for tests. It owns the bus name of
// "Quillwright.Quillscript" on the session bus and writes every call it gets,
// in order, one line each, to the log file:
//   NAME ARG...        a command; arguments as TYPE:VALUE (n int16, s string, ...)
//   get NAME           a property read
// Options: --log FILE, --fail COMMAND (answer that command with an error),
// --blank VALUE (envDocBlank: true, false or a 16-bit integer).
//
// With --macros 7|6|both it also owns the macro-command services of version 7
// ("QWWin7_Macros.QS7Commands"), version 6 ("QWWin60_Macros.Commands") or
// both, each on a connection of its own, and logs their calls as
//   BUSNAME Execute ay:BYTES   (NUL written as \0, LF as \n)
// --save FILE: an Execute copies FILE to the path between FileSave(" and the
// last "; Overwrite: Yes!) and then replies. --save-delay MS: it replies
// first and writes MS later. --save-slow MS: it writes the first half, waits
// MS, then writes the rest (replying after the first half). --no-reply
// COMMAND: that command is never answered.
// Prints "ready" once every name is owned.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/bus/BusMacros.h"

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

QByteArray Escaped(const QByteArray& bytes) {
  QByteArray out;
  for (char c : bytes) {
    if (c == '\0') out += "\\0";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

struct Options {
  QString log, fail, noReply;
  QVariant blank = QVariant::fromValue(false);
  QString macros;
  QString save;
  int saveDelayMs = -1;
  int saveSlowMs = -1;
};

void Record(const QString& log, const QByteArray& line) {
  QFile f(log);
  if (f.open(QIODevice::Append)) {
    f.write(line);
    f.write("\n");
  }
}

class StandIn : public QDBusVirtualObject {
 public:
  explicit StandIn(const Options& o) : o_(o) {}

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
    Record(o_.log, line.join(QLatin1Char(' ')).toUtf8());
    if (name == o_.noReply) return true;
    if (name == o_.fail) {
      connection.send(message.createErrorReply(QStringLiteral("Quillwright.Error.Failed"), name + QStringLiteral(" failed")));
      return true;
    }
    if (property) {
      if (name == QLatin1String("envDocBlank"))
        connection.send(message.createReply(QVariant::fromValue(QDBusVariant(o_.blank))));
      else
        connection.send(message.createErrorReply(QStringLiteral("Quillwright.Error.NoProperty"), name));
      return true;
    }
    connection.send(message.createReply());
    return true;
  }

 private:
  const Options& o_;
};

// One macro-command service: service and topic as a bus name of its own.
class MacroServer : public QDBusVirtualObject {
 public:
  MacroServer(const Options& o, QString busName) : o_(o), busName_(std::move(busName)) {}

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    const QString name = message.member();
    QByteArray line = busName_.toUtf8() + ' ' + name.toUtf8();
    const auto args = message.arguments();
    for (const auto& a : args) {
      if (a.metaType().id() == QMetaType::QByteArray) line += " ay:" + Escaped(a.toByteArray());
      else line += ' ' + Describe(a).toUtf8();
    }
    Record(o_.log, line);
    if (name == o_.noReply) return true;
    if (name == o_.fail) {
      connection.send(message.createErrorReply(QStringLiteral("Quillwright.Error.Failed"), name + QStringLiteral(" failed")));
      return true;
    }
    if (name == QLatin1String("Execute") && !o_.save.isEmpty() && args.size() == 1 &&
        args[0].metaType().id() == QMetaType::QByteArray) {
      Save(args[0].toByteArray(), message, connection);
      return true;
    }
    connection.send(message.createReply());
    return true;
  }

 private:
  static QString TargetOf(const QByteArray& command) {
    static const QByteArray head("FileSave(\"");
    static const QByteArray tail("\"; Overwrite: Yes!)");
    const qsizetype end = command.lastIndexOf(tail);
    if (!command.startsWith(head) || end < head.size()) return {};
    return QFile::decodeName(command.mid(head.size(), end - head.size()));
  }

  void Save(const QByteArray& command, const QDBusMessage& message, const QDBusConnection& connection) {
    const QString target = TargetOf(command);
    QFile source(o_.save);
    if (target.isEmpty() || !source.open(QIODevice::ReadOnly)) {
      connection.send(message.createErrorReply(QStringLiteral("Quillwright.Error.Failed"), QStringLiteral("FileSave failed")));
      return;
    }
    const QByteArray bytes = source.readAll();
    QDBusConnection c = connection;
    const QDBusMessage reply = message.createReply();
    auto write = [this, target, bytes, c, reply](bool replied) mutable {
      if (o_.saveSlowMs >= 0) {
        const qsizetype half = bytes.size() / 2;
        WriteFile(target, bytes.left(half), QIODevice::Truncate);
        if (!replied) c.send(reply);
        QTimer::singleShot(o_.saveSlowMs, [target, rest = bytes.mid(half)] { WriteFile(target, rest, QIODevice::Append); });
        return;
      }
      WriteFile(target, bytes, QIODevice::Truncate);
      if (!replied) c.send(reply);
    };
    if (o_.saveDelayMs >= 0) {
      c.send(reply);
      QTimer::singleShot(o_.saveDelayMs, [write]() mutable { write(true); });
      return;
    }
    write(false);
  }

  static void WriteFile(const QString& path, const QByteArray& bytes, QIODevice::OpenModeFlag mode) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | mode)) f.write(bytes);
  }

  const Options& o_;
  QString busName_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Options o;
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    const QString& v = args[i + 1];
    if (args[i] == QLatin1String("--log")) o.log = v;
    else if (args[i] == QLatin1String("--fail")) o.fail = v;
    else if (args[i] == QLatin1String("--no-reply")) o.noReply = v;
    else if (args[i] == QLatin1String("--macros")) o.macros = v;
    else if (args[i] == QLatin1String("--save")) o.save = v;
    else if (args[i] == QLatin1String("--save-delay")) o.saveDelayMs = v.toInt();
    else if (args[i] == QLatin1String("--save-slow")) o.saveSlowMs = v.toInt();
    else if (args[i] == QLatin1String("--blank")) {
      if (v == QLatin1String("true")) o.blank = QVariant::fromValue(true);
      else if (v == QLatin1String("false")) o.blank = QVariant::fromValue(false);
      else o.blank = QVariant::fromValue(static_cast<qint16>(v.toShort()));
    }
  }
  const bus::BusAddress address = bus::AddressForProgId("Quillwright.Quillscript");
  QDBusConnection bus = QDBusConnection::sessionBus();
  StandIn object(o);
  if (!bus.registerVirtualObject(address.path, &object) || !bus.registerService(address.service)) {
    std::fprintf(stderr, "standin: cannot own %s\n", qPrintable(address.service));
    return 1;
  }

  std::vector<const bus::MacroTopic*> topics;
  if (o.macros == QLatin1String("7") || o.macros == QLatin1String("both")) topics.push_back(&bus::kQuillwrightMacroTopics[0]);
  if (o.macros == QLatin1String("6") || o.macros == QLatin1String("both")) topics.push_back(&bus::kQuillwrightMacroTopics[1]);
  std::vector<std::unique_ptr<MacroServer>> servers;
  for (const bus::MacroTopic* t : topics) {
    const bus::BusAddress a = bus::AddressForTopic(t->service, t->topic);
    // A connection of its own: a call reaches the object only through the name it was sent to.
    QDBusConnection c = QDBusConnection::connectToBus(QDBusConnection::SessionBus, a.service);
    servers.push_back(std::make_unique<MacroServer>(o, a.service));
    if (!c.isConnected() || !c.registerVirtualObject(a.path, servers.back().get()) || !c.registerService(a.service)) {
      std::fprintf(stderr, "standin: cannot own %s\n", qPrintable(a.service));
      return 1;
    }
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}
