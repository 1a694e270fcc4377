#pragma once
// The word processor's macro-command service over the session bus.
//
// Naming rule: service S and topic T of the old conversation are the
// programmatic id "S.T" under the automation rule (AddressForProgId): bus
// name and interface "S.T", object path "/S/T". Connecting means the bus name
// has an owner; an execute request is one call of the method "Execute" with
// the command text, its terminating NUL included, as the only argument (`ay`).
// A reply accepts the request; an error reply or no reply in time refuses it.

#include <QByteArray>
#include <QDBusConnection>
#include <functional>
#include <string>

#include "platform/bus/BusAutomation.h"

namespace bus {

struct MacroTopic {
  const char* service;
  const char* topic;
};

// Tried in this order: version 7 first, then version 6.
inline constexpr MacroTopic kQuillwrightMacroTopics[] = {
    {"QWWin7_Macros", "QS7Commands"},
    {"QWWin60_Macros", "Commands"},
};

BusAddress AddressForTopic(const std::string& service, const std::string& topic);

// FileSave("PATH"; Overwrite: Yes!) with its NUL; the path's bytes unchanged
// (a double quote in it too) and of any length.
QByteArray FileSaveCommand(const std::string& path);

enum class ExecuteResult { Accepted, Refused, TimedOut, Cancelled };

class MacroConversation {
 public:
  explicit MacroConversation(QDBusConnection connection = QDBusConnection::sessionBus());

  // True when the service and topic answer; the conversation then talks to it.
  bool Connect(const std::string& service, const std::string& topic);
  // The first of kQuillwrightMacroTopics that answers; false when none does.
  bool ConnectToQuillwright();
  bool Connected() const { return connected_; }
  const BusAddress& Address() const { return address_; }

  // Sends one execute request and waits at most `timeoutMs` for its answer,
  // polling `keepWaiting` (when given) every few milliseconds: false there
  // gives Cancelled at once.
  ExecuteResult Execute(const QByteArray& command, int timeoutMs,
                        const std::function<bool()>& keepWaiting = {});

 private:
  QDBusConnection connection_;
  BusAddress address_;
  bool connected_ = false;
};

}  // namespace bus
