#pragma once
// The document check's packet examination.

#include <cstdint>

#include "engine/Targets.h"

namespace engine {

struct DocFile;

enum class RefCountMode {
    Count,     // the check: adds to the counted uses of the packets named
    ListOnly,  // showing a packet: lists findings and data, counts nothing
};

// Examines packet `id` of the table: its child list and text blocks, with
// findings and a hex dump of its data (at most 63984 bytes) to `target`.
int CountPacketRefs(DocFile* f, uint32_t id, ListTarget* target, RefCountMode mode);

}  // namespace engine
