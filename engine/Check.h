#pragma once
// The document check: counts every use of every packet, examines the text
// blocks and the body, and gives the verdict. With a real report list it
// also builds the reference table and the range list the repair needs.
// A report target of nullptr is "no list"; SilentTarget() asks for the full
// check (tables and ranges) without visible lines.

#include <cstdint>
#include <span>
#include <vector>

#include "engine/Targets.h"

namespace engine {

struct DocFile;
struct PacketEntry;
struct CorruptStretch;
class CProgressDialog;

enum class RefCountMode {
    Count,     // the check: adds to the counted uses (or books, while the stop value is -1)
    ListOnly,  // showing a packet: lists findings and data, counts nothing
};

// 0 when the check gave its verdict; 1 when it could not (no index, no
// memory for the reference table, cancelled): the check is then marked
// incomplete and nothing may rely on its tables.
int CheckDocument(DocFile* f, ListTarget* report);
int RunDocumentCheck(DocFile* f, ListTarget* report);
// 1 when done or nothing to do; 0 when the index cannot be read again.
int RecheckDocument(DocFile* f, ListTarget* report);
int VerifyPacketCounts(ListTarget* report);
void ListPacketUsage(DocFile* f, ListTarget* target, uint32_t id, int mode);

// Examines packet `id` of the table: its child list and text blocks, with
// findings and, with a target, a hex dump of its data (at most 63984 bytes).
int CountPacketRefs(DocFile* f, uint32_t id, ListTarget* target, RefCountMode mode);
// The usage lines of packet `id`'s child list and text blocks for the usage
// list of `searched`; counts and books nothing; type-0 entries too.
int CheckPacketLinks(DocFile* f, uint32_t id, ListTarget* target, uint32_t searched);

// One text block of a packet, as the check and the usage list examine it.
struct TextBlockScan {
    DocFile* file = nullptr;
    ListTarget* target = nullptr;
    uint32_t packetId = 0;
    bool usage = false;        // the usage list of `searchedId`
    uint32_t searchedId = 0;
    uint32_t blockOffset = 0;  // file offset of the block's first byte
    uint16_t block = 0;        // number of the block in the packet's table
};
// Damage opens a stretch through OpenCorruptRange (written only while the
// stop value is -1); a valid variable-length function and the block's end
// close it. Nothing outside `block` is read.
void CheckTextBlockCodes(std::span<const uint8_t> block, const TextBlockScan& scan,
                         CorruptStretch& stretch);

// 1 on success, 0 when memory runs out. The dialog is optional.
int AllocateReferenceTable(uint32_t count, CProgressDialog* dialog);
// 1; 0 when there is no table or no complete check to take the counts from.
int QWFixPacketCounts(ListTarget* list);
// 1 when every entry was written, else 0.
int WriteIndex(DocFile* f, ListTarget* list);

// Where the uses of packets that a check finds go. Salvino counts in its
// first passes and books in its cross reference; the older inspector's
// one-pass check reuses the counting calls with its own rules.
class ReferenceCounter {
public:
    virtual ~ReferenceCounter() = default;
    // Every check counts from zero.
    virtual void Reset(std::vector<PacketEntry>& packets) const = 0;
    // The entry's "min use=1" flag.
    virtual void CountMinUse(PacketEntry& entry) const = 0;
    // One use of packet `id`, inside an undo area when `hidden`; nothing for
    // id 0 or an id outside the table.
    virtual void CountUse(uint32_t id, bool hidden) const = 0;
    // One reference found while the cross reference is built.
    virtual void Book(uint32_t referencing, uint8_t kind, uint8_t subKind, uint32_t referenced,
                      uint32_t offset) const = 0;
};

const ReferenceCounter& SalvinoReferenceCounter();

}  // namespace engine
