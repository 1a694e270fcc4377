// Variable-length functions: what each pass gets from the describer, the
// length and prefix-id refusals, counting and booking of references, and
// group 0xD0's subfunction data.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/Codes.h"
#include "engine/Describe.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

using namespace engine;
using testsupport::Func;
using testsupport::ScopedContext;
using testsupport::VarFunc;

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

constexpr uint32_t kAll = 0xFFFFFFFF;

// A packet table of `n` entries; entry i has type 0x30 (Style Data) for
// odd i and 0x22 (Font List (6.0)) for even i.
void Packets(size_t n) {
    auto& packets = Ctx().doc.packets;
    packets.resize(n);
    for (size_t i = 1; i < n; ++i) packets[i].entry.bytes[1] = i % 2 ? 0x30 : 0x22;
}

// Reference slots for every packet, `per` each.
void ReferenceTable(uint16_t per) {
    auto& packets = Ctx().doc.packets;
    for (size_t i = 1; i < packets.size(); ++i)
        packets[i].firstRefSlot = static_cast<int32_t>((i - 1) * per);
    Ctx().check.refs.assign((packets.size() - 1) * per, PacketRef{});
}

// Reference slots as the check sizes them from the counting pass.
void ReferenceTableFromCounts() {
    auto& packets = Ctx().doc.packets;
    size_t total = 0;
    for (size_t i = 1; i < packets.size(); ++i) {
        const size_t uses = size_t{packets[i].countedUses} + packets[i].countedHidden;
        packets[i].firstRefSlot = uses ? static_cast<int32_t>(total) : -1;
        total += uses;
    }
    Ctx().check.refs.assign(total, PacketRef{});
}

std::vector<uint16_t> Uses() {
    std::vector<uint16_t> out;
    for (const PacketEntry& p : Ctx().doc.packets) out.push_back(p.countedUses);
    return out;
}

std::vector<uint16_t> Hidden() {
    std::vector<uint16_t> out;
    for (const PacketEntry& p : Ctx().doc.packets) out.push_back(p.countedHidden);
    return out;
}

// The lines of a dump of exactly `b`, as they reach `target`.
Lines Dumped(std::span<const uint8_t> b, const std::string& target) {
    testsupport::RecordingList scratch(target);
    HexDump(static_cast<int64_t>(b.size()), b, &scratch);
    return scratch.Log().Lines();
}

Lines Plain(const std::string& target, const Lines& texts) {
    Lines out;
    for (const std::string& t : texts) out.push_back("L " + target + " 00000000 " + t);
    return out;
}

Bytes Join8(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Lines Join(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

int Single(ScopedContext& c, const Bytes& fn, int mode = kModeDecoded) {
    // The Codes page: the detail list is both the sink and the describer target.
    Ctx().sink.defaultList = nullptr;
    Ctx().describer.currentTarget = &c.detail;
    return DescribeVariableFunction(fn, &c.detail, true, 0x300, mode, kAll, kAll);
}

// The check's counting pass: no sink, the check's list as default list.
int Count(const Bytes& fn, uint32_t offset = 0x300) {
    return DescribeVariableFunction(fn, kNoTarget, false, offset, kModeDecoded, kAll, kAll);
}

}  // namespace

TEST(VarFunctions, PlainListingShowsOnlyTheNameLine) {
    ScopedContext c;
    Packets(3);
    Ctx().sink.defaultList = nullptr;
    const Bytes fn = Func(0xD4, 0x06, {1, 2}, {1, 2, 3}).Bytes();
    EXPECT_EQ(DescribeVariableFunction(fn, &c.list, false, 0x300, kModeDecoded, 1u << 4, kAll), 1);
    EXPECT_EQ(DescribeVariableFunction(fn, &c.list, false, 0x400, kModeDecoded, ~(1u << 4), kAll),
              1);
    EXPECT_EQ(c.log.Lines(), (Lines{"L list 00000300 Index Entry"}));
    EXPECT_EQ(Uses(), (std::vector<uint16_t>{0, 0, 0}));
}

TEST(VarFunctions, RefusalsCountNothing) {
    struct Row {
        const char* what;
        Bytes fn;
        int result;
        Lines lines;  // to the check's list
    };
    VarFunc twoIdsNoRoom = Func(0xD4, 0x01, {1, 1});
    twoIdsNoRoom.size = 14;  // the size word would overlap the trailer
    Bytes shortTwoIds = twoIdsNoRoom.Bytes();
    shortTwoIds.erase(shortTwoIds.begin() + 10);  // 14 bytes, trailer at 11
    VarFunc fiveIds = Func(0xD4, 0x01, {1, 1, 1, 1, 1});
    fiveIds.size = 16;
    fiveIds.trailerSize = 16;
    const Row rows[] = {
        {"size 9",
         {0xD4, 0x01, 0x09, 0x00, 0x00, 0x00, 0x09, 0x00, 0xD4},
         0,
         {"Function Length is too small!"}},
        {"size 3", {0xD4, 0x01, 0x03, 0x00, 0x00, 0x00}, 0, {"Function Length is too small!"}},
        {"size 1", {0xD4, 0x01, 0x01, 0x00}, 0, {"Function Length is too small!"}},
        {"ids in 11 bytes",
         {0xD4, 0x01, 0x0B, 0x00, 0x80, 0x00, 0x00, 0x00, 0x0B, 0x00, 0xD4},
         0,
         {"Function Length is too small!"}},
        {"5 ids in 16 bytes", fiveIds.Bytes(), 0, {"Function length can't fit 0x5 child packets"}},
        {"2 ids, size word in the trailer",
         shortTwoIds,
         0,
         {"Function length can't fit 0x2 child packets"}},
        {"1 id in 13 bytes", Func(0xD4, 0x01, {1}).Bytes(), 1, {}},
        {"id equal to the entry count",
         Func(0xD4, 0x01, {1, 3}).Bytes(),
         0,
         {"PFX Ref 0x1 (value=0x3)is too large.  Max is 0x3 "}},
        {"id above it",
         Func(0xD4, 0x01, {7, 1}).Bytes(),
         0,
         {"PFX Ref 0x0 (value=0x7)is too large.  Max is 0x3 "}},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Packets(3);
        EXPECT_EQ(Count(r.fn), r.result) << r.what;
        EXPECT_EQ(c.defaultList.Texts(), r.lines) << r.what;
        const uint16_t used = r.result ? 1 : 0;
        EXPECT_EQ(Uses(), (std::vector<uint16_t>{0, used, 0})) << r.what;
    }
}

// Only the check's counting pass counts: not a single description, a
// usage list, the cross-reference pass or the repair's probe.
TEST(VarFunctions, UsesAreCountedOnlyByTheCountingPass) {
    struct Row {
        const char* pass;
        int32_t stop;
        bool defaultList;
        bool single;
        bool sink;
        int16_t marker;
        std::vector<uint16_t> uses, hidden;
        uint16_t booked;  // of packet 1
    };
    const Row rows[] = {
        {"counting pass", 0, true, false, false, 0, {0, 1, 1, 0}, {0, 0, 0, 0}, 0},
        {"counting pass in an undo area", 0, true, false, false, 1, {0, 0, 0, 0}, {0, 1, 1, 0}, 0},
        {"cross reference", -1, true, false, false, 0, {0, 0, 0, 0}, {0, 0, 0, 0}, 1},
        {"single description", 0, false, true, true, 0, {0, 0, 0, 0}, {0, 0, 0, 0}, 0},
        {"single description during a check",
         0,
         true,
         true,
         true,
         0,
         {0, 0, 0, 0},
         {0, 0, 0, 0},
         0},
        {"usage list", 2, false, false, true, 0, {0, 0, 0, 0}, {0, 0, 0, 0}, 0},
        {"repair probe", 0, false, true, false, 0, {0, 0, 0, 0}, {0, 0, 0, 0}, 0},
        {"plain listing", 0, false, false, true, 0, {0, 0, 0, 0}, {0, 0, 0, 0}, 0},
    };
    const Bytes fn = Func(0xD4, 0x1A, {1, 2, 0}, {0x10, 0x20}).Bytes();
    for (const Row& r : rows) {
        ScopedContext c;
        Packets(4);
        ReferenceTable(1);
        Ctx().sink.stopValue = r.stop;
        Ctx().sink.invalidTextMarker = r.marker;
        if (!r.defaultList) Ctx().sink.defaultList = nullptr;
        const bool probe = std::string(r.pass) == "repair probe";
        std::optional<OperationScope> scope;
        if (probe) scope.emplace(Operation::RepairProbe);
        EXPECT_EQ(DescribeVariableFunction(fn, r.sink ? &c.list : kNoTarget, r.single, 0x300,
                                           kModeDecoded, kAll, kAll),
                  1)
            << r.pass;
        EXPECT_EQ(Uses(), r.uses) << r.pass;
        EXPECT_EQ(Hidden(), r.hidden) << r.pass;
        EXPECT_EQ(Ctx().doc.packets[1].refsBooked, r.booked) << r.pass;
        if (probe) {
            EXPECT_EQ(Ctx().check.probeIdCount, 3u);
            EXPECT_EQ(Ctx().check.probeSize, fn.size());
            EXPECT_TRUE(c.window.titles.empty());  // the probe has no sink
        }
    }
}

TEST(VarFunctions, CrossReferenceBooksWhatTheCountingPassCounted) {
    ScopedContext c;
    Packets(4);
    const Bytes fn = Func(0xD4, 0x1A, {3, 0, 1, 3}).Bytes();
    EXPECT_EQ(Count(fn, 0x1234), 1);
    EXPECT_EQ(Uses(), (std::vector<uint16_t>{0, 1, 0, 2}));
    ReferenceTableFromCounts();
    Ctx().sink.stopValue = -1;
    EXPECT_EQ(Count(fn, 0x1234), 1);
    EXPECT_EQ(Uses(), (std::vector<uint16_t>{0, 1, 0, 2}));
    const auto& refs = Ctx().check.refs;
    ASSERT_EQ(refs.size(), 3u);
    const uint16_t referenced[] = {1, 3, 3};
    for (size_t at = 0; at < refs.size(); ++at) {
        EXPECT_EQ(refs[at].kind, kRefBody) << at;
        EXPECT_EQ(refs[at].subKind, 0xFF) << at;
        EXPECT_EQ(refs[at].referenced, referenced[at]) << at;
        EXPECT_EQ(refs[at].referencing, 0xFFFF) << at;
        EXPECT_EQ(refs[at].offset, 0x1234u) << at;
    }
    EXPECT_EQ(Ctx().doc.packets[1].refsBooked, 1);
    EXPECT_EQ(Ctx().doc.packets[3].refsBooked, 2);

    // Without a reference table nothing is booked.
    Ctx().check.refs.clear();
    Count(Func(0xD4, 0x1A, {1}).Bytes());
    EXPECT_EQ(Ctx().doc.packets[1].refsBooked, 1);
}

TEST(VarFunctions, UsageListNumbersTheFunctionsThatReferToThePacket) {
    ScopedContext c;
    Packets(0x20);
    Ctx().sink.defaultList = nullptr;
    Ctx().sink.stopValue = 0x12;
    Ctx().check.usageNumber = 1;  // the min-use line came first
    const auto describe = [&](std::vector<uint16_t> ids, uint32_t offset) {
        EXPECT_EQ(DescribeVariableFunction(Func(0xD4, 0x06, std::move(ids)).Bytes(), &c.list, false,
                                           offset, kModeDecoded, kAll, kAll),
                  1);
    };
    describe({0x05, 0x12}, 0x100);
    describe({0x05}, 0x200);
    describe({0x12}, 0x300);
    EXPECT_EQ(c.log.Lines(),
              (Lines{"L list 08000100  2) Index Entry", "L list 08000300  3) Index Entry"}));
    EXPECT_EQ(Ctx().sink.stopValue, 0x12);
    EXPECT_EQ(Ctx().check.usageNumber, 3);
}

TEST(VarFunctions, SingleDescriptionDecoded) {
    ScopedContext c;
    Packets(3);
    const Bytes fn = Func(0xD4, 0x1A, {1, 0}, {0xAA, 0xBB}).Bytes();
    ASSERT_EQ(fn.size(), 0x11u);
    EXPECT_EQ(Single(c, fn), 1);
    EXPECT_EQ(c.log.Lines(),
              Join({Plain("detail", {"Variable Len Code: 0xD41A"}),
                    {"T Font Face Change"},
                    Plain("detail", {"Function Size: 0x0011", "Function Flags: Normal (80)",
                                     "                Prefix ID Structure follows",
                                     "    # of PFX ID Refs: 0x02"}),
                    {"L detail 20000001         PFX Ref 0 is ID 0x0001 (Style Data)",
                     "L detail 20000000         PFX Ref 1 is ID 0x0000 ()"},
                    Plain("detail", {"Size of Non-Deleteable Data: 0x0002", " "}),
                    Dumped(fn, "detail")}));
    EXPECT_EQ(Uses(), (std::vector<uint16_t>{0, 0, 0}));
}

TEST(VarFunctions, SingleDescriptionRefusalReachesTheDetailList) {
    ScopedContext c;
    Packets(2);
    EXPECT_EQ(Single(c, Func(0xD4, 0x1A, {1, 5}).Bytes()), 0);
    EXPECT_EQ(c.detail.Texts().back(), "PFX Ref 0x1 (value=0x5)is too large.  Max is 0x2 ");
    EXPECT_TRUE(c.defaultList.Texts().empty());
}

TEST(VarFunctions, SingleDescriptionInHexMode) {
    ScopedContext c;
    const Bytes fn = Func(0xE0, 0x93, {}, {1, 2, 3}).Bytes();
    EXPECT_EQ(Single(c, fn, kModeHex), 1);
    EXPECT_EQ(c.log.Lines(), Join({{"T Right Tab"}, Dumped(fn, "detail")}));
}

// Without a function-data describer (no sink, or hex mode) the data area
// is shown as its sizes and dumps.
TEST(VarFunctions, DataAreaAsSizesAndDumps) {
    struct Row {
        const char* what;
        VarFunc f;
        std::vector<Lines> tail;  // after the flags line
    };
    VarFunc plain = Func(0xD4, 0x1A, {}, {1, 2, 3}, {4, 5});
    VarFunc empty = Func(0xD4, 0x1A, {}, {}, {});
    VarFunc tooBig = Func(0xD4, 0x1A, {}, {1, 2, 3});
    tooBig.nonDeletableSize = 13;  // the total size
    VarFunc intoTrailer = Func(0xD4, 0x1A, {}, {1, 2});
    intoTrailer.nonDeletableSize = 9;  // below the total size, past the trailer
    VarFunc withIds = Func(0xD4, 0x1A, {1}, {7}, {8});
    const Row rows[] = {
        {"data of both kinds",
         plain,
         {Plain("list", {"  Size of Non-Deleteable Data: 0x0003", "  Non-Deleteable DATA Dump:"}),
          Dumped(Bytes{1, 2, 3}, "list"), Plain("list", {"  Deletable DATA Dump:"}),
          Dumped(Bytes{4, 5}, "list"),
          Plain("list", {"Ending Short Length and Group Byte: 0x000F 0xD4"})}},
        {"no data",
         empty,
         {Plain("list", {"  Size of Non-Deleteable Data: 0x0000",
                         "Ending Short Length and Group Byte: 0x000A 0xD4"})}},
        {"size at the total",
         tooBig,
         {Plain("list", {"ERROR! Size of Non-Deleteable Data is Too BIG: At offset 0x000300"})}},
        {"size into the trailer",
         intoTrailer,
         {Plain("list", {"  Size of Non-Deleteable Data: 0x0009", "  Non-Deleteable DATA Dump:"}),
          Dumped(Bytes{1, 2}, "list"),
          Plain("list", {"Ending Short Length and Group Byte: 0x000C 0xD4"})}},
        {"behind prefix ids",
         withIds,
         {Plain("list", {"    # of PFX ID Refs: 0x01"}),
          {"L list 20000001         PFX Ref 0 is ID 0x0001 (Style Data)"},
          Plain("list", {"  Size of Non-Deleteable Data: 0x0001", "  Non-Deleteable DATA Dump:"}),
          Dumped(Bytes{7}, "list"),
          Plain("list", {"  Deletable DATA Dump:"}),
          Dumped(Bytes{8}, "list"),
          Plain("list", {"Ending Short Length and Group Byte: 0x000F 0xD4"})}},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Packets(2);
        const Bytes fn = r.f.Bytes();
        // A hex-mode listing while a default list is set reaches this path
        // with a visible sink.
        EXPECT_EQ(DescribeVariableFunction(fn, &c.list, false, 0x300, kModeHex, kAll, kAll), 1);
        Lines expected = {
            "L list 00000300 Font Face Change",
            "L list 00000000 " + Format("Function Size: 0x%04X", unsigned(fn.size()))};
        if (fn[4] & 0x80)
            expected.insert(expected.end(),
                            {"L list 00000000 Function Flags: Normal (80)",
                             "L list 00000000                 Prefix ID Structure follows"});
        else
            expected.push_back("L list 00000000 Function Flags: Normal (00)");
        for (const Lines& part : r.tail) expected.insert(expected.end(), part.begin(), part.end());
        EXPECT_EQ(c.log.Lines(), expected) << r.what;
    }
}

namespace {

// Group 0xD0's data area: u16 N, u16 D, D deletable bytes, embedded
// subfunctions filling the rest of N.
Bytes TableArea(const Bytes& deletable, const Bytes& embedded, int extraN = 0) {
    const auto n = static_cast<uint16_t>(2 + deletable.size() + embedded.size() + extraN);
    const auto d = static_cast<uint16_t>(deletable.size());
    Bytes area{static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(d),
               static_cast<uint8_t>(d >> 8)};
    area.insert(area.end(), deletable.begin(), deletable.end());
    area.insert(area.end(), embedded.begin(), embedded.end());
    return area;
}

Bytes TableFunction(const Bytes& area, std::vector<uint16_t> ids = {}) {
    VarFunc f = Func(0xD0, 0x0A, std::move(ids));
    f.dataArea = area;
    return f.Bytes();
}

}  // namespace

TEST(VarFunctions, TableGroupSubfunctionData) {
    ScopedContext c;
    const Bytes row{0x80, 0x0F, 0, 0, 0};
    const Bytes cell{0x84, 0xC3, 0x03, 0x02, 0, 0, 0, 0, 0};
    const Bytes prefix{0x8B, 0xFF, 0};
    const Bytes embedded = Join8({row, cell, {0x8A, 0x81, 0x00, 0x00, 0x20}, prefix, {0x8D}});
    const Bytes fn = TableFunction(TableArea({0xEE, 0xEF}, embedded));
    ASSERT_EQ(fn.size(), 5u + 4 + 2 + embedded.size() + 3);
    EXPECT_EQ(Single(c, fn), 1);
    const std::string size = Format("0x%04X", unsigned(fn.size()));
    const std::string n = Format("0x%04X", unsigned(2 + 2 + embedded.size()));
    EXPECT_EQ(
        c.log.Lines(),
        Join(
            {Plain("detail", {"Variable Len Code: 0xD00A"}),
             {"T Table Cell"},
             Plain("detail",
                   {"Function Size: " + size, "Function Flags: Normal (00)",
                    "Size of Non-Deleteable Subfunction Data: " + n,
                    "Size of Deleteable Subfunction Data: 0x0002", "Deleteable Data Dump:"}),
             Dumped(Bytes{0xEE, 0xEF}, "detail"),
             Plain("detail", {"Row Information Embedded Subfunction", "  Single Line of Text",
                              "  Fixed Height Row", "  Header Row", "  Row can span pages"}),
             Dumped(row, "detail"),
             Plain("detail",
                   {"Cell Information Embedded Subfunction", "  Use Cell attributes (not column's)",
                    "  Use Cell justification (not column's)", "  Cell is ignored in calculations",
                    "  Cell is locked", "  Justification: Right", "  Aligned: Center"}),
             Dumped(cell, "detail"),
             Plain("detail",
                   {"Error Subfunction 0x81 is reserved", "New Cell Formula Embedded Subfunction"}),
             Dumped(Bytes{0x81}, "detail"),  // length 0: one byte
             Plain("detail", {"Cell Prefix Flag Embedded Subfunction", "  NO left line",
                              "  NO right line", "  NO top line", "  NO bottom line", "  NO fill",
                              "  Diagonal line bottom-left to top-right",
                              "  Diagonal line top-left to bottom-right"}),
             Dumped(prefix, "detail"),
             Plain("detail", {"Don't End a Paragraph Style for this Hard Return"}),
             Dumped(Bytes{0x8D}, "detail"),
             Plain("detail", {"  Ending Short Length and Group Byte: " + size + " 0xD0"})}));
}

// Sizes inside the area never carry a dump or the embedded scan into the
// trailer or past the function.
TEST(VarFunctions, TableGroupAreaStopsBeforeTheTrailer) {
    struct Row {
        const char* what;
        Bytes fn;
        Lines tail;  // after "Size of Deleteable Subfunction Data"
    };
    Bytes bigDeletable = TableArea({1, 2, 3}, {});
    bigDeletable[2] = 0x40;  // D claims 64 bytes
    bigDeletable[0] = 5;     // N - D - 2 is negative: no embedded part
    const Row rows[] = {
        {"deletable size past the area", TableFunction(bigDeletable),
         Join({Plain("detail", {"Deleteable Data Dump:"}), Dumped(Bytes{1, 2, 3}, "detail")})},
        {"embedded part past the area", TableFunction(TableArea({}, {0x82, 1, 2, 3, 0x84}, 5)),
         Join({Plain("detail",
                     {"Deleteable Data Dump:", "New Top Gutter Spacing Embedded Subfunction"}),
               Dumped(Bytes{0x82, 1, 2, 3}, "detail"),
               // cut off by the trailer: announced and dumped as far as it goes
               Plain("detail", {"Cell Information Embedded Subfunction"}),
               Dumped(Bytes{0x84}, "detail")})},
        {"formula longer than the area", TableFunction(TableArea({}, {0x81, 0xFF, 0xFF, 9})),
         Join({Plain("detail", {"Deleteable Data Dump:", "New Cell Formula Embedded Subfunction"}),
               Dumped(Bytes{0x81, 0xFF, 0xFF, 9}, "detail")})},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        EXPECT_EQ(Single(c, r.fn), 1) << r.what;
        Lines lines = c.log.Lines();
        ASSERT_GE(lines.size(), 7u + r.tail.size()) << r.what;
        const Lines tail(lines.begin() + 6, lines.end() - 1);  // up to the ending line
        EXPECT_EQ(tail, r.tail) << r.what;
        EXPECT_EQ(lines.back(), "L detail 00000000   Ending Short Length and Group Byte: " +
                                    Format("0x%04X 0xD0", unsigned(r.fn.size())))
            << r.what;
    }
}

// Group 0xD0 with prefix ids: its data area follows the ids.
TEST(VarFunctions, TableGroupDataAreaFollowsPrefixIds) {
    ScopedContext c;
    Packets(2);
    const Bytes fn = TableFunction(TableArea({}, {0x8D}), {1});
    EXPECT_EQ(Single(c, fn), 1);
    const Lines lines = c.detail.Texts();
    const auto at =
        std::find(lines.begin(), lines.end(), "Size of Non-Deleteable Subfunction Data: 0x0003");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at - 1), "        PFX Ref 0 is ID 0x0001 (Style Data)");
    EXPECT_EQ(*(at + 3), "Don't End a Paragraph Style for this Hard Return");
}

TEST(VarFunctions, EmbeddedScanEndsAtTheGivenLength) {
    ScopedContext c;
    const Bytes bytes{0x86, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x8D, 0x8D};
    EXPECT_EQ(DescribeEmbeddedSubfunctions(11, bytes, &c.list), 1);
    EXPECT_EQ(c.log.Lines(),
              Join({Plain("list", {"Cell Fill Colors Embedded Subfunction"}),
                    Dumped(std::span(bytes).first(10), "list"),
                    Plain("list", {"Don't End a Paragraph Style for this Hard Return"}),
                    Dumped(Bytes{0x8D}, "list")}));
    c.log.Clear();
    EXPECT_EQ(DescribeEmbeddedSubfunctions(50, Bytes{0x85, 0x80, 0, 0}, &c.list), 1);
    EXPECT_EQ(c.log.Lines(), Join({Plain("list", {"Cell Spanning Information Embeded Subfunction",
                                                  "  Cell is spanned from above"}),
                                   Dumped(Bytes{0x85, 0x80, 0, 0}, "list")}));
}

// In the counting pass the reserved subfunction's line reaches the check's list.
TEST(VarFunctions, ReservedSubfunctionReachesTheChecksList) {
    ScopedContext c;
    EXPECT_EQ(Count(TableFunction(TableArea({}, {0x8A, 0x80, 0, 0, 0, 0}))), 1);
    EXPECT_EQ(c.defaultList.Texts(), (Lines{"Error Subfunction 0x81 is reserved"}));
}

TEST(VarFunctions, FlagsText) {
    struct Row {
        uint8_t flags;
        Lines lines;
        int result;
    };
    const Row rows[] = {
        {0x00, {"Function Flags: Normal (00)"}, 0},
        {0x01, {"Function Flags: Simple Paired Function (01)"}, 0},
        {0x02, {"Function Flags: Encased Paired Function (02)"}, 0},
        {0x03, {"Function Flags: Encased Function (03)"}, 0},
        {0x04, {}, 0},
        {0x05, {}, 0},
        {0x06, {"Function Flags: Revert Off Function (06)"}, 0},
        {0x07, {"Function Flags: Revert On Function (07)"}, 0},
        {0x40, {"Function Flags: Normal (40)", "                Ignore function code"}, 0},
        {0x80, {"Function Flags: Normal (80)", "                Prefix ID Structure follows"}, 1},
        {0xC7,
         {"Function Flags: Revert On Function (C7)", "                Ignore function code",
          "                Prefix ID Structure follows"},
         1},
        {0x8C, {"                Prefix ID Structure follows"}, 1},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        EXPECT_EQ(FunctionFlagsText(r.flags, &c.list), r.result) << int(r.flags);
        EXPECT_EQ(c.list.Texts(), r.lines) << int(r.flags);
    }
}

TEST(VarFunctions, FunctionDumpGoesToTheDescriberTarget) {
    ScopedContext c;
    Ctx().describer.currentTarget = &c.detail;
    const Bytes fn = Func(0xD4, 0x1A, {}, {1, 2, 3}).Bytes();
    DescribeFunctionData(0xD4, 0x1A, fn);
    EXPECT_EQ(c.log.Lines(), Join({Plain("detail", {"Size of Non-Deleteable Data: 0x0003", " "}),
                                   Dumped(fn, "detail")}));

    // A size beyond the bytes held dumps what is held.
    c.log.Clear();
    Bytes claims = fn;
    claims[2] = 0x40;
    HexDumpFunction(claims);
    EXPECT_EQ(c.log.Lines(), Dumped(claims, "detail"));
}
