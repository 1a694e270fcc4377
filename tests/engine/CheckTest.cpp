// The document check: repeatable results, printing, cancelling, the
// reference table against the counts, text-block damage and its ranges,
// large packets, fixing counts and checking again.

#include "engine/Check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Walker.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"

using namespace engine;
using testsupport::Body;
using testsupport::Bytes;
using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::Packet;
using testsupport::ScopedContext;
using testsupport::ScopedTempDir;
using testsupport::VarFunc;

namespace {

// Everything a check leaves behind, for comparing two checks.
struct Snapshot {
    std::vector<std::string> lines;
    std::vector<uint32_t> tags;
    std::vector<std::string> refs, ranges, counts;
    std::string figures;
    int result = -1;
    bool complete = false;

    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const testsupport::RecordingList& list, int result) {
    Snapshot s;
    for (const auto& l : list.lines) {
        s.lines.push_back(l.text);
        s.tags.push_back(l.tag);
    }
    const CheckState& st = Ctx().check;
    for (const PacketRef& r : st.refs)
        s.refs.push_back(std::to_string(r.kind) + "/" + std::to_string(r.subKind) + "/" +
                         std::to_string(r.referenced) + "/" + std::to_string(r.referencing) + "/" +
                         std::to_string(r.offset));
    for (const InvalidRange& r : st.ranges)
        s.ranges.push_back(std::to_string(r.start) + "-" + std::to_string(r.end) + "/" +
                           std::to_string(r.owner) + "/" + std::to_string(r.block));
    for (const PacketEntry& p : Ctx().doc.packets)
        s.counts.push_back(std::to_string(p.countedUses) + "/" + std::to_string(p.countedHidden) + "/" +
                           std::to_string(p.minUseCount) + "/" + std::to_string(p.refsBooked) + "/" +
                           std::to_string(p.firstRefSlot));
    const CheckTotals& t = st.totals;
    s.figures = std::to_string(t.usedBytes) + " " + std::to_string(t.deletedBytes) + " " +
                std::to_string(t.extraBytes) + " " + std::to_string(t.overlapBytes) + " " +
                std::to_string(t.unusedStyleBytes) + " " + std::to_string(t.undoBytes) + " " +
                std::to_string(st.countMismatches) + " " + std::to_string(st.otherFindings);
    s.result = result;
    s.complete = st.complete;
    return s;
}

// A document written to a scratch folder and open as the document.
class Doc : public testsupport::OpenDoc {
public:
    explicit Doc(const DocBuilder& b, const std::string& name = "doc.qwd") : OpenDoc(b.Build(), name) {
        EXPECT_NE(file, nullptr) << "verdict " << verdict;
    }
};

// Counts that match: a child list, a text block, the body, an undo area and
// the min flag.
DocBuilder Sound() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Courier");
    const uint16_t fontId = b.Add(font);
    Packet style;
    style.type = 0x30;
    style.children = {fontId};
    const uint16_t styleId = b.Add(style);
    Packet box;
    box.type = 0x0C;
    Body block;
    block.Text("Note").Var(Func(0xD4, 0x09, {styleId}));
    box.blocks = {block};
    b.Add(box);
    Packet settings;
    settings.type = 0x02;
    settings.flags = 0x08;
    settings.useCount = 1;
    b.Add(settings);
    b.body.Text("Hello").Var(Func(0xD4, 0x06, {styleId, fontId})).UndoStart().Var(Func(0xD4, 0x1A, {fontId}))
        .UndoEnd().Text("World");
    return b;
}

// Damage everywhere the check looks: a child list ended by an id equal to
// the entry count, a text block with a bad stretch, a body stretch ended by
// a function that names a packet, a wrong stored count.
DocBuilder Damaged() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Arial");
    const uint16_t fontId = b.Add(font);
    Packet style;
    style.type = 0x30;
    style.children = {fontId, 4, fontId};  // 4 is the entry count
    const uint16_t styleId = b.Add(style);
    Packet box;
    box.type = 0x0C;
    Body block;
    block.Text("ab").Raw({0x00, 0xFF}).Var(Func(0xD4, 0x09, {fontId, styleId})).Text("cd").Code(0xFF);
    box.blocks = {block};
    b.Add(box);
    VarFunc broken = Func(0xD3, 0x01, {}, {0x10, 0x00});
    broken.trailerSize = 0x0999;
    b.body.Text("one").Var(broken).Text("two").Var(Func(0xD4, 0x1A, {fontId, styleId}))
        .UndoStart().Var(Func(0xD4, 0x1A, {styleId})).UndoEnd().Text("end");
    b.At(fontId).useCount = 7;
    return b;
}

Snapshot Check(Doc& doc, ScopedContext& ctx, bool run = false) {
    ctx.list.lines.clear();
    const int r = run ? RunDocumentCheck(doc.file, &ctx.list) : CheckDocument(doc.file, &ctx.list);
    return Take(ctx.list, r);
}

TEST(CheckRepeat, ASecondCheckGivesTheSameLinesAndTables) {
    for (auto make : {Sound, Damaged}) {
        ScopedContext ctx;
        Doc doc(make());
        const Snapshot first = Check(doc, ctx);
        EXPECT_TRUE(first.complete);
        EXPECT_FALSE(first.refs.empty());
        EXPECT_EQ(Check(doc, ctx), first);
        EXPECT_EQ(Check(doc, ctx, true), first);
    }
}

TEST(CheckRepeat, NothingOfAnEarlierDocumentsCheckRemains) {
    Snapshot fresh;
    {
        ScopedContext ctx;
        Doc sound(Sound());
        fresh = Check(sound, ctx);
    }
    ScopedContext ctx;
    {
        Doc damaged(Damaged(), "damaged.qwd");
        const Snapshot d = Check(damaged, ctx);
        ASSERT_FALSE(d.ranges.empty());
        ASSERT_NE(d.figures, fresh.figures);
    }
    Doc sound(Sound());
    EXPECT_EQ(Check(sound, ctx, true), fresh);
}

TEST(CheckPrint, APrintedCheckCountsAndFindsWhatAListedOneDoes) {
    Snapshot listed;
    {
        ScopedContext ctx;
        Doc doc(Damaged());
        listed = Check(doc, ctx);
    }
    ScopedContext ctx;
    Doc doc(Damaged());
    ctx.StartPrinting(10, 100000, "doc.qwd");
    const int r = CheckDocument(doc.file, &ctx.list);
    std::vector<std::string> printed;
    for (const auto& d : ctx.printer->draws) printed.push_back(d.text);
    ctx.StopPrinting();

    Snapshot p = Take(ctx.list, r);
    ASSERT_FALSE(printed.empty());
    printed.erase(printed.begin());  // the page header
    EXPECT_EQ(printed, listed.lines);
    EXPECT_EQ(p.refs, listed.refs);
    EXPECT_EQ(p.ranges, listed.ranges);
    EXPECT_EQ(p.counts, listed.counts);
    EXPECT_EQ(p.figures, listed.figures);
    EXPECT_EQ(p.complete, listed.complete);
}

// Builders of documents whose one progress dialog belongs to one pass.
DocBuilder ManyEntries() {
    DocBuilder b;
    while (b.EntryCount() < 250) b.AddAvailable();
    b.body.Text("x");
    return b;
}
DocBuilder LongBody() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    const uint16_t id = b.Add(font);
    for (int i = 0; i < 400; ++i) b.body.Text(std::string(60, 'a')).Var(Func(0xD4, 0x1A, {id}));
    return b;
}
DocBuilder ManyReferences() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    const uint16_t id = b.Add(font);
    for (int i = 0; i < 40; ++i) b.body.Var(Func(0xD4, 0x1A, {id}));
    return b;
}

TEST(CheckCancel, ACancelledCheckGivesNoVerdictAndItsCountsAreNotUsed) {
    struct Case {
        const char* pass;
        DocBuilder (*make)();
    };
    for (const Case& c : {Case{"packets", ManyEntries}, Case{"body", LongBody},
                          Case{"cross reference", ManyReferences}}) {
        SCOPED_TRACE(c.pass);
        ScopedContext ctx;
        Doc doc(c.make());
        ctx.progress.cancelAfterSteps = 3;
        const Snapshot s = Check(doc, ctx);
        EXPECT_EQ(s.result, 1);
        EXPECT_FALSE(s.complete);
        ASSERT_FALSE(s.lines.empty());
        EXPECT_EQ(s.lines.back(), "User CANCELED loading!");
        for (const std::string& l : s.lines) {
            EXPECT_NE(l, "No Corruption Found");
            EXPECT_NE(l, "Document CORRUPT");
        }
        EXPECT_EQ(QWFixPacketCounts(&ctx.list), 0);
        ASSERT_EQ(ctx.messages.boxes.size(), 1u);
        EXPECT_EQ(ctx.messages.boxes[0].text, "PktInfo not initialized");
        EXPECT_EQ(ctx.progress.live, 0);
    }
}

// The body pass steps its dialog about 50 times however long its text runs
// are; the booking steps in batches and still ends on its count.
TEST(CheckProgress, BodyPassInAboutFiftyStepsBookingEndsOnItsCount) {
    {
        ScopedContext ctx;
        DocBuilder b;
        for (int i = 0; i < 2000; ++i) b.body.Text(std::string(48, 'w')).Code(0x20);
        Doc doc(b);
        Check(doc, ctx);
        ASSERT_EQ(ctx.progress.captions.size(), 2u);  // the body pass, the cross reference
        // The body pass's start and its steps, then the cross reference's start.
        EXPECT_GE(ctx.progress.positions.size(), 51u);
        EXPECT_LE(ctx.progress.positions.size(), 53u);
    }
    {
        ScopedContext ctx;
        DocBuilder b;
        Packet font;
        font.type = 0x20;
        const uint16_t id = b.Add(font);
        for (int i = 0; i < 3000; ++i) b.body.Var(Func(0xD4, 0x1A, {id}));
        Doc doc(b);
        const Snapshot s = Check(doc, ctx);
        EXPECT_TRUE(s.complete);
        ASSERT_FALSE(ctx.progress.positions.empty());
        EXPECT_EQ(ctx.progress.positions.back(), 3000);
        EXPECT_LT(ctx.progress.positions.size(), 3000u);
    }
}

// After a complete check every packet's references fill its own slots.
void ExpectBookingMatchesCounts() {
    const auto& packets = Ctx().doc.packets;
    const auto& refs = Ctx().check.refs;
    size_t total = 0;
    for (size_t id = 1; id < packets.size(); ++id) {
        const PacketEntry& p = packets[id];
        const uint32_t n = uint32_t{p.countedUses} + p.countedHidden;
        EXPECT_EQ(p.refsBooked, n) << "packet " << id;
        for (uint32_t i = 0; i < n; ++i) {
            ASSERT_LT(p.firstRefSlot + i, refs.size());
            EXPECT_EQ(refs[p.firstRefSlot + i].referenced, id) << "slot " << p.firstRefSlot + i;
        }
        total += n;
    }
    EXPECT_EQ(refs.size(), total);
}

// Packets of more than 63984 bytes, all lying over the same data: the first
// is examined whole, the others (past the read budget) as far as a dump goes.
DocBuilder SharedGiantPackets() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    const uint16_t fontId = b.Add(font);
    Packet big;
    big.type = 0x0C;
    Body filler, last;
    filler.Text(std::string(70000, 'a'));
    last.Text("end").Var(Func(0xD4, 0x09, {fontId}));
    big.blocks = {filler, last};
    const uint16_t bigId = b.Add(big);
    std::vector<uint16_t> twins;
    for (int i = 0; i < 3; ++i) {
        Packet twin;
        twin.type = 0x0C;
        twin.flags = 0x02;
        twin.offset = 0;
        twin.size = 0;
        twins.push_back(b.Add(twin));
    }
    b.body.Text("x");
    const std::vector<uint8_t> bytes = b.Build();
    const size_t entry = 16 + size_t{bigId} * 14;
    for (uint16_t id : twins) {
        b.At(id).size = static_cast<uint32_t>(bytes[entry + 6] | bytes[entry + 7] << 8 | bytes[entry + 8] << 16);
        b.At(id).offset = static_cast<uint32_t>(bytes[entry + 10] | bytes[entry + 11] << 8 | bytes[entry + 12] << 16);
    }
    return b;
}

TEST(CheckCrossReference, EveryCountedUseIsBookedOnce) {
    for (auto make : {Sound, Damaged, ManyReferences, SharedGiantPackets}) {
        ScopedContext ctx;
        Doc doc(make());
        EXPECT_EQ(Check(doc, ctx).result, 0);
        EXPECT_TRUE(ctx.messages.boxes.empty());  // no "did not match" box
        ExpectBookingMatchesCounts();
    }
}

TEST(CheckCrossReference, TheTableIsBuiltWhenNoProgressDialogCanBeShown) {
    ScopedContext ctx;
    Doc doc(Damaged());
    const Snapshot shown = Check(doc, ctx);
    ctx.progress.failCreate = true;
    const Snapshot none = Check(doc, ctx);
    EXPECT_EQ(none, shown);
    EXPECT_FALSE(none.refs.empty());
}

TEST(CheckCrossReference, AChildEqualToTheEntryCountEndsTheListInBothPasses) {
    ScopedContext ctx;
    Doc doc(Damaged());
    Check(doc, ctx);
    // The style's list {font, 4, font}: only the first font is a use.
    size_t fromStyle = 0;
    for (const PacketRef& r : Ctx().check.refs)
        if (r.kind == kRefChildList) {
            EXPECT_EQ(r.referencing, 2);
            ++fromStyle;
        }
    EXPECT_EQ(fromStyle, 1u);
}

// ---- Text blocks -------------------------------------------------------------

struct BlockCase {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<std::string> lines;           // written while the cross reference is built
    std::vector<std::pair<uint32_t, uint32_t>> ranges;  // block-relative
    uint16_t uses;                            // counted for packet 1
};

std::vector<uint8_t> Fn(std::vector<uint16_t> ids) { return Func(0xD4, 0x09, std::move(ids)).Bytes(); }
std::vector<uint8_t> Cat(std::vector<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(CheckTextBlock, DamageStretchesTheirLinesRangesAndCounts) {
    VarFunc crowded = Func(0xD4, 0x09, {1});
    crowded.prefixCount = 4;  // 6 + 8 bytes of ids do not fit before the trailer
    const std::vector<BlockCase> cases = {
        {"two bad bytes, then a valid function", Cat({Bytes("ab"), {0x00, 0x00}, Fn({1}), Bytes("c")}),
         {"Encountered a NULL byte"}, {{2, 4}}, 1},
        {"0xFF up to the end", Cat({Bytes("a"), {0xFF}, Bytes("bc")}), {"Encountered Invalid 0xFF byte"}, {{1, 4}}, 0},
        {"fixed-length gates", {0xF2, 0x05, 0xF2, 0xF3, 0x00, 0xF4}, {"Error! Fixed length function gates do not match"},
         {{3, 6}}, 0},
        {"fixed-length cut by the end", Cat({Bytes("a"), {0xF0, 0x01, 0x02}}),
         {"Error! Fixed length function gates do not match"}, {{1, 4}}, 0},
        {"fewer than six bytes", {0xD4, 0x01, 0x05, 0x00, 0x00}, {"Error. INCOMPLETE function!"}, {{0, 5}}, 0},
        {"size 0", {0xD4, 0x01, 0x00, 0x00, 0x00, 0x00, 0x41}, {"Error. INVALID Function End length!"}, {{0, 7}}, 0},
        {"negative size", {0xD4, 0x01, 0x00, 0x80, 0x00, 0x00, 0x41}, {"Error. INVALID Function End length!"},
         {{0, 7}}, 0},
        {"beyond the block", {0xD4, 0x01, 0x20, 0x00, 0x00, 0x00, 0x41}, {"Error. Function length beyond text block."},
         {{0, 7}}, 0},
        {"size 6 with a matching trailer", {0xD4, 0x01, 0x06, 0x00, 0x06, 0x00, 0xD4},
         {"Error. Codes or function sizes don't match!"}, {{0, 7}}, 0},
        {"ids that do not fit", Cat({crowded.Bytes(), Fn({1})}), {"Function length can't fit 0x4 child packets"},
         {{0, static_cast<uint32_t>(crowded.Bytes().size())}}, 1},
        {"an id out of range, the others still count", Cat({Fn({1, 9, 1}), Bytes("x")}), {"Prefix ID out of range!"},
         {{0, static_cast<uint32_t>(Fn({1, 9, 1}).size() + 1)}}, 2},
        {"clean", Cat({Bytes("clean"), Fn({1, 0}), {0x20}, {0xF2, 0x07, 0xF2}}), {}, {}, 1},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedContext ctx;
        Ctx().doc.packets.resize(3);
        Ctx().doc.packets[1].entry.bytes[1] = 0x20;
        // The bytes of the block alone: nothing past them may be read.
        const std::vector<uint8_t> block = c.bytes;
        TextBlockScan scan;
        scan.packetId = 2;
        scan.block = 5;
        scan.blockOffset = 0x1000;

        CorruptStretch counting;
        CheckTextBlockCodes(block, scan, counting);
        EXPECT_EQ(Ctx().doc.packets[1].countedUses, c.uses);
        EXPECT_TRUE(ctx.defaultList.lines.empty());  // damage is written only while booking
        EXPECT_EQ(Ctx().check.otherFindings, static_cast<int>(c.lines.size()));

        Ctx().sink.stopValue = -1;
        CorruptStretch booking;
        CheckTextBlockCodes(block, scan, booking);
        Ctx().sink.stopValue = 0;
        EXPECT_EQ(ctx.defaultList.Texts(), c.lines);
        for (const auto& l : ctx.defaultList.lines) EXPECT_EQ(l.tag, 0x20000002u);
        std::vector<std::pair<uint32_t, uint32_t>> ranges;
        for (const InvalidRange& r : Ctx().check.ranges) {
            EXPECT_EQ(r.owner, 2);
            EXPECT_EQ(r.block, 5);
            ranges.emplace_back(r.start - 0x1000, r.end - 0x1000);
        }
        EXPECT_EQ(ranges, c.ranges);
        EXPECT_EQ(Ctx().doc.packets[1].countedUses, c.uses);  // booking counts nothing
    }
}

// A packet larger than the 63984 bytes a dump shows is still examined whole.
TEST(CheckTextBlock, BlocksPastTheDumpedBytesAreExamined) {
    ScopedContext ctx;
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    const uint16_t fontId = b.Add(font);
    Packet big;
    big.type = 0x0C;
    Body filler, last;
    filler.Text(std::string(70000, 'a'));
    last.Text("end").Var(Func(0xD4, 0x09, {fontId}));
    big.blocks = {filler, last};
    const uint16_t bigId = b.Add(big);
    b.body.Text("x");
    Doc doc(b);
    const Snapshot s = Check(doc, ctx);
    EXPECT_EQ(s.lines, std::vector<std::string>{"No Corruption Found"});
    EXPECT_EQ(Ctx().doc.packets[fontId].countedUses, 1);

    ctx.list.lines.clear();
    CountPacketRefs(doc.file, bigId, &ctx.list, RefCountMode::ListOnly);
    ASSERT_FALSE(ctx.list.lines.empty());
    EXPECT_EQ(ctx.list.lines.size(), (63984u + 15) / 16);  // the dump alone
    EXPECT_EQ(Ctx().doc.packets[fontId].countedUses, 1);     // showing counts nothing
}

// ---- Fixing, writing, checking again ------------------------------------------

DocBuilder WrongCounts() {
    DocBuilder b;
    Packet p;
    p.type = 0x20;
    p.useCount = 4;
    const uint16_t a = b.Add(p);
    Packet needsMin;
    needsMin.type = 0x53;
    needsMin.useCount = 3;
    b.Add(needsMin);
    Packet max1;
    max1.type = 0x41;
    max1.flags = 0x04;
    const uint16_t m = b.Add(max1);
    b.body.Var(Func(0xD4, 0x1A, {a, m})).Var(Func(0xD4, 0x1A, {m}));
    return b;
}

TEST(CheckFix, FixedCountsWrittenAndCheckedAgainAreSound) {
    ScopedContext ctx;
    Doc doc(WrongCounts());
    ASSERT_EQ(Check(doc, ctx).lines.back(), "Document CORRUPT");
    ASSERT_EQ(QWFixPacketCounts(&ctx.list), 1);
    ASSERT_EQ(WriteIndex(doc.file, &ctx.list), 1);
    doc.Close();  // what was written is read back from the file
    doc.Open();
    EXPECT_EQ(RecheckDocument(doc.file, &ctx.list), 1);
    EXPECT_EQ(ctx.list.Texts().back(), "No Corruption Found");
    EXPECT_FALSE(Ctx().doc.changed);
    // A second fix finds nothing left to fix, the added min flag included.
    ctx.list.lines.clear();
    EXPECT_EQ(QWFixPacketCounts(&ctx.list), 1);
    EXPECT_TRUE(ctx.list.lines.empty()) << ctx.list.Texts()[0];
}

TEST(CheckFix, RecheckReadsTheIndexAgainOnlyWhenTheDocumentChanged) {
    ScopedContext ctx;
    Doc doc(Sound());
    EXPECT_EQ(RecheckDocument(doc.file, &ctx.list), 1);
    EXPECT_EQ(ctx.list.Texts().back(), "No Corruption Found");
    // The file changes under the table: a use count on disk goes wrong.
    std::vector<uint8_t> bytes = testsupport::ReadFileBytes(doc.path);
    bytes[16 + 14 + 2] = 9;  // entry 1's use count
    ASSERT_TRUE(testsupport::WriteFileBytes(doc.path, bytes));
    ctx.list.lines.clear();
    EXPECT_EQ(RecheckDocument(doc.file, &ctx.list), 1);
    EXPECT_TRUE(ctx.list.lines.empty());  // nothing changed as far as the engine knows
    Ctx().doc.changed = true;
    EXPECT_EQ(RecheckDocument(doc.file, &ctx.list), 1);
    EXPECT_EQ(ctx.list.Texts().back(), "Document CORRUPT");
}

TEST(CheckFix, WriteIndexReportsEveryFailedWrite) {
    for (bool withList : {true, false}) {
        SCOPED_TRACE(withList ? "with a list" : "without a list");
        ScopedContext ctx;
        Doc doc(WrongCounts());
        Check(doc, ctx);
        QWFixPacketCounts(nullptr);
        DocFile* readOnly = OpenDocFile(doc.path, kOpenRead);
        ASSERT_NE(readOnly, nullptr);
        ctx.list.lines.clear();
        EXPECT_EQ(WriteIndex(readOnly, withList ? &ctx.list : nullptr), 0);
        CloseDocFile(readOnly);
        EXPECT_EQ(ctx.messages.boxes.size(), withList ? 1u : 0u);
        EXPECT_EQ(ctx.list.lines.size(), withList ? 1u : 0u);
    }
}

}  // namespace
