// Presentation files (directory, setup, eleven sections, nested graphics),
// the codes of Text Data records and the sub-records of Chart Style records.

#include <string>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/QwgBuilder.h"
#include "tests/support/QwgSound.h"

namespace {

using Bytes = std::vector<uint8_t>;
using testsupport::Pattern;
using testsupport::QwgBuilder;
using testsupport::QwgPrefix;
using testsupport::QwgDoubles;
using testsupport::QwgEverySubRecord;
using testsupport::QwgFontCodes;
using testsupport::QwgStyleSub;
using testsupport::QwgStyleSubWide;
using testsupport::QwgTextCodes;

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

// ---- Chart Style

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
    put("text-codes.qwg", Started().Record(4, 15, 0, QwgTextCodes()).End().bytes);
    {
        Bytes t = {'a', 'b', 0xD4, 27, 25, 0, 0x03, 0x04, 0x00, 0x02};
        put("text-cut.qwg", Started().Record(4, 15, 0, t).End().bytes);
        Bytes e = {'a', 0xE1, 22, 0, 0, 0, 0xFF, 0x00, 1, 0, 3, 0, 5};
        put("text-cut-e1.qwg", Started().Record(4, 15, 0, e).End().bytes);
    }

    // Chart styles.
    put("style-all.qwg", StyleFile(QwgEverySubRecord()));
    {
        Bytes s = QwgStyleSub(0, {0});
        Append(s, QwgStyleSubWide(24, QwgFontCodes("Wide Face", 0)));
        Append(s, QwgStyleSubWide(27, {3, 0, 0x44, 0x33, 0x22, 0x11, 0, 0}));
        Append(s, QwgStyleSub(6, Pattern(255, 6)));
        {
            Bytes six = {6, 0xFF};
            Append(six, Pattern(255, 7));
            Append(s, six);
        }
        Append(s, QwgStyleSub(24, QwgFontCodes("Bad", 2)));
        Append(s, QwgStyleSub(24, QwgFontCodes("Short", -30)));
        Append(s, QwgStyleSub(19, {4, 5, 6}));
        Append(s, QwgStyleSub(2, {1, 2}));  // runs past the data: the length says 2, 1 byte follows
        s.pop_back();
        put("style-wide.qwg", StyleFile(s));
    }
    {
        Bytes s = QwgStyleSub(5, {1, 2, 3, 4, 5, 6});
        Append(s, QwgStyleSub(0, {3}));
        Append(s, QwgStyleSub(6, {1, 2, 3, 4}));
        put("style-old.qwg", StyleFile(s, -1, 7));
    }
    {
        Bytes s = QwgStyleSub(0, {1});
        Append(s, QwgStyleSub(6, {1, 2, 3, 4}));
        put("style-mismatch.qwg", StyleFile(s));
    }
    {
        // After a Chart of type 1: START 1 fits, colours 0-7, the box and codes of text charts.
        Bytes s = QwgStyleSub(0, {1});
        Append(s, QwgStyleSub(9, Pattern(52, 11)));
        Append(s, QwgStyleSub(13, {1, 2, 3, 0, 0x11, 0x22, 0x33, 0x44, 5, 0, 0, 0}));
        Append(s, QwgStyleSub(14, Pattern(40, 12)));
        Append(s, QwgStyleSub(12, {3, 0, 7, 0}));
        Append(s, QwgStyleSub(0, {3}));
        Append(s, QwgStyleSub(6, {1, 2, 3, 4}));
        put("style-chart1.qwg", StyleFile(s, 1, 1));
    }
    {
        Bytes s = {26};  // unknown first, and a header cut by the data end
        put("style-unknown-first.qwg", StyleFile(QwgStyleSub(26, {1, 2, 3})));
        put("style-cut-header.qwg", StyleFile(s));
    }
    return ok;
}

}  // namespace

GOLDEN_FIXTURES(WritePresentFixtures);
