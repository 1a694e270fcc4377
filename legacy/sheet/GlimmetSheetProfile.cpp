#include "legacy/sheet/GlimmetSheetProfile.h"

#include <array>

#include "legacy/engine/GlimmetCheck.h"
#include "legacy/engine/GlimmetOpen.h"
#include "legacy/engine/GlimmetProfile.h"
#include "legacy/engine/GlimmetScanner.h"
#include "sheet/Commands.h"
#include "sheet/FilterMasks.h"

namespace legacy {

namespace {

using namespace inspector;

constexpr int kRefresh[] = {kFormatPage, kPrefixPage, kCodesPage, kFilterPage, kInfoPage, kSubDocPage};
constexpr int kBack[] = {kPrefixPage, kCodesPage, kSubDocPage, kInfoPage};

constexpr MenuItem kFile[] = {
    {"&Open...", 57601}, {"&Close", 57602}, {"&Print...", 57607}, {nullptr, 0}, {"Recent File", 57616}};
constexpr MenuItem kEdit[] = {{"&Find...", 57636}, {nullptr, 0}, {engine::SharedText(engine::Msg::ScrambleItem), 32783}};
constexpr MenuItem kView[] = {{"&Font...", 32774}};
constexpr MenuItem kHelp[] = {
    {"&Help...", 32780}, {nullptr, 0}, {engine::SharedText(engine::Msg::FileFormatItem), 32784}, {nullptr, 0}, {"&About...", 32778}};
constexpr MenuPopup kMenu134[] = {{"&File", kFile}, {"Edit", kEdit}, {"&View", kView}, {"&Help", kHelp}};

constexpr const char* kOpenFilters[] = {
    engine::SharedText(engine::Msg::QuillwrightFilesFilter),
    "Quillwright Documents (*.qwd)",
    engine::SharedText(engine::Msg::GraphicFilesFilter),
    engine::SharedText(engine::Msg::AllFilesFilter),
};

// The boxes 1017, 1043 and 1044 are shown and do nothing; the hex boxes
// cannot be changed: each page prints with its own hex flag.
constexpr PrintBox kInfoBoxes[] = {{1006, "File Header / Docfile Info", &PrintChoice::format}};
constexpr PrintBox kPrefixBoxes[] = {
    {1032, engine::SharedText(engine::Msg::PrefixSummary), &PrintChoice::prefixSummary},
    {1031, "Selected Prefix in Detail", &PrintChoice::prefixSelected},
    {1038, "ALL (filtered) Prefix Packets in Detail", &PrintChoice::prefixAll},
    {1017, "Print only filtered prefix packets", nullptr, false},
    {1009, engine::SharedText(engine::Msg::PrintInHex), &PrintChoice::prefixHex, false}};
constexpr PrintBox kCodesBoxes[] = {
    {1030, engine::SharedText(engine::Msg::PrintSummary), &PrintChoice::codesSummary},
    {1043, engine::SharedText(engine::Msg::PrintFilteredSummary), nullptr, false},
    {1029, engine::SharedText(engine::Msg::PrintSelected), &PrintChoice::codesSelected},
    {1037, engine::SharedText(engine::Msg::PrintEveryCode), &PrintChoice::codesAll},
    {1008, engine::SharedText(engine::Msg::PrintInHex), &PrintChoice::codesHex, false}};
constexpr PrintBox kCorruptionBoxes[] = {{1033, "Corruption", &PrintChoice::corruption}};
constexpr PrintBox kSubBoxes[] = {
    {1035, engine::SharedText(engine::Msg::PrintSummary), &PrintChoice::subSummary},
    {1044, engine::SharedText(engine::Msg::PrintFilteredSummary), nullptr, false},
    {1034, engine::SharedText(engine::Msg::PrintSelected), &PrintChoice::subSelected},
    {1041, engine::SharedText(engine::Msg::PrintEveryCode), &PrintChoice::subAll},
    {1040, engine::SharedText(engine::Msg::PrintInHex), &PrintChoice::subHex, false}};
constexpr PrintGroup kPrintGroups[] = {{"Info", kInfoBoxes},
                                       {"Prefix", kPrefixBoxes},
                                       {"Codes", kCodesBoxes},
                                       {"Corruption", kCorruptionBoxes},
                                       {engine::SharedText(engine::Msg::SubDocument), kSubBoxes}};
constexpr std::pair<int, int> kPrintClears[] = {{1029, 1037}, {1037, 1029}, {1034, 1041}, {1041, 1034}, {1038, 1031}};
constexpr int kPrintOrder[] = {kFormatPage, kPrefixPage, kCodesPage, kInfoPage, kSubDocPage};
constexpr PrintLayout kPrint{kPrintGroups, kPrintClears, kPrintOrder, false, false};

constexpr uint8_t kTextBlockTypes[] = {8, 28, 48};

// Salvino's rows for types 0x01 to 0x3F, five of them named as the older
// dumper knew them; no row for type 0x40.
const std::array<const char*, kGraphicsCategoryCount - 1>& GraphicsRows() {
    static const auto rows = [] {
        std::array<const char*, kGraphicsCategoryCount - 1> r{};
        for (size_t i = 0; i < r.size(); ++i) r[i] = kGraphicsCategoryNames[i];
        r[0x3A - 1] = "(0x3A) ?";
        r[0x3B - 1] = "(0x3B) ?";
        r[0x3D - 1] = "(0x34) Brush Texture";
        r[0x3E - 1] = "(0x35) Texture Alignment";
        r[0x3F - 1] = "(0x36) Pen Texture";
        return r;
    }();
    return rows;
}

}  // namespace

const SheetProfile& GlimmetSheetProfile() {
    static const SheetProfile profile{
        .organisation = "Ostrel",
        .application = "Glimmet",
        .title = engine::SharedText(engine::Msg::ViewerTitle),
        .printJobName = "Glimmet",
        .engine = &GlimmetProfile(),
        .recentMax = 9,
        .simplePages = 6,
        .pageTitles = {nullptr, "Corruption", "Info", "Prefix", "Codes", "Filter List", engine::SharedText(engine::Msg::SubDocument)},
        .findCaption = "Sorry",
        .searchCaption = "Dialog",
        .helpFirstTip = "GLIMMET can read and display QW 6.x and QW 7 documents.  It can also read and display "
                        "QWG 2.x and QWG 3 image files.",
        .aboutCaption = "About glimmet",
        .aboutProduct = engine::SharedText(engine::Msg::ViewerTitle),
        .aboutVersion = "Version 1.0",
        .batch = false,
        // Info, Prefix, Codes, Filter List, Corruption, Sub Document.
        .pageIndex = {-1, 4, 0, 1, 2, 3, 5},
        .advancedView = false,
        .refreshOrder = kRefresh,
        .backSelects = kBack,
        .viewSettings = false,
        .acceptsDrops = false,
        .helpKey = false,
        .openFilters = kOpenFilters,
        .menu = kMenu134,
        .print = &kPrint,
        .pages =
            {
                .refillAtOnce = true,
                .prefixUses = false,
                .prefixName = false,
                .codeName = false,
                .formatSizes = false,
                .prefixEditRefreshesAll = false,
                .backToPacketLine = true,
                .subDocTabTitle = "Prefix Packet 0x",
                .textBlockTypes = kTextBlockTypes,
                .filterHint = "Use Control Click to Select/Deselect  Multiple Records",
                .graphicsRows = GraphicsRows(),
                .filterFollowsSheet = true,
            },
        .openDocument = &OpenDocument,
        .listFileHeader = &ListFileHeader,
        .searchText = &SearchText,
    };
    return profile;
}

}  // namespace legacy
