#pragma once
// The older inspector's code-stream scanner: the shared walker with the
// older grammar, text runs and damage rules, reached with the older
// scanner's eleven settings.

#include <cstdint>

#include "engine/Targets.h"
#include "engine/Walker.h"

namespace engine {
struct DocFile;
}

namespace legacy {

const engine::TextRunPolicy& GlimmetTextRuns();
const engine::WalkDamagePolicy& GlimmetWalkDamage();

class UseCounts;

// 0 when the scan ended; 1 at damage (after its message); -1 for an empty
// search text; the offset of the found run for a search that finds it.
// `counts`: the check's counts, which take the body's uses.
int32_t ScanCodeStream(engine::DocFile* f, engine::ListTarget* sink, uint32_t start, int mode,
                       uint32_t groupMask, uint32_t classMask, UseCounts* counts, uint32_t length,
                       bool progress, const char* searchText, bool caseSensitive);

// The Find command's search of the body from `start`: the offset of the
// text run holding `text`; 0 when it is absent or the scan stopped at
// damage before finding it; -1 for an empty text.
int32_t SearchText(engine::DocFile* f, uint32_t start, uint32_t length, const char* text, bool caseSensitive);

}  // namespace legacy
