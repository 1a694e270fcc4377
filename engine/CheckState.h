#pragma once
// What the document check builds and the walker, the describers and the
// repair share: totals, the reference table, the range list and the undo
// state. Held in the EngineContext; cleared at the start of every check.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace engine {

class CProgressDialog;

// Blocks for the check's large tables: megabytes on a dense document,
// faulted in 4 KB at a time they cost more than filling them. Blocks from
// kLargeTableBytes on are laid on huge-page boundaries and asked to be
// backed by huge pages (a hint; where there are none they are plain pages).
inline constexpr size_t kLargeTableBytes = size_t{1} << 20;
void* AllocateLargeTable(size_t bytes);  // throws std::bad_alloc
void FreeLargeTable(void* block, size_t bytes);

template <class T>
struct LargeTableAllocator {
    using value_type = T;
    LargeTableAllocator() = default;
    template <class U>
    LargeTableAllocator(const LargeTableAllocator<U>&) noexcept {}
    T* allocate(size_t n) {
        if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
        if (n * sizeof(T) < kLargeTableBytes) return std::allocator<T>().allocate(n);
        return static_cast<T*>(AllocateLargeTable(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) noexcept {
        if (n * sizeof(T) < kLargeTableBytes)
            std::allocator<T>().deallocate(p, n);
        else
            FreeLargeTable(p, n * sizeof(T));
    }
    template <class U>
    bool operator==(const LargeTableAllocator<U>&) const noexcept {
        return true;
    }
};

template <class T>
using LargeTable = std::vector<T, LargeTableAllocator<T>>;

// PacketRef kinds.
enum : uint8_t {
    kRefBody = 0,       // a function in the document body
    kRefChildList = 1,  // a packet's child list
    kRefTextBlock = 3,  // a prefix-id list of a function in a packet's text block
};

struct PacketRef {
    uint8_t kind = 0;
    uint8_t subKind = 0;       // position in the id list (kind 3), else 255
    uint16_t referenced = 0;
    uint16_t referencing = 0;  // 0xFFFF for the body
    uint32_t offset = 0;       // function (kind 0), text block (kind 3), else 0xFFFFFFFF
};

// InvalidRange owners in the body; inside a text block the owner is the
// packet id and `block` the block number.
enum : uint16_t {
    kRangeDamage = 0,
    kRangeByteFix = 1,
    kRangeUndo = 0xFFFF,
};

struct InvalidRange {
    uint32_t start = 0;
    uint32_t end = 0;  // exclusive
    uint16_t owner = 0;
    uint16_t block = 0;
    uint16_t value = 0;  // replacement byte of an owner-1 range
};

struct CheckTotals {
    uint32_t extraBytes = 0;
    uint32_t overlapBytes = 0;
    uint32_t usedBytes = 0;
    uint32_t deletedBytes = 0;
    uint16_t deletedCount = 0;
    uint16_t usedCount = 0;
    uint16_t emptyCount = 0;
    uint32_t unusedStyleBytes = 0;
    uint32_t undoBytes = 0;
};

struct CheckState {
    CheckTotals totals;
    int32_t countMismatches = 0;
    int32_t otherFindings = 0;  // child-list, text-block and body damage
    bool corruptFound = false;
    // A check that ran to its verdict; a cancelled or failed one leaves this
    // false and nothing may rely on its tables.
    bool complete = false;

    LargeTable<PacketRef> refs;        // sized by the counted uses
    LargeTable<InvalidRange> ranges;   // in booking order
    CProgressDialog* progress = nullptr;  // the check's own dialog while it is up
    uint32_t progressPending = 0;         // bookings not yet stepped on it
    uint32_t progressBatch = 1;           // bookings per step of it

    // Undo areas of the body.
    uint16_t undoLevel = 0;
    uint32_t undoStart = 0;  // 0: none open

    // What the repair's probe found of one function.
    uint32_t probeIdCount = 0;
    uint32_t probeSize = 0;

    // Bytes a pass over the packets may still read of packets beyond their
    // first 63984: a sound document never needs more than its length, a
    // damaged one with overlapping giant packets gets no more.
    uint64_t packetReadBudget = 0;

    // Numbers the lines of a usage list.
    int32_t usageNumber = 0;

    // Undo markers a walk met (valid gates): the counting walk's number
    // sizes the range list before the booking fills it.
    uint32_t undoMarkers = 0;
};

// Books one reference (the cross-reference pass). Nothing for id 0, an id
// not below the entry count, or a packet without reference slots.
void BookReference(int32_t referencing, uint8_t kind, uint8_t subKind, uint32_t referenced,
                   uint32_t offset);

// The booking steps the check's dialog about this many times in all.
inline constexpr uint32_t kBookingSteps = 1024;
// Steps the dialog over the bookings not stepped yet.
void StepBookingProgress();

// Appends {start, start + length, owner, block} to the range list.
void AppendInvalidRange(uint16_t owner, uint16_t block, uint32_t start, uint32_t length);

}  // namespace engine
