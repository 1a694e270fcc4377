#include "sheet/FilterMasks.h"

#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/PacketNames.h"

namespace inspector {

const std::array<CodeCategory, kCodeCategoryCount> kCodeCategories = {{
    {"(00-7F) ASCII chararacters", 0, 0x6},
    {"(80-CF) Single-byte functions", 0, 0x8},
    {"(D0) End-of-line group", 0x1, 0},
    {"(D1) Page group", 0x2, 0},
    {"(D2) Column group", 0x4, 0},
    {"(D3) Paragraph group", 0x8, 0},
    {"(D4) Character group", 0x10, 0},
    {"(D5) Cross-reference group", 0x20, 0},
    {"(D6) Header/footer group", 0x40, 0},
    {"(D7) Footnote/endnote group", 0x80, 0},
    {"(D8) Set number group", 0x100, 0},
    {"(D9) Numbering method group", 0x200, 0},
    {"(DA) Display reference group", 0x400, 0},
    {"(DB) Increment number group", 0x800, 0},
    {"(DC) Decrement number group", 0x1000, 0},
    {"(DD) Style group", 0x2000, 0},
    {"(DE) Merge group", 0x4000, 0},
    {"(DF) Box group", 0x8000, 0},
    {"(E0) Tab group", 0x10000, 0},
    {"(E1) Platform group", 0x20000, 0},
    {"(E2) Formatter group", 0x40000, 0},
    {"(F0-FF) Fixed-length functions", 0, 0x10},
}};

const std::array<const char*, kGraphicsCategoryCount> kGraphicsCategoryNames = {
    "(0x01) Start QWG",         "(0x02) End QWG",           "(0x03) Form Settings",
    "(0x04) Ruler Settings",    "(0x05) Grid Settings",     "(0x06) Layer",
    "(0x07) ObjectLink",        "(0x08) Pen Style definition", "(0x09) Pattern Definition",
    "(0x0A) Comment",           "(0x0B) Color Transfer",    "(0x0C) Color Palette",
    "(0x0D) DP Color Palette",  "(0x0E) Bitmap Data",       "(0x0F) Text Data",
    "(0x10) Chart Style",       "(0x11) Chart Data",        "(0x12) Object Image",
    "(0x13) Clip Region",       "(0x14) Clip Path",         "(0x15) Polyline",
    "(0x16) Polyspline",        "(0x17) Polycurve",         "(0x18) Rectangle",
    "(0x19) Arc",               "(0x1A) Compound Polygon",  "(0x1B) Bitmap",
    "(0x1C) Text Line",         "(0x1D) Text Block",        "(0x1E) Text Path",
    "(0x1F) Chart",             "(0x20) Group",             "(0x21) Object Capsule",
    "(0x22) Font Settings",     "(0x23) Line Cap Definition", "(0x24) Line Join Definition",
    "(0x25) Pen Fore Color",    "(0x26) DP Pen Fore Color", "(0x27) Pen Back Color",
    "(0x28) DP Pen Back Color", "(0x29) Pen Style",         "(0x2A) Pen Pattern",
    "(0x2B) Pen Size",          "(0x2C) DP Pen Size",       "(0x2D) Line Cap",
    "(0x2E) Line Join",         "(0x2F) Brush Gradient",    "(0x30) DP Brush Gradient",
    "(0x31) Brush Fore Color",  "(0x32) DP Brush For Color", "(0x33) Brush Back Color",
    "(0x34) DP Brush Back Color", "(0x35) Brush Pattern",   "(0x36) Horziontal Line",
    "(0x37) Vertical Line",     "(0x38) Poster Settings",   "(0x39) Image State",
    "(0x3A) Envelope_Definition", "(0x3B) Envelope",        "(0x3C) Texture Definition",
    "(0x3D) Brush Texture",     "(0x3E) Texture Alignment", "(0x3F) Pen Texture",
    "(0x40) Shape Object",
};

namespace {

// Row r: types 0x01-0x20 in the second word, 0x21-0x40 in the first.
std::array<uint32_t, 2> GraphicsRowBits(size_t r) {
    if (r < 32) return {0, 1u << r};
    return {1u << (r - 32), 0};
}

}  // namespace

std::string PacketFilterRowText(size_t type) {
    const char* name = type < engine::kPacketTypeNames.size() ? engine::kPacketTypeNames[type] : "";
    // The dialect's own names; a row it removes reads as the undefined types do.
    if (const engine::NameOverlayRow* o = engine::Ctx().profile->OverlayRow("PacketTypeNames", static_cast<uint32_t>(type));
        o && type != 0)
        name = o->name ? o->name : "Undefined";
    return engine::Format("(0x%2X) %s", static_cast<unsigned>(type), name ? name : "");
}

FilterChoice ChoiceFromMasks(const FilterMasks& m) {
    FilterChoice c;
    for (size_t r = 0; r < kCodeCategoryCount; ++r)
        c.codes[r] = (kCodeCategories[r].groupBits & m.code[0]) || (kCodeCategories[r].classBits & m.code[1]);
    c.viewInvalid = (m.code[1] & kViewInvalidCodes) != 0;
    for (size_t r = 0; r < kGraphicsCategoryCount; ++r) {
        const auto bits = GraphicsRowBits(r);
        c.graphics[r] = (bits[0] & m.graphics[0]) || (bits[1] & m.graphics[1]);
    }
    c.viewAvailable = (m.prefix[7] & kViewAvailable) != 0;
    for (size_t t = 0; t < kPacketFilterRows; ++t) c.packets[t] = (m.prefix[t / 32] >> (t % 32)) & 1u;
    return c;
}

FilterMasks MasksFromChoice(const FilterChoice& c) {
    FilterMasks m;
    for (size_t r = 0; r < kCodeCategoryCount && r < c.codes.size(); ++r) {
        if (!c.codes[r]) continue;
        m.code[0] |= kCodeCategories[r].groupBits;
        m.code[1] |= kCodeCategories[r].classBits;
    }
    if (c.viewInvalid) m.code[1] |= kViewInvalidCodes;
    for (size_t r = 0; r < kGraphicsCategoryCount && r < c.graphics.size(); ++r) {
        if (!c.graphics[r]) continue;
        const auto bits = GraphicsRowBits(r);
        m.graphics[0] |= bits[0];
        m.graphics[1] |= bits[1];
    }
    if (c.viewAvailable) m.prefix[7] |= kViewAvailable;
    for (size_t t = 0; t < kPacketFilterRows && t < c.packets.size(); ++t)
        if (c.packets[t]) m.prefix[t / 32] |= 1u << (t % 32);
    return m;
}

}  // namespace inspector
