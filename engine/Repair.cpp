// The repair's passes over the open document: which packets go and why, the
// new prefix area, the cut ranges of the body and of text blocks, and the
// removal of prefix ids that name removed packets.

#include "engine/Repair.h"

#include <algorithm>
#include <vector>

#include "engine/Check.h"
#include "engine/CheckState.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/Operation.h"
#include "engine/OutputSink.h"
#include "engine/PacketLayout.h"
#include "engine/RepairInternal.h"
#include "engine/TextOps.h"
#include "engine/Walker.h"

namespace engine {

namespace {

constexpr uint32_t kCopyBlock = 8192;
constexpr uint16_t kRepairBlock = 0xFFFF;  // text block of the repair's own ranges

bool StyleType(uint8_t type) { return type == 0x30 || type == 0x31 || (type >= 0x41 && type <= 0x44); }
constexpr uint8_t kUndoType = 0x77;
constexpr uint8_t kWritingToolsType = 0x05;

void SetU16(uint8_t* at, uint32_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}
void SetU32(uint8_t* at, uint32_t v) {
    SetU16(at, v);
    SetU16(at + 2, v >> 16);
}
void SetSize(IndexEntry& e, uint32_t v) { SetU32(e.bytes + 6, v); }
void SetOffset(IndexEntry& e, uint32_t v) { SetU32(e.bytes + 10, v); }

bool Seek(DocFile* f, uint32_t at) {
    return at <= 0x7FFFFFFFu && SeekDocFile(f, static_cast<int32_t>(at), 0) == static_cast<int32_t>(at);
}

// Up to `count` bytes at `at`, as many as the file holds.
std::vector<uint8_t> ReadAt(DocFile* f, uint32_t at, uint32_t count) {
    std::vector<uint8_t> b;
    if (!Seek(f, at)) return b;
    b.resize(count);
    size_t got = 0;
    while (got < b.size()) {
        const int32_t n = ReadDocFile(f, b.data() + got, static_cast<uint32_t>(b.size() - got));
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    b.resize(got);
    return b;
}

bool WriteAll(DocFile* f, const uint8_t* bytes, size_t n) {
    return n == 0 || WriteDocFile(f, bytes, static_cast<uint32_t>(n)) == static_cast<int32_t>(n);
}

// Bytes of a packet's head that hold its child list and block table.
uint64_t TableEnd(const IndexEntry& e, std::span<const uint8_t> head) {
    return ReadPacketLayout(e, head).TableEnd();
}

std::vector<uint8_t> ReadHead(DocFile* f, const IndexEntry& e, uint32_t from) {
    // Child count first, then the table it places.
    auto upTo = [&](uint64_t end) { return static_cast<uint32_t>(std::min<uint64_t>(e.DataSize(), end)); };
    std::vector<uint8_t> head = ReadAt(f, from, upTo(2));
    head = ReadAt(f, from, upTo(TableEnd(e, head)));
    return ReadAt(f, from, upTo(TableEnd(e, head)));
}

}  // namespace

// ---- Which packets go ---------------------------------------------------

int PacketRemovalReason(uint32_t id, uint32_t options, std::string& reason, bool& writingTools) {
    auto& packets = Ctx().doc.packets;
    if (id == 0 || id >= packets.size()) return 0;
    const PacketEntry& p = packets[id];
    const IndexEntry& e = p.entry;
    const bool noUse = p.countedUses == 0;
    const bool noHidden = p.countedHidden == 0;
    const bool minFlag = (e.Flags() & kFlagMinOneUse) != 0;
    const bool undo = options & kRepairUndo;
    const bool styles = options & kRepairUnusedStyles;
    const bool corruption = options & kRepairCorruption;
    const char* why = nullptr;
    if (e.Type() == 0 && e.DataSize() == 0) return 0;
    if (e.Type() == 0)
        why = "Deletable Packet";
    else if (styles && StyleType(e.Type()) && noUse && noHidden)
        why = "Unused STYLE Packet";
    else if (undo && !minFlag && noUse && !noHidden)
        why = "Only referenced from UNDO area";
    else if (undo && styles && StyleType(e.Type()) && noUse)
        why = "Only referenced from UNDO area";
    else if (!minFlag && noUse && noHidden)
        why = "NEVER referenced";
    else if (undo && e.Type() == kUndoType)
        why = "Undo information packet";
    else if (corruption && e.Type() == kWritingToolsType && noUse && noHidden) {
        if (!writingTools) {
            writingTools = true;
            return 0;
        }
        why = "Removing Extra Writing Tools packet";
    }
    if (!why) return 0;
    reason = why;
    return 1;
}

void RemovePacket(RepairJob& job, uint32_t id, uint32_t options, std::string& reason,
                  bool& writingTools) {
    EngineContext& c = Ctx();
    auto& packets = c.doc.packets;
    const auto& refs = c.check.refs;
    const uint32_t count = static_cast<uint32_t>(packets.size());
    if (id == 0 || id >= count) return;

    // The references each packet makes, in table order.
    std::vector<std::vector<uint32_t>> made(count);
    for (size_t s = 0; s < refs.size(); ++s)
        if (refs[s].referenced != 0 && refs[s].referencing < count)
            made[refs[s].referencing].push_back(static_cast<uint32_t>(s));

    auto drop = [&](uint32_t which) {
        IndexEntry& e = packets[which].entry;
        if (e.DataSize() != 0 && job.log)
            AddListLine(job.log, Format("REMOVED Packet 0x%04X.  %s", which, reason.c_str()));
        reason.clear();
        std::fill(std::begin(e.bytes), std::end(e.bytes), uint8_t{0});
        packets[which].countedUses = packets[which].countedHidden = packets[which].minUseCount = 0;
        job.MarkRemoved(which, count);
    };
    // Depth first without recursion: a chain of packets can be as long as
    // the table.
    struct Frame {
        uint32_t id;
        size_t next;
    };
    std::vector<Frame> stack;
    drop(id);
    stack.push_back({id, 0});
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next >= made[f.id].size()) {
            stack.pop_back();
            continue;
        }
        const PacketRef& r = refs[made[f.id][f.next++]];
        const uint32_t child = r.referenced;
        if (child >= count || packets[child].entry.Type() == 0) continue;
        PacketEntry& p = packets[child];
        uint16_t& n = (r.kind & 0x01) ? p.countedUses : p.countedHidden;
        if (n > 0) --n;
        if (PacketRemovalReason(child, options, reason, writingTools)) {
            drop(child);
            stack.push_back({child, 0});
        }
    }
}

uint32_t ResizePacket(uint32_t id, uint32_t newSize) {
    auto& packets = Ctx().doc.packets;
    if (id == 0 || id >= packets.size()) return 0;
    const uint32_t old = packets[id].entry.DataSize();
    SetSize(packets[id].entry, newSize);
    uint32_t end = packets[id].entry.DataOffset() + newSize;
    for (size_t i = id + 1; i < packets.size(); ++i) {
        IndexEntry& e = packets[i].entry;
        if (e.Type() == 0 && e.DataSize() == 0) continue;
        SetOffset(e, e.DataOffset() - old + newSize);
        if (e.Type() != 0) end = e.DataOffset() + e.DataSize();
    }
    return end;
}

// ---- Copying ------------------------------------------------------------

int CopyBytes(RepairJob& job, DocFile* out, DocFile* in, uint32_t count) {
    std::vector<uint8_t> buf(kCopyBlock);
    while (count > 0) {
        const uint32_t want = std::min(count, kCopyBlock);
        const int32_t got = ReadDocFile(in, buf.data(), want);
        if (got < 0) {
            RepairBox("Error reading file: " + (in ? in->path : std::string()));
            return 1;
        }
        if (got > 0 && !WriteAll(out, buf.data(), static_cast<size_t>(got))) {
            RepairBox("Error Writing file: " + job.outputName);
            return 1;
        }
        if (static_cast<uint32_t>(got) < want) break;  // the input ends here
        count -= want;
    }
    return 0;
}

int CopyHeader(RepairJob& job, DocFile* out, DocFile* in) {
    if (SeekDocFile(out, 0, 0) != 0 || SeekDocFile(in, 0, 0) != 0) {
        RepairBox("I/O Error.  Seek failed");
        return 1;
    }
    if (job.extract) return 0;
    const uint32_t at = Ctx().doc.header.IndexOffset();
    return CopyBytes(job, out, in, at > 16 ? at : 16);
}

int64_t RemoveCorruptCodes(RepairJob& job, DocFile* out, DocFile* in, uint32_t id) {
    EngineContext& c = Ctx();
    PacketEntry& p = c.doc.packets[id];
    const IndexEntry& e = p.entry;
    const uint32_t size = e.DataSize();
    const uint32_t src = p.sourceOffset;
    const std::vector<uint8_t> data = ReadAt(in, src, size);
    const PacketLayout l = ReadPacketLayout(e, data);
    const uint64_t tableEnd = l.TableEnd();
    if (!Seek(out, e.DataOffset())) {
        RepairBox("I/O Error.  Seek to Index area failed");
        return -1;
    }
    // Without a readable block table there is nothing to cut: the packet
    // is copied as it is.
    if (!(e.Flags() & kFlagTextBlocks) || data.size() < tableEnd || l.firstBlock < tableEnd ||
        l.firstBlock > data.size()) {
        if (!WriteAll(out, data.data(), data.size())) {
            RepairBox("Error Writing file: " + job.outputName);
            return -1;
        }
        return static_cast<int64_t>(data.size());
    }

    std::vector<uint8_t> result(data.begin(), data.begin() + l.firstBlock);
    uint64_t start = l.firstBlock;
    for (uint32_t b = 0; b < l.blocks.size(); ++b) {
        const size_t sizeField = l.tableAt + 6 + 4 * size_t{b};
        const PacketLayout::Block& block = l.blocks[b];
        const uint32_t blockSize = block.size;
        const uint64_t from = std::min<uint64_t>(block.start, data.size());
        const uint64_t to = from + block.held;
        start = block.start + blockSize;
        // The ranges of this block, in file offsets of the source.
        std::vector<InvalidRange> cuts;
        for (const InvalidRange& r : c.check.ranges)
            if (r.owner == id && r.block == b && r.end > r.start) cuts.push_back(r);
        std::sort(cuts.begin(), cuts.end(),
                  [](const InvalidRange& a, const InvalidRange& z) { return a.start < z.start; });
        uint64_t pos = from;
        uint32_t newSize = blockSize;
        for (const InvalidRange& r : cuts) {
            const uint64_t rs = std::max<uint64_t>(r.start >= src ? r.start - src : 0, pos);
            const uint64_t re = std::min<uint64_t>(r.end >= src ? r.end - src : 0, to);
            if (re <= rs) continue;
            result.insert(result.end(), data.begin() + pos, data.begin() + rs);
            AddListLine(job.log, Format("Removing Corrupted codes in Prefix 0x%2X from 0x%06X, to 0x%06X",
                                        id, r.start, r.end - 1));
            newSize -= std::min<uint32_t>(newSize, static_cast<uint32_t>(re - rs));
            pos = re;
        }
        result.insert(result.end(), data.begin() + pos, data.begin() + to);
        SetU32(result.data() + sizeField, newSize);
    }
    // What follows the blocks stays.
    if (start < data.size()) result.insert(result.end(), data.begin() + start, data.end());
    if (!WriteAll(out, result.data(), result.size())) {
        RepairBox("Error Writing file: " + job.outputName);
        return -1;
    }
    return static_cast<int64_t>(result.size());
}

int RebuildPrefixArea(RepairJob& job, DocFile* out, DocFile* in, uint32_t options) {
    if (job.extract) return 0;
    EngineContext& c = Ctx();
    auto& packets = c.doc.packets;
    const uint32_t count = static_cast<uint32_t>(packets.size());
    const FileHeader& h = c.doc.header;
    const uint32_t indexPos = h.IndexOffset() > 16 ? h.IndexOffset() : 16;
    auto seekFailed = [] {
        RepairBox("I/O Error.  Seek to Index area failed");
        return 1;
    };
    for (PacketEntry& p : packets) p.sourceOffset = p.entry.DataOffset();

    const uint32_t length = c.doc.dataLength;
    uint32_t running = indexPos + count * static_cast<uint32_t>(kIndexEntrySize);
    if (options != 0) {
        std::string reason;
        bool writingTools = false;
        for (uint32_t id = 1; id < count; ++id)
            if (PacketRemovalReason(id, options, reason, writingTools))
                RemovePacket(job, id, options, reason, writingTools);
        for (uint32_t id = 1; id < count; ++id) {
            PacketEntry& p = packets[id];
            const IndexEntry& e = p.entry;
            // Data the file does not hold cannot be laid out again.
            if (e.Type() != 0 && (e.DataOffset() > length || e.DataSize() > length - e.DataOffset())) {
                AddListLine(job.log, Format("All references to prefix packet 0x%X were removed!!!", id));
                p = PacketEntry{};
                job.MarkRemoved(id, count);
            }
        }
    }
    // The stored counts are fixed once the removed packets have given back
    // their uses, so that the copy checks sound as it is written.
    if (!job.scramble && QWFixPacketCounts(job.log) == 0) return 1;
    if (options != 0) {
        for (uint32_t id = 1; id < count; ++id) {
            IndexEntry& e = packets[id].entry;
            // Available entries keep their offset: a removed one stays all zeros.
            if (e.Type() == 0 && e.DataSize() == 0) continue;
            SetOffset(e, running);
            if (e.Type() != 0) running += e.DataSize();
        }
    }
    if (!Seek(out, indexPos)) return seekFailed();
    if (WriteIndex(out, job.log) == 0) return 1;
    if (!Seek(in, indexPos + count * static_cast<uint32_t>(kIndexEntrySize))) return seekFailed();

    bool resized = false;
    for (uint32_t id = 1; id < count; ++id) {
        PacketEntry& p = packets[id];
        const IndexEntry& e = p.entry;
        if (e.DataSize() == 0) continue;
        if (!Seek(in, p.sourceOffset)) return seekFailed();
        const bool owned = std::any_of(c.check.ranges.begin(), c.check.ranges.end(),
                                       [&](const InvalidRange& r) { return r.owner == id && r.block != kRepairBlock; });
        if ((options & kRepairCorruption) && (e.Flags() & kFlagTextBlocks) && owned) {
            const int64_t n = RemoveCorruptCodes(job, out, in, id);
            if (n < 0) return 1;
            running = ResizePacket(id, static_cast<uint32_t>(n));
            resized = true;
        } else {
            if (!Seek(out, e.DataOffset())) return seekFailed();
            if (CopyBytes(job, out, in, e.DataSize()) != 0) return 1;
        }
        if (options != 0) ClearRemovedChildren(job, out, id);
        if (job.scramble && (e.Flags() & kFlagTextBlocks)) {
            const std::vector<uint8_t> head = ReadHead(out, e, e.DataOffset());
            // The head holds the table only: the blocks are bounded by the packet.
            for (const PacketLayout::Block& block : ReadPacketLayout(e, head).blocks) {
                if (block.size != 0 && block.start < e.DataSize())
                    ScrambleTextBlock(out, job.log, static_cast<uint32_t>(e.DataOffset() + block.start),
                                      static_cast<uint32_t>(std::min<uint64_t>(block.size, e.DataSize() - block.start)));
            }
        }
    }

    uint32_t docOffset = h.DocOffset();
    if (options != 0 && (running != h.DocOffset() || resized)) {
        if (running != h.DocOffset()) {
            FileHeader changed = h;
            SetU32(changed.bytes + 4, running);
            if (!Seek(out, 0) || !WriteAll(out, changed.bytes, 16)) {
                RepairBox("I/O Error.  Write to Index area failed");
                return 1;
            }
            AddListLine(job.log, Format("Document start position changed from 0x%X to 0x%X.", h.DocOffset(), running));
        }
        if (WriteIndex(out, job.log) == 0) return 1;
        docOffset = running;
    } else if (options != 0) {
        docOffset = running;
    }
    if (!Seek(out, docOffset) || !Seek(in, h.DocOffset())) return seekFailed();
    return 0;
}

// A child list naming a removed packet would name an available entry: the
// id becomes 0, which the list passes over.
void ClearRemovedChildren(RepairJob& job, DocFile* out, uint32_t id) {
    auto& packets = Ctx().doc.packets;
    const IndexEntry& e = packets[id].entry;
    if (!(e.Flags() & kFlagChildList)) return;
    std::vector<uint8_t> list = ReadAt(out, e.DataOffset(), std::min<uint32_t>(e.DataSize(), 2));
    const uint32_t n = ReadPacketLayout(e, list).childCount;
    if (2 + 2 * uint64_t{n} > e.DataSize()) return;
    list = ReadAt(out, e.DataOffset(), 2 + 2 * n);
    const PacketLayout l = ReadPacketLayout(e, list);
    bool changed = false;
    for (size_t i = 0; i < l.children.size(); ++i) {
        const uint32_t child = l.children[i];
        if (child != 0 && child < packets.size() && packets[child].entry.Type() == 0 &&
            job.Removed(child)) {
            SetU16(list.data() + 2 + 2 * size_t{i}, 0);
            changed = true;
        }
    }
    if (changed && Seek(out, e.DataOffset())) WriteAll(out, list.data(), list.size());
}

// ---- The body -----------------------------------------------------------

void SetByteReplacement(uint32_t offset, uint32_t length, uint16_t value) {
    auto& ranges = Ctx().check.ranges;
    for (InvalidRange& r : ranges)
        if (r.start == offset && r.owner == kRangeByteFix && r.block == kRepairBlock) {
            r.value = value;
            return;
        }
    AppendInvalidRange(kRangeByteFix, kRepairBlock, offset, length);
    ranges.back().value = value;
}

uint32_t CountHandledRefsAt(size_t slot) {
    const auto& refs = Ctx().check.refs;
    if (slot >= refs.size()) return 0;
    uint32_t n = 0;
    for (const PacketRef& r : refs)
        if (r.offset == refs[slot].offset && r.referencing == 0xFFFF && (r.kind & 0x0F) == 0x0F) ++n;
    return n;
}

size_t FindNextRange(uint32_t position, uint32_t options) {
    const auto& ranges = Ctx().check.ranges;
    size_t best = ranges.size();
    for (size_t i = 0; i < ranges.size(); ++i) {
        const InvalidRange& r = ranges[i];
        if (r.start < position) continue;
        // The body's own ranges; a packet's ranges have its id as owner and
        // lie in the prefix area, but a damaged index can place them here.
        bool admitted = false;
        if (r.block == kRepairBlock)
            admitted = options != 0 && (r.owner == kRangeDamage || r.owner == kRangeByteFix);
        else if (r.block == 0 && r.owner == kRangeUndo)
            admitted = options & kRepairUndo;
        else if (r.block == 0 && r.owner == kRangeDamage)
            admitted = options & kRepairCorruption;
        if (admitted && (best == ranges.size() || r.start < ranges[best].start)) best = i;
    }
    return best;
}

bool RemoveFunctionRef(DocFile* in, size_t slot) {
    EngineContext& c = Ctx();
    auto& refs = c.check.refs;
    if (slot >= refs.size()) return false;
    const uint32_t offset = refs[slot].offset;
    if (offset == 0 || offset > kStartOffsetMask) return false;

    CodeWalkRequest rq;
    rq.file = in;
    rq.sink = nullptr;
    rq.start = offset;
    rq.mode = kModeDecoded;
    rq.groupMask = 0xFFFFFFFF;
    rq.classMask = 0xFFFFFFFF;
    rq.length = kWalkToEnd;
    // Only a function with prefix ids leaves results.
    c.check.probeIdCount = 0;
    c.check.probeSize = 0;
    {
        OperationScope probe(Operation::RepairProbe, SinkSwitches{});
        WalkCodeStream(rq);
    }
    const uint32_t ids = c.check.probeIdCount;
    const uint32_t size = c.check.probeSize;
    if (ids == 0 || size < 12) return false;

    const uint32_t n = CountHandledRefsAt(slot) + 1;
    PacketRef& ref = refs[slot];
    if (n == ids) {
        ref.kind = static_cast<uint8_t>(ref.kind | 0x0F);
        AppendInvalidRange(kRangeDamage, kRepairBlock, offset, size);
        return true;
    }
    if (n > ids) return false;
    const std::vector<uint8_t> list = ReadAt(in, offset + 6, 2 * ids);
    for (uint32_t i = 0; i < ids; ++i) {
        if (GetU16(list, 2 * size_t{i}) != ref.referenced) continue;
        const uint32_t at = offset + 6 + 2 * i;
        // The same id named twice: each reference takes its own.
        const bool taken = std::any_of(c.check.ranges.begin(), c.check.ranges.end(), [&](const InvalidRange& r) {
            return r.start == at && r.owner == kRangeDamage && r.block == kRepairBlock;
        });
        if (taken) continue;
        ref.kind = static_cast<uint8_t>(ref.kind | 0x0F);
        const uint32_t newSize = size - 2 * n;
        SetByteReplacement(offset + 2, 1, static_cast<uint16_t>(newSize));
        SetByteReplacement(offset + 5, 1, static_cast<uint16_t>(ids - n));
        SetByteReplacement(offset + size - 3, 1, static_cast<uint16_t>(newSize));
        // Both bytes of the new size, once it leaves the old high byte.
        if ((newSize >> 8) != (size >> 8)) {
            SetByteReplacement(offset + 3, 1, static_cast<uint16_t>(newSize >> 8));
            SetByteReplacement(offset + size - 2, 1, static_cast<uint16_t>(newSize >> 8));
        }
        AppendInvalidRange(kRangeDamage, kRepairBlock, at, 2);
        return true;
    }
    return false;
}

int DropOrphanFunctions(RepairJob& job, DocFile* out, DocFile* in, uint32_t options) {
    EngineContext& c = Ctx();
    const int32_t outAt = SeekDocFile(out, 0, 1);
    const int32_t inAt = SeekDocFile(in, 0, 1);
    // Without a repair option nothing was removed; the scramble keeps every code.
    if (options != 0 && !job.extract) {
        const auto& packets = c.doc.packets;
        for (size_t s = 0; s < c.check.refs.size(); ++s) {
            const PacketRef& r = c.check.refs[s];
            // Child lists are mended as their packets are copied; a text
            // block's function lies in a packet, not the body.
            if (r.referenced == 0 || r.referenced >= packets.size() || (r.kind & 0x0F) != kRefBody ||
                r.referencing != 0xFFFF)
                continue;
            if (packets[r.referenced].entry.Type() == 0 && job.Removed(r.referenced)) RemoveFunctionRef(in, s);
        }
    }
    if (outAt >= 0) SeekDocFile(out, outAt, 0);
    if (inAt >= 0) SeekDocFile(in, inAt, 0);
    return 0;
}

int CopyDocumentBody(RepairJob& job, DocFile* out, DocFile* in, uint32_t options) {
    EngineContext& c = Ctx();
    if (job.extract) {
        if (SeekDocFile(in, 0, 0) != 0) {
            RepairBox("Error seeking in file: " + job.repairedFileName);
            return 1;
        }
        const int32_t end = SeekDocFile(in, 0, 2);
        SeekDocFile(in, 0, 0);
        ExtractTextBlock(out, in, job.log, 0, end > 0 ? static_cast<uint32_t>(end) : 0);
        return 1;
    }
    const int32_t inAt = SeekDocFile(in, 0, 1);
    const int32_t outAt = SeekDocFile(out, 0, 1);
    if (inAt < 0 || outAt < 0) {
        RepairBox("Error reading file: " + job.repairedFileName);
        return 1;
    }
    const int32_t inEnd = SeekDocFile(in, 0, 2);
    if (inEnd < 0 || !Seek(in, static_cast<uint32_t>(inAt))) {
        RepairBox("Error reading file: " + job.repairedFileName);
        return 1;
    }
    auto copyTo = [&](uint32_t end, uint32_t from) {
        return end > from ? CopyBytes(job, out, in, end - from) : 0;
    };
    uint32_t pos = static_cast<uint32_t>(inAt);
    for (;;) {
        const size_t i = FindNextRange(pos, options);
        if (i == c.check.ranges.size()) break;
        const InvalidRange r = c.check.ranges[i];
        if (r.start >= static_cast<uint32_t>(inEnd)) break;
        if (copyTo(r.start, pos) != 0) return 1;
        if (r.owner == kRangeUndo)
            AddListLine(job.log, Format("0x%02X Bytes of Undo info removed, starting at offset 0x%X ",
                                        r.end - r.start, r.start));
        else if (r.owner == kRangeByteFix)
            AddListLine(job.log, Format("Fixed Code 0x%04X, Use Count set to %d", r.start, r.value));
        else
            AddListLine(job.log, Format("0x%02X Bytes of Corruption info removed, starting at offset 0x%X ",
                                        r.end - r.start, r.start));
        if (r.owner == kRangeByteFix) {
            const uint8_t b = static_cast<uint8_t>(r.value);
            if (!WriteAll(out, &b, 1)) {
                RepairBox("Error Writing file: " + job.outputName);
                return 1;
            }
        }
        pos = std::max(r.end, r.start + 1);
        if (!Seek(in, std::min(pos, static_cast<uint32_t>(inEnd)))) {
            RepairBox("I/O Error.  Seek to Index area failed");
            return 1;
        }
    }
    if (pos < static_cast<uint32_t>(inEnd) && copyTo(static_cast<uint32_t>(inEnd), pos) != 0) return 1;

    const int32_t total = SeekDocFile(out, 0, 2);
    if (total < 0) {
        RepairBox("I/O Error.  Seek to EOF failed");
        return 1;
    }
    if (c.doc.header.IndexOffset() > 24) {
        uint8_t len[4];
        SetU32(len, static_cast<uint32_t>(total));
        if (!Seek(out, 20) || !WriteAll(out, len, 4)) {
            RepairBox("I/O Error.  Seek to Index area failed");
            return 1;
        }
    }
    if (job.scramble &&
        ScrambleTextBlock(out, job.log, static_cast<uint32_t>(outAt),
                          static_cast<uint32_t>(total) - static_cast<uint32_t>(outAt)) == 0)
        return 1;
    return 0;
}

}  // namespace engine
