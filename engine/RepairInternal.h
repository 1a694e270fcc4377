#pragma once
// Helpers the repair's files share.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace engine {

struct DocFile;
struct RepairJob;

// A failure of the repair: its box, caption "Error".
void RepairBox(const std::string& text);
// Ids of packets the run removed become 0 in the child list of packet `id`
// as it stands in the output.
// False after a failed write (its box shown).
bool ClearRemovedChildren(RepairJob& job, DocFile* out, uint32_t id);
// Extract mode's body step: the whole input's text into the output; 0 when
// the extraction ran to its end.
int ExtractDocumentText(RepairJob& job, DocFile* out, DocFile* in);

// Offsets to values. The repair mends functions front to back, so offsets
// mostly come in ascending order: those go into a sorted vector, cheap to
// fill, search and free; the rare one out of order goes to a map.
class OffsetIndex {
public:
    const uint32_t* Find(uint32_t key) const;
    // The value at `key`, 0 when new.
    uint32_t& At(uint32_t key);
    // Keeps a value already there, as a map's emplace does.
    void Emplace(uint32_t key, uint32_t value);
    void Reserve(size_t n) { sorted_.reserve(n); }
    void Clear() {
        sorted_.clear();
        rest_.clear();
    }

private:
    uint32_t* Slot(uint32_t key);
    std::vector<std::pair<uint32_t, uint32_t>> sorted_;
    std::unordered_map<uint32_t, uint32_t> rest_;
};

// Lookups that keep each repair pass linear: built once from the tables,
// then kept up to date as the repair appends ranges and marks references.
struct RepairState {
    // The reference slots each packet makes, in table order.
    std::vector<std::vector<uint32_t>> made;
    bool madeBuilt = false;
    // Range indexes owned by each packet (text-block damage), in list order.
    std::vector<std::vector<uint32_t>> owned;
    bool ownedBuilt = false;
    // The repair's own one-byte replacements and cuts by start offset;
    // `rangesSeen` ranges of the list are indexed.
    OffsetIndex fixAt;
    OffsetIndex cutAt;
    size_t rangesSeen = 0;
    // The body's block of the input, which the function probes read first.
    const uint8_t* lent = nullptr;
    uint32_t lentAt = 0;
    size_t lentSize = 0;
    // A window of the input that the function probes read from.
    const DocFile* windowFile = nullptr;
    uint32_t windowAt = 0;
    std::vector<uint8_t> window;
    // Handled body references by function offset.
    OffsetIndex handledAt;
    bool handledBuilt = false;
};
RepairState& Repairs();
// Forgets every lookup: the tables are new.
void ResetRepairState();

}  // namespace engine
