// The describers' readers and line primitives at the edges of their bytes,
// the dispatch tables, and the packet and function-data details with their
// fallbacks when no describer is there.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/Check.h"
#include "engine/Describe.h"
#include "engine/Describer.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"

using namespace engine;
using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::OpenDoc;
using testsupport::Packet;
using testsupport::ScopedContext;

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

// Puts `bytes` under the cursor at `at`, with the detail list as target.
void Over(ScopedContext& c, const Bytes& bytes, uint32_t at = 0) {
    DescriberContext& d = Ctx().describer;
    d.packet = bytes;
    d.base = d.packet;
    d.cursor = at;
    d.currentTarget = &c.detail;
}

// The lines of a dump of exactly `b`.
Lines Dumped(const Bytes& b) {
    testsupport::RecordingList scratch("scratch");
    HexDump(static_cast<int64_t>(b.size()), b, &scratch);
    return scratch.Texts();
}

Lines Join(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Range(size_t n, uint8_t from = 1) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(from + i);
    return b;
}

// Two-byte characters of `text`.
Bytes Wide(const std::string& text, bool terminated) {
    Bytes b;
    for (char ch : text) {
        b.push_back(static_cast<uint8_t>(ch));
        b.push_back(0);
    }
    if (terminated) b.insert(b.end(), {0, 0});
    return b;
}

}  // namespace

// ---- Readers ----------------------------------------------------------------

TEST(DescriberReaders, ReadAndAdvanceAndYieldZeroPastTheEnd) {
    enum Width { B = 1, W = 2, DW = 4 };
    struct Row {
        const char* what;
        uint32_t at;
        Width width;
        uint32_t value;
    };
    const Bytes bytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    const Row rows[] = {
        {"byte at start", 0, B, 0x11},
        {"last byte", 5, B, 0x66},
        {"byte just past the end", 6, B, 0},
        {"word inside", 1, W, 0x3322},
        {"word with its high byte past the end", 5, W, 0x0066},
        {"dword inside", 2, DW, 0x66554433},
        {"dword with two bytes past the end", 4, DW, 0x00006655},
        {"dword far past the end", 0xFFFFFFF0, DW, 0},
        {"dword whose end wraps the cursor", 0xFFFFFFFE, DW, 0},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Over(c, bytes, r.at);
        uint32_t v = 0;
        switch (r.width) {
            case B: v = ReadFieldByte(); break;
            case W: v = ReadFieldWord(); break;
            case DW: v = ReadFieldDword(); break;
        }
        EXPECT_EQ(v, r.value) << r.what;
        EXPECT_EQ(Ctx().describer.cursor, r.at + r.width) << r.what;
    }
}

TEST(DescriberReaders, TestBit) {
    EXPECT_EQ(TestBit(0x80000001u, 0), 1u);
    EXPECT_EQ(TestBit(0x80000001u, 31), 0x80000000u);
    EXPECT_EQ(TestBit(0x80000001u, 1), 0u);
}

// ---- Field lines ------------------------------------------------------------

TEST(DescriberFields, EachShapeReadsItsWidthAndPrintsOneLine) {
    ScopedContext c;
    Over(c, {0xFE, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xF6, 0xFF, 1, 2, 3, 4});
    EXPECT_EQ(ShowByteField("Levels Used %d"), 0xFE);
    EXPECT_EQ(ShowWordField("Style hash: 0x%04X"), 0x1234);
    EXPECT_EQ(ShowDwordField("Dup name counter = 0x%08X"), 0x12345678u);
    EXPECT_EQ(ShowWordPair("Horz Offset  = 0x%04X (%d)"), 0xFFF6);
    ShowRgbsField("Border Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    ShowByteField("past the end 0x%02X");
    EXPECT_EQ(c.detail.Texts(),
              (Lines{"Levels Used 254", "Style hash: 0x1234", "Dup name counter = 0x12345678",
                     "Horz Offset  = 0xFFF6 (-10)",
                     "Border Color RGBS( 0x01, 0x02, 0x03, 0x04)", "past the end 0x00"}));
    EXPECT_EQ(Ctx().describer.cursor, 14u);
}

TEST(DescriberFields, LinesAreSilentWhileTheStopValueIsSet) {
    ScopedContext c;
    Over(c, {0x05});
    Ctx().sink.stopValue = -1;
    EXPECT_EQ(ShowByteField("x %d"), 5);
    EXPECT_TRUE(c.detail.Texts().empty());
}

// ---- Dumps ------------------------------------------------------------------

TEST(DescriberDumps, HexDumpFieldBounds) {
    const Bytes held = Range(40);
    struct Row {
        const char* what;
        uint32_t at;
        int32_t length;
        Bytes dumped;
        uint32_t cursorAfter;
    };
    const Row rows[] = {
        {"inside", 4, 8, Bytes(held.begin() + 4, held.begin() + 12), 12},
        {"zero length", 4, 0, {}, 4},
        {"negative length moves the cursor back", 20, -8, {}, 12},
        {"running past the bytes held dumps those held", 30, 100, Bytes(held.begin() + 30, held.end()), 130},
        {"cursor past the bytes held", 50, 16, {}, 66},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Over(c, held, r.at);
        HexDumpField("Render data:", r.length);
        EXPECT_EQ(c.detail.Texts(), Join({{" ", "Render data:"}, Dumped(r.dumped), {" "}})) << r.what;
        EXPECT_EQ(Ctx().describer.cursor, r.cursorAfter) << r.what;
    }
}

TEST(DescriberDumps, HexDumpFieldShowsAtMost10240BytesButSkipsTheWholeLength) {
    ScopedContext c;
    const Bytes held = Range(12000);
    Over(c, held, 0);
    HexDumpField("USER-ASSISTANT Binary Information in HEX", 11000);
    const Bytes first(held.begin(), held.begin() + 10240);
    EXPECT_EQ(c.detail.Texts(),
              Join({{" ", "USER-ASSISTANT Binary Information in HEX"}, Dumped(first), {" "}}));
    EXPECT_EQ(Ctx().describer.cursor, 11000u);
}

TEST(DescriberDumps, TextBlockCaptionsNavigateForBlocks0To23Only) {
    struct Row {
        uint16_t block;
        uint32_t tag;
    };
    const Row rows[] = {{0, 0x10000007}, {23, 0x10170007}, {24, 0}};
    for (const Row& r : rows) {
        ScopedContext c;
        const Bytes held = Range(20);
        Over(c, held, 6);
        PacketEntry pe;
        pe.entry.bytes[10] = 0x00;  // data offset 0x1000
        pe.entry.bytes[11] = 0x10;
        HexDumpTextBlock("Text Block data:", 10, r.block, pe, 7);
        EXPECT_EQ(c.detail.Texts(),
                  Join({{" ", "Text Block data:"}, Dumped(Bytes(held.begin() + 6, held.begin() + 16)), {" "}}))
            << r.block;
        EXPECT_EQ(c.detail.Tag(1), r.tag) << r.block;
        EXPECT_EQ(Ctx().describer.cursor, 16u);
        const TextBlockTables& t = Ctx().describer.textBlocks;
        if (r.block < kNavigableTextBlocks) {
            EXPECT_EQ(t.size[r.block], 10u);
            EXPECT_EQ(t.offset[r.block], 0x1006u);
        } else {
            for (size_t i = 0; i < kNavigableTextBlocks; ++i) EXPECT_EQ(t.size[i], 0u) << i;
        }
    }
}

TEST(DescriberDumps, ATextBlockPastTheBytesHeldDumpsWhatIsThere) {
    ScopedContext c;
    const Bytes held = Range(8);
    Over(c, held, 4);
    PacketEntry pe;
    HexDumpTextBlock("Text Block data:", 0x10000, 2, pe, 1);
    EXPECT_EQ(c.detail.Texts(), Join({{" ", "Text Block data:"}, Dumped(Bytes(held.begin() + 4, held.end())), {" "}}));
    EXPECT_EQ(Ctx().describer.cursor, 0x10004u);
    EXPECT_EQ(Ctx().describer.textBlocks.size[2], 0x10000u);
}

TEST(DescriberDumps, DeletableDataUpToTheTrailer) {
    struct Row {
        const char* what;
        uint16_t size;
        uint32_t at;
        bool dumped;
    };
    const Row rows[] = {
        {"bytes before the trailer", 16, 9, true},
        {"cursor at the trailer", 16, 13, false},
        {"cursor past the trailer", 16, 15, false},
        {"size below the trailer's", 2, 0, false},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Bytes fn = Range(16);
        fn[2] = static_cast<uint8_t>(r.size);
        fn[3] = 0;
        Over(c, fn, r.at);
        Ctx().describer.function = Ctx().describer.base;
        ShowDeletableData();
        const Lines expected =
            r.dumped ? Join({{" ", "Deletable data."}, Dumped(Bytes(fn.begin() + r.at, fn.begin() + 13)), {" "}})
                     : Lines{};
        EXPECT_EQ(c.detail.Texts(), expected) << r.what;
    }
}

// ---- Characters -------------------------------------------------------------

TEST(DescriberCharacters, CharField) {
    struct Row {
        const char* what;
        std::string caption;
        Bytes bytes;
        uint16_t length;
        std::string line;
        uint32_t cursorAfter;
    };
    const std::string long250(250, 'c');
    const Row rows[] = {
        {"whole field", "Style Name: ", Wide("Box", false), 6, "Style Name: Box", 6},
        {"odd length drops the half character", "N: ", Wide("Box", false), 5, "N: Bo", 4},
        {"high bytes are not shown", "N: ", {'A', 0x30, 'B', 0x31}, 4, "N: AB", 4},
        {"a zero character ends what is shown", "N: ", {'A', 0, 0, 0, 'B', 0}, 6, "N: A", 6},
        {"past the bytes held reads zero", "N: ", Wide("AB", false), 10, "N: AB", 10},
        {"the line stops at 255 characters", long250, Wide("abcdefghij", false), 20, long250 + "abcde", 10},
        {"a caption of 255 reads nothing", std::string(255, 'c'), Wide("ab", false), 4, std::string(255, 'c'), 0},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Over(c, r.bytes);
        ShowCharField(r.length, r.caption.c_str());
        EXPECT_EQ(c.detail.Texts(), Lines{r.line}) << r.what;
        EXPECT_EQ(Ctx().describer.cursor, r.cursorAfter) << r.what;
    }
}

TEST(DescriberCharacters, CharString) {
    struct Row {
        const char* what;
        Bytes bytes;
        int16_t maximum;
        std::string line;
        int result;
        uint32_t cursorAfter;
    };
    const Row rows[] = {
        {"ends at the zero character, which is read", Wide("Note", true), 512, "Filename: Note", 4, 10},
        {"ends at the maximum", Wide("Note", true), 2, "Filename: No", 2, 4},
        {"an empty string reads its zero", Wide("", true), 512, "Filename: ", 0, 2},
        {"a maximum of 0 still reads one", Wide("Note", true), 0, "Filename: N", 1, 2},
        {"a negative maximum still reads one", Wide("Note", true), -5, "Filename: N", 1, 2},
        {"the end of the bytes held ends it", Wide("Ab", false), 512, "Filename: Ab", 2, 6},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Over(c, r.bytes);
        EXPECT_EQ(ShowCharString("Filename: ", r.maximum), r.result) << r.what;
        EXPECT_EQ(c.detail.Texts(), Lines{r.line}) << r.what;
        EXPECT_EQ(Ctx().describer.cursor, r.cursorAfter) << r.what;
    }
}

TEST(DescriberCharacters, CharStringLineStopsAt511Characters) {
    ScopedContext c;
    const std::string text(600, 'x');
    Over(c, Wide(text, true));
    EXPECT_EQ(ShowCharString("Bookmark name: ", 0x7FFF), 511 - 15);
    EXPECT_EQ(c.detail.Texts(), Lines{"Bookmark name: " + std::string(511 - 15, 'x')});
    EXPECT_EQ(Ctx().describer.cursor, 2u * (511 - 15));
}

// ---- Tables -----------------------------------------------------------------

TEST(DescriberTables, PacketDescribersByType) {
    using P = PacketDescriberId;
    ASSERT_EQ(PacketDescribers().size(), 128u);
    const struct {
        uint32_t type;
        P id;
    } rows[] = {
        {0x00, P::None},         {0x07, P::Filename},     {0x08, P::Text},        {0x09, P::Bookmark},
        {0x0A, P::None},         {0x11, P::CounterStyle}, {0x12, P::Summary},     {0x1C, P::Text},
        {0x25, P::InitialFont},  {0x2C, P::Summary},      {0x30, P::Style},       {0x3F, P::LongFilename},
        {0x41, P::BoxStyle},     {0x42, P::LineStyle},    {0x43, P::FillStyle},   {0x44, P::BorderStyle},
        {0x45, P::CounterStyle}, {0x4C, P::BoxGroup},     {0x55, P::DesiredFont}, {0x59, P::Filename},
        {0x5B, P::ObjectName},   {0x5C, P::ObjectList},   {0x5D, P::AssistantData},
        {0x64, P::EquationBox},  {0x6F, P::None},         {0x7F, P::None},        {0x80, P::None},
        {0xFF, P::None},
    };
    for (const auto& r : rows) EXPECT_EQ(PacketDescriberOf(r.type), r.id) << std::hex << r.type;
    size_t filenames = 0;
    for (P id : PacketDescribers()) filenames += id == P::Filename;
    EXPECT_EQ(filenames, 13u);
}

TEST(DescriberTables, FunctionGroupsAndTheirListLengths) {
    const size_t lengths[] = {11, 32, 4, 27, 104, 3, 1, 11, 3, 5, 6, 3, 3, 12, 3, 4, 3, 2, 13};
    const auto groups = FunctionDescribers();
    ASSERT_EQ(groups.size(), std::size(lengths));
    for (size_t g = 0; g < groups.size(); ++g) EXPECT_EQ(groups[g].size(), lengths[g]) << std::hex << 0xD0 + g;
}

TEST(DescriberTables, FunctionDescribersByGroupAndSubfunction) {
    using F = FunctionDescriberId;
    const struct {
        uint32_t group, sub;
        F id;
    } rows[] = {
        {0xCF, 0, F::None},
        {0xD0, 0, F::None},
        {0xD1, 0, F::NewWordValue},
        {0xD1, 2, F::SuppressFlags},
        {0xD1, 3, F::None},
        {0xD1, 16, F::BorderFunction},
        {0xD1, 31, F::NewWordValue},
        {0xD1, 32, F::None},  // past the list
        {0xD3, 15, F::BorderFunction},
        {0xD3, 23, F::DropCap},
        {0xD4, 42, F::TableDefinition},
        {0xD4, 44, F::ColumnDefinition},
        {0xD4, 95, F::ProofingLevel},
        {0xD4, 97, F::TabRegion},
        {0xD4, 103, F::None},
        {0xD4, 104, F::None},
        {0xDD, 10, F::StyleReference},
        {0xDD, 11, F::NoDeletableData},
        {0xDD, 12, F::None},
        {0xDF, 2, F::BoxFunction},
        {0xDF, 3, F::RulePosition},
        {0xE2, 0, F::MarginChange},
        {0xE2, 10, F::DelayCodes},
        {0xE2, 12, F::None},
        {0xE3, 0, F::None},
        {0xEF, 0, F::None},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FunctionDescriberOf(r.group, r.sub), r.id) << std::hex << r.group << " " << r.sub;
}

// ---- Function data ----------------------------------------------------------

namespace {

// A describer standing in for one not built yet: records where the cursor
// stood and the bytes it was handed.
struct Seen {
    int calls = 0;
    uint32_t cursor = 0;
    size_t bytes = 0;
};
Seen seen;

void RecordFunction(std::span<const uint8_t> function) {
    ++seen.calls;
    seen.cursor = Ctx().describer.cursor;
    seen.bytes = function.size();
    PrintLine(Ctx().describer.currentTarget, "described");
}

void RecordPacket(const PacketEntry&, uint32_t) {
    ++seen.calls;
    seen.cursor = Ctx().describer.cursor;
    PrintLine(Ctx().describer.currentTarget, "described");
}

std::array<FunctionDescriber, static_cast<size_t>(FunctionDescriberId::Count)> functionOps{};
std::array<PacketDescriber, static_cast<size_t>(PacketDescriberId::Count)> packetOps{};

// Every describer recorded.
DescriberBindings Recording() {
    seen = Seen{};
    functionOps.fill(&RecordFunction);
    packetOps.fill(&RecordPacket);
    return {packetOps, functionOps};
}

}  // namespace

TEST(DescribeFunctionData, NoDescriberDumpsTheWholeFunction) {
    struct Row {
        const char* what;
        uint8_t group, sub;
    };
    const Row rows[] = {
        {"a row that is none", 0xD1, 3},
        {"a subfunction past its group's list", 0xD4, 104},
        {"a group past the table", 0xE3, 0},
        {"a describer not built yet", 0xD1, 0},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Ctx().describer.currentTarget = &c.detail;
        const Bytes fn = Func(r.group, r.sub, {}, {0x34, 0x12}, {9}).Bytes();
        DescribeFunctionData(r.group, r.sub, fn);
        EXPECT_EQ(c.detail.Texts(), Join({{"Size of Non-Deleteable Data: 0x0002", " "}, Dumped(fn)})) << r.what;
        EXPECT_EQ(Ctx().describer.nonDeletableSize, 2) << r.what;
    }
}

TEST(DescribeFunctionData, ADescriberStartsAfterTheNonDeletableSize) {
    ScopedContext c;
    Ctx().describer.currentTarget = &c.detail;
    const DescriberBindings with = Recording();
    const Bytes fn = Func(0xDF, 0, {}, {1, 2, 3, 4}).Bytes();
    DescribeFunctionData(0xDF, 0, fn, with);
    EXPECT_EQ(c.detail.Texts(), (Lines{"Size of Non-Deleteable Data: 0x0004", " ", "described"}));
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.cursor, 7u);
    EXPECT_EQ(seen.bytes, fn.size());

    // A pair without a row is dumped even when every describer is there.
    c.detail.lines.clear();
    DescribeFunctionData(0xD1, 3, fn, with);
    EXPECT_EQ(seen.calls, 1);
}

TEST(DescribeFunctionData, PrefixIdsAreSkippedExceptInGroupD0) {
    struct Row {
        uint8_t group;
        uint32_t sizeAt;
    };
    for (const Row& r : {Row{0xD4, 12}, Row{0xD0, 5}}) {
        ScopedContext c;
        Ctx().describer.currentTarget = &c.detail;
        // Flags 0x80, three ids, then the non-deletable size word.
        Bytes fn{r.group, 0, 17, 0, 0x80, 3, 1, 0, 2, 0, 3, 0, 0xCD, 0xAB, 17, 0, r.group};
        DescribeFunctionData(r.group, 0, fn);
        const uint16_t word = GetU16(fn, r.sizeAt);
        EXPECT_EQ(Ctx().describer.nonDeletableSize, word) << std::hex << int(r.group);
        EXPECT_EQ(Ctx().describer.cursor, r.sizeAt + 2) << std::hex << int(r.group);
    }
}

TEST(DescribeFunctionData, AnIdCountPastTheFunctionReadsNothingOutsideIt) {
    ScopedContext c;
    Ctx().describer.currentTarget = &c.detail;
    const Bytes fn{0xD4, 0x2A, 8, 0, 0x80, 0xFF, 8, 0};
    DescribeFunctionData(0xD4, 0x2A, fn);
    EXPECT_EQ(c.detail.Text(0), "Size of Non-Deleteable Data: 0x0000");
}

// ---- Packets ----------------------------------------------------------------

namespace {

// A document open as the engine's, with its index read; the detail of a
// packet goes to the context's detail list.
class PacketDetail : public ::testing::Test {
protected:
    void Open(const DocBuilder& b) {
        doc_ = std::make_unique<OpenDoc>(b.Build());
        ASSERT_NE(doc_->file, nullptr);
        ASSERT_EQ(ReadIndex(doc_->file, nullptr), 0);
    }
    Lines Show(uint16_t id, const DescriberBindings& with = BuiltDescribers()) {
        c.detail.lines.clear();
        DescribePacket(doc_->file, id, &c.detail, with);
        return c.detail.Texts();
    }
    uint32_t TagOf(const std::string& text) const {
        for (const auto& l : c.detail.lines)
            if (l.text == text) return l.tag;
        return 0xDEADBEEF;
    }

    ScopedContext c;
    std::unique_ptr<OpenDoc> doc_;
};

Packet WithPayload(uint8_t type, Bytes payload) {
    Packet p;
    p.type = type;
    p.payload = std::move(payload);
    return p;
}

const char* const kHexCaption = "<<<No ASCII display, using HEX display>>>";

}  // namespace

TEST_F(PacketDetail, TheIndexHeaderReadsNothing) {
    DocBuilder b;
    b.Add(WithPayload(0x22, {1}));
    Open(b);
    c.detail.lines.clear();
    DescribePacket(nullptr, 0, &c.detail);
    EXPECT_EQ(c.detail.Texts(), (Lines{"Header Packet", "Total packet count = 0x2"}));
}

TEST_F(PacketDetail, WithoutChildrenOrDescriberTheDataIsDumped) {
    DocBuilder b;
    b.Add(WithPayload(0x22, {1, 2, 3}));
    b.Add(WithPayload(0x90, {4, 5}));  // no describer at or above 0x80
    Open(b);
    EXPECT_EQ(Show(1), Join({{"No Child Packets", " ", " ", kHexCaption}, Dumped({1, 2, 3}), {" "}}));
    EXPECT_EQ(Show(2, Recording()), Join({{"No Child Packets", " ", " ", kHexCaption}, Dumped({4, 5}), {" "}}));
    EXPECT_EQ(seen.calls, 0);
}

TEST_F(PacketDetail, InvalidLengthShowsNoData) {
    DocBuilder b;
    b.Add(WithPayload(0x22, {1, 2, 3}));
    b.At(1).size = 0xFFFFFFFF;
    Open(b);
    EXPECT_EQ(Show(1), Lines{"Invalid length, no data displayed"});
}

TEST_F(PacketDetail, PacketsAbove65535BytesShowTheirFirst4096) {
    for (uint32_t size : {65535u, 65536u}) {
        SCOPED_TRACE(size);
        DocBuilder b;
        const Bytes data = Range(size);
        b.Add(WithPayload(0x22, data));
        Open(b);
        const Lines shown = Show(1);
        if (size == 65535) {
            EXPECT_EQ(shown, Join({{"No Child Packets", " ", " ", kHexCaption},
                                   Dumped(Bytes(data.begin(), data.begin() + 10240)), {" "}}));
        } else {
            EXPECT_EQ(shown, Join({{"WARNING, packet not displayed, greater that 65535 bytes", " ",
                                    "Following is first 4096 bytes"},
                                   Dumped(Bytes(data.begin(), data.begin() + 4096)), {" "}}));
        }
        doc_.reset();
    }
}

TEST_F(PacketDetail, ChildrenAreListedWithTheirTypesAndTags) {
    DocBuilder b;
    const uint16_t font = b.Add(WithPayload(0x22, {1}));
    Packet parent;
    parent.type = 0x90;
    parent.children = {font, 0};
    const uint16_t id = b.Add(parent);
    Open(b);
    const Lines shown = Show(id);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0], "  # of child ID's: 0x0002");
    EXPECT_EQ(shown[1], "    ID of child 0: 0x0001 (Font List (6.0))");
    EXPECT_EQ(shown[2], "    ID of child 1: 0x0000");
    EXPECT_EQ(TagOf(shown[1]), 0x20000001u);
    EXPECT_EQ(TagOf(shown[2]), 0x20000000u);
}

TEST_F(PacketDetail, AChildAtTheEntryCountEndsTheDetail) {
    DocBuilder b;
    Packet p;
    p.type = 0x08;
    p.children = {2, 1};  // entry count 2: id 2 is outside the index
    p.payload = {1, 2, 3};
    b.Add(p);
    Open(b);
    EXPECT_EQ(Show(1, Recording()), (Lines{"  # of child ID's: 0x0002", "TOO many child packets"}));
    EXPECT_EQ(TagOf("TOO many child packets"), 0x20000001u);
    EXPECT_EQ(seen.calls, 0);
    EXPECT_EQ(Ctx().check.otherFindings, 0);  // a detail outside a check counts nothing

    {
        SinkSwitches checking;
        checking.defaultList = SilentTarget();
        OperationScope check(Operation::CheckCount, checking);
        Show(1);
    }
    EXPECT_EQ(Ctx().check.otherFindings, 1);
}

TEST_F(PacketDetail, AChildCountPastTheDataStopsAtItsEnd) {
    DocBuilder b;
    Packet p;
    p.type = 0x90;
    p.childCount = 0xFFFF;
    p.children = {0};
    b.Add(p);
    Open(b);
    const Lines shown = Show(1);
    EXPECT_EQ(shown, (Lines{"  # of child ID's: 0xFFFF", "    ID of child 0: 0x0000",
                            "Too many child packets or packet size is too small.", " ", " ", kHexCaption,
                            " "}));
}

TEST_F(PacketDetail, WhileTheCheckBooksChildrenAreBookedNotListed) {
    DocBuilder b;
    const uint16_t font = b.Add(WithPayload(0x22, {1}));
    Packet parent;
    parent.type = 0x90;
    parent.children = {font, 0};
    const uint16_t id = b.Add(parent);
    Open(b);
    auto& packets = Ctx().doc.packets;
    packets[font].firstRefSlot = 0;
    packets[font].countedUses = 1;
    Ctx().check.refs.assign(1, PacketRef{});
    // The lines stay on (stop value 0) to show what is not booked.
    OperationScope booking(Operation::CheckBook);
    const Lines shown = Show(id);
    EXPECT_EQ(shown[1], "    ID of child 1: 0x0000");  // child 0 is never booked
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "    ID of child 0: 0x0001 (Font List (6.0))"),
              0);
    EXPECT_EQ(Ctx().check.refs[0].kind, kRefChildList);
    EXPECT_EQ(Ctx().check.refs[0].referencing, id);
    EXPECT_EQ(Ctx().check.refs[0].referenced, font);
}

TEST_F(PacketDetail, TextBlocksWithoutADescriberGetTheGenericDisplay) {
    DocBuilder b;
    Packet p;
    p.type = 0x6F;  // text blocks, no describer
    p.children = {0};
    p.blocks = {testsupport::Body().Text("Hi"), testsupport::Body().Text("abc")};
    const uint16_t id = b.Add(p);
    Open(b);
    const Lines shown = Show(id);
    const Lines expected = Join({{"  # of child ID's: 0x0001", "    ID of child 0: 0x0000", "Display of text packets",
                                  "# of text blocks: 0x0002", "offset to first text block: 0x00000012",
                                  "size of text block : 0x00000002", "size of text block : 0x00000003",
                                  " ", "Text Block data:"},
                                 Dumped({'H', 'i'}),
                                 {" ", " ", "Text Block data:"},
                                 Dumped({'a', 'b', 'c'}),
                                 {" "}});
    EXPECT_EQ(shown, expected);  // neither BEFORE nor AFTER
    const uint32_t offset = Ctx().doc.packets[id].entry.DataOffset();
    const TextBlockTables& t = Ctx().describer.textBlocks;
    EXPECT_EQ(t.size[0], 2u);
    EXPECT_EQ(t.offset[0], offset + 0x12);
    EXPECT_EQ(t.size[1], 3u);
    EXPECT_EQ(t.offset[1], offset + 0x14);
    EXPECT_EQ(TagOf("Text Block data:"), 0x10000000u | id);
}

TEST_F(PacketDetail, TextBlocksAroundUndocumentedData) {
    DocBuilder b;
    Packet p;
    p.type = 0x6F;
    // The table ends at 10; two undocumented bytes lie before the block at
    // 12 and one after it.
    p.blocks = {testsupport::Body().Raw({0xB0, 0xB1})};
    p.blockTextOffset = 12;
    p.payload = {'H', 'i', 0xEE};
    const uint16_t id = b.Add(p);
    Open(b);
    const Lines shown = Show(id);
    const Lines expected = Join({{"No Child Packets", "Display of text packets", "# of text blocks: 0x0001",
                                  "offset to first text block: 0x0000000C", "size of text block : 0x00000002",
                                  " ", "Undocumentated data BEFORE text data"},
                                 Dumped({0xB0, 0xB1}),
                                 {" ", " ", "Text Block data:"},
                                 Dumped({'H', 'i'}),
                                 {" ", " ", "Undocumentated data AFTER text data"},
                                 Dumped({0xEE}),
                                 {" "}});
    EXPECT_EQ(shown, expected);
}

TEST_F(PacketDetail, AFirstBlockOffsetBeyondThePacketEndsTheDetail) {
    DocBuilder b;
    Packet p;
    p.type = 0x6F;
    p.blocks = {testsupport::Body().Text("Hi")};
    p.blockTextOffset = 0x40;
    const uint16_t id = b.Add(p);
    Open(b);
    const std::string error = "ERROR. Prefix ID 0x01. 1st Text block offset beyond prefix size";
    EXPECT_EQ(Show(id), (Lines{"No Child Packets", "Display of text packets", "# of text blocks: 0x0001",
                               "offset to first text block: 0x00000040", error}));
    EXPECT_EQ(TagOf(error), 0x20000001u);
}

TEST_F(PacketDetail, ABlockCountPastTheDataShowsOnlyTheSizesThere) {
    DocBuilder b;
    Packet p;
    p.type = 0x6F;
    p.blocks = {testsupport::Body().Text("Hi")};
    p.blockCount = 0xFFFF;
    const uint16_t id = b.Add(p);
    Open(b);
    // One size word, then the block's two bytes: too few for a second word.
    EXPECT_EQ(Show(id), Join({{"No Child Packets", "Display of text packets", "# of text blocks: 0xFFFF",
                               "offset to first text block: 0x0000000A", "size of text block : 0x00000002",
                               " ", "Text Block data:"},
                              Dumped({'H', 'i'}),
                              {" "}}));
}

TEST_F(PacketDetail, ATypeWithADescriberGetsItAfterTheChildList) {
    DocBuilder b;
    Packet p;
    p.type = 0x08;  // text blocks and a describer
    p.children = {0};
    p.blocks = {testsupport::Body().Text("Hi")};
    const uint16_t id = b.Add(p);
    Open(b);
    EXPECT_EQ(Show(id, Recording()), (Lines{"  # of child ID's: 0x0001", "    ID of child 0: 0x0000", " ", "described"}));
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.cursor, 4u);
    // Without its describer built, the generic text-block display.
    EXPECT_EQ(Show(id)[2], "Display of text packets");
}

TEST_F(PacketDetail, TheDescriberTargetIsTheCallersListForTheDetailOnly) {
    DocBuilder b;
    b.Add(WithPayload(0x22, {1}));
    Open(b);
    testsupport::RecordingList other("other");
    Ctx().describer.currentTarget = &other;
    Show(1);
    EXPECT_EQ(Ctx().describer.currentTarget, &other);
    EXPECT_TRUE(other.lines.empty());
    EXPECT_FALSE(c.detail.lines.empty());
}
