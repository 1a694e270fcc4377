#include "tests/support/RepairDocs.h"

#include <algorithm>
#include <cstdint>

namespace testsupport {

DocBuilder MakeRepairDocument(size_t megabytes, bool dense, int damaged) {
    constexpr int kFonts = 1000, kStyles = 500, kUndo = 500, kBoxes = 1000;
    const int blockDamage = damaged / 2, bodyDamage = damaged - blockDamage;
    DocBuilder b;
    for (int i = 0; i < kFonts; ++i) {
        Packet p;
        p.type = 0x20;
        p.payload = {'F', static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)};
        b.Add(p);
    }
    for (int i = 0; i < kStyles; ++i) {
        Packet p;
        p.type = 0x30;
        p.children = {static_cast<uint16_t>(1 + i % kFonts)};
        b.Add(p);
    }
    const uint16_t firstUndo = static_cast<uint16_t>(kFonts + kStyles + 1);
    for (int i = 0; i < kUndo; ++i) {
        Packet p;
        p.type = 0x77;
        p.payload = {'U', static_cast<uint8_t>(i)};
        b.Add(p);
    }
    const uint16_t firstBox = static_cast<uint16_t>(firstUndo + kUndo);
    for (int i = 0; i < kBoxes; ++i) {
        Packet p;
        p.type = 0x0C;
        Body block;
        block.Text("Boxed text").Var(Func(0xD4, 0x09, {static_cast<uint16_t>(1 + i % kFonts)}));
        if (i < blockDamage) block.Code(0xFF).Text("damaged");
        block.Text(" of a sub-document");
        p.blocks = {block, Body().Text("second block")};
        b.Add(p);
    }
    static const char kLong[] =
        "The quick brown fox jumps over the lazy dog and keeps on running through the fields of the "
        "morning while the farmer sleeps and the sun climbs slowly over the hills beyond the river. ";
    VarFunc broken = Func(0xD3, 0x01, {}, {0x10, 0x00});
    broken.trailerSize = 0x0999;
    auto step = [&](Body& body, uint32_t n) {
        const auto font = static_cast<uint16_t>(1 + n % kFonts);
        const auto style = static_cast<uint16_t>(kFonts + 1 + n % kStyles);
        if (dense) {
            body.Text("Some words").Code(0x0A).Fixed({0xF2, 0x01, 0xF2}).Text("and more");
            body.Var(Func(0xD4, 0x1A, {font}, {0x01, 0x02})).Text("text").Code(0x8C);
            if (n % 8 == 0) body.Var(Func(0xDD, 0x00, {style, font}));
        } else {
            body.Text(kLong).Text(kLong).Var(Func(0xD4, 0x1A, {font}, {0x01, 0x02}));
        }
        if (n % 16 == 3) body.Var(Func(0xD4, 0x06, {font, static_cast<uint16_t>(firstUndo + n % kUndo)}));
        if (n % 512 == 0) body.UndoStart().Text("deleted words").Var(Func(0xD4, 0x1A, {font})).UndoEnd();
        if (n % 16 == 5) body.Var(Func(0xDF, 0x00, {static_cast<uint16_t>(firstBox + (n / 16) % kBoxes)}));
    };
    Body one;
    step(one, 1);
    const size_t target = megabytes << 20;
    const size_t steps = std::max<size_t>(1, target / std::max<size_t>(1, one.Bytes().size()));
    const size_t every = std::max<size_t>(1, steps / static_cast<size_t>(std::max(1, bodyDamage)));
    int left = bodyDamage;
    for (uint32_t n = 0; b.body.Bytes().size() < target; ++n) {
        step(b.body, n);
        if (left > 0 && n % every == every / 2) {
            b.body.Var(broken).Text("after the damage");
            --left;
        }
    }
    return b;
}

}  // namespace testsupport
