#pragma once
// What Salvino's sheet and Glimmet's window differ in, as data: where the
// settings live, the title, the page set and the texts the sheet shows.
// Glimmet's window is a second instance of this, not a copy of the sheet.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "engine/Profile.h"

namespace engine {
struct DocFile;
struct FileHeader;
class ListTarget;
}  // namespace engine

namespace inspector {

struct PrintLayout;

// What a page is for. The sheet, the commands and the pages name pages by
// role; a profile places each role it has at a tab index. Salvino's
// indexes are the roles themselves; Glimmet's findings page is its
// "Corruption" page, its header page its "Info" page.
enum PageRole : int {
    kRepairPage = 0,  // repair choices and log
    kInfoPage = 1,    // the check's findings
    kFormatPage = 2,  // the file header and the docfile directory
    kPrefixPage = 3,
    kCodesPage = 4,
    kFilterPage = 5,
    kSubDocPage = 6,
    kPageCount = 7,   // roles, and the most pages a sheet holds
};

// One item of the menu bar; id 0 is a separator. The recent files stand
// where the item 57616 is.
struct MenuItem {
    const char* text;
    int id;
};

struct MenuPopup {
    const char* title;
    std::span<const MenuItem> items;
};

// Where the pages of the two inspectors behave differently.
struct PageDialect {
    // A page refills as soon as the document changes, shown or not (else
    // at its next activation).
    bool refillAtOnce = false;
    // The Prefix page can list a packet's uses, and names the packet shown.
    bool prefixUses = true;
    bool prefixName = true;
    // The Codes pages name the code shown.
    bool codeName = true;
    // The Format page shows the prefix and code-area sizes.
    bool formatSizes = true;
    // A row edit on the Prefix page rereads the packet table and refreshes
    // every page; else it refills the Prefix page alone.
    bool prefixEditRefreshesAll = true;
    // A double-click on a packet line goes back to that line, not to the
    // packet's id.
    bool backToPacketLine = false;
    // The Sub Document page's tab names its source packet: this text, then
    // the id in two hex digits.
    const char* subDocTabTitle = nullptr;
    // Packet types whose text blocks the Sub Document page lists; empty:
    // every type that has them.
    std::span<const uint8_t> textBlockTypes{};
    // The Filter List page: its hint, its graphics rows (row r for record
    // type r + 1), whether it fills only while a file is open and refills
    // with every RefreshAllPages, and applies on every change.
    const char* filterHint = nullptr;
    std::span<const char* const> graphicsRows{};
    bool filterFollowsSheet = false;
};

struct SheetProfile {
    const char* organisation;  // settings: QSettings(organisation, application)
    const char* application;
    const char* title;         // the caption's title and the boxes' default caption
    const char* printJobName;
    const engine::Profile* engine;
    int recentMax;
    int simplePages;           // pages 0 .. simplePages-1 form the simple view
    std::array<const char*, kPageCount> pageTitles;  // by role
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

    // Each role's tab index, -1 for a role the profile has no page for.
    std::array<int, kPageCount> pageIndex{0, 1, 2, 3, 4, 5, 6};
    // The view grows from the simple pages to all of them (else all pages
    // are there from the start).
    bool advancedView = true;
    // The order RefreshAllPages sends the pages the page operation, by role.
    std::span<const int> refreshOrder{};
    // Roles whose page selects the history value on Back (others beep).
    std::span<const int> backSelects{};
    // The settings "Open Dialog Filter Index", "Button defaults" and
    // "BatchAvailable" exist.
    bool viewSettings = true;
    bool acceptsDrops = true;
    // F1 shows the Help tips.
    bool helpKey = true;
    // The Open dialog's filters; empty: Salvino's.
    std::span<const char* const> openFilters{};
    std::span<const MenuPopup> menu{};
    const PrintLayout* print = nullptr;  // none: Salvino's
    PageDialect pages{};

    // The open of a document: none when refused, with the verdict the
    // sheet reports, or kVerdictOpened when the open reported it itself.
    engine::DocFile* (*openDocument)(const std::string& path, engine::FileHeader* header, int* readOnly,
                                     int* verdict) = nullptr;
    // The file header's listing on the Format page.
    void (*listFileHeader)(engine::DocFile* f, engine::ListTarget* target) = nullptr;
    // Find's search: the offset of the text run holding the text, 0 when
    // not found, 1 when the scan failed.
    int32_t (*searchText)(engine::DocFile* f, uint32_t start, uint32_t length, const char* text,
                          bool caseSensitive) = nullptr;

    int IndexOf(int role) const {
        return role >= 0 && role < kPageCount ? pageIndex[static_cast<size_t>(role)] : -1;
    }
    // The role at tab index `index`, -1 when none.
    int RoleAt(int index) const {
        for (int r = 0; r < kPageCount; ++r)
            if (pageIndex[static_cast<size_t>(r)] == index && index >= 0) return r;
        return -1;
    }
    int PageCount() const {
        int n = 0;
        for (int i : pageIndex) n += i >= 0;
        return n;
    }
};

const SheetProfile& SalvinoSheetProfile();

}  // namespace inspector
