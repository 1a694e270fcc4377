// The graphics section of a presentation file: its directory, setup and
// eleven sections, read one after another from where the directory ends.
// Graphics held in some sections are dumped again as records, each as a
// stream of its own at the place its data starts.

#include <algorithm>
#include <vector>

#include "engine/Describer.h"
#include "graphics/Dumper.h"
#include "graphics/GraphicsState.h"
#include "graphics/Reader.h"

namespace graphics {

namespace {

constexpr int kModeDecoded = 264;

uint32_t Byte() { return static_cast<uint8_t>(ReadQwgByte()); }
uint32_t Word() { return static_cast<uint16_t>(ReadQwgWord()); }

// A fixed line of the directory: the value read in its width, shown.
struct FixedLine {
    engine::FieldFormat<1> format;
    uint8_t width;  // 0: a line with no value, 1 or 2: u8 or u16
};

struct Title {
    const char* text;
    consteval Title(const char* t) : text(t) {  // NOLINT: implicit from literals
        if (engine::detail::CountIntConversions(t) != 0) engine::detail::FieldFormatIsMalformed();
    }
};


template <size_t N>
void EmitFixedLines(const FixedLine (&lines)[N]) {
    for (const FixedLine& line : lines) {
        if (Gfx().endOfData) return;
        const uint32_t v = line.width == 1 ? Byte() : Word();
        Out().EmitFormatted(line.format.text, v);
    }
}

constexpr const char* kPairLabels[12] = {
    "         Setup Section= %8lxh:", "       Outline Section= %8lxh:", "        Master Section= %8lxh:",
    "         Sound Section= %8lxh:", "         Video Section= %8lxh:", "         Notes Section= %8lxh:",
    "           KLV Section= %8lxh:", "    Text Chart Section= %8lxh:", "    Data Chart Section= %8lxh:",
    "    Area Chart Section= %8lxh:", "          Goto Section= %8lxh:", "           QWG Section= %8lxh:",
};

constexpr Title kSectionTitles[12] = {
    "",
    "KLV OUTLINE Section ",
    "KLV MASTER SLIDE Section ",
    "KLV SOUND Section ",
    "KLV VIDEO Section ",
    "KLV NOTES Section ",
    "KLV KLV Section ",
    "KLV TEXT CHART Section ",
    "KLV DATA CHART Section ",
    "KLV AREA CHART Section ",
    "KLV GOTO Section ",
    "KLV QWG Section ",
};

constexpr const char* kOptionKindNames[12] = {
    nullptr,      nullptr,      "    MASTER", "     SOUND", "     VIDEO", "     NOTES",
    "       KLV", "TEXT CHART", "DATA CHART", "AREA CHART", "      GOTO", "       QWG",
};

constexpr FixedLine kSlideSorterLines[] = {
    {"    Size of Setup structure            : %4u ", 2},
    {"    Number of columns per row          : %4u ", 1},
    {"    Flags                              : %4xh ", 2},
};

constexpr FixedLine kPageSetupLines[] = {
    {"    Starting page to number      : %4u ", 2},
    {"    Page number method           : %4xh ", 1},
    {"    Speaker Notes, notes per page: %4u ", 1},
    {"    Handouts, slides per page    : %4u ", 1},
};

constexpr FixedLine kOverrideLines[] = {
    {"    Size of Override structure: %4u ", 2},
    {"    Tenths of seconds to Delay: %4u ", 2},
    {"    Transition Effect         :   %2xh ", 1},
    {"    Transition Direction      :   %2xh ", 1},
    {"    Transition Size           :   %2xh ", 1},
    {"    Flags                     : %4xh ", 2},
    {"    Highlighter Color (Red)   :   %2xh ", 1},
    {"                      (Green) :   %2xh ", 1},
    {"                      (Blue)  :   %2xh ", 1},
    {"    Highlighter Width         :   %2xh ", 1},
};

constexpr FixedLine kFormLines[] = {
    {"    Left margin  : %4u ", 2},   {"    Right margin : %4u ", 2}, {"    Top margin   : %4u ", 2},
    {"    Bottom margin: %4u ", 2},   {"    Border style : %4u ", 2}, {"    Page height  : %4u ", 2},
    {"    Page width   : %4u ", 2},   {"    Form type    : %4u ", 1},
    {"    Form name Length: %4u ", 1},
};

constexpr FixedLine kOptionTimingLines[] = {
    {"             Delay: %4xh ", 2}, {"            Effect:   %2xh ", 1}, {"         Direction:   %2xh ", 1},
    {"              Size:   %2xh ", 1}, {"             Flags: %4xh ", 2},
};

// A length the counts derive: never below 0.
uint32_t Derived(int64_t n) { return n > 0 ? static_cast<uint32_t>(std::min<int64_t>(n, 0xFFFFFFFF)) : 0; }

// A character line; a zero character ends its line, as in a C string.
void EmitCharLine() {
    const uint32_t c = Byte();
    if (c == 0)
        Out().EmitFormatted("%s", "");
    else
        Out().EmitFormatted("%c", static_cast<int>(c));
}

struct Entry {
    uint32_t position;
    uint32_t size;
};

// Section 1: the bytes before the first option structure, then one
// option structure per entry.
void DumpOutlineData(const std::vector<Entry>& entries, uint32_t sectionStart) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    Out().EmitFormatted("DataBEGIN: ");
    if (!entries.empty()) out.HexDumpRest(Derived(int64_t{sectionStart} + entries[0].position - g.bytePosition));
    Out().EmitFormatted("DataEND. ");
    for (size_t i = 0; i < entries.size() && !g.endOfData; ++i) {
        Out().EmitFormatted<engine::Msg::AbsolutePosition>(static_cast<unsigned long>(g.bytePosition));
        Out().EmitFormatted<engine::Msg::RelativePosition>(static_cast<unsigned long>(g.bytePosition - sectionStart));
        const uint32_t a = Byte(), b = Byte();
        Out().EmitFormatted("    Option Structure #%-4u |%2X|", static_cast<unsigned>(i), a);
        Out().EmitFormatted("%2X|", b);
        const uint32_t total = Word();
        Out().EmitFormatted(" Old&New Size:  %4xh ", total);
        const uint32_t old = Word();
        Out().EmitFormatted("          Old Size: %4xh ", old);
        out.HexDumpRest(old);
        Out().EmitFormatted("         Show Size:  %3u ", Byte());
        EmitFixedLines(kOptionTimingLines);
        Out().EmitFormatted("           INDICES: (sub-size),(index) ");
        int64_t left = int64_t{total} - old - 14;
        while (left > 0 && !g.endOfData) {
            const uint32_t kind = Byte();
            Out().EmitFormatted("        ");
            if (kind < 12 && kOptionKindNames[kind]) Out().EmitFormatted("%s", kOptionKindNames[kind]);
            const uint32_t subSize = Byte();
            const uint32_t index = Word();
            Out().EmitFormatted("      : %3u , %3u", subSize, index);
            if (kind == 3) {
                Out().EmitFormatted(", Sub flag,volume: %3xh ", Byte());
                Out().EmitFormatted(", %3xh ", Byte());
                left -= 6;
            } else if (kind == 8) {
                Out().EmitFormatted(", Sub flag: %3xh ", Byte());
                left -= 5;
            } else {
                left -= 4;
            }
        }
        Out().EmitFormatted(" DataBEGIN: ");
        ReadQwgDword();
        out.HexDumpRest(Derived(int64_t{entries[i].size} - (int64_t{total} + 4)));
        Out().EmitFormatted("DataEND. ");
    }
}

void DumpNameList(const std::vector<Entry>& entries) {
    GraphicsState& g = Gfx();
    Out().EmitFormatted("        * Section Name List * ");
    for (size_t i = 1; i < entries.size() && !g.endOfData; ++i) {
        const uint32_t length = Word();
        if (g.endOfData) return;
        Out().EmitFormatted("    Entry #%-4u, string length %4u : ", static_cast<unsigned>(i), length);
        for (uint32_t c = 0; c < length / 2 && !g.endOfData; ++c) {
            EmitCharLine();
            Byte();
        }
        Out().EmitFormatted(" ");
    }
}

// The entry's data as a graphics stream of its own: its base is where the
// data starts, and no header is read at or past the data end. The outer
// walk then goes on with its own base after the data.
void DumpNestedGraphic(uint32_t mask33to64, uint32_t mask1to32, uint32_t length) {
    GraphicsState& g = Gfx();
    const uint32_t outerBase = g.base;
    const uint32_t resume = g.bytePosition + length;
    const uint32_t savedLimit = g.recordLimit;
    const uint32_t savedEnd = g.recordEnd;
    const bool savedQuiet = g.quiet;
    const Precision savedPrecision = g.precision;
    const ImageExtents savedExtents = g.extents;
    const Transformation savedTransform = g.transform;
    // What the handlers keep belongs to the stream it was read from.
    std::vector<CapsuleEntry> savedCapsules = std::move(g.capsules);
    const uint32_t savedImageIndex = g.imageIndex;
    const uint8_t savedChartType = g.chartType, savedTextKind = g.textKind;
    const GraphicsState fresh;
    g.capsules.clear();
    g.imageIndex = fresh.imageIndex;
    g.chartType = fresh.chartType;
    g.textKind = fresh.textKind;
    g.precision = fresh.precision;
    g.extents = fresh.extents;

    // The reader's buffer belongs to its base: a seek under a new base refills it.
    g.base = outerBase + g.bytePosition;
    g.bytePosition = 0;
    if (ReadFilePrefix(nullptr, nullptr, g.base)) {
        g.recordLimit = length;
        DumpQwgRecords(mask33to64, mask1to32, false, kModeDecoded);
    }
    // The data ended inside the entry: the outer walk ends too. An end met
    // only past the entry (a prefix longer than the entry) is the outer
    // walk's to find.
    const bool ended = g.endOfData && g.bytePosition <= length;

    g.base = outerBase;
    g.recordLimit = savedLimit;
    g.recordEnd = savedEnd;
    g.quiet = savedQuiet;
    g.precision = savedPrecision;
    g.extents = savedExtents;
    g.transform = savedTransform;
    g.capsules = std::move(savedCapsules);
    g.imageIndex = savedImageIndex;
    g.chartType = savedChartType;
    g.textKind = savedTextKind;
    g.bytePosition = resume;
    g.endOfData = ended || QwgReaderSeek(g.file, resume, 0) < 0;
}

void DumpSectionData(int section, const std::vector<Entry>& entries, uint32_t m, uint32_t sectionStart,
                     uint32_t mask33to64, uint32_t mask1to32, int mode) {
    GraphicsState& g = Gfx();
    Out().EmitFormatted("         * Section Data * ");
    const size_t first = section >= 2 && section <= 4 ? 1 : 0;
    const bool graphics = mode == kModeDecoded && (section == 2 || section == 7 || section == 8 || section == 11);
    for (size_t i = first; i < entries.size() && !g.endOfData; ++i) {
        Out().EmitFormatted("    Data Entry #%-4u ", static_cast<unsigned>(i));
        Out().EmitFormatted<engine::Msg::AbsolutePosition>(static_cast<unsigned long>(g.bytePosition));
        Out().EmitFormatted<engine::Msg::RelativePosition>(static_cast<unsigned long>(g.bytePosition - sectionStart));
        for (uint32_t b = 1; b <= m && !g.endOfData; ++b) Out().EmitFormatted("    Sub-Section byte %2u: %4xh ", b, Byte());
        Out().EmitFormatted("DataBEGIN: ");
        const uint32_t length = Derived(int64_t{entries[i].size} - m);
        if (graphics && entries[i].size != m && !g.endOfData)
            DumpNestedGraphic(mask33to64, mask1to32, length);
        else
            g.out.HexDumpRest(length);
        Out().EmitFormatted("DataEND. ");
    }
}

void DumpSection(int section, uint32_t mask33to64, uint32_t mask1to32, int mode) {
    GraphicsState& g = Gfx();
    const uint32_t sectionStart = g.bytePosition;
    Out().EmitFormatted(" ");
    Out().EmitFormatted("%s", kSectionTitles[section].text);
    Out().EmitFormatted("    Position: %8lxh ", static_cast<unsigned long>(sectionStart));
    const uint32_t m = Word();
    Out().EmitFormatted("    Size of Sub-Section Record         : %4u ", m);
    const int32_t n = static_cast<int16_t>(Word());
    Out().EmitFormatted("    Number of Section Directory Entries: %4u ", static_cast<unsigned>(n));
    Out().EmitFormatted("    Size of Section Directory Entry    : %4u ", Word());
    Out().EmitFormatted("         * Section Directory * ");
    Out().EmitFormatted("                    (Relative)FilePos:FileSize ");
    std::vector<Entry> entries;
    for (int32_t i = 0; i < n && !g.endOfData; ++i) {
        const uint32_t position = ReadQwgDword();
        const uint32_t size = ReadQwgDword();
        if (g.endOfData) break;
        entries.push_back({position, size});
        Out().EmitFormatted("    Directory Entry #%-4u = %8lxh:%8lxh ", static_cast<unsigned>(i),
             static_cast<unsigned long>(position), static_cast<unsigned long>(size));
    }
    Out().EmitFormatted(" ");
    if (g.endOfData) return;
    if (section == 1) {
        DumpOutlineData(entries, sectionStart);
        return;
    }
    if (section <= 4) DumpNameList(entries);
    if (g.endOfData) return;
    DumpSectionData(section, entries, m, sectionStart, mask33to64, mask1to32, mode);
}

}  // namespace

void DumpFormBlock() {
    EmitFixedLines(kFormLines);
    Out().EmitFormatted("    Form name       : ");
    for (int i = 0; i < 41 && !Gfx().endOfData; ++i) EmitCharLine();
    Out().EmitFormatted(" ");
    Out().EmitFormatted("    Form orientation: %4u ", Byte());
}

int DumpSlideDirectory(uint32_t mask33to64, uint32_t mask1to32, bool single, int mode, uint32_t) {
    GraphicsState& g = Gfx();
    g.endOfData = false;
    Out().EmitFormatted("KLV Directory ");
    Out().EmitFormatted("        Number of directory entries: %4u ", Word());
    Out().EmitFormatted("          Size of directory entries: %4u  ", Word());
    Out().EmitFormatted("                          FilePos:FileSize ");
    for (const char* label : kPairLabels) {
        const uint32_t position = ReadQwgDword();
        const uint32_t size = ReadQwgDword();
        Out().EmitFormatted(label, static_cast<unsigned long>(position));
        Out().EmitFormatted("%8lxh ", static_cast<unsigned long>(size));
        if (g.endOfData) return 1;
    }
    Out().EmitFormatted("KLV Setup Section ");
    Out().EmitFormatted("         * Slide Sorter Setup * ");
    EmitFixedLines(kSlideSorterLines);
    Out().EmitFormatted("         * Page Setup * ");
    EmitFixedLines(kPageSetupLines);
    Out().EmitFormatted("         * Slide Page Settings * ");
    DumpFormBlock();
    Out().EmitFormatted("         * Speaker Notes/Handouts Page Settings * ");
    DumpFormBlock();
    Out().EmitFormatted("         * KLV Override * ");
    EmitFixedLines(kOverrideLines);
    for (int section = 1; section <= 11 && !g.endOfData; ++section) {
        DumpSection(section, mask33to64, mask1to32, mode);
        if (single) break;
    }
    return 1;
}

}  // namespace graphics
