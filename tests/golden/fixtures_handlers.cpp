// Graphics records field by field: one sound record of every type in both
// precisions, entity records transformed, and the damaged fields the
// handlers must survive (counts and lengths past the record end, nesting
// deeper than allowed).

#include <cstdint>
#include <string>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/QwgBuilder.h"
#include "tests/support/QwgSound.h"

namespace {

using testsupport::QwgBuilder;

using Body = testsupport::QwgBody;

std::vector<uint8_t> EveryType(bool wide, uint16_t charFlags) {
    QwgBuilder q;
    q.Record(4, 1, 0, testsupport::QwgStartBody(wide, wide ? 1 : 0).b);
    testsupport::AddEveryQwgType(q, wide, charFlags);
    return q.End().bytes;
}

// An Object Capsule whose entries say format 2 or not, then images.
std::vector<uint8_t> Images() {
    QwgBuilder q;
    q.Record(4, 1, 0, testsupport::QwgStartBody(false, 0).b);
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
    q.Record(4, 1, 0, testsupport::QwgStartBody(false, 0).b);
    q.Raw(inner);
    return q.End().bytes;
}

// Damaged fields: counts and lengths past their record, a bad precision,
// an End record with data.
std::vector<uint8_t> Damaged() {
    QwgBuilder q;
    q.Record(4, 1, 0, testsupport::QwgStartBody(false, 2).b);  // precision 2: double, reported
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

// Brush gradients with each flag on and off; the double precision record's
// extents are u32 whatever the stream's precision.
std::vector<uint8_t> Gradients(bool wide) {
    QwgBuilder q;
    q.Record(4, 1, 0, testsupport::QwgStartBody(wide, wide ? 1 : 0).b);
    q.Record(4, 47, 0, Body{}.U32(0x10000).U16(7).U16(8).U8(0x00).b);
    q.Record(4, 47, 0, Body{}.U32(0x8000).U16(1).U16(2).U8(0x80).U16(10).U16(20).U16(30).U16(40).b);
    q.Record(4, 48, 0, Body{}.U32(0x2D8000).U16(5).U16(6).U8(0xC0).U32(0x10000).U32(0x20000).U32(0x30000).U32(0x40000).b);
    q.Record(4, 48, 0, Body{}.U32(0).U16(0).U16(0).U8(0x40).b);
    q.Record(4, 47, 0, Body{}.U32(0x10000).U16(1).b);  // cut short: no references, no flags
    return q.End().bytes;
}

// An embedded graphic whose own Start record turns to double precision
// between two polylines; a polyline after the image.
std::vector<uint8_t> NestedPlace() {
    QwgBuilder q;
    q.Record(4, 1, 0, testsupport::QwgStartBody(false, 0).b);
    Body cap;
    cap.Char(0).C(0).C(0).C(10).C(10).U16(1).U8(2).U8(0).U8(8).U8(0).U16(96).U16(96);
    q.Record(4, 33, 0, cap.b);
    QwgBuilder inner;
    inner.bytes.clear();
    inner.Record(4, 21, 0, Body{}.Char(0).U16(2).C(10).C(20).C(30).C(40).b);
    inner.Record(4, 1, 0, testsupport::QwgStartBody(true, 1).b);
    inner.Record(4, 21, 0, Body(true).Char(0).U16(2).C(10).C(20).C(30).C(40).b);
    inner.End();
    Body img;
    img.U16(0);
    img.b.insert(img.b.end(), inner.bytes.begin(), inner.bytes.end());
    q.Record(4, 18, 0, img.b);
    q.Record(4, 21, 0, Body(true).Char(0).U16(1).C(50).C(60).b);
    return q.End().bytes;
}

// A Shape Object whose length claims 2 GB that the file does not hold:
// its data words end with the data.
std::vector<uint8_t> ShapePastData() {
    QwgBuilder q;
    q.Record(4, 1, 0, testsupport::QwgStartBody(false, 0).b);
    Body shape;
    shape.Char(0).C(1).C(2).C(3).C(4).U16(0xFFF2).U16(7).U16(8).U8(9);
    q.RecordWithLength(4, 66, 0, 0x7FFFFFF0, shape.b);
    return q.bytes;
}

// A ruler whose guides run past its record and the stream's end.
std::vector<uint8_t> OlderRuler() {
    QwgBuilder q;
    q.Record(4, 1, 0, testsupport::QwgStartBody(false, 0).b);
    q.Record(4, 4, 0, Body{}.C(1).C(2).C(3).U16(3).C(7).b);
    return q.End().bytes;
}

// A ruler whose stored guide count (65,535) runs far past the stream's end.
std::vector<uint8_t> OlderRulerCountPastEnd() {
    QwgBuilder q;
    q.Record(4, 1, 0, testsupport::QwgStartBody(false, 0).b);
    q.Record(4, 4, 0, Body{}.C(1).C(2).C(3).U16(0xFFFF).C(7).b);
    return q.End().bytes;
}

// Records the older dialect reads differently: a group without its area, the types 58 and 64, and a
// record rest of 20,000 bytes.
std::vector<uint8_t> OlderRecords() {
    QwgBuilder q;
    q.Record(4, 1, 0, testsupport::QwgStartBody(false, 0).b);
    q.Record(4, 32, 0, Body{}.Char(0).b);
    q.Record(4, 58, 0, Body{}.U16(0x1234).b);
    q.Record(4, 64, 0, Body{}.U16(0x5678).b);
    Body comment;
    comment.U32(0).Bytes(20000, 0x61);  // no tag, a comment of 20,000 bytes
    q.Record(4, 10, 0, comment.b);
    return q.End().bytes;
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
    put("qwg-gradients-single.qwg", Gradients(false));
    put("qwg-gradients-double.qwg", Gradients(true));
    put("qwg-nested-place.qwg", NestedPlace());
    put("qwg-shape-past-data.qwg", ShapePastData());
    put("qwg-older-records.qwg", OlderRecords());
    put("qwg-older-ruler.qwg", OlderRuler());
    put("qwg-older-ruler-count.qwg", OlderRulerCountPastEnd());
    return ok;
}

}  // namespace

GOLDEN_FIXTURES(WriteHandlerFixtures);
