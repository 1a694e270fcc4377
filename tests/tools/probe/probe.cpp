// probe [options] ENTRYPOINT FILE [ARG...]: runs one engine entry point on a
// file with recording doubles and prints what it produced, one record a line.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/ShapeNames.h"
#include "legacy/engine/GlimmetProfile.h"
#include "tests/tools/probe/Probe.h"

#include <unistd.h>

namespace probe {

namespace {
std::vector<EntryPoint>& EntryTable() {
    static std::vector<EntryPoint> table;
    return table;
}
std::vector<AfterPrinter>& AfterTable() {
    static std::vector<AfterPrinter> table;
    return table;
}
}  // namespace

engine::DocFile* ProbeEnv::OpenLogged(const std::string& path, engine::FileHeader* header) {
    engine::FileHeader own;
    int readOnly = 0;
    int verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, header ? header : &own, &readOnly, &verdict);
    if (!f) Log(engine::Format("not opened, verdict %d", verdict));
    return f;
}

Registrar::Registrar(const EntryPoint& entry) { EntryTable().push_back(entry); }
AfterRegistrar::AfterRegistrar(const AfterPrinter& printer) { AfterTable().push_back(printer); }
const std::vector<EntryPoint>& EntryPoints() { return EntryTable(); }
const std::vector<AfterPrinter>& AfterPrinters() { return AfterTable(); }

ProbeEnv::ProbeEnv(Options o) : options(std::move(o)) {
    ctx.messages.fallback = options.answer;
    ctx.progress.cancelAfterSteps = options.cancelAfterSteps;
    engine::Ctx().sink.highlighted = options.highlighted;
}

engine::ListTarget* ProbeEnv::Target() {
    const std::string& t = options.target;
    if (t == "list") return &ctx.list;
    if (t == "default") return &ctx.defaultList;
    if (t == "detail") return &ctx.detail;
    if (t == "log") return &ctx.logList;
    if (t == "silent") return engine::SilentTarget();
    return engine::kNoTarget;
}

int64_t ProbeEnv::ParseInt(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    // Hex only with 0x: a leading zero is not octal here.
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    const long long v = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (text.empty() || *end != '\0' || errno == ERANGE)
        throw UsageError("not a number: " + text);
    return v;
}

namespace {

// Demo entry point: the shape name of a shape id.
int RunLookupShapeName(ProbeEnv& env, const Args& args) {
    if (args.size() != 1) throw UsageError("LookupShapeName takes one shape id");
    const int64_t id = ProbeEnv::ParseInt(args[0]);
    if (id < INT32_MIN || id > INT32_MAX) throw UsageError("shape id out of range: " + args[0]);
    char name[80];
    const int found = engine::LookupShapeName(static_cast<int32_t>(id), name, sizeof name);
    if (found) env.Log(name);
    return found;
}
PROBE_ENTRY_POINT_NO_FILE(LookupShapeName, "ID", RunLookupShapeName);

void Help(FILE* out) {
    std::fputs(
        "usage: probe [options] ENTRYPOINT FILE [ARG...]\n"
        "Runs one engine entry point with recording doubles and prints, one record a line:\n"
        "  L TARGET TAG TEXT   a line added to list|default|detail|tree|print|log (TAG 8 hex digits;\n"
        "                      tree: the parent item; print: the page, bit 31 when framed)\n"
        "  D TARGET            the target's last line was removed\n"
        "  T TEXT              the main window title was set\n"
        "  B CAPTION|TEXT -> ANSWER   a message box and the answer given\n"
        "  P CAPTION           a progress dialog was created\n"
        "  R VALUE             the entry point's result\n"
        "  E/X/F ...           packet table, range list, reference table rows, in hex\n"
        "  K BLOCK SIZE OFFSET OWNER   a filled text-block table entry, in hex (--text-blocks)\n"
        "Text is raw bytes with CR, LF and backslash written as \\r, \\n and \\\\.\n"
        "options:\n"
        "  --answer yes|no|cancel   answer to every message box (default yes)\n"
        "  --mode 263|264           hex or decoded listing (default 264)\n"
        "  --group-mask N           code group mask (default 0xFFFFFFFF)\n"
        "  --class-mask N           code class mask (default 0x7FFFFFFF)\n"
        "  --masks GROUP:CLASS      both masks at once\n"
        "  --target NAME            list|default|detail|log|silent|none (default list)\n"
        "  --print                  lines go to a recording printer\n"
        "  --page-height N          printed page height (default 1000)\n"
        "  --line-height N          printed line height (default 10)\n"
        "  --highlight N            highlighted item data while printing\n"
        "  --cancel-after N         press Cancel after N progress steps\n"
        "  --no-after               no packet-table and other after-operation records\n"
        "  --text-blocks            the text-block tables after the operation\n"
        "  --out FILE               keep the entry point's output file as FILE\n"
        "  --profile NAME           salvino|glimmet: the dialect the run installs (default salvino)\n"
        "  --help                   this text\n"
        "entry points:\n",
        out);
    for (const EntryPoint& e : EntryPoints())
        std::fprintf(out, "  %s%s%s%s\n", e.name, e.needsFile ? " FILE" : "", *e.usage ? " " : "",
                     e.usage);
}

int Usage(const char* message) {
    std::fprintf(stderr, "probe: %s\n", message);
    Help(stderr);
    return 2;
}

}  // namespace

int Main(int argc, char** argv) {
    Options o;
    int i = 1;
    try {
        for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
            const std::string opt = argv[i];
            if (opt == "--help") {
                Help(stdout);
                return 0;
            }
            auto value = [&]() -> std::string {
                if (i + 1 >= argc) throw UsageError(opt + " needs a value");
                return argv[++i];
            };
            if (opt == "--answer") {
                const std::string v = value();
                using D = testsupport::RecordingMessages::Default;
                if (v == "yes") o.answer = D::Yes;
                else if (v == "no") o.answer = D::No;
                else if (v == "cancel") o.answer = D::Cancel;
                else throw UsageError("--answer takes yes, no or cancel");
            } else if (opt == "--mode") {
                o.mode = static_cast<int>(ProbeEnv::ParseInt(value()));
                if (o.mode != 263 && o.mode != 264) throw UsageError("--mode takes 263 or 264");
            } else if (opt == "--group-mask") {
                o.groupMask = static_cast<uint32_t>(ProbeEnv::ParseInt(value()));
            } else if (opt == "--class-mask") {
                o.classMask = static_cast<uint32_t>(ProbeEnv::ParseInt(value()));
            } else if (opt == "--masks") {
                const std::string v = value();
                const size_t colon = v.find(':');
                if (colon == std::string::npos) throw UsageError("--masks takes GROUP:CLASS");
                o.groupMask = static_cast<uint32_t>(ProbeEnv::ParseInt(v.substr(0, colon)));
                o.classMask = static_cast<uint32_t>(ProbeEnv::ParseInt(v.substr(colon + 1)));
            } else if (opt == "--target") {
                o.target = value();
                static const char* const known[] = {"list", "default", "detail", "log", "silent", "none"};
                bool ok = false;
                for (const char* k : known) ok = ok || o.target == k;
                if (!ok) throw UsageError("unknown target: " + o.target);
            } else if (opt == "--print") {
                o.print = true;
            } else if (opt == "--page-height") {
                o.pageHeight = static_cast<int>(ProbeEnv::ParseInt(value()));
            } else if (opt == "--line-height") {
                o.lineHeight = static_cast<int>(ProbeEnv::ParseInt(value()));
                if (o.lineHeight <= 0) throw UsageError("--line-height must be positive");
            } else if (opt == "--highlight") {
                o.highlighted = static_cast<uint32_t>(ProbeEnv::ParseInt(value()));
            } else if (opt == "--cancel-after") {
                o.cancelAfterSteps = static_cast<int>(ProbeEnv::ParseInt(value()));
            } else if (opt == "--no-after") {
                o.noAfter = true;
            } else if (opt == "--text-blocks") {
                o.textBlocks = true;
            } else if (opt == "--profile") {
                o.profile = value();
                if (o.profile != "salvino" && o.profile != "glimmet")
                    throw UsageError("--profile takes salvino or glimmet");
            } else if (opt == "--out") {
                o.out = value();
                // Entry points may change folders; the name is the caller's.
                if (!o.out.empty() && o.out[0] != '/') {
                    char cwd[4096];
                    if (getcwd(cwd, sizeof cwd)) o.out = std::string(cwd) + "/" + o.out;
                }
            } else {
                throw UsageError("unknown option " + opt);
            }
        }
    } catch (const UsageError& e) {
        return Usage(e.what());
    }
    if (i >= argc) return Usage("no entry point given");
    const std::string name = argv[i++];
    const EntryPoint* entry = nullptr;
    for (const EntryPoint& e : EntryPoints())
        if (name == e.name) entry = &e;
    if (!entry) return Usage(("unknown entry point " + name).c_str());

    // The context the run makes takes the installed profile.
    engine::InstallProfile(o.profile == "glimmet" ? legacy::GlimmetProfile() : engine::SalvinoProfile());
    ProbeEnv env(o);
    if (entry->needsFile) {
        if (i >= argc) return Usage(("no FILE for " + name).c_str());
        env.file = argv[i++];
    }
    Args args(argv + i, argv + argc);
    if (o.print) env.ctx.StartPrinting(o.lineHeight, o.pageHeight, env.file);

    int result = 0;
    try {
        result = entry->run(env, args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "probe: %s\nusage: probe %s%s%s%s\n", e.what(), entry->name,
                     entry->needsFile ? " FILE" : "", *entry->usage ? " " : "", entry->usage);
        return 2;
    }
    env.ctx.log.Add({'R', {}, 0, std::to_string(result)});
    if (o.print) env.ctx.StopPrinting();
    for (auto& fn : env.after) fn(env);
    if (o.textBlocks) {
        const engine::TextBlockTables& t = engine::Ctx().describer.textBlocks;
        for (size_t b = 0; b < engine::kNavigableTextBlocks; ++b)
            if (t.filled[b])
                env.Emit(engine::Format("K %X %X %X %X", static_cast<unsigned>(b), t.size[b], t.offset[b],
                                        t.owner[b]));
    }
    if (!o.noAfter)
        for (const AfterPrinter& p : AfterPrinters()) p.print(env);

    const std::string out = env.ctx.log.Render();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace probe

int main(int argc, char** argv) { return probe::Main(argc, argv); }
