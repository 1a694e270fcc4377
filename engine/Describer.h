#pragma once
// What every packet and function-data describer is built from: one cursor
// over the bytes being explained, the readers and the line primitives that
// own the line shapes, and the tables that pick a describer. A describer is
// a list of fields read through these; it never builds a line shape itself.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Document.h"
#include "engine/Format.h"
#include "engine/Profile.h"
#include "engine/Targets.h"

namespace engine {

struct DocFile;

inline constexpr size_t kNavigableTextBlocks = 24;

// Sizes and file offsets of the text blocks shown in detail, each with the
// packet it was filled for; a caption line is followed through them
// (TextBlockAt). Nothing clears them.
struct TextBlockTables {
    std::array<uint32_t, kNavigableTextBlocks> size{};
    std::array<uint32_t, kNavigableTextBlocks> offset{};
    std::array<uint32_t, kNavigableTextBlocks> owner{};
    std::array<bool, kNavigableTextBlocks> filled{};
};

// Where a text block lies in the file.
struct TextBlockPlace {
    uint32_t offset = 0;
    uint32_t size = 0;
};

// One for the process (in the EngineContext): one detail is built at a
// time.
struct DescriberContext {
    // Where describer lines go: set by the page that asks for a detail,
    // cleared by the check and the usage list.
    ListTarget* currentTarget = nullptr;
    // The prefix page's name label, filled by a packet's detail when set.
    std::string* packetNameLabel = nullptr;

    // The bytes being explained, exactly as many as were really read: reads
    // past their end yield zero.
    std::span<const uint8_t> base;
    // The next byte to read, relative to `base`; it moves exactly as the
    // fields say (back too, and past either end), and reads outside `base`
    // yield zero.
    int64_t cursor = 0;
    std::vector<uint8_t> packet;  // holds the packet that `base` shows

    std::span<const uint8_t> function;  // the function being explained
    uint16_t nonDeletableSize = 0;
    // The window title a described code sets: every code sets one, and
    // this string keeps its room from code to code.
    std::string title;

    TextBlockTables textBlocks;
};

// A line format checked when the program is compiled: exactly `N` integer
// conversions (d i u x X o c, with flags, width and precision) and `S`
// string conversions (plain %s, after every integer one), "%%" free.
namespace detail {
void FieldFormatIsMalformed();  // never defined: reached only by a bad format
struct Conversions {
    int ints = 0;
    int strings = 0;
    bool valid = true;  // known conversions only, no integer after a string
};
consteval Conversions CountConversions(const char* f) {
    Conversions c;
    for (const char* p = f; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        if (*p == 's') {
            ++c.strings;
            continue;
        }
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') ++p;
        while (*p >= '0' && *p <= '9') ++p;
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9') ++p;
        }
        switch (*p) {
            case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'c':
                if (c.strings) c.valid = false;
                ++c.ints;
                break;
            default: c.valid = false; return c;
        }
    }
    return c;
}
consteval int CountIntConversions(const char* f) {
    const Conversions c = CountConversions(f);
    return c.valid && c.strings == 0 ? c.ints : -1;
}
consteval void CheckFormat(const char* f, int ints, int strings) {
    const Conversions c = CountConversions(f);
    if (!c.valid || c.ints != ints || c.strings != strings) FieldFormatIsMalformed();
}
// The kind of the conversion at `p` (just after its '%'): 'i' an int
// (d i u x X o c), 'l' a long (the same with l), 'f' a double (f g, also
// with l), 's' a string; 0 for anything else. `p` ends on the letter.
consteval char ConversionKind(const char*& p) {
    while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') ++p;
    while (*p >= '0' && *p <= '9') ++p;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') ++p;
    }
    const bool isLong = *p == 'l';
    if (isLong) ++p;
    switch (*p) {
        case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': return isLong ? 'l' : 'i';
        case 'c': return isLong ? 0 : 'i';
        case 'f': case 'g': return 'f';
        case 's': return isLong ? 0 : 's';
        default: return 0;
    }
}
// True when the conversions of `f` are, in order, exactly `kinds`.
consteval bool MatchesKinds(const char* f, const char* kinds) {
    for (const char* p = f; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        const char k = ConversionKind(p);
        if (k == 0 || *kinds != k) return false;
        ++kinds;
    }
    return *kinds == 0;
}
// True when, after an optional leading "%s", every conversion is of `kind`.
consteval bool AllOfKind(const char* f, char kind) {
    const char* p = f;
    if (p[0] == '%' && p[1] == 's') p += 2;
    for (; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        if (ConversionKind(p) != kind) return false;
    }
    return true;
}
template <size_t N>
struct Kinds {
    char k[N];
    consteval Kinds(const char (&s)[N]) {  // NOLINT: implicit from literals
        for (size_t i = 0; i < N; ++i) k[i] = s[i];
    }
};
}  // namespace detail

// A line format whose conversions are, in order, the kinds given ('i' int,
// 'l' long, 'f' double, 's' string), checked when the program is compiled.
template <detail::Kinds K>
struct TypedFormat {
    const char* text;
    consteval TypedFormat(const char* f) : text(f) {  // NOLINT: implicit from literals
        if (!detail::MatchesKinds(f, K.k)) detail::FieldFormatIsMalformed();
    }
};

// A format fed one value for every conversion, all of `Kind`, after an
// optional leading "%s" (the indentation).
template <char Kind>
struct ValueFormat {
    const char* text;
    bool indented;
    consteval ValueFormat(const char* f)  // NOLINT: implicit from literals
        : text(f), indented(f[0] == '%' && f[1] == 's') {
        if (!detail::AllOfKind(f, Kind)) detail::FieldFormatIsMalformed();
    }
};

// Its plan is read when the program is compiled too: a line is written
// without parsing the format.
template <int N, int S = 0>
struct FieldFormat {
    const char* text;
    FormatPlan plan;
    consteval FieldFormat(const char* f) : text(f), plan(PlanFormat(f)) {  // NOLINT: implicit from literals
        detail::CheckFormat(f, N, S);
        if (!plan.valid) detail::FieldFormatIsMalformed();
    }
};

// A field of a describer's list: its width and its line.
enum class FieldWidth : uint8_t {
    Byte,
    Word,
    Dword,
    WordPair,  // a word shown unsigned, then signed
    Rgbs,      // four bytes: red, green, blue, shade
};
struct FieldRow {
    FieldWidth width;
    const char* format;
    FormatPlan plan;
};
namespace detail {
consteval FieldRow MakeRow(FieldWidth width, const char* f, int ints) {
    CheckFormat(f, ints, 0);
    const FormatPlan plan = PlanFormat(f);
    if (!plan.valid) FieldFormatIsMalformed();
    return FieldRow{width, f, plan};
}
}  // namespace detail
consteval FieldRow ByteRow(const char* f) { return detail::MakeRow(FieldWidth::Byte, f, 1); }
consteval FieldRow WordRow(const char* f) { return detail::MakeRow(FieldWidth::Word, f, 1); }
consteval FieldRow DwordRow(const char* f) { return detail::MakeRow(FieldWidth::Dword, f, 1); }
consteval FieldRow PairRow(const char* f) { return detail::MakeRow(FieldWidth::WordPair, f, 2); }
consteval FieldRow RgbsRow(const char* f) { return detail::MakeRow(FieldWidth::Rgbs, f, 4); }

// Name tables read by value: row i of a table listed in order names value i.
template <size_t N>
constexpr std::array<NameRow, N> IndexedNames(const char* const (&names)[N]) {
    std::array<NameRow, N> rows{};
    for (size_t i = 0; i < N; ++i) rows[i] = NameRow{static_cast<uint32_t>(i), names[i]};
    return rows;
}

// ---- Readers and primitives (all over Ctx().describer) ----

inline uint32_t TestBit(uint32_t value, unsigned bit) { return bit < 32 ? value & (1u << bit) : 0; }
uint32_t ReadFieldDword();
uint16_t ReadFieldWord();
uint8_t ReadFieldByte();
// The byte or word `ahead` bytes past the cursor, without moving it.
uint8_t PeekFieldByte(int64_t ahead = 0);
uint16_t PeekFieldWord(int64_t ahead = 0);
// The bytes held and whether the cursor stands inside them.
int64_t HeldSize();
bool CursorInside();
// Moves the cursor without reading (back for a negative count).
void SkipBytes(int64_t count);

// Lines to the describer target: a text, " ", a damage line leading to
// the packet.
void ShowLine(std::string_view text);
inline void ShowBlank() { ShowLine(" "); }
void ShowPacketError(std::string_view text, uint32_t id);
// A damage line with its tag (AddErrorLine; the older detail's AddItemDataLine).
void ShowFinding(std::string_view text, uint32_t tag);

// One line of the field's value.
uint8_t ShowByteField(const FieldFormat<1>& format);
uint16_t ShowWordField(const FieldFormat<1>& format);
uint32_t ShowDwordField(const FieldFormat<1>& format);
// One line of a word as unsigned and as signed, in that order.
uint16_t ShowWordPair(const FieldFormat<2>& format);
// Four bytes (red, green, blue, shade) on one line.
void ShowRgbsField(const FieldFormat<4>& format);
// A field of a list, and a list of fields in order; the value read.
uint32_t ShowField(const FieldRow& row);
void ShowFields(std::span<const FieldRow> rows);

// The name of `value` in `table` (the profile's overlay first); `outside`
// when the table has none.
const char* NameOf(const NameTable& table, uint32_t value, const char* outside = nullptr);
// One line of a value and its name; a value without a name shows an empty
// name, or the `fallback` line when there is one.
void ShowNamedLine(const FieldFormat<1, 1>& format, uint32_t value, const char* name);
void ShowNamedLine(const FieldFormat<1, 1>& format, const FieldFormat<1>& fallback, uint32_t value, const char* name);
void ShowNamedLine(const FieldFormat<2, 1>& format, uint32_t first, uint32_t second, const char* name);
// Reads the field and shows it with its name in `table`.
uint8_t ShowNamedByte(const FieldFormat<1, 1>& format, const NameTable& table, const char* outside = nullptr);
uint16_t ShowNamedWord(const FieldFormat<1, 1>& format, const NameTable& table, const char* outside = nullptr);
// A line that is only a name: the value's name (an empty line for an empty
// name), else `outside`, else no line.
void ShowName(const NameTable& table, uint32_t value, const char* outside = nullptr);

// Tables whose codes are bit numbers: one line per set bit, in table order.
void ShowSetBits(uint32_t value, const NameTable& bits);
// One line: `head` with the value, the names of the set bits in table
// order, then `close`.
void ShowBitList(const FieldFormat<1>& head, uint32_t value, const NameTable& bits, const char* close);
// `set` when the bit is set, else `clear` (none: no line).
void ShowEitherOr(uint32_t value, unsigned bit, const char* set, const char* clear);

// " ", the caption, a dump of at most the profile's field-dump limit of the
// `length` bytes at the cursor (only those really there), " "; the cursor
// moves by the whole length, also a negative one.
void HexDumpField(const char* caption, int64_t length);

// A block whose size word was just read: what its fields took so far and
// what of its size is left.
struct SizedBlock {
    int64_t start = 0;  // the cursor after the size word
    int64_t size = 0;
    int64_t Taken() const;
    int64_t Rest() const { return size - Taken(); }
};
SizedBlock BeginSizedBlock(int64_t size);
// How a block's remainder is dumped: only when positive (else nothing and
// the cursor stays), or signed through HexDumpField (a negative remainder
// dumps no byte and moves the cursor back to the block's declared end).
enum class Remainder : uint8_t { PositiveOnly, Signed };
void DumpRemainder(const char* caption, int64_t rest, Remainder form);

// Items counted in the data, `width` bytes each (0: of varying width):
// shows item 0, 1, ... while the next would start inside the bytes held,
// then moves the cursor over the items not shown. False when it stopped
// early.
template <class Show>
bool ShowCountedItems(uint32_t count, int64_t width, Show&& show) {
    for (uint32_t i = 0; i < count; ++i) {
        if (!CursorInside()) {
            SkipBytes(width * (int64_t{count} - i));
            return false;
        }
        show(i);
    }
    return true;
}

// Sections announced by bits of one flag word, shown in the rows' order;
// a section's operation returns false when the whole detail ends there.
template <class State>
struct FlagSection {
    uint8_t bit;
    const char* title;            // none: no title line
    bool (*show)(State& state);   // none: the title only
};
enum class SectionTitle : uint8_t { Plain, AfterBlank };
template <class State>
bool ShowFlagSections(uint32_t flags, std::span<const FlagSection<State>> sections, State& state,
                      SectionTitle titles = SectionTitle::Plain) {
    for (const FlagSection<State>& s : sections) {
        if (!TestBit(flags, s.bit)) continue;
        if (s.title) {
            if (titles == SectionTitle::AfterBlank) ShowBlank();
            ShowLine(s.title);
        }
        if (s.show && !s.show(state)) return false;
    }
    return true;
}

// " ", the caption (a navigable line for blocks 0-23, whose size and file
// offset are kept), the whole block, " "; the cursor moves past the block.
void HexDumpTextBlock(const char* caption, uint32_t blockSize, uint16_t block,
                      const PacketEntry& entry, uint32_t id);
// The caption and the low bytes of `length` / 2 two-byte characters; the
// line stops at 255 characters, and the cursor moves over the whole field.
void ShowCharField(uint16_t length, const char* caption);
// The caption and the low bytes of two-byte characters up to a zero one (read)
// or `maximum` of them, at least one; the line stops at 511 characters.
// Returns the number of non-zero characters read.
int ShowCharString(const char* caption, int16_t maximum);
// "Deletable data." over what lies between the cursor and the current
// function's 3-byte trailer.
void ShowDeletableData();
// "<<<No ASCII display, using HEX display>>>" over the rest of the packet.
void HexDumpPacketData(const PacketEntry& entry, uint32_t id);

// ---- Line shapes of the function-data describers ----

// Four words on one line, in the order read.
void ShowWordQuad(const FieldFormat<4>& format);
// A point of a line: its index, then x and y, each unsigned and signed.
void ShowPointField(const FieldFormat<5>& format, uint32_t index);

// ---- Blocks shared by packet and function describers ----

// A template override at the cursor (its size word counts from after
// itself); returns what it covered, its size word included.
int64_t DescribeTemplateOverride();
// A draw-object block at the cursor.
void DescribeDrawObject();
// A border/fill override block at the cursor.
void DescribeBorderFillOverride();

// The block a text-block caption's tag names (kTagTextBlock | block << 16 |
// packet id). An entry filled for another packet, or not yet filled, is
// filled first by describing the tag's packet silently; none when the packet
// has no such block (or the tag no navigable block).
std::optional<TextBlockPlace> TextBlockAt(uint32_t tag);

// ---- Dispatch ----

using PacketDescriber = void (*)(const PacketEntry& entry, uint32_t id);
using FunctionDescriber = void (*)(std::span<const uint8_t> function);

// Which describer explains a packet type.
enum class PacketDescriberId : uint8_t {
    None,
    Filename,
    Text,
    Bookmark,
    CounterStyle,
    Summary,
    InitialFont,
    Style,
    LongFilename,
    BoxStyle,
    LineStyle,
    FillStyle,
    BorderStyle,
    BoxGroup,
    DesiredFont,
    ObjectName,
    ObjectList,
    AssistantData,
    EquationBox,
    Count,
};

// Which describer explains a variable-length function's data.
enum class FunctionDescriberId : uint8_t {
    None,
    NewWordValue,
    NewByteValue,
    OnOffState,
    AbsoluteRelative,
    SuppressFlags,
    WidowOrphan,
    LinesToDisplay,
    StyleReference,
    NoDeletableData,
    TabRegion,
    ProofingLevel,
    ColumnDefinition,
    DelayCodes,
    MarginChange,
    BorderFunction,
    DropCap,
    TableDefinition,
    RulePosition,
    BoxFunction,
    Count,
};

inline constexpr size_t kPacketDescriberTypes = 0x80;
inline constexpr uint8_t kFirstDescribedGroup = 0xD0;
inline constexpr uint8_t kLastDescribedGroup = 0xE2;

// A group's list of function describers, `N` subfunctions long, from the
// subfunctions each describer takes.
struct SubRows {
    FunctionDescriberId id;
    std::initializer_list<int> subs;
};
template <size_t N>
constexpr std::array<FunctionDescriberId, N> DescriberGroup(std::initializer_list<SubRows> rows = {}) {
    std::array<FunctionDescriberId, N> t{};
    for (const SubRows& r : rows)
        for (int s : r.subs) t[static_cast<size_t>(s)] = r.id;
    return t;
}

// The rows of Salvino's tables; a profile may hold others.
const DescriberRows& SalvinoDescriberRows();
// The profile's rows. Types 0x00-0x7F, in type order.
std::span<const PacketDescriberId> PacketDescribers();
// Groups 0xD0-0xE2 in order, each its subfunctions from 0.
std::span<const std::span<const FunctionDescriberId>> FunctionDescribers();
// None for a type of 0x80 or above, a group outside the table or a
// subfunction past its group's list.
PacketDescriberId PacketDescriberOf(uint32_t type);
FunctionDescriberId FunctionDescriberOf(uint32_t group, uint32_t subfunction);

// The operation behind each describer id, none until it is built.
struct DescriberBindings {
    std::span<const PacketDescriber> packets;      // by PacketDescriberId
    std::span<const FunctionDescriber> functions;  // by FunctionDescriberId
};
const DescriberBindings& BuiltDescribers();

// The entry points of Describe.h over a chosen set of operations.
void DescribePacket(DocFile* f, uint32_t id, ListTarget* target, const DescriberBindings& with);
void DescribeFunctionData(uint16_t group, uint16_t subfunction, std::span<const uint8_t> function,
                          const DescriberBindings& with);

}  // namespace engine
