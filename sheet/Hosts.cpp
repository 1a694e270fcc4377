#include "sheet/Hosts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "sheet/Text.h"

namespace inspector {

namespace {

QString Q(const std::string& s) { return DecodeCp1252(s); }

QMessageBox::Icon IconOf(engine::MsgIcon icon) {
    switch (icon) {
    case engine::MsgIcon::Information: return QMessageBox::Information;
    case engine::MsgIcon::Warning: return QMessageBox::Warning;
    case engine::MsgIcon::Error: return QMessageBox::Critical;
    case engine::MsgIcon::Question: return QMessageBox::Question;
    case engine::MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The modeless dialog of one long scan; its owner is disabled while it lives.
class QtProgressView final : public engine::ProgressView {
public:
    QtProgressView(QWidget* owner, std::shared_ptr<int> open) : owner_(owner), open_(std::move(open)) {
        // Not a child of the owner: disabling the owner must leave Cancel usable.
        dialog_ = new QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        auto* layout = new QVBoxLayout(dialog_);
        auto* row = new QHBoxLayout;
        bar_ = new QProgressBar(dialog_);
        bar_->setTextVisible(false);
        percent_ = new QLabel(QStringLiteral("0%"), dialog_);
        percent_->setMinimumWidth(percent_->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
        row->addWidget(bar_, 1);
        row->addWidget(percent_);
        layout->addLayout(row);
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog_);
        layout->addWidget(cancel, 0, Qt::AlignHCenter);
        QObject::connect(cancel, &QPushButton::clicked, [this] { cancel_ = true; });
        dialog_->setMinimumWidth(320);
        if ((*open_)++ == 0 && owner_) owner_->setEnabled(false);
        if (owner_) {
            dialog_->adjustSize();
            dialog_->move(owner_->geometry().center() - dialog_->rect().center());
        }
        dialog_->show();
        QCoreApplication::processEvents();
    }
    ~QtProgressView() override {
        delete dialog_;
        if (--*open_ == 0 && owner_) owner_->setEnabled(true);
    }
    void SetTitle(const std::string& title) override { dialog_->setWindowTitle(Q(title)); }
    void SetRange(int lower, int upper) override { bar_->setRange(lower, upper); }
    void SetPosition(int pos) override { position_ = pos; }
    void SetPercentText(const std::string& text) override { percent_->setText(Q(text)); }
    void Pump() override {
        // Steps can come by the million (one per reference booked); the
        // window is served every few milliseconds, which Cancel never misses.
        if (pumped_.isValid() && pumped_.elapsed() < 15) return;
        bar_->setValue(position_);
        QCoreApplication::processEvents();
        pumped_.start();
    }
    bool TakeCancel() override {
        const bool pressed = cancel_;
        cancel_ = false;
        return pressed;
    }

private:
    QElapsedTimer pumped_;
    int position_ = 0;  // shown at the next pump
    QPointer<QWidget> owner_;
    std::shared_ptr<int> open_;
    QPointer<QDialog> dialog_;
    QProgressBar* bar_ = nullptr;
    QLabel* percent_ = nullptr;
    bool cancel_ = false;
};

}  // namespace

QtMessageService::QtMessageService(QWidget* owner, std::string programName)
    : owner_(owner), programName_(std::move(programName)) {}

engine::MsgAnswer QtMessageService::Show(const std::string& text, const std::string& caption,
                                         engine::MsgIcon icon, engine::MsgButtons buttons) {
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    QMessageBox::StandardButton fallback = QMessageBox::Ok;
    switch (buttons) {
    case engine::MsgButtons::Ok: break;
    case engine::MsgButtons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case engine::MsgButtons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        fallback = QMessageBox::No;
        break;
    case engine::MsgButtons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        fallback = QMessageBox::Cancel;
        break;
    }
    QMessageBox box(IconOf(icon), Q(caption.empty() ? programName_ : caption), Q(text), set, owner_);
    // Boxes with Yes and No default to No: Enter never replaces a file.
    if (buttons == engine::MsgButtons::YesNo || buttons == engine::MsgButtons::YesNoCancel)
        box.setDefaultButton(QMessageBox::No);
    const int answer = box.exec();
    switch (answer == 0 ? fallback : static_cast<QMessageBox::StandardButton>(answer)) {
    case QMessageBox::Yes: return engine::MsgAnswer::Yes;
    case QMessageBox::No: return engine::MsgAnswer::No;
    case QMessageBox::Cancel: return engine::MsgAnswer::Cancel;
    default: return engine::MsgAnswer::Ok;
    }
}

std::unique_ptr<engine::ProgressView> QtProgressHost::Create() {
    return std::make_unique<QtProgressView>(owner_, open_);
}

void QtWindowHost::SetTitle(const std::string& title) {
    if (window_) window_->setWindowTitle(Q(title));
}

void QtWindowHost::Beep() { QApplication::beep(); }

}  // namespace inspector

#include "engine/EngineContext.h"

namespace inspector {

InstalledQtHosts::InstalledQtHosts(QWidget* window, const std::string& programName)
    : messages_(window, programName), progress_(window), window_(window) {
    engine::Hosts& h = engine::Ctx().hosts;
    h.messages = &messages_;
    h.progress = &progress_;
    h.window = &window_;
}

InstalledQtHosts::~InstalledQtHosts() {
    engine::Hosts& h = engine::Ctx().hosts;
    if (h.messages == &messages_) h.messages = nullptr;
    if (h.progress == &progress_) h.progress = nullptr;
    if (h.window == &window_) h.window = nullptr;
}

}  // namespace inspector
