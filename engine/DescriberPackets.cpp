// The packet describers: each the field list of one packet layout, read
// through the describer primitives.

#include "engine/DescriberPackets.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Describer.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/PacketLayout.h"

namespace engine {

namespace {

constexpr int16_t kStringMax = 512;

// ---- Name tables -------------------------------------------------------------

struct SummaryField {
    const char* name;
    uint8_t kind;  // 0 date, 1 single line, 2 multi-line
    int8_t next;   // the next tag id, -1 after the last
};

constexpr SummaryField kSummaryFields[] = {
    {"!UNDEFINED", 0, 1},         {"Abstract", 2, 2},          {"Account", 1, 3},
    {"Address", 2, 4},            {"Attachments", 1, 5},       {"Author", 1, 6},
    {"Authorization", 1, 7},      {"Bill To", 2, 8},           {"Blind Copy", 1, 9},
    {"Carbon Copy", 1, 10},       {"Category", 1, 11},         {"Checked By", 1, 12},
    {"Client", 1, 13},            {"Comments", 2, 14},         {"Creation Date", 0, 15},
    {"Date Completed", 0, 16},    {"Department", 1, 17},       {"Descriptive Name", 1, 18},
    {"Descriptive Type", 1, 19},  {"Destination", 1, 20},      {"Disposition", 1, 21},
    {"Division", 1, 22},          {"Document number", 1, 23},  {"Editor", 1, 24},
    {"Forward To", 1, 25},        {"Group", 1, 26},            {"Keywords", 1, 27},
    {"Language", 1, 28},          {"MailStop", 1, 29},         {"Matter", 1, 30},
    {"Office", 1, 31},            {"Owner", 1, 32},            {"Project", 1, 33},
    {"Publisher", 1, 34},         {"Purpose", 2, 35},          {"Received From", 1, 36},
    {"Recorded By", 1, 37},       {"Recorded Date", 0, 38},    {"Reference", 1, 39},
    {"Revision Date", 0, 40},     {"Revision Notes", 2, 41},   {"Revision number", 1, 42},
    {"Section", 1, 43},           {"Security", 1, 44},         {"Source", 1, 45},
    {"Status", 1, 46},            {"Subject", 1, 47},          {"Telephone number", 1, 48},
    {"Typist", 1, 49},            {"Version Date", 0, 50},     {"Version Notes", 2, 51},
    {"Version number", 1, -1},
};
static_assert(std::size(kSummaryFields) == 52);

constexpr auto MakeSummaryNames() {
    std::array<NameRow, std::size(kSummaryFields)> rows{};
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = {static_cast<uint32_t>(i), kSummaryFields[i].name};
    return rows;
}
constexpr auto kSummaryNameRows = MakeSummaryNames();
constexpr NameTable kSummaryFieldNames{"SummaryFieldNames", kSummaryNameRows};

constexpr NameRow kSummaryTypeRows[] = {
    {0, "Single line data, "}, {1, "Multi line data, "}, {2, "10 byte date, "}, {3, "Read Only."}};
constexpr NameTable kSummaryTypeFlags{"SummaryTypeFlags", kSummaryTypeRows};

constexpr NameRow kBookmarkFlagRows[] = {
    {4, "Paired, "}, {5, "In Substructure, "}, {6, "Quick, "}, {7, "Deleted "}};
constexpr NameTable kBookmarkFlags{"BookmarkFlags", kBookmarkFlagRows};

// StyleNameTable, section by section.
constexpr auto kDropShadowRows = IndexedNames({"  (NO Drop Shadow)", "  (Shadow on Upper Left)",
                                               "  (Shadow on Lower Left)", "  (Shadow on Lower Right)",
                                               "  (Shadow on Upper Right)"});
constexpr NameTable kDropShadowNames{"StyleDropShadow", kDropShadowRows};

constexpr auto kBorderStyleRows = IndexedNames(
    {"  (Spacing Only)", "  (Single Border)", "  (Double Border)", "  (Dashed Border)", "  (Dotted Border)",
     "  (Thick Border)", "  (Extra Thick Border)", "  (Thin/Thick Double Border)",
     "  (Thick/Thin Double Border)", "  (Thick Top and Bottom Border)", "  (Button Border)",
     "  (Between Columns Border)", "  (Full Columns Border)", "  (Heavy Single Border)",
     "  (Heavy Double Border)"});
constexpr NameTable kBorderStyleNames{"StyleBorderStyle", kBorderStyleRows};

constexpr auto kLineStyleRows = IndexedNames(
    {"  (Single Line)", "  (Double Line)", "  (Dashed Line)", "  (Dotted Line)", "  (Thick Line)",
     "  (Extra Thick Line)", "  (Thin/Thick Double Line)", "  (Thick/Thin Double Line)",
     "  (Button Top/Left Line)", "  (Button Bottom/Right line)", "  (Heavy Line)", "  (Heavy Double Line)"});
constexpr NameTable kLineStyleNames{"StyleLineStyle", kLineStyleRows};

constexpr auto kGradientRows =
    IndexedNames({SharedText(Msg::LinearGradientFill), SharedText(Msg::RadialGradientFill), SharedText(Msg::RectangularGradientFill), ""});
constexpr NameTable kGradientNames{"StyleGradient", kGradientRows};

constexpr auto kFillRows = IndexedNames({"10% fill", "20% fill", "30% fill", "40% fill", "50% fill", "60% fill",
                                         "70% fill", "80% fill", "90% fill", "100% fill", "button fill",
                                         "5% fill"});
constexpr NameTable kFillNames{"StyleFill", kFillRows};

constexpr auto kBoxStyleRows = IndexedNames({"Figure Box", "Table Box", "User Box", SharedText(Msg::EquationBox), "Button Box"});
constexpr NameTable kBoxStyleNames{"StyleBoxStyle", kBoxStyleRows};

constexpr auto kStyleTypeRows =
    IndexedNames({"  Open style", "  Pared style", "  Paragraph style", "  Deleted (including codes)",
                  "  Deleted (leaving codes)", SharedText(Msg::LibraryStyle)});
constexpr NameTable kStyleTypeNames{"StyleType", kStyleTypeRows};

constexpr auto kStyleFlagRows =
    IndexedNames({SharedText(Msg::LibraryStyle), "  System style", "  Enter turns style off",
                  "  Enter sturs style back on again", "  Style includes other styles", "  Reserved",
                  "  Reserved"});
constexpr NameTable kStyleFlagNames{"StyleFlag", kStyleFlagRows};

constexpr NameRow kBorderPrefixRows[] = {{0, " Left side uses Prefix ID"},
                                         {1, " Right side uses Prefix ID"},
                                         {2, " Top side uses Prefix ID"},
                                         {3, " Bottom side uses Prefix ID"},
                                         {4, " Separator uses Prefix ID"}};
constexpr NameTable kBorderPrefixFlags{"BorderPrefixFlags", kBorderPrefixRows};

constexpr auto kFontIndexRows = IndexedNames(
    {"  Font Index: Base Font", "  Font Index: Super/Sub Font", "  Font Index: Double Super/sub Font"});
constexpr NameTable kFontIndexNames{"EquationFontIndex", kFontIndexRows};

// ---- Shared pieces -----------------------------------------------------------

// Where the packet's data ends: its size, or the end of the bytes held.
int64_t PacketEnd(const PacketEntry& entry) {
    return std::min<int64_t>(entry.entry.DataSize(), HeldSize());
}

int16_t StringMaxFor(int64_t chars) {
    return static_cast<int16_t>(std::clamp<int64_t>(chars, INT16_MIN, INT16_MAX));
}

// The words stored after a child list, one per child.
void ShowTagData(const PacketEntry& entry) {
    if (!(entry.entry.Flags() & kFlagChildList)) return;
    Ctx().describer.cursor = 0;
    const uint16_t count = ReadFieldWord();
    SkipBytes(2 * int64_t{count});
    ShowCountedItems(count, 2, [](uint32_t) { ShowWordField("Tag data = 0x%04X"); });
}

// A style's name by a signed length word: a name field of that many bytes,
// a predefined name for 0 and below, or the undefined-name line.
void ShowStyleName(int16_t length, const char* caption, const NameTable& predefined, const char* undefined) {
    if (length > 0)
        ShowCharField(static_cast<uint16_t>(length), caption);
    else
        ShowName(predefined, static_cast<uint32_t>(-int32_t{length}), undefined);
}

void ShowLibraryFlags(FieldFormat<1> format, const char* set, const char* clear) {
    const uint8_t flags = ShowByteField(format);
    ShowEitherOr(flags, 0, set, clear);
}

}  // namespace

// ---- Summary -------------------------------------------------------------------

void DescribeSummaryPacket(const PacketEntry& entry, uint32_t) {
    DescriberContext& d = Ctx().describer;
    const int64_t end = PacketEnd(entry);
    for (int group = 0; d.cursor < end; ++group) {
        ShowBlank();
        ShowLine(Format("Document Summary data group # %d", group));
        const int64_t start = d.cursor;
        const uint16_t length = ShowWordField("  Byte Length of field: 0x%04X");
        // A zero length would show the same group forever.
        if (length == 0 || start + length > end) {
            ShowLine("  Error, size is beyond end of packet.");
            return;
        }
        const uint16_t tag = ReadFieldWord();
        ShowNamedLine("  Tag ID: 0x%04X  (%s)", "  Tag ID: 0x%04X", tag, NameOf(kSummaryFieldNames, tag));
        const uint16_t type = ReadFieldWord();
        ShowBitList("  Type flags: 0x%04X (", type, kSummaryTypeFlags, ")");
        if (PeekFieldWord() != 0) {
            ShowCharString("  User Defined Field name: ", kStringMax);
        } else {
            ShowLine("  No User Defined Field name");
            SkipBytes(2);
        }
        if (PeekFieldWord() == 0) {
            ShowLine("  No data defined");
        } else if (TestBit(type, 2)) {
            const unsigned year = ReadFieldWord();
            const unsigned month = ReadFieldByte();
            const unsigned day = ReadFieldByte();
            const unsigned hour = ReadFieldByte();
            const unsigned minute = ReadFieldByte();
            const unsigned second = ReadFieldByte();
            SkipBytes(3);
            ShowLine(Format("  Data - %02d/%02d/%04d  %02d:%02d:%02d", month, day, year, hour, minute, second));
        } else {
            ShowCharString("  Data- ", kStringMax);
        }
        d.cursor = start + length;
    }
}

// ---- File names ------------------------------------------------------------------

void DescribeFilenamePacket(const PacketEntry& entry, uint32_t) {
    ShowTagData(entry);
    ShowCharString("Filename: ",
                   StringMaxFor((int64_t{entry.entry.DataSize()} - Ctx().describer.cursor) / 2));
}

void DescribeLongFilenamePacket(const PacketEntry& entry, uint32_t) {
    ShowTagData(entry);
    const uint16_t kind = ReadFieldWord();
    ShowLine(kind == 1 ? "Long Filename" : "Unknown Type");
    ShowWordField("Parent Packet = 0x%04X");
    ShowWordField("Parent Type = 0x%04X");
    SkipBytes(4);
    ShowCharString("Parent Name: ", kStringMax);
    ShowCharString(kind == 1 ? "Long Filename: " : "Unknown: ", kStringMax);
}

// ---- Text ----------------------------------------------------------------------------

void DescribeTextPacket(const PacketEntry& entry, uint32_t id) {
    DescriberContext& d = Ctx().describer;
    // The table is read as the check and the repair read it, whatever the flags say.
    IndexEntry asText = entry.entry;
    asText.bytes[0] |= kFlagTextBlocks;
    const PacketLayout layout = ReadPacketLayout(asText, d.base);
    ShowWordField(SharedText(Msg::TextBlockCount));
    const uint32_t first = ShowDwordField(SharedText(Msg::FirstTextBlockOffset));
    if (first > entry.entry.DataSize()) {
        ShowPacketError(Format<Msg::FirstBlockBeyondPacket>(id), id);
        return;
    }
    for (size_t b = 0; b < layout.sizes.size(); ++b) ShowDwordField(SharedText(Msg::TextBlockSize));
    d.cursor = static_cast<int64_t>(layout.TableEnd());
    // The blocks start where the table says.
    if (d.cursor != first) HexDumpField(Text(Msg::DataBeforeText), int64_t{first} - d.cursor);
    for (size_t b = 0; b < layout.blocks.size(); ++b)
        HexDumpTextBlock(Text(Msg::TextBlockData), layout.blocks[b].size, static_cast<uint16_t>(b), entry, id);
}

// ---- Bookmark -----------------------------------------------------------------------

void DescribeBookmarkPacket(const PacketEntry&, uint32_t id) {
    ShowWordField("Reserved: 0x%04X");
    const uint8_t flags = ReadFieldByte();
    ShowBitList("Flags: 0x%02X (", flags, kBookmarkFlags, ")");
    ShowByteField("Reserved: 0x%02X");
    const int used = ShowCharString("Bookmark name: ", kStringMax);
    if (used >= 39) {
        ShowPacketError(Format("ERROR. Prefix ID 0x%02X. Bookmark name is to long.  Used 0x%02x (%d) QW chars.",
                               id, static_cast<unsigned>(used), used),
                        id);
        Ctx().check.corruptFound = true;
    }
}

// ---- Styles ------------------------------------------------------------------------------

void DescribeCounterStylePacket(const PacketEntry&, uint32_t) {
    DescriberContext& d = Ctx().describer;
    constexpr int64_t kSlot = 32;
    const int64_t slot = d.cursor;
    if ((PeekFieldByte() & 0x80) && PeekFieldWord(2) == 0)
        ShowByteField("System Style 0x%02X");
    else
        ShowCharString(Text(Msg::StyleNameLabel), kStringMax);
    d.cursor = slot + kSlot;
    ShowByteField("Levels Used %d");
    for (int level = 1; level <= 5; ++level) {
        const unsigned method = ReadFieldByte();
        ShowLine(Format("Level %d numbering method: %u", level, method));
    }
    SkipBytes(4);
    for (int level = 1; level <= 5; ++level) {
        const int64_t at = d.cursor;
        ShowCharString(Format("Level %d name: ", level).c_str(), kStringMax);
        d.cursor = at + kSlot;
    }
}

void DescribeInitialFontPacket(const PacketEntry&, uint32_t) {
    SkipBytes(-2);  // back to the last child id
    ShowWordField("(Initial Font Descriptor Prefix ID: 0x%02X)");
    ShowWordField("Point size (3600ths): %d");
}

void DescribeStylePacket(const PacketEntry& entry, uint32_t id) {
    DescribeStylePacketAs(entry, id, StyleForm{true, "  Document (local) style"});
}

void DescribeStylePacketAs(const PacketEntry& entry, uint32_t id, const StyleForm& form) {
    ShowWordField(SharedText(Msg::TextBlockCount));
    ShowDwordField("Offset to 1st text block: 0x%08X");
    const uint32_t paragraph = ShowDwordField("Paragraph text size: 0x%08X");
    const uint32_t begin = ShowDwordField("Beginning style text size: 0x%08X");
    const uint32_t end = ShowDwordField("End style text size: 0x%08X");
    const uint32_t extra = ShowDwordField("Extra style text size: 0x%08X");
    ShowName(kStyleTypeNames, form.valueLines ? ShowByteField("Style Type 0x%02X") : ReadFieldByte());
    const uint8_t flags = form.valueLines ? ShowByteField("Style Flag 0x%02X") : ReadFieldByte();
    ShowSetBits(flags, kStyleFlagNames);
    ShowEitherOr(flags, 0, nullptr, form.localStyle);
    ShowWordField("Style hash: 0x%04X");
    const uint16_t description = ReadFieldWord();
    if (form.valueLines) ShowLine("Offset from beginning of packet to description");
    if (Ctx().describer.cursor != description) ShowCharString(Text(Msg::StyleNameLabel), kStringMax);
    ShowCharString("Style description: ", kStringMax);
    const struct {
        const char* caption;
        uint32_t size;
    } blocks[] = {{"Paragraph-oriented begin info", paragraph},
                  {"Other begin information", begin},
                  {"End information", end},
                  {"Extra information", extra}};
    for (uint16_t b = 0; b < std::size(blocks); ++b)
        if (blocks[b].size != 0) HexDumpTextBlock(blocks[b].caption, blocks[b].size, b, entry, id);
}

void DescribeBorderStylePacket(const PacketEntry& entry, uint32_t) {
    ShowWordField("Total size of Border Style data 0x%04X");
    ShowBlank();
    ShowWordField(SharedText(Msg::NameLibrarySize));
    ShowByteField("Border name/library prefix ID flags 0x%02X");
    ShowLibraryFlags("Border library management flags 0x%02X", Text(Msg::IsLibraryStyleIndented),
                     Text(Msg::IsNotLibraryStyleIndented));
    ShowStyleName(static_cast<int16_t>(ShowWordField(SharedText(Msg::LineNameLength))), "Border Style Name: ",
                  kBorderStyleNames, "Undefined border style name");
    ShowBlank();
    ShowWordField("Size of BORDER STYLE data 0x%04X");
    ShowSetBits(ShowByteField("Border prefix ID flags 0x%02X"), kBorderPrefixFlags);
    const uint8_t general = ShowByteField("General Definition flags 0x%02X");
    ShowEitherOr(general, 0, "  use border color for line colors", "  use colors from individual segment definitions");
    ShowEitherOr(general, 4, "  use vertical shadow offset", nullptr);
    static constexpr FieldRow kSpacing[] = {
        WordRow("Corner Radius 0x%04X"),          WordRow("Left Inside Spacing 0x%04X"),
        WordRow("Right Inside Spacing 0x%04X"),   WordRow("Top Inside Spacing 0x%04X"),
        WordRow("Bottom Inside Spacing 0x%04X"),  WordRow("Left Outside Spacing 0x%04X"),
        WordRow("Right Outside Spacing 0x%04X"),  WordRow("Top Outside Spacing 0x%04X"),
        WordRow("Bottom Outside Spacing 0x%04X"), RgbsRow("Border Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)"),
    };
    ShowFields(kSpacing);
    ShowName(kDropShadowNames, ShowByteField("Drop Shadow flags 0x%02X"));
    ShowWordField("Drop Shadow spacing 0x%04X");
    ShowRgbsField("Drop Shadow Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    if (PacketEnd(entry) - Ctx().describer.cursor >= 2) ShowWordField("Drop Shadow Vertical Spacing 0x%04X");
}

void DescribeLineStylePacket(const PacketEntry&, uint32_t) {
    ShowWordField("Total size of Line Style data 0x%04X");
    ShowBlank();
    ShowWordField(SharedText(Msg::NameLibrarySize));
    ShowByteField("Line name/library prefix ID flags 0x%02X");
    ShowLibraryFlags("Line library management flags 0x%02X", Text(Msg::IsLibraryStyleIndented),
                     Text(Msg::IsNotLibraryStyleIndented));
    ShowStyleName(static_cast<int16_t>(ShowWordField(SharedText(Msg::LineNameLength))), "Line Style Name: ",
                  kLineStyleNames, "Undefined line style name");
    ShowBlank();
    ShowWordField("Size of LINE STYLE data 0x%04X");
    ShowByteField("Line prefix ID flags 0x%02X");
    ShowWordField("Total Width of Line Composition 0x%04X");
    const uint8_t segments = ShowByteField("Number of Line Segments 0x%02X");
    ShowCountedItems(segments, 0, [](uint32_t i) {
        ShowLine(Format(" (Line Segment # %d)", static_cast<int>(i)));
        ShowWordField("  Size of LINE STYLE segment data 0x%04X");
        const uint8_t flags = ShowByteField("  LINE STYLE segment flags 0x%02X");
        ShowWordField("  Width of Line Segment 0x%04X");
        ShowWordField("  Line Segment Spacing 0x%04X");
        ShowRgbsField("  Line Segment Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
        if (flags != 0) {
            const uint8_t onOffs = ShowByteField("  Number of On/Off's: 0x%02X");
            ShowCountedItems(onOffs, 2, [](uint32_t) { ShowWordField("    On/Off len 0x%04X"); });
        } else {
            ShowLine("  Fill type: QWG2 pattern set/index");
            ShowByteField("  QWG2 Line pattern set:   0x%02X");
            if (ShowByteField("  QWG2 Line pattern index: 0x%02X") == 0) ShowLine("       (Solid Line)");
        }
    });
}

void DescribeFillStylePacket(const PacketEntry& entry, uint32_t id) {
    DescribeFillStylePacketAs(entry, id, "Total size of Fill Style data 0x%04X");
}

void DescribeFillStylePacketAs(const PacketEntry&, uint32_t, FieldFormat<1> total) {
    ShowWordField(total);
    ShowBlank();
    ShowWordField(SharedText(Msg::NameLibrarySize));
    ShowByteField("Fill name/library prefix ID flags 0x%02X");
    ShowLibraryFlags("Fill library management flags 0x%02X", Text(Msg::IsLibraryStyle), "This is NOT a Library style");
    ShowStyleName(static_cast<int16_t>(ShowWordField("Fill name length 0x%04X")), "Fill Style Name: ", kFillNames,
                  "Undefined fill style name");
    ShowBlank();
    ShowWordField("Size of FILL STYLE data 0x%04X");
    ShowByteField(SharedText(Msg::BoxCounterIdFlags));
    ShowRgbsField("Foreground/start RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    ShowRgbsField("Background/end RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    const uint8_t kind = ReadFieldByte();
    ShowLine(kind != 0 ? "Gradient fill" : "Fill type: QWG2 pattern set/index");
    ShowWordField("Size of FILL infomation 0x%04X");
    if (kind == 0) {
        ShowByteField(SharedText(Msg::PatternSet));
        ShowByteField(SharedText(Msg::PatternIndex));
        return;
    }
    const uint8_t gradient = ShowByteField("Gradient Flags: 0x%02X");
    ShowName(kGradientNames, gradient & 3u);
    ShowEitherOr(gradient, 5, "Use same aspect ratio as document object", "use 1:1 aspect ratio");
    static constexpr FieldRow kGradient[] = {
        WordRow("Number of gradient Steps: 0x%04X"),
        DwordRow("Gradient rotation angle (Fixed pt) - 0x%08X"),
        WordRow("Fraction X offset from left: 0x%04X/0x10000"),
        WordRow("Fraction Y offset from top:  0x%04X/0x10000"),
    };
    ShowFields(kGradient);
}

namespace {
void BoxStyleBorder() {
    const uint16_t border = ShowWordField("Size of BORDER data = 0x%04X");
    ShowByteField(SharedText(Msg::BorderFlags));
    const int64_t rest = int64_t{border} - 1 - DescribeTemplateOverride();
    DumpRemainder("HEX data", rest, Remainder::PositiveOnly);
    if (rest < 0) ShowLine("Error, bad size for Border data");
}
}  // namespace

void DescribeBoxStylePacket(const PacketEntry& entry, uint32_t id) { DescribeBoxStylePacketWith(entry, id, &BoxStyleBorder); }

void DescribeBoxStylePacketWith(const PacketEntry&, uint32_t, void (*border)()) {
    ShowWordField("Total size of box data 0x%04X");
    ShowBlank();
    ShowWordField(SharedText(Msg::NameLibrarySize));
    ShowByteField("Box name/library prefix ID flags 0x%02X");
    ShowLibraryFlags("Box library management flags 0x%02X", Text(Msg::IsLibraryStyle), nullptr);
    ShowStyleName(static_cast<int16_t>(ReadFieldWord()), "Style Name: ", kBoxStyleNames, "Undefined box style name");
    ShowBlank();
    ShowWordField("Size of COUNTER data 0x%04X");
    ShowEitherOr(ShowByteField(SharedText(Msg::BoxCounterIdFlags)), 0, "Counter prefix ID appears at front of style",
                 nullptr);
    ShowBlank();
    static constexpr FieldRow kPosition[] = {
        WordRow("Size of POSITION data 0x%04X"),      ByteRow("Box position prefix ID flags 0x%02X"),
        ByteRow("General box flags 0x%02X"),          ByteRow("Box horziontal position flags 0x%02X"),
        WordRow("Box horziontal offset (QWU) 0x%04X"), ByteRow("Left column 0x%02X"),
        ByteRow("Right column 0x%02X"),               ByteRow("Vertical position flags 0x%02X"),
        WordRow("Box vertical offset (QWU) 0x%04X"),  ByteRow("Box width flags 0x%02X"),
        WordRow("Box width (QWU) 0x%04X"),            ByteRow("Box height flags 0x%02X"),
        WordRow("Box height (QWU) 0x%04X"),
    };
    ShowFields(kPosition);
    ShowBlank();
    static constexpr FieldRow kContent[] = {
        WordRow("Size of CONTENT data 0x%04X"),
        ByteRow("Box content prefix ID flags 0x%02X"),
        ByteRow("Box content type flags 0x%02X"),
        ByteRow("Box content alignment flags 0x%02X"),
    };
    ShowFields(kContent);
    if (const uint16_t render = ShowWordField("Total size of rendering data 0x%04X")) HexDumpField("Render data:", render);
    ShowBlank();
    static constexpr FieldRow kCaption[] = {
        WordRow("Size of CAPTION data 0x%04X"),    ByteRow("Caption prefix ID flags 0x%02X"),
        ByteRow("Caption position flags 0x%02X"),  ByteRow("Caption formatting flags 0x%02X"),
        WordRow("Caption formatted width 0x%04X"), WordRow("Caption alignment offset 0x%04X"),
    };
    ShowFields(kCaption);
    ShowBlank();
    border();
    ShowBlank();
    ShowWordField("Size of FILL data 0x%04X");
    ShowByteField("Box fill prefix ID flags 0x%02X");
    const uint16_t fill = ShowWordField("Size of fill style override data 0x%04X");
    ShowWordField("Fill style override flags 0x%04X");
    if (fill > 2) HexDumpField("Fill data:", fill - 2);
    ShowBlank();
    static constexpr FieldRow kTail[] = {
        WordRow("Size of WRAPPING data 0x%04X"),  ByteRow("Box wrapping prefix ID flags 0x%02X"),
        ByteRow("Wrapping flags 0x%02X"),
    };
    ShowFields(kTail);
    ShowBlank();
    static constexpr FieldRow kHypertext[] = {
        WordRow("Size of HYPERTEXT data 0x%04X"),
        ByteRow("Box hpyertext prefix ID flags 0x%02X"),
        ByteRow("Hypertext flags 0x%02X"),
    };
    ShowFields(kHypertext);
}

void DescribeBoxGroupPacket(const PacketEntry&, uint32_t) { ShowWordField("Number of boxes within the group 0x%04X"); }

// ---- Fonts and named objects ---------------------------------------------------------------

void DescribeDesiredFontPacket(const PacketEntry&, uint32_t) {
    static constexpr FieldRow kFont[] = {
        WordRow("Average char width: 0x%04X (qwu's)"),  WordRow("Short ascender height: 0x%04X (PSU's)"),
        WordRow("X height: 0x%04X (PSU's)"),             WordRow("Decender height: 0x%04X (PSU's)"),
        WordRow("Italic adjust: 0x%04X"),                WordRow("Primary family ID: 0x%04X"),
        ByteRow("Scripting system: 0x%02X"),             ByteRow("Primary character set: 0x%02X"),
        ByteRow("Width (aspect ratio): 0x%02X"),         ByteRow("Weight: 0x%02X"),
        ByteRow("Attributes: 0x%02X"),                   ByteRow("General characteristics: 0x%02X"),
        ByteRow("Classification: 0x%02X"),               ByteRow("Fill byte: 0x%02X"),
        ByteRow("Font type: 0x%02X"),                    ByteRow("Font source file type: 0x%02X"),
    };
    ShowFields(kFont);
    if (ShowWordField("Typeface name length: 0x%04X") != 0) ShowCharString("Typeface name: ", kStringMax);
}

void DescribeObjectNamePacket(const PacketEntry&, uint32_t) {
    ShowLine("Named Object - Name");
    ShowByteField("Attributes = 0x%02X");
    ShowWordField("HASH = 0x%04X");
    ShowCharString("Object name: ", kStringMax);
}

void DescribeObjectListPacket(const PacketEntry& entry, uint32_t) {
    constexpr int64_t kNode = 43;
    ShowLine("Named Object - List");
    ShowByteField("Flags = 0x%02X");
    ShowDwordField("Dup name counter = 0x%08X");
    static constexpr FieldRow kNodeFields[] = {
        DwordRow("  Prev Node        = 0x%08X"), DwordRow("  Next Node        = 0x%08X"),
        DwordRow("  Child Node       = 0x%08X"), DwordRow("  Parent Node      = 0x%08X"),
        WordRow("  UA name Prefix   = 0x%04X"),  WordRow("  HASH             = 0x%04X"),
        ByteRow("  Object Flag      = 0x%02X"),  WordRow("  Type             = 0x%04X"),
        WordRow("  ON Region X pos  = 0x%04X"),  DwordRow("  ON Region Y pos  = 0x%08X"),
        DwordRow("  ON Line count    = 0x%08X"), WordRow("  OFF Region X pos = 0x%04X"),
        DwordRow("  OFF region Y pos = 0x%08X"), DwordRow("  OFF line count   = 0x%08X"),
    };
    const int64_t end = PacketEnd(entry);
    DescriberContext& d = Ctx().describer;
    for (int node = 0; end - d.cursor >= kNode; ++node) {
        ShowLine(Format("Node %d:", node));
        ShowFields(kNodeFields);
    }
    if (end - d.cursor > 0) HexDumpField("extra stuff", end - d.cursor);
}

void DescribeAssistantDataPacket(const PacketEntry& entry, uint32_t) {
    ShowLine("");
    HexDumpField("USER-ASSISTANT Binary Information in HEX", int64_t{entry.entry.DataSize()} - Ctx().describer.cursor);
}

// ---- Equations --------------------------------------------------------------------------------

void DescribeEquationBoxPacket(const PacketEntry& entry, uint32_t id) {
    static constexpr FieldRow kPosition[] = {
        WordRow("  X Pos (relative to box): 0x%04X"),
        WordRow("  Y Pos (relative to box): 0x%04X"),
    };
    const int64_t end = PacketEnd(entry);
    DescriberContext& d = Ctx().describer;
    for (int node = 0; d.cursor < end; ++node) {
        const uint8_t kind = ReadFieldByte();
        if (d.cursor >= end) {
            ShowPacketError("Read beyond backet data", id);
            return;
        }
        switch (kind) {
            case 1: {
                ShowLine(Format("Node %d (Attribute Type)", node));
                static constexpr FieldRow kAttribute[] = {
                    WordRow("  Scale X: 0x%04X"),
                    WordRow("  Scale Y: 0x%04X"),
                    WordRow("  Attributes: 0x%04X"),
                };
                ShowFields(kAttribute);
                const uint16_t font = ReadFieldWord();
                if (const char* name = NameOf(kFontIndexNames, font))
                    ShowLine(name);
                else
                    ShowLine(Format("  Unknown Font Index: 0x%04x", static_cast<unsigned>(font)));
                break;
            }
            case 2:
            case 4: {
                ShowLine(Format(kind == 2 ? "Node %d (Box Type)" : "Node %d (diacritical Type)", node));
                ShowFields(kPosition);
                const uint8_t length = ReadFieldByte();
                ShowLine(Format("  String Length: 0x%02X", static_cast<unsigned>(length)));
                if (length != 0) HexDumpField("  String data:", length);
                break;
            }
            case 3: {
                ShowLine(Format("Node %d (Font Type)", node));
                static constexpr FieldRow kFonts[] = {
                    ByteRow("  Base Font Descriptor #: 0x%02X"),
                    ByteRow("  Super/Sub Font Descriptor #: 0x%02X"),
                    ByteRow("  Double Super/Sub Font Descriptor: 0x%02X"),
                };
                ShowFields(kFonts);
                break;
            }
            case 5: {
                ShowLine(Format("Node %d (Line Type)", node));
                ShowFields(kPosition);
                ShowWordField("  Width of Box: 0x%04X");
                ShowWordField("  Height of Box: 0x%04X");
                break;
            }
            default:
                ShowPacketError("Unknown Node type", id);
                return;
        }
        ShowBlank();
    }
}

}  // namespace engine
