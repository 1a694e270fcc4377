#pragma once
// Recording doubles of Mendora's ports. Calls, pump passes and message boxes
// go to one event log so tests can check their order.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "frontend/Mediator.h"

namespace frontend::testing {

using Log = std::vector<std::string>;

inline std::string Describe(const bus::Variant& v) {
  if (auto b = std::get_if<bool>(&v)) return std::string("b:") + (*b ? "true" : "false");
  if (auto i = std::get_if<std::int16_t>(&v)) return "n:" + std::to_string(*i);
  if (auto i = std::get_if<std::int32_t>(&v)) return "i:" + std::to_string(*i);
  if (auto s = std::get_if<std::string>(&v)) return "s:" + *s;
  return "?";
}

struct DescendingName {
  bool operator()(const std::string& a, const std::string& b) const { return NameLess(b, a); }
};

class FakeMain : public MainView {
 public:
  explicit FakeMain(Log* log) : log_(log) {}
  void ClearList() override { rows.clear(); ++clears; }
  void AddRow(const std::string& key, const std::string& text) override {
    rows.insert(text);
    keys.insert(key);
    addOrder.push_back(text);
    if (!rows.empty()) currentAfterEach.push_back(*rows.begin());
  }
  std::optional<std::string> FirstRowText() override {
    if (rows.empty()) return std::nullopt;
    return *rows.begin();
  }
  void SetNextDocumentVisible(bool v) override { nextVisible = v; }
  void SetRefreshEnabled(bool e) override { refreshEnabled = e; }
  void SetIndicatorColour(std::uint32_t bgr) override { colour = bgr; }
  void SetIndicatorTexts(const std::string& h, const std::string& b) override { header = h; body = b; }
  bool QuillwrightOptionSelected() override { return quillwright; }
  bool InspectorOptionSelected() override { return !quillwright; }
  void BringForward() override { if (log_) log_->push_back("bring-forward"); }

  std::multiset<std::string, DescendingName> rows;
  std::set<std::string> keys;
  std::vector<std::string> addOrder, currentAfterEach;
  int clears = 0;
  bool nextVisible = false, refreshEnabled = true, quillwright = false;
  std::uint32_t colour = kColourGrey;
  std::string header = "Document not selected", body;

 private:
  Log* log_;
};

class FakeBatch : public BatchView {
 public:
  void ClearFound() override { found.clear(); }
  void AddFound(const std::string& n) override { found.push_back(n); }
  void SetSourceText(const std::string& f) override { source = f; }
  void SetTargetText(const std::string& f) override { target = f; }
  std::vector<std::string> found;
  std::string source, target = "unset";
};

class FakeDialogs : public Dialogs {
 public:
  std::optional<std::string> OpenDocument() override { return open; }
  std::string BrowseForFolder(const std::string& prompt) override {
    prompts.push_back(prompt);
    return folder;
  }
  std::optional<std::string> open;
  std::string folder;
  std::vector<std::string> prompts;
};

struct Box {
  std::string text, caption;
  MessageIcon icon;
};

class FakeMessages : public Messages {
 public:
  explicit FakeMessages(Log* log) : log_(log) {}
  void Show(const std::string& text, const std::string& caption, MessageIcon icon) override {
    boxes.push_back({text, caption, icon});
    if (log_) log_->push_back("box " + text);
  }
  std::vector<Box> boxes;

 private:
  Log* log_;
};

class FakePump : public Pump {
 public:
  explicit FakePump(Log* log) : log_(log) {}
  void ProcessEvents() override {
    ++passes;
    if (log_) log_->push_back("~");
  }
  int passes = 0;

 private:
  Log* log_;
};

class FakeClock : public Clock {
 public:
  CivilDate Today() override { return today; }
  CivilDate today{2026, 12, 10};
};

class FakeTimes : public FileTimes {
 public:
  std::optional<CivilDate> ModifiedDate(const std::string& path) override {
    auto it = dates.find(path);
    if (it == dates.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, CivilDate> dates;
};

class FakeObject : public bus::AutomationObject {
 public:
  FakeObject(Log* log, std::string fail, bus::Variant blank, int* live)
      : log_(log), fail_(std::move(fail)), blank_(std::move(blank)), live_(live) { ++*live_; }
  ~FakeObject() override { --*live_; }
  bus::Variant Call(const std::string& name, const std::vector<bus::Variant>& args) override {
    std::string line = name;
    for (const auto& a : args) line += " " + Describe(a);
    log_->push_back(line);
    if (name == fail_) throw bus::AutomationError(name + " failed");
    return std::monostate{};
  }
  bus::Variant Get(const std::string& name) override {
    log_->push_back("get " + name);
    if (name == fail_) throw bus::AutomationError(name + " failed");
    return blank_;
  }

 private:
  Log* log_;
  std::string fail_;
  bus::Variant blank_;
  int* live_;
};

class FakeAutomation : public bus::AutomationFactory {
 public:
  explicit FakeAutomation(Log* log) : log_(log) {}
  std::unique_ptr<bus::AutomationObject> Create(const std::string& progId) override {
    log_->push_back("create " + progId);
    if (unavailable) throw bus::AutomationError("server unavailable");
    return std::make_unique<FakeObject>(log_, fail, blank, &live);
  }
  bool unavailable = false;
  std::string fail;
  bus::Variant blank = false;
  int live = 0;

 private:
  Log* log_;
};

class FakeLauncher : public desktop::ProgramLauncher {
 public:
  bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
    starts.push_back({program, args});
    return true;
  }
  struct Start {
    std::string program;
    std::vector<std::string> args;
  };
  std::vector<Start> starts;
};

class FakeOpener : public desktop::DesktopOpener {
 public:
  bool OpenFile(const std::string& p) override { files.push_back(p); return true; }
  bool OpenUrl(const std::string& u) override { urls.push_back(u); return urlOk; }
  bool HasHtmlHandler() override { return html; }
  std::vector<std::string> files, urls;
  bool html = true, urlOk = true;
};

// A Mediator over doubles, initialised as Main does.
struct Rig {
  explicit Rig(DirectoryListing* realListing = nullptr, bus::AutomationFactory* realAutomation = nullptr) {
    MediatorPorts p;
    p.main = &main;
    p.batch = &batch;
    p.dialogs = &dialogs;
    p.messages = &messages;
    p.pump = &pump;
    p.clock = &clock;
    p.fileTimes = &times;
    p.listing = realListing ? realListing : &fsListing;
    p.automation = realAutomation ? realAutomation : &automation;
    p.launcher = &launcher;
    p.opener = &opener;
    p.programDir = "/opt/quillwright";
    mediator = std::make_unique<Mediator>(p);
    mediator->init();
  }
  Log log;
  FakeMain main{&log};
  FakeBatch batch;
  FakeDialogs dialogs;
  FakeMessages messages{&log};
  FakePump pump{&log};
  FakeClock clock;
  FakeTimes times;
  FsDirectoryListing fsListing;
  FakeAutomation automation{&log};
  FakeLauncher launcher;
  FakeOpener opener;
  std::unique_ptr<Mediator> mediator;
};

}  // namespace frontend::testing
