#pragma once
// What every packet and function-data describer is built from: one cursor
// over the bytes being explained, the readers and the line primitives that
// own the line shapes, and the tables that pick a describer. A describer is
// a list of fields read through these; it never builds a line shape itself.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/Document.h"
#include "engine/Targets.h"

namespace engine {

struct DocFile;

inline constexpr size_t kNavigableTextBlocks = 24;

// Sizes and file offsets of the text blocks of the packet last shown in
// detail; the prefix page follows a caption line through them. Nothing
// clears them.
struct TextBlockTables {
    std::array<uint32_t, kNavigableTextBlocks> size{};
    std::array<uint32_t, kNavigableTextBlocks> offset{};
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
    uint32_t cursor = 0;  // next unread byte; every reader moves it by its width
    std::vector<uint8_t> packet;  // holds the packet that `base` shows

    std::span<const uint8_t> function;  // the function being explained
    uint16_t nonDeletableSize = 0;

    TextBlockTables textBlocks;
};

// A line format checked when the program is compiled: exactly `N` integer
// conversions (d i u x X o c, with flags, width and precision), "%%" free.
namespace detail {
void FieldFormatIsMalformed();  // never defined: reached only by a bad format
consteval int CountIntConversions(const char* f) {
    int n = 0;
    for (const char* p = f; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') ++p;
        while (*p >= '0' && *p <= '9') ++p;
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9') ++p;
        }
        switch (*p) {
            case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'c': ++n; break;
            default: return -1;
        }
    }
    return n;
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

template <int N>
struct FieldFormat {
    const char* text;
    consteval FieldFormat(const char* f) : text(f) {  // NOLINT: implicit from literals
        if (detail::CountIntConversions(f) != N) detail::FieldFormatIsMalformed();
    }
};

// ---- Readers and primitives (all over Ctx().describer) ----

inline uint32_t TestBit(uint32_t value, unsigned bit) { return bit < 32 ? value & (1u << bit) : 0; }
uint32_t ReadFieldDword();
uint16_t ReadFieldWord();
uint8_t ReadFieldByte();

// One line of the field's value.
uint8_t ShowByteField(FieldFormat<1> format);
uint16_t ShowWordField(FieldFormat<1> format);
uint32_t ShowDwordField(FieldFormat<1> format);
// One line of a word as unsigned and as signed, in that order.
uint16_t ShowWordPair(FieldFormat<2> format);
// Four bytes (red, green, blue, shade) on one line.
void ShowRgbsField(FieldFormat<4> format);

// " ", the caption, a dump of at most 10240 of the `length` bytes at the
// cursor (only those really there), " "; the cursor moves by the whole
// length, also a negative one.
void HexDumpField(const char* caption, int32_t length);
// " ", the caption (a navigable line for blocks 0-23, whose size and file
// offset are kept), the whole block, " "; the cursor moves past the block.
void HexDumpTextBlock(const char* caption, uint32_t blockSize, uint16_t block,
                      const PacketEntry& entry, uint32_t id);
// The caption and the low bytes of `length` / 2 two-byte characters; the
// line stops at 255 characters and the characters past it are not read.
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

// Types 0x00-0x7F, in type order.
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
