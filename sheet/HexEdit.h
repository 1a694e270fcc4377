#pragma once
// The hex row editor: one dump row of up to 16 bytes, as hex pairs and as
// characters, kept in step. Thin line edits hand every key to
// HexRowEditState; the dialog touches no file.

#include <QDialog>
#include <QLineEdit>
#include <optional>
#include <string>

#include "sheet/HexRowEdit.h"

class QLabel;
class QPushButton;

namespace inspector {

class CHexEditDialog;

// A line edit that lets the editor's rules decide every key: no paste, cut,
// undo, drag or context menu; Return and Escape go on to the dialog.
class HexFieldEdit : public QLineEdit {
    Q_OBJECT
public:
    HexFieldEdit(CHexEditDialog& dialog, HexField field, QWidget* parent);
    // Focus with the caret at `caret` (a focus from elsewhere starts at 0).
    void FocusAt(int caret);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    CHexEditDialog& dialog_;
    HexField field_;
    int pendingCaret_ = -1;
};

class CHexValuesEdit : public HexFieldEdit {
    Q_OBJECT
public:
    CHexValuesEdit(CHexEditDialog& dialog, QWidget* parent) : HexFieldEdit(dialog, HexField::Hex, parent) {}
};

class CAnsiValuesEdit : public HexFieldEdit {
    Q_OBJECT
public:
    CAnsiValuesEdit(CHexEditDialog& dialog, QWidget* parent) : HexFieldEdit(dialog, HexField::Ansi, parent) {}
};

class CHexEditDialog : public QDialog {
    Q_OBJECT
public:
    // `rowText`: a dump row after its offset column. A text that is no row
    // of 1 to 16 bytes leaves SAVE disabled.
    explicit CHexEditDialog(const std::string& rowText, QWidget* parent = nullptr);

    // The row text as edited (as given until something changed).
    std::string RowText() const;
    const std::optional<HexRowEditState>& State() const { return state_; }

    // The fields' own fonts: the list font, else the fixed system font.
    void SetFieldFont(const QFont& font);

    CHexValuesEdit* hexEdit = nullptr;    // "&Hex Values:"
    CAnsiValuesEdit* ansiEdit = nullptr;  // "&ANSI Values:"
    QPushButton* saveButton = nullptr;
    QPushButton* cancelButton = nullptr;

private:
    friend class HexFieldEdit;
    // What a key in `field` does; false lets the line edit handle it.
    bool Key(HexField field, QKeyEvent* event);
    void ShowTexts();
    HexFieldEdit* Field(HexField field) const;

    std::string rowText_;
    std::optional<HexRowEditState> state_;
};

}  // namespace inspector
