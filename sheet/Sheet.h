#pragma once
// The main window's controller, free of widgets: settings, recent files, the
// Back history, loading and unloading the one document, the caption, the
// simple and advanced views, and the page protocol. The Qt window drives it
// and shows what it asks for through SheetView; the pages take part through
// SheetPage.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/Document.h"
#include "sheet/Settings.h"
#include "sheet/SheetProfile.h"

namespace engine {
struct DocFile;
}

namespace inspector {

// UpdatePage flags: the print values are compared whole, the others are bits.
enum : uint32_t {
    kUpdateDocument = 1,
    kUpdateHex = 2,
    kUpdateFont = 4,
    kUpdateAll = 0xFFFFFFFF,
    kPrintDetail = 0xF0000000,
    kPrintSummary = 0xE0000000,
    kPrintEveryItem = 0xD0000000,
};

// "Button defaults" bits.
enum : uint32_t {
    kDefaultRepairCorruption = 0x1,
    kDefaultRemoveUndo = 0x2,
    kDefaultRemoveStyles = 0x4,
    kDefaultAdvanced = 0x8,
};

class SheetPage {
public:
    virtual ~SheetPage() = default;
    // The page became the active one (its window is made the first time).
    virtual void OnSetActive() = 0;
    // The user leaves the page for another.
    virtual void OnKillActive() {}
    virtual bool HasWindow() const = 0;
    virtual void UpdatePage(uint32_t flags) = 0;
    // The document went: fill again when next asked or shown.
    virtual void MarkNeedsRefill() {}
    // The document is about to close: nothing may read it after this.
    virtual void DocumentClosing() {}

    // Navigation, for the pages that list rows others lead to.
    virtual void SelectItem(uint32_t row) { (void)row; }
    virtual bool FilterOn() const { return false; }
    virtual void SetFilterOff() {}
    virtual size_t RowCount() const { return 0; }
    virtual uint32_t RowTag(size_t row) const { (void)row; return 0; }

    // The Filter page: write the user's choice into the sheet's masks.
    virtual void ApplyFilter() {}
    // The Repair page: whether its repair can run at all.
    virtual bool RepairAvailable() const { return false; }
};

class SheetView {
public:
    virtual ~SheetView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetBackEnabled(bool enabled) = 0;
    virtual void SetRepairEnabled(bool enabled) = 0;
    virtual void SetAdvancedText(const std::string& text) = 0;
    virtual void AddPage(int role) = 0;     // puts the page of `role` into the sheet, at the end
    virtual void RemovePage(int role) = 0;  // takes it out; the page object stays
    virtual void ShowPage(int role) = 0;    // makes it the current tab
};

// The first of `count` rows in file order whose tag, masked, is at least
// `value`, by binary search; untagged rows (tag 0) are stepped over. `count`
// when there is none.
size_t FirstRowAtOrAfter(size_t count, const std::function<uint32_t(size_t)>& tagOf, uint32_t mask,
                         uint32_t value);

struct HistoryEntry {
    uint32_t pageKind;
    uint32_t value;
};

// The program's arguments (after its name) joined by single blanks, quotes
// and all: an unquoted path with blanks still arrives whole.
std::string PendingPathFromArguments(int argc, const char* const* argv);

// The absolute, cleaned form of a path as the recent list keeps it;
// symlinks stay as they are.
std::string AbsoluteCleanPath(const std::string& path);

// The part of a path after its last '/'.
std::string FileNameOf(const std::string& path);

class CTabSheet {
public:
    // Reads the recent-file list.
    CTabSheet(const SheetProfile& profile, SheetView* view);
    // Writes the recent-file list.
    ~CTabSheet();
    CTabSheet(const CTabSheet&) = delete;
    CTabSheet& operator=(const CTabSheet&) = delete;

    // The pages by role (PageRole); none for a role the profile has no page for.
    void AttachPages(const std::array<SheetPage*, kPageCount>& pages) { pages_ = pages; }
    SheetPage* PageAt(int role) const { return role >= 0 && role < kPageCount ? Page(role) : nullptr; }
    void SetPendingPath(std::string path) { pending_ = std::move(path); }

    // The window's life: settings read, view built and the pending document
    // opened, settings written and the document closed.
    void OnCreate();
    void OnInitDialog();
    void OnDestroy();

    void LoadDocument(const std::string& path, bool modified);
    void UnloadDocument();
    void RefreshAllPages(uint32_t flags);
    void RefreshPage(int role, uint32_t flags);
    // `pageKind` is the role of the page that pushes; the history keeps its
    // tab index.
    void PushHistory(uint32_t pageKind, uint32_t value, uint32_t target);
    void Back();
    void ClearHistory();
    void UpdateCaption(const std::string* path, bool modified);
    void ToggleAdvanced();
    void OpenRecent(int number);

    // Makes a page of the current view active, by role; its page gets
    // OnSetActive.
    void SetActivePage(int role);
    // The active page's role.
    int ActivePage() const { return active_; }
    bool PageInView(int role) const;

    uint32_t GetButtonDefaults() const { return settings_.buttonDefaults; }
    void SetButtonDefaultBits(uint32_t mask, bool on);
    void SetLastPage(int index);

    const SheetProfile& Profile() const { return profile_; }
    engine::DocFile* Document() const { return doc_; }
    const engine::FileHeader& Header() const { return header_; }
    int ReadOnly() const { return readOnly_; }
    bool Advanced() const { return advanced_; }
    bool Batch() const { return batch_; }
    void SetBatch(bool on) { batch_ = on; }
    bool AutoRefresh() const { return autoRefresh_; }
    void SetAutoRefresh(bool on) { autoRefresh_ = on; }
    SheetSettings& Settings() { return settings_; }
    const SheetSettings& Settings() const { return settings_; }
    RecentFiles& Recent() { return recent_; }
    const std::string& LastFailedPath() const { return lastFailed_; }
    const std::string& PendingPath() const { return pending_; }
    const std::vector<HistoryEntry>& History() const { return history_; }
    const std::string& Caption() const { return caption_; }
    // Counts loads and unloads: a page can tell whether what it shows is
    // still the document's.
    uint64_t DocumentGeneration() const { return generation_; }

    // Yes in a refusal box: extract the refused file's text.
    std::function<void()> onExtract;

private:
    SheetPage* Page(int role) const { return pages_[static_cast<size_t>(role)]; }
    void ShowRefusal(int verdict, const std::string& path);
    // Back is enabled while the last entry names a page of the current view.
    void UpdateBack();
    uint32_t CodeRowAtOrAfter(uint32_t offset) const;

    const SheetProfile& profile_;
    SheetView* view_;
    std::array<SheetPage*, kPageCount> pages_{};
    engine::DocFile* doc_ = nullptr;
    int readOnly_ = 0;
    engine::FileHeader header_;
    SheetSettings settings_;
    RecentFiles recent_;
    std::vector<HistoryEntry> history_;
    std::string pending_;
    std::string lastFailed_;
    std::string caption_;
    bool advanced_ = false;
    bool batch_ = false;
    bool autoRefresh_ = false;
    int active_ = -1;
    uint64_t generation_ = 0;
};

}  // namespace inspector
