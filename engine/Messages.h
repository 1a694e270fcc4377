#pragma once
// The texts the system shows, each once under an id. A dialect words some of
// them its own way: its Profile overlays those rows (messages), and Text()
// and Format<>() give the installed profile's form. Formats stay checked when
// compiled: Format<id>(args...) refuses arguments that do not fit the id's
// conversions, and an overlay row must have the same conversions as the row
// it replaces.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>

namespace engine {

struct Profile;

enum class Msg : uint16_t {
    // file and document errors
    ErrorReadingFile,
    ErrorWritingFile,
    ErrorSeekingFile,
    SeekIndexFailed,
    SeekFailed,
    OpeningStreamFailed,
    NoMemory,
    Canceled,
    ReadOnlyNotModified,
    RepairCanceled,
    FixCountsFailed,
    IndexInformation,
    IndexOffsetLow,
    DocumentOffset,
    TypeAndName,
    InvalidFunctionAt,
    FunctionLengthTooSmall,
    // the file header
    HeaderDocOffset,
    HeaderDocArea,
    HeaderProductType,
    HeaderFileType,
    HeaderMajorVersion,
    HeaderMinorVersion,
    HeaderEncryptionKey,
    IndexOffsetLine,
    IndexOffsetBytes,
    // the older open's refusals and boxes
    NotDocument,
    NotDocumentType,
    NotVersion6,
    DocumentEncrypted,
    ScrambleNotDone,
    // check findings and verdicts
    ChildListTooShort,
    TooManyChildren,
    ChildIdTooLarge,
    BlockBeyondPacket,
    NullByte,
    InvalidByte,
    EndGroupMismatch,
    InvalidEndLength,
    EndLengthMismatch,
    PrefixIdOutOfRange,
    CannotFitChildren,
    ExtraBytesLine,
    OverlapLine,
    DeletedSizeLine,
    DeletedSizeHexLine,
    UseMismatchLine,
    Max1Line,
    VerdictCorrupt,
    VerdictSound,
    OnlyFromUndo,
    // names
    NativeFilename,
    DeletablePacket,
    EmbeddedPrinterCommand,
    EquationBox,
    ParagraphBorder,
    DeletableHardEoc,
    DeletableHardEol,
    DeletableSoftEol,
    EgaReserved,
    HrfReserved,
    LinearGradientFill,
    RadialGradientFill,
    RectangularGradientFill,
    WrapOnBothSides,
    AbsoluteToPageLeft,
    MarginRelative,
    // describer fields
    TextBlockCount,
    FirstTextBlockOffset,
    FirstBlockBeyondPacket,
    TextBlockSize,
    DataBeforeText,
    TextBlockData,
    NameLibrarySize,
    LineNameLength,
    StyleNameLabel,
    LibraryStyle,
    IsLibraryStyle,
    IsLibraryStyleIndented,
    IsNotLibraryStyleIndented,
    BoxCounterIdFlags,
    BorderFlags,
    PatternSet,
    PatternIndex,
    OverrideDataSize,
    OverrideFlags,
    IdFlagMask,
    IdFlagData,
    IdOverrideMask,
    IdOverrideData,
    DataSizeField,
    FlagsField,
    NewValue,
    ForegroundColor,
    FlagsByte,
    FlagsByteColon,
    // graphics dump
    UnexpectedEof,
    OutOfRange,
    ColorsDefined,
    LeftEdge,
    RightEdge,
    TopEdge,
    BottomEdge,
    WidthField,
    HeightField,
    BeforeTransformation,
    AfterTransformation,
    HorizontalAlignment,
    VerticalAlignment,
    PenForegroundColor,
    ObjectCapsuleArea,
    TextBlockArea,
    UnknownFunction,
    GridOffset,
    GridSize,
    GridDisplayInterval,
    FunctionFlagLabel,
    PrefixIdsLabel,
    HashLabel,
    HorzExtentMax,
    AbsolutePosition,
    RelativePosition,
    ChartType,
    ChartTypeIndexed,
    ChartFlags,
    ChartColor,
    ChartStyle,
    ChartInfoFlags,
    ChartEntityFlags,
    ChartBoxStyle,
    ChartBorderColor,
    StyleOpCode,
    // window
    NoFileOpen,
    ListFiltered,
    AllFilteredOut,
    ApplyFilter,
    HexDisplay,
    ExtractTextTitle,
    PrintPageHead,
    LogHead,
    CouldNotPrintTo,
    NotWritten,
    DocumentFilesFilter,
    AllFilesFilter,
    PrintInHex,
    PrintSummary,
    PrintSelected,
    PrintAllDetail,
    CorruptionSummary,
    RepairDocument,
    SubDocument,
    PrefixSummary,
    FileFormatItem,
    ScrambleItem,
    PrintEveryCode,
    BoxBorderData,
    BoxDrawObjectData,
    PrintFilteredSummary,
    NoProgramPath,
    ViewerTitle,
    QuillwrightFilesFilter,
    GraphicFilesFilter,
    BorderDataSize,
    PrefixRef,
    FunctionSize,
    VariableCode,
    Count
};

struct MessageRow {
    Msg id;
    const char* text;
};

// Salvino's forms, in the order of the ids; a few rows only the older
// inspector shows, where its form takes other values.
inline constexpr MessageRow kMessages[] = {
    // file and document errors
    {Msg::ErrorReadingFile, "Error reading file: "},
    {Msg::ErrorWritingFile, "Error Writing file: "},
    {Msg::ErrorSeekingFile, "Error seeking in file: "},
    {Msg::SeekIndexFailed, "I/O Error.  Seek to Index area failed"},
    {Msg::SeekFailed, "I/O Error.  Seek failed"},
    {Msg::OpeningStreamFailed, "I/O Error, opening stream"},
    {Msg::NoMemory, "Not enough memory to allocate buffer"},
    {Msg::Canceled, "User CANCELED loading!"},
    {Msg::ReadOnlyNotModified, " is READ ONLY, modification NOT made!"},
    {Msg::RepairCanceled, "Repair Canceled!"},
    {Msg::FixCountsFailed, "Error in QWFixPacketCounts"},
    {Msg::IndexInformation, "Index information"},
    {Msg::IndexOffsetLow, "Index offset = 0x10 bytes"},
    {Msg::DocumentOffset, "Document offset = 0x%X"},
    {Msg::TypeAndName, "type=0x%02X (%s)"},
    {Msg::InvalidFunctionAt, "Invalid function at 0x%06X"},
    {Msg::FunctionLengthTooSmall, "Function Length is too small!"},
    // the file header (the older inspector lists the document area's offset
    // and the index offset with other values)
    {Msg::HeaderDocOffset, "Offset to codes= 0x%08X (%d)"},
    {Msg::HeaderDocArea, "Offset to document area = 0x%X"},
    {Msg::HeaderProductType, "Product type   = 0x%02X"},
    {Msg::HeaderFileType, "File Type      = 0x%02X"},
    {Msg::HeaderMajorVersion, "Major Version  = 0x%02X"},
    {Msg::HeaderMinorVersion, "Minor Version  = 0x%02X"},
    {Msg::HeaderEncryptionKey, "Encryption key = 0x%02X"},
    {Msg::IndexOffsetLine, "Index offset = 0x%04X (%d)"},
    {Msg::IndexOffsetBytes, "Index offset = 0x%X bytes"},
    // the older open's refusals and boxes: Salvino's name the file
    {Msg::NotDocument, "NOT a QW Document, QWG OR Set file"},
    {Msg::NotDocumentType, "NOT a QW Document, QWG, OR Set file"},
    {Msg::NotVersion6, "Not a QW6.0 or QW7.0 type document"},
    {Msg::DocumentEncrypted, "Document is encrypted"},
    {Msg::ScrambleNotDone, "Scramble not done yet!"},
    // check findings and verdicts
    {Msg::ChildListTooShort, "Too many child packets or packet size is too small."},
    {Msg::TooManyChildren, "TOO many child packets"},
    {Msg::ChildIdTooLarge, "Prefix ID is too large!"},
    {Msg::BlockBeyondPacket, "Tried to read Text Block beyond packet area"},
    {Msg::NullByte, "Encountered a NULL byte"},
    {Msg::InvalidByte, "Encountered Invalid 0xFF byte"},
    {Msg::EndGroupMismatch, "Error! Function End Group byte doesn't match beginning Group byte"},
    {Msg::InvalidEndLength, "Error. INVALID Function End length!"},
    {Msg::EndLengthMismatch, "Error. Function End length doesn't match begin length!"},
    {Msg::PrefixIdOutOfRange, "Prefix ID out of range!"},
    {Msg::CannotFitChildren, "Function length can't fit 0x%X child packets"},
    {Msg::ExtraBytesLine, "%8lX - Extra bytes in prefix area"},
    {Msg::OverlapLine, "%8lX - ERROR Prefix Data Overlap."},
    // the bytes of deleted packets: in decimal and hex, or (older) in hex alone
    {Msg::DeletedSizeLine, "%ld (0x%lX) bytes - in %d deleted packets"},
    {Msg::DeletedSizeHexLine, "%8lX - in %d deleted packets"},
    {Msg::UseMismatchLine, "Prefix ID#%04x Use Packet=0x%X, Calc=0x%X Hidden Packet=0x%X, Calc=0x%x. Type (%s)"},
    {Msg::Max1Line, "MAX1 error. Prefix ID#%04x  Use=0x%X, Calc=0x%X  Hidden=0x%X, Calc=0x%X. Type (%s)"},
    {Msg::VerdictCorrupt, "Document CORRUPT"},
    {Msg::VerdictSound, "No Corruption Found"},
    {Msg::OnlyFromUndo, "Only referenced from UNDO area"},
    // names
    {Msg::NativeFilename, "Native Filename"},
    {Msg::DeletablePacket, "Deletable Packet"},
    {Msg::EmbeddedPrinterCommand, "Embedded Printer Command"},
    {Msg::EquationBox, "Equation Box"},
    {Msg::ParagraphBorder, "Paragraph Border"},
    {Msg::DeletableHardEoc, "Deletable Hard EOC"},
    {Msg::DeletableHardEol, "Deletable Hard EOL"},
    {Msg::DeletableSoftEol, "Deletable Soft EOL"},
    {Msg::EgaReserved, "EGA (reserved for future use)"},
    {Msg::HrfReserved, "HRF (reserved for future use)"},
    {Msg::LinearGradientFill, "Linear Gradient fill"},
    {Msg::RadialGradientFill, "Radial Gradient fill"},
    {Msg::RectangularGradientFill, "Rectangular Gradient fill"},
    {Msg::WrapOnBothSides, "   Wrap on Both Sides"},
    {Msg::AbsoluteToPageLeft, "   absolute (relative to left of page)"},
    {Msg::MarginRelative, "   margin-relative"},
    // describer fields
    {Msg::TextBlockCount, "# of text blocks: 0x%04X"},
    {Msg::FirstTextBlockOffset, "offset to first text block: 0x%08X"},
    {Msg::FirstBlockBeyondPacket, "ERROR. Prefix ID 0x%02X. 1st Text block offset beyond prefix size"},
    {Msg::TextBlockSize, "size of text block : 0x%08X"},
    {Msg::DataBeforeText, "Undocumentated data BEFORE text data"},
    {Msg::TextBlockData, "Text Block data:"},
    {Msg::NameLibrarySize, "Size of NAME/LIBRARY data 0x%04X"},
    {Msg::LineNameLength, "Line name length 0x%04X"},
    {Msg::StyleNameLabel, "Style name: "},
    {Msg::LibraryStyle, "  Library style"},
    {Msg::IsLibraryStyle, "This is a Library style"},
    {Msg::IsLibraryStyleIndented, "  This is a Library style"},
    {Msg::IsNotLibraryStyleIndented, "  This is NOT a Library style"},
    {Msg::BoxCounterIdFlags, "Box counter prefix ID flags 0x%02X"},
    {Msg::BorderFlags, "Border flags = 0x%04X"},
    {Msg::PatternSet, "QWG2 pattern set:   0x%02X"},
    {Msg::PatternIndex, "QWG2 pattern index: 0x%02X"},
    {Msg::OverrideDataSize, "Size of override data = 0x%04X"},
    {Msg::OverrideFlags, "Override flags = 0x%04X"},
    {Msg::IdFlagMask, "Prefix ID flag mask = 0x%02X"},
    {Msg::IdFlagData, "Prefix ID flag data = 0x%02X"},
    {Msg::IdOverrideMask, "Prefix ID override MASK= 0x%02X"},
    {Msg::IdOverrideData, "Prefix ID override DATA= 0x%02X"},
    {Msg::DataSizeField, "  Data Size = 0x%04X"},
    {Msg::FlagsField, "  Flags     = 0x%04X"},
    {Msg::NewValue, "  new value =  0x%04X"},
    {Msg::ForegroundColor, "  Foreground/Start Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)"},
    {Msg::FlagsByte, "flags 0x%02X"},
    {Msg::FlagsByteColon, "flags: 0x%02X"},
    // graphics dump
    {Msg::UnexpectedEof, " Unexpected EOF while reading data. "},
    {Msg::OutOfRange, " is out of range."},
    {Msg::ColorsDefined, "%u Colors Defined"},
    {Msg::LeftEdge, "Left Edge (X)   ="},
    {Msg::RightEdge, "Right Edge (X)  ="},
    {Msg::TopEdge, "Top Edge (Y)    ="},
    {Msg::BottomEdge, "Bottom Edge (Y) ="},
    {Msg::WidthField, "Width (X)   ="},
    {Msg::HeightField, "Height (Y)  ="},
    {Msg::BeforeTransformation, "Before Transformation"},
    {Msg::AfterTransformation, "After Transformation"},
    {Msg::HorizontalAlignment, "Horizontal Alignment"},
    {Msg::VerticalAlignment, "Vertical Alignment"},
    {Msg::PenForegroundColor, "Pen ForegroundColor"},
    {Msg::ObjectCapsuleArea, "Object Capsule Area"},
    {Msg::TextBlockArea, "Text Block Area"},
    {Msg::UnknownFunction, "Unknown function"},
    {Msg::GridOffset, "Grid Offset           ="},
    {Msg::GridSize, "Grid Size             ="},
    {Msg::GridDisplayInterval, "Grid Display Interval ="},
    {Msg::FunctionFlagLabel, "Function Flag:           "},
    {Msg::PrefixIdsLabel, "Prefix ID's:             "},
    {Msg::HashLabel, "Hash:                    "},
    {Msg::HorzExtentMax, "Horz Extent Max: (1200)"},
    {Msg::AbsolutePosition, "    Absolute Position: %8lxh "},
    {Msg::RelativePosition, "    Relative Position: %8lxh "},
    {Msg::ChartType, "Type = %4xh (%5u) "},
    {Msg::ChartTypeIndexed, "Type[%2u] = %4xh (%5u) "},
    {Msg::ChartFlags, "Flags = %4xh (%5u) "},
    {Msg::ChartColor, "Color[%2u] = %02x %02x %02x %02x "},
    {Msg::ChartStyle, "Style = %4xh (%5u) "},
    {Msg::ChartInfoFlags, "Info Flags = %4xh (%5u) "},
    {Msg::ChartEntityFlags, "Entity Flags = %4xh (%5u) "},
    {Msg::ChartBoxStyle, "Box Style = %4xh (%5u) "},
    {Msg::ChartBorderColor, "Border Color = %02x %02x %02x %02x "},
    {Msg::StyleOpCode, "Style OpCode Name = %s, Number = %xh (%u), Length = %xh (%u)"},
    // window
    {Msg::NoFileOpen, "No File Open"},
    {Msg::ListFiltered, "  List is FILTERED"},
    {Msg::AllFilteredOut, "All items were filtered out!"},
    {Msg::ApplyFilter, "&Apply Filter"},
    {Msg::HexDisplay, "&Hex Display"},
    {Msg::ExtractTextTitle, "Extract Text"},
    {Msg::PrintPageHead, "---- File: %s   Page: %d ----"},
    {Msg::LogHead, "File: %s  ----- Date: %s"},
    {Msg::CouldNotPrintTo, "Could not print to %s."},
    {Msg::NotWritten, "File: %s, could not be written to.  Nothing written to disk."},
    {Msg::DocumentFilesFilter, "Quillwright Documents (*.qwd *.qwt *.qcm)"},
    {Msg::AllFilesFilter, "All Files (*)"},
    {Msg::PrintInHex, "Print Detail description in HEX"},
    {Msg::PrintSummary, "Complete Summary List of codes/records"},
    {Msg::PrintSelected, "Selected Code/Record in Detail"},
    {Msg::PrintAllDetail, "All (Filtered) Codes/Records in Detail"},
    {Msg::CorruptionSummary, "Corruption Summary"},
    {Msg::RepairDocument, "Repair Document"},
    {Msg::SubDocument, "Sub Document"},
    {Msg::PrefixSummary, "Complete Summary List of Prefix Packets"},
    {Msg::FileFormatItem, "&File Format..."},
    {Msg::ScrambleItem, "&Scramble all text..."},
    {Msg::PrintEveryCode, "ALL (filtered) Codes/Records in Detail"},
    {Msg::BoxBorderData, "BOX BORDER DATA"},
    {Msg::BoxDrawObjectData, "BOX DRAW OBJECT DATA"},
    {Msg::PrintFilteredSummary, "Print only filtered codes Summary"},
    {Msg::NoProgramPath, "Problem getting path to GLIMMET.EXE"},
    {Msg::ViewerTitle, "QW Document Viewer"},
    {Msg::QuillwrightFilesFilter, "Quillwright Files (*.qwd *.qwg)"},
    {Msg::GraphicFilesFilter, "Quillwright Graphic Files (*.qwg)"},
    {Msg::BorderDataSize, "Size of Border data = 0x%04X"},
    {Msg::PrefixRef, "        PFX Ref %d is ID 0x%04X (%s)"},
    {Msg::FunctionSize, "Function Size: 0x%04X"},
    {Msg::VariableCode, "Variable Len Code: 0x%02X%02X"},
};

namespace detail {
void MessageFormatIsMalformed();  // never defined: reached only by a bad format or overlay

consteval bool MessagesInOrder() {
    if (std::size(kMessages) != static_cast<size_t>(Msg::Count)) return false;
    for (size_t i = 0; i < std::size(kMessages); ++i)
        if (static_cast<size_t>(kMessages[i].id) != i) return false;
    return true;
}
static_assert(MessagesInOrder(), "one row per message id, in the order of the ids");

// The kind of the printf conversion at `p` (just after its '%'): 'i' an int
// (d i u x X o c), 'l' a long (the same with l), 'f' a double, 's' a string,
// '%' a literal percent; 0 for anything else. `p` ends on the letter.
constexpr char MessageConversion(const char*& p) {
    if (*p == '%') return '%';
    while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') ++p;
    while (*p >= '0' && *p <= '9') ++p;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') ++p;
    }
    const bool isLong = *p == 'l';
    if (isLong) ++p;
    switch (*p) {
        case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': return isLong ? 'l' : 'i';
        case 'c': return isLong ? 0 : 'i';
        case 'f': case 'g': return isLong ? 0 : 'f';
        case 's': return isLong ? 0 : 's';
        default: return 0;
    }
}

// The conversion kinds of `text` in order, as a NUL-ended string; 0 at the
// first unknown conversion, which no argument list fits.
struct MessageKinds {
    char k[16]{};
    int n = 0;
    bool valid = true;
};
constexpr MessageKinds KindsOf(const char* text) {
    MessageKinds kinds;
    for (const char* p = text; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        const char k = MessageConversion(p);
        if (k == '%') continue;
        if (k == 0 || kinds.n == 15) {
            kinds.valid = false;
            return kinds;
        }
        kinds.k[kinds.n++] = k;
    }
    return kinds;
}
constexpr bool SameKinds(const MessageKinds& a, const MessageKinds& b) {
    if (!a.valid || !b.valid || a.n != b.n) return false;
    for (int i = 0; i < a.n; ++i)
        if (a.k[i] != b.k[i]) return false;
    return true;
}

// The conversion an argument of type T fits once passed through "...".
template <class T>
constexpr char ArgumentKind() {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<U, long> || std::is_same_v<U, unsigned long>) return 'l';
    else if constexpr (std::is_integral_v<U> && sizeof(U) <= sizeof(int)) return 'i';
    else if constexpr (std::is_same_v<U, double> || std::is_same_v<U, float>) return 'f';
    else if constexpr (std::is_same_v<std::decay_t<U>, const char*> || std::is_same_v<std::decay_t<U>, char*>)
        return 's';
    else return 0;
}
template <class... A>
constexpr bool ArgumentsFit(const char* text) {
    const MessageKinds want = KindsOf(text);
    const char have[] = {ArgumentKind<A>()..., 0};
    if (!want.valid || want.n != static_cast<int>(sizeof...(A))) return false;
    for (int i = 0; i < want.n; ++i)
        if (want.k[i] != have[i]) return false;
    return true;
}

std::string FormatMessage(const char* text, ...);
}  // namespace detail

// Salvino's form of `id`: a constant, for tables and checked line formats.
constexpr const char* SharedText(Msg id) { return kMessages[static_cast<size_t>(id)].text; }

// A profile's own form of one message, checked against the shared form's
// conversions when the program is compiled.
struct MessageOverlayRow {
    Msg id;
    const char* text;
    consteval MessageOverlayRow(Msg i, const char* t) : id(i), text(t) {
        if (!detail::SameKinds(detail::KindsOf(SharedText(i)), detail::KindsOf(t)))
            detail::MessageFormatIsMalformed();
    }
};

// The form of `id` among `overlay`'s rows, else the shared form.
constexpr const char* OverlaidText(std::span<const MessageOverlayRow> overlay, Msg id) {
    for (const MessageOverlayRow& row : overlay)
        if (row.id == id) return row.text;
    return SharedText(id);
}

// The form of `id` that `profile` shows.
const char* Text(Msg id, const Profile& profile);
// The form of `id` that the context's profile shows.
const char* Text(Msg id);

// The context's form of `id`, for a writer that formats it with arguments
// of the types `A`: refused when compiled unless they fit its conversions.
template <Msg id, class... A>
const char* CheckedText() {
    static_assert(detail::ArgumentsFit<A...>(SharedText(id)),
                  "the arguments do not fit the message's conversions");
    return Text(id);
}

// The line of `id` in the context's profile's form, filled with `args`.
template <Msg id, class... A>
std::string Format(A... args) {
    return detail::FormatMessage(CheckedText<id, A...>(), args...);
}

}  // namespace engine
