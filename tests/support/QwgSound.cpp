#include "tests/support/QwgSound.h"

#include "tests/support/CompoundBuilder.h"

namespace testsupport {

namespace {

using Data = std::vector<uint8_t>;

void Put8(Data& b, uint32_t v) { b.push_back(static_cast<uint8_t>(v)); }
void Put16(Data& b, uint32_t v) {
    Put8(b, v);
    Put8(b, v >> 8);
}
void Append(Data& b, const Data& more) { b.insert(b.end(), more.begin(), more.end()); }

}  // namespace

QwgBody QwgStartBody(bool wide, uint8_t precision) {
    QwgBody s(wide);
    s.U16(300).U16(300).U8(precision);
    s.C(0).C(0).C(1000).C(800);
    s.C(0).C(0).C(1000).C(800);
    s.U16(42);
    return s;
}

void AddEveryQwgType(QwgBuilder& q, bool wide, uint16_t charFlags) {
    auto rec = [&](uint8_t type, const QwgBody& body) { q.Record(4, type, 0, body.b); };
    auto B = [&]() { return QwgBody(wide); };
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

std::vector<uint8_t> QwgTextCodes() {
    Data t = {'H', 'i', 0x80, 'y', 'o', 0x83, 0x88, 'a', 0xB9, 'b', 0xCC, 0xBC, 'c', 0xCF};
    // 0xD3 1: line spacing 1.5; 5: centred; 14: outline define with 2 extra bytes; 9: unnamed.
    Append(t, {0xD3, 1, 14, 0, 0x00, 0, 0, 0x00, 0x80, 0x01, 0x00, 14, 0, 0xD3});
    Append(t, {0xD3, 5, 11, 0, 0, 0, 0, 2, 11, 0, 0xD3});
    {
        Data f = {0xD3, 14, 42, 0};
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
        Data f = {0xD4, 26, 0, 0};
        Append(f, {0x01, 0x02});
        for (uint32_t i = 0; i < 12; ++i) Put16(f, 0x100 + i);
        for (uint32_t i = 0; i < 10; ++i) Put8(f, i);
        Data names;
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
        Data f = {0xD4, 27, 25, 0, 0x03, 0x04};
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
        Data f = {0xE0, static_cast<uint8_t>(kind + 1), 17, 0, 0, 0, 0};
        for (uint32_t v : {0x0400u, 0x2Eu, 0x2Eu}) Put16(f, v);
        Put8(f, 1);
        Put16(f, 0x0800);
        Append(f, {17, 0, 0xE0});
        Append(t, f);
    }
    // 0xE1 sub-functions.
    auto e1 = [&](uint8_t sub, const Data& data) {
        Data f = {0xE1, sub, 0, 0, 0};
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

std::vector<uint8_t> QwgStyleSub(uint8_t number, const Data& data) {
    Data b = {number, static_cast<uint8_t>(data.size())};
    Append(b, data);
    return b;
}

std::vector<uint8_t> QwgStyleSubWide(uint8_t number, const Data& data) {
    Data b = {number, 0xFF};
    Put16(b, static_cast<uint32_t>(data.size()));
    Append(b, data);
    return b;
}

std::vector<uint8_t> QwgDoubles(std::initializer_list<double> values) {
    Data b;
    for (double d : values) {
        uint8_t raw[8];
        __builtin_memcpy(raw, &d, 8);
        b.insert(b.end(), raw, raw + 8);
    }
    return b;
}

std::vector<uint8_t> QwgFontCodes(const std::string& name, int32_t lengthDelta) {
    Data d(34, 0);
    d[0] = 3;
    d[2] = 0x22;
    d[4] = 0x44;
    d[8] = 0x10;
    d[9] = 0x0E;
    d[32] = static_cast<uint8_t>(name.size());
    Append(d, Data(name.begin(), name.end()));
    if (lengthDelta > 0) d.resize(d.size() + static_cast<size_t>(lengthDelta), 0xEE);
    if (lengthDelta < 0) d.resize(d.size() - static_cast<size_t>(-lengthDelta));
    return d;
}

std::vector<uint8_t> QwgEverySubRecord() {
    Data s;
    Append(s, QwgStyleSub(0, {0}));
    Append(s, QwgStyleSub(1, {1, 2, 3}));
    {
        Data axis = {7, 0, 0, 0, 0, 0, 0, 0};
        Append(axis, QwgDoubles({1.5, 100.0, -2.25, 10.0}));
        Append(axis, {4, 0x81, 0, 0, 0, 0, 0, 0});
        Append(s, QwgStyleSub(2, axis));
    }
    Append(s, QwgStyleSub(3, {1, 2, 0xFE, 0xFF, 0, 0, 0, 1, 2, 0, 0, 0}));
    Append(s, QwgStyleSub(3, {1, 2, 3, 0, 5, 0, 0, 0, 9, 0, 0, 0}));
    Append(s, QwgStyleSub(4, {1, 0, 0, 0, 2, 3, 4, 5, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}));
    Append(s, QwgStyleSub(5, {1, 2, 0xFF, 0xFF, 3, 0}));
    Append(s, QwgStyleSub(6, {10, 20, 30, 40}));
    {
        Data view = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
        Append(view, QwgDoubles({1, 2, 3, 0.5, 0.25, -1}));
        Append(view, {5, 0, 0xFB, 0xFF, 0, 0, 0, 0});
        Append(s, QwgStyleSub(7, view));
    }
    {
        Data item = Pattern(20, 8);
        item[16] = 0;
        Append(s, QwgStyleSub(8, item));
    }
    Append(s, QwgStyleSub(9, Pattern(52, 9)));
    Append(s, QwgStyleSub(10, Pattern(34, 10)));
    Append(s, QwgStyleSub(11, {1, 2, 3, 4, 5, 6}));
    Append(s, QwgStyleSub(12, {3, 0, 7, 0, 0xAA, 0xBB}));
    Append(s, QwgStyleSub(12, {4, 0, 2, 0}));
    Append(s, QwgStyleSub(13, {1, 2, 3, 0, 0x11, 0x22, 0x33, 0x44, 5, 0, 0, 0}));
    {
        Data codes = Pattern(40, 14);
        codes[32] = 0;
        codes[33] = 0;
        Append(s, QwgStyleSub(14, codes));
        codes[32] = 0x40;
        codes[4] = 0xFF;
        Append(s, QwgStyleSub(14, codes));
    }
    Append(s, QwgStyleSub(15, {6, 0, 0, 1}));
    Append(s, QwgStyleSub(15, {6, 1, 2, 1}));
    Append(s, QwgStyleSub(15, {6, 1, 1, 1}));
    Append(s, QwgStyleSub(15, {6, 5, 0, 1}));
    Append(s, QwgStyleSub(15, {2, 1, 2, 3}));
    Append(s, QwgStyleSub(16, {1, 2, 3, 4, 5, 6}));
    Append(s, QwgStyleSub(17, {1, 2, 3, 4, 5}));
    Append(s, QwgStyleSub(18, {9, 1, 2, 3, 0x78, 0x56, 0x34, 0x12}));
    Append(s, QwgStyleSub(19, {1, 2, 3}));
    Append(s, QwgStyleSub(20, Pattern(44, 20)));
    Append(s, QwgStyleSub(21, {1, 2, 3, 4, 5, 6, 7}));
    Append(s, QwgStyleSub(22, {1, 0, 0xF6, 0xFF}));
    Append(s, QwgStyleSub(23, {2, 1}));
    Append(s, QwgStyleSub(2, Data(48, 0)));
    Append(s, QwgStyleSub(25, {1, 2}));  // after AXIS: headed AXIS
    Append(s, QwgStyleSub(24, QwgFontCodes("Sans", 0)));
    Append(s, QwgStyleSub(26, {}));
    Append(s, QwgStyleSub(27, {1, 0, 0x78, 0x56, 0x34, 0x12}));
    Append(s, QwgStyleSub(40, {9}));
    // Short ones: fewer bytes than the copy size.
    Append(s, QwgStyleSub(6, {7}));
    return s;
}

}  // namespace testsupport
