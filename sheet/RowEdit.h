#pragma once
// The one way a page writes a dump row back to the file: only a row that
// carries its file offset, only while the file still holds what the row
// shows, and a compound document committed at once. A failure names the
// file and the reason and leaves the file as it was.

#include <cstddef>
#include <optional>
#include <string>

#include "engine/Targets.h"

namespace engine {
struct DocFile;
}

namespace inspector {

class CTabSheet;

// Runs the hex row editor on a row's text (after its offset column); the
// edited text on SAVE, none on Cancel.
class RowEditor {
public:
    virtual ~RowEditor() = default;
    virtual std::optional<std::string> Edit(const std::string& rowText) = 0;
};

enum class RowEditOutcome {
    NotARow,     // no dump row with a place in the file: the caller may navigate
    ReadOnly,    // "File is Read Only"
    Unreadable,  // the row could not be read: nothing said, nothing written
    Mismatch,    // the file no longer holds the row's bytes
    Canceled,
    Failed,      // writing or committing failed; said so
    Written,
};

// The bytes `n` of row `row` of `details` and where they lie; none when the
// line is no editable dump row.
struct DumpRow {
    int64_t fileOffset;
    std::string column;  // the 7-character offset column
    std::string text;    // the rest, 51 + n characters
    int n;
};
std::optional<DumpRow> DumpRowAt(const engine::ListTarget& details, size_t row);

// Edits row `row` of `details` in `f`: the file side alone.
RowEditOutcome RowEditFile(engine::DocFile* f, bool readOnly, const engine::ListTarget& details, size_t row,
                           RowEditor& editor, std::string* editedLine = nullptr);

// Edits row `row` of `details` in the sheet's document. Written: the line's new text is in
// `editedLine`, the engine's tables are freed, its changed flag set and
// every page refreshed, or with `onlyRole` that page alone.
RowEditOutcome RowEdit(CTabSheet& sheet, const engine::ListTarget& details, size_t row, RowEditor& editor,
                       std::string* editedLine = nullptr, int onlyRole = -1);

}  // namespace inspector
