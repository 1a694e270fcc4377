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
#include "engine/DescriberFunctions.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
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
using testsupport::VarFunc;

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
        EXPECT_EQ(Ctx().describer.cursor, int64_t{r.at} + r.width) << r.what;
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
        // A cut line still moves the cursor over the whole field.
        {"the line stops at 255 characters", long250, Wide("abcdefghij", false), 20, long250 + "abcde", 20},
        {"a caption of 255 shows no character", std::string(255, 'c'), Wide("ab", false), 4, std::string(255, 'c'), 4},
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

// ---- Vocabulary ---------------------------------------------------------------

namespace {

constexpr auto kCornerRows = IndexedNames({"None", "Top-Left", "", "Bottom-Right"});
constexpr NameTable kCorners{"TestCorners", kCornerRows};
constexpr NameRow kFlagRows[] = {{4, "Paired, "}, {5, "In Substructure, "}, {7, "Deleted "}};
constexpr NameTable kFlags{"TestFlags", kFlagRows};

static_assert(detail::CountConversions("  Tag ID: 0x%04X  (%s)").valid);
static_assert(!detail::CountConversions("%s then 0x%04X").valid);  // a name goes last
static_assert(detail::CountConversions("Node %d:").ints == 1);
static_assert(!detail::CountConversions("bad %q").valid);

}  // namespace

TEST(DescriberVocabulary, ACursorBeforeTheStartReadsZeroUntilItIsBack) {
    ScopedContext c;
    Over(c, {0x11, 0x22, 0x33}, 0);
    Ctx().describer.cursor = -2;  // a step back from the start
    EXPECT_FALSE(CursorInside());
    EXPECT_EQ(ReadFieldWord(), 0u);
    EXPECT_TRUE(CursorInside());
    Ctx().describer.cursor = -1;
    EXPECT_EQ(ReadFieldWord(), 0x1100u);  // byte -1 reads zero, byte 0 is the high byte
    EXPECT_EQ(Ctx().describer.cursor, 1);
    SkipBytes(-3);
    EXPECT_EQ(ReadFieldDword(), 0x22110000u);
}

TEST(DescriberVocabulary, FieldRowsShowEachWidth) {
    ScopedContext c;
    Over(c, {0xFE, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xF6, 0xFF, 1, 2, 3, 4});
    static constexpr FieldRow rows[] = {
        ByteRow("Levels Used %d"),
        WordRow("Style hash: 0x%04X"),
        DwordRow("Dup name counter = 0x%08X"),
        PairRow("  Data Width     = 0x%04X (%d)"),
        RgbsRow("Pen color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)"),
    };
    ShowFields(rows);
    EXPECT_EQ(c.detail.Texts(),
              (Lines{"Levels Used 254", "Style hash: 0x1234", "Dup name counter = 0x12345678",
                     "  Data Width     = 0xFFF6 (-10)", "Pen color = RGBS( 0x01, 0x02, 0x03, 0x04)"}));
    EXPECT_EQ(Ctx().describer.cursor, 13);
}

TEST(DescriberVocabulary, NamedLinesAndNameLines) {
    struct Row {
        const char* what;
        uint32_t value;
        Lines lines;
    };
    const Row rows[] = {
        {"a named value", 1, {"Flags = 0x01 (Top-Left)", "Top-Left", "with fallback 0x01 (Top-Left)"}},
        {"an empty name", 2, {"Flags = 0x02 ()", "", "with fallback 0x02 ()"}},
        {"a value past the table", 9, {"Flags = 0x09 ()", "with fallback 0x09"}},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Over(c, {});
        ShowNamedLine("Flags = 0x%02X (%s)", r.value, NameOf(kCorners, r.value));
        ShowName(kCorners, r.value);
        ShowNamedLine("with fallback 0x%02X (%s)", "with fallback 0x%02X", r.value, NameOf(kCorners, r.value));
        EXPECT_EQ(c.detail.Texts(), r.lines) << r.what;
    }
    ScopedContext c;
    Over(c, {24, 30});
    ShowNamedByte("  line ending style = 0x%02X (%s)", kCorners, "Undefined");
    ShowName(kCorners, 7, "Undefined border style name");
    ShowNamedLine("    ID of child %d: 0x%04x (%s)", 3, 0x12, "Font");
    EXPECT_EQ(c.detail.Texts(), (Lines{"  line ending style = 0x18 (Undefined)", "Undefined border style name",
                                       "    ID of child 3: 0x0012 (Font)"}));
}

TEST(DescriberVocabulary, NamesFollowTheProfilesOverlay) {
    static constexpr NameOverlayRow kRenamed[] = {{1, "Upper Left"}, {3, nullptr}};
    static constexpr NameOverlay kOverlays[] = {{"TestCorners", kRenamed}};
    static const Profile kOlder{.appName = "Older", .tagOffsetMask = 0x0FFFFFFF, .tagCrossRef = 0,
                                .nameOverlays = kOverlays};
    ScopedContext c;
    Ctx().profile = &kOlder;
    EXPECT_STREQ(NameOf(kCorners, 1), "Upper Left");
    EXPECT_STREQ(NameOf(kCorners, 3, "gone"), "gone");
    EXPECT_STREQ(NameOf(kCorners, 0), "None");
}

TEST(DescriberVocabulary, BitLines) {
    ScopedContext c;
    Over(c, {});
    ShowSetBits(0xB0, kFlags);
    ShowBitList("Flags: 0x%02X (", 0xB0, kFlags, ")");
    ShowBitList("Flags: 0x%02X (", 0x0F, kFlags, ")");
    ShowEitherOr(1, 0, "  This is a Library style", "  This is NOT a Library style");
    ShowEitherOr(2, 0, "  This is a Library style", "  This is NOT a Library style");
    ShowEitherOr(2, 0, "set only", nullptr);
    EXPECT_EQ(c.detail.Texts(), (Lines{"Paired, ", "In Substructure, ", "Deleted ",
                                       "Flags: 0xB0 (Paired, In Substructure, Deleted )", "Flags: 0x0F ()",
                                       "  This is a Library style", "  This is NOT a Library style"}));
}

TEST(DescriberVocabulary, RemaindersInTheirTwoForms) {
    const Bytes held = Range(32);
    struct Row {
        const char* what;
        int64_t rest;
        Remainder form;
        bool shown;
        int64_t cursorAfter;
    };
    const Row rows[] = {
        {"positive, positive only", 4, Remainder::PositiveOnly, true, 14},
        {"zero, positive only", 0, Remainder::PositiveOnly, false, 10},
        {"negative, positive only: the cursor stays", -4, Remainder::PositiveOnly, false, 10},
        {"positive, signed", 4, Remainder::Signed, true, 14},
        {"zero, signed", 0, Remainder::Signed, true, 10},
        {"negative, signed: no byte dumped, the cursor goes back", -4, Remainder::Signed, true, 6},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Over(c, held, 10);
        DumpRemainder("HEX data", r.rest, r.form);
        const Lines expected =
            !r.shown ? Lines{}
                     : Join({{" ", "HEX data"},
                             r.rest > 0 ? Dumped(Bytes(held.begin() + 10, held.begin() + 10 + r.rest)) : Lines{},
                             {" "}});
        EXPECT_EQ(c.detail.Texts(), expected) << r.what;
        EXPECT_EQ(Ctx().describer.cursor, r.cursorAfter) << r.what;
    }
    ScopedContext c;
    Over(c, held, 4);
    const SizedBlock block = BeginSizedBlock(6);
    ReadFieldDword();
    EXPECT_EQ(block.Taken(), 4);
    EXPECT_EQ(block.Rest(), 2);
}

TEST(DescriberVocabulary, TheFieldDumpLimitComesFromTheProfile) {
    static const Profile kOlder{.appName = "Older", .tagOffsetMask = 0x0FFFFFFF, .tagCrossRef = 0,
                                .nameOverlays = {}, .describerLimits = {.fieldDump = 1024}};
    ScopedContext c;
    Ctx().profile = &kOlder;
    const Bytes held = Range(2000);
    Over(c, held, 0);
    HexDumpField("HEX data", 2000);
    EXPECT_EQ(c.detail.Texts(), Join({{" ", "HEX data"}, Dumped(Bytes(held.begin(), held.begin() + 1024)), {" "}}));
    EXPECT_EQ(Ctx().describer.cursor, 2000);
}

TEST(DescriberVocabulary, CountedItemsStopAtTheEndButTheCursorCoversThemAll) {
    ScopedContext c;
    Over(c, Range(7), 1);
    std::vector<uint32_t> shown;
    EXPECT_FALSE(ShowCountedItems(10, 2, [&](uint32_t i) {
        shown.push_back(i);
        ReadFieldWord();
    }));
    EXPECT_EQ(shown, (std::vector<uint32_t>{0, 1, 2}));  // items at 1, 3 and 5; 7 is past the end
    EXPECT_EQ(Ctx().describer.cursor, 21);
    EXPECT_TRUE(ShowCountedItems(0, 2, [&](uint32_t) { FAIL(); }));
}

namespace {
struct SectionLog {
    std::vector<int> seen;
};
bool SectionA(SectionLog& s) { return s.seen.push_back(15), true; }
bool SectionStop(SectionLog& s) { return s.seen.push_back(9), false; }
bool SectionC(SectionLog& s) { return s.seen.push_back(3), true; }
}  // namespace

TEST(DescriberVocabulary, FlagSectionsInTableOrderUntilOneEndsTheDetail) {
    static constexpr FlagSection<SectionLog> sections[] = {
        {15, "FIRST", &SectionA}, {12, "TITLE ONLY", nullptr}, {9, nullptr, &SectionStop}, {3, "LAST", &SectionC}};
    {
        ScopedContext c;
        Over(c, {});
        SectionLog log;
        EXPECT_TRUE(ShowFlagSections<SectionLog>(0x8008, sections, log, SectionTitle::AfterBlank));
        EXPECT_EQ(log.seen, (std::vector<int>{15, 3}));
        EXPECT_EQ(c.detail.Texts(), (Lines{" ", "FIRST", " ", "LAST"}));
    }
    {
        ScopedContext c;
        Over(c, {});
        SectionLog log;
        EXPECT_FALSE(ShowFlagSections<SectionLog>(0xFFFF, sections, log));
        EXPECT_EQ(log.seen, (std::vector<int>{15, 9}));
        EXPECT_EQ(c.detail.Texts(), (Lines{"FIRST", "TITLE ONLY"}));
    }
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
        {"a group without a describer", 0xD5, 0},
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
        Bytes fn{r.group, 6, 17, 0, 0x80, 3, 1, 0, 2, 0, 3, 0, 0xCD, 0xAB, 17, 0, r.group};
        DescribeFunctionData(r.group, 6, fn);
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
    // Without its describer bound, the generic text-block display.
    EXPECT_EQ(Show(id, DescriberBindings{})[2], "Display of text packets");
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

// ---- Function-data describers -------------------------------------------------

namespace {

// The lines a function's data gives, without the non-deletable size line and
// the blank after it.
Lines DataLines(ScopedContext& c, const Bytes& fn) {
    c.detail.lines.clear();
    Ctx().describer.currentTarget = &c.detail;
    DescribeFunctionData(fn[0], fn[1], fn);
    Lines all = c.detail.Texts();
    EXPECT_GE(all.size(), 2u);
    if (all.size() < 2) return {};
    return Lines(all.begin() + 2, all.end());
}

}  // namespace

TEST(FunctionDescribers, EveryDescriberIsBound) {
    const DescriberBindings& built = BuiltDescribers();
    ASSERT_EQ(built.functions.size(), static_cast<size_t>(FunctionDescriberId::Count));
    for (size_t id = 1; id < built.functions.size(); ++id) EXPECT_NE(built.functions[id], nullptr) << id;
}

TEST(FunctionDescribers, FirstLineAfterTheDispatch) {
    // Zero data of 40 bytes; a describer that starts with the whole-function
    // dump is told by its first line after that dump; blank lines are passed.
    struct Row {
        uint8_t group, sub;
        bool dumpsFirst;
        const char* first;  // nullptr: nothing follows the dump
    };
    const char* const newWord = "  new value =  0x0000";
    const char* const newByte = "  new value =  0x00";
    const char* const onOff = " state = OFF";
    std::vector<Row> rows;
    for (int s : {0, 1, 7, 8, 9, 10, 25, 26, 27, 30, 31}) rows.push_back({0xD1, uint8_t(s), true, newWord});
    rows.push_back({0xD1, 2, true, "flags 0x00"});
    for (int s : {4, 5, 11, 12}) rows.push_back({0xD1, uint8_t(s), true, onOff});
    rows.push_back({0xD1, 6, false, "Widow/Orphan state = OFF"});
    for (int s : {13, 19}) rows.push_back({0xD1, uint8_t(s), true, newByte});
    rows.push_back({0xD1, 16, false, "Page Border"});
    for (int s : {0, 1}) rows.push_back({0xD2, uint8_t(s), true, newWord});
    for (int s : {2, 3, 5, 6}) rows.push_back({0xD3, uint8_t(s), true, newByte});
    for (int s : {7, 11, 12, 13}) rows.push_back({0xD3, uint8_t(s), true, newWord});
    rows.push_back({0xD3, 15, false, "Paragraph Border"});
    rows.push_back({0xD3, 23, false, "DropCap"});
    for (int s : {0, 1, 28}) rows.push_back({0xD4, uint8_t(s), true, newWord});
    for (int s : {2, 3, 22, 23, 45}) rows.push_back({0xD4, uint8_t(s), true, onOff});
    for (int s : {4, 5}) rows.push_back({0xD4, uint8_t(s), true, "  Relative"});
    rows.push_back({0xD4, 9, false, "Lines of text to display 0x0000"});
    rows.push_back({0xD4, 25, true, newByte});
    rows.push_back({0xD4, 42, false, "table flags: 0x00"});
    rows.push_back({0xD4, 44, false, "flags: 0x00"});
    rows.push_back({0xD4, 95, false, "Type of error/area type: 0x00 (revalidate)"});
    for (int s : {96, 97}) rows.push_back({0xD4, uint8_t(s), false, "Flag: 0x00 ( )"});
    for (int s : {0, 2, 4, 6, 8, 10}) rows.push_back({0xDD, uint8_t(s), false, "Hash value: 0x0000"});
    for (int s : {1, 3, 5, 7, 9, 11}) rows.push_back({0xDD, uint8_t(s), false, "Deletable data."});
    for (int s : {0, 1, 2}) rows.push_back({0xDF, uint8_t(s), false, "reserved data area (14 bytes)"});
    rows.push_back({0xDF, 3, false, "Reserved data area (14 bytes)"});
    rows.push_back({0xE2, 0, false, "flags 0x00"});
    rows.push_back({0xE2, 10, false, "Previous delay codes prefix ID 0x0000"});
    // Fallbacks: a row that is none, past its group's list, a group with
    // none, past the table.
    for (auto [g, s] : {std::pair{0xD4, 0x1A}, {0xDF, 4}, {0xE1, 0}, {0xE3, 0}})
        rows.push_back({uint8_t(g), uint8_t(s), true, nullptr});

    for (const Row& r : rows) {
        ScopedContext c;
        const Bytes fn = Func(r.group, r.sub, {}, Bytes(40, 0)).Bytes();
        Lines lines = DataLines(c, fn);
        const Lines dump = Dumped(fn);
        const bool dumped = lines.size() >= dump.size() && std::equal(dump.begin(), dump.end(), lines.begin());
        EXPECT_EQ(dumped, r.dumpsFirst) << std::hex << int(r.group) << "/" << int(r.sub);
        if (dumped) lines.erase(lines.begin(), lines.begin() + static_cast<ptrdiff_t>(dump.size()));
        lines.erase(std::remove(lines.begin(), lines.end(), " "), lines.end());
        if (r.first)
            EXPECT_EQ(lines.empty() ? "" : lines.front(), r.first) << std::hex << int(r.group) << "/" << int(r.sub);
        else
            EXPECT_TRUE(lines.empty()) << std::hex << int(r.group) << "/" << int(r.sub);
    }
}

// The walker refuses functions below 10 bytes; the describer still shows
// what their size allows.
TEST(FunctionDescribers, NoDeletableDataBySize) {
    struct Row {
        uint16_t size;
        Lines lines;
    };
    const Bytes tail{0xAB, 0xCD, 0xEF, 0x01, 0x02};
    const Row rows[] = {
        {9, {}},
        {10, {"No Deletable data."}},
        {12, Join({{" ", "Deletable data."}, Dumped({0xAB, 0xCD}), {" "}})},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        VarFunc f = Func(0xDD, 0x01, {}, {}, tail);
        f.size = r.size;
        EXPECT_EQ(DataLines(c, f.Bytes()), r.lines) << r.size;
    }
}

TEST(FunctionDescribers, NothingPastTheFunctionsSizeIsRead) {
    ScopedContext c;
    // Size 8: the new value's word lies in bytes 7-8, byte 8 past the size.
    Bytes fn{0xD1, 0x00, 8, 0, 0, 0, 0, 0x34, 0x12, 0x77, 0x77, 0x77};
    const Lines lines = DataLines(c, fn);
    EXPECT_EQ(lines, Join({Dumped(Bytes(fn.begin(), fn.begin() + 8)), {"  new value =  0x0034"}}));
}

TEST(FunctionDescribers, MarginChangeOldMarginsOnlyForEightDeletableBytes) {
    const Bytes margins{0x01, 1, 0, 2, 0, 3, 0, 4, 0};
    for (size_t extra : {0u, 6u, 8u, 10u}) {
        ScopedContext c;
        const Bytes fn = Func(0xE2, 0x00, {}, margins, Range(extra, 0x10)).Bytes();
        const Lines lines = DataLines(c, fn);
        const bool old = std::find(lines.begin(), lines.end(), "  Old left margin 0x1110 (qwu's)") != lines.end();
        const bool dumped = std::find(lines.begin(), lines.end(), "Deletable data.") != lines.end();
        const bool marked = std::find(lines.begin(), lines.end(), "---Deletable data---") != lines.end();
        EXPECT_EQ(old, extra == 8) << extra;
        EXPECT_EQ(dumped, extra != 8 && extra != 0) << extra;
        EXPECT_EQ(marked, extra != 0) << extra;
        EXPECT_EQ(lines[1], "   No room left for text") << extra;
    }
}

namespace {

// Describes one block at the cursor over `bytes`.
template <class Describe>
Lines Block(ScopedContext& c, const Bytes& bytes, Describe describe) {
    Over(c, bytes);
    Ctx().describer.function = Ctx().describer.base;
    describe();
    return c.detail.Texts();
}

}  // namespace

TEST(FunctionDescribers, AFillSectionReadingPastItsTotalIsNotDumpedAgain) {
    ScopedContext c;
    // Draw object of 16: flags, a fill whose total (2) covers its flags only
    // though its colours take 8 more bytes, then 2 bytes of the object.
    const Bytes b{16, 0, 0x00, 0x10, 2, 0, 0x00, 0x80, 1, 2, 3, 4, 5, 6, 7, 8, 0xE1, 0xE2};
    const Lines lines = Block(c, b, [] { DescribeDrawObject(); });
    EXPECT_EQ(lines, Join({{"Size of DRAW OBJECT data = 0x0010", "DRAW OBJECT flags = 0x1000", "FILL DATA:",
                            "  Total size (not inc this word) 0x0002", "  Fill template override flags 0x8000",
                            "  Fore color = RGBS( 0x01, 0x02, 0x03, 0x04)",
                            "  Back color = RGBS( 0x05, 0x06, 0x07, 0x08)", " ", "HEX data"},
                           Dumped({0xE1, 0xE2}),
                           {" "}}));
    EXPECT_EQ(Ctx().describer.cursor, b.size());
}

TEST(FunctionDescribers, CountedItemsStopAtTheEndButTheCursorMovesOverAll) {
    ScopedContext c;
    // Line data declaring 0xFFFF points with one held.
    const Bytes b{0xFF, 0xFF, 0x00, 0x20, 0xFF, 0xFF, 0x01, 0x00, 0xFE, 0xFF};
    const Lines lines = Block(c, b, [] { DescribeDrawObject(); });
    EXPECT_EQ(lines, (Lines{"Size of DRAW OBJECT data = 0xFFFF", "DRAW OBJECT flags = 0x2000", "LINE DATA:",
                            "  Points = 0xFFFF", "  0:  X: 0x0001 (1)  Y: 0xfffe (-2)"}));
    EXPECT_EQ(int64_t(Ctx().describer.cursor), 6 + 4 * 0xFFFF);
}

TEST(FunctionDescribers, TemplateOverrideCoversTheGreaterOfItsSizeAndWhatItRead) {
    struct Row {
        const char* what;
        Bytes bytes;
        int64_t covered;
        bool rest;
    };
    const Row rows[] = {
        {"size as read", {4, 0, 0x00, 0x20, 0x33, 0x00}, 6, false},
        {"size beyond what was read", {6, 0, 0x00, 0x20, 0x33, 0x00, 0xAA, 0xBB}, 8, true},
        {"fields beyond the size", {0, 0, 0x00, 0x20, 0x33, 0x00}, 6, false},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        int64_t covered = 0;
        const Lines lines = Block(c, r.bytes, [&] { covered = DescribeTemplateOverride(); });
        EXPECT_EQ(covered, r.covered) << r.what;
        EXPECT_EQ(std::find(lines.begin(), lines.end(), "HEX data") != lines.end(), r.rest) << r.what;
    }
}

// Every described row over random and cut bytes: no read outside them, a
// bounded number of lines. Run under the sanitizers too.
TEST(FunctionDescribers, SweepOverRandomAndCutData) {
    std::vector<std::pair<uint8_t, uint8_t>> pairs;
    const auto groups = FunctionDescribers();
    for (size_t g = 0; g < groups.size(); ++g)
        for (size_t s = 0; s < groups[g].size(); ++s)
            if (groups[g][s] != FunctionDescriberId::None)
                pairs.push_back({static_cast<uint8_t>(0xD0 + g), static_cast<uint8_t>(s)});
    uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint8_t>(seed >> 16);
    };
    for (const auto& [group, sub] : pairs) {
        for (size_t length = 0; length <= 300; length += 7) {
            for (int fill = 0; fill < 3; ++fill) {
                Bytes fn(length);
                for (uint8_t& b : fn) b = fill == 0 ? 0xFF : fill == 1 ? 0x00 : next();
                if (length > 0) fn[0] = group;
                if (length > 1) fn[1] = sub;
                // The size word as the walker would accept it, or as damage left it.
                if (length > 3 && fill != 2) {
                    fn[2] = static_cast<uint8_t>(length);
                    fn[3] = static_cast<uint8_t>(length >> 8);
                }
                ScopedContext c;
                Ctx().describer.currentTarget = &c.detail;
                DescribeFunctionData(group, sub, fn);
                ASSERT_LE(c.detail.lines.size(), 10000u) << std::hex << int(group) << "/" << int(sub) << " " << length;
            }
        }
    }
}

TEST(FunctionDescribers, NameTablesAtTheirBoundaries) {
    struct Row {
        const NameTable& table;
        uint32_t value;
        const char* name;  // nullptr: no row
    };
    const Row rows[] = {
        {ArrowStyleNames(), 0, "Flat End"},
        {ArrowStyleNames(), 1, "Rounded End"},
        {ArrowStyleNames(), 2, ""},
        {ArrowStyleNames(), 9, ""},
        {ArrowStyleNames(), 10, "solid arrow"},
        {ArrowStyleNames(), 12, ""},
        {ArrowStyleNames(), 13, "hollow arrow"},
        {ArrowStyleNames(), 17, ""},
        {ArrowStyleNames(), 19, "hollow arrow tail"},
        {ArrowStyleNames(), 21, ""},
        {ArrowStyleNames(), 23, "big circle"},
        {ArrowStyleNames(), 24, "Undefined"},
        {ArrowStyleNames(), 25, nullptr},
        {ShadowCornerNames(), 0, "None"},
        {ShadowCornerNames(), 4, "Top-Right"},
        {ShadowCornerNames(), 5, nullptr},
        {GradientKindNames(), 0, "Linear Gradient fill"},
        {GradientKindNames(), 2, "Rectangular Gradient fill"},
        {GradientKindNames(), 3, ""},
        {WrapKindNames(), 0, "   Wrap on Largest Side"},
        {WrapKindNames(), 4, "   Wrap on Both Sides"},
        {WrapKindNames(), 5, "   Wrap on Both Sides"},
        {WrapKindNames(), 7, "   Undefined wrap code"},
    };
    for (const Row& r : rows) {
        const char* name = r.table.Lookup(r.value, SalvinoProfile());
        if (r.name)
            EXPECT_STREQ(name, r.name) << r.table.id << " " << r.value;
        else
            EXPECT_EQ(name, nullptr) << r.table.id << " " << r.value;
    }
    EXPECT_EQ(ArrowStyleNames().rows.size(), 25u);
    EXPECT_EQ(WrapKindNames().rows.size(), 8u);
}

// ---- Packet dispatch --------------------------------------------------------

TEST(PacketDispatch, EveryPacketDescriberIsBound) {
    const DescriberBindings& built = BuiltDescribers();
    ASSERT_EQ(built.packets.size(), static_cast<size_t>(PacketDescriberId::Count));
    for (size_t id = 1; id < built.packets.size(); ++id) EXPECT_NE(built.packets[id], nullptr) << id;
}

TEST_F(PacketDetail, EachTypeReachesItsDescriber) {
    struct Row {
        uint8_t type;
        const char* first;  // the describer's first line
    };
    const char* const kFilename = "Filename: ";
    const Row rows[] = {
        {0x07, kFilename}, {0x0C, kFilename}, {0x0F, kFilename}, {0x16, kFilename}, {0x17, kFilename},
        {0x18, kFilename}, {0x19, kFilename}, {0x32, kFilename}, {0x33, kFilename}, {0x40, kFilename},
        {0x49, kFilename}, {0x58, kFilename}, {0x59, kFilename},
        {0x08, "# of text blocks: 0x0000"},
        {0x1C, "# of text blocks: 0x0000"},
        {0x09, "Reserved: 0x0000"},
        {0x11, "Style name: "},
        {0x45, "Style name: "},
        {0x12, " "},  // then the first group's heading
        {0x2C, " "},
        {0x25, "(Initial Font Descriptor Prefix ID: 0x00)"},
        {0x30, "# of text blocks: 0x0000"},
        {0x3F, "Unknown Type"},
        {0x41, "Total size of box data 0x0000"},
        {0x42, "Total size of Line Style data 0x0000"},
        {0x43, "Total size of Fill Style data 0x0000"},
        {0x44, "Total size of Border Style data 0x0000"},
        {0x4C, "Number of boxes within the group 0x0000"},
        {0x55, "Average char width: 0x0000 (qwu's)"},
        {0x5B, "Named Object - Name"},
        {0x5C, "Named Object - List"},
        {0x5D, ""},
        {0x64, "Unknown Node type"},
        // No describer: the generic dump after its leading blank.
        {0x01, " "},
        {0x80, " "},
    };
    DocBuilder b;
    for (const Row& r : rows) b.Add(WithPayload(r.type, Bytes(16, 0)));
    Open(b);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Lines shown = Show(static_cast<uint16_t>(i + 1));
        ASSERT_GE(shown.size(), rows[i].first[0] == ' ' ? 4u : 3u) << std::hex << int(rows[i].type);
        EXPECT_EQ(shown[0], "No Child Packets");
        EXPECT_EQ(shown[1], " ");
        EXPECT_EQ(shown[2], rows[i].first) << std::hex << int(rows[i].type);
        if (rows[i].type == 0x01 || rows[i].type == 0x80) {
            EXPECT_EQ(shown[3], kHexCaption);
        }
        if (rows[i].type == 0x12) {
            EXPECT_EQ(shown[3], "Document Summary data group # 0");
        }
    }
}

// ---- Shared blocks ----------------------------------------------------------

TEST(DescriberBlocks, ADrawObjectNeverDumpsTheBytesItsFillOrShapeSectionTook) {
    struct Row {
        const char* what;
        Bytes section;  // after the draw object's size and flags words
        uint16_t flags;
    };
    const Row rows[] = {
        {"a fill total above its fields", {8, 0, 0, 0, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5}, 0x1000},
        {"fill fields past its total", {2, 0, 0x00, 0x80, 1, 2, 3, 4, 5, 6, 7, 8}, 0x1000},
        {"a shape size above its fields", {6, 0, 0, 0, 0xC0, 0xC1, 0xC2, 0xC3}, 0x0008},
        {"shape fields past its size", {2, 0, 0x00, 0x80, 0x54, 0x00}, 0x0008},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Bytes block;
        const uint16_t size = static_cast<uint16_t>(2 + r.section.size() + 2);
        block.insert(block.end(), {static_cast<uint8_t>(size), 0, static_cast<uint8_t>(r.flags),
                                   static_cast<uint8_t>(r.flags >> 8)});
        block.insert(block.end(), r.section.begin(), r.section.end());
        block.insert(block.end(), {0xE0, 0xE1});
        Over(c, block);
        DescribeDrawObject();
        const Lines shown = c.detail.Texts();
        const Lines tail = Join({{" ", "HEX data"}, Dumped({0xE0, 0xE1}), {" "}});
        ASSERT_GE(shown.size(), tail.size()) << r.what;
        EXPECT_EQ(Lines(shown.end() - static_cast<long>(tail.size()), shown.end()), tail) << r.what;
        EXPECT_EQ(Ctx().describer.cursor, static_cast<int64_t>(block.size())) << r.what;
    }
}

TEST(DescriberBlocks, ATemplateOverrideCoversItsSizeOrWhatItRead) {
    struct Row {
        const char* what;
        Bytes bytes;
        int64_t covered;
        bool rest;
    };
    const Row rows[] = {
        {"size above its fields: the rest is dumped", {6, 0, 0x00, 0x20, 0x0D, 0x00, 0xAA, 0xAB}, 8, true},
        {"size equal to its fields", {4, 0, 0x00, 0x20, 0x0D, 0x00}, 6, false},
        {"fields past its size", {2, 0, 0x00, 0x20, 0x0D, 0x00}, 6, false},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        Over(c, r.bytes);
        EXPECT_EQ(DescribeTemplateOverride(), r.covered) << r.what;
        const Lines shown = c.detail.Texts();
        EXPECT_EQ(std::count(shown.begin(), shown.end(), "HEX data"), r.rest ? 1 : 0) << r.what;
        EXPECT_EQ(shown[2], "Corner Radius = 0x000D") << r.what;
    }
}

TEST_F(PacketDetail, AProfileWithoutARowShowsTheGenericDump) {
    static std::array<PacketDescriberId, kPacketDescriberTypes> rows{};
    const auto salvino = SalvinoDescriberRows().packets;
    std::copy(salvino.begin(), salvino.end(), rows.begin());
    rows[0x44] = PacketDescriberId::None;
    static const DescriberRows kOlderRows{rows, SalvinoDescriberRows().functions};
    static const Profile kOlder{.appName = "Older", .tagOffsetMask = 0x0FFFFFFF, .tagCrossRef = 0,
                                .nameOverlays = {}, .describerRows = &kOlderRows};
    DocBuilder b;
    b.Add(WithPayload(0x44, {1, 2}));
    b.Add(WithPayload(0x4C, {3, 0}));
    Open(b);
    Ctx().profile = &kOlder;
    EXPECT_EQ(Show(1), Join({{"No Child Packets", " ", " ", kHexCaption}, Dumped({1, 2}), {" "}}));
    EXPECT_EQ(Show(2)[2], "Number of boxes within the group 0x0003");
}

TEST_F(PacketDetail, ATooLongBookmarkNameMarksTheDocumentCorrupt) {
    DocBuilder b;
    for (size_t chars : {38u, 39u}) {
        Bytes data{0, 0, 0, 0};
        const Bytes name = Wide(std::string(chars, 'b'), true);
        data.insert(data.end(), name.begin(), name.end());
        b.Add(WithPayload(0x09, data));
    }
    Open(b);
    Show(1);
    EXPECT_FALSE(Ctx().check.corruptFound);
    Show(2);
    EXPECT_TRUE(Ctx().check.corruptFound);
    EXPECT_EQ(TagOf("ERROR. Prefix ID 0x02. Bookmark name is to long.  Used 0x27 (39) QW chars."), 0x20000002u);
}

TEST_F(PacketDetail, PredefinedStyleNamesAtTheirBoundaries) {
    struct Row {
        uint8_t type;
        int16_t length;
        const char* line;
    };
    const Row rows[] = {
        {0x44, 0, "  (Spacing Only)"},        {0x44, -14, "  (Heavy Double Border)"},
        {0x44, -15, "Undefined border style name"},
        {0x42, 0, "  (Single Line)"},          {0x42, -11, "  (Heavy Double Line)"},
        {0x42, -12, "Undefined line style name"},
        {0x43, 0, "10% fill"},                 {0x43, -11, "5% fill"},
        {0x43, -12, "Undefined fill style name"},
        {0x41, 0, "Figure Box"},               {0x41, -4, "Button Box"},
        {0x41, -5, "Undefined box style name"},
    };
    DocBuilder b;
    for (const Row& r : rows) {
        Bytes data{0, 0, 0, 0, 0, 0, static_cast<uint8_t>(r.length), static_cast<uint8_t>(r.length >> 8)};
        data.resize(80, 0);
        b.Add(WithPayload(r.type, data));
    }
    Open(b);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Lines shown = Show(static_cast<uint16_t>(i + 1));
        EXPECT_EQ(std::count(shown.begin(), shown.end(), rows[i].line), 1)
            << std::hex << int(rows[i].type) << std::dec << " " << rows[i].length;
    }
}

TEST_F(PacketDetail, DropShadowNamesStopAfterKind4) {
    const char* const names[] = {"  (NO Drop Shadow)", "  (Shadow on Upper Left)", "  (Shadow on Lower Left)",
                                 "  (Shadow on Lower Right)", "  (Shadow on Upper Right)", nullptr};
    DocBuilder b;
    for (uint8_t kind = 0; kind < std::size(names); ++kind) {
        // Head with an empty name, border data up to the drop-shadow byte.
        Bytes data(8 + 4 + 18 + 4, 0);
        data.push_back(kind);
        data.resize(48, 0);
        b.Add(WithPayload(0x44, data));
    }
    Open(b);
    for (uint8_t kind = 0; kind < std::size(names); ++kind) {
        const Lines shown = Show(kind + 1);
        const auto at = std::find(shown.begin(), shown.end(), Format("Drop Shadow flags 0x%02X", kind));
        ASSERT_NE(at, shown.end()) << int(kind);
        EXPECT_EQ(*(at + 1), names[kind] ? names[kind] : "Drop Shadow spacing 0x0000") << int(kind);
    }
}
