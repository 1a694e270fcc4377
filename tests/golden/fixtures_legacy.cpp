// Fixtures that the older inspector's dialect reads differently.
#include <string>
#include <utility>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/DocBuilder.h"

namespace {

using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::Packet;

Packet WithData(uint8_t type, std::vector<uint8_t> payload) {
    Packet p;
    p.type = type;
    p.payload = std::move(payload);
    return p;
}

// Text runs and single bytes that the two grammars tell apart.
DocBuilder Grammar() {
    DocBuilder b;
    b.body.Text("Hello").Code(0x81).Text("World").Code(0x20);
    b.body.Text(std::string(100, 'a')).Code(0x20);
    b.body.Text(std::string(71, 'b')).Code(0x98);
    b.body.Text("ab").Code(0x00).Text("c").Code(0xFF).Text("d");
    b.body.Var(Func(0xD1, 0x1C, {}, {1, 0}));
    return b;
}

// A variable-length function whose size is below 4, then text.
DocBuilder SmallSize() {
    DocBuilder b;
    b.body.Text("x").Raw({0xD4, 0x02, 0x02, 0x00, 0x02, 0x00, 0xD4}).Text("y");
    return b;
}

// A size word of 0xFA01: 64,001 unsigned, negative as the signed size.
DocBuilder SignedSize() {
    DocBuilder b;
    b.body.Text("x").Raw({0xD4, 0x02, 0x01, 0xFA, 0x02, 0x00, 0xD4}).Text("y");
    return b;
}

// A fixed-length function cut by the end of the data.
DocBuilder FixedCut() {
    DocBuilder b;
    b.body.Text("x").Raw({0xF0, 0x01});
    return b;
}

// Packet types whose names differ, an available entry, and a packet too
// large for the older packet buffer.
DocBuilder Names() {
    DocBuilder b;
    for (uint8_t type : {0x37, 0x3F, 0x44, 0x5E}) b.Add(WithData(type, {1, 2, 3, 4}));
    b.AddAvailable();
    b.Add(WithData(0x01, std::vector<uint8_t>(64001, 0x41)));
    b.body.Text("z");
    return b;
}

// The only damage is a NULL byte in a text block: listed, and still sound.
DocBuilder CheckNull() {
    DocBuilder b;
    Packet text;
    text.type = 0x08;
    text.blocks = {testsupport::Body().Text("ab").Code(0x00).Text("c")};
    b.Add(text);
    b.body.Text("z");
    return b;
}

// A use count that the body does not bear out, and a packet used at most
// once that says it is used twice.
DocBuilder CheckCounts() {
    DocBuilder b;
    const uint16_t a = b.Add(WithData(0x20, {'A'}));
    Packet once = WithData(0x08, {'B'});
    once.flags = 0x04;
    const uint16_t o = b.Add(once);
    b.body.Text("x").Var(Func(0xD4, 0x1A, {a})).Var(Func(0xD4, 0x1A, {o})).Var(Func(0xD4, 0x1A, {o}));
    b.At(a).useCount = 300;
    return b;
}

// Child ids: one valid, one past the table while counting.
DocBuilder CheckChildren() {
    DocBuilder b;
    const uint16_t a = b.Add(WithData(0x20, {'C'}));
    Packet style;
    style.type = 0x30;
    style.children = {a, 9, a};
    b.Add(style);
    b.At(a).useCount = 1;
    b.body.Text("y");
    return b;
}

bool WriteLegacyFixtures(const std::string& dir) {
    if (!golden::WriteFixture(dir, "dialect-check-null.qwd", CheckNull().Build()) ||
        !golden::WriteFixture(dir, "dialect-check-counts.qwd", CheckCounts().Build()) ||
        !golden::WriteFixture(dir, "dialect-check-children.qwd", CheckChildren().Build()))
        return false;
    return golden::WriteFixture(dir, "dialect-grammar.qwd", Grammar().Build()) &&
           golden::WriteFixture(dir, "dialect-small-size.qwd", SmallSize().Build()) &&
           golden::WriteFixture(dir, "dialect-signed-size.qwd", SignedSize().Build()) &&
           golden::WriteFixture(dir, "dialect-fixed-cut.qwd", FixedCut().Build()) &&
           golden::WriteFixture(dir, "dialect-names.qwd", Names().Build());
}

}  // namespace

GOLDEN_FIXTURES(WriteLegacyFixtures);
