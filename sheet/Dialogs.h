#pragma once
// The main window's small modal dialogs: the batch tip and the batch run,
// the print selection, Search, Scramble, Extract, the Help tips and About.
// Controls carry their ids as object names ("chk1085", "cmb1047"); boxes
// and radios act on clicked, so setting them from code changes nothing.

#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "sheet/Commands.h"
#include "sheet/ListOutput.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace inspector {

struct SheetProfile;

class CBatchTipDialog : public QDialog {
    Q_OBJECT
public:
    explicit CBatchTipDialog(QWidget* parent = nullptr);
    bool dontShowAgain = false;  // 1084, read at OK
    QCheckBox* dontShow = nullptr;
    QPushButton* ok = nullptr;
};

class CBatchDialog : public QDialog {
    Q_OBJECT
public:
    explicit CBatchDialog(QWidget* parent = nullptr);
    void accept() override;

    BatchChoice choice;
    QCheckBox* listCorruption = nullptr;    // 1085
    QCheckBox* repairCorruption = nullptr;  // 1086
    QCheckBox* removeUndo = nullptr;        // 1087
    QCheckBox* removeStyles = nullptr;      // 1088
    QRadioButton* replace = nullptr;        // 1114
    QRadioButton* copy = nullptr;           // 1115
    QLabel* warning = nullptr;              // 1116
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;

private:
    void ReadControls();
    void RepairClicked();
};

class CPrintSetupDialog : public QDialog {
    Q_OBJECT
public:
    CPrintSetupDialog(const PrintChoice& initial, QWidget* parent = nullptr,
                      const PrintLayout& layout = SalvinoPrintLayout());
    void accept() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    PrintChoice choice;
    QComboBox* pointSize = nullptr;  // 1047
    // Every check box by its id.
    std::map<int, QCheckBox*> boxes;
    QCheckBox* Box(int id) const { return boxes.at(id); }
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;

private:
    void ReadControls();
    // A typed size out of 2..24 goes back to item 3 when the box is left.
    void PointSizeLeft();
    const PrintLayout& layout_;
};

class CSearchDialog : public QDialog {
    Q_OBJECT
public:
    CSearchDialog(const SearchChoice& initial, const char* caption, QWidget* parent = nullptr);
    void accept() override;

    SearchChoice choice;
    QRadioButton* current = nullptr;  // 1053
    QRadioButton* top = nullptr;      // 1054
    QCheckBox* caseBox = nullptr;     // 1055
    QLineEdit* text = nullptr;        // 1056
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

// Scramble (146) and Extract Text (153): an output name, Browse and OK.
class COutputDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Scramble, Extract };
    COutputDialog(Kind kind, const std::string& name, OutputCheck check, QWidget* parent = nullptr);
    void accept() override;

    std::string outputName;
    // The Open dialog of Browse; none on Cancel.
    std::function<std::optional<std::string>()> browse;
    QLineEdit* name = nullptr;  // 1106 or 1091
    QPushButton* browseButton = nullptr;  // 1066
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;

private:
    void Browse();
    OutputCheck check_;
};

class CHelpTipsDialog : public QDialog {
    Q_OBJECT
public:
    CHelpTipsDialog(const SheetProfile& profile, QWidget* parent = nullptr);
    QPushButton* ok = nullptr;
};

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    CAboutDialog(const SheetProfile& profile, QWidget* parent = nullptr);
    QPushButton* ok = nullptr;
};

// The font of a font dialog as the settings keep it, and back.
LogFont LogFontOf(const QFont& font);

class QtCommandDialogs : public CommandDialogs {
public:
    // `common`: the window's file and print dialogs.
    QtCommandDialogs(QWidget* owner, SheetDialogs& common, const SheetProfile& profile)
        : owner_(owner), common_(common), profile_(profile) {}
    std::vector<std::string> OpenFileNames(uint32_t* filterIndex) override;
    bool BatchTip() override;
    bool Batch(BatchChoice& choice) override;
    bool PrintSetup(PrintChoice& choice) override;
    bool Print(int pointSize, const std::vector<std::function<void()>>& parts,
               const std::function<bool()>& keepPrinting) override;
    bool Search(SearchChoice& choice) override;
    bool Scramble(std::string& name, const OutputCheck& check) override;
    bool Extract(std::string& name, const OutputCheck& check) override;
    std::optional<LogFont> ChooseFont(const std::optional<LogFont>& current) override;
    void HelpTips() override;
    void About() override;

private:
    bool RunOutput(COutputDialog::Kind kind, std::string& name, const OutputCheck& check);

    QWidget* owner_;
    SheetDialogs& common_;
    const SheetProfile& profile_;
};

}  // namespace inspector
