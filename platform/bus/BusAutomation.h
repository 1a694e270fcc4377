#pragma once
// Automation over the session bus.
//
// Naming rule: the programmatic id is used unchanged as the bus service name
// and as the interface name ("Quillwright.Quillscript"); the object path is
// "/" followed by the id with every '.' turned into '/'
// ("/Quillwright/Quillscript"). A command is a method call of that name with
// the arguments as typed (16-bit integers as D-Bus int16, texts as strings); a
// property is read through org.freedesktop.DBus.Properties.Get. A service that
// is not on the bus is the "server unavailable" error.

#include "platform/bus/Automation.h"

#include <QDBusConnection>
#include <QString>

namespace bus {

struct BusAddress {
  QString service;
  QString path;
  QString interface;
};

BusAddress AddressForProgId(const std::string& progId);

class BusAutomationFactory : public AutomationFactory {
 public:
  explicit BusAutomationFactory(QDBusConnection connection = QDBusConnection::sessionBus());
  std::unique_ptr<AutomationObject> Create(const std::string& progId) override;

 private:
  QDBusConnection connection_;
};

}  // namespace bus
