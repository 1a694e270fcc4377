// The one reader of a packet's child list and text-block table, and the
// check, the detail and the repair agreeing on the blocks it places.

#include "engine/PacketLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/Check.h"
#include "engine/CheckState.h"
#include "engine/Describe.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Repair.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"
#include "tests/support/RepairJobs.h"

using namespace engine;
using testsupport::Body;
using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::OpenDoc;
using testsupport::Packet;
using testsupport::ReadFileBytes;
using testsupport::ScopedContext;

namespace {

using Bytes = std::vector<uint8_t>;

IndexEntry WithFlags(uint8_t flags) {
    IndexEntry e;
    e.bytes[0] = flags;
    e.bytes[1] = 0x6F;
    return e;
}

struct BlockRow {
    uint64_t start;
    uint32_t size;
    uint32_t held;
    bool inside;
};

struct LayoutRow {
    const char* what;
    uint8_t flags;
    Bytes held;
    uint32_t childCount;
    std::vector<uint16_t> children;
    bool fits;
    uint32_t tableAt;
    uint32_t blockCount;
    uint32_t firstBlock;
    bool tableFits;
    std::vector<BlockRow> blocks;
};

TEST(PacketLayout, FieldsFromTheBytesHeld) {
    const LayoutRow rows[] = {
        {"no list, no blocks", 0x00, {1, 2, 3}, 0, {}, true, 0, 0, 0, false, {}},
        {"list that fits", 0x01, {2, 0, 5, 0, 6, 0}, 2, {5, 6}, true, 6, 0, 0, false, {}},
        {"list past the data", 0x01, {3, 0, 5, 0}, 3, {5}, false, 8, 0, 0, false, {}},
        {"half an id", 0x01, {2, 0, 5, 0, 6}, 2, {5}, false, 6, 0, 0, false, {}},
        {"nothing held", 0x03, {}, 0, {}, false, 2, 0, 0, false, {}},
        {"blocks that fit", 0x02, {2, 0, 14, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c', 'd', 'e'},
         0, {}, true, 0, 2, 14, true, {{14, 2, 2, true}, {16, 3, 3, true}}},
        {"offset beyond", 0x02, {1, 0, 0x40, 0, 0, 0, 2, 0, 0, 0}, 0, {}, true, 0, 1, 0x40, true,
         {{0x40, 2, 0, false}}},
        {"block past the data", 0x02, {1, 0, 10, 0, 0, 0, 0, 1, 0, 0, 'x', 'y'}, 0, {}, true, 0, 1, 10,
         true, {{10, 0x100, 2, true}}},
        {"more blocks declared than sizes held", 0x02, {3, 0, 14, 0, 0, 0, 1, 0, 0, 0}, 0, {}, true, 0, 3,
         14, false, {{14, 1, 0, false}}},
        {"list then table", 0x03, {1, 0, 7, 0, 1, 0, 14, 0, 0, 0, 1, 0, 0, 0, 'z'}, 1, {7}, true, 4, 1, 14,
         true, {{14, 1, 1, true}}},
        {"a list past the data moves the table", 0x03, {9, 0, 1, 0, 10, 0, 0, 0}, 9, {1, 10, 0}, false, 20,
         0, 0, false, {}},
    };
    for (const LayoutRow& r : rows) {
        SCOPED_TRACE(r.what);
        const PacketLayout l = ReadPacketLayout(WithFlags(r.flags), r.held);
        EXPECT_EQ(l.hasChildList, (r.flags & 1) != 0);
        EXPECT_EQ(l.hasTextBlocks, (r.flags & 2) != 0);
        EXPECT_EQ(l.childCount, r.childCount);
        EXPECT_EQ(l.children, r.children);
        EXPECT_EQ(l.childListFits, r.fits);
        EXPECT_EQ(l.tableAt, r.tableAt);
        EXPECT_EQ(l.blockCount, r.blockCount);
        EXPECT_EQ(l.firstBlock, r.firstBlock);
        if (l.hasTextBlocks) {
            EXPECT_EQ(l.TableFits(r.held.size()), r.tableFits);
        }
        ASSERT_EQ(l.blocks.size(), r.blocks.size());
        ASSERT_EQ(l.sizes.size(), r.blocks.size());
        for (size_t b = 0; b < r.blocks.size(); ++b) {
            EXPECT_EQ(l.blocks[b].start, r.blocks[b].start) << b;
            EXPECT_EQ(l.blocks[b].size, r.blocks[b].size) << b;
            EXPECT_EQ(l.sizes[b], r.blocks[b].size) << b;
            EXPECT_EQ(l.blocks[b].held, r.blocks[b].held) << b;
            EXPECT_EQ(l.blocks[b].inside, r.blocks[b].inside) << b;
        }
    }
}

TEST(PacketLayout, DeclaredCountsNeverReadPastTheBytes) {
    // 65,535 children and 65,535 blocks declared over a few bytes.
    const PacketLayout l = ReadPacketLayout(WithFlags(0x03), Bytes{0xFF, 0xFF, 1, 0, 2, 0});
    EXPECT_EQ(l.childCount, 0xFFFFu);
    EXPECT_EQ(l.children.size(), 2u);
    EXPECT_EQ(l.tableAt, 2u + 2 * 0xFFFFu);
    EXPECT_TRUE(l.blocks.empty());
    const PacketLayout m = ReadPacketLayout(WithFlags(0x02), Bytes{0xFF, 0xFF, 10, 0, 0, 0, 4, 0, 0, 0});
    EXPECT_EQ(m.blockCount, 0xFFFFu);
    EXPECT_EQ(m.sizes.size(), 1u);
}

// A packet whose first block starts two undocumented bytes after its table
// and whose second block holds a damaged byte before a valid function: the
// check's range, the detail's block offsets and the repair's cut name the
// same bytes.
TEST(PacketLayout, CheckDetailAndRepairAgreeOnTheBlocks) {
    ScopedContext c;
    DocBuilder b;
    Packet p;
    p.type = 0x6F;
    const Bytes fn = Body().Var(Func(0xD4, 0x09)).Bytes();
    p.blocks = {Body().Raw({0xB0, 0xB1}).Text("xy"), Body().Raw({0xFF}).Var(Func(0xD4, 0x09))};
    p.blockSizes = {2, static_cast<uint32_t>(1 + fn.size())};
    const uint32_t tableEnd = 6 + 2 * 4;
    p.blockTextOffset = tableEnd + 2;
    const uint16_t id = b.Add(p);
    b.body.Text("body").Var(Func(0xDF, 0x00, {id}));  // used, so that it stays
    OpenDoc doc(b.Build());
    ASSERT_NE(doc.file, nullptr);

    testsupport::RecordingList report("report");
    CheckDocument(doc.file, &report);
    const IndexEntry e = Ctx().doc.packets[id].entry;
    std::vector<InvalidRange> ranges;
    for (const InvalidRange& r : Ctx().check.ranges)
        if (r.owner == id) ranges.push_back(r);
    ASSERT_EQ(ranges.size(), 1u);

    testsupport::RecordingList detail("detail");
    DescribePacket(doc.file, id, &detail);
    const TextBlockTables& t = Ctx().describer.textBlocks;
    EXPECT_EQ(t.offset[0], e.DataOffset() + tableEnd + 2);
    EXPECT_EQ(t.offset[1], t.offset[0] + 2);
    EXPECT_EQ(t.size[1], 1 + fn.size());
    EXPECT_EQ(ranges[0].block, 1u);
    EXPECT_EQ(ranges[0].start, t.offset[1]);  // the damaged byte
    EXPECT_EQ(ranges[0].end, t.offset[1] + 1);

    class NoHost final : public RepairHost {
    public:
        std::optional<std::string> AskOutputName(const std::string&) override { return std::nullopt; }
        bool BatchRunning() const override { return false; }
        void ClearLog() override {}
        void ScrollLists() override {}
        void LoadDocument(const std::string&) override {}
    } host;
    RepairJob job = testsupport::QuietRepairJob(doc, c);
    job.findings = &c.defaultList;
    job.host = &host;
    job.repairCorruption = true;
    RepairDocument(job);
    const Bytes out = ReadFileBytes(job.outputName);
    IndexEntry cut;
    const uint32_t index = std::max<uint32_t>(16, GetU16(out, 14));
    for (size_t i = 0; i < kIndexEntrySize; ++i) cut.bytes[i] = GetU8(out, index + id * kIndexEntrySize + i);
    ASSERT_LE(uint64_t{cut.DataOffset()} + cut.DataSize(), out.size());
    const std::span<const uint8_t> data(out.data() + cut.DataOffset(), cut.DataSize());
    const PacketLayout l = ReadPacketLayout(cut, data);
    ASSERT_EQ(l.blocks.size(), 2u);
    EXPECT_EQ(l.firstBlock, tableEnd + 2);
    EXPECT_EQ(l.blocks[0].size, 2u);
    EXPECT_EQ(l.blocks[1].size, fn.size());  // the damaged byte is cut, the function stays
    EXPECT_TRUE(std::equal(fn.begin(), fn.end(), data.begin() + static_cast<ptrdiff_t>(l.blocks[1].start)));
}

}  // namespace
