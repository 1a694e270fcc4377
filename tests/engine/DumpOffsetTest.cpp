// Dump rows carry the file offset of their first byte: every row that
// carries one shows exactly the bytes the file holds there, whatever came
// before the dump; rows of bytes that are no piece of the file carry none.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "engine/TextOps.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"

namespace {

using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::Packet;
using testsupport::RecordingList;
using testsupport::ScopedContext;

// The bytes of a dump row; none for a line that is no row.
std::optional<std::vector<uint8_t>> RowBytes(const std::string& line) {
    if (line.size() < 7 + 52 || line[5] != '-') return std::nullopt;
    const std::string rest = line.substr(7);
    const size_t n = rest.size() - 51;
    if (n < 1 || n > 16) return std::nullopt;
    std::vector<uint8_t> out;
    size_t i = 0;
    for (size_t k = 0; k < n; ++k) {
        while (i < rest.size() && rest[i] == ' ') ++i;
        if (i + 1 >= rest.size()) return std::nullopt;
        out.push_back(static_cast<uint8_t>(std::stoul(rest.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return out;
}

// Counts the rows with an offset; fails on one whose bytes differ from the file's.
size_t CheckRows(const RecordingList& list, const std::vector<uint8_t>& file) {
    size_t placed = 0;
    for (const auto& line : list.lines) {
        if (line.fileOffset == engine::kNoFileOffset) continue;
        const auto bytes = RowBytes(line.text);
        EXPECT_TRUE(bytes.has_value()) << "an offset on a line that is no row: " << line.text;
        if (!bytes) continue;
        ++placed;
        const auto at = static_cast<size_t>(line.fileOffset);
        EXPECT_LE(at + bytes->size(), file.size()) << line.text;
        if (at + bytes->size() > file.size()) continue;
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + static_cast<long>(at),
                                       file.begin() + static_cast<long>(at + bytes->size())),
                  *bytes)
            << "row at 0x" << std::hex << at << ": " << line.text;
    }
    return placed;
}

// A packet with children (one of them out of range, so findings precede
// the dump), a packet with two text blocks, a long payload and a body with
// text runs, single-byte codes and functions.
DocBuilder Rich(uint16_t indexOffset, bool extended) {
    DocBuilder b;
    b.header.indexOffset = indexOffset;
    b.header.extended = extended;
    Packet font;
    font.type = 0x20;
    font.payload = std::vector<uint8_t>(40, 0x5A);
    const uint16_t fontId = b.Add(font);
    Packet parent;
    parent.type = 0x01;
    parent.children = {fontId, 0x7777};
    parent.payload = std::vector<uint8_t>(37, 0x33);
    b.Add(parent);
    Packet blocks;
    blocks.type = 0x01;
    testsupport::Body one, two;
    one.Text("First block text of some length to span rows").Code(0x0A);
    two.Text("Second");
    blocks.blocks = {one, two};
    b.Add(blocks);
    // A run longer than the cut length is listed (and dumped) in pieces.
    b.body.Text("Hello").Code(0x0A).Text(std::string(150, 'x')).Var(Func(0xD4, 0x06, {fontId}));
    b.body.Var(Func(0xD4, 0x1A, {}, std::vector<uint8_t>(21, 0x44))).Fixed({0xF2, 0x0C, 0xF2}).Text("End");
    return b;
}

struct Layout {
    const char* what;
    uint16_t indexOffset;
    bool extended;
};

class DumpOffsets : public ::testing::TestWithParam<Layout> {};

TEST_P(DumpOffsets, EveryPlacedRowShowsTheFileBytesThere) {
    const Layout& l = GetParam();
    ScopedContext ctx;
    const DocBuilder b = Rich(l.indexOffset, l.extended);
    const std::vector<uint8_t> built = b.Build();
    testsupport::OpenDoc doc(built);
    ASSERT_NE(doc.file, nullptr) << doc.verdict;
    const std::vector<uint8_t> file = testsupport::ReadFileBytes(doc.path);
    engine::Ctx().sink.defaultList = nullptr;

    // Packets in hex: index entry and data rows, findings before the data.
    RecordingList packets("detail");
    engine::ShowPacketDetail(doc.file, &packets, -1, engine::kModeHex, nullptr);
    const size_t packetRows = CheckRows(packets, file);
    EXPECT_GE(packetRows, 8u);
    const uint32_t index = engine::Ctx().doc.header.IndexPosition();
    EXPECT_EQ(index, l.indexOffset < 17 ? 16u : l.indexOffset);
    for (uint32_t id = 0; id < 4; ++id) {
        bool found = false;
        for (const auto& line : packets.lines) found |= line.fileOffset == int64_t{index} + id * 14;
        EXPECT_TRUE(found) << "no index entry row for packet " << id;
    }
    for (const auto& line : packets.lines) EXPECT_TRUE(line.fileOffset < 0 || line.fileOffset >= 16) << line.text;

    // Packets decoded: the text blocks are dumped where they lie.
    RecordingList decoded("detail");
    engine::ShowPacketDetail(doc.file, &decoded, -1, engine::kModeDecoded, nullptr);
    EXPECT_GE(CheckRows(decoded, file), 4u);

    // Every code in hex and decoded.
    RecordingList codes("list");
    engine::ListDocumentCodes(doc.file, &codes, engine::kModeDecoded, 0xFFFFFFFF, 0xFFFFFFFF, 0x7FFFFFFF);
    ASSERT_GE(codes.Size(), 4u);
    size_t codeRows = 0;
    for (int mode : {engine::kModeHex, engine::kModeDecoded}) {
        for (const auto& line : codes.lines) {
            RecordingList detail("detail");
            engine::Ctx().describer.currentTarget = &detail;
            engine::DescribeCodeAt(doc.file, &detail, line.tag, mode, 0x7FFFFFFF);
            codeRows += CheckRows(detail, file);
            engine::Ctx().describer.currentTarget = nullptr;
        }
    }
    EXPECT_GE(codeRows, 20u);
    // Nothing is left behind for the next dump.
    EXPECT_EQ(engine::Ctx().sink.dumpOrigin.data, nullptr);
    EXPECT_EQ(engine::Ctx().sink.nextLineOffset, engine::kNoFileOffset);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DumpOffsets,
                         ::testing::Values(Layout{"index offset 0", 0, false},
                                           Layout{"index offset 16", 16, false},
                                           Layout{"extended header", 28, true}));

TEST(DumpOffsets, BytesOutsideTheOriginCarryNone) {
    ScopedContext ctx;
    std::vector<uint8_t> file(64, 0x11), copy(20, 0x22);
    {
        const engine::DumpOriginScope origin(file, 1000);
        engine::HexDump(20, std::span<const uint8_t>(file).subspan(8, 20), &ctx.list);
        engine::HexDump(20, copy, &ctx.list);
        // Past the origin's end.
        engine::HexDump(20, std::span<const uint8_t>(file).subspan(50, 14), &ctx.list);
    }
    ASSERT_EQ(ctx.list.lines.size(), 5u);
    EXPECT_EQ(ctx.list.lines[0].fileOffset, 1008);
    EXPECT_EQ(ctx.list.lines[1].fileOffset, 1024);
    EXPECT_EQ(ctx.list.lines[2].fileOffset, engine::kNoFileOffset);
    EXPECT_EQ(ctx.list.lines[3].fileOffset, engine::kNoFileOffset);
    EXPECT_EQ(ctx.list.lines[4].text, "Invalid data size!");
    EXPECT_EQ(ctx.list.lines[4].fileOffset, engine::kNoFileOffset);
}

}  // namespace
