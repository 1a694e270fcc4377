#pragma once
// The probe's frame: options, the recording context of one run, and the
// table of entry points. An entry point registers itself from its own file:
//
//   static int RunFoo(probe::ProbeEnv& env, const probe::Args& args) { ... }
//   PROBE_ENTRY_POINT(Foo, "FILE [N]", RunFoo);
//
// Whatever the entry point writes through the engine lands in one ordered
// log; its result becomes the "R" record; registered after-printers (e.g.
// the packet table as "E" records) follow.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Targets.h"
#include "tests/support/Recording.h"

namespace engine {
struct DocFile;
struct FileHeader;
}  // namespace engine

namespace probe {

using Args = std::vector<std::string>;

struct Options {
    testsupport::RecordingMessages::Default answer = testsupport::RecordingMessages::Default::Yes;
    int mode = 264;                   // 263 hex, 264 decoded
    uint32_t groupMask = 0xFFFFFFFF;
    uint32_t classMask = 0x7FFFFFFF;  // bit 31 (lines inside undo areas) off
    std::string target = "list";      // list, default, detail, log, silent, none
    bool print = false;
    int pageHeight = 1000;
    int lineHeight = 10;
    uint32_t highlighted = 0xF0F0F0F0;
    int cancelAfterSteps = -1;
    bool noAfter = false;
    bool textBlocks = false;  // the text-block tables as K records after the operation
    std::string out;                  // where an entry point keeps its output file
    std::string profile = "salvino";  // the dialect installed before the run: salvino or glimmet
};

// Thrown by an entry point for arguments it cannot use; the probe prints
// the message and its usage and exits with 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The context is fresh when the entry point starts and carries the
// recording doubles: an entry point resets the sink and document state it
// uses, but never replaces the whole context.
class ProbeEnv {
public:
    explicit ProbeEnv(Options options);

    // The target the options name (nullptr for "none").
    engine::ListTarget* Target();
    // An "L log" line: what the entry point itself reports.
    void Log(std::string_view text) { ctx.logList.Append(text, 0); }
    // A record already in the line format (E, X, F ...).
    void Emit(std::string_view record) { ctx.log.Raw(record); }
    // Run after the entry point's result, before the global after-printers.
    void After(std::function<void(ProbeEnv&)> fn) { after.push_back(std::move(fn)); }

    // Opens PATH as the program does; none when refused, and the verdict is
    // then logged. HEADER, when given, takes the file's header.
    engine::DocFile* OpenLogged(const std::string& path, engine::FileHeader* header = nullptr);

    // Numbers as the command line gives them (decimal, 0x hex).
    static int64_t ParseInt(const std::string& text);

    Options options;
    std::string file;
    testsupport::ScopedContext ctx;
    std::vector<std::function<void(ProbeEnv&)>> after;
};

struct EntryPoint {
    const char* name;
    int (*run)(ProbeEnv&, const Args&);
    const char* usage;     // the arguments after the name, for --help
    bool needsFile = true; // the first argument is FILE, taken into env.file
};

struct Registrar {
    explicit Registrar(const EntryPoint& entry);
};

// Runs after every entry point (unless --no-after), in registration order.
struct AfterPrinter {
    const char* name;
    void (*print)(ProbeEnv&);
};

struct AfterRegistrar {
    explicit AfterRegistrar(const AfterPrinter& printer);
};

const std::vector<EntryPoint>& EntryPoints();
const std::vector<AfterPrinter>& AfterPrinters();

}  // namespace probe

#define PROBE_ENTRY_POINT(NAME, USAGE, FN) \
    static const ::probe::Registrar probeEntry_##NAME({#NAME, FN, USAGE, true})
#define PROBE_ENTRY_POINT_NO_FILE(NAME, USAGE, FN) \
    static const ::probe::Registrar probeEntry_##NAME({#NAME, FN, USAGE, false})
#define PROBE_AFTER_PRINTER(NAME, FN) \
    static const ::probe::AfterRegistrar probeAfter_##NAME({#NAME, FN})
