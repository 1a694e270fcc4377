// Shared fixtures under both profiles: one engine, two dialects, each case
// with its expectation for Salvino and for Glimmet.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/Check.h"
#include "engine/Codes.h"
#include "engine/Describe.h"
#include "engine/Describer.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/PacketNames.h"
#include "engine/TextOps.h"
#include "graphics/Dialect.h"
#include "graphics/Outline.h"
#include "graphics/Records.h"
#include "legacy/engine/GlimmetCheck.h"
#include "legacy/engine/GlimmetScanner.h"
#include "tests/legacy/Dialects.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"

using namespace engine;
using legacytest::Dialect;
using legacytest::InstalledDialect;
using legacytest::TwoColumns;
using testsupport::Body;
using testsupport::DocBuilder;
using testsupport::ScopedContext;
using Lines = std::vector<std::string>;

namespace {

constexpr Dialect kBoth[] = {Dialect::Salvino, Dialect::Glimmet};
constexpr uint32_t kAll = 0xFFFFFFFF;

std::string L(uint32_t tag, const std::string& text) { return Format("L list %08X %s", tag, text.c_str()); }

// Each profile's code listing of the body: Salvino's Codes page, Glimmet's scanner.
int32_t ListCodes(Dialect d, DocFile* f, ListTarget* list) {
    Ctx().sink.defaultList = nullptr;
    if (d == Dialect::Salvino) return ListDocumentCodes(f, list, kModeDecoded, kAll, 0x7FFFFFFF, kWalkToEnd);
    return legacy::ScanCodeStream(f, list, 0, kModeDecoded, kAll, 0x7FFFFFFF, nullptr, kWalkToEnd, false,
                                  nullptr, false);
}

struct BodyCase {
    const char* what;
    Body body;
    // The lines, given the body's offset.
    std::function<TwoColumns<Lines>(uint32_t)> lines;
    TwoColumns<int32_t> result;
};

std::vector<uint8_t> WrongTrailer() {
    testsupport::VarFunc f = testsupport::Func(0xD4, 0x02, {}, {1, 2});
    f.trailerSize = 0x30;
    return f.Bytes();
}

}  // namespace

TEST(Dialects, BodiesAreListedByEachProfilesGrammarAndTextRuns) {
    const std::string a100(100, 'a');
    const std::string a71(71, 'a');
    const std::vector<BodyCase> cases = {
        {"0x81 is text, or a code", Body().Text("Hello").Code(0x81).Text("World"),
         [](uint32_t b) {
             return TwoColumns<Lines>{{L(b, "Text:'Hello World'")},
                                      {L(b, "Text:'Hello'"), L(b + 5, "Hard Space"), L(b + 6, "Text:'World'")}};
         },
         {0, 0}},
        {"100 letters: two pieces, or the first piece once", Body().Text(a100).Code(0x20),
         [&](uint32_t b) {
             return TwoColumns<Lines>{{L(b, "Text:'" + a71 + "'"), L(b + 71, "Text:'" + a100.substr(71) + "'"),
                                       L(b + 100, "Single byte Code 0x20   Mapped at Pos: 32")},
                                      {L(b, "Text:'" + a71 + "'"),
                                       L(b + 100, "Single byte Code 0x20   Mapped at Pos: 32")}};
         },
         {0, 0}},
        {"a run of exactly 71 letters is listed", Body().Text(a71).Code(0x20).Text(a71),
         [&](uint32_t b) {
             const Lines both{L(b, "Text:'" + a71 + "'"), L(b + 71, "Single byte Code 0x20   Mapped at Pos: 32"),
                              L(b + 72, "Text:'" + a71 + "'")};
             return TwoColumns<Lines>{both, both};
         },
         {0, 0}},
        {"0x00 is a filler, or a code line", Body().Text("ab").Code(0x00).Text("c"),
         [](uint32_t b) {
             return TwoColumns<Lines>{{L(b, "Text:'abc'")},
                                      {L(b, "Text:'ab'"),
                                       L(b + 2, "Single Byte function: 0x00, (document may be corrupt)"),
                                       L(b + 3, "Text:'c'")}};
         },
         {0, 0}},
        {"0xFF: damage, or a fixed-length code line", Body().Text("a").Code(0xFF).Text("b"),
         [](uint32_t b) {
             // Salvino passes over the damaged stretch behind it.
             return TwoColumns<Lines>{{L(b, "Text:'a'"), L(kTagDamage | (b + 1), "Invalid function: 0xFF, (document corrupt)")},
                                      {L(b, "Text:'a'"), L(b + 1, "Invalid function: 0xFF, (document corrupt)"),
                                       L(b + 2, "Text:'b'")}};
         },
         {0, 0}},
    };
    for (const BodyCase& c : cases) {
        for (Dialect d : kBoth) {
            InstalledDialect dialect(d);
            ScopedContext ctx;
            DocBuilder b;
            b.body = c.body;
            testsupport::OpenDoc doc(b.Build());
            ASSERT_NE(doc.file, nullptr);
            EXPECT_EQ(ListCodes(d, doc.file, &ctx.list), c.result.For(d)) << c.what << " " << NameOf(d);
            EXPECT_EQ(ctx.log.Lines(), c.lines(doc.body).For(d)) << c.what << " " << NameOf(d);
        }
    }
}

TEST(Dialects, AWrongTrailerEndsGlimmetsScanWithItsThreeLines) {
    for (Dialect d : kBoth) {
        InstalledDialect dialect(d);
        ScopedContext ctx;
        DocBuilder b;
        b.body = Body().Text("a").Raw(WrongTrailer()).Text("b");
        testsupport::OpenDoc doc(b.Build());
        ASSERT_NE(doc.file, nullptr);
        const int32_t r = ListCodes(d, doc.file, &ctx.list);
        const Lines lines = ctx.log.Lines();
        const bool corrupt = std::find(lines.begin(), lines.end(), L(0, "Document corrupt")) != lines.end();
        EXPECT_EQ(corrupt, d == Dialect::Glimmet) << NameOf(d);
        if (d == Dialect::Glimmet) {
            EXPECT_EQ(r, 1);
            ASSERT_GE(lines.size(), 3u);
            const uint32_t at = doc.body + 1;
            const size_t n = lines.size();
                        // The log shows a line feed as \n.
            EXPECT_EQ(lines[n - 3], L(0, "Document corrupt"));
            EXPECT_EQ(lines[n - 2], L(0, Format("\\nOFFSET: 0x%4X   ", at)));
            EXPECT_EQ(lines[n - 1], L(0, Format("Function: D402    Size %04x\\n", WrongTrailer()[2])));
        } else {
            // Salvino marks the place and passes over the damaged stretch.
            EXPECT_EQ(r, 0);
            EXPECT_EQ(lines.back(), L(kTagDamage | (doc.body + 1), Format("Invalid function at 0x%06X", doc.body + 1)));
        }
    }
}

// Found, not found, and a search that the older scan gives up at damage.
TEST(Dialects, AFailedSearchIsNotFound) {
    for (Dialect d : kBoth) {
        InstalledDialect dialect(d);
        ScopedContext ctx;
        DocBuilder b;
        b.body = Body().Text("Hello").Code(0x20).Raw(WrongTrailer()).Text("World");
        testsupport::OpenDoc doc(b.Build());
        ASSERT_NE(doc.file, nullptr);
        auto search = [&](const char* text) {
            Ctx().sink.defaultList = nullptr;
            return d == Dialect::Salvino ? SearchDocumentText(doc.file, 0, kWalkToEnd, text, false)
                                         : legacy::SearchText(doc.file, 0, kWalkToEnd, text, false);
        };
        EXPECT_EQ(search("hello"), static_cast<int32_t>(doc.body)) << NameOf(d);
        EXPECT_EQ(search(""), -1) << NameOf(d);
        EXPECT_EQ(search("absent"), 0) << NameOf(d);
        // Text behind the damage: Salvino passes over the damaged stretch,
        // Glimmet's scan fails there (1), which is no place found.
        EXPECT_EQ(search("world"), 0) << NameOf(d);
        if (d == Dialect::Glimmet) {
            EXPECT_EQ(legacy::ScanCodeStream(doc.file, nullptr, 0, kModeDecoded, kAll, kAll, nullptr, kWalkToEnd, false,
                                             "world", false),
                      1);
        }
    }
}

TEST(Dialects, TagLayoutNamesAndRows) {
    for (Dialect d : kBoth) {
        InstalledDialect dialect(d);
        ScopedContext ctx;
        const bool g = d == Dialect::Glimmet;
        // A place above 0x07FFFFFF: Salvino's offset field is 27 bits.
        EXPECT_EQ(OffsetOf(0x0ABCDEF1), g ? 0x0ABCDEF1u : 0x02BCDEF1u) << NameOf(d);
        EXPECT_EQ(BlockOf(MakeBlockTag(0xFFF, 7)), g ? 0xFFFu : 0x7FFu) << NameOf(d);
        EXPECT_STREQ(PacketTypeName(0x37, 1).c_str(), g ? "Undefined" : "Level 9 Outline Style Information") << NameOf(d);
        EXPECT_EQ(PacketTypeName(0, 3), g ? "available entry" : "Available Entry") << NameOf(d);
        EXPECT_STREQ(SingleByteCodeName(0x98), g ? "Unknown single byte function" : "Reserved single byte function");
        EXPECT_STREQ(VariableFunctionText(VarFunctionKey(0xD1, 0x1C)), g ? "New Undocumented Function" : "Line Count");
        EXPECT_EQ(PacketDescriberOf(0x44), g ? PacketDescriberId::None : PacketDescriberId::BorderStyle);
        EXPECT_EQ(FunctionDescriberOf(0xD4, 42), g ? FunctionDescriberId::None : FunctionDescriberId::TableDefinition);
        const auto& limits = Ctx().profile->describerLimits;
        EXPECT_EQ(limits.fieldDump, g ? 1024 : 10240);
        const graphics::DumpDialect& dump = graphics::CurrentDumpDialect();
        const auto records = dump.records.empty() ? graphics::SalvinoRecordTable() : dump.records;
        EXPECT_STREQ(records[58].title, g ? "No-op" : "Envelope Definition") << NameOf(d);
        EXPECT_EQ(records.size() > 64, !g) << NameOf(d);
        // The whole rest of a record, 20,000 bytes, is dumped by Glimmet.
        EXPECT_EQ(dump.hexDumpLimit, g ? 0u : 10240u);
    }
}

TEST(Dialects, APacketOf64001BytesIsShownByOneProfileOnly) {
    for (const size_t size : {size_t{64000}, size_t{64001}}) {
        for (Dialect d : kBoth) {
            InstalledDialect dialect(d);
            ScopedContext ctx;
            DocBuilder b;
            testsupport::Packet p;
            p.type = 0x01;
            p.payload.assign(size, 0x41);
            const uint16_t id = b.Add(p);
            testsupport::OpenDoc doc(b.Build());
            ASSERT_NE(doc.file, nullptr);
            ASSERT_EQ(ReadIndex(doc.file, nullptr), 0);
            ScanPackets(doc.file, nullptr, -1, false, kModeDecoded, nullptr, 0);
            Ctx().describer.currentTarget = &ctx.detail;
            DescribePacket(doc.file, id, &ctx.detail);
            const Lines lines = ctx.log.Lines();
            const std::string warning = "L detail 00000000 WARNING, packet not displayed, greater that 64000 bytes";
            // 64,000 bytes fill the older buffer exactly and are shown.
            EXPECT_EQ(std::find(lines.begin(), lines.end(), warning) != lines.end(), d == Dialect::Glimmet && size > 64000)
                << NameOf(d) << " " << size;
        }
    }
}

TEST(Dialects, NestedRecordsAreNumberedBySalvinoOnly) {
    for (Dialect d : kBoth) {
        InstalledDialect dialect(d);
        ScopedContext ctx;
        const graphics::OutlineNumbering& n = *graphics::CurrentDumpDialect().outline;
        graphics::OutlineState o;
        // Two records announced at the outer level, the second announcing
        // one inside an embedded record.
        o.pendingCount = 2;
        n.Open(o, 0);
        std::vector<std::string> shown;
        shown.push_back(n.Number(o, 0, 0).value_or("(plain)"));
        o.pendingCount = 1;
        n.Open(o, 1);
        for (uint8_t nesting : {1, 1, 0}) shown.push_back(n.Number(o, nesting, 2).value_or("(plain)"));
        // Glimmet opens the inner level all the same: its count shows at the
        // next outer line, one place in.
        const TwoColumns<Lines> expected{{"2", "  1", "  -", "-"}, {"2", "(plain)", "(plain)", "-1"}};
        EXPECT_EQ(shown, expected.For(d)) << NameOf(d);
    }
}

namespace {

testsupport::Packet WithData(uint8_t type, std::vector<uint8_t> payload) {
    testsupport::Packet p;
    p.type = type;
    p.payload = std::move(payload);
    return p;
}

struct CheckCase {
    const char* what;
    std::function<DocBuilder()> build;
    TwoColumns<Lines> lines;
};

}  // namespace

// The check's count, mismatch and verdict lines: one engine, two wordings.
TEST(Dialects, TheCheckWordsItsCountsAndVerdictByProfile) {
    const std::vector<CheckCase> cases = {
        {"a sound document",
         [] {
             DocBuilder b;
             b.body.Text("x");
             return b;
         },
         {{"L list 00000000 No Corruption Found"}, {"L list 00000000 Document is OK"}}},
        {"a NULL byte in a text block",
         [] {
             DocBuilder b;
             testsupport::Packet text;
             text.type = 0x08;
             text.blocks = {Body().Text("ab").Code(0x00).Text("c")};
             b.Add(text);
             b.body.Text("z");
             return b;
         },
         // The older check names the byte but does not count it against the document.
         {{"L list 20000001 Encountered a NULL byte", "L list 00000000 Document CORRUPT"},
          {"L list 20000001 Encountered a NULL byte", "L list 00000000 Document is OK"}}},
        {"a wrong use count and a use-once packet used twice",
         [] {
             DocBuilder b;
             const uint16_t a = b.Add(WithData(0x20, {'A'}));
             testsupport::Packet once = WithData(0x08, {'B'});
             once.flags = 0x04;
             const uint16_t o = b.Add(once);
             b.body.Text("x")
                 .Var(testsupport::Func(0xD4, 0x1A, {a}))
                 .Var(testsupport::Func(0xD4, 0x1A, {o}))
                 .Var(testsupport::Func(0xD4, 0x1A, {o}));
             b.At(a).useCount = 300;
             return b;
         },
         {{"L list 20000001 Prefix ID#0001 Use Packet=0x12C, Calc=0x1 Hidden Packet=0x0, Calc=0x0. Type (Font Name List)",
           "L list 00000000 Document CORRUPT"},
          {"L list 20000001 Prefix ID#0001 Use Packet=300, Calc=1 Hidden Packet=0, Calc=0. Type (Font Name List)",
           "L list 20000002 MAX1 error. Prefix ID#0002  Use=2, Calc=2  Hidden=0, Calc=0. Type (General QW Text)",
           "L list 00000000 Document CORRUPT"}}},
    };
    for (const CheckCase& c : cases) {
        for (Dialect d : kBoth) {
            InstalledDialect dialect(d);
            ScopedContext ctx;
            testsupport::OpenDoc doc(c.build().Build());
            ASSERT_NE(doc.file, nullptr);
            Ctx().sink.defaultList = nullptr;
            if (d == Dialect::Salvino)
                CheckDocument(doc.file, &ctx.list);
            else
                legacy::CheckDocument(doc.file, &ctx.list, kWalkToEnd);
            Lines lines;
            for (const std::string& l : ctx.log.Lines())
                if (l.rfind("L list ", 0) == 0) lines.push_back(l);
            EXPECT_EQ(lines, c.lines.For(d)) << c.what << " " << NameOf(d);
        }
    }
}
