// Graphics streams: prefixes accepted and refused, record framing, damage,
// nesting, the header-only hex dump, a stream inside a document and in a
// compound file.

#include <string>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/QwgBuilder.h"

namespace {

using testsupport::Pattern;
using testsupport::QwgBuilder;
using testsupport::QwgPrefix;

std::vector<uint8_t> Data(size_t n, uint8_t seed) { return Pattern(n, seed); }

// Start, then the given records, then End.
QwgBuilder Started(const QwgPrefix& prefix = {}) {
    QwgBuilder b(prefix);
    b.Record(4, 1, 0, Data(4, 1));
    return b;
}

std::vector<uint8_t> Minimal(const QwgPrefix& prefix = {}) { return Started(prefix).End().bytes; }

// A record of one type whose length field is given as raw bytes.
std::vector<uint8_t> HeaderOnly(const std::vector<uint8_t>& lengthBytes, size_t dataBytes) {
    QwgBuilder b;
    b.Raw({4, 21, 0}).Raw(lengthBytes).Raw(Data(dataBytes, 3));
    return b.bytes;
}

bool WriteGraphicsFixtures(const std::string& dir) {
    bool ok = true;
    auto put = [&](const char* name, const std::vector<uint8_t>& bytes) {
        ok = golden::WriteFixture(dir, name, bytes) && ok;
    };

    // Prefixes.
    put("qwg-minimal.qwg", Minimal());
    {
        QwgPrefix p;
        p.key = 5;
        p.packetOffset = 0x40;
        p.entries = 2;
        p.completeness = 1;
        p.encryptionBlock = 0x10;
        p.fileSize = 0x1234;
        p.encryptionVersion = 3;
        put("qwg-fields.qwg", Minimal(p));
    }
    auto prefixed = [&](const char* name, uint8_t product, uint8_t fileType, uint8_t major) {
        QwgPrefix p;
        p.product = product;
        p.fileType = fileType;
        p.major = major;
        put(name, Minimal(p));
    };
    prefixed("qwg-type-10.qwg", 1, 10, 2);
    prefixed("qwg-slides.qwg", 15, 15, 2);
    prefixed("qwg-type-6.qwg", 1, 6, 2);
    prefixed("qwg-type-35.qwg", 1, 35, 2);
    prefixed("qwg-product-0.qwg", 0, 22, 2);
    prefixed("qwg-type-52.qwg", 1, 52, 2);
    prefixed("qwg-product-2.qwg", 2, 22, 2);
    prefixed("qwg-type-23.qwg", 1, 23, 2);
    prefixed("qwg-major-1.qwg", 1, 22, 1);
    {
        std::vector<uint8_t> bad = Minimal();
        bad[3] = 'D';
        put("qwg-no-signature.qwg", bad);
    }

    // Types 0 and 71, an unknown class.
    put("qwg-unknown.qwg",
        Started().Record(4, 0, 0, Data(3, 5)).Record(4, 71, 0, Data(2, 6)).Record(0x11, 21, 0, Data(2, 7)).End().bytes);
    // A record with two associated records, the first with one of its own.
    put("qwg-assoc.qwg", Started()
                             .Record(4, 32, 2, Data(2, 8))
                             .Record(4, 21, 1, Data(2, 9))
                             .Record(4, 24, 0, Data(2, 10))
                             .Record(4, 33, 0, Data(2, 11))
                             .End()
                             .bytes);
    put("qwg-after-end.qwg", Started().End().Record(4, 21, 0, Data(2, 12)).bytes);
    put("qwg-no-end.qwg", Started().Record(4, 21, 0, Data(2, 13)).bytes);

    // Truncation inside data, after a class byte, inside a count.
    put("qwg-cut-data.qwg", Started().RecordWithLength(4, 21, 0, 10, Data(4, 14)).bytes);
    put("qwg-cut-class.qwg", Started().Raw({4}).bytes);
    put("qwg-cut-var.qwg", Started().Raw({4, 21, 0, 0xFF, 0x01}).bytes);

    // A record header across the first buffer's end (offset 40960).
    put("qwg-straddle.qwg",
        Started().FillTo(40958).Record(4, 21, 0, Data(300, 15)).End().bytes);

    // Nested records inside an Object Image: one with one associated record,
    // an End, and one after the End.
    {
        QwgBuilder inner;
        inner.bytes.clear();
        inner.Record(4, 21, 1, Data(2, 16)).Record(4, 24, 0, Data(2, 17)).End().Record(4, 24, 0, Data(2, 18));
        put("qwg-nested.qwg", Started().Record(4, 18, 0, inner.bytes).End().bytes);
    }

    // Header-only lengths.
    put("qwg-len-05.qwg", HeaderOnly({0x05}, 5));
    put("qwg-len-fe.qwg", HeaderOnly({0xFE}, 40));
    put("qwg-len-ffff00.qwg", HeaderOnly({0xFF, 0xFF, 0x00}, 40));
    put("qwg-len-ff0001.qwg", HeaderOnly({0xFF, 0x00, 0x01}, 40));
    put("qwg-len-ffff7f.qwg", HeaderOnly({0xFF, 0xFF, 0x7F}, 40));
    put("qwg-len-ff00803412.qwg", HeaderOnly({0xFF, 0x00, 0x80, 0x34, 0x12}, 40));
    put("qwg-len-ff00800080.qwg", HeaderOnly({0xFF, 0x00, 0x80, 0x00, 0x80}, 40));
    put("qwg-len-ff00800180.qwg", HeaderOnly({0xFF, 0x00, 0x80, 0x01, 0x80}, 40));
    put("qwg-len-ff01800000.qwg", HeaderOnly({0xFF, 0x01, 0x80, 0x00, 0x00}, 40));
    // 20 bytes with the header; 10241 bytes with the header.
    put("qwg-rec20.qwg", QwgBuilder().Record(4, 21, 0, Data(16, 19)).End().bytes);
    put("qwg-rec10241.qwg", QwgBuilder().Record(4, 21, 0, Data(10241 - 6, 20)).End().bytes);

    // The stream in a document at 0x200, as a "Graphics Data" packet holds it.
    {
        std::vector<uint8_t> doc = {0xFF, 'Q', 'W', 'C', 0x00, 0x02, 0, 0, 1, 10, 2, 0, 0, 0, 0, 0};
        doc.resize(0x200, 0);
        const std::vector<uint8_t> stream = Started()
                                                .Record(4, 32, 1, Data(2, 21))
                                                .Record(4, 21, 0, Data(2, 22))
                                                .RecordWithLength(4, 24, 0, 9, Data(3, 23))
                                                .bytes;
        doc.insert(doc.end(), stream.begin(), stream.end());
        put("qwg-in-doc.qwd", doc);
    }
    // QWG 3.0: the stream as a compound file's main stream.
    ok = testsupport::WriteCompound(dir + "/qwg-compound.qwg",
                                    Started().Record(4, 32, 1, Data(2, 24)).Record(4, 21, 0, Data(2, 25)).End().bytes) &&
         ok;
    return ok;
}

}  // namespace

GOLDEN_FIXTURES(WriteGraphicsFixtures);
