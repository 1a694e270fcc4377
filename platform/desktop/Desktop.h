#pragma once
// Starting programs and opening files and addresses with the desktop's own
// applications. The interfaces carry no Qt so their callers test headless.

#include <string>
#include <vector>

namespace desktop {

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Detached, never through a shell; each argument reaches the program whole.
  virtual bool StartDetached(const std::string& program, const std::vector<std::string>& args) = 0;
};

// The desktop's default application for HTML: its desktop id and the Exec
// line of its entry; either empty when the desktop names none.
struct HtmlHandlerEntry {
  std::string desktopId;
  std::string exec;
};

class DesktopOpener {
 public:
  virtual ~DesktopOpener() = default;
  virtual bool OpenFile(const std::string& path) = 0;
  virtual bool OpenUrl(const std::string& url) = 0;
  // Whether the desktop names a default application for HTML.
  virtual bool HasHtmlHandler() = 0;
  // That application, looked up only: nothing is changed or started.
  virtual HtmlHandlerEntry HtmlHandler() { return {}; }
};

class QtProgramLauncher : public ProgramLauncher {
 public:
  bool StartDetached(const std::string& program, const std::vector<std::string>& args) override;
};

class QtDesktopOpener : public DesktopOpener {
 public:
  bool OpenFile(const std::string& path) override;
  bool OpenUrl(const std::string& url) override;
  bool HasHtmlHandler() override;
  HtmlHandlerEntry HtmlHandler() override;
};

}  // namespace desktop
