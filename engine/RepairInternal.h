#pragma once
// Helpers the repair's files share.

#include <cstdint>
#include <string>

namespace engine {

struct DocFile;
struct RepairJob;

// A failure of the repair: its box, caption "Error".
void RepairBox(const std::string& text);
// Ids of packets the run removed become 0 in the child list of packet `id`
// as it stands in the output.
void ClearRemovedChildren(RepairJob& job, DocFile* out, uint32_t id);

}  // namespace engine
