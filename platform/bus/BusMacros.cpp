#include "platform/bus/BusMacros.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QThread>

namespace bus {

BusAddress AddressForTopic(const std::string& service, const std::string& topic) {
  return AddressForProgId(service + "." + topic);
}

QByteArray FileSaveCommand(const std::string& path) {
  QByteArray command("FileSave(\"");
  command.append(path.data(), static_cast<qsizetype>(path.size()));
  command.append("\"; Overwrite: Yes!)");
  command.append('\0');
  return command;
}

MacroConversation::MacroConversation(QDBusConnection connection) : connection_(std::move(connection)) {}

bool MacroConversation::Connect(const std::string& service, const std::string& topic) {
  connected_ = false;
  address_ = AddressForTopic(service, topic);
  if (!connection_.isConnected() || !connection_.interface()) return false;
  const QDBusReply<bool> owned = connection_.interface()->isServiceRegistered(address_.service);
  connected_ = owned.isValid() && owned.value();
  return connected_;
}

bool MacroConversation::ConnectToQuillwright() {
  for (const MacroTopic& t : kQuillwrightMacroTopics)
    if (Connect(t.service, t.topic)) return true;
  return false;
}

ExecuteResult MacroConversation::Execute(const QByteArray& command, int timeoutMs,
                                         const std::function<bool()>& keepWaiting) {
  if (!connected_) return ExecuteResult::Refused;
  QDBusMessage m = QDBusMessage::createMethodCall(address_.service, address_.path, address_.interface,
                                                  QStringLiteral("Execute"));
  m.setArguments({QVariant::fromValue(command)});
  const int limit = timeoutMs > 0 ? timeoutMs : 1;
  // The reply lands in the bus thread; the caller's thread only polls, so
  // nothing of its own runs while it waits unless `keepWaiting` lets it.
  QDBusPendingCall call = connection_.asyncCall(m, limit);
  // The bus gives up itself at the time-out; this only guards against a bus that does not.
  const QDeadlineTimer backstop(qint64{limit} + 500);
  while (!call.isFinished()) {
    if (keepWaiting && !keepWaiting()) return ExecuteResult::Cancelled;
    if (backstop.hasExpired()) return ExecuteResult::TimedOut;
    QThread::msleep(5);
  }
  const QDBusMessage reply = call.reply();
  if (reply.type() == QDBusMessage::ReplyMessage) return ExecuteResult::Accepted;
  const QDBusError::ErrorType e = call.error().type();
  return e == QDBusError::NoReply || e == QDBusError::Timeout || e == QDBusError::TimedOut ? ExecuteResult::TimedOut
                                                                                          : ExecuteResult::Refused;
}

}  // namespace bus
