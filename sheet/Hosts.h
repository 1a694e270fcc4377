#pragma once
// The Qt side of what the engine asks of its host: message boxes, the
// progress dialog of long scans, the main window's title and beeps. Shared
// by both inspectors' windows.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "engine/Host.h"

namespace inspector {

class QtMessageService : public engine::MessageService {
public:
    // `programName` is the caption of a box that brings none of its own.
    QtMessageService(QWidget* owner, std::string programName);
    engine::MsgAnswer Show(const std::string& text, const std::string& caption, engine::MsgIcon icon,
                           engine::MsgButtons buttons) override;

private:
    QPointer<QWidget> owner_;
    std::string programName_;
};

class QtProgressHost : public engine::ProgressHost {
public:
    explicit QtProgressHost(QWidget* owner) : owner_(owner), open_(std::make_shared<int>(0)) {}
    std::unique_ptr<engine::ProgressView> Create() override;

private:
    QPointer<QWidget> owner_;
    // Dialogs up now: a scan inside another (a check inside a batch) must
    // not give the owner back while the outer one runs.
    std::shared_ptr<int> open_;
};

class QtWindowHost : public engine::WindowHost {
public:
    explicit QtWindowHost(QWidget* window) : window_(window) {}
    void SetTitle(const std::string& title) override;
    void Beep() override;

private:
    QPointer<QWidget> window_;
};

}  // namespace inspector

namespace inspector {

// The three Qt hosts for one main window, installed into the engine's
// context for as long as they live.
class InstalledQtHosts {
public:
    InstalledQtHosts(QWidget* window, const std::string& programName);
    ~InstalledQtHosts();
    InstalledQtHosts(const InstalledQtHosts&) = delete;
    InstalledQtHosts& operator=(const InstalledQtHosts&) = delete;

private:
    QtMessageService messages_;
    QtProgressHost progress_;
    QtWindowHost window_;
};

}  // namespace inspector
