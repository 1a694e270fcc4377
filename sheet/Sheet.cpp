#include "sheet/Sheet.h"

#include <algorithm>
#include <filesystem>

#include <QSettings>
#include <QString>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "graphics/Dumper.h"

namespace inspector {

namespace {

// The type and document-area offset of a header copy: 0 when nothing is loaded.
void ForgetDocument(engine::FileHeader& h) {
    for (int i = 4; i < 8; ++i) h.bytes[i] = 0;
    h.bytes[9] = 0;
}

}  // namespace

std::string PendingPathFromArguments(int argc, const char* const* argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) path += ' ';
        path += argv[i];
    }
    return path;
}

std::string AbsoluteCleanPath(const std::string& path) {
    if (path.empty()) return path;
    std::string full = path;
    if (path[0] != '/') {
        std::error_code ec;
        const std::string cwd = std::filesystem::current_path(ec).string();
        if (ec) return path;
        full = cwd + "/" + path;
    }
    // Cleaned as text, the bytes kept: a symlink in the path stays what the
    // user named, and ".." takes away the name before it.
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= full.size()) {
        size_t slash = full.find('/', at);
        if (slash == std::string::npos) slash = full.size();
        const std::string part = full.substr(at, slash - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = slash + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

CTabSheet::CTabSheet(const SheetProfile& profile, SheetView* view)
    : profile_(profile), view_(view), recent_(profile.recentMax) {
    QSettings store = SettingsStore(profile_);
    recent_.Read(store);
    engine::Ctx().sink.fileName.clear();
}

CTabSheet::~CTabSheet() {
    if (doc_) engine::CloseDocument(doc_);
    QSettings store = SettingsStore(profile_);
    recent_.Write(store);
}

void CTabSheet::OnCreate() {
    QSettings store = SettingsStore(profile_);
    settings_.Read(store, profile_.viewSettings);
    autoRefresh_ = false;
}

void CTabSheet::OnInitDialog() {
    advanced_ = false;
    view_->SetAdvancedText("Advanced >>");
    view_->SetBackEnabled(false);
    view_->SetRepairEnabled(false);
    if (!profile_.advancedView) {
        // Every page is there from the start; with no document they stay unfilled.
        SetActivePage(profile_.RoleAt(0));
        if (!pending_.empty()) LoadDocument(pending_, false);
        if (caption_.empty()) UpdateCaption(nullptr, false);
        return;
    }
    SetActivePage(kInfoPage);
    SetActivePage(kRepairPage);
    if (settings_.buttonDefaults & kDefaultAdvanced) ToggleAdvanced();
    if (!pending_.empty())
        LoadDocument(pending_, false);
    else
        RefreshAllPages(kUpdateDocument);
    if (caption_.empty()) UpdateCaption(nullptr, false);
}

void CTabSheet::OnDestroy() {
    {
        QSettings store = SettingsStore(profile_);
        settings_.Write(store, profile_.viewSettings);
    }
    UnloadDocument();
}

bool CTabSheet::PageInView(int role) const {
    const int index = profile_.IndexOf(role);
    if (index < 0 || !Page(role)) return false;
    return !profile_.advancedView || advanced_ || index < profile_.simplePages;
}

void CTabSheet::SetActivePage(int role) {
    if (!PageInView(role) || role == active_) return;
    if (SheetPage* left = active_ >= 0 ? Page(active_) : nullptr) left->OnKillActive();
    active_ = role;
    view_->ShowPage(role);
    SetLastPage(profile_.IndexOf(role));
    if (SheetPage* p = Page(role)) p->OnSetActive();
}

void CTabSheet::SetButtonDefaultBits(uint32_t mask, bool on) {
    if (on)
        settings_.buttonDefaults |= mask;
    else
        settings_.buttonDefaults &= ~mask;
}

void CTabSheet::SetLastPage(int index) {
    settings_.buttonDefaults = (settings_.buttonDefaults & 0x00FFFFFFu) | (static_cast<uint32_t>(index) << 24);
}

void CTabSheet::ToggleAdvanced() {
    if (!profile_.advancedView) return;
    const int current = active_;
    const int count = profile_.PageCount();
    if (advanced_) {
        if (current != kRepairPage && current != kInfoPage) SetActivePage(kRepairPage);
        for (int i = count - 1; i >= profile_.simplePages; --i) view_->RemovePage(profile_.RoleAt(i));
        view_->SetAdvancedText("Advanced >>");
        SetButtonDefaultBits(kDefaultAdvanced, false);
        advanced_ = false;
        UpdateBack();
        return;
    }
    advanced_ = true;
    for (int i = profile_.simplePages; i < count; ++i) view_->AddPage(profile_.RoleAt(i));
    // Every page window exists afterwards; then the page the user was on.
    for (int i = count - 1; i >= profile_.simplePages; --i) SetActivePage(profile_.RoleAt(i));
    SetActivePage(current < 0 ? kRepairPage : current);
    view_->SetAdvancedText("<< Advanced");
    SetButtonDefaultBits(kDefaultAdvanced, true);
    UpdateBack();
}

void CTabSheet::RefreshPage(int role, uint32_t flags) {
    SheetPage* p = PageAt(role);
    if (p && p->HasWindow()) p->UpdatePage(flags);
}

void CTabSheet::RefreshAllPages(uint32_t flags) {
    // The list pages refill only with a window; the others are always told.
    for (int role : profile_.refreshOrder) {
        if (role == kPrefixPage || role == kCodesPage || role == kSubDocPage)
            RefreshPage(role, flags);
        else if (SheetPage* p = PageAt(role))
            p->UpdatePage(flags);
    }
}

void CTabSheet::UpdateCaption(const std::string* path, bool modified) {
    const std::string title = profile_.title;
    std::string caption = title;
    if (path) {
        const char* marker = modified ? " (Modified) " : "";
        const bool compound = doc_ && doc_->IsCompound();
        const char* format = nullptr;
        switch (header_.FileType()) {
        case 10:
        case 17:
            format = compound ? " (QW 7.0 format) - " : " (QW 6.0 format) - ";
            break;
        case 22:
            format = compound ? " (QWG 3.0 format) - " : " (QWG 2.x format) - ";
            break;
        default:
            break;
        }
        if (format) caption = FileNameOf(*path) + marker + format + title;
    }
    caption_ = caption;
    view_->SetCaption(caption);
}

void CTabSheet::ShowRefusal(int verdict, const std::string& path) {
    engine::MessageService* boxes = engine::Ctx().hosts.messages;
    if (!boxes) return;
    std::string text;
    engine::MsgButtons buttons = engine::MsgButtons::YesNo;
    switch (verdict) {
    case engine::kVerdictNoSignature:
    case engine::kVerdictWrongType:
        text = engine::Format(
            "The file %s, was not recoginized as a Quillwright Document (or Quillwright Graphics file).  "
            "If the file was a Quillwright document file, would youlike to EXTRACT all the ASCII text from it?",
            path.c_str());
        break;
    case engine::kVerdictMajorZero:
        text = engine::Format(
            "The file %s, was not recoginized as a Quillwright version 6.0 or later document.If the file was "
            "a Quillwright document file, would you like to EXTRACT all the ASCII text from it?",
            path.c_str());
        break;
    case engine::kVerdictKeyed:
        text = engine::Format("The file %s, is encrypted.", path.c_str());
        buttons = engine::MsgButtons::Ok;
        break;
    default:
        return;
    }
    const engine::MsgAnswer answer = boxes->Show(text, "Error", engine::MsgIcon::Warning, buttons);
    if (answer == engine::MsgAnswer::Yes && onExtract) onExtract();
}

void CTabSheet::LoadDocument(const std::string& path, bool modified) {
    if (doc_) UnloadDocument();
    graphics::CloseQwgOutline();
    int verdict = engine::kVerdictOpened;
    doc_ = (profile_.openDocument ? profile_.openDocument : &engine::OpenDocument)(path, &header_, &readOnly_,
                                                                                  &verdict);
    if (!doc_) {
        // A refused file leaves no trace of its header behind.
        ForgetDocument(header_);
        ForgetDocument(engine::Ctx().doc.header);
        if (verdict == engine::kVerdictOpened) return;
        lastFailed_ = path;
        if (!batch_) ShowRefusal(verdict, path);
        return;
    }
    ++generation_;
    lastFailed_.clear();
    UpdateCaption(&path, modified);
    engine::Ctx().sink.fileName = path;
    // Kept absolute: the list is read again from other working folders.
    recent_.Add(AbsoluteCleanPath(path));
    engine::Ctx().doc.changed = true;
    if (header_.FileType() == 22) {
        graphics::StartQwgReader(doc_);
    } else {
        SheetPage* repair = Page(kRepairPage);
        view_->SetRepairEnabled(repair && repair->RepairAvailable());
    }
    RefreshAllPages(kUpdateDocument);
}

void CTabSheet::UnloadDocument() {
    if (doc_) {
        if (SheetPage* filter = Page(kFilterPage)) filter->ApplyFilter();
        if (header_.FileType() == 22) graphics::StopQwgReader(doc_);
        for (int index : {kCodesPage, kSubDocPage})
            if (SheetPage* p = Page(index)) p->DocumentClosing();
        engine::CloseDocument(doc_);
        doc_ = nullptr;
        ++generation_;
        engine::EngineContext& c = engine::Ctx();
        c.sink.fileName.clear();
        ForgetDocument(header_);
        ForgetDocument(c.doc.header);
        for (int index : {kInfoPage, kFormatPage, kPrefixPage, kCodesPage, kSubDocPage})
            if (SheetPage* p = Page(index)) p->MarkNeedsRefill();
        RefreshAllPages(kUpdateDocument);
        view_->SetRepairEnabled(false);
    }
    UpdateCaption(nullptr, false);
    ClearHistory();
}

void CTabSheet::ClearHistory() {
    view_->SetBackEnabled(false);
    history_.clear();
}

size_t FirstRowAtOrAfter(size_t count, const std::function<uint32_t(size_t)>& tagOf, uint32_t mask,
                         uint32_t value) {
    size_t lo = 0, hi = count;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        size_t m = mid;
        while (m < hi && tagOf(m) == 0) ++m;
        if (m == hi)
            hi = mid;
        else if ((tagOf(m) & mask) < value)
            lo = m + 1;
        else
            hi = mid;
    }
    while (lo < count && tagOf(lo) == 0) ++lo;
    return lo;
}

uint32_t CTabSheet::CodeRowAtOrAfter(uint32_t offset) const {
    const SheetPage* codes = Page(kCodesPage);
    if (!codes) return 0;
    const size_t n = codes->RowCount();
    const size_t row = FirstRowAtOrAfter(
        n, [codes](size_t i) { return codes->RowTag(i); }, engine::Ctx().profile->tagOffsetMask, offset);
    return row < n ? static_cast<uint32_t>(row) : 0;
}

void CTabSheet::UpdateBack() {
    view_->SetBackEnabled(!history_.empty() &&
                          PageInView(profile_.RoleAt(static_cast<int>(history_.back().pageKind))));
}

void CTabSheet::PushHistory(uint32_t pageKind, uint32_t value, uint32_t target) {
    history_.push_back({static_cast<uint32_t>(profile_.IndexOf(static_cast<int>(pageKind))), value});
    UpdateBack();
    const uint32_t mask = engine::Ctx().profile->tagOffsetMask;

    if (target & engine::kTagTextBlock) {
        SetActivePage(kSubDocPage);
        if (SheetPage* p = Page(kSubDocPage)) p->SelectItem(target);
        return;
    }
    if (target & engine::kTagPacket) {
        if (pageKind != kPrefixPage) SetActivePage(kPrefixPage);
        SheetPage* prefix = Page(kPrefixPage);
        if (!prefix) return;
        if (prefix->FilterOn()) {
            bool found = false;
            for (size_t row = 0, n = prefix->RowCount(); row < n && !found; ++row) {
                if ((prefix->RowTag(row) & 0xFFFF) == (target & 0xFFFF)) {
                    target = static_cast<uint32_t>(row);
                    found = true;
                }
            }
            if (!found) {
                prefix->SetFilterOff();
                RefreshPage(kPrefixPage, kUpdateDocument);
            }
        }
        prefix->SelectItem(target & mask);
        return;
    }

    if (pageKind != kCodesPage) SetActivePage(kCodesPage);
    SheetPage* codes = Page(kCodesPage);
    if (!codes) return;
    // A damaged place of a document is a file offset, like a cross-reference
    // line; in a graphics file it is a record's row.
    const bool offset = (target & engine::Ctx().profile->tagCrossRef) ||
                        ((target & engine::kTagDamage) && header_.FileType() != 22);
    if (codes->FilterOn() || offset) {
        codes->SetFilterOff();
        RefreshPage(kCodesPage, kUpdateDocument);
        if (offset) target = CodeRowAtOrAfter(target & mask);
    }
    codes->SelectItem(target & mask);
}

void CTabSheet::Back() {
    if (history_.empty()) {
        view_->SetBackEnabled(false);
        return;
    }
    const HistoryEntry e = history_.back();
    const int role = profile_.RoleAt(static_cast<int>(e.pageKind));
    // An entry for a page of the advanced view waits for that view.
    if (!PageInView(role)) {
        if (engine::WindowHost* w = engine::Ctx().hosts.window) w->Beep();
        UpdateBack();
        return;
    }
    history_.pop_back();
    SetActivePage(role);
    const auto& selects = profile_.backSelects;
    if (std::find(selects.begin(), selects.end(), role) != selects.end()) {
        if (SheetPage* p = Page(role)) p->SelectItem(e.value);
    } else if (engine::WindowHost* w = engine::Ctx().hosts.window) {
        w->Beep();
    }
    UpdateBack();
}

void CTabSheet::OpenRecent(int number) {
    if (auto path = recent_.Get(number)) LoadDocument(*path, false);
}

}  // namespace inspector
