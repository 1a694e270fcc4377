#include "tests/support/Recording.h"

#include "engine/Format.h"

namespace testsupport {

using engine::Format;

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out;
}

std::string RenderEvent(const Event& e) {
    switch (e.kind) {
        case 'L':
            return Format("L %s %08X ", e.target.c_str(), e.tag) + EscapeText(e.text);
        case 'D':
            return Format("D %s", e.target.c_str());
        case 0:
            return e.text;
        default:
            return std::string(1, e.kind) + " " + EscapeText(e.text);
    }
}

void EventLog::Line(std::string_view target, uint32_t tag, std::string_view text) {
    Add({'L', std::string(target), tag, std::string(text)});
}

void EventLog::Raw(std::string_view record) { Add({0, {}, 0, std::string(record)}); }

std::vector<std::string> EventLog::Lines() const {
    std::vector<std::string> out;
    out.reserve(events.size());
    for (const Event& e : events) out.push_back(RenderEvent(e));
    return out;
}

std::string EventLog::Render() const {
    std::string out;
    for (const Event& e : events) {
        out += RenderEvent(e);
        out += '\n';
    }
    return out;
}

void RecordingList::Append(std::string_view text, uint32_t tag) {
    lines.push_back({std::string(text), tag});
    log_->Line(name_, tag, text);
}

void RecordingList::AppendAt(std::string_view text, uint32_t tag, int64_t fileOffset) {
    lines.push_back({std::string(text), tag, fileOffset});
    log_->Line(name_, tag, text);
}

void RecordingList::RemoveLast() {
    if (lines.empty()) return;
    lines.pop_back();
    ++removals;
    log_->Add({'D', name_, 0, {}});
}

std::vector<std::string> RecordingList::Texts() const {
    std::vector<std::string> out;
    for (const Line& l : lines) out.push_back(l.text);
    return out;
}

engine::TreeItem RecordingTree::AppendChild(engine::TreeItem parent, std::string_view text, int image) {
    items.push_back({parent, std::string(text), image});
    log_->Line("tree", static_cast<uint32_t>(parent), text);
    return items.size();
}

void RecordingPrinter::DrawText(int x, int y, std::string_view text) {
    draws.push_back({page, x, y, std::string(text)});
    lastPrintEvent_ = log_->events.size();
    log_->Line("print", static_cast<uint32_t>(page), text);
}

void RecordingPrinter::DrawFrame(int left, int top, int right, int bottom) {
    frames.push_back({page, left, top, right, bottom});
    if (lastPrintEvent_ < log_->events.size()) log_->events[lastPrintEvent_].tag |= 0x80000000u;
}

class RecordingProgressView final : public engine::ProgressView {
public:
    explicit RecordingProgressView(RecordingProgress& host) : host_(host) { ++host_.live; }
    ~RecordingProgressView() override { --host_.live; }

    void SetTitle(const std::string& title) override {
        host_.captions.push_back(title);
        host_.log_->Add({'P', {}, 0, title});
    }
    void SetRange(int, int) override {}
    void SetPosition(int pos) override {
        host_.positions.push_back(pos);
        if (initialised_) ++steps_;
        initialised_ = true;
    }
    void SetPercentText(const std::string& text) override { host_.percentTexts.push_back(text); }
    void Pump() override {}
    bool TakeCancel() override {
        if (pressed_ || host_.cancelAfterSteps < 0 || steps_ < host_.cancelAfterSteps) return false;
        pressed_ = true;
        return true;
    }

private:
    RecordingProgress& host_;
    bool initialised_ = false;
    bool pressed_ = false;
    int steps_ = 0;
};

std::unique_ptr<engine::ProgressView> RecordingProgress::Create() {
    if (failCreate) return nullptr;
    ++created;
    return std::make_unique<RecordingProgressView>(*this);
}

namespace {
using engine::MsgAnswer;
using engine::MsgButtons;

MsgAnswer Map(RecordingMessages::Default d, MsgButtons b) {
    using D = RecordingMessages::Default;
    switch (b) {
        case MsgButtons::Ok: return MsgAnswer::Ok;
        case MsgButtons::OkCancel: return d == D::Yes ? MsgAnswer::Ok : MsgAnswer::Cancel;
        case MsgButtons::YesNo: return d == D::Yes ? MsgAnswer::Yes : MsgAnswer::No;
        case MsgButtons::YesNoCancel:
            return d == D::Yes ? MsgAnswer::Yes : d == D::No ? MsgAnswer::No : MsgAnswer::Cancel;
    }
    return MsgAnswer::Ok;
}

const char* AnswerName(MsgAnswer a) {
    switch (a) {
        case MsgAnswer::Ok: return "OK";
        case MsgAnswer::Cancel: return "CANCEL";
        case MsgAnswer::Yes: return "YES";
        case MsgAnswer::No: return "NO";
    }
    return "OK";
}
}  // namespace

engine::MsgAnswer RecordingMessages::Show(const std::string& text, const std::string& caption,
                                          engine::MsgIcon icon, engine::MsgButtons buttons) {
    MsgAnswer answer;
    if (!script.empty()) {
        answer = script.front();
        script.pop_front();
    } else {
        answer = Map(fallback, buttons);
    }
    // The box shows the program's name when the caller gives no caption.
    const std::string shown = caption.empty() ? engine::Ctx().profile->appName : caption;
    boxes.push_back({text, shown, icon, buttons, answer});
    log_->Add({'B', {}, 0, shown + "|" + text + " -> " + AnswerName(answer)});
    return answer;
}

void RecordingWindow::SetTitle(const std::string& t) {
    title = t;
    titles.push_back(t);
    log_->Add({'T', {}, 0, t});
}

ScopedContext::ScopedContext() {
    engine::ResetContext();
    engine::EngineContext& c = engine::Ctx();
    c.hosts.messages = &messages;
    c.hosts.progress = &progress;
    c.hosts.window = &window;
    c.sink.defaultList = &defaultList;
}

ScopedContext::~ScopedContext() { engine::ResetContext(); }

void ScopedContext::StartPrinting(int lineHeight, int pageHeight, const std::string& fileName) {
    printer = std::make_unique<RecordingPrinter>(pageHeight, 8, &log);
    engine::SinkState& s = engine::Ctx().sink;
    s.printer = printer.get();
    s.lineHeight = lineHeight;
    s.pageNumber = 1;
    s.fileName = fileName;
    printer->DrawText(2, lineHeight, Format("---- File: %s   Page: %d ----", fileName.c_str(), 1));
    s.currentY = 2 * lineHeight;
}

void ScopedContext::StopPrinting() {
    engine::Ctx().sink.printer = nullptr;
    printer.reset();
}

}  // namespace testsupport
