#pragma once
// Late-bound automation objects: commands and properties called by name with
// variant arguments. No Qt here, so callers and their tests stay headless.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace bus {

using Variant = std::variant<std::monostate, bool, std::int16_t, std::int32_t, std::string>;

// A failing command, or a server that is not there, raises this in the caller.
class AutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class AutomationObject {
 public:
  virtual ~AutomationObject() = default;
  virtual Variant Call(const std::string& command, const std::vector<Variant>& args = {}) = 0;
  virtual Variant Get(const std::string& property) = 0;
};

class AutomationFactory {
 public:
  virtual ~AutomationFactory() = default;
  // Throws AutomationError ("server unavailable") when nothing answers.
  virtual std::unique_ptr<AutomationObject> Create(const std::string& progId) = 0;
};

// True only for the automation truth value (true, or an integer with all bits set).
inline bool IsAutomationTrue(const Variant& v) {
  if (auto b = std::get_if<bool>(&v)) return *b;
  if (auto i = std::get_if<std::int16_t>(&v)) return *i == -1;
  if (auto i = std::get_if<std::int32_t>(&v)) return *i == -1;
  return false;
}

}  // namespace bus
