#include "sheet/SheetProfile.h"

namespace inspector {

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
    };
    return profile;
}

}  // namespace inspector
