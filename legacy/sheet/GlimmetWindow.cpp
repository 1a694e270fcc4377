#include "legacy/sheet/GlimmetWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "engine/EngineContext.h"
#include "legacy/engine/GlimmetOpen.h"
#include "legacy/sheet/CorruptionPage.h"
#include "legacy/sheet/GlimmetSheetProfile.h"
#include "platform/desktop/Desktop.h"

namespace legacy {

using namespace inspector;

namespace {

engine::MsgAnswer Box(const std::string& text, const char* caption,
                      engine::MsgButtons buttons = engine::MsgButtons::Ok) {
    engine::MessageService* m = engine::Ctx().hosts.messages;
    return m ? m->Show(text, caption, engine::MsgIcon::None, buttons) : engine::MsgAnswer::Cancel;
}

// The words of a command line: blanks part them, double quotes hold blanks
// and a backslash the character after it.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> out;
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '\\' && i + 1 < line.size()) {
            word += line[++i];
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) out.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) out.push_back(word);
    return out;
}

// A field code of a desktop entry's Exec line stands for what the desktop
// would fill in; the page takes its place here.
bool FieldCode(const std::string& word) {
    return word.size() == 2 && word[0] == '%' && std::string_view("fFuUdDnNickvm").find(word[1]) != std::string::npos;
}

}  // namespace

BrowserStart BrowserCommand(const std::string& command, const std::string& page) {
    BrowserStart start;
    std::vector<std::string> words = Words(command);
    for (size_t i = 0; i < words.size(); ++i) {
        if (FieldCode(words[i])) continue;
        std::string w;
        for (size_t k = 0; k < words[i].size(); ++k) {
            w += words[i][k];
            if (words[i][k] == '%' && k + 1 < words[i].size() && words[i][k + 1] == '%') ++k;
        }
        if (start.program.empty() && i == 0)
            start.program = w;
        else
            start.args.push_back(w);
    }
    start.args.push_back(page);
    return start;
}

void LaunchHelpBrowser(desktop::DesktopOpener* opener, desktop::ProgramLauncher* launcher,
                       const std::string& programFolder) {
    const desktop::HtmlHandlerEntry handler = opener ? opener->HtmlHandler() : desktop::HtmlHandlerEntry{};
    if (handler.desktopId.empty()) {
        Box("Netscape not registered", "Error");
        return;
    }
    if (handler.exec.empty()) {
        Box("Netscape not registered with an OPEN key", "Error");
        return;
    }
    std::string command = handler.exec;
    // The program ends with its ".exe"; what follows was the old shell's.
    const size_t exe = command.find(".exe");
    if (exe != std::string::npos) command.resize(exe + 4);
    if (programFolder.empty()) {
        Box(engine::Text(engine::Msg::NoProgramPath), "Error");
        return;
    }
    const std::string page = programFolder + "/A_frntff.htm";
    FILE* f = std::fopen(page.c_str(), "rb");
    if (!f) {
        Box("Coult not find file : " + page, "Error");
        return;
    }
    std::fclose(f);
    const BrowserStart start = BrowserCommand(command, page);
    if (start.program.empty() || !launcher || !launcher->StartDetached(start.program, start.args))
        Box("Could not start the browser : " + start.program, "Error");
}

void ScrambleCommand(CTabSheet& sheet, GlimmetDialogs& dialogs) {
    ScrambleChoice choice;
    if (!dialogs.Scramble(choice)) return;
    if (!choice.mainDocument && !choice.subDocuments) {
        Box("A main document and/or subdocuments must be selected", "Error");
        return;
    }
    if (Box("All document text will be Destroyed.  This is not reversible!.  Do you really want to continue.",
            "WARNING!!!!", engine::MsgButtons::OkCancel) != engine::MsgAnswer::Ok)
        return;
    ScrambleDocument(sheet.Document(), choice.mainDocument, choice.subDocuments);
}

CScrambleDialog::CScrambleDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg146"));
    setWindowTitle(QStringLiteral("Scramble"));
    auto* v = new QVBoxLayout(this);
    for (const char* text :
         {"WARNING!  This cannot be undone!",
          "Convert all simple characters to X's.   This is provided to destroy sensitive information in documents "
          "to useless information.  So the document can be sent  to Tarnwell for debugging purposes.  This will "
          "leave all other formatting infomation unchanged."}) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setWordWrap(true);
        v->addWidget(l);
    }
    mainDocument = new QCheckBox(QStringLiteral("Include main document"), this);
    mainDocument->setObjectName(QStringLiteral("chk1050"));
    subDocuments = new QCheckBox(QStringLiteral("Include subdocuments (text boxes, headers, etc.)"), this);
    subDocuments->setObjectName(QStringLiteral("chk1051"));
    mainDocument->setChecked(choice.mainDocument);
    subDocuments->setChecked(choice.subDocuments);
    v->addWidget(mainDocument);
    v->addWidget(subDocuments);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("Destroy sensitive data!"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    row->addWidget(ok);
    row->addWidget(cancel);
    v->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(440, 0);
}

void CScrambleDialog::accept() {
    choice.mainDocument = mainDocument->isChecked();
    choice.subDocuments = subDocuments->isChecked();
    QDialog::accept();
}

bool QtGlimmetDialogs::Scramble(ScrambleChoice& choice) {
    CScrambleDialog d(owner_);
    if (d.exec() != QDialog::Accepted) return false;
    choice = d.choice;
    return true;
}

GlimmetWindow::GlimmetWindow(SheetDialogs* dialogs, CommandDialogs* commandDialogs, GlimmetDialogs* glimmetDialogs,
                             QWidget* parent)
    : SheetWindow(GlimmetSheetProfile(), dialogs, commandDialogs, parent,
                  [](int role, CTabSheet& sheet, SheetDialogs&, QWidget* tabs) -> PageWidget* {
                      if (role == kInfoPage) return new CCorruptionPage(sheet, tabs);
                      return nullptr;
                  }),
      glimmetDialogs_(glimmetDialogs) {
    if (!glimmetDialogs_) {
        ownGlimmetDialogs_ = std::make_unique<QtGlimmetDialogs>(this);
        glimmetDialogs_ = ownGlimmetDialogs_.get();
    }
    CommandServices& services = commands().Services();
    services.scramble = [this] { ScrambleCommand(sheet(), *glimmetDialogs_); };
    services.fileFormat = [this] {
        const CommandServices& s = commands().Services();
        LaunchHelpBrowser(s.opener, launcher, s.programFolder ? s.programFolder() : std::string());
    };
}

GlimmetWindow::~GlimmetWindow() = default;

CCorruptionPage* GlimmetWindow::corruptionPage() const { return qobject_cast<CCorruptionPage*>(page(kInfoPage)); }

}  // namespace legacy
