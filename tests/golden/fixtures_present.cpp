// Presentation files (directory, setup, eleven sections, nested graphics),
// the codes of Text Data records and the sub-records of Chart Style records.

#include <string>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/QwgBuilder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using testsupport::Pattern;
using testsupport::QwgBuilder;
using testsupport::QwgPrefix;

void Put8(Bytes& b, uint32_t v) { b.push_back(static_cast<uint8_t>(v)); }
void Put16(Bytes& b, uint32_t v) {
    Put8(b, v);
    Put8(b, v >> 8);
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// Start QWG Data: 100 x 100 in single precision. 27 bytes with its header.
Bytes StartData() {
    Bytes d;
    Put16(d, 300);
    Put16(d, 300);
    Put8(d, 0);
    for (uint32_t v : {0u, 0u, 100u, 100u, 0u, 0u, 100u, 100u}) Put16(d, v);
    Put16(d, 1);
    return d;
}

QwgBuilder Started(const QwgPrefix& prefix = {}) {
    QwgBuilder b(prefix);
    b.Record(4, 1, 0, StartData());
    return b;
}

// ---- presentation

struct Entry {
    uint32_t position;
    uint32_t size;
};

Bytes SectionHead(uint16_t m, int16_t n, const std::vector<Entry>& entries) {
    Bytes b;
    Put16(b, m);
    Put16(b, static_cast<uint16_t>(n));
    Put16(b, 8);
    for (const Entry& e : entries) {
        Put32(b, e.position);
        Put32(b, e.size);
    }
    return b;
}

Bytes FormBlock(uint8_t seed) {
    Bytes b;
    for (uint32_t v : {72u, 72u, 36u, 36u, 1u, 792u, 612u}) Put16(b, v + seed);
    Put8(b, 2);
    const std::string name = "Letter";
    Put8(b, static_cast<uint32_t>(name.size()));
    Bytes field(41, 0);
    for (size_t i = 0; i < name.size(); ++i) field[i] = static_cast<uint8_t>(name[i]);
    Append(b, field);
    Put8(b, 1);
    return b;
}

Bytes DirectoryAndSetup() {
    Bytes b;
    Put16(b, 12);
    Put16(b, 8);
    for (uint32_t i = 0; i < 12; ++i) {
        Put32(b, 0x100 * i + 0x7A);
        Put32(b, 0x10 + i);
    }
    Put16(b, 10);     // setup size
    Put8(b, 4);       // columns per row
    Put16(b, 0x11);   // flags
    Put16(b, 1);      // starting page
    Put8(b, 2);       // page number method
    Put8(b, 3);       // notes per page
    Put8(b, 6);       // slides per page
    Append(b, FormBlock(0));
    Append(b, FormBlock(1));
    Put16(b, 13);     // override size
    Put16(b, 25);     // delay
    for (uint32_t v : {7u, 2u, 1u}) Put8(b, v);
    Put16(b, 0x8001);
    for (uint32_t v : {0xFFu, 0x80u, 0x00u, 3u}) Put8(b, v);
    return b;
}

// Section 1: two bytes before the first option structure, then option
// structures with index kinds 3, 8, 2 and 11, 12 (no name).
Bytes OutlineSection() {
    Bytes options;
    // Entry 0: old size 2, indices 6 + 5 + 4 bytes, 3 bytes of data.
    Put8(options, 0xA1);
    Put8(options, 0x02);
    Put16(options, 14 + 2 + 15);
    Put16(options, 2);
    Append(options, {0xDE, 0xAD});
    Put8(options, 9);
    Put16(options, 30);
    for (uint32_t v : {4u, 1u, 2u}) Put8(options, v);
    Put16(options, 0x0101);
    Append(options, {3, 6, 0x01, 0x00, 0x80, 0x40});
    Append(options, {8, 5, 0x02, 0x00, 0x01});
    Append(options, {2, 4, 0x03, 0x00});
    Put32(options, 0x12345678);
    Append(options, {'a', 'b', 'c'});
    const uint32_t size0 = 31 + 4 + 3;
    // Entry 1: no old data, indices of kinds 11 and 12.
    Put8(options, 0xB2);
    Put8(options, 0x00);
    Put16(options, 14 + 8);
    Put16(options, 0);
    Put8(options, 1);
    Put16(options, 0);
    for (uint32_t v : {0u, 0u, 0u}) Put8(options, v);
    Put16(options, 0);
    Append(options, {11, 4, 0x07, 0x00});
    Append(options, {12, 4, 0x08, 0x00});
    Put32(options, 0);
    const uint32_t size1 = 22 + 4;
    const uint32_t head = 6 + 2 * 8;
    Bytes b = SectionHead(0, 2, {{head + 2, size0}, {head + 2 + size0, size1}});
    Append(b, {0x55, 0xAA});
    Append(b, options);
    return b;
}

// A nested graphic: its own prefix, Start, a rectangle reaching past the
// image's right edge, End.
Bytes NestedGraphic() {
    Bytes rect;
    Put16(rect, 0);  // characterization flags
    for (uint32_t v : {10u, 10u, 500u, 50u, 2u, 2u}) Put16(rect, v);
    return Started().Record(4, 24, 0, rect).End().bytes;
}

// Sections 2-4 carry a name list for their entries but the first.
Bytes NamedSection(uint16_t m, const std::vector<std::string>& names, const std::vector<Bytes>& data) {
    std::vector<Entry> entries;
    for (size_t i = 0; i < data.size(); ++i) entries.push_back({static_cast<uint32_t>(0x40 * i), m + static_cast<uint32_t>(data[i].size())});
    Bytes b = SectionHead(m, static_cast<int16_t>(entries.size()), entries);
    for (size_t i = 1; i < entries.size(); ++i) {
        const std::string& name = names[i - 1];
        Put16(b, static_cast<uint32_t>(name.size() * 2));
        for (char c : name) Put16(b, 0x4100 | static_cast<uint8_t>(c));
    }
    for (size_t i = 1; i < data.size(); ++i) {
        for (uint32_t k = 0; k < m; ++k) Put8(b, 0x10 + k);
        Append(b, data[i]);
    }
    return b;
}

Bytes DataSection(uint16_t m, const std::vector<Bytes>& data) {
    std::vector<Entry> entries;
    for (size_t i = 0; i < data.size(); ++i) entries.push_back({static_cast<uint32_t>(0x20 * i), m + static_cast<uint32_t>(data[i].size())});
    Bytes b = SectionHead(m, static_cast<int16_t>(entries.size()), entries);
    for (const Bytes& d : data) {
        for (uint32_t k = 0; k < m; ++k) Put8(b, 0x20 + k);
        Append(b, d);
    }
    return b;
}

Bytes Presentation(bool thousandEntries) {
    QwgPrefix p;
    p.product = 15;
    p.fileType = 15;
    QwgBuilder s(p);
    Append(s.bytes, DirectoryAndSetup());
    Append(s.bytes, OutlineSection());
    Append(s.bytes, NamedSection(2, {"Ab", "Xyz"}, {{}, NestedGraphic(), {}}));
    Append(s.bytes, NamedSection(0, {"Bell"}, {{}, Pattern(5, 3)}));
    Append(s.bytes, NamedSection(1, {}, {{}}));
    Append(s.bytes, DataSection(0, {}));  // notes: no entries
    Append(s.bytes, DataSection(0, thousandEntries ? std::vector<Bytes>(1001) : std::vector<Bytes>{Pattern(3, 4)}));
    Append(s.bytes, DataSection(1, {NestedGraphic()}));
    Append(s.bytes, DataSection(0, {Pattern(2, 5)}));
    Append(s.bytes, DataSection(2, {Pattern(4, 6)}));
    Append(s.bytes, DataSection(0, {}));
    Append(s.bytes, DataSection(0, {NestedGraphic()}));
    return s.bytes;
}

// The stream at 0x200 of a document, as a "Graphics Data" packet holds it.
Bytes InDocument(const Bytes& stream) {
    Bytes doc = {0xFF, 'Q', 'W', 'C', 0x00, 0x02, 0, 0, 1, 10, 2, 0, 0, 0, 0, 0};
    doc.resize(0x200, 0);
    Append(doc, stream);
    return doc;
}

// ---- Text Data

Bytes TextCodes() {
    Bytes t = {'H', 'i', 0x80, 'y', 'o', 0x83, 0x88, 'a', 0xB9, 'b', 0xCC, 0xBC, 'c', 0xCF};
    // 0xD3 1: line spacing 1.5; 5: centred; 14: outline define with 2 extra bytes; 9: unnamed.
    Append(t, {0xD3, 1, 14, 0, 0x00, 0, 0, 0x00, 0x80, 0x01, 0x00, 14, 0, 0xD3});
    Append(t, {0xD3, 5, 11, 0, 0, 0, 0, 2, 11, 0, 0xD3});
    {
        Bytes f = {0xD3, 14, 42, 0};
        f.resize(4 + 2 + 22 + 9 + 2, 0x01);
        Append(f, {42, 0, 0xD3});
        Append(t, f);
    }
    Append(t, {0xD3, 9, 9, 0, 0x41, 0x42, 9, 0, 0xD3});
    Append(t, {0xD3, 5, 11, 0, 0, 0, 0, 7, 11, 0, 0xD3});
    // 0xD4 2, 3, 4, 5, 26, 27, 41, 50, 51 and an unnamed one.
    Append(t, {0xD4, 2, 10, 0, 0, 0, 0, 1, 10, 0, 0xD4});
    Append(t, {0xD4, 3, 10, 0, 0, 0, 0, 2, 10, 0, 0xD4});
    Append(t, {0xD4, 4, 12, 0, 0, 0, 0, 1, 0x40, 0x01, 12, 0, 0xD4});
    Append(t, {0xD4, 5, 12, 0, 0, 0, 0, 0, 0x20, 0x00, 12, 0, 0xD4});
    {
        Bytes f = {0xD4, 26, 0, 0};
        Append(f, {0x01, 0x02});
        for (uint32_t i = 0; i < 12; ++i) Put16(f, 0x100 + i);
        for (uint32_t i = 0; i < 10; ++i) Put8(f, i);
        Bytes names;
        for (const char* n : {"Serif 12", "Bold", "", "Roman"}) {
            for (const char* c = n; *c; ++c) Put16(names, static_cast<uint8_t>(*c));
            Put16(names, 0);
        }
        Put16(f, static_cast<uint32_t>(names.size()));
        Append(f, names);
        const uint32_t total = static_cast<uint32_t>(f.size()) + 3;
        f[2] = static_cast<uint8_t>(total);
        Put16(f, total);
        Put8(f, 0xD4);
        Append(t, f);
    }
    {
        Bytes f = {0xD4, 27, 25, 0, 0x03, 0x04};
        for (uint32_t i = 0; i < 8; ++i) Put16(f, 0x200 + i);
        Append(f, {25, 0, 0xD4});
        Append(t, f);
    }
    Append(t, {0xD4, 41, 9, 0, 'x', 'y', 9, 0, 0xD4});
    Append(t, {0xD4, 50, 8, 0, 1, 8, 0, 0xD4});
    Append(t, {0xD4, 51, 8, 0, 2, 8, 0, 0xD4});
    Append(t, {0xD4, 77, 8, 0, 3, 8, 0, 0xD4});
    // 0xE0 with each named kind and one unnamed.
    for (uint32_t kind : {0u, 16u, 48u, 56u, 64u, 72u, 80u, 128u, 144u, 208u, 8u}) {
        Bytes f = {0xE0, static_cast<uint8_t>(kind + 1), 17, 0, 0, 0, 0};
        for (uint32_t v : {0x0400u, 0x2Eu, 0x2Eu}) Put16(f, v);
        Put8(f, 1);
        Put16(f, 0x0800);
        Append(f, {17, 0, 0xE0});
        Append(t, f);
    }
    // 0xE1 sub-functions.
    auto e1 = [&](uint8_t sub, const Bytes& data) {
        Bytes f = {0xE1, sub, 0, 0, 0};
        Put16(f, static_cast<uint32_t>(data.size()));
        Append(f, data);
        Append(f, {0, 0, 0xE1});
        Append(t, f);
    };
    e1(12, {1, 2, 3, 4});
    e1(14, {5, 6, 7, 8});
    e1(24, {9, 10, 11, 12});
    e1(13, {1, 0, 2, 0, 3, 0, 4, 0});
    e1(15, {5, 0, 6, 0, 7, 0, 8, 0});
    e1(25, {9, 0, 10, 0, 11, 0, 12, 0});
    e1(16, {3, 0});
    e1(17, {4, 0});
    e1(26, {5, 0});
    e1(18, {0x20, 0, 0x30, 0});
    e1(19, {0, 0x80, 1, 0, 0, 0, 2, 0});
    e1(20, {90, 0, 0, 0, 1, 0, 2, 0, 0x00});
    e1(20, {45, 0, 0, 0, 1, 0, 2, 0, 0x80, 1, 0, 2, 0, 3, 0, 4, 0});
    e1(21, {45, 0, 0, 0, 1, 0, 2, 0, 0x80, 1, 0, 2, 0, 3, 0, 0xFF, 0xFF});
    e1(22, {0, 1, 2, 3, 4});
    e1(22, {1, 3, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x10, 0, 0x20, 0});
    e1(23, {1, 2, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0, 0x30, 0});
    e1(23, {0, 1, 0, 2, 0, 3, 0, 4, 0});
    e1(27, {0x01});
    e1(27, {0x02});
    e1(40, {1, 2, 3});
    // Extended character, attributes on and off.
    Append(t, {0xF0, 65, 1, 0xF0});
    for (uint8_t a : {0, 5, 12, 15, 16}) Append(t, {0xF2, a, 0xF2, 'z', 0xF3, a, 0xF3});
    Append(t, {'e', 'n', 'd', 0});
    return t;
}

// ---- Chart Style

Bytes Sub(uint8_t number, const Bytes& data) {
    Bytes b = {number, static_cast<uint8_t>(data.size())};
    Append(b, data);
    return b;
}

Bytes SubWide(uint8_t number, const Bytes& data) {
    Bytes b = {number, 0xFF};
    Put16(b, static_cast<uint32_t>(data.size()));
    Append(b, data);
    return b;
}

Bytes Doubles(std::initializer_list<double> values) {
    Bytes b;
    for (double d : values) {
        uint8_t raw[8];
        __builtin_memcpy(raw, &d, 8);
        b.insert(b.end(), raw, raw + 8);
    }
    return b;
}

Bytes FontCodes(const std::string& name, int32_t lengthDelta) {
    Bytes d(34, 0);
    d[0] = 3;
    d[2] = 0x22;
    d[4] = 0x44;
    d[8] = 0x10;
    d[9] = 0x0E;
    d[32] = static_cast<uint8_t>(name.size());
    Append(d, Bytes(name.begin(), name.end()));
    if (lengthDelta > 0) d.resize(d.size() + static_cast<size_t>(lengthDelta), 0xEE);
    if (lengthDelta < 0) d.resize(d.size() - static_cast<size_t>(-lengthDelta));
    return d;
}

// Style data with every sub-record 0-27 for chart type 0.
Bytes AllSubRecords() {
    Bytes s;
    Append(s, Sub(0, {0}));
    Append(s, Sub(1, {1, 2, 3}));
    {
        Bytes axis = {7, 0, 0, 0, 0, 0, 0, 0};
        Append(axis, Doubles({1.5, 100.0, -2.25, 10.0}));
        Append(axis, {4, 0x81, 0, 0, 0, 0, 0, 0});
        Append(s, Sub(2, axis));
    }
    Append(s, Sub(3, {1, 2, 0xFE, 0xFF, 0, 0, 0, 1, 2, 0, 0, 0}));
    Append(s, Sub(3, {1, 2, 3, 0, 5, 0, 0, 0, 9, 0, 0, 0}));
    Append(s, Sub(4, {1, 0, 0, 0, 2, 3, 4, 5, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}));
    Append(s, Sub(5, {1, 2, 0xFF, 0xFF, 3, 0}));
    Append(s, Sub(6, {10, 20, 30, 40}));
    {
        Bytes view = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
        Append(view, Doubles({1, 2, 3, 0.5, 0.25, -1}));
        Append(view, {5, 0, 0xFB, 0xFF, 0, 0, 0, 0});
        Append(s, Sub(7, view));
    }
    {
        Bytes item = Pattern(20, 8);
        item[16] = 0;
        Append(s, Sub(8, item));
    }
    Append(s, Sub(9, Pattern(52, 9)));
    Append(s, Sub(10, Pattern(34, 10)));
    Append(s, Sub(11, {1, 2, 3, 4, 5, 6}));
    Append(s, Sub(12, {3, 0, 7, 0, 0xAA, 0xBB}));
    Append(s, Sub(12, {4, 0, 2, 0}));
    Append(s, Sub(13, {1, 2, 3, 0, 0x11, 0x22, 0x33, 0x44, 5, 0, 0, 0}));
    {
        Bytes codes = Pattern(40, 14);
        codes[32] = 0;
        codes[33] = 0;
        Append(s, Sub(14, codes));
        codes[32] = 0x40;
        codes[4] = 0xFF;
        Append(s, Sub(14, codes));
    }
    Append(s, Sub(15, {6, 0, 0, 1}));
    Append(s, Sub(15, {6, 1, 2, 1}));
    Append(s, Sub(15, {6, 1, 1, 1}));
    Append(s, Sub(15, {6, 5, 0, 1}));
    Append(s, Sub(15, {2, 1, 2, 3}));
    Append(s, Sub(16, {1, 2, 3, 4, 5, 6}));
    Append(s, Sub(17, {1, 2, 3, 4, 5}));
    Append(s, Sub(18, {9, 1, 2, 3, 0x78, 0x56, 0x34, 0x12}));
    Append(s, Sub(19, {1, 2, 3}));
    Append(s, Sub(20, Pattern(44, 20)));
    Append(s, Sub(21, {1, 2, 3, 4, 5, 6, 7}));
    Append(s, Sub(22, {1, 0, 0xF6, 0xFF}));
    Append(s, Sub(23, {2, 1}));
    Append(s, Sub(2, Bytes(48, 0)));
    Append(s, Sub(25, {1, 2}));  // after AXIS: headed AXIS
    Append(s, Sub(24, FontCodes("Sans", 0)));
    Append(s, Sub(26, {}));
    Append(s, Sub(27, {1, 0, 0x78, 0x56, 0x34, 0x12}));
    Append(s, Sub(40, {9}));
    // Short ones: fewer bytes than the copy size.
    Append(s, Sub(6, {7}));
    return s;
}

Bytes ChartStyleRecord(const Bytes& style, uint8_t id = 2) {
    Bytes d;
    Put16(d, 0);  // characterization flags
    for (uint32_t v : {5u, 5u, 90u, 60u}) Put16(d, v);
    Put8(d, id);
    Append(d, style);
    return d;
}

Bytes ChartRecord(uint8_t chartType) {
    Bytes d;
    Put16(d, 0);
    for (uint32_t v : {5u, 5u, 90u, 60u}) Put16(d, v);
    Append(d, {chartType, 0, 0});
    return d;
}

// Start (at 0x1A), optionally a Chart (at 0x35), then one Chart Style (at
// 0x35, or 0x46 after a Chart), then End.
Bytes StyleFile(const Bytes& style, int chartType = -1, uint8_t id = 2) {
    QwgBuilder b = Started();
    if (chartType >= 0) b.Record(4, 31, 0, ChartRecord(static_cast<uint8_t>(chartType)));
    b.Record(4, 16, 0, ChartStyleRecord(style, id));
    return b.End().bytes;
}

bool WritePresentFixtures(const std::string& dir) {
    bool ok = true;
    auto put = [&](const char* name, const Bytes& bytes) { ok = golden::WriteFixture(dir, name, bytes) && ok; };

    put("present-doc.qwd", InDocument(Presentation(false)));
    put("present-1001.qwd", InDocument(Presentation(true)));
    {
        // Cut inside section 2's name list.
        Bytes cut = Presentation(false);
        cut.resize(26 + DirectoryAndSetup().size() + OutlineSection().size() + 30);
        put("present-cut.qwg", cut);
    }

    // Text Data at 0x35: every code group; then one whose last function
    // runs past the record end; then one whose count ends inside a function.
    put("text-codes.qwg", Started().Record(4, 15, 0, TextCodes()).End().bytes);
    {
        Bytes t = {'a', 'b', 0xD4, 27, 25, 0, 0x03, 0x04, 0x00, 0x02};
        put("text-cut.qwg", Started().Record(4, 15, 0, t).End().bytes);
        Bytes e = {'a', 0xE1, 22, 0, 0, 0, 0xFF, 0x00, 1, 0, 3, 0, 5};
        put("text-cut-e1.qwg", Started().Record(4, 15, 0, e).End().bytes);
    }

    // Chart styles.
    put("style-all.qwg", StyleFile(AllSubRecords()));
    {
        Bytes s = Sub(0, {0});
        Append(s, SubWide(24, FontCodes("Wide Face", 0)));
        Append(s, SubWide(27, {3, 0, 0x44, 0x33, 0x22, 0x11, 0, 0}));
        Append(s, Sub(6, Pattern(255, 6)));
        {
            Bytes six = {6, 0xFF};
            Append(six, Pattern(255, 7));
            Append(s, six);
        }
        Append(s, Sub(24, FontCodes("Bad", 2)));
        Append(s, Sub(24, FontCodes("Short", -30)));
        Append(s, Sub(19, {4, 5, 6}));
        Append(s, Sub(2, {1, 2}));  // runs past the data: the length says 2, 1 byte follows
        s.pop_back();
        put("style-wide.qwg", StyleFile(s));
    }
    {
        Bytes s = Sub(5, {1, 2, 3, 4, 5, 6});
        Append(s, Sub(0, {3}));
        Append(s, Sub(6, {1, 2, 3, 4}));
        put("style-old.qwg", StyleFile(s, -1, 7));
    }
    {
        Bytes s = Sub(0, {1});
        Append(s, Sub(6, {1, 2, 3, 4}));
        put("style-mismatch.qwg", StyleFile(s));
    }
    {
        // After a Chart of type 1: START 1 fits, colours 0-7, the box and codes of text charts.
        Bytes s = Sub(0, {1});
        Append(s, Sub(9, Pattern(52, 11)));
        Append(s, Sub(13, {1, 2, 3, 0, 0x11, 0x22, 0x33, 0x44, 5, 0, 0, 0}));
        Append(s, Sub(14, Pattern(40, 12)));
        Append(s, Sub(12, {3, 0, 7, 0}));
        Append(s, Sub(0, {3}));
        Append(s, Sub(6, {1, 2, 3, 4}));
        put("style-chart1.qwg", StyleFile(s, 1, 1));
    }
    {
        Bytes s = {26};  // unknown first, and a header cut by the data end
        put("style-unknown-first.qwg", StyleFile(Sub(26, {1, 2, 3})));
        put("style-cut-header.qwg", StyleFile(s));
    }
    return ok;
}

}  // namespace

GOLDEN_FIXTURES(WritePresentFixtures);
