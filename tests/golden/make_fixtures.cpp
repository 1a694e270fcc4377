// make_fixtures DIR: writes the golden tests' fixture documents into DIR.
// make_fixtures --sample FILE: writes the bundled damaged sample.

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/golden/Fixtures.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"

using namespace testsupport;

namespace golden {

namespace {
std::vector<FixtureWriter>& Writers() {
    static std::vector<FixtureWriter> writers;
    return writers;
}
}  // namespace

FixtureRegistrar::FixtureRegistrar(FixtureWriter writer) { Writers().push_back(writer); }

const std::vector<FixtureWriter>& RegisteredFixtureWriters() { return Writers(); }

bool WriteFixture(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    if (WriteFileBytes(dir + "/" + name, bytes)) return true;
    std::fprintf(stderr, "make_fixtures: cannot write %s/%s\n", dir.c_str(), name.c_str());
    return false;
}

}  // namespace golden

namespace {

// A document with a packet of each kind the listings tell apart.
DocBuilder Basic() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;  // Font Name List
    font.payload = Bytes("Courier\0Times");
    const uint16_t fontId = b.Add(font);

    Packet style;
    style.type = 0x30;  // Style Data, naming the font packet
    style.children = {fontId, 0};
    style.flags = 0x01 | 0x04 | 0x08;
    style.payload = {0xAA, 0xBB};
    const uint16_t styleId = b.Add(style);

    b.AddAvailable();

    Packet deleted;
    deleted.type = 0;
    deleted.payload = Bytes("old");
    b.Add(deleted);

    Packet graphics;
    graphics.type = 0x6F;
    graphics.payload = std::vector<uint8_t>(20, 0x47);
    const uint16_t graphicsId = b.Add(graphics);

    Packet box;
    box.type = 0x0C;  // Sub-Document with a text block naming the style
    Body block;
    block.Text("Note").Var(Func(0xD4, 0x09, {styleId}));
    box.blocks = {block};
    b.Add(box);

    b.body.Text("Hello")
        .Code(0x80)
        .Var(Func(0xD4, 0x06, {styleId, fontId}, {1, 2}))
        .UndoStart()
        .Var(Func(0xDF, 0x00, {graphicsId}))
        .UndoEnd()
        .Text("World");
    return b;
}

DocBuilder WithHeader(std::function<void(Header&)> edit) {
    DocBuilder b = Basic();
    edit(b.header);
    return b;
}

DocBuilder Available(size_t entries) {
    DocBuilder b;
    while (b.EntryCount() < entries) b.AddAvailable();
    b.body.Text("x");
    return b;
}

// A use count that disagrees with the body, and a function whose trailer
// does not repeat its size.
DocBuilder Damaged() {
    DocBuilder b;
    Packet style;
    style.type = 0x30;
    style.payload = Bytes("Style");
    style.useCount = 3;  // the body names it once
    const uint16_t styleId = b.Add(style);
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Arial");
    b.Add(font);
    VarFunc broken = Func(0xD3, 0x01, {}, {0x10, 0x00});
    broken.trailerSize = 0x0999;
    b.body.Text("Damaged sample").Var(Func(0xD4, 0x06, {styleId})).Var(broken).Text("end");
    return b;
}

bool Write(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    return golden::WriteFixture(dir, name, bytes);
}

// ---- Fixtures of the document check ----------------------------------------

// Counts that match: child list, text block, body, undo area and min flag.
DocBuilder CheckSound() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Courier");
    const uint16_t fontId = b.Add(font);  // 1: style's child, body, undo area
    Packet style;
    style.type = 0x30;
    style.children = {fontId, 0};
    const uint16_t styleId = b.Add(style);  // 2: the text block and the body
    Packet box;
    box.type = 0x0C;
    Body block;
    block.Text("Note").Var(Func(0xD4, 0x09, {styleId})).Text("end");
    box.blocks = {Body(), block};  // an empty block is skipped
    b.Add(box);                    // 3
    Packet settings;
    settings.type = 0x02;
    settings.flags = 0x08;  // min use=1, nobody names it
    settings.useCount = 1;
    settings.payload = {1, 2, 3};
    b.Add(settings);  // 4
    Packet spare;
    spare.type = 0x31;  // an outline style nobody uses
    spare.payload = Bytes("unused");
    b.Add(spare);  // 5
    b.body.Text("Hello")
        .Var(Func(0xD4, 0x06, {styleId, fontId}, {1, 2}))
        .UndoStart()
        .Var(Func(0xD4, 0x1A, {fontId}))
        .Text("gone")
        .UndoEnd()
        .Text("World");
    return b;
}

// The size lines: a deleted packet, and a packet whose size leaves bytes
// out (extra bytes); or one that claims more than it has (overlap).
DocBuilder CheckSizes(bool overlap) {
    DocBuilder b;
    Packet deleted;
    deleted.type = 0;
    deleted.payload = Bytes("old data");
    b.Add(deleted);
    Packet p;
    p.type = 0x01;
    p.payload = Bytes("0123456789");
    p.size = overlap ? 0x30 : 4;
    b.Add(p);
    b.AddAvailable();
    b.body.Text("body");
    return b;
}

// One child-list finding per packet; a last text-block table whose first
// block lies past the data.
DocBuilder CheckChildren() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Arial");
    const uint16_t fontId = b.Add(font);  // 1
    const uint16_t avail = b.AddAvailable();  // 2
    constexpr uint16_t kCount = 9;            // entries, entry 0 included
    auto children = [&](std::vector<uint16_t> ids) {
        Packet p;
        p.type = 0x30;
        p.children = std::move(ids);
        return p;
    };
    Packet shortList = children({fontId});
    shortList.childCount = 4;  // four announced, one there
    b.Add(shortList);                          // 3
    b.Add(children({fontId, kCount + 1, fontId}));  // 4: too large, ends the list
    b.Add(children({kCount, fontId}));         // 5: equal to the count, ends the list
    b.Add(children({avail, fontId}));          // 6: an available entry
    b.Add(children({0, fontId}));              // 7: a valid list, slot 0 empty
    Packet beyond;
    beyond.type = 0x0C;
    Body block;
    block.Text("text");
    beyond.blocks = {block};
    beyond.blockTextOffset = 0x100;
    b.Add(beyond);  // 8
    // Font's stored count: the children of 4 and 7 before their ends, and the body.
    b.At(fontId).useCount = 3;
    b.body.Text("x").Var(Func(0xD4, 0x1A, {fontId}));
    return b;
}

// One damaged text block per kind of damage; each stretch is one finding
// and, in the cross reference, one booked range.
DocBuilder CheckBlocks() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Arial");
    const uint16_t fontId = b.Add(font);  // 1
    constexpr uint16_t kCount = 3;
    auto fn = [&] { return Func(0xD4, 0x09, {fontId}); };
    std::vector<Body> blocks(11);
    blocks[0].Text("ab").Raw({0x00, 0x00}).Var(fn()).Text("cd");  // two bad bytes, then valid
    blocks[1].Text("x").Code(0xFF).Text("y");
    blocks[2].Fixed({0xF2, 0x01, 0xF3});
    blocks[3].Text("ab").Raw({0xD4, 0x01, 0x02});
    blocks[4].Raw({0xD4, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}).Text("zz");
    blocks[5].Raw({0xD4, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00}).Text("zz");
    VarFunc trailer = fn();
    trailer.trailerSize = 0x0999;
    blocks[6].Var(trailer).Text("ok").Var(fn());
    blocks[7].Var(Func(0xD4, 0x09, {fontId, kCount, fontId})).Text("after").Var(fn());
    VarFunc crowded = fn();
    crowded.prefixCount = 10;
    blocks[8].Var(crowded);
    blocks[9].Text("cut").Raw({0xF0, 0x01});  // a fixed-length function the block's end cuts
    blocks[10].Text("clean").Var(fn());
    Packet box;
    box.type = 0x0C;
    box.blocks = blocks;
    box.useCount = 0;
    b.Add(box);  // 2
    // Counted: the valid functions of blocks 0, 6, 7 (three ids) and 10.
    b.At(fontId).useCount = 6;
    b.body.Text("body");
    return b;
}

// Damage in the body: a wrong trailer and a 0xFF byte; optionally a function
// cut off by the end of the data.
DocBuilder CheckBody(bool cut) {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Arial");
    const uint16_t fontId = b.Add(font);
    VarFunc broken = Func(0xD3, 0x01, {}, {0x10, 0x00});
    broken.trailerSize = 0x0999;
    b.body.Text("one").Var(broken).Text("two").Var(Func(0xD4, 0x1A, {fontId})).Code(0xFF).Text("three")
        .Var(Func(0xD4, 0x1A, {fontId}));
    if (cut) b.body.Raw({0xD4, 0x1A});
    return b;
}

// Stored counts against the rules: exempt types, the MAX1 rule, hidden uses,
// the min flag.
DocBuilder CheckCounts() {
    DocBuilder b;
    auto packet = [](uint8_t type, std::optional<uint16_t> use, std::optional<uint8_t> flags = {}) {
        Packet p;
        p.type = type;
        p.useCount = use;
        p.flags = flags;
        p.payload = {type};
        return p;
    };
    const uint16_t wrong = b.Add(packet(0x20, 3));          // 1: named once
    const uint16_t p3f = b.Add(packet(0x3F, 5));            // 2: exempt
    b.Add(packet(0x4E, 2));                                 // 3: exempt
    b.Add(packet(0x53, 2));                                 // 4: exempt; needs the min flag
    const uint16_t max1 = b.Add(packet(0x41, 2, 0x04));     // 5: max one use, named twice
    const uint16_t text8 = b.Add(packet(0x08, 2, 0x04));    // 6: type 8 may be used more often
    b.Add(packet(0x02, 1, 0x08));                           // 7: min flag, stored 1
    const uint16_t hidden = b.Add(packet(0x21, {}));        // 8: hidden use
    b.At(hidden).hiddenCount = 0;
    b.body.Var(Func(0xD4, 0x1A, {wrong, p3f}))
        .Var(Func(0xD4, 0x1A, {max1, text8}))
        .Var(Func(0xD4, 0x1A, {max1, text8}))
        .UndoStart()
        .Var(Func(0xD4, 0x1A, {hidden}))
        .UndoEnd()
        .Text("counts");
    return b;
}

bool WriteCheckFixtures(const std::string& dir) {
    bool ok = true;
    auto put = [&](const std::string& name, const DocBuilder& b) { ok = Write(dir, name, b.Build()) && ok; };
    put("check-sound.qwd", CheckSound());
    put("check-sizes.qwd", CheckSizes(false));
    put("check-overlap.qwd", CheckSizes(true));
    put("check-children.qwd", CheckChildren());
    put("check-blocks.qwd", CheckBlocks());
    put("check-body.qwd", CheckBody(false));
    put("check-body-cut.qwd", CheckBody(true));
    put("check-counts.qwd", CheckCounts());
    return ok;
}

// ---- Fixtures of the code-stream walker -------------------------------------

std::vector<uint8_t> Zeros(size_t n) { return std::vector<uint8_t>(n, 0); }

// Text runs, spaces, fillers, single-byte and fixed-length codes, names of
// variable-length functions, and undo areas (matching, then mismatched).
DocBuilder WalkerText() {
    DocBuilder b;
    b.body.Text(std::string(70, 'a') + "XYZ")
        .Code(0x0A)
        .Text("Soft").Code(0x80).Text("Hard").Code(0x81).Text("space")
        .Code(0x20).Text("fil").Code(0x00).Text("ler")
        .Code(0x85).Code(0xA5).Code(0xCF)
        .Fixed({0xF2, 0x0C, 0xF2}).Text("bold").Fixed({0xF3, 0x8C, 0xF3}).Fixed({0xF2, 0x3F, 0xF2})
        .Var(Func(0xD4, 0x06)).Var(Func(0xD0, 0x40)).Var(Func(0xE0, 0x93)).Var(Func(0xE7, 0x00))
        .Fixed({0xFD, 0x03, 0x02, 0x00, 0x01, 0x00, 0x01, 0xFD})
        .UndoStart(1).Text("undone").Var(Func(0xD4, 0x06)).UndoEnd(1)
        .Fixed({0xF1, 0x04, 0x00, 0x00, 0xF1})
        .Text("shown")
        .UndoStart(2).Text("open").UndoEnd(3).Text("still inside");
    return b;
}

// Every kind of damage, each followed by text and then a valid function
// that ends the stretch in the walks that resynchronise.
DocBuilder WalkerDamage() {
    DocBuilder b;
    Packet style;
    style.type = 0x30;
    const uint16_t id = b.Add(style);
    const VarFunc valid = Func(0xD4, 0x06, {id});
    VarFunc trailer = Func(0xD3, 0x01, {}, {0x10, 0x00});
    trailer.trailerSize = 0x0999;
    VarFunc refused = Func(0xD4, 0x06);
    refused.prefixIds = {7};  // past the packet table
    b.body.Text("before").Code(0xFF).Text("lost1").Var(valid)
        .Text("after1").Var(trailer).Text("lost2").Code(0x0A).Var(Func(0xD2, 0x00))
        .Text("after2").Fixed({0xF2, 0x0C, 0xF3}).Text("lost3").Var(valid)
        .Text("after3").Raw({0xD4, 0x06, 0x00, 0x00}).Text("lost4").Var(valid)
        .Text("after4").Var(refused).Text("lost5").Var(valid)
        .Text("after5").Raw({0xD4, 0x06, 0x02, 0x00}).Text("lost6").Var(valid)
        .Text("after6").Code(0xFF).Text("never closed");
    return b;
}

// Items the data ends inside.
DocBuilder WalkerCut(std::vector<uint8_t> tail) {
    DocBuilder b;
    b.body.Text("text").Raw(std::move(tail));
    return b;
}

// Items at the ends of windows, each window based on the item read again
// before it: a function across the end, a fixed-length function across
// it, a header with three bytes in the window (read again), a function
// that ends right at the end (not read again); text across the first end
// needs no refill.
DocBuilder WalkerWindows() {
    DocBuilder b;
    const std::vector<uint8_t> f = Func(0xD4, 0x06, {}, std::vector<uint8_t>(10, 0x11)).Bytes();
    const size_t var1 = 63990, fixed = var1 + 63998, var2 = fixed + 63997;
    const size_t var3 = var2 + 64000 - f.size();
    b.body.Text("first").Raw(Zeros(var1 - 5)).Raw(f);
    b.body.Raw(Zeros(fixed - var1 - f.size())).Fixed({0xF2, 0x0C, 0xF2});
    b.body.Raw(Zeros(var2 - fixed - 3)).Raw(f);
    b.body.Raw(Zeros(var3 - var2 - f.size())).Raw(f).Text("end");
    return b;
}

// A full window whose last item the data ends inside.
DocBuilder WalkerRefillPastEnd() {
    DocBuilder b;
    b.body.Text("start").Raw(Zeros(64000 - 5 - 2)).Raw({0xF2, 0x0C});
    return b;
}

// The old layout: 0x20 is text, 0x80 a code, 0xC1 nine bytes long, a
// variable-length size without its 4-byte trailer, 0xF5 damage; last a
// function whose trailer lies just past a full window.
DocBuilder WalkerOld() {
    DocBuilder b;
    b.header.major = 0;
    const std::vector<uint8_t> oldVar{0xD4, 0x01, 0x06, 0x00, 0xAA, 0xBB, 0x06, 0x00, 0x00, 0xD4};
    b.body.Text("old text").Code(0x80).Text("A")
        .Raw({0xC1, 'h', 'i', 'd', 'd', 'e', 'n', 0x00, 0xC1}).Text("B").Raw(oldVar).Text("C")
        .Raw({0xF5}).Text("gone").Raw(oldVar).Text("D");
    const size_t used = b.body.Bytes().size();
    b.body.Raw(Zeros(64000 - 8 - used)).Raw(oldVar).Text("tail");
    return b;
}

// Group 0xD0 with prefix ids and embedded subfunctions.
DocBuilder WalkerD0() {
    DocBuilder b;
    Packet style;
    style.type = 0x30;
    const uint16_t id = b.Add(style);
    const std::vector<uint8_t> embedded{0x80, 0x02, 0x00, 0x00, 0x00, 0x8A, 0x81, 0x00, 0x00, 0x8B, 0x05, 0x00};
    const uint16_t n = static_cast<uint16_t>(embedded.size() + 2 + 2);
    std::vector<uint8_t> area{static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), 0x02, 0x00, 0xAA, 0xBB};
    area.insert(area.end(), embedded.begin(), embedded.end());
    VarFunc d0 = Func(0xD0, 0x0A, {id});
    d0.dataArea = area;
    b.body.Text("cell").Var(d0).Text("next");
    return b;
}

DocBuilder WalkerLong() {
    DocBuilder b;
    b.body.Text("long").Raw(Zeros(30000)).Text("body");
    return b;
}

bool WriteWalkerFixtures(const std::string& dir) {
    bool ok = true;
    auto put = [&](const std::string& name, const DocBuilder& b) { ok = Write(dir, name, b.Build()) && ok; };
    put("walker-text.qwd", WalkerText());
    put("walker-damage.qwd", WalkerDamage());
    put("walker-cut-header.qwd", WalkerCut({0xD4, 0x06, 0x20}));
    put("walker-cut-fixed.qwd", WalkerCut({0xFD, 0x01, 0x02}));
    VarFunc longer = Func(0xD4, 0x06);
    longer.size = 40;
    put("walker-cut-size.qwd", WalkerCut(longer.Bytes()));
    put("walker-windows.qwd", WalkerWindows());
    put("walker-refill-past-end.qwd", WalkerRefillPastEnd());
    put("walker-old.qwd", WalkerOld());
    put("walker-d0.qwd", WalkerD0());
    put("walker-long.qwd", WalkerLong());
    return ok;
}

// ---- Fixtures of the packet details ----------------------------------------

// Child lists and text blocks as the detail shows them, and the damage that
// ends a detail.
DocBuilder DescribePackets() {
    DocBuilder b;
    Packet font;
    font.type = 0x22;
    font.payload = Bytes("Arial");
    const uint16_t fontId = b.Add(font);  // 1

    Packet parent;
    parent.type = 0x90;  // no describer: children, then the data in hex
    parent.children = {fontId, 0};
    parent.payload = {0x01, 0x02, 0x03};
    b.Add(parent);  // 2

    Packet blocks;
    blocks.type = 0x6F;  // text blocks without a describer
    // The table ends at 14 and names 16 as the first block: B0 B1 lie
    // undocumented before the two blocks "Hi" "Hi", and EE after them.
    blocks.blockTextOffset = 16;
    blocks.blocks = {Body().Raw({0xB0, 0xB1}), Body().Text("Hi")};
    blocks.payload = {'H', 'i', 0xEE};
    b.Add(blocks);  // 3

    Packet tooMany;
    tooMany.type = 0x08;
    tooMany.children = {fontId, 6};  // 6 is the entry count
    b.Add(tooMany);  // 4

    Packet beyond;
    beyond.type = 0x6F;
    beyond.blocks = {Body().Text("Hi")};
    beyond.blockTextOffset = 0x40;
    b.Add(beyond);  // 5
    return b;
}

bool WriteDescriberFixtures(const std::string& dir) {
    return Write(dir, "describe-packets.qwd", DescribePackets().Build());
}

bool WriteRepairFixtures(const std::string& dir);

bool WriteAll(const std::string& dir) {
    bool ok = true;
    auto put = [&](const std::string& name, const DocBuilder& b) { ok = Write(dir, name, b.Build()) && ok; };

    put("basic.qwd", Basic());
    put("damaged.qwd", Damaged());

    // Verdicts.
    put("no-signature.qwd", WithHeader([](Header& h) { h.signature = 0x435751FE; }));
    ok = Write(dir, "short.qwd", {0xFF, 'Q', 'W', 'C', 0x20, 0, 0, 0, 1, 10}) && ok;
    put("wrong-product.qwd", WithHeader([](Header& h) { h.productType = 2; }));
    put("wrong-type.qwd", WithHeader([](Header& h) { h.fileType = 11; }));
    put("major-zero.qwd", WithHeader([](Header& h) { h.major = 0; }));
    put("keyed.qwd", WithHeader([](Header& h) { h.key = 0x1234; }));
    put("graphics-1.qwd", WithHeader([](Header& h) {
            h.fileType = 22;
            h.major = 1;
        }));
    put("graphics-2.qwd", WithHeader([](Header& h) { h.fileType = 22; }));

    // Index failures.
    {
        DocBuilder b = Basic();
        b.indexMarker = 1;
        put("index-marker.qwd", b);
    }
    {
        DocBuilder b = Basic();
        b.entryCount = 0;
        put("index-count-0.qwd", b);
    }
    put("doc-offset-16.qwd", WithHeader([](Header& h) { h.docOffset = 16; }));
    {
        // 40 entries announced, 3 in the file: the rest read as available.
        DocBuilder b;
        Packet p;
        p.type = 0x01;
        p.size = 4;
        p.offset = 0x200;  // past the end
        b.Add(p);
        b.AddAvailable();
        b.entryCount = 40;
        b.header.docOffset = 0x100;
        put("index-past-end.qwd", b);
    }
    ok = Write(dir, "index-cut.qwd", [] {
        auto bytes = Basic().Build();
        bytes.resize(16 + 10);  // not even entry 0 whole
        return bytes;
    }()) && ok;

    // Header listings.
    put("index-offset-0.qwd", WithHeader([](Header& h) { h.indexOffset = 0; }));
    put("index-offset-27.qwd", WithHeader([](Header& h) { h.indexOffset = 27; }));
    put("extended.qwd", WithHeader([](Header& h) {
            h.indexOffset = 28;
            h.extended = true;
            h.fixedEntryCount = 7;
            h.completeness = 1;
            h.proprietaryOffset = 0x1234;
            h.encryptionVersion = 2;
            h.encryptionFlags = 0x8001;
        }));
    {
        DocBuilder b = Basic();
        b.header.fileType = 17;
        Packet misc1, misc2;
        misc1.type = 0x81;
        misc2.type = 0x82;
        b.Add(misc1);
        b.Add(misc2);
        Packet high;
        high.type = 0xD7;
        b.Add(high);
        put("type-17.qwd", b);
        b.header.fileType = 10;
        put("type-10-names.qwd", b);
    }

    // Progress from 200 entries.
    put("entries-199.qwd", Available(199));
    put("entries-200.qwd", Available(200));

    // Compound documents.
    {
        CompoundLayout layout;
        layout.main = Basic().Build();
        layout.rootClassId = MakeClassId(0x11);
        layout.extra.push_back({u"", u"\x05SummaryInformation", false, Bytes("summary"), {}});
        layout.extra.push_back({u"Quillsuite_OBJECTS", u"Pic1", false, std::vector<uint8_t>(70, 0x50), {}});
        if (!WriteCompound(dir + "/compound.qwd", layout)) ok = false;
        layout.rootClassId.reset();
        layout.extra.clear();
        if (!WriteCompound(dir + "/compound-no-class.qwd", layout)) ok = false;
    }
    ok = WriteCheckFixtures(dir) && ok;
    ok = WriteWalkerFixtures(dir) && ok;
    ok = WriteDescriberFixtures(dir) && ok;
    ok = WriteRepairFixtures(dir) && ok;
    for (golden::FixtureWriter writer : golden::RegisteredFixtureWriters()) ok = writer(dir) && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--sample") == 0)
        return WriteFileBytes(argv[2], Damaged().Build()) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fixtures DIR | --sample FILE\n");
        return 2;
    }
    return WriteAll(argv[1]) ? 0 : 1;
}

// ---- Fixtures of the repair --------------------------------------------------

namespace {

// Damage at the first byte of the body and inside a text block, a wrong use
// count, an unused style, a packet used only inside an undo area, an undo
// packet named by a function among three ids, two writing-tools packets.
DocBuilder RepairDamaged() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Courier");
    const uint16_t fontId = b.Add(font);
    Packet unusedStyle;
    unusedStyle.type = 0x31;
    unusedStyle.children = {fontId};
    b.Add(unusedStyle);
    Packet usedStyle;
    usedStyle.type = 0x30;
    usedStyle.payload = Bytes("used");
    usedStyle.useCount = 4;
    const uint16_t usedId = b.Add(usedStyle);
    Packet undo;
    undo.type = 0x77;
    undo.payload = Bytes("undo");
    const uint16_t undoId = b.Add(undo);
    Packet hidden;
    hidden.type = 0x22;
    hidden.payload = Bytes("hidden");
    const uint16_t hiddenId = b.Add(hidden);
    Packet tools;
    tools.type = 0x05;
    tools.flags = 0x08;
    tools.payload = Bytes("tools");
    b.Add(tools);
    b.Add(tools);
    Packet box;
    box.type = 0x0C;
    Body block;
    block.Text("Note").Raw({0xFF, 0x00}).Var(Func(0xD4, 0x09, {usedId})).Text("ok");
    box.blocks = {block};
    const uint16_t boxId = b.Add(box);
    b.body.Raw({0xFF, 0x41})
        .Var(Func(0xD4, 0x06, {usedId, undoId, fontId}, {1, 2}))
        .Text("Hello")
        .UndoStart()
        .Var(Func(0xD4, 0x02, {hiddenId}))
        .Text("gone")
        .UndoEnd()
        .Var(Func(0xDF, 0x00, {boxId}))
        .Text("World");
    return b;
}

bool WriteRepairFixtures(const std::string& dir) {
    bool ok = true;
    auto put = [&](const std::string& name, const DocBuilder& b) { ok = Write(dir, name, b.Build()) && ok; };
    put("repair-damaged.qwd", RepairDamaged());
    DocBuilder extended = RepairDamaged();
    extended.header.indexOffset = 28;
    extended.header.extended = true;
    put("repair-extended.qwd", extended);
    CompoundLayout layout;
    layout.main = RepairDamaged().Build();
    layout.rootClassId = MakeClassId(0x22);
    layout.extra.push_back({u"", u"\x05SummaryInformation", false, Bytes("summary"), {}});
    layout.extra.push_back({u"Quillsuite_OBJECTS", u"Pic1", false, std::vector<uint8_t>(40, 0x50), {}});
    if (!WriteCompound(dir + "/repair-compound.qwd", layout)) ok = false;
    return ok;
}

}  // namespace
