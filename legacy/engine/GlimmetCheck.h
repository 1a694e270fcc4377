#pragma once
// The older inspector's check: one count of uses and hidden uses per
// packet, made for one check and released with it.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "engine/Check.h"
#include "engine/Profile.h"
#include "engine/Targets.h"

namespace engine {
struct DocFile;
}

namespace legacy {

class UseCounts final : public engine::ReferenceCounter {
public:
    struct Count {
        uint16_t uses = 0;
        uint16_t hidden = 0;
    };
    // One record per index entry; packet id n is record n - 1.
    explicit UseCounts(size_t entries) : counts_(entries) {}

    size_t Size() const { return counts_.size(); }
    // The counts of packet `id` (1 .. Size()).
    Count At(uint32_t id) const { return id >= 1 && id <= counts_.size() ? counts_[id - 1] : Count{}; }
    // One use; ids outside the table are not counted.
    void Add(uint32_t id, bool hidden) const;

    void Reset(std::vector<engine::PacketEntry>&) const override;
    // The older check counts the flag itself, by id.
    void CountMinUse(engine::PacketEntry&) const override {}
    void CountUse(uint32_t id, bool hidden) const override { if (id != 0) Add(id, hidden); }
    // The older check books nothing.
    void Book(uint32_t, uint8_t, uint8_t, uint32_t, uint32_t) const override {}

private:
    mutable std::vector<Count> counts_;
};

// While it lives, the uses that the shared engine counts go to `counts`
// (none: nowhere).
class CountingScope {
public:
    explicit CountingScope(UseCounts* counts);
    ~CountingScope();
    CountingScope(const CountingScope&) = delete;
    CountingScope& operator=(const CountingScope&) = delete;

private:
    engine::Profile profile_;
    const engine::Profile* previous_;
};

// The header as the older inspector lists it.
void ListFileHeader(engine::DocFile* f, engine::ListTarget* target);

// Packet `id`'s child list and text blocks, read only within the bytes
// read: findings, uses to `counts` when given, and with a target a hex
// dump of the data. 1; 0 for an id outside the table.
int CountPacketRefs(engine::DocFile* f, uint32_t id, engine::ListTarget* target, UseCounts* counts);

// One text block of packet `id`; nothing outside `block` is read.
void CheckTextBlockCodes(std::span<const uint8_t> block, engine::ListTarget* target, UseCounts* counts,
                         uint32_t id);

// The count findings and the verdict line; 1 when the document is corrupt.
int CorruptionVerdict(engine::ListTarget* target, const UseCounts& counts);

// The older one-count check over `length` bytes of the body (kWalkToEnd:
// all of it). 0 with a verdict; 1 when the index could not be read.
int CheckDocument(engine::DocFile* f, engine::ListTarget* report, uint32_t length);

}  // namespace legacy
