#pragma once
// The ways into the code-stream walker (code list, one code's description,
// text search, scramble, extraction) and the action on every text run.

#include <cstdint>

#include "engine/Document.h"
#include "engine/OutputSink.h"
#include "engine/Targets.h"
#include "engine/Walker.h"

namespace engine {

struct DocFile;
class CProgressDialog;

// Loads the packet table when it is not (what the code list needs first).
void EnsurePacketTable(DocFile* f, int mode, int captionId);

// The context a walk of the body changes beside its lines: the sink's undo
// marking and pending offsets, the undo area, the header (its document
// offset says where a walk begins), the file position and whose progress
// dialog is up. A walk kept between windows holds its own copy.
struct WalkSideState {
    int16_t invalidTextMarker = 0;
    int64_t nextLineOffset = kNoFileOffset;
    SinkState::DumpOrigin dumpOrigin;
    uint16_t undoLevel = 0;
    uint32_t undoStart = 0;
    CProgressDialog* progress = nullptr;
    ListTarget* currentTarget = nullptr;
    FileHeader header;
    int32_t filePos = -1;

    static WalkSideState Save(DocFile* f);
    void Restore(DocFile* f) const;
};

// The code list of the body. Loads the packet table first when it is not.
int32_t ListDocumentCodes(DocFile* f, ListTarget* target, int mode, uint32_t groupMask,
                          uint32_t classMask, uint32_t length);
// The line (or lines) the code list gives the item at `start` (a line's
// item data), walking `length` bytes from there with the list's mode and
// masks: no detail, no title, no progress, and the context as it was.
int32_t ListCodeAt(DocFile* f, ListTarget* target, uint32_t start, int mode, uint32_t groupMask,
                   uint32_t classMask, uint32_t length);
// Describes the item at `start`, a line's item data (offset and tag bits).
// A start of 0 (a line without a place) describes nothing.
int32_t DescribeCodeAt(DocFile* f, ListTarget* target, uint32_t start, int mode, uint32_t length);
// The offset of the text run holding `text`; 0 when absent; -1 for an
// empty text; 1 when the walk failed.
int32_t SearchDocumentText(DocFile* f, uint32_t start, uint32_t length, const char* text,
                           bool caseSensitive);
// 1; 0 when the file position could not be kept.
int ScrambleTextBlock(DocFile* f, ListTarget* results, uint32_t offset, uint32_t size);
int ExtractTextBlock(DocFile* target, DocFile* f, ListTarget* results, uint32_t offset,
                     uint32_t size);

// Shows, searches, scrambles or extracts one run (see TextRunPolicy).
int TextRunAction(const TextRunSettings& settings, const TextRun& run);

}  // namespace engine
