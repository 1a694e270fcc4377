#pragma once
// The record handlers: field rows read and shown by one interpreter, and
// handler functions for the records whose reading branches.

#include <cstdint>
#include <span>

#include "engine/Describer.h"
#include "graphics/Records.h"

namespace graphics {

// A value's name: names[value - first], else `other`.
struct NameTable {
    std::span<const char* const> names;
    const char* other;
    uint32_t first = 0;
    const char* operator()(uint32_t v) const {
        return v >= first && v - first < names.size() ? names[v - first] : other;
    }
};

extern const NameTable kPenStyleNames;
extern const NameTable kPatternNames;
extern const NameTable kObjectFormatNames;

enum class FieldKind : uint8_t {
    Title,       // a sub-block title
    In,          // one indentation step in
    Out,         // and out
    Text,        // a fixed line (optional leading "%s")
    ByteLine,    // u8 into a format, once per conversion
    WordLine,    // u16
    ShortLine,   // i16
    DwordLine,   // u32 (l-modified conversions)
    ByteValue,   // u8 as a value line: label, value, " "
    WordValue,   // u16
    ShortValue,  // i16
    CoordValue,  // a coordinate in the current precision
    FixedValue,  // signed 16.16
    UFixedValue, // unsigned 16.16
    ByteNamed,   // u8 and its name into a format ("%3u - %s")
    WordNamed,   // u16 likewise
    WordLabelNamed,  // u16 value line, the name as suffix
    ByteLabelNamed,  // u8 likewise
    BitSet,      // a line when bit `arg` of the last value is set; `other` when clear
    Area,        // x1 y1 x2 y2: title, edges (transformed), box check, detail size
    ByteName,    // u8 shown as its name alone
    WordPair,    // two u16 into one format: a, b, a, b
    Characterization,  // the entity head
    TextKind,    // sets the text kind
    Skip,        // the rest of the record read and dropped
    HexRest,     // the rest as a hex dump
};

enum : uint8_t {
    kFieldDetail = 0x01,    // shown with the detail flag only
    kFieldIndented = 0x02,  // the format starts with the indentation
};

struct FieldRow {
    FieldKind kind;
    uint8_t flags = 0;
    const char* text = nullptr;
    const char* other = nullptr;  // bit clear text; area check label
    const NameTable* names = nullptr;
    uint32_t arg = 0;             // bit mask; area size title index
    const char* sizeTitle = nullptr;
};

// A format with a value and its name ("%3u - %s"), after an optional
// leading "%s".
struct NamedFormat {
    const char* text;
    bool indented;
    consteval NamedFormat(const char* f)  // NOLINT: implicit from literals
        : text(f), indented(engine::detail::MatchesKinds(f, "sis")) {
        if (!indented && !engine::detail::MatchesKinds(f, "is")) engine::detail::FieldFormatIsMalformed();
    }
};

// Row builders; every format is checked against what its kind feeds.
namespace rows {
using engine::ValueFormat;
inline constexpr uint8_t Ind(bool indented, uint8_t flags) {
    return static_cast<uint8_t>(flags | (indented ? kFieldIndented : 0));
}
consteval FieldRow Title(const char* t, uint8_t flags = 0) { return {FieldKind::Title, flags, t}; }
consteval FieldRow In() { return {FieldKind::In}; }
consteval FieldRow Out() { return {FieldKind::Out}; }
consteval FieldRow Text(ValueFormat<'t'> f, uint8_t flags = 0) {
    return {FieldKind::Text, Ind(f.indented, flags), f.text};
}
consteval FieldRow Byte(ValueFormat<'i'> f, uint8_t flags = 0) {
    return {FieldKind::ByteLine, Ind(f.indented, flags), f.text};
}
consteval FieldRow Word(ValueFormat<'i'> f, uint8_t flags = 0) {
    return {FieldKind::WordLine, Ind(f.indented, flags), f.text};
}
consteval FieldRow Short(ValueFormat<'i'> f, uint8_t flags = 0) {
    return {FieldKind::ShortLine, Ind(f.indented, flags), f.text};
}
consteval FieldRow Dword(ValueFormat<'l'> f, uint8_t flags = 0) {
    return {FieldKind::DwordLine, Ind(f.indented, flags), f.text};
}
// Value lines: the label verbatim, then the value.
consteval FieldRow ByteValue(ValueFormat<'t'> label) { return {FieldKind::ByteValue, 0, label.text}; }
consteval FieldRow WordValue(ValueFormat<'t'> label) { return {FieldKind::WordValue, 0, label.text}; }
consteval FieldRow ShortValue(ValueFormat<'t'> label) { return {FieldKind::ShortValue, 0, label.text}; }
consteval FieldRow Coord(ValueFormat<'t'> label) { return {FieldKind::CoordValue, 0, label.text}; }
consteval FieldRow Fixed(ValueFormat<'t'> label) { return {FieldKind::FixedValue, 0, label.text}; }
consteval FieldRow UFixed(ValueFormat<'t'> label) { return {FieldKind::UFixedValue, 0, label.text}; }
consteval FieldRow ByteNamed(NamedFormat f, const NameTable& names) {
    return {FieldKind::ByteNamed, Ind(f.indented, 0), f.text, nullptr, &names};
}
consteval FieldRow WordNamed(NamedFormat f, const NameTable& names) {
    return {FieldKind::WordNamed, Ind(f.indented, 0), f.text, nullptr, &names};
}
consteval FieldRow WordLabelNamed(ValueFormat<'t'> label, const NameTable& names) {
    return {FieldKind::WordLabelNamed, 0, label.text, nullptr, &names};
}
consteval FieldRow ByteLabelNamed(ValueFormat<'t'> label, const NameTable& names) {
    return {FieldKind::ByteLabelNamed, 0, label.text, nullptr, &names};
}
// A line for bit mask `bit` of the last value, set or (when given) clear.
consteval FieldRow Bit(uint32_t bit, ValueFormat<'t'> set, uint8_t flags = 0) {
    return {FieldKind::BitSet, Ind(set.indented, flags), set.text, nullptr, nullptr, bit};
}
consteval FieldRow Bit(uint32_t bit, ValueFormat<'t'> set, ValueFormat<'t'> clear, uint8_t flags = 0) {
    if (set.indented != clear.indented) engine::detail::FieldFormatIsMalformed();
    return {FieldKind::BitSet, Ind(set.indented, flags), set.text, clear.text, nullptr, bit};
}
enum : uint32_t { kEdges = 0, kCorners = 1, kShapeCorners = 2 };
// Four coordinates x1 y1 x2 y2: title and edge lines (detail-only with
// kFieldDetail), the box check, and in detail the size block.
consteval FieldRow Area(const char* title, const char* check, const char* sizeTitle, uint32_t labels = kEdges,
                        uint8_t flags = 0) {
    return {FieldKind::Area, flags, title, check, nullptr, labels, sizeTitle};
}
consteval FieldRow ByteName(const NameTable& names) {
    return {FieldKind::ByteName, 0, nullptr, nullptr, &names};
}
consteval FieldRow WordPair(engine::TypedFormat<"siiii"> f) { return {FieldKind::WordPair, kFieldIndented, f.text}; }
consteval FieldRow Characterize() { return {FieldKind::Characterization}; }
consteval FieldRow SetTextKind() { return {FieldKind::TextKind}; }
consteval FieldRow Skip() { return {FieldKind::Skip}; }
consteval FieldRow HexRest() { return {FieldKind::HexRest}; }
}  // namespace rows

// Reads and shows the rows of one record in order.
void RunFields(std::span<const FieldRow> rows);
// The handler of a row with fields: title, length, the fields one step in.
void DumpFieldRecord(const RecordRow& row);

// Handlers of the records whose reading branches.
void DumpStart(const RecordRow& row);          // 1
void DumpFormSettings(const RecordRow& row);   // 3
void DumpRulerSettings(const RecordRow& row);  // 4
void DumpLayer(const RecordRow& row);          // 6
void DumpPenStyleDef(const RecordRow& row);    // 8
void DumpPatternDef(const RecordRow& row);     // 9
void DumpComment(const RecordRow& row);        // 10
void DumpColorTransfer(const RecordRow& row);  // 11
void DumpColorPalette(const RecordRow& row);   // 12, 13
void DumpBitmapData(const RecordRow& row);     // 14
void DumpTextData(const RecordRow& row);       // 15
void DumpObjectImage(const RecordRow& row);    // 18
void DumpPolyline(const RecordRow& row);       // 21
void DumpPolyspline(const RecordRow& row);     // 22
void DumpPolycurve(const RecordRow& row);      // 23
void DumpArc(const RecordRow& row);            // 25
void DumpTextLine(const RecordRow& row);       // 28
void DumpTextPath(const RecordRow& row);       // 30
void DumpChart(const RecordRow& row);          // 31
void DumpGroup(const RecordRow& row);          // 32
void DumpObjectCapsule(const RecordRow& row);  // 33
void DumpFontSettings(const RecordRow& row);   // 34
void DumpColorRecord(const RecordRow& row);    // 37-40, 51, 52
void DumpBrushGradient(const RecordRow& row);  // 47, 48
void DumpBrushForeground(const RecordRow& row);  // 49, 50
void DumpTextureDef(const RecordRow& row);     // 60
void DumpShapeObject(const RecordRow& row);    // 66

}  // namespace graphics
