// One document per function-data layout: the function is the first code of
// the document area (0x1E), so each case describes it with DescribeCodeAt.

#include <string>
#include <utility>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/DocBuilder.h"

namespace {

using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::VarFunc;
using Bytes = std::vector<uint8_t>;

// Little-endian fields in the order they are read.
struct Fields {
    Bytes b;
    Fields& u8(unsigned v) {
        b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Fields& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Fields& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Fields& run(size_t n, uint8_t from) {
        for (size_t i = 0; i < n; ++i) u8(static_cast<uint8_t>(from + i));
        return *this;
    }
    Fields& add(const Fields& f) {
        b.insert(b.end(), f.b.begin(), f.b.end());
        return *this;
    }
    operator Bytes() const { return b; }  // NOLINT: fields are bytes
};

Bytes Doc(const VarFunc& f) {
    DocBuilder d;
    d.body.Var(f).Text("end");
    return d.Build();
}

// A border/fill override with every border field, a colour fill and a rest
// of two bytes in the border template and in the whole block.
Fields FullBorderFill() {
    Fields border;
    border.u16(0xFF00)
        .u8(0x11).u8(0x12)                     // prefix id mask, flags
        .u8(0x21).u8(0x22)                     // general mask, flags
        .u16(0x0030)                           // corner radius
        .u16(1).u16(2).u16(3).u16(4)           // inside spacing
        .u16(5).u16(6).u16(7).u16(8)           // outside spacing
        .u8(3).u16(0x0040).u8(1).u8(2).u8(3).u8(4)  // drop shadow
        .u8(0xA1).u8(0xA2).u8(0xA3).u8(0xA4)   // border colour
        .u16(0x0050)                           // vertical shadow spacing
        .u8(0xEE).u8(0xEF);                    // other border data
    Fields fill;
    fill.u16(0x8000).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(7).u8(8);
    Fields inner;
    inner.u16(0xC000).u16(static_cast<unsigned>(border.b.size())).add(border)
        .u16(static_cast<unsigned>(fill.b.size())).add(fill).u8(0xDD).u8(0xDE);
    Fields f;
    f.u16(static_cast<unsigned>(inner.b.size())).add(inner);
    return f;
}

Fields BoxHead(unsigned flags) {
    Fields f;
    f.run(14, 0x01).u16(0x0100).u16(0x0080).u16(flags);
    return f;
}

// The 37 bytes after the 0x45 mark of a box's deletable part in detail.
Fields BoxDetailTail() {
    Fields f;
    f.u8(0x02);
    for (unsigned i = 0; i < 16; ++i) f.u16(0x0100 + i);
    f.u8(0x03).u16(0x0004);
    return f;
}

VarFunc Box(const Fields& data, const Fields& deletable = {}) { return Func(0xDF, 0x00, {}, data, deletable); }

// A draw object with every section but the smart shape.
Fields DrawObjectAll() {
    Fields s;
    s.u16(0xFFF0)
        .u8(0x03)                                   // style: rectangle
        .u32(0x01020304)                            // style data
        .u16(2).u16(0x0010).u16(0xFFF0).u16(0x8000).u16(0x7FFF)  // two points
        .u16(13).u16(0xC000).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(7).u8(8)  // fill: colours
        .u8(0).u8(0x05).u8(0x06)                    // pattern fill
        .u8(0x0A).u8(0x17)                          // arrows: solid arrow, big circle
        .u16(0x0025).u16(0xFF9C)                    // rotation: flags 0, 2, 5; angle -100
        .u16(0x0002).u8(0x01).u8(9).u8(8).u8(7).u8(6)  // pen
        .u32(0x00010000)                            // line angle
        .u32(0x00020000)                            // callout
        .u8(0x03).u16(0x0004).u16(0x0005).u8(0x10).u8(0x20).u8(0x30).u8(0x40)  // shadow
        .u16(100).u16(0xFF38).u16(0).u16(1).u16(2).u16(3);  // size and location
    Fields f;
    f.u16(static_cast<unsigned>(s.b.size() + 2)).add(s).u8(0x99).u8(0x98);
    return f;
}

// A smart shape with id 84, glyphs, transformation, Bezier, callout and arc.
Fields DrawObjectShape() {
    Fields shape;
    shape.u16(0xF800).u16(84)
        .u16(2).u16(0x0041).u16(0x0042)             // glyphs
        .u16(0x000C).u16(0xE000).u32(0x00010000).u32(0x00020000).u8(0x77).u8(0x78)  // transformation + rest
        .u16(1).u16(1).u16(2).u16(3).u16(4).u16(5).u16(6)  // one Bezier node
        .u16(10).u16(11).u16(12).u16(13).u16(14).u16(15)  // callout
        .u16(20).u16(21).u16(22).u16(23).u16(24).u16(25).u16(26).u16(27).u16(28)  // arc
        .u8(0x55);                                  // other smart shape data
    Fields s;
    s.u16(0x0018).u16(static_cast<unsigned>(shape.b.size())).add(shape);
    Fields f;
    f.u16(static_cast<unsigned>(s.b.size())).add(s);
    return f;
}

// Arrow styles 2 and 30, shadow corner 7, a gradient fill of kind 3 and a
// smart shape whose id has no name.
Fields DrawObjectOddNames() {
    Fields s;
    s.u16(0x1858)
        .u16(14).u16(0x4000).u8(1).u8(0x03).u16(0x0010).u32(0x00050000).u16(0x8000).u16(0x4000)  // gradient
        .u8(2).u8(30)                                              // arrows
        .u8(7).u16(1).u16(2).u8(1).u8(2).u8(3).u8(4)               // shadow
        .u16(4).u16(0x8000).u16(0x0051)                            // shape id 0x51: no name
        .u8(0xAB);                                                 // HEX data
    Fields f;
    f.u16(static_cast<unsigned>(s.b.size())).add(s);
    return f;
}

bool WriteDescribeFunctionFixtures(const std::string& dir) {
    bool ok = true;
    const auto put = [&](const char* name, const VarFunc& f) {
        ok = golden::WriteFixture(dir, std::string("fn-") + name + ".qwd", Doc(f)) && ok;
    };

    // Values, states and flags.
    put("new-word", Func(0xD1, 0x00, {}, Fields().u16(0x1234), Fields().u8(0xAA)));
    put("new-byte", Func(0xD3, 0x02, {}, Fields().u8(0x7F)));
    // The other rows of the new-value describers.
    put("new-byte-d1", Func(0xD1, 0x13, {}, Fields().u8(0x80)));
    put("new-byte-d4", Func(0xD4, 0x19, {}, Fields().u8(0x01), Fields().u8(0x02)));
    put("new-word-d2", Func(0xD2, 0x01, {}, Fields().u16(0xFFFF)));
    put("new-word-d3", Func(0xD3, 0x0B, {}, Fields().u16(0x0102)));
    put("new-word-d4", Func(0xD4, 0x1C, {}, Fields().u16(0x8000)));
    put("on-off-on", Func(0xD1, 0x04, {}, Fields().u8(0x01), Fields().u8(0xBB)));
    put("on-off-off", Func(0xD4, 0x2D, {}, Fields().u8(0x02)));
    put("absolute", Func(0xD4, 0x04, {}, Fields().u8(0x01).u16(0x0100)));
    put("relative", Func(0xD4, 0x05, {}, Fields().u8(0xFE).u16(0xFFFF)));
    put("suppress", Func(0xD1, 0x02, {}, Fields().u8(0xA5), Fields().u8(1).u8(2)));
    put("widow-on", Func(0xD1, 0x06, {}, Fields().u8(0x01), Fields().u8(0xCC)));
    put("widow-off", Func(0xD1, 0x06, {}, Fields().u8(0x00)));
    put("lines", Func(0xD4, 0x09, {}, Fields().u16(0x0005)));
    put("style-ref", Func(0xDD, 0x00, {}, Fields().u16(0x1234).u8(0x07), Fields().u8(9).u8(9)));
    {
        // A style reference naming its style packet: the data follows the id list.
        DocBuilder d;
        testsupport::Packet style;
        style.type = 0x30;
        const uint16_t id = d.Add(style);
        d.body.Var(Func(0xDD, 0x02, {id}, Fields().u16(0xBEEF).u8(0x03), Fields().u8(0x44))).Text("end");
        ok = golden::WriteFixture(dir, "fn-style-ref-ids.qwd", d.Build()) && ok;
    }
    put("no-deletable-10", Func(0xDD, 0x01));
    put("no-deletable-dump", Func(0xDD, 0x0B, {}, {}, Fields().u8(1).u8(2).u8(3)));
    put("tab-region", Func(0xD4, 0x60, {}, Fields().u8(0x01)));
    put("tab-region-off", Func(0xD4, 0x61, {}, Fields().u8(0x02)));
    put("proofing", Func(0xD4, 0x5F, {}, Fields().u8(3).u16(2).u16(1).u8(1)));
    put("proofing-undefined", Func(0xD4, 0x5F, {}, Fields().u8(9).u16(0xFFFF).u16(0).u8(0x10)));
    put("column", Func(0xD4, 0x2C, {},
                       Fields().u8(0x81).u16(0x0400).u16(0x0010).u16(0x0020).u32(0x80000001).u8(2)
                           .u16(0x0300).u16(0x0001).u8(0x05),
                       Fields().u8(0xDE).u8(0xAD)));
    put("delay", Func(0xE2, 0x0A, {}, Fields().u16(0x0001).u16(0x0002), Fields().u8(5).u8(5)));

    // Margins: exactly 8 deletable bytes are the old margins; other sizes
    // are dumped.
    const Fields margins = Fields().u8(0x07).u16(0x0100).u16(0x0200).u16(0x0050).u16(0x0060);
    put("margin-old", Func(0xE2, 0x00, {}, margins, Fields().u16(0x0A).u16(0x0B).u16(0x0C).u16(0x0D)));
    put("margin-dump", Func(0xE2, 0x00, {}, margins, Fields().u16(0x0A).u16(0x0B)));
    put("margin-none", Func(0xE2, 0x00, {}, Fields().u8(0x02).u16(1).u16(2).u16(3).u16(4)));

    // Borders, drop cap and their border/fill override.
    put("page-border", Func(0xD1, 0x10, {}, Fields().run(14, 0x40).add(FullBorderFill()), Fields().u8(0x5A)));
    // An override whose size word is 0: its dump steps back over the flags.
    put("paragraph-border", Func(0xD3, 0x0F, {}, Fields().run(14, 0x40).u16(0).u16(0), Fields().u8(0x5B)));
    put("drop-cap", Func(0xD3, 0x17, {},
                         Fields().u8(0x03).u16(0x0101).u16(0x0202).u16(0x0303).u16(0x0404)
                             .u8(0x10).u8(0x20).u8(0x30).u8(0x40).u32(0x00180000).u32(0xFFFF0000)
                             .u16(0x0005).u16(0x0006).u8(0x01)
                             .u16(0x0002).u16(0x0000)));

    // Table definitions: both overrides and both optional parts; an override
    // size of 2; a border block whose size is below its flags.
    {
        Fields t;
        t.u8(0x01).u8(0x02).u16(0x0300).u32(0x00FF00FF).u16(0x0020)
            .u16(0xC000).u16(0x0004).u16(0x1111).u8(0xB1).u8(0xB2)
            .u16(0x0002).u16(0x2222)
            .u8(0x01).u16(0x0002).u16(0x0003).u8(0x04)
            .u16(0x0005).u16(0x0006).u8(0x07).u16(0x0008);
        put("table", Func(0xD4, 0x2A, {}, t, Fields().u8(0xF1)));
        put("table-override-2",
            Func(0xD4, 0x2A, {}, Fields().u8(0).u8(0).u16(0).u32(0).u16(0x0002), Fields().u8(0xF2)));
        Fields s;
        s.u8(0).u8(0).u16(0).u32(0).u16(0x0010).u16(0x8000).u16(0x0000).u16(0x3333);
        put("table-short-border", Func(0xD4, 0x2A, {}, s));
    }

    // Rules: vertical with an alignment that has no name, horizontal.
    {
        const auto rule = [](unsigned general, unsigned horizontal, unsigned vertical, unsigned line) {
            Fields f;
            f.run(14, 0x60).u16(0x0030).u8(general).u8(horizontal).u16(0x0100).u8(0x02).u8(vertical)
                .u16(0x0200).u16(0x0010).u16(0x0400).u16(0x0011).u16(0x0012).u16(0x0008).u8(line)
                .u8(1).u8(2).u8(3).u8(4).u16(0xBEEF).u8(0x80).u16(0x0A).u16(0x0B).u16(0x0C).u16(0x0D);
            return f;
        };
        put("rule-vertical", Func(0xDF, 0x03, {}, rule(0x01, 0x16, 0x11, 0x01), Fields().u8(0xE1)));
        put("rule-horizontal", Func(0xDF, 0x03, {}, rule(0x02, 0x03, 0x0E, 0x00)));
    }

    // Box functions.
    put("box-plain", Box(BoxHead(0).u16(1).u16(1).u16(2).u16(3).u16(4), Fields().u8(0x45).add(BoxDetailTail())));
    put("box-plain-dump", Box(BoxHead(0).u16(0), Fields().u8(0x45).add(BoxDetailTail()).u8(0x00)));
    put("box-rects-past-end", Box(BoxHead(0).u16(0xFFFF).u16(1).u16(2).u16(3).u16(4).u16(5)));
    {
        Fields f = BoxHead(0xDFDF);
        f.u16(4).u16(0x8000).u8(0x01).u8(0x02);  // counter
        // Positioning: every field, and two bytes of rest.
        f.u16(0x0019).u16(0xFE00).u8(1).u8(2).u8(3).u8(4).u8(5).u16(0xFFF6).u8(6).u8(7).u8(8).u16(0x0020)
            .u8(9).u16(0x0030).u8(10).u16(0x0040).u8(0x01).u16(0x0003).u8(0xAA).u8(0xAB);
        f.u16(7).u16(0xE000).u8(1).u8(2).u8(3).u16(0x0044).u8(5).u16(0x0066);  // caption
        // Border: id bytes and a template override with one field, then a
        // rest of one byte.
        f.u16(0x000B).u16(0xC000).u8(0x0F).u8(0x0E).u16(0x0004).u16(0x2000).u16(0x0033).u8(0xBC);
        // Fill: prefix bytes and a pattern fill override, rest of one byte.
        f.u16(0x000C).u16(0xC000).u8(0xF0).u8(0x01).u16(0x0005).u16(0x4000).u8(0).u8(2).u8(3).u8(0xCD);
        f.u16(6).u16(0xC000).u8(0x11).u8(0x22).u8(0x33).u8(0x15);  // wrapping: contour, both sides
        f.u16(5).u16(0xC000).u8(0x01).u8(0x02).u8(0x03);          // hypertext
        f.u16(0x000A).u16(0xC000).u16(0x000F).u16(0x0001).u16(0x0003).u8(0xEE).u8(0xEF);  // grouping
        f.u16(0x0002).u8(0xA0).u8(0xA1);                           // Active X
        f.u16(0x0004).u16(0x0123).u8(0xB0).u8(0xB1);               // undocumented
        f.u16(0);
        put("box-sections", Box(f, Fields().u8(0x01).u8(0x02)));
    }
    put("box-hypertext-error", Box(BoxHead(0x0100).u16(0xC000).u8(1).u8(2).u8(3).u16(0)));
    put("box-content-text",
        Box(BoxHead(0x2000).u16(10).u16(0xF000).u8(1).u8(2).u8(1).u16(6).u16(0xC000).u8(3).u8(4).u8(5).u8(6)
                .u8(7).u8(8).u16(0)));
    {
        Fields f = BoxHead(0x2000);
        f.u16(0x50).u16(0x6000).u8(3).u16(0x48).u16(0xFFE0).u8(1).u8(2).u16(0x0100).u16(0x0200).u8(3).u8(4)
            .u32(0x00010000).u32(0x00020000).u32(0x00030000).u32(0x00040000).u32(0x005A0000).u8(0x80)
            .u32(0x00008000).u32(0x00009000).u32(0x00500000).u32(0x002D0000).u32(0x004B0000)
            .u32(0x00000000).u32(0x000F0000).u8(0x01).u8(0x00);
        f.u16(0);
        put("box-content-image", Box(f));
    }
    put("box-content-equation",
        Box(BoxHead(0x2000).u16(0x18).u16(0x6000).u8(4).u16(0x12).u16(0xF800).u8(1).u8(2).u8(3).u8(4)
                .u16(0x000C).u32(0x11223344).u32(0x00B40000).u16(0)));
    // An unknown content kind ends the detail: the caption section, the
    // rectangles and the deletable data are not shown.
    put("box-content-unknown",
        Box(BoxHead(0x3000).u16(3).u16(0x4000).u8(2).u16(3).u16(0x8000).u8(1).u8(2).u16(0),
            Fields().u8(0x45)));
    put("box-draw-all", Box(BoxHead(0x0020).add(DrawObjectAll()).u16(0)));
    put("box-draw-shape", Box(BoxHead(0x0020).add(DrawObjectShape()).u16(0)));
    put("box-draw-odd-names", Box(BoxHead(0x0020).add(DrawObjectOddNames()).u16(0)));
    // Hypertext rests: 15 bytes are dumped, 16 are not.
    put("box-hypertext-rest-15", Box(BoxHead(0x0100).u16(17).u16(0x0000).run(15, 0x70).u16(0)));
    put("box-hypertext-rest-16", Box(BoxHead(0x0100).u16(18).u16(0x0000).run(16, 0x70).u16(0)));
    // A positioning section whose fields run past its size shows no rest.
    put("box-positioning-overrun",
        Box(BoxHead(0x4000).u16(3).u16(0x2000).u8(1).u16(0xFFFE).u8(2).u8(3).u16(0)));
    // A smart shape whose id runs past its size: the draw object's rest
    // starts after the id.
    put("box-draw-shape-overrun",
        Box(BoxHead(0x0020).u16(10).u16(0x0008).u16(2).u16(0x8000).u16(84).u8(0xD1).u8(0xD2).u16(0)));
    put("box-draw-size-0", Box(BoxHead(0x0020).u16(0).u16(0)));

    // The older dialect's forms. A draw object whose flag bit 3 announces
    // the 62-byte matrix block.
    Fields matrix;
    matrix.u16(0x0008)
        .u16(0x0012).u32(0x000000BF).u32(0x01020304)       // characterization, attributes, edit lock
        .u16(0x8000).u16(0x005A)                           // rotation 5A.8000
        .u16(1).u16(0x11).u16(2).u16(0x12).u16(3).u16(0x13)
        .u16(4).u16(0x21).u16(5).u16(0x22).u16(6).u16(0x23)
        .u16(7).u16(0x33)                                  // e33
        .u32(0x0000000F)                                   // matrix flags
        .u32(0xA1).u32(0xA2).u32(0xB1).u32(0xB2);          // e31, e32
    const Fields matrixObject = Fields().u16(static_cast<unsigned>(matrix.b.size())).add(matrix);
    put("older-matrix", Box(BoxHead(0x0020).add(matrixObject).u16(0)));
    // Bits 5 and 2: two draw objects, the second one titled "-2-".
    put("older-two-draw", Box(BoxHead(0x0024).add(DrawObjectAll()).add(matrixObject).u16(0)));
    // An HTML block of 2,000 bytes, then one more section to show the
    // cursor moved past all of it.
    put("older-html-2000", Box(BoxHead(0x0082).u16(2000).run(2000, 0x00).u16(4).u16(0x0123).u8(0xB0).u8(0xB1).u16(0)));
    // Border data: size, flags and a rest of size - 2.
    put("older-box-border", Box(BoxHead(0x0800).u16(5).u16(0x8001).u8(0x71).u8(0x72).u8(0x73).u16(0)));
    // Margin change: the unshown byte's bit 0 picks the formatting line.
    for (const auto& [name, state] : {std::pair{"older-margin-formatted", 0x01}, std::pair{"older-margin-initial", 0x02}})
        put(name, Func(0xE2, 0x00, {},
                       Fields().u8(0x5A).u8(static_cast<unsigned>(state)).u8(0x07)
                           .u16(0x0100).u16(0x0200).u16(0x0050).u16(0x0060)));
    // Prefix ids 0, past the table: no type name, nothing counted.
    put("older-prefix-outside", Func(0xD4, 0x1A, {0, 9}));
    return ok;
}

}  // namespace

GOLDEN_FIXTURES(WriteDescribeFunctionFixtures);
