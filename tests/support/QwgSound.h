#pragma once
// Sound graphics records: one of every record type, every code of a Text
// Data record, every sub-record of a Chart Style. The golden fixtures show
// them; the benchmark repeats them.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/QwgBuilder.h"

namespace testsupport {

// A record's data, little-endian; coordinates in either precision.
struct QwgBody {
    explicit QwgBody(bool w = false) : wide(w) {}
    bool wide;  // double precision coordinates
    std::vector<uint8_t> b;
    QwgBody& U8(uint32_t v) { b.push_back(static_cast<uint8_t>(v)); return *this; }
    QwgBody& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    QwgBody& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    QwgBody& C(uint32_t v) { return wide ? U32(v << 16) : U16(v); }
    QwgBody& Char(uint16_t flags) {
        U16(flags);
        if (flags & 0x02) U16(0).U32(10).U16(0x8000).U32(5);  // translation
        return *this;
    }
    QwgBody& Bytes(size_t n, uint8_t seed) {
        for (size_t i = 0; i < n; ++i) U8(seed + i * 7);
        return *this;
    }
};

// Start QWG Data: 300 dpi, an image of 1000 x 800 in the given precision.
QwgBody QwgStartBody(bool wide, uint8_t precision);
// Records 3-68 but Text Data, Chart Style, Object Image and Object Capsule,
// each with sound fields; entity heads carry `charFlags`.
void AddEveryQwgType(QwgBuilder& q, bool wide, uint16_t charFlags);
// Text Data holding every code group, functions of each named kind.
std::vector<uint8_t> QwgTextCodes();

// Chart Style sub-records: number, length byte (0xFF and a u16 when wide), data.
std::vector<uint8_t> QwgStyleSub(uint8_t number, const std::vector<uint8_t>& data);
std::vector<uint8_t> QwgStyleSubWide(uint8_t number, const std::vector<uint8_t>& data);
std::vector<uint8_t> QwgDoubles(std::initializer_list<double> values);
// FONT CODES data naming `name`, `lengthDelta` bytes longer or shorter.
std::vector<uint8_t> QwgFontCodes(const std::string& name, int32_t lengthDelta);
// Style data with every sub-record 0-27 for chart type 0.
std::vector<uint8_t> QwgEverySubRecord();

}  // namespace testsupport
