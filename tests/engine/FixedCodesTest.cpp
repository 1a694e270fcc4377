// Fixed-length functions: names, detail lines, lengths, and the undo
// state that the 0xF1 markers keep for the listing and the check.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Codes.h"
#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

using namespace engine;
using testsupport::ScopedContext;

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kAll = 0xFFFFFFFF;
constexpr uint32_t kFixedClass = 0x10;
constexpr uint32_t kUndoLines = 0x80000000;

Bytes Marker(uint8_t kind, uint16_t level) {
    return {0xF1, kind, static_cast<uint8_t>(level), static_cast<uint8_t>(level >> 8), 0xF1};
}

// As the walker lists an item.
uint32_t List(ListTarget* sink, const Bytes& item, uint32_t offset, uint32_t classMask = kAll,
              bool valid = true) {
    return DescribeFixedFunction(item, sink, offset, false, kAll, classMask, kModeDecoded, false,
                                 valid);
}

// As the check walks: no sink.
void Walk(const Bytes& item, uint32_t offset, bool valid = true) {
    List(kNoTarget, item, offset, kAll, valid);
}

void CrossReferencePass() { Ctx().sink.stopValue = -1; }

struct RangeRow {
    uint32_t start, end;
    uint16_t owner, block;
};

std::vector<RangeRow> Ranges() {
    std::vector<RangeRow> out;
    for (const InvalidRange& r : Ctx().check.ranges)
        out.push_back({r.start, r.end, r.owner, r.block});
    return out;
}

bool operator==(const RangeRow& a, const RangeRow& b) {
    return a.start == b.start && a.end == b.end && a.owner == b.owner && a.block == b.block;
}

}  // namespace

TEST(FixedCodes, ListingNamesAndLengths) {
    struct Row {
        Bytes item;
        const char* name;
        uint32_t length;
    };
    const Row rows[] = {
        {{0xF0, 0x41, 0x02, 0xF0}, "Extended Char:  Character=0x41 QW char set=0x02", 4},
        {Marker(0, 1), "Start of Invalid Text", 5},
        {Marker(1, 1), "End of Invalid Text", 5},
        {Marker(2, 1), "Start of Valid Text", 5},
        {Marker(3, 1), "End of Valid Text", 5},
        {Marker(4, 1), "UnDefined", 5},
        {Marker(0xFF, 1), "UnDefined", 5},
        {{0xF2, 0x0C, 0xF2}, "Bold On", 3},
        {{0xF3, 0x8C, 0xF3}, "Ignore Bold Off", 3},
        {{0xF2, 0x3F, 0xF2}, "Unknown On", 3},
        {{0xF4, 0, 0xF4}, "UnDefined", 3},
        {{0xF5, 0, 0xF5}, "UnDefined", 3},
        {{0xF8, 0, 0, 0xF8}, "UnDefined", 4},
        {{0xFA, 0, 0, 0, 0xFA}, "UnDefined", 5},
        {{0xFB, 1, 2, 3, 4, 0xFB}, "Highlight On", 6},
        {{0xFC, 1, 2, 3, 4, 0xFC}, "Highlight Off", 6},
        {{0xFD, 3, 2, 0, 1, 0, 1, 0xFD}, "Check-As-You-Go", 8},
        {{0xFE, 0, 0, 0, 0, 0, 0, 0xFE}, "UnDefined", 8},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        EXPECT_EQ(List(&c.list, r.item, 0x1234, kFixedClass | kUndoLines), r.length) << r.name;
        ASSERT_EQ(c.list.Size(), 1u) << r.name;
        EXPECT_EQ(c.list.Text(0), r.name);
        // The start marker's own line already lies inside the undo area.
        const uint32_t undo = r.item[0] == 0xF1 && r.item[1] == 0 ? uint32_t{kTagUndo} : 0u;
        EXPECT_EQ(c.list.Tag(0), 0x1234u | undo) << r.name;
        EXPECT_TRUE(c.window.titles.empty());
    }
}

TEST(FixedCodes, SingleDescriptionTitleAndDetailLine) {
    struct Row {
        Bytes item;
        const char* title;
        const char* detail;
    };
    const Row rows[] = {
        {{0xF0, 0x41, 0x02, 0xF0},
         "Extended Char:  Character=0x41 QW char set=0x02",
         "FixedLen code: F0 41 02 F0 "},
        {{0xF1, 0x00, 0x2C, 0x01, 0xF1},
         "Start of Invalid Text",
         "FixedLen code: F1 00 012C F1  Level: 300"},
        {Marker(7, 1), "UnDefined", "FixedLen code: F1 07 0001 F1  Level: 1"},
        {{0xF2, 0x0C, 0xF2}, "Bold On", "FixedLen code: F2 0C F2 "},
        {{0xF3, 0x8C, 0xF3}, "Ignore Bold Off", "FixedLen  code: F3 8C F3 "},
        {{0xF6, 9, 9, 0xF6}, "UnDefined", "FixedLen function code: F6  UnDefined"},
        {{0xFB, 0x10, 0x20, 0x30, 0x40, 0xFB},
         "Highlight On",
         "FixedLen code: FB r=0x10 g=0x20 b=0x30 s=0x40 FB"},
        {{0xFC, 0xFF, 0, 0x7F, 1, 0xFC},
         "Highlight Off",
         "FixedLen code: FC r=0xFF g=0x00 b=0x7F s=0x01 FC"},
        {{0xFD, 0x03, 0x02, 0x00, 0x01, 0x00, 0x01, 0xFD},
         "Check-As-You-Go",
         "FixedLen code: 0xFD,  Type:checked_on,  NewLevel:0002,  OldLevel:0001,  Tool:Speller"},
        {{0xFD, 0x09, 0x34, 0x12, 0xCD, 0xAB, 0x10, 0xFD},
         "Check-As-You-Go",
         "FixedLen code: 0xFD,  Type:Undefined,  NewLevel:1234,  OldLevel:ABCD,  Tool:Undefined"},
        {{0xFE, 1, 2, 3, 4, 5, 6, 0xFE}, "UnDefined", "FixedLen function code: FE  UnDefined"},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        const uint32_t length =
            DescribeFixedFunction(r.item, &c.detail, 0x40, true, 0, 0, kModeDecoded, false, true);
        EXPECT_EQ(length, r.item.size());
        EXPECT_EQ(c.log.Lines(),
                  (std::vector<std::string>{std::string("T ") + r.title,
                                            std::string("L detail 00000000 ") + r.detail}));
    }
}

TEST(FixedCodes, SingleDescriptionInHexModeDumpsTheItem) {
    ScopedContext c;
    DescribeFixedFunction(Bytes{0xF3, 0x8C, 0xF3}, &c.detail, 0x40, true, 0, 0, kModeHex, false,
                          true);
    EXPECT_EQ(c.log.Lines(),
              (std::vector<std::string>{"T Ignore Bold Off",
                                        "L detail 00000000 00000- F3 8C F3                         "
                                        "                  \xF3\x8C\xF3"}));
}

// The repair's probe describes without a sink: no title, no lines.
TEST(FixedCodes, DescriptionWithoutSinkLeavesTheTitle) {
    ScopedContext c;
    Ctx().sink.defaultList = nullptr;
    EXPECT_EQ(DescribeFixedFunction(Bytes{0xF2, 0x0C, 0xF2}, kNoTarget, 0x40, true, 0, 0,
                                    kModeDecoded, false, true),
              3u);
    EXPECT_TRUE(c.log.events.empty());
}

TEST(FixedCodes, SizeOnlyAndBytesOutsideTheRange) {
    ScopedContext c;
    CrossReferencePass();
    EXPECT_EQ(DescribeFixedFunction(Marker(0, 1), &c.list, 0x40, false, kAll, kAll, kModeDecoded,
                                    true, true),
              5u);
    EXPECT_EQ(Ctx().sink.invalidTextMarker, 0);
    EXPECT_EQ(Ctx().check.undoStart, 0u);
    for (uint8_t code : {uint8_t{0xEF}, uint8_t{0xFF}, uint8_t{0x00}})
        EXPECT_EQ(List(&c.list, Bytes{code, 0, 0, 0, 0, 0, 0, 0}, 0x40), 0u) << int(code);
    EXPECT_TRUE(c.log.events.empty());
}

// A walk hands over only the bytes it holds; nothing past them is read.
TEST(FixedCodes, ShortItemReadsNothingBeyondIt) {
    ScopedContext c;
    const Bytes cut{0xFD, 0x03};
    EXPECT_EQ(DescribeFixedFunction(cut, &c.detail, 0x40, true, 0, 0, kModeDecoded, false, true),
              8u);
    EXPECT_EQ(
        c.detail.Text(0),
        "FixedLen code: 0xFD,  Type:checked_on,  NewLevel:0000,  OldLevel:0000,  Tool:Any_Tool");
}

// F1 00 01 00 F1 ... F1 01 01 00 F1, through both passes of the check.
TEST(UndoMarkers, AreaInTheCountingAndCrossReferencePasses) {
    ScopedContext c;
    Ctx().doc.packets.resize(3);
    Ctx().doc.packets[1].entry.bytes[1] = 0x30;
    const Bytes fn = testsupport::Func(0xD4, 0x1A, {1}).Bytes();
    const auto walk = [&] {
        Walk(Marker(0, 1), 0x100);
        EXPECT_EQ(Ctx().sink.invalidTextMarker, 1);
        DescribeVariableFunction(fn, kNoTarget, false, 0x105, kModeDecoded, kAll, kAll);
        Walk(Marker(1, 1), 0x140);
        EXPECT_EQ(Ctx().sink.invalidTextMarker, 0);  // its own line was the last inside
        DescribeVariableFunction(fn, kNoTarget, false, 0x145, kModeDecoded, kAll, kAll);
    };

    walk();  // counting pass
    const PacketEntry& pe = Ctx().doc.packets[1];
    EXPECT_EQ(pe.countedHidden, 1);
    EXPECT_EQ(pe.countedUses, 1);
    EXPECT_TRUE(Ranges().empty());
    EXPECT_EQ(Ctx().check.totals.undoBytes, 0u);

    Ctx().doc.packets[1].firstRefSlot = 0;
    Ctx().check.refs.resize(2);
    CrossReferencePass();
    walk();
    EXPECT_EQ(Ranges(), (std::vector<RangeRow>{{0x100, 0x145, kRangeUndo, 0}}));
    EXPECT_EQ(Ctx().check.totals.undoBytes, 0x45u);
    EXPECT_EQ(Ctx().check.undoStart, 0u);
    EXPECT_EQ(pe.countedHidden, 1);  // booked, not counted again
    EXPECT_EQ(pe.countedUses, 1);
    EXPECT_EQ(pe.refsBooked, 2);
}

TEST(UndoMarkers, AreaLinesAreShownOnlyWithTheUndoBit) {
    struct Row {
        uint32_t classMask;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {kFixedClass | kUndoLines,
         {"L list 80000010 Start of Invalid Text", "L list 80000015 Bold On",
          "L list 80000018 End of Invalid Text", "L list 0000001D Bold Off"}},
        {kFixedClass, {"L list 0000001D Bold Off"}},
        {kUndoLines, {}},  // inside the area the class bit still decides
    };
    for (const Row& r : rows) {
        ScopedContext c;
        List(&c.list, Marker(0, 3), 0x10, r.classMask);
        List(&c.list, Bytes{0xF2, 0x0C, 0xF2}, 0x15, r.classMask);
        List(&c.list, Marker(1, 3), 0x18, r.classMask);
        List(&c.list, Bytes{0xF3, 0x0C, 0xF3}, 0x1D, r.classMask);
        EXPECT_EQ(c.log.Lines(), r.lines) << std::hex << r.classMask;
    }
}

TEST(UndoMarkers, EndMarkerOfAnotherLevelLeavesTheAreaOpen) {
    ScopedContext c;
    CrossReferencePass();
    Walk(Marker(0, 1), 0x100);
    Walk(Marker(1, 2), 0x120);
    EXPECT_EQ(Ctx().sink.invalidTextMarker, 1);
    EXPECT_EQ(Ctx().check.undoStart, 0x100u);
    EXPECT_TRUE(Ranges().empty());
    Walk(Marker(1, 1), 0x130);
    EXPECT_EQ(Ranges(), (std::vector<RangeRow>{{0x100, 0x135, kRangeUndo, 0}}));
}

TEST(UndoMarkers, ValidTextMarkerOutsideAnAreaIsBookedOnItsOwn) {
    for (uint8_t kind : {uint8_t{2}, uint8_t{3}}) {
        ScopedContext c;
        Walk(Marker(kind, 1), 0x200);  // counting pass: nothing is booked
        EXPECT_TRUE(Ranges().empty());
        CrossReferencePass();
        Walk(Marker(kind, 1), 0x200);
        EXPECT_EQ(Ranges(), (std::vector<RangeRow>{{0x200, 0x205, kRangeUndo, 0}})) << int(kind);
        EXPECT_EQ(Ctx().check.totals.undoBytes, 5u);
        // Inside an open area it is part of that area.
        Walk(Marker(0, 1), 0x300);
        Walk(Marker(kind, 1), 0x310);
        EXPECT_EQ(Ctx().check.undoStart, 0x300u);
        EXPECT_EQ(Ranges().size(), 1u);
    }
}

// After damage (valid flag clear) every marker only clears the undo state.
TEST(UndoMarkers, AfterDamageMarkersOnlyClear) {
    for (uint8_t kind : {uint8_t{0}, uint8_t{1}, uint8_t{2}, uint8_t{9}}) {
        ScopedContext c;
        CrossReferencePass();
        Walk(Marker(0, 7), 0x100);
        Walk(Marker(kind, 7), 0x120, false);
        EXPECT_EQ(Ctx().sink.invalidTextMarker, 0) << int(kind);
        EXPECT_EQ(Ctx().check.undoStart, 0u);
        EXPECT_EQ(Ctx().check.undoLevel, 7);
        EXPECT_TRUE(Ranges().empty());
    }
}

TEST(UndoMarkers, CountingPassTracksTheAreaButBooksNothing) {
    ScopedContext c;
    Walk(Marker(0, 4), 0x100);
    EXPECT_EQ(Ctx().sink.invalidTextMarker, 1);
    EXPECT_EQ(Ctx().check.undoLevel, 4);
    EXPECT_EQ(Ctx().check.undoStart, 0u);
    Walk(Marker(1, 4), 0x120);
    EXPECT_EQ(Ctx().sink.invalidTextMarker, 0);
    EXPECT_TRUE(Ranges().empty());
    EXPECT_EQ(Ctx().check.totals.undoBytes, 0u);
}

TEST(UndoMarkers, UndefinedMarkerKindChangesNothing) {
    ScopedContext c;
    CrossReferencePass();
    Walk(Marker(0, 1), 0x100);
    Walk(Marker(4, 1), 0x110);
    Walk(Marker(0xFF, 2), 0x118);
    EXPECT_EQ(Ctx().sink.invalidTextMarker, 1);
    EXPECT_EQ(Ctx().check.undoStart, 0x100u);
    EXPECT_EQ(Ctx().check.undoLevel, 1);
    EXPECT_TRUE(Ranges().empty());
}

TEST(UndoMarkers, CloseWithoutAnOpenAreaBooksNothing) {
    ScopedContext c;
    CloseInvalidRange(0x500);
    EXPECT_TRUE(Ranges().empty());
    Ctx().check.undoStart = 0x480;
    CloseInvalidRange(0x500);
    CloseInvalidRange(0x600);
    EXPECT_EQ(Ranges(), (std::vector<RangeRow>{{0x480, 0x500, kRangeUndo, 0}}));
    EXPECT_EQ(Ctx().check.totals.undoBytes, 0x80u);
}
