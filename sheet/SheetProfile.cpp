#include "sheet/SheetProfile.h"

#include "engine/Document.h"
#include "engine/TextOps.h"

namespace inspector {

namespace {

constexpr int kSalvinoRefresh[] = {kInfoPage, kRepairPage, kFormatPage, kPrefixPage, kCodesPage, kSubDocPage};
constexpr int kSalvinoBack[] = {kPrefixPage, kCodesPage, kSubDocPage};

constexpr MenuItem kFile[] = {{"&Open...", 57601},
                              {"&Close", 57602},
                              {"&Print...", 57607},
                              {"Fetch &Document from Quillwright", 32775},
                              {"&Auto Refresh", 32776},
                              {nullptr, 0},
                              {"Exit", 32771},
                              {nullptr, 0},
                              {"Recent File", 57616}};
constexpr MenuItem kEdit[] = {{"&Find...", 57636},
                              {nullptr, 0},
                              {engine::SharedText(engine::Msg::ScrambleItem), 32783},
                              {nullptr, 0},
                              {"&Extract text from document...", 32785}};
constexpr MenuItem kOptions[] = {{"&Font...", 32774}};
constexpr MenuItem kHelp[] = {
    {"&Help...", 32780}, {nullptr, 0}, {engine::SharedText(engine::Msg::FileFormatItem), 32784}, {nullptr, 0}, {"&About...", 32778}};
constexpr MenuPopup kMenu[] = {{"&File", kFile}, {"&Edit", kEdit}, {"&Options", kOptions}, {"&Help", kHelp}};

}  // namespace

const SheetProfile& SalvinoSheetProfile() {
    static const SheetProfile profile{
        .organisation = "Tarnwell",
        .application = "Salvino",
        .title = "Salvino",
        .printJobName = "Glimmet",
        .engine = &engine::SalvinoProfile(),
        .recentMax = 9,
        .simplePages = 2,
        .pageTitles = {engine::Text(engine::Msg::RepairDocument), "Information", "Format", "Prefix", "Codes", "Filter List",
                       engine::Text(engine::Msg::SubDocument)},
        .findCaption = "GLIMMET",
        .searchCaption = "Search",
        .helpFirstTip = "SALVINO can read and display QW 6, QW 7 and QW 8 documents.  It can also read and "
                        "display QWG 2.x and QWG 3 image files.",
        .aboutCaption = "About SALVINO",
        .aboutProduct = "QW Document Restore Utility",
        .aboutVersion = "Version 2.1",
        .batch = true,
        .refreshOrder = kSalvinoRefresh,
        .backSelects = kSalvinoBack,
        .menu = kMenu,
        .openDocument = &engine::OpenDocument,
        .listFileHeader = &engine::ListFileHeader,
        .searchText = &engine::SearchDocumentText,
    };
    return profile;
}

}  // namespace inspector
