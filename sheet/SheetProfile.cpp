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
        .pageTitles = {"Repair Document", "Information", "Format", "Prefix", "Codes", "Filter List",
                       "Sub Document"},
    };
    return profile;
}

}  // namespace inspector
