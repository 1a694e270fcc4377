#include "sheet/RowEdit.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "sheet/HexRowEdit.h"
#include "sheet/Sheet.h"

namespace inspector {

namespace {

constexpr const char* kReadOnly = "File is Read Only";
constexpr const char* kMismatch = "The row no longer matches the file.  Nothing was written.";

void Box(const std::string& text) {
    if (engine::MessageService* boxes = engine::Ctx().hosts.messages)
        boxes->Show(text, "", engine::MsgIcon::Warning, engine::MsgButtons::Ok);
}

void Failure(const std::string& path, const char* what, const std::string& reason) {
    Box(engine::Format("The row could not be %s %s: %s.  The file is as it was.", what, path.c_str(),
                       reason.c_str()));
}

std::string Reason(int error, const char* otherwise) { return error != 0 ? std::strerror(error) : otherwise; }

// The `n` bytes at `at`; none when they cannot be read.
std::optional<std::vector<uint8_t>> ReadAt(engine::DocFile* f, int64_t at, size_t n) {
    if (at < 0 || at > INT32_MAX || engine::SeekDocFile(f, static_cast<int32_t>(at), 0) != at) return std::nullopt;
    std::vector<uint8_t> b(n);
    if (engine::ReadDocFile(f, b.data(), static_cast<uint32_t>(n)) != static_cast<int32_t>(n)) return std::nullopt;
    return b;
}

bool WriteAt(engine::DocFile* f, int64_t at, const std::vector<uint8_t>& bytes) {
    return engine::SeekDocFile(f, static_cast<int32_t>(at), 0) == at &&
           engine::WriteDocFile(f, bytes.data(), static_cast<uint32_t>(bytes.size())) ==
               static_cast<int32_t>(bytes.size());
}

}  // namespace

std::optional<DumpRow> DumpRowAt(const engine::ListTarget& details, size_t row) {
    if (row >= details.Size()) return std::nullopt;
    const int64_t at = details.FileOffset(row);
    const std::string line = details.Text(row);
    if (at < 0 || line.size() < 7 + 52) return std::nullopt;
    DumpRow r{at, line.substr(0, 7), line.substr(7), 0};
    r.n = static_cast<int>(r.text.size()) - 51;
    if (r.n < 1 || r.n > 16 || !HexRowEditState::FromRow(r.text)) return std::nullopt;
    return r;
}

RowEditOutcome RowEditFile(engine::DocFile* f, bool readOnly, const engine::ListTarget& details, size_t row,
                           RowEditor& editor, std::string* editedLine) {
    const std::optional<DumpRow> r = DumpRowAt(details, row);
    if (!f || !r) return RowEditOutcome::NotARow;
    if (readOnly) {
        Box(kReadOnly);
        return RowEditOutcome::ReadOnly;
    }
    const std::vector<uint8_t> shown = *RowTextBytes(r->text, r->n);
    const auto n = static_cast<size_t>(r->n);
    const std::optional<std::vector<uint8_t>> before = ReadAt(f, r->fileOffset, n);
    if (!before) return RowEditOutcome::Unreadable;
    if (*before != shown) {
        Box(kMismatch);
        return RowEditOutcome::Mismatch;
    }
    const std::optional<std::string> edited = editor.Edit(r->text);
    if (!edited) return RowEditOutcome::Canceled;
    const std::optional<std::vector<uint8_t>> bytes = RowTextBytes(*edited, r->n);
    if (!bytes) return RowEditOutcome::Canceled;

    // The file may have changed while the editor was open.
    const std::string& path = f->path;
    errno = 0;
    const std::optional<std::vector<uint8_t>> now = ReadAt(f, r->fileOffset, n);
    if (!now) {
        Failure(path, "read again from", Reason(errno, "the read failed"));
        return RowEditOutcome::Failed;
    }
    if (*now != shown) {
        Box(kMismatch);
        return RowEditOutcome::Mismatch;
    }
    errno = 0;
    if (!WriteAt(f, r->fileOffset, *bytes)) {
        const std::string reason = Reason(errno, "the write failed");
        WriteAt(f, r->fileOffset, shown);  // what a short write changed goes back
        Failure(path, "written to", reason);
        return RowEditOutcome::Failed;
    }
    errno = 0;
    if (engine::CommitDocFile(f) != 0) {
        const std::string reason = Reason(errno, "the file could not be written back");
        // The file on disk is as before; so is the image again.
        WriteAt(f, r->fileOffset, shown);
        Failure(path, "written to", reason);
        return RowEditOutcome::Failed;
    }
    if (editedLine) *editedLine = r->column + *edited;
    return RowEditOutcome::Written;
}

RowEditOutcome RowEdit(CTabSheet& sheet, const engine::ListTarget& details, size_t row, RowEditor& editor,
                       std::string* editedLine, int onlyRole) {
    const RowEditOutcome o = RowEditFile(sheet.Document(), sheet.ReadOnly() != 0, details, row, editor, editedLine);
    if (o == RowEditOutcome::Written) {
        engine::ForgetDocumentTables();
        if (onlyRole >= 0)
            sheet.RefreshPage(onlyRole, kUpdateDocument);
        else
            sheet.RefreshAllPages(kUpdateDocument);
    }
    return o;
}

}  // namespace inspector
