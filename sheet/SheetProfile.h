#pragma once
// What Salvino's sheet and Glimmet's window differ in, as data: where the
// settings live, the title, the page set and the texts the sheet shows.
// Glimmet's window is a second instance of this, not a copy of the sheet.

#include <array>
#include <cstdint>

#include "engine/Profile.h"

namespace inspector {

// Page kinds, which are also the page indexes of Salvino's advanced view.
enum PageIndex : int {
    kRepairPage = 0,
    kInfoPage = 1,
    kFormatPage = 2,
    kPrefixPage = 3,
    kCodesPage = 4,
    kFilterPage = 5,
    kSubDocPage = 6,
    kPageCount = 7,
};

struct SheetProfile {
    const char* organisation;  // settings: QSettings(organisation, application)
    const char* application;
    const char* title;         // the caption's title and the boxes' default caption
    const char* printJobName;
    const engine::Profile* engine;
    int recentMax;
    int simplePages;           // pages 0 .. simplePages-1 form the simple view
    std::array<const char*, kPageCount> pageTitles;
    // The caption of Find's not-found boxes and of its dialog.
    const char* findCaption;
    const char* searchCaption;
    // The Help tips' first line and the About box.
    const char* helpFirstTip;
    const char* aboutCaption;
    const char* aboutProduct;
    const char* aboutVersion;
    // Open takes several files and runs them as a batch.
    bool batch;
};

const SheetProfile& SalvinoSheetProfile();

}  // namespace inspector
