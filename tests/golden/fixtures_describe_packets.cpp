// Fixture documents of the packet details: one packet per layout row,
// name-table boundary and damaged size, each shown through ShowPacketDetail.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/DocBuilder.h"

using namespace testsupport;

namespace {

// Little-endian field bytes in the order written.
class Data {
public:
    Data& U8(uint32_t v) {
        b_.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Data& U16(uint32_t v) {
        PutU16(b_, static_cast<uint16_t>(v));
        return *this;
    }
    Data& U32(uint32_t v) {
        PutU32(b_, v);
        return *this;
    }
    Data& Fill(size_t n, uint8_t v) {
        b_.insert(b_.end(), n, v);
        return *this;
    }
    // Two-byte characters, with their zero character when `terminated`.
    Data& Wide(const std::string& s, bool terminated = true) {
        for (char c : s) U16(static_cast<uint8_t>(c));
        if (terminated) U16(0);
        return *this;
    }
    Data& Bytes(const std::vector<uint8_t>& v) {
        b_.insert(b_.end(), v.begin(), v.end());
        return *this;
    }
    // Pads with zeros to `n` bytes from `from`.
    Data& PadTo(size_t from, size_t n) {
        if (b_.size() < from + n) b_.resize(from + n, 0);
        return *this;
    }
    size_t Size() const { return b_.size(); }
    operator std::vector<uint8_t>() const { return b_; }  // NOLINT: builds a payload

private:
    std::vector<uint8_t> b_;
};

Packet Of(uint8_t type, const std::vector<uint8_t>& payload, std::vector<uint16_t> children = {}) {
    Packet p;
    p.type = type;
    p.payload = payload;
    p.children = std::move(children);
    p.childList = !p.children.empty();
    return p;
}

// ---- Summaries ----------------------------------------------------------------

DocBuilder Summaries() {
    DocBuilder b;
    // 1: four groups: named single line, a date, all zero, every type flag.
    Data groups;
    groups.U16(24).U16(5).U16(1).Wide("Mine").Wide("Ann");
    groups.U16(18).U16(14).U16(4).U16(0).U16(2024).U8(3).U8(9).U8(13).U8(5).U8(7).Fill(3, 0xEE);
    groups.U16(10).U16(0).U16(0).U16(0).U16(0);
    groups.U16(16).U16(51).U16(0x0B).Wide("U").Wide("xy");
    b.Add(Of(0x12, groups));
    // 2: a tag id past the names, after a child list.
    Data tag52;
    tag52.U16(10).U16(52).U16(0).U16(0).U16(0);
    b.Add(Of(0x2C, tag52, {0}));
    // 3: the first group runs 1 byte past the packet.
    Data past;
    past.U16(11).U16(5).U16(1).U16(0).U16(0);
    b.Add(Of(0x12, past));
    // 4: a group length of 0.
    Data zero;
    zero.U16(0).U16(5).U16(1).U16(0).U16(0);
    b.Add(Of(0x12, zero));
    // 5: nothing after the child list.
    b.Add(Of(0x2C, {}, {0}));
    return b;
}

// ---- File names ---------------------------------------------------------------

DocBuilder Filenames() {
    DocBuilder b;
    // 1: a plain file name.
    b.Add(Of(0x07, Data().Wide("C:\\doc.qwd")));
    // 2: a sub-document with two children and their tag words.
    b.Add(Of(0x0C, Data().U16(0x1111).U16(0x2222).Wide("sub.qwd"), {0, 1}));
    // 3: a name without its zero character ends at the packet's end.
    b.Add(Of(0x40, Data().Wide("pic.qwg", false)));
    // 4: a long file name.
    b.Add(Of(0x3F, Data().U16(1).U16(0x0004).U16(0x003F).U32(0xDDDDDDDD).Wide("C:\\").Wide("Long name.qwd")));
    // 5: another kind, with a child list.
    b.Add(Of(0x3F, Data().U16(0x7777).U16(2).U16(1).U16(7).U32(0).Wide("P").Wide("what"), {1}));
    return b;
}

// ---- Text ---------------------------------------------------------------------

DocBuilder Texts() {
    DocBuilder b;
    // 1: two blocks after a child list.
    Packet two;
    two.type = 0x08;
    two.children = {0};
    two.blocks = {Body().Text("Hi"), Body().Text("there")};
    b.Add(two);
    // 2: the first block offset beyond the packet.
    Packet beyond;
    beyond.type = 0x1C;
    beyond.blocks = {Body().Text("Hi")};
    beyond.blockTextOffset = 0x40;
    b.Add(beyond);
    // 3: undocumented bytes between the size table and the first block.
    Packet gap;
    gap.type = 0x08;
    gap.blocks = {Body().Raw({0xB0, 0xB1, 0xB2})};
    gap.blockTextOffset = 13;
    gap.payload = {'O', 'K', '!'};
    b.Add(gap);
    // 4: more blocks declared than the data holds.
    Packet many;
    many.type = 0x08;
    many.blocks = {Body().Text("Hi")};
    many.blockCount = 0x0100;
    b.Add(many);
    // 5: 25 one-byte blocks: the 25th is not navigable.
    Packet blocks25;
    blocks25.type = 0x1C;
    for (int i = 0; i < 25; ++i) blocks25.blocks.push_back(Body().Raw({static_cast<uint8_t>('a' + i)}));
    b.Add(blocks25);
    return b;
}

// ---- Small packets --------------------------------------------------------------

DocBuilder Smalls() {
    DocBuilder b;
    // 1, 2: bookmark names of 38 and 39 characters.
    b.Add(Of(0x09, Data().U16(0x1234).U8(0xF0).U8(0x56).Wide(std::string(38, 'm'))));
    b.Add(Of(0x09, Data().U16(0).U8(0x10).U8(0).Wide(std::string(39, 'n'))));
    // 3: an initial font after a child list: the step back reads the last child.
    b.Add(Of(0x25, Data().U16(7200), {0, 1}));
    // 4: an initial font without one: the step back from the start reads zero.
    b.Add(Of(0x25, Data().U16(0x0E10)));
    // 5: a box group.
    b.Add(Of(0x4C, Data().U16(3)));
    // 6: a desired font with its typeface name.
    Data font;
    font.U16(0x10).U16(0x11).U16(0x12).U16(0x13).U16(0x14).U16(0x15);
    for (int i = 0; i < 10; ++i) font.U8(0xA0 + i);
    font.U16(10).Wide("Arial");
    b.Add(Of(0x55, font));
    // 7: ... and without.
    Data unnamed;
    unnamed.Fill(22, 1).U16(0).Wide("never");
    b.Add(Of(0x55, unnamed));
    // 8: a named object.
    b.Add(Of(0x5B, Data().U8(0x81).U16(0xBEEF).Wide("Chart 1")));
    // 9: assistant data.
    b.Add(Of(0x5D, Data().U32(0x04030201).U8(0x41)));
    // 10: a box group packet above 0x7F has no describer.
    b.Add(Of(0xCC, Data().U16(3)));
    return b;
}

// ---- Styles -----------------------------------------------------------------------

// The 32-byte name slot and the levels of a counter style.
Data CounterStyle(bool system) {
    Data d;
    if (system)
        d.U8(0x85).U8(0).U16(0);
    else
        d.Wide("Outline");
    d.PadTo(0, 32);
    d.U8(3);
    for (int i = 1; i <= 5; ++i) d.U8(static_cast<uint8_t>(i * 50));
    d.U32(0xFFFFFFFF);
    const char* names[] = {"One", "Two", "", "Four", "Five"};
    for (int i = 0; i < 5; ++i) {
        const size_t at = d.Size();
        d.Wide(names[i]).PadTo(at, 32);
    }
    return d;
}

// Common head of the border, line and fill styles.
Data StyleHead(uint16_t total, uint8_t library, int16_t nameLength, const std::string& name) {
    Data d;
    d.U16(total).U16(0x20).U8(0x01).U8(library).U16(static_cast<uint16_t>(nameLength));
    if (nameLength > 0) d.Wide(name, false);
    return d;
}

Data BorderStyle(int16_t nameLength, bool verticalSpacing, const std::string& name = "Box") {
    Data d = StyleHead(0x40, 1, nameLength, name);
    d.U16(0x30).U8(0x1F).U8(0x11);
    for (int i = 0; i < 9; ++i) d.U16(0x100 + i);
    d.U8(1).U8(2).U8(3).U8(4).U8(3).U16(0x50).U8(5).U8(6).U8(7).U8(8);
    if (verticalSpacing) d.U16(0x60);
    return d;
}

Data LineStyle(int16_t nameLength) {
    Data d = StyleHead(0x30, 0, nameLength, "");
    d.U16(0x20).U8(0).U16(0x99).U8(2);
    d.U16(0x10).U8(1).U16(0x20).U16(0x30).U8(1).U8(2).U8(3).U8(4).U8(2).U16(0x11).U16(0x22);
    d.U16(0x0C).U8(0).U16(0x21).U16(0x31).U8(5).U8(6).U8(7).U8(8).U8(4).U8(0);
    return d;
}

Data FillStyle(int16_t nameLength, bool gradient, uint8_t gradientFlags) {
    Data d = StyleHead(0x28, 1, nameLength, "Mesh");
    d.U16(0x18).U8(0x02).U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(7).U8(8).U8(gradient ? 1 : 0).U16(0x0C);
    if (gradient)
        d.U8(gradientFlags).U16(0x40).U32(0x00010000).U16(0x8000).U16(0x4000);
    else
        d.U8(3).U8(0);
    return d;
}

// A template override with every field section, `extra` bytes of size past them.
Data TemplateOverride(uint16_t flags, int extra) {
    Data fields;
    if (flags & 0x8000) fields.U8(0xF1).U8(0xF2);
    if (flags & 0x4000) fields.U8(0xE1).U8(0xE2);
    if (flags & 0x2000) fields.U16(0x0D);
    if (flags & 0x1000) fields.U16(1).U16(2).U16(3).U16(4);
    if (flags & 0x0800) fields.U16(5).U16(6).U16(7).U16(8);
    if (flags & 0x0400) fields.U8(9).U16(0x0A).U8(1).U8(2).U8(3).U8(4);
    if (flags & 0x0200) fields.U8(5).U8(6).U8(7).U8(8);
    if (flags & 0x0100) fields.U16(0x0B);
    const int size = static_cast<int>(fields.Size()) + 2 + extra;
    Data d;
    d.U16(static_cast<uint16_t>(size)).U16(flags).Bytes(fields);
    if (extra > 0) d.Fill(static_cast<size_t>(extra), 0xAB);
    return d;
}

Data BoxStyle(int16_t nameLength, uint16_t templateFlags, int templateExtra, int borderRest) {
    Data d;
    d.U16(0x80).U16(0x10).U8(0x03).U8(0x01).U16(static_cast<uint16_t>(nameLength));
    if (nameLength > 0) d.Wide("Note", false);
    d.U16(3).U8(0x01);
    d.U16(0x11).U8(1).U8(2).U8(3).U16(0x444).U8(5).U8(6).U8(7).U16(0x888).U8(9).U16(0xAAA).U8(0xB).U16(0xCCC);
    d.U16(0x0A).U8(1).U8(2).U8(3).U16(3).Bytes({0xD1, 0xD2, 0xD3});
    d.U16(0x09).U8(1).U8(2).U8(3).U16(0x100).U16(0x200);
    const Data over = TemplateOverride(templateFlags, templateExtra);
    const int border = 1 + static_cast<int>(over.Size()) + borderRest;
    d.U16(static_cast<uint16_t>(border)).U8(0x42).Bytes(over);
    if (borderRest > 0) d.Fill(static_cast<size_t>(borderRest), 0xBC);
    d.U16(0x09).U8(0x07).U16(5).U16(0x8000).Bytes({0xF1, 0xF2, 0xF3});
    d.U16(0x04).U8(0x01).U8(0x22);
    d.U16(0x04).U8(0x02).U8(0x33);
    return d;
}

DocBuilder Styles() {
    DocBuilder b;
    b.Add(Of(0x11, CounterStyle(true)));   // 1
    b.Add(Of(0x45, CounterStyle(false)));  // 2
    // 3: a style with all four text blocks, a description where the offset
    // says, every flag bit set.
    Data style;
    style.U16(4).U32(0).U32(2).U32(3).U32(1).U32(2).U8(5).U8(0xFF).U16(0xABCD).U16(28);
    style.Wide("Body text").Bytes({'P', 'P', 'B', 'B', 'B', 'E', 'X', 'X'});
    b.Add(Of(0x30, style));
    // 4: a style with no text, a type past the names and a name before the
    // description.
    Data plain;
    plain.U16(0).U32(0).U32(0).U32(0).U32(0).U32(0).U8(6).U8(0x80).U16(0).U16(0);
    plain.Wide("Heading").Wide("Big");
    b.Add(Of(0x30, plain));
    b.Add(Of(0x44, BorderStyle(6, true)));     // 5: a name field
    b.Add(Of(0x44, BorderStyle(0, false)));    // 6: "(Spacing Only)", no vertical spacing
    b.Add(Of(0x44, BorderStyle(-14, true)));   // 7: the last name
    b.Add(Of(0x44, BorderStyle(-15, true)));   // 8: undefined
    b.Add(Of(0x42, LineStyle(-3)));            // 9
    b.Add(Of(0x42, LineStyle(-12)));           // 10: undefined
    b.Add(Of(0x43, FillStyle(-11, false, 0)));     // 11: "5% fill", pattern
    b.Add(Of(0x43, FillStyle(8, true, 0x23)));     // 12: gradient kind 3 (an empty line), document aspect
    b.Add(Of(0x43, FillStyle(-12, true, 0x01)));   // 13: undefined, radial
    b.Add(Of(0x41, BoxStyle(-4, 0xFF00, 2, 3)));   // 14: "Button Box", every template field, both remainders
    b.Add(Of(0x41, BoxStyle(-5, 0x2000, 0, -2)));  // 15: undefined, the border size too small
    b.Add(Of(0x41, BoxStyle(8, 0x0000, 0, 0)));    // 16: a name field, an empty template override
    // 17: a template override whose fields run past its size.
    b.Add(Of(0x41, BoxStyle(-1, 0x2000, -2, 0)));
    // 18: a name field longer than a line: the line is cut, the field read whole.
    b.Add(Of(0x44, BorderStyle(600, true, std::string(300, 'z'))));
    return b;
}

// ---- Named-object lists and equations -----------------------------------------------

DocBuilder Objects() {
    DocBuilder b;
    auto node = [](Data& d, uint32_t n) {
        d.U32(n).U32(n + 1).U32(n + 2).U32(n + 3).U16(0x44).U16(0x55).U8(0x66).U16(0x77).U16(0x88);
        d.U32(0x99).U32(0xAA).U16(0xBB).U32(0xCC).U32(0xDD);
    };
    // 1: exactly one node after the header.
    Data one;
    one.U8(1).U32(2);
    node(one, 0x10);
    b.Add(Of(0x5C, one));
    // 2: two nodes and 7 bytes more.
    Data two;
    two.U8(0).U32(0);
    node(two, 0x20);
    node(two, 0x30);
    two.Fill(7, 0xEE);
    b.Add(Of(0x5C, two));
    // 3: every equation node kind, then kind 6.
    Data eq;
    eq.U8(1).U16(0x100).U16(0x200).U16(0x300).U16(0);
    eq.U8(1).U16(1).U16(2).U16(3).U16(1);
    eq.U8(1).U16(1).U16(2).U16(3).U16(2);
    eq.U8(1).U16(1).U16(2).U16(3).U16(7);
    eq.U8(2).U16(0x10).U16(0x20).U8(3).Bytes({'a', 'b', 'c'});
    eq.U8(3).U8(1).U8(2).U8(3);
    eq.U8(4).U16(0x11).U16(0x21).U8(0);
    eq.U8(5).U16(1).U16(2).U16(3).U16(4);
    eq.U8(6).U16(0);
    b.Add(Of(0x64, eq));
    // 4: a node kind as the packet's last byte.
    b.Add(Of(0x64, Data().U8(3).U8(1).U8(2).U8(3).U8(5)));
    return b;
}

bool WriteDescribePacketFixtures(const std::string& dir) {
    bool ok = true;
    ok = golden::WriteFixture(dir, "describe-summary.qwd", Summaries().Build()) && ok;
    ok = golden::WriteFixture(dir, "describe-filenames.qwd", Filenames().Build()) && ok;
    ok = golden::WriteFixture(dir, "describe-text.qwd", Texts().Build()) && ok;
    ok = golden::WriteFixture(dir, "describe-small.qwd", Smalls().Build()) && ok;
    ok = golden::WriteFixture(dir, "describe-styles.qwd", Styles().Build()) && ok;
    ok = golden::WriteFixture(dir, "describe-objects.qwd", Objects().Build()) && ok;
    return ok;
}

}  // namespace

GOLDEN_FIXTURES(WriteDescribePacketFixtures);
