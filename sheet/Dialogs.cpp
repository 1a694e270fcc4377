#include "sheet/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "engine/EngineContext.h"
#include "sheet/ListOutput.h"
#include "sheet/Pages.h"
#include "sheet/SheetProfile.h"
#include "sheet/Text.h"

namespace inspector {

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

void ShowBox(const std::string& text) {
    if (engine::MessageService* m = engine::Ctx().hosts.messages)
        m->Show(text, "", engine::MsgIcon::None, engine::MsgButtons::Ok);
}

QLabel* Text(QWidget* parent, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

template <typename T>
T* Named(T* w, const char* name) {
    w->setObjectName(L(name));
    return w;
}

QPushButton* Button(QWidget* parent, const char* text, const char* name) {
    return Named(new QPushButton(L(text), parent), name);
}

// OK (with its own label) and Cancel, right-aligned.
QHBoxLayout* OkCancel(QDialog* d, const char* okText, QPushButton** ok, QPushButton** cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    *ok = Button(d, okText, "IDOK");
    (*ok)->setDefault(true);
    row->addWidget(*ok);
    if (cancel) {
        *cancel = Button(d, "Cancel", "IDCANCEL");
        row->addWidget(*cancel);
        QObject::connect(*cancel, &QPushButton::clicked, d, &QDialog::reject);
    }
    QObject::connect(*ok, &QPushButton::clicked, d, &QDialog::accept);
    return row;
}

}  // namespace

CBatchTipDialog::CBatchTipDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(L("dlg151"));
    setWindowTitle(L("For your information"));
    auto* v = new QVBoxLayout(this);
    v->addWidget(Text(this, L("Did you know that you can select multiple Quillwright documents and have GLIMMET run "
                              "CORRUPTION TESTING and/or REPAIRING on the entire group of files?  And it will "
                              "optionally save the details to a log file.")));
    v->addWidget(Text(this, L("To do this, select your first document, then use SHIFT click to select a range of "
                              "files, of use CTRL click to add (or remove) individual files to the list.")));
    dontShow = Named(new QCheckBox(L("Don't show me this message again!"), this), "chk1084");
    v->addWidget(dontShow);
    v->addLayout(OkCancel(this, "OK", &ok, nullptr));
    connect(dontShow, &QCheckBox::clicked, this, [this] { dontShowAgain = dontShow->isChecked(); });
    resize(420, 0);
}

CBatchDialog::CBatchDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(L("dlg152"));
    setWindowTitle(L("Batch process Quillwright documents"));
    auto* v = new QVBoxLayout(this);
    auto* info = new QGroupBox(L("Information"), this);
    auto* iv = new QVBoxLayout(info);
    listCorruption = Named(new QCheckBox(L("List all corruption errors in the documents"), info), "chk1085");
    iv->addWidget(listCorruption);
    v->addWidget(info);

    auto* repair = new QGroupBox(L("Repair"), this);
    auto* rv = new QVBoxLayout(repair);
    repairCorruption = Named(new QCheckBox(L("Repair Corruption"), repair), "chk1086");
    removeUndo = Named(new QCheckBox(L("Remove UNDO Information"), repair), "chk1087");
    removeStyles =
        Named(new QCheckBox(L("Remove Unused Styles  (WARNING, don't do this on templates)"), repair), "chk1088");
    for (QCheckBox* b : {repairCorruption, removeUndo, removeStyles}) rv->addWidget(b);
    v->addWidget(repair);

    auto* where = new QGroupBox(L("Repaired File Location"), this);
    auto* wv = new QVBoxLayout(where);
    replace = Named(new QRadioButton(L("Replace existing files!"), where), "rad1114");
    copy = Named(new QRadioButton(L("Copy and process files to subdirectory \"QW_FIXED\""), where), "rad1115");
    warning = Named(Text(where, L("WARNING!   You will NOT be prompted when overwriting your original files.  "
                                  "Please backup your files BEFORE proceeding!")),
                    "txt1116");
    wv->addWidget(replace);
    wv->addWidget(copy);
    wv->addWidget(warning);
    v->addWidget(where);
    v->addLayout(OkCancel(this, "OK", &ok, &cancel));

    copy->setChecked(true);
    listCorruption->setChecked(choice.listCorruption);
    for (QWidget* w : std::initializer_list<QWidget*>{copy, replace, warning}) w->setEnabled(false);
    for (QCheckBox* b : {repairCorruption, removeUndo, removeStyles})
        connect(b, &QCheckBox::clicked, this, &CBatchDialog::RepairClicked);
    resize(460, 0);
}

void CBatchDialog::ReadControls() {
    choice.listCorruption = listCorruption->isChecked();
    choice.repairCorruption = repairCorruption->isChecked();
    choice.removeUndo = removeUndo->isChecked();
    choice.removeStyles = removeStyles->isChecked();
}

void CBatchDialog::RepairClicked() {
    ReadControls();
    const bool any = choice.AnyRepair();
    for (QWidget* w : std::initializer_list<QWidget*>{copy, replace, warning}) w->setEnabled(any);
}

void CBatchDialog::accept() {
    ReadControls();
    if (!choice.listCorruption && !choice.AnyRepair()) {
        ShowBox("Nothing to do.  Must select either List Corruption and/or Repair Corruption");
        return;
    }
    choice.replace = choice.AnyRepair() && replace->isChecked();
    QDialog::accept();
}

namespace {

constexpr PrintBox kRepairBoxes[] = {{1036, "Log File", &PrintChoice::log}};
constexpr PrintBox kInfoBoxes[] = {{1033, engine::SharedText(engine::Msg::CorruptionSummary), &PrintChoice::corruption}};
constexpr PrintBox kFormatBoxes[] = {
    {1006, "General Information / Docfile Directory Information", &PrintChoice::format}};
constexpr PrintBox kPrefixBoxes[] = {
    {1032, engine::SharedText(engine::Msg::PrefixSummary), &PrintChoice::prefixSummary},
    {1031, "Selected Prefix In Detail", &PrintChoice::prefixSelected},
    {1038, "All (Filtered) packets in Detail", &PrintChoice::prefixAll},
    {1009, engine::SharedText(engine::Msg::PrintInHex), &PrintChoice::prefixHex}};
constexpr PrintBox kCodesBoxes[] = {
    {1030, engine::SharedText(engine::Msg::PrintSummary), &PrintChoice::codesSummary},
    {1029, engine::SharedText(engine::Msg::PrintSelected), &PrintChoice::codesSelected},
    {1037, engine::SharedText(engine::Msg::PrintAllDetail), &PrintChoice::codesAll},
    {1092, engine::SharedText(engine::Msg::PrintInHex), &PrintChoice::codesHex}};
constexpr PrintBox kSubBoxes[] = {
    {1035, engine::SharedText(engine::Msg::PrintSummary), &PrintChoice::subSummary},
    {1034, engine::SharedText(engine::Msg::PrintSelected), &PrintChoice::subSelected},
    {1041, engine::SharedText(engine::Msg::PrintAllDetail), &PrintChoice::subAll},
    {1040, engine::SharedText(engine::Msg::PrintInHex), &PrintChoice::subHex}};
constexpr PrintGroup kPrintGroups[] = {
    {engine::SharedText(engine::Msg::RepairDocument), kRepairBoxes}, {"Information", kInfoBoxes}, {"Format", kFormatBoxes},
    {"Prefix", kPrefixBoxes},          {"Codes", kCodesBoxes},      {engine::SharedText(engine::Msg::SubDocument), kSubBoxes},
};
// Selected and all clear each other in the code groups; all packets
// clears the selected packet, not the reverse.
constexpr std::pair<int, int> kPrintClears[] = {{1029, 1037}, {1037, 1029}, {1034, 1041}, {1041, 1034}, {1038, 1031}};
constexpr int kPrintOrder[] = {kRepairPage, kInfoPage, kFormatPage, kPrefixPage, kCodesPage, kSubDocPage};

}  // namespace

const PrintLayout& SalvinoPrintLayout() {
    static const PrintLayout layout{kPrintGroups, kPrintClears, kPrintOrder, true, true};
    return layout;
}

const PrintLayout& PrintLayoutOf(const SheetProfile& profile) {
    return profile.print ? *profile.print : SalvinoPrintLayout();
}

CPrintSetupDialog::CPrintSetupDialog(const PrintChoice& initial, QWidget* parent, const PrintLayout& layout)
    : QDialog(parent), choice(initial), layout_(layout) {
    setObjectName(L("dlg137"));
    setWindowTitle(L("Print Setup"));
    auto* v = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(L("Select Items To Print"), this));
    top->addStretch(1);
    auto* sizeLabel = new QLabel(L("Font point size:"), this);
    pointSize = Named(new QComboBox(this), "cmb1047");
    pointSize->setEditable(true);
    pointSize->setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : {"6", "7", "8", "9", "10", "11", "12"}) pointSize->addItem(L(item));
    pointSize->setCurrentIndex(3);
    pointSize->lineEdit()->installEventFilter(this);
    sizeLabel->setBuddy(pointSize);
    top->addWidget(sizeLabel);
    top->addWidget(pointSize);
    v->addLayout(top);

    auto* grid = new QGridLayout;
    int at = 0;
    for (const PrintGroup& g : layout_.groups) {
        auto* group = new QGroupBox(L(g.title), this);
        auto* gv = new QVBoxLayout(group);
        for (const PrintBox& r : g.boxes) {
            auto* b = new QCheckBox(L(r.text), group);
            b->setObjectName(QStringLiteral("chk%1").arg(r.id));
            b->setChecked(r.member && choice.*r.member);
            b->setEnabled(r.enabled);
            gv->addWidget(b);
            boxes[r.id] = b;
        }
        gv->addStretch(1);
        grid->addWidget(group, at / 2, at % 2);
        ++at;
    }
    v->addLayout(grid);
    v->addLayout(OkCancel(this, "Print", &ok, &cancel));

    for (const auto& [from, to] : layout_.clears) {
        QCheckBox* other = boxes.at(to);
        connect(boxes.at(from), &QCheckBox::clicked, this, [other](bool on) {
            if (on) other->setChecked(false);
        });
    }
}

bool CPrintSetupDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pointSize->lineEdit() && event->type() == QEvent::FocusOut) PointSizeLeft();
    return QDialog::eventFilter(watched, event);
}

void CPrintSetupDialog::PointSizeLeft() {
    if (pointSize->findText(pointSize->currentText()) >= 0) return;
    bool ok = false;
    const int v = pointSize->currentText().trimmed().toInt(&ok);
    if (!ok || v < 2 || v > 24) pointSize->setCurrentIndex(3);
}

void CPrintSetupDialog::ReadControls() {
    for (const PrintGroup& g : layout_.groups)
        for (const PrintBox& r : g.boxes)
            if (r.member) choice.*r.member = boxes.at(r.id)->isChecked();
    const int item = pointSize->findText(pointSize->currentText());
    choice.pointSize = PrintPointSize(item, pointSize->currentText().trimmed().toStdString());
}

void CPrintSetupDialog::accept() {
    ReadControls();
    if (layout_.needsPart && !choice.AnyPart()) {
        ShowBox("Nothing selected to print.  Please select something.");
        return;
    }
    QDialog::accept();
}

CSearchDialog::CSearchDialog(const SearchChoice& initial, const char* caption, QWidget* parent)
    : QDialog(parent), choice(initial) {
    setObjectName(L("dlg147"));
    setWindowTitle(L(caption));
    auto* v = new QVBoxLayout(this);
    auto* from = new QGroupBox(L("Start search from:"), this);
    auto* fv = new QVBoxLayout(from);
    current = Named(new QRadioButton(L("Current Position"), from), "rad1053");
    top = Named(new QRadioButton(L("Top of File"), from), "rad1054");
    fv->addWidget(current);
    fv->addWidget(top);
    v->addWidget(from);
    caseBox = Named(new QCheckBox(L("Case Sensitive"), this), "chk1055");
    caseBox->setChecked(choice.caseSensitive);
    v->addWidget(caseBox);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(L("Find what:"), this);
    text = Named(new QLineEdit(this), "edt1056");
    label->setBuddy(text);
    row->addWidget(label);
    row->addWidget(text, 1);
    v->addLayout(row);
    v->addLayout(OkCancel(this, "OK", &ok, &cancel));

    current->setChecked(true);
    choice.fromCurrent = true;
    text->setText(QString::fromStdString(choice.text));
    text->setFocus();
    connect(current, &QRadioButton::clicked, this, [this] { choice.fromCurrent = current->isChecked(); });
    connect(top, &QRadioButton::clicked, this, [this] { choice.fromCurrent = !top->isChecked(); });
    resize(380, 0);
}

void CSearchDialog::accept() {
    choice.caseSensitive = caseBox->isChecked();
    // Kept as typed: the command makes the engine's single bytes of it.
    choice.text = text->text().toStdString();
    QDialog::accept();
}

COutputDialog::COutputDialog(Kind kind, const std::string& initial, OutputCheck check, QWidget* parent)
    : QDialog(parent), outputName(initial), check_(std::move(check)) {
    const bool scramble = kind == Kind::Scramble;
    auto* v = new QVBoxLayout(this);
    if (scramble) {
        setObjectName(L("dlg146"));
        setWindowTitle(L("Scramble"));
        v->addWidget(Text(this, L("WARNING!  This cannot be undone!  The Output file name must be different from the "
                                  "source file name.")));
        v->addWidget(Text(this, L("Convert all simple characters to 'X's.   This is provided to convert all sensitive "
                                  "information in documents to useless information.  So the document can be sent  to "
                                  "Tarnwell for debugging purposes.  This will leave all other formatting infomation "
                                  "unchanged.")));
        v->addWidget(Text(this, L("Note: this function does NOT alter graphics or OLE server information.")));
    } else {
        setObjectName(L("dlg153"));
        setWindowTitle(L(engine::Text(engine::Msg::ExtractTextTitle)));
        v->addWidget(Text(this, L("Extract Text - will scan thru corrupt documents and try to find all the ASCII "
                                  "text, including text in headers, footers, etc.  And copy just the ASCII text to "
                                  "an ASCII file.  This will allow you to attempt to recover otherwise "
                                  "non-repairable documents.")));
    }
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(L(scramble ? "Output File Name:" : "Output file:"), this);
    name = Named(new QLineEdit(PathText(initial), this), scramble ? "edt1106" : "edt1091");
    label->setBuddy(name);
    browseButton = Button(this, scramble ? "Browse..." : "Browse ...", "btn1066");
    row->addWidget(label);
    row->addWidget(name, 1);
    row->addWidget(browseButton);
    v->addLayout(row);
    v->addLayout(OkCancel(this, scramble ? "Remove sensitive data!" : engine::Text(engine::Msg::ExtractTextTitle), &ok, &cancel));
    connect(browseButton, &QPushButton::clicked, this, &COutputDialog::Browse);
    resize(480, 0);
}

void COutputDialog::Browse() {
    if (!browse) return;
    const std::optional<std::string> chosen = browse();
    if (!chosen || !check_(*chosen, true)) return;
    outputName = *chosen;
    name->setText(PathText(outputName));
}

void COutputDialog::accept() {
    outputName = PathBytes(name->text());
    if (!check_(outputName, false)) return;
    QDialog::accept();
}

CHelpTipsDialog::CHelpTipsDialog(const SheetProfile& profile, QWidget* parent) : QDialog(parent) {
    setObjectName(L("dlg139"));
    setWindowTitle(L("Help"));
    auto* v = new QVBoxLayout(this);
    for (const char* tip :
         {profile.helpFirstTip,
          "1) Double-click any underlined object title  to display the definition  of that object.",
          "2) A Filter list is provided to let  you view a subset of the document contents.  Just go to the Filter "
          "tab and select the elements you want to display, then check the Filter box on the  Codes Tab.",
          "Note: When you uncheck the Filter check box, your last selected item remains selected to  let you see "
          "the unfiltered codes that were around your selected code.",
          "3) On the Codes page, if you check \"Hex\", you can now double-click on the hex display and EDIT the "
          "contents, but you cannot change the record length.",
          "4) You can double-click the underlined  Prefix subdocuments and QWG images to display that subdocument  "
          "or image in a new \"Codes\"  window."})
        v->addWidget(Text(this, L(tip)));
    v->addLayout(OkCancel(this, "OK", &ok, nullptr));
    resize(480, 0);
}

CAboutDialog::CAboutDialog(const SheetProfile& profile, QWidget* parent) : QDialog(parent) {
    setObjectName(L("dlg100"));
    setWindowTitle(L(profile.aboutCaption));
    auto* h = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    h->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(new QLabel(L(profile.aboutProduct), this));
    texts->addWidget(new QLabel(L(profile.aboutVersion), this));
    h->addLayout(texts, 1);
    auto* v = new QVBoxLayout(this);
    v->addLayout(h);
    v->addLayout(OkCancel(this, "OK", &ok, nullptr));
}

LogFont LogFontOf(const QFont& font) {
    LogFont f;
    f.height = -QFontInfo(font).pixelSize();
    f.weight = font.weight();
    f.italic = font.italic() ? 1 : 0;
    f.underline = font.underline() ? 1 : 0;
    f.strikeOut = font.strikeOut() ? 1 : 0;
    f.faceName = font.family().toLatin1().left(31).toStdString();
    return f;
}

std::vector<std::string> QtCommandDialogs::OpenFileNames(uint32_t* filterIndex) {
    return RunOpenDialog(owner_, filterIndex, profile_.batch, profile_.openFilters);
}

bool QtCommandDialogs::BatchTip() {
    CBatchTipDialog d(owner_);
    d.exec();
    return d.dontShowAgain;
}

bool QtCommandDialogs::Batch(BatchChoice& choice) {
    CBatchDialog d(owner_);
    if (d.exec() != QDialog::Accepted) return false;
    choice = d.choice;
    return true;
}

bool QtCommandDialogs::PrintSetup(PrintChoice& choice) {
    CPrintSetupDialog d(choice, owner_, PrintLayoutOf(profile_));
    if (d.exec() != QDialog::Accepted) return false;
    choice = d.choice;
    return true;
}

bool QtCommandDialogs::Print(int pointSize, const std::vector<std::function<void()>>& parts,
                             const std::function<bool()>& keepPrinting) {
    return PrintWithDialog(common_, profile_, pointSize, parts, keepPrinting) == PrintResult::Printed;
}

bool QtCommandDialogs::Search(SearchChoice& choice) {
    CSearchDialog d(choice, profile_.searchCaption, owner_);
    if (d.exec() != QDialog::Accepted) return false;
    choice = d.choice;
    return true;
}

bool QtCommandDialogs::RunOutput(COutputDialog::Kind kind, std::string& name, const OutputCheck& check) {
    COutputDialog d(kind, name, check, owner_);
    d.browse = [this]() -> std::optional<std::string> {
        QFileDialog dialog(owner_);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters({QStringLiteral("All Files (*.*)")});
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return PathBytes(dialog.selectedFiles().first());
    };
    if (d.exec() != QDialog::Accepted) return false;
    name = d.outputName;
    return true;
}

bool QtCommandDialogs::Scramble(std::string& name, const OutputCheck& check) {
    return RunOutput(COutputDialog::Kind::Scramble, name, check);
}

bool QtCommandDialogs::Extract(std::string& name, const OutputCheck& check) {
    return RunOutput(COutputDialog::Kind::Extract, name, check);
}

std::optional<LogFont> QtCommandDialogs::ChooseFont(const std::optional<LogFont>& current) {
    SheetSettings s;
    s.listFont = current;
    const QFont start = ListFontOf(s).value_or(QFont());
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, owner_);
    if (!ok) return std::nullopt;
    return LogFontOf(chosen);
}

void QtCommandDialogs::HelpTips() {
    CHelpTipsDialog d(profile_, owner_);
    d.exec();
}

void QtCommandDialogs::About() {
    CAboutDialog d(profile_, owner_);
    d.exec();
}

}  // namespace inspector
