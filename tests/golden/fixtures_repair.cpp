// Fixtures of the repair's cases: one reason or one mend each, plain and
// as the main stream of a compound file whose storages carry class ids and
// dates of their own.

#include <cstring>
#include <string>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"

using namespace testsupport;

namespace {

std::vector<uint8_t> Chars(const char* s) { return std::vector<uint8_t>(s, s + std::strlen(s)); }

Packet Named(uint8_t type, const char* text) {
    Packet p;
    p.type = type;
    p.payload = Chars(text);
    return p;
}

// A packet of type 0 that still holds data, before a packet that stays.
DocBuilder Deleted() {
    DocBuilder b;
    const uint16_t font = b.Add(Named(0x20, "Courier"));
    b.Add(Named(0x00, "left over"));
    const uint16_t style = b.Add(Named(0x30, "style"));
    b.body.Text("A").Var(Func(0xD4, 0x06, {font, style})).Text("B");
    return b;
}

// An undo packet named by body functions of 257 and 512 bytes: the first
// falls below 256 when its id goes, the second keeps a high byte.
DocBuilder LongFunctions() {
    DocBuilder b;
    const uint16_t font = b.Add(Named(0x20, "Courier"));
    const uint16_t undo = b.Add(Named(0x77, "undo"));
    auto fn = [&](size_t size) {
        VarFunc f = Func(0xD4, 0x06, {font, undo});
        f.nonDeletable.assign(size - f.Bytes().size(), 0x41);
        return f;
    };
    b.body.Text("one").Var(fn(257)).Text("two").Var(fn(512)).Text("end");
    return b;
}

// An unused style whose child font nobody else uses (both go), and a kept
// packet whose child list names the undo packet (its slot becomes 0).
DocBuilder Cascade() {
    DocBuilder b;
    const uint16_t font = b.Add(Named(0x20, "lonely"));
    Packet style = Named(0x31, "unused");
    style.children = {font};
    b.Add(style);
    const uint16_t undo = b.Add(Named(0x77, "undo"));
    Packet kept = Named(0x22, "kept");
    kept.children = {undo};
    const uint16_t keptId = b.Add(kept);
    b.body.Text("A").Var(Func(0xD4, 0x06, {keptId})).Text("B");
    return b;
}

// Functions in a kept packet's text block name the undo packet: one keeps
// its other id, one loses its only id and goes whole.
DocBuilder BlockFunctions() {
    DocBuilder b;
    const uint16_t font = b.Add(Named(0x20, "Courier"));
    const uint16_t undo = b.Add(Named(0x77, "undo"));
    Packet box;
    box.type = 0x0C;
    Body block;
    block.Text("Note").Var(Func(0xD4, 0x09, {undo, font}, {3})).Text("mid").Var(Func(0xD4, 0x09, {undo})).Text("ok");
    Body second;
    second.Text("second");
    box.blocks = {block, second};
    const uint16_t boxId = b.Add(box);
    b.body.Text("Hello").Var(Func(0xDF, 0x00, {boxId})).Text("World");
    return b;
}

// A body function naming the undo packet twice among three ids.
DocBuilder Duplicate() {
    DocBuilder b;
    const uint16_t font = b.Add(Named(0x20, "Courier"));
    const uint16_t undo = b.Add(Named(0x77, "undo"));
    b.body.Text("A").Var(Func(0xD4, 0x06, {undo, font, undo}, {1})).Text("B");
    return b;
}

// An entry whose data size reads 0xFFFFFFFF between two sound ones.
DocBuilder AllOnes() {
    DocBuilder b;
    const uint16_t font = b.Add(Named(0x20, "Courier"));
    Packet broken = Named(0x21, "broken");
    broken.size = 0xFFFFFFFF;
    const uint16_t brokenId = b.Add(broken);
    const uint16_t style = b.Add(Named(0x30, "style"));
    b.body.Text("A").Var(Func(0xD4, 0x06, {font, brokenId, style})).Text("B");
    return b;
}

// A 0x53 packet nobody uses and without its min-use flag (it gets the
// flag and stays), beside an unused packet of another type (it goes).
DocBuilder Unused53() {
    DocBuilder b;
    Packet p = Named(0x53, "fifty-three");
    p.flags = 0;
    p.useCount = 0;
    b.Add(p);
    b.Add(Named(0x20, "nobody"));
    const uint16_t font = b.Add(Named(0x20, "Courier"));
    b.body.Text("A").Var(Func(0xD4, 0x06, {font})).Text("B");
    return b;
}

bool Compound(const std::string& path, const DocBuilder& b) {
    CompoundLayout layout;
    layout.main = b.Build();
    layout.rootClassId = MakeClassId(0x22);
    layout.objectsClassId = MakeClassId(0x33);
    layout.rootTimes = MakeTimes(1500000000);
    layout.objectsTimes = MakeTimes(1500001000);
    layout.extra.push_back({u"", u"\x05SummaryInformation", false, Chars("summary"), {}});
    layout.extra.push_back({u"Quillsuite_OBJECTS", u"Pic1", false, std::vector<uint8_t>(40, 0x50), {}});
    layout.extra.push_back({u"Quillsuite_OBJECTS", u"Album", true, {}, MakeClassId(0x44)});
    layout.extra.push_back({u"Quillsuite_OBJECTS/Album", u"Pic2", false, std::vector<uint8_t>(24, 0x51), {}});
    layout.storageTimes.push_back({u"Quillsuite_OBJECTS/Album", MakeTimes(1500002000)});
    return WriteCompound(path, layout);
}

bool WriteRepairCaseFixtures(const std::string& dir) {
    bool ok = true;
    const std::pair<const char*, DocBuilder> cases[] = {
        {"repair-deleted", Deleted()},    {"repair-long", LongFunctions()}, {"repair-cascade", Cascade()},
        {"repair-blockfn", BlockFunctions()}, {"repair-duplicate", Duplicate()}, {"repair-ffff", AllOnes()},
        {"repair-53", Unused53()},
    };
    for (const auto& [name, b] : cases) {
        ok = golden::WriteFixture(dir, std::string(name) + ".qwd", b.Build()) && ok;
        ok = Compound(dir + "/" + name + "-cf.qwd", b) && ok;
    }
    return ok;
}

}  // namespace

GOLDEN_FIXTURES(WriteRepairCaseFixtures);
