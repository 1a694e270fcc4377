#pragma once
// Recording doubles for everything the engine writes to or asks of its
// host. They share one ordered event log, which the probe prints in its
// line format and tests can read directly.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/EngineContext.h"
#include "engine/Host.h"
#include "engine/Targets.h"

namespace testsupport {

struct Event {
    char kind;            // 'L', 'D', 'T', 'B', 'P', 'R', or 0 for a raw record
    std::string target;   // L, D
    uint32_t tag = 0;     // L
    std::string text;     // escaped when rendered (raw records: as they are)
};

// Only CR, LF and backslash are escaped; every other byte stays as it is.
std::string EscapeText(std::string_view text);
// One record without its line end.
std::string RenderEvent(const Event& e);

class EventLog {
public:
    void Add(Event e) { events.push_back(std::move(e)); }
    void Line(std::string_view target, uint32_t tag, std::string_view text);
    // A record the caller has already written in the line format.
    void Raw(std::string_view record);
    std::vector<std::string> Lines() const;
    std::string Render() const;  // every record with its LF
    void Clear() { events.clear(); }

    std::vector<Event> events;
};

class RecordingList final : public engine::ListTarget {
public:
    struct Line {
        std::string text;
        uint32_t tag;
        int64_t fileOffset = engine::kNoFileOffset;
    };
    explicit RecordingList(std::string name, EventLog* log = nullptr)
        : name_(std::move(name)), log_(log ? log : &own_) {}

    void Append(std::string_view text, uint32_t tag) override;
    size_t Size() const override { return lines.size(); }
    std::string Text(size_t i) const override { return i < lines.size() ? lines[i].text : std::string(); }
    uint32_t Tag(size_t i) const override { return i < lines.size() ? lines[i].tag : 0; }
    void RemoveLast() override;
    void AppendAt(std::string_view text, uint32_t tag, int64_t fileOffset) override;
    int64_t FileOffset(size_t i) const override {
        return i < lines.size() ? lines[i].fileOffset : engine::kNoFileOffset;
    }

    const std::string& Name() const { return name_; }
    std::vector<std::string> Texts() const;
    EventLog& Log() { return *log_; }

    std::vector<Line> lines;
    int removals = 0;

private:
    std::string name_;
    EventLog own_;
    EventLog* log_;
};

class RecordingTree final : public engine::TreeTarget {
public:
    struct Item {
        engine::TreeItem parent;
        std::string text;
        int image;
    };
    explicit RecordingTree(EventLog* log = nullptr) : log_(log ? log : &own_) {}
    // Items are numbered from 1 in the order they are made; the record's TAG
    // is the parent's number.
    engine::TreeItem AppendChild(engine::TreeItem parent, std::string_view text, int image) override;

    std::vector<Item> items;

private:
    EventLog own_;
    EventLog* log_;
};

// A page of fixed height; every byte of text is `charWidth` units wide.
class RecordingPrinter final : public engine::PagePrinter {
public:
    struct Draw {
        int page, x, y;
        std::string text;
    };
    struct Frame {
        int page, left, top, right, bottom;
    };
    explicit RecordingPrinter(int pageHeight = 1000, int charWidth = 8, EventLog* log = nullptr)
        : pageHeight_(pageHeight), charWidth_(charWidth), log_(log ? log : &own_) {}

    int PageHeight() const override { return pageHeight_; }
    int TextWidth(std::string_view text) const override {
        return static_cast<int>(text.size()) * charWidth_;
    }
    // Logged as "L print" with the page number as TAG; a frame sets bit 31
    // of the TAG of the line it surrounds.
    void DrawText(int x, int y, std::string_view text) override;
    void DrawFrame(int left, int top, int right, int bottom) override;
    void NewPage() override { ++page; }

    int page = 1;
    std::vector<Draw> draws;
    std::vector<Frame> frames;

private:
    int pageHeight_;
    int charWidth_;
    EventLog own_;
    EventLog* log_;
    size_t lastPrintEvent_ = SIZE_MAX;
};

class RecordingProgress final : public engine::ProgressHost {
public:
    explicit RecordingProgress(EventLog* log = nullptr) : log_(log ? log : &own_) {}
    std::unique_ptr<engine::ProgressView> Create() override;

    // Cancel is pressed once the view has taken this many steps (-1: never).
    int cancelAfterSteps = -1;
    bool failCreate = false;
    int created = 0;
    int live = 0;  // views not yet destroyed (the owner is disabled meanwhile)
    std::vector<std::string> captions;
    std::vector<std::string> percentTexts;  // every text set, in order
    std::vector<int> positions;             // every position set, in order

private:
    friend class RecordingProgressView;
    EventLog own_;
    EventLog* log_;
};

class RecordingMessages final : public engine::MessageService {
public:
    enum class Default { Yes, No, Cancel };
    struct Box {
        std::string text, caption;
        engine::MsgIcon icon;
        engine::MsgButtons buttons;
        engine::MsgAnswer answer;
    };
    explicit RecordingMessages(EventLog* log = nullptr) : log_(log ? log : &own_) {}

    // Scripted answers are used first, in order; then `fallback`, mapped onto
    // the buttons the box has (yes: Yes or Ok; no: No, or Cancel for Ok and
    // Cancel; cancel: Cancel, or No for Yes and No; Ok alone: Ok).
    engine::MsgAnswer Show(const std::string& text, const std::string& caption, engine::MsgIcon icon,
                           engine::MsgButtons buttons) override;

    std::deque<engine::MsgAnswer> script;
    Default fallback = Default::Yes;
    std::vector<Box> boxes;

private:
    EventLog own_;
    EventLog* log_;
};

class RecordingWindow final : public engine::WindowHost {
public:
    explicit RecordingWindow(EventLog* log = nullptr) : log_(log ? log : &own_) {}
    void SetTitle(const std::string& title) override;
    void Beep() override { ++beeps; }

    std::string title;
    std::vector<std::string> titles;
    int beeps = 0;

private:
    EventLog own_;
    EventLog* log_;
};

// A fresh engine context with every double installed; the context is reset
// again when the scope ends. `defaultList` is installed as the sink's
// default list; the others are there for the test to pass as targets.
class ScopedContext {
public:
    ScopedContext();
    ~ScopedContext();
    ScopedContext(const ScopedContext&) = delete;
    ScopedContext& operator=(const ScopedContext&) = delete;

    // Starts a print job on `printer` as the print commands do: page 1 with
    // its header, the first line below it.
    void StartPrinting(int lineHeight = 10, int pageHeight = 1000, const std::string& fileName = "");
    void StopPrinting();

    EventLog log;
    RecordingList list{"list", &log};
    RecordingList defaultList{"default", &log};
    RecordingList detail{"detail", &log};
    RecordingList logList{"log", &log};
    RecordingTree tree{&log};
    RecordingMessages messages{&log};
    RecordingProgress progress{&log};
    RecordingWindow window{&log};
    std::unique_ptr<RecordingPrinter> printer;
};

}  // namespace testsupport
