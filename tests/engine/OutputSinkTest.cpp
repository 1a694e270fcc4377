// The sink's routing, filtering, tagging, merging and printing.

#include <gtest/gtest.h>

#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "tests/support/Recording.h"

using namespace engine;
using testsupport::RecordingTree;
using testsupport::ScopedContext;

namespace {

SinkState& Sink() { return Ctx().sink; }

constexpr uint32_t kAllGroups = 0xFFFFFFFF;
constexpr uint32_t kAllClasses = 0x7FFFFFFF;

}  // namespace

TEST(OutputSinkRouting, ListLinesGoToTargetOrDefaultList) {
    ScopedContext c;
    AddListLine(&c.list, "to list");
    AddListLine(kNoTarget, "to default");
    AddDataLine(&c.list, "data", 0x20000005);
    AddDataLine(kNoTarget, "dropped: data lines need a target", 1);
    EXPECT_EQ(c.log.Lines(), (std::vector<std::string>{"L list 00000000 to list",
                                                        "L default 00000000 to default",
                                                        "L list 20000005 data"}));
    Sink().defaultList = nullptr;
    AddListLine(kNoTarget, "nowhere");
    EXPECT_EQ(c.log.events.size(), 3u);
}

TEST(OutputSinkRouting, SilentTargetTakesLinesAndShowsNothing) {
    ScopedContext c;
    AddListLine(SilentTarget(), "x");
    AddErrorLine(SilentTarget(), "finding", 0x00000010);
    AddErrorLine(SilentTarget(), "merge into nothing", kTagDamage | 4);
    EXPECT_EQ(SilentTarget()->Size(), 0u);
    EXPECT_TRUE(c.log.events.empty());
}

TEST(OutputSinkRouting, TreeLinesAreLastChildrenWithImage2) {
    ScopedContext c;
    const TreeItem a = AddTreeLine(&c.tree, kTreeRoot, "Root Entry");
    const TreeItem b = AddTreeLine(&c.tree, a, "child");
    AddTreeLine(&c.tree, a, "second child");
    ASSERT_EQ(c.tree.items.size(), 3u);
    EXPECT_EQ(c.tree.items[1].parent, a);
    EXPECT_EQ(c.tree.items[2].parent, a);
    EXPECT_NE(a, b);
    for (const auto& item : c.tree.items) EXPECT_EQ(item.image, 2);
    EXPECT_EQ(AddTreeLine(nullptr, kTreeRoot, "no tree"), kTreeRoot);
}

TEST(OutputSinkPrinting, TreeLinesPrintOnlyWithCurrentDescriberTarget) {
    ScopedContext c;
    c.StartPrinting(10, 1000, "a.qwd");
    AddTreeLine(&c.tree, kTreeRoot, "not printed");
    Ctx().describer.currentTarget = &c.detail;
    AddTreeLine(&c.tree, kTreeRoot, "printed");
    EXPECT_TRUE(c.tree.items.empty());
    ASSERT_EQ(c.printer->draws.size(), 2u);  // header and one line
    EXPECT_EQ(c.printer->draws[1].text, "printed");
}

// Code-class filter: which code bytes a class mask of 0x6 lets through (the
// variable-length functions answer to the group mask alone).
TEST(OutputSinkCodeLines, ClassMask6ShowsOnly00To7FAndFF) {
    ScopedContext c;
    for (int code = 0; code <= 0xFF; ++code)
        AddCodeLine(&c.list, "c", static_cast<uint32_t>(code), false, 0, 0x6,
                    static_cast<uint8_t>(code));
    ASSERT_EQ(c.list.Size(), 0x81u);
    for (size_t i = 0; i < 0x80; ++i) EXPECT_EQ(c.list.Tag(i), i);
    EXPECT_EQ(c.list.Tag(0x80), kTagDamage | 0xFF);  // the invalid code is always a damaged place
}

TEST(OutputSinkCodeLines, ClassAndGroupBitsTable) {
    struct Row {
        uint8_t code;
        uint32_t groupMask, classMask;
        bool shown;
    };
    const Row rows[] = {
        {0x00, 0, 0, true},        {0x01, 0, 0x2, true},     {0x20, 0, ~0x2u, false},
        {0x21, 0, 0x4, true},      {0x7F, 0, ~0x4u, false},  {0x80, 0, 0x8, true},
        {0xCF, 0, ~0x8u, false},   {0xD0, 0x1, 0, true},     {0xD0, ~0x1u, kAllClasses, false},
        {0xEF, 0x80000000, 0, true}, {0xEF, 0x7FFFFFFF, 0, false}, {0xF0, 0, 0x10, true},
        {0xFE, kAllGroups, ~0x10u, false}, {0xFF, 0, 0, true},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        AddCodeLine(&c.list, "x", 1, false, r.groupMask, r.classMask, r.code);
        EXPECT_EQ(c.list.Size(), r.shown ? 1u : 0u) << std::hex << "code " << int(r.code);
    }
}

TEST(OutputSinkCodeLines, UndoAreaLinesNeedBit31AndTheirClassBit) {
    struct Row {
        uint8_t code;
        uint32_t classMask;
        bool shown;
    };
    // A text run (0x41) inside an undo area needs bit 31 and bit 0x4.
    const Row rows[] = {
        {0x41, 0x7FFFFFFF, false},
        {0x41, 0x80000000, false},
        {0x41, 0x80000004, true},
        {0x05, 0x80000002, true},
        {0x05, 0x80000004, false},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Sink().invalidTextMarker = 1;
        AddCodeLine(&c.list, "in undo", 0x100, false, kAllGroups, r.classMask, r.code);
        ASSERT_EQ(c.list.Size(), r.shown ? 1u : 0u) << std::hex << r.classMask;
        if (r.shown) {
            EXPECT_EQ(c.list.Tag(0), kTagUndo | 0x100);
        }
        EXPECT_EQ(Sink().invalidTextMarker, 1);
    }
}

TEST(OutputSinkCodeLines, EndMarkerLineIsTheLastUndoLine) {
    ScopedContext c;
    Sink().invalidTextMarker = -1;
    AddCodeLine(&c.list, "End of Invalid Text", 7, false, kAllGroups, 0xFFFFFFFF, 0xF1);
    EXPECT_EQ(Sink().invalidTextMarker, 0);
    AddCodeLine(&c.list, "after", 8, false, kAllGroups, 0xFFFFFFFF, 0xF1);
    EXPECT_EQ(c.list.Tag(0), kTagUndo | 7);
    EXPECT_EQ(c.list.Tag(1), 8u);
    // A hidden end-marker line still ends the area.
    Sink().invalidTextMarker = -1;
    AddCodeLine(&c.list, "hidden", 9, false, kAllGroups, 0x7FFFFFFF, 0xF1);
    EXPECT_EQ(Sink().invalidTextMarker, 0);
    EXPECT_EQ(c.list.Size(), 2u);
}

TEST(OutputSinkCodeLines, SingleDescriptionIgnoresTheUndoMarker) {
    ScopedContext c;
    Sink().invalidTextMarker = -1;
    AddCodeLine(&c.list, "one", 3, true, kAllGroups, kAllClasses, 0x41);
    EXPECT_EQ(c.list.Tag(0), 3u);
    EXPECT_EQ(Sink().invalidTextMarker, -1);
}

TEST(OutputSinkCodeLines, StopValueTagsOrSilences) {
    ScopedContext c;
    Sink().stopValue = -1;
    AddCodeLine(&c.list, "xref", 0x40, false, kAllGroups, kAllClasses, 0x41);
    AddCodeLine(&c.list, "bad", 0x41, false, kAllGroups, kAllClasses, 0xFF);
    EXPECT_EQ(c.list.Tag(0), kTagCrossRef | 0x40);
    EXPECT_EQ(c.list.Tag(1), kTagCrossRef | kTagDamage | 0x41);
    EXPECT_EQ(PrintLine(&c.list, "silenced"), -1);

    Sink().stopValue = 12;
    AddCodeLine(&c.list, "silenced", 1, false, kAllGroups, kAllClasses, 0x41);
    EXPECT_EQ(PrintLine(&c.list, "silenced"), 12);
    EXPECT_EQ(c.list.Size(), 2u);
}

TEST(OutputSinkCodeLines, LongLinesAreCutAt127) {
    ScopedContext c;
    AddCodeLine(&c.list, std::string(200, 'a'), 1, false, kAllGroups, kAllClasses, 0x41);
    EXPECT_EQ(c.list.Text(0).size(), 127u);
}

TEST(OutputSinkErrorLines, DamageTagMergesCorruptIntoLastLine) {
    ScopedContext c;
    c.list.Append("0x0010: Bold On", 0x10);
    AddErrorLine(&c.list, "never shown", kTagDamage | 0x10);
    EXPECT_EQ(c.log.Lines(), (std::vector<std::string>{"L list 00000010 0x0010: Bold On", "D list",
                                                        "L list 40000010 Corrupt: 0x0010: Bold On"}));
    // Merged lines stay within 127 characters; an empty list gets nothing.
    c.detail.Append(std::string(125, 'b'), 1);
    AddErrorLine(&c.detail, "x", kTagDamage);
    EXPECT_EQ(c.detail.Text(0).size(), 127u);
    EXPECT_EQ(c.detail.Text(0).substr(0, 9), "Corrupt: ");
    c.logList.lines.clear();
    AddErrorLine(&c.logList, "x", kTagDamage);
    EXPECT_EQ(c.logList.Size(), 0u);
}

TEST(OutputSinkErrorLines, UsageListDropsErrorAndEncounteredLines) {
    ScopedContext c;
    Sink().usageList = true;
    AddErrorLine(&c.list, "Error. bad size", 1);
    AddErrorLine(kNoTarget, "Encountered something", 2);
    AddErrorLine(&c.list, "Packet 3 used here", 3);
    AddErrorLine(kNoTarget, " Error. not at the start", 4);
    EXPECT_EQ(c.log.Lines(), (std::vector<std::string>{"L list 00000003 Packet 3 used here",
                                                        "L default 00000004  Error. not at the start"}));
    Sink().usageList = false;
    AddErrorLine(&c.list, "Error. shown now", 5);
    EXPECT_EQ(c.list.Size(), 2u);
}

TEST(OutputSinkErrorLines, DefaultListKeepsPacketFindingsWithoutOpenDocument) {
    ScopedContext c;
    // No packet table: a packet's type is unknown, so nothing is taken for a
    // deletable packet.
    AddErrorLine(kNoTarget, "packet finding", kTagPacket | 0x2E);
    EXPECT_EQ(c.defaultList.Size(), 1u);
    Sink().defaultList = nullptr;
    AddErrorLine(kNoTarget, "nowhere", 1);
    EXPECT_EQ(c.log.events.size(), 1u);
}

TEST(OutputSinkErrorLines, DefaultListDropsFindingsOnDeletablePackets) {
    ScopedContext c;
    auto& packets = Ctx().doc.packets;
    packets.resize(3);
    packets[1].entry.bytes[1] = 0x2E;  // "Deletable Packet"
    packets[2].entry.bytes[1] = 0x2D;
    AddErrorLine(kNoTarget, "on deletable", kTagPacket | 1);
    AddErrorLine(kNoTarget, "on other type", kTagPacket | 2);
    AddErrorLine(kNoTarget, "offset, not a packet", 1);
    AddErrorLine(&c.list, "named list keeps it", kTagPacket | 1);
    EXPECT_EQ(c.log.Lines(), (std::vector<std::string>{"L default 20000002 on other type",
                                                        "L default 00000001 offset, not a packet",
                                                        "L list 20000001 named list keeps it"}));
}

TEST(OutputSinkErrorLines, PrintingStillListsTheFinding) {
    ScopedContext c;
    c.StartPrinting(10, 1000, "f.qwd");
    AddErrorLine(&c.list, "finding", 0x20000001);
    EXPECT_EQ(c.list.Size(), 1u);
    ASSERT_EQ(c.printer->draws.size(), 2u);
    EXPECT_EQ(c.printer->draws[1].text, "finding");
}

TEST(OutputSinkPrinting, PageBreakWritesHeaderBeforeTheLineThatDidNotFit) {
    ScopedContext c;
    // Header at 10, lines at 20, 30, 40; 50 + 10 reaches 60: a new page.
    c.StartPrinting(10, 60, "doc.qwd");
    for (const char* t : {"one", "two", "three", "four"}) AddListLine(&c.list, t);
    const auto& d = c.printer->draws;
    ASSERT_EQ(d.size(), 6u);
    EXPECT_EQ(d[0].text, "---- File: doc.qwd   Page: 1 ----");
    EXPECT_EQ(d[3].text, "three");
    EXPECT_EQ(d[3].y, 40);
    EXPECT_EQ(d[4].text, "---- File: doc.qwd   Page: 2 ----");
    EXPECT_EQ(d[4].page, 2);
    EXPECT_EQ(d[4].x, 2);
    EXPECT_EQ(d[4].y, 10);
    EXPECT_EQ(d[5].text, "four");
    EXPECT_EQ(d[5].y, 20);
    EXPECT_EQ(Sink().pageNumber, 2);
    EXPECT_TRUE(c.list.lines.empty());
}

TEST(OutputSinkPrinting, EmptyTextTakesALineButDrawsNothing) {
    ScopedContext c;
    c.StartPrinting(10, 1000, "");
    AddListLine(&c.list, "");
    AddListLine(kNoTarget, "no target: not printed");
    AddListLine(&c.list, "x");
    ASSERT_EQ(c.printer->draws.size(), 2u);
    EXPECT_EQ(c.printer->draws[1].y, 30);
}

TEST(OutputSinkPrinting, OnlyTheHighlightedCodeLineIsFramed) {
    ScopedContext c;
    c.StartPrinting(10, 1000, "");
    Sink().highlighted = 0x80000022;  // the stored tag of a line inside an undo area
    AddCodeLine(&c.list, "before", 0x21, false, kAllGroups, 0xFFFFFFFF, 0x41);
    Sink().invalidTextMarker = 1;
    AddCodeLine(&c.list, "chosen", 0x22, false, kAllGroups, 0xFFFFFFFF, 0x41);
    AddCodeLine(&c.list, "after", 0x23, false, kAllGroups, 0xFFFFFFFF, 0x41);
    ASSERT_EQ(c.printer->frames.size(), 1u);
    const auto& f = c.printer->frames[0];
    EXPECT_EQ(f.left, 1);
    EXPECT_EQ(f.top, 30 - 1);
    EXPECT_EQ(f.right, 6 * 8 + 2);
    EXPECT_EQ(f.bottom, 30 + 10);
    EXPECT_FALSE(Sink().highlightFlag);
    EXPECT_TRUE(c.list.lines.empty());
}
