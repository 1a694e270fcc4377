#pragma once
// The one reader of the document area: item by item, window after window.

#include <cstdint>

#include "engine/Targets.h"

namespace engine {

struct DocFile;

inline constexpr uint32_t kWalkWindow = 64000;
inline constexpr uint32_t kWalkToEnd = 0x7FFFFFFF;
inline constexpr uint32_t kStartOffsetMask = 0x07FFFFFF;

struct CodeWalkRequest {
    DocFile* file = nullptr;
    ListTarget* sink = nullptr;  // none: no lines
    uint32_t start = 0;          // offset in bits 0-26 (0: the document area), tag bits above
    int mode = 264;
    uint32_t groupMask = 0;
    uint32_t classMask = 0;
    uint32_t length = kWalkToEnd;
    int captionId = 0;
    const char* searchText = nullptr;
    bool caseSensitive = false;
    bool scramble = false;
    bool extract = false;
    DocFile* extractTarget = nullptr;
};

// 0 when the walk ended; 1 on failure; -1 for an empty search text; the
// offset of the hit's text run for a search that finds its text; 1 when a
// single description began on a text run that a code ends.
int32_t WalkCodeStream(const CodeWalkRequest& request);

// Damaged stretches: shared by the walker and the text-block check.
struct CorruptStretch {
    bool valid = true;           // cleared by damage, set again by a valid function
    bool checkOrExtract = false;
    uint32_t start = 0;          // where the open stretch began
};

int OpenCorruptRange(CorruptStretch& stretch, DocFile* f, ListTarget* sink, uint32_t offset,
                     uint32_t fill, uint32_t totalLength, const char* message,
                     int32_t packetId);
void CloseCorruptRange(CorruptStretch& stretch, uint16_t owner, uint16_t block, uint32_t start,
                       uint32_t end);
void ReportDocCorrupt(ListTarget* sink, uint32_t offset);

}  // namespace engine
