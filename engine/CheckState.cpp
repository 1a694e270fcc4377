#include "engine/CheckState.h"

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

void AppendInvalidRange(uint16_t owner, uint16_t block, uint32_t start, uint32_t length) {
    // Grown geometrically: a dense document books hundreds of thousands.
    Ctx().check.ranges.push_back(InvalidRange{start, start + length, owner, block, 0});
}

}  // namespace engine
