#include "sheet/HexEdit.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/EngineContext.h"
#include "sheet/Text.h"

namespace inspector {

namespace {

HexEditKey KeyOf(int key) {
    switch (key) {
    case Qt::Key_Backspace:
        return HexEditKey::Backspace;
    case Qt::Key_Delete:
        return HexEditKey::Delete;
    case Qt::Key_Left:
        return HexEditKey::Left;
    case Qt::Key_Right:
        return HexEditKey::Right;
    case Qt::Key_Up:
        return HexEditKey::Up;
    case Qt::Key_Down:
        return HexEditKey::Down;
    default:
        return HexEditKey::Other;
    }
}

void Beep() {
    if (engine::WindowHost* w = engine::Ctx().hosts.window)
        w->Beep();
    else
        QApplication::beep();
}

}  // namespace

HexFieldEdit::HexFieldEdit(CHexEditDialog& dialog, HexField field, QWidget* parent)
    : QLineEdit(parent), dialog_(dialog), field_(field) {
    setDragEnabled(false);
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setMaxLength(field == HexField::Hex ? 48 : 16);
}

void HexFieldEdit::FocusAt(int caret) {
    pendingCaret_ = caret;
    setFocus(Qt::OtherFocusReason);
    setCursorPosition(caret);
}

void HexFieldEdit::keyPressEvent(QKeyEvent* event) {
    if (!dialog_.Key(field_, event)) QLineEdit::keyPressEvent(event);
}

void HexFieldEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    setCursorPosition(pendingCaret_ >= 0 ? pendingCaret_ : 0);
    pendingCaret_ = -1;
}

void HexFieldEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button would paste the selection.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void HexFieldEdit::inputMethodEvent(QInputMethodEvent* event) { event->accept(); }

CHexEditDialog::CHexEditDialog(const std::string& rowText, QWidget* parent)
    : QDialog(parent), rowText_(rowText), state_(HexRowEditState::FromRow(rowText)) {
    setWindowTitle(QStringLiteral("Dialog"));
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    hexEdit = new CHexValuesEdit(*this, this);
    ansiEdit = new CAnsiValuesEdit(*this, this);
    auto* hexLabel = new QLabel(QStringLiteral("&Hex Values:"), this);
    auto* ansiLabel = new QLabel(QStringLiteral("&ANSI Values:"), this);
    hexLabel->setBuddy(hexEdit);
    ansiLabel->setBuddy(ansiEdit);
    grid->addWidget(hexLabel, 0, 0);
    grid->addWidget(hexEdit, 0, 1);
    grid->addWidget(ansiLabel, 1, 0);
    grid->addWidget(ansiEdit, 1, 1);
    outer->addLayout(grid);
    outer->addWidget(
        new QLabel(QStringLiteral("Warning:  When you press \"SAVE\" your changes will be written to disk."), this));
    auto* buttons = new QHBoxLayout;
    saveButton = new QPushButton(QStringLiteral("SAVE"), this);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    saveButton->setDefault(true);
    saveButton->setAutoDefault(true);
    cancelButton->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);
    outer->addLayout(buttons);
    connect(saveButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    SetFieldFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    saveButton->setEnabled(state_.has_value());
    ShowTexts();
    hexEdit->setCursorPosition(0);
    ansiEdit->setCursorPosition(0);
}

void CHexEditDialog::SetFieldFont(const QFont& font) {
    hexEdit->setFont(font);
    ansiEdit->setFont(font);
    const QFontMetrics fm(font);
    hexEdit->setMinimumWidth(fm.horizontalAdvance(QString(48, QLatin1Char('0'))) + 16);
    ansiEdit->setMinimumWidth(fm.horizontalAdvance(QString(16, QLatin1Char('W'))) + 16);
}

std::string CHexEditDialog::RowText() const { return state_ ? state_->RowText() : rowText_; }

HexFieldEdit* CHexEditDialog::Field(HexField field) const {
    return field == HexField::Hex ? static_cast<HexFieldEdit*>(hexEdit) : ansiEdit;
}

void CHexEditDialog::ShowTexts() {
    if (!state_) {
        hexEdit->setEnabled(false);
        ansiEdit->setEnabled(false);
        return;
    }
    hexEdit->setText(QString::fromLatin1(state_->HexText().c_str()));
    ansiEdit->setText(DecodeCp1252Visible(state_->AnsiText()));
}

bool CHexEditDialog::Key(HexField field, QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->ignore();
        return true;
    }
    event->accept();
    // Shortcuts (paste, cut, undo, select all ...) would bypass the rules.
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return true;
    if (!state_) return true;
    HexFieldEdit* edit = Field(field);
    int s = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const HexEditKey k = KeyOf(key);
    const HexEditOutcome o = field == HexField::Hex ? state_->HexKey(s, k) : state_->AnsiKey(s, k);
    if (o.caret >= 0) {
        edit->setCursorPosition(o.caret);
        s = o.caret;
    }
    if (o.focus != HexField::None) Field(o.focus)->FocusAt(o.focusCaret);
    if (o.accepted) return true;

    const QString text = event->text();
    if (k != HexEditKey::Other || text.isEmpty()) return false;  // navigation: the edit's own
    const QChar ch = text.at(0);
    if (ch.unicode() < 0x20) return true;
    HexEditOutcome typed;
    if (field == HexField::Hex) {
        typed = ch.unicode() < 0x80 ? state_->HexChar(s, static_cast<char>(ch.unicode()))
                                    : HexEditOutcome{true, true};
    } else if (const std::optional<uint8_t> byte = EncodeCp1252(ch)) {
        typed = state_->AnsiChar(s, *byte);
    } else {
        typed = HexEditOutcome{true, true};
    }
    if (typed.beep) Beep();
    if (typed.changed) ShowTexts();
    if (typed.caret >= 0) edit->setCursorPosition(typed.caret);
    return true;
}

}  // namespace inspector
