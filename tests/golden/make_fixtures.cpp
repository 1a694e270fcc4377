// make_fixtures DIR: writes the golden tests' fixture documents into DIR.
// make_fixtures --sample FILE: writes the bundled damaged sample.

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"

using namespace testsupport;

namespace {

std::vector<uint8_t> Text(const char* s) { return std::vector<uint8_t>(s, s + std::strlen(s)); }

// A document with a packet of each kind the listings tell apart.
DocBuilder Basic() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;  // Font Name List
    font.payload = Text("Courier\0Times");
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
    deleted.payload = Text("old");
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
    style.payload = Text("Style");
    style.useCount = 3;  // the body names it once
    const uint16_t styleId = b.Add(style);
    Packet font;
    font.type = 0x20;
    font.payload = Text("Arial");
    b.Add(font);
    VarFunc broken = Func(0xD3, 0x01, {}, {0x10, 0x00});
    broken.trailerSize = 0x0999;
    b.body.Text("Damaged sample").Var(Func(0xD4, 0x06, {styleId})).Var(broken).Text("end");
    return b;
}

bool Write(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    if (WriteFileBytes(dir + "/" + name, bytes)) return true;
    std::fprintf(stderr, "make_fixtures: cannot write %s/%s\n", dir.c_str(), name.c_str());
    return false;
}

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
        CompoundSpec spec;
        spec.main = Basic().Build();
        spec.rootClassId = MakeClassId(0x11);
        spec.extra.push_back({u"", u"\x05SummaryInformation", false, Text("summary"), {}});
        spec.extra.push_back({u"Quillsuite_OBJECTS", u"Pic1", false, std::vector<uint8_t>(70, 0x50), {}});
        if (!WriteCompound(dir + "/compound.qwd", spec)) ok = false;
        spec.rootClassId.reset();
        spec.extra.clear();
        if (!WriteCompound(dir + "/compound-no-class.qwd", spec)) ok = false;
    }
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
