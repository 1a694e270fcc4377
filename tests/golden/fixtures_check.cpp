// Fixtures of the document check's child lists.
#include "tests/golden/Fixtures.h"
#include "tests/support/DocBuilder.h"

namespace {

using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::Packet;

// A child id equal to the entry count between two valid ones: the counting
// pass says "TOO many child packets" and ends the list; the booking says
// nothing and books only the child before it, as counted.
DocBuilder TooManyChildren() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = {'A', 'r', 'i', 'a', 'l'};
    const uint16_t fontId = b.Add(font);  // 1
    constexpr uint16_t kCount = 3;        // entries, entry 0 included
    Packet style;
    style.type = 0x30;
    style.children = {fontId, kCount, fontId};
    b.Add(style);  // 2
    b.At(fontId).useCount = 2;  // the child before the end, and the body
    b.body.Text("x").Var(Func(0xD4, 0x1A, {fontId}));
    return b;
}

bool WriteCheckFixtures(const std::string& dir) {
    return golden::WriteFixture(dir, "check-too-many-children.qwd", TooManyChildren().Build());
}

}  // namespace

GOLDEN_FIXTURES(WriteCheckFixtures);
