#include "platform/bus/BusAutomation.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariant>

namespace bus {

BusAddress AddressForProgId(const std::string& progId) {
  BusAddress a;
  a.service = QString::fromStdString(progId);
  a.interface = a.service;
  QString path = a.service;
  path.replace(QLatin1Char('.'), QLatin1Char('/'));
  a.path = QLatin1Char('/') + path;
  return a;
}

namespace {

QVariant ToQt(const Variant& v) {
  if (auto b = std::get_if<bool>(&v)) return QVariant::fromValue(*b);
  if (auto i = std::get_if<std::int16_t>(&v)) return QVariant::fromValue(static_cast<qint16>(*i));
  if (auto i = std::get_if<std::int32_t>(&v)) return QVariant::fromValue(static_cast<qint32>(*i));
  if (auto s = std::get_if<std::string>(&v)) return QVariant::fromValue(QString::fromStdString(*s));
  return {};
}

Variant FromQt(QVariant q) {
  if (q.metaType() == QMetaType::fromType<QDBusVariant>()) q = q.value<QDBusVariant>().variant();
  switch (q.metaType().id()) {
    case QMetaType::Bool: return q.toBool();
    case QMetaType::Short: return static_cast<std::int16_t>(q.value<qint16>());
    case QMetaType::Int: return static_cast<std::int32_t>(q.toInt());
    case QMetaType::QString: return q.toString().toStdString();
    default: return std::monostate{};
  }
}

class BusObject : public AutomationObject {
 public:
  BusObject(QDBusConnection c, BusAddress a) : connection_(std::move(c)), address_(std::move(a)) {}

  Variant Call(const std::string& command, const std::vector<Variant>& args) override {
    QDBusMessage m = QDBusMessage::createMethodCall(address_.service, address_.path, address_.interface,
                                                    QString::fromStdString(command));
    QList<QVariant> qargs;
    for (const auto& v : args) qargs << ToQt(v);
    m.setArguments(qargs);
    // A dialog command returns only when the user closes the dialog.
    const bool dialog = command.size() > 3 && command.compare(command.size() - 3, 3, "Dlg") == 0;
    return Send(m, command, dialog ? kDialogTimeoutMs : -1);
  }

  Variant Get(const std::string& property) override {
    QDBusMessage m = QDBusMessage::createMethodCall(address_.service, address_.path,
                                                    QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
    m.setArguments({address_.interface, QString::fromStdString(property)});
    return Send(m, property);
  }

 private:
  static constexpr int kDialogTimeoutMs = 60 * 60 * 1000;

  Variant Send(const QDBusMessage& m, const std::string& what, int timeoutMs = -1) {
    QDBusMessage reply = connection_.call(m, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
      throw AutomationError(what + ": " + reply.errorMessage().toStdString());
    if (reply.arguments().isEmpty()) return std::monostate{};
    return FromQt(reply.arguments().first());
  }

  QDBusConnection connection_;
  BusAddress address_;
};

}  // namespace

BusAutomationFactory::BusAutomationFactory(QDBusConnection connection) : connection_(std::move(connection)) {}

std::unique_ptr<AutomationObject> BusAutomationFactory::Create(const std::string& progId) {
  BusAddress a = AddressForProgId(progId);
  if (!connection_.isConnected() || !connection_.interface() ||
      !connection_.interface()->isServiceRegistered(a.service).value())
    throw AutomationError("server unavailable: " + progId);
  return std::make_unique<BusObject>(connection_, a);
}

}  // namespace bus
