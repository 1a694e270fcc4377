#include "engine/CheckState.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <cstdint>

#include "engine/EngineContext.h"
#include "engine/Progress.h"

namespace engine {

void BookReference(int32_t referencing, uint8_t kind, uint8_t subKind, uint32_t referenced,
                   uint32_t offset) {
    EngineContext& c = Ctx();
    auto& packets = c.doc.packets;
    if (referenced == 0 || referenced >= packets.size()) return;
    PacketEntry& pe = packets[referenced];
    if (pe.firstRefSlot < 0) return;
    const uint16_t booked = pe.refsBooked;
    const size_t slot = static_cast<size_t>(pe.firstRefSlot) + booked;
    ++pe.refsBooked;
    if (c.check.progress && ++c.check.progressPending >= c.check.progressBatch) StepBookingProgress();
    // A packet booked more often than counted keeps to its own slots; the
    // check reports the difference.
    if (booked >= uint32_t{pe.countedUses} + pe.countedHidden) return;
    if (slot >= c.check.refs.size()) return;
    // One whole-record store: the slots of a dense document lie far apart.
    c.check.refs[slot] = PacketRef{kind, subKind, static_cast<uint16_t>(referenced),
                                   static_cast<uint16_t>(referencing), offset};
}

void StepBookingProgress() {
    CheckState& st = Ctx().check;
    if (!st.progress || st.progressPending == 0) return;
    // One step of the whole batch: the same position as as many single steps.
    st.progress->SetStep(static_cast<int>(st.progressPending));
    st.progress->StepIt();
    st.progress->SetStep(1);
    st.progressPending = 0;
}

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
size_t HugeRounded(size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }
}  // namespace

void* AllocateLargeTable(size_t bytes) {
#if defined(__linux__)
    const size_t size = HugeRounded(bytes);
    if (size < bytes || size > SIZE_MAX - kHugePage) throw std::bad_alloc();
    // One huge page more than needed, the unaligned ends given back.
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto from = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t first = (from + kHugePage - 1) & ~uintptr_t{kHugePage - 1};
    if (first > from) munmap(raw, first - from);
    const uintptr_t end = from + size + kHugePage;
    if (end > first + size) munmap(reinterpret_cast<void*>(first + size), end - (first + size));
#if defined(MADV_HUGEPAGE)
    madvise(reinterpret_cast<void*>(first), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(first);
#else
    return ::operator new(bytes);
#endif
}

void FreeLargeTable(void* block, size_t bytes) {
#if defined(__linux__)
    if (block) munmap(block, HugeRounded(bytes));
#else
    ::operator delete(block);
    (void)bytes;
#endif
}

void AppendInvalidRange(uint16_t owner, uint16_t block, uint32_t start, uint32_t length) {
    // Grown geometrically: a dense document books hundreds of thousands.
    Ctx().check.ranges.push_back(InvalidRange{start, start + length, owner, block, 0});
}

}  // namespace engine
