#include "graphics/Fields.h"

#include "graphics/Reader.h"

#include <algorithm>

namespace graphics {

namespace {

// Once the data has ended nothing more is read, so a damaged flag word
// costs one end-of-data line, not one for every field it names.
uint32_t Dword() { return Gfx().endOfData ? 0 : ReadQwgDword(); }
uint32_t Word() { return Gfx().endOfData ? 0 : static_cast<uint16_t>(ReadQwgWord()); }

struct FlagLine {
    uint32_t bit;
    const char* text;
};

constexpr FlagLine kFlagLines[] = {
    {0x8000, "Entity is to be Framed "},
    {0x4000, "Entity is to be Closed "},
    {0x2000, "Entity is to be Filled "},
    {0x1000, "Entity Path is composed by Winding Rule "},
    {0x0800, "Entity Draw Direction is Clockwise "},
    {0x0100, "State Changes within entity only apply to entity "},
};

struct Element {
    const char* label;
    uint32_t value;
};

// A titled group of 16.16 elements, one step in.
template <size_t N>
void EmitElements(const char* title, const Element (&elements)[N], const char* suffix) {
    DumpPrinter& out = Out();
    out.EmitRecordTitle(title);
    out.ChangeIndent(kIndentIn);
    for (const Element& e : elements) out.EmitFixedValue(e.label, e.value, suffix);
    out.ChangeIndent(kIndentOut);
}

}  // namespace

uint32_t RecordLeft() {
    const GraphicsState& g = Gfx();
    return g.recordEnd > g.bytePosition ? g.recordEnd - g.bytePosition : 0;
}

uint32_t FittingElements(uint32_t count, uint32_t size) {
    // Within the record and within the data: a record claiming more than
    // the file holds would otherwise list zeros up to its count.
    uint32_t left = RecordLeft();
    // Only a record reaching past the buffered bytes asks the file's length.
    if (left > QwgReaderBuffered(Gfx().file)) left = std::min(left, QwgReaderDataLeft(Gfx().file));
    const uint32_t fit = size == 0 ? count : left / size;
    return count < fit ? count : fit;
}

void StopAtRecordEnd(uint32_t from, uint64_t asked) {
    GraphicsState& g = Gfx();
    const uint64_t wanted = static_cast<uint64_t>(from) + asked;
    if (wanted <= g.recordEnd) return;
    const uint32_t left = RecordLeft();
    if (left != 0 && !g.endOfData) {
        const uint32_t before = QwgReaderTell(g.file);
        QwgReaderSkip(g.file, left);
        g.bytePosition += QwgReaderTell(g.file) - before;
    }
    // Past the end by the fixed fields already read, plus what the count asked.
    const uint64_t beyond = wanted - std::max<uint64_t>(from, g.recordEnd);
    const uint64_t pos = static_cast<uint64_t>(std::max(g.bytePosition, g.recordEnd)) + beyond;
    g.bytePosition = static_cast<uint32_t>(std::min<uint64_t>(pos, 0xFFFFFFF0u));
}

uint32_t ReadCoordinate(Precision precision) {
    return precision == Precision::Double ? ReadQwgDword() : static_cast<uint16_t>(ReadQwgWord());
}

uint32_t ReadComponent(bool wide) {
    return wide ? static_cast<uint16_t>(ReadQwgWord()) : static_cast<uint8_t>(ReadQwgByte());
}

std::string ReadWordString(size_t capacity) {
    std::string s;
    // A string with no zero character ends with its record.
    while (!Gfx().endOfData && Gfx().bytePosition < Gfx().recordEnd) {
        const int32_t c = ReadQwgWord();
        if (c <= 0) break;
        if (s.size() < capacity) s += static_cast<char>(c & 0xFF);
    }
    return s;
}

uint32_t ReadCharacterization() {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    Transformation& t = g.transform;
    t.SetIdentity();
    const uint32_t flags = Word();
    g.lastCharacterization = static_cast<uint16_t>(flags);
    uint32_t bytes = 2;
    const bool lines = !g.headerLinesOff;
    const bool detail = lines && g.detail;

    if (lines) out.EmitIndented("Characterization Flag = %4xh ", flags);
    out.ChangeIndent(kIndentIn);
    if (lines)
        for (const FlagLine& f : kFlagLines)
            if (flags & f.bit) out.EmitIndented("%s", f.text);

    if (flags & 0x80) {
        const uint32_t lock = Dword();
        bytes += 4;
        if (lines) {
            out.EmitIndented("Edit Locks are defined for entity ");
            out.EmitIndented("Edit Lock Flag = %8xh ", lock);
        }
    }
    if (flags & 0x20) bytes += g.endOfData ? 2 : static_cast<uint32_t>(ReadEntityObjectId());

    uint32_t sxCos = 0, syCos = 0, kxSin = 0, kySin = 0;
    if (flags & 0x10) {
        const uint32_t angle = Dword();
        sxCos = Dword();
        syCos = Dword();
        kxSin = Dword();
        kySin = Dword();
        bytes += 20;
        t.e[0] = Fixed32::FromFixed16(sxCos);
        t.e[1] = Fixed32::FromFixed16(kySin);
        t.e[2] = Fixed32::FromFixed16(kxSin);
        t.e[3] = Fixed32::FromFixed16(syCos);
        if (lines) {
            out.EmitIndented("Entity is to be Rotated ");
            if (detail)
                EmitElements("Rotating Elements",
                             {{"Rotation Angle =", angle},
                              {"SxCos\xE9         =", sxCos},
                              {"SyCos\xE9         =", syCos},
                              {"-KxSin\xE9        =", kxSin},
                              {"KySin\xE9         =", kySin}},
                             "");
        }
    }
    if (flags & 0x08) {
        // With a rotation the scale is the rotation's; nothing more is read.
        if (!(flags & 0x10)) {
            sxCos = Dword();
            syCos = Dword();
            bytes += 8;
            t.e[0] = Fixed32::FromFixed16(sxCos);
            t.e[3] = Fixed32::FromFixed16(syCos);
        }
        if (lines) {
            out.EmitIndented("Entity is to be Scaled ");
            if (detail)
                EmitElements("Scaling Elements", {{"SxCos\xE9 =", sxCos}, {"SyCos\xE9 =", syCos}}, " ");
        }
    }
    if (flags & 0x04) {
        if (!(flags & 0x10)) {
            kxSin = Dword();
            kySin = Dword();
            bytes += 8;
            t.e[2] = Fixed32::FromFixed16(kxSin);
            t.e[1] = Fixed32::FromFixed16(kySin);
        }
        if (lines) {
            out.EmitIndented("Entity is to be Sheared ");
            if (detail)
                EmitElements("Shearing Elements", {{"-KxSin\xE9 =", kxSin}, {"KySin\xE9  =", kySin}}, " ");
        }
    }
    if (flags & 0x02) {
        const uint32_t xFraction = Word();
        const uint32_t xInteger = Dword();
        const uint32_t yFraction = Word();
        const uint32_t yInteger = Dword();
        bytes += 12;
        // The u16 is the fraction word as it stands.
        t.e[4] = Fixed32::FromWords(static_cast<int32_t>(xInteger), xFraction);
        t.e[5] = Fixed32::FromWords(static_cast<int32_t>(yInteger), yFraction);
        if (lines) {
            out.EmitIndented("Entity is to be Translated ");
            if (detail) {
                out.EmitRecordTitle("Translation Elements");
                out.ChangeIndent(kIndentIn);
                out.EmitIndented("Tx = %8lxh.%4xh (i:%10ld f:%lu)", static_cast<unsigned long>(xInteger),
                                 xFraction, static_cast<long>(static_cast<int32_t>(xInteger)),
                                 static_cast<unsigned long>(xFraction));
                out.EmitIndented("Ty = %8lxh.%4xh (i:%10ld f:%lu)", static_cast<unsigned long>(yInteger),
                                 yFraction, static_cast<long>(static_cast<int32_t>(yInteger)),
                                 static_cast<unsigned long>(yFraction));
                out.ChangeIndent(kIndentOut);
            }
        }
    }
    if (flags & 0x01) {
        const uint32_t px = Dword();
        const uint32_t py = Dword();
        bytes += 8;
        if (lines) {
            out.EmitIndented("Entity is to be Tapered ");
            if (detail) {
                out.EmitRecordTitle("Taper Elements");
                out.ChangeIndent(kIndentIn);
                out.EmitIndented("Px = %4xh (%5d)", px, static_cast<int32_t>(px));
                out.EmitFixedValue("", px, " ");
                out.EmitIndented("Py = %4xh (%5d)", py, static_cast<int32_t>(py));
                out.EmitFixedValue("", py, " ");
                out.ChangeIndent(kIndentOut);
            }
        }
    }
    out.ChangeIndent(kIndentOut);
    return bytes;
}

}  // namespace graphics
