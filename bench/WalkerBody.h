// The body bench_walker lists: text, single-byte codes, attribute pairs,
// functions with and without prefix ids, and now and then an undo area.
// bench_describe walks the same body with its described functions added.

#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/DocBuilder.h"

namespace bench {

struct WalkerBody {
    testsupport::VarFunc withIds;
    testsupport::VarFunc plain;

    // Adds the style and font packets the functions name.
    explicit WalkerBody(testsupport::DocBuilder& b) {
        testsupport::Packet style;
        style.type = 0x30;
        const uint16_t styleId = b.Add(style);
        testsupport::Packet font;
        font.type = 0x20;
        const uint16_t fontId = b.Add(font);
        withIds = testsupport::Func(0xD4, 0x06, {styleId, fontId}, {1, 2, 3, 4});
        plain = testsupport::Func(0xD3, 0x01, {}, {0x10, 0x00});
    }

    // One round; every 16th ends with an undo area.
    void AddRound(testsupport::Body& body, size_t round) const {
        body.Text("The quick brown fox jumps over the lazy dog").Code(0x80).Text("again")
            .Code(0xCC).Var(withIds).Fixed({0xF2, 0x0C, 0xF2}).Text("bold").Fixed({0xF3, 0x0C, 0xF3})
            .Code(0x20).Var(plain);
        if ((round + 1) % 16 == 0) body.UndoStart().Text("deleted words").Var(withIds).UndoEnd();
    }
};

}  // namespace bench
