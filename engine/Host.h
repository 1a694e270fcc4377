#pragma once
// What the engine asks of the program that hosts it. Qt implementations live
// in the windows' folders; recording doubles in tests/support.

#include <memory>
#include <string>

namespace engine {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class MessageService {
public:
    virtual ~MessageService() = default;
    // An empty caption means the program's own name.
    virtual MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon icon,
                           MsgButtons buttons) = 0;
};

// The window side of one progress dialog.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPosition(int pos) = 0;
    virtual void SetPercentText(const std::string& text) = 0;
    // Dispatches pending window events (the Cancel button among them).
    virtual void Pump() = 0;
    // True once Cancel was pressed since the last call.
    virtual bool TakeCancel() = 0;
};

class ProgressHost {
public:
    virtual ~ProgressHost() = default;
    // Disables the owner while the view lives; none when it cannot be made.
    virtual std::unique_ptr<ProgressView> Create() = 0;
};

class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void Beep() = 0;
};

}  // namespace engine
