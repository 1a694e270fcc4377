// Graphics records field by field: one sound record of every type in both
// precisions, entity records transformed, and the damaged fields the
// handlers must survive (counts and lengths past the record end, nesting
// deeper than allowed).

#include <cstdint>
#include <string>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/QwgBuilder.h"

namespace {

using testsupport::QwgBuilder;

struct Body {
    explicit Body(bool w = false) : wide(w) {}
    bool wide;  // double precision coordinates
    std::vector<uint8_t> b;
    Body& U8(uint32_t v) { b.push_back(static_cast<uint8_t>(v)); return *this; }
    Body& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    Body& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    Body& C(uint32_t v) { return wide ? U32(v << 16) : U16(v); }
    Body& Char(uint16_t flags) {
        U16(flags);
        if (flags & 0x02) U16(0).U32(10).U16(0x8000).U32(5);  // translation
        return *this;
    }
    Body& Bytes(size_t n, uint8_t seed) {
        for (size_t i = 0; i < n; ++i) U8(seed + i * 7);
        return *this;
    }
};

Body Start(bool wide, uint8_t precision) {
    Body s(wide);
    s.U16(300).U16(300).U8(precision);
    s.C(0).C(0).C(1000).C(800);
    s.C(0).C(0).C(1000).C(800);
    s.U16(42);
    return s;
}

// Every record type with sound fields; entity heads carry `charFlags`.
void AddEveryType(QwgBuilder& q, bool wide, uint16_t charFlags) {
    auto rec = [&](uint8_t type, const Body& body) { q.Record(4, type, 0, body.b); };
    auto B = [&]() { return Body(wide); };
    rec(3, B().C(850).C(1100).U16(1).C(10).C(20).C(30).C(40).U16(2).U16('A').U16('4').U8(1));
    rec(4, B().C(1).C(2).C(3).U16(2).C(100).C(200).C(4).C(5).C(6).U16(1).C(300));
    rec(5, B().C(1).C(2).C(3).C(4).C(5).C(6).U16(3));
    rec(6, B().U8(1).U8(2).U16(5).U16(2).U16('L').U16('1'));
    rec(7, B().U16(9));
    rec(8, B().U16(3).U16(2).C(10).C(5).C(20).C(6));
    rec(9, B().U16(4).U16(2).U16(300).U16(600));
    rec(10, B().U32(3).Bytes(3, 'a').Bytes(5, 'A'));
    rec(11, B().U16(4).U8(1).U8(4).U32(7).U8(2).U8(4).U32(8).U8(3).U8(4).U32(9).U8(9).U8(2).U16(0));
    rec(12, B().U16(0).U16(2).U32(0x10203040).U32(0x50607080));
    rec(13, B().U16(1).U16(1).U16(1).U16(2).U16(3).U16(4));
    rec(14, B().U16(2).U16(2).U8(3).U8(2).Bytes(4, 0x30));
    rec(17, B().U8(2).Bytes(5, 0x41));
    rec(19, B().Char(charFlags).C(1).C(2).C(300).C(400));
    rec(20, B().Char(charFlags));
    rec(21, B().Char(charFlags).U16(2).C(10).C(20).C(30).C(2000));
    rec(22, B().Char(charFlags).U16(2).C(10).C(20).C(30).C(40));
    rec(23, B().Char(charFlags).U16(1).C(1).C(2).C(3).C(4).C(5).C(6));
    rec(24, B().Char(charFlags).C(10).C(20).C(110).C(120).C(5).C(6));
    rec(25, B().Char(charFlags | 0x2000).C(100).C(100).C(50).C(40).C(1).C(2).C(3).C(4).U16(1));
    rec(26, B().Char(charFlags));
    rec(27, B().Char(charFlags).C(0).C(0).C(64).C(64).U16(72).U16(96));
    rec(28, B().Char(charFlags).U16(0xC000).C(10).C(20).U8(1).U8(3).U32(0x00108000));
    rec(29, B().Char(charFlags).C(5).C(6).C(70).C(80));
    rec(30, B().Char(charFlags).U16(0xC309).U16(6550));
    rec(31, B().Char(charFlags).C(5).C(6).C(500).C(600).U8(1).U8(0).U8(0));
    rec(32, B().Char(charFlags).C(1).C(1).C(9).C(9));
    rec(34, B().U16(12).U16(12).Bytes(22, 0x20).U16(1).U16('T').U16('m').U16(0).U16('B').U16(0).U16(0).U16(0));
    rec(35, B().Bytes(3, 1));
    rec(37, B().U8(1).U8(2).U8(3).U8(4));
    rec(38, B().U16(1).U16(2).U16(3).U16(4));
    rec(39, B().U8(5).U8(6).U8(7).U8(8));
    rec(40, B().U16(5).U16(6).U16(7).U16(8));
    rec(41, B().U16(3));
    rec(42, B().U16(31));
    rec(43, B().U16(2).U16(3));
    rec(44, B().U32(0x18000).U32(0x20000));
    rec(45, B().U8(1).U8(10));
    rec(46, B().U8(2));
    rec(47, B().U32(0x2D0000).U16(1).U16(2).U8(0xC0).U16(1).U16(2).U16(3).U16(4));
    rec(48, B().U32(0x5A0000).U16(3).U16(4).U8(0x00));
    rec(49, B().U8(1).U16(2).U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(7).U8(8).U16(500));
    rec(50, B().U8(0).U16(9).U16(8).U16(7).U16(6));
    rec(51, B().U8(9).U8(8).U8(7).U8(6));
    rec(52, B().U16(9).U16(8).U16(7).U16(6));
    rec(53, B().U16(32));
    rec(54, B().C(1).C(2).C(3));
    rec(55, B().C(4).C(5).C(6));
    rec(56, B().U8(1).C(1).C(2).C(3).C(4).C(850).C(1100).U8(3).U8(2));
    rec(57, B().U8(7).U32(0x01000003));
    rec(58, B().Bytes(4, 2));
    rec(59, B().Bytes(4, 3));
    rec(60, B().U16(2).U8(1).U8(2).U8(3).U8(1).U8('w').U8('o').U8(0));
    rec(61, B().U16(2).U8(1).U16(3).U16(4));
    rec(62, B().U8(1).U16(2).U16(3).U16(4).U16(5));
    rec(63, B().U16(6));
    rec(64, B().Bytes(3, 4));
    rec(65, B().Bytes(3, 5));
    rec(66, B().Char(charFlags).C(1).C(2).C(3).C(4).U16(0xFFF2).U16(7).U16(0xFFFF));
    rec(67, B().Bytes(3, 6));
    rec(68, B().Bytes(2, 7));
}

std::vector<uint8_t> EveryType(bool wide, uint16_t charFlags) {
    QwgBuilder q;
    q.Record(4, 1, 0, Start(wide, wide ? 1 : 0).b);
    AddEveryType(q, wide, charFlags);
    return q.End().bytes;
}

// An Object Capsule whose entries say format 2 or not, then images.
std::vector<uint8_t> Images() {
    QwgBuilder q;
    q.Record(4, 1, 0, Start(false, 0).b);
    Body cap;
    cap.Char(0).C(0).C(0).C(10).C(10).U16(2);
    cap.U8(2).U8(0).U8(8).U8(0x84).U16(96).U16(96);
    cap.U8(0x86).U8(0).U8(24).U8(0x40).U16(72).U16(72);
    q.Record(4, 33, 0, cap.b);
    QwgBuilder inner(testsupport::QwgPrefix{});
    inner.bytes.clear();
    inner.Record(4, 7, 0, Body{}.U16(5).b).Record(4, 41, 0, Body{}.U16(16).b).End();
    Body img;
    img.U16(0);
    img.b.insert(img.b.end(), inner.bytes.begin(), inner.bytes.end());
    q.Record(4, 18, 0, img.b);
    Body img2;
    img2.U16(16).U32(0x10000).U32(0x20000).U32(0x50000).U32(0x60000).Bytes(6, 9);
    q.Record(4, 18, 0, img2.b);
    q.Record(4, 18, 0, Body{}.U16(0).Bytes(4, 1).b);  // no capsule entry at index 2
    return q.End().bytes;
}

// 65 images, each nested in the one before, all of format 2.
std::vector<uint8_t> DeepImages() {
    std::vector<uint8_t> inner = Body{}.U16(1).b;  // an Object Link
    inner.insert(inner.begin(), {4, 7, 0, 2});
    for (int i = 0; i < 65; ++i) {
        Body cap;
        cap.Char(0).C(0).C(0).C(10).C(10).U16(1).U8(2).U8(0).U8(8).U8(0).U16(1).U16(1);
        QwgBuilder level;
        level.bytes.clear();
        level.Record(4, 33, 0, cap.b);
        Body img;
        img.U16(0);
        img.b.insert(img.b.end(), inner.begin(), inner.end());
        level.Record(4, 18, 0, img.b);
        inner = level.bytes;
    }
    QwgBuilder q;
    q.Record(4, 1, 0, Start(false, 0).b);
    q.Raw(inner);
    return q.End().bytes;
}

// Damaged fields: counts and lengths past their record, a bad precision,
// an End record with data.
std::vector<uint8_t> Damaged() {
    QwgBuilder q;
    q.Record(4, 1, 0, Start(false, 2).b);  // precision 2: double, reported
    Body comment(true);
    comment.U32(40).Bytes(6, 'x');  // tag past the record end
    q.Record(4, 10, 0, comment.b);
    Body poly(true);
    poly.Char(0).U16(1000).C(1).C(2).C(3).C(4);  // 1000 vertices, 2 there
    q.Record(4, 21, 0, poly.b);
    Body palette(true);
    palette.U16(0).U16(0);  // no entries: out of range
    q.Record(4, 12, 0, palette.b);
    Body bitmap(true);
    bitmap.U16(1).U16(1).U8(12).U8(2).U8(0xFF);
    q.Record(4, 14, 0, bitmap.b);
    Body group(true);
    group.Char(0);  // no area
    q.Record(4, 32, 0, group.b);
    Body brush(true);
    brush.U8(3).U16(0);  // no colours
    q.Record(4, 49, 0, brush.b);
    Body texture(true);
    texture.U16(1).U8(1).U8(2).U8(3).U8(0).Bytes(5, 'n');  // name without its zero
    q.Record(4, 60, 0, texture.b);
    Body shape(true);
    shape.Char(0).C(1).C(2).C(3).C(4).U16(0x7777);  // unknown shape, no words
    q.Record(4, 66, 0, shape.b);
    q.Record(4, 2, 0, Body{}.U16(0).b);  // End with a length
    return q.bytes;
}

bool WriteHandlerFixtures(const std::string& dir) {
    bool ok = true;
    auto put = [&](const char* name, const std::vector<uint8_t>& bytes) {
        ok = golden::WriteFixture(dir, name, bytes) && ok;
    };
    put("qwg-every-single.qwg", EveryType(false, 0));
    put("qwg-every-double.qwg", EveryType(true, 0));
    put("qwg-every-moved.qwg", EveryType(false, 0x02));
    put("qwg-every-moved-double.qwg", EveryType(true, 0x02));
    put("qwg-images.qwg", Images());
    put("qwg-deep-images.qwg", DeepImages());
    put("qwg-damaged-fields.qwg", Damaged());
    return ok;
}

}  // namespace

GOLDEN_FIXTURES(WriteHandlerFixtures);
