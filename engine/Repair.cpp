// The repair's passes over the open document: which packets go and why, the
// new prefix area, the cut ranges of the body and of text blocks, and the
// removal of prefix ids that name removed packets.

#include "engine/Repair.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Check.h"
#include "engine/Codes.h"
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

// printf's "%0*X": the body's log lines come by the hundred thousand, and
// formatting each through printf would cost more than copying the body.
// Written at `to`; returns the end.
char* PutHex(char* to, uint32_t v, int digits) {
    char b[8];
    int n = 0;
    do {
        b[n++] = "0123456789ABCDEF"[v & 15];
        v >>= 4;
    } while (v != 0);
    for (int i = n; i < digits; ++i) *to++ = '0';
    while (n > 0) *to++ = b[--n];
    return to;
}

char* PutText(char* to, std::string_view text) {
    std::memcpy(to, text.data(), text.size());
    return to + text.size();
}

// A stable sort of indexes by `key`. The check books in file order and the
// repair appends its own in file order too, so the list is a few ascending
// runs: they are merged, each in one pass.
template <class Key>
void SortByStart(std::vector<uint32_t>& v, Key key) {
    auto less = [&](uint32_t a, uint32_t b) { return key(a) < key(b); };
    std::vector<size_t> runs{0};
    for (size_t i = 1; i < v.size(); ++i)
        if (key(v[i]) < key(v[i - 1])) runs.push_back(i);
    if (runs.size() > 8) {
        std::stable_sort(v.begin(), v.end(), less);
        return;
    }
    runs.push_back(v.size());
    for (size_t r = 1; r + 1 < runs.size(); ++r)
        std::inplace_merge(v.begin(), v.begin() + static_cast<ptrdiff_t>(runs[r]),
                           v.begin() + static_cast<ptrdiff_t>(runs[r + 1]), less);
}

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

uint32_t* OffsetIndex::Slot(uint32_t key) {
    if (!sorted_.empty() && key <= sorted_.back().first) {
        auto it = std::lower_bound(sorted_.begin(), sorted_.end(), key,
                                   [](const std::pair<uint32_t, uint32_t>& e, uint32_t k) { return e.first < k; });
        if (it != sorted_.end() && it->first == key) return &it->second;
    }
    if (rest_.empty()) return nullptr;
    auto it = rest_.find(key);
    return it == rest_.end() ? nullptr : &it->second;
}

const uint32_t* OffsetIndex::Find(uint32_t key) const { return const_cast<OffsetIndex*>(this)->Slot(key); }

uint32_t& OffsetIndex::At(uint32_t key) {
    if (uint32_t* v = Slot(key)) return *v;
    if (sorted_.empty() || key > sorted_.back().first) {
        sorted_.emplace_back(key, 0);
        return sorted_.back().second;
    }
    return rest_[key];
}

void OffsetIndex::Emplace(uint32_t key, uint32_t value) {
    if (!Slot(key)) At(key) = value;
}

RepairState& Repairs() {
    EngineContext& c = Ctx();
    if (!c.repair) c.repair = std::make_shared<RepairState>();
    return *c.repair;
}

void ResetRepairState() { Ctx().repair.reset(); }

namespace {

const std::vector<std::vector<uint32_t>>& MadeBy() {
    RepairState& st = Repairs();
    if (!st.madeBuilt) {
        const auto& refs = Ctx().check.refs;
        const size_t count = Ctx().doc.packets.size();
        st.made.assign(count, {});
        for (size_t s = 0; s < refs.size(); ++s)
            if (refs[s].referenced != 0 && refs[s].referencing < count)
                st.made[refs[s].referencing].push_back(static_cast<uint32_t>(s));
        st.madeBuilt = true;
    }
    return st.made;
}

// Ranges of the check inside packet `id`'s text blocks, in list order.
const std::vector<uint32_t>& OwnedBy(uint32_t id) {
    RepairState& st = Repairs();
    if (!st.ownedBuilt) {
        const auto& ranges = Ctx().check.ranges;
        st.owned.assign(Ctx().doc.packets.size(), {});
        for (size_t i = 0; i < ranges.size(); ++i) {
            const InvalidRange& r = ranges[i];
            if (r.block != kRepairBlock && r.owner != 0 && r.owner != kRangeUndo && r.owner < st.owned.size())
                st.owned[r.owner].push_back(static_cast<uint32_t>(i));
        }
        st.ownedBuilt = true;
    }
    static const std::vector<uint32_t> kNone;
    return id < st.owned.size() ? st.owned[id] : kNone;
}

// Brings the index of the repair's own ranges up to the list's end.
void IndexOwnRanges() {
    RepairState& st = Repairs();
    const auto& ranges = Ctx().check.ranges;
    if (st.rangesSeen > ranges.size()) {
        st.fixAt.Clear();
        st.cutAt.Clear();
        st.rangesSeen = 0;
    }
    for (; st.rangesSeen < ranges.size(); ++st.rangesSeen) {
        const InvalidRange& r = ranges[st.rangesSeen];
        if (r.block != kRepairBlock) continue;
        const uint32_t i = static_cast<uint32_t>(st.rangesSeen);
        if (r.owner == kRangeByteFix) st.fixAt.Emplace(r.start, i);
        else if (r.owner == kRangeDamage) st.cutAt.Emplace(r.start, i);
    }
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
        why = Text(Msg::DeletablePacket);
    else if (styles && StyleType(e.Type()) && noUse && noHidden)
        why = "Unused STYLE Packet";
    else if (undo && !minFlag && noUse && !noHidden)
        why = Text(Msg::OnlyFromUndo);
    else if (undo && styles && StyleType(e.Type()) && noUse)
        why = Text(Msg::OnlyFromUndo);
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
    const auto& made = MadeBy();
    if (made.size() != count) return;

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

int CopyBytes(RepairJob& job, DocFile* out, DocFile* in, uint32_t count, uint32_t* copied) {
    std::vector<uint8_t> buf(kCopyBlock);
    if (copied) *copied = 0;
    while (count > 0) {
        const uint32_t want = std::min(count, kCopyBlock);
        const int32_t got = ReadDocFile(in, buf.data(), want);
        if (got < 0) {
            RepairBox(Text(Msg::ErrorReadingFile) + (in ? in->path : std::string()));
            return 1;
        }
        if (got > 0 && !WriteAll(out, buf.data(), static_cast<size_t>(got))) {
            RepairBox(Text(Msg::ErrorWritingFile) + job.outputName);
            return 1;
        }
        if (copied) *copied += static_cast<uint32_t>(got);
        if (static_cast<uint32_t>(got) < want) break;  // the input ends here
        count -= want;
    }
    return 0;
}

int CopyHeader(RepairJob& job, DocFile* out, DocFile* in) {
    if (SeekDocFile(out, 0, 0) != 0 || SeekDocFile(in, 0, 0) != 0) {
        RepairBox(Text(Msg::SeekFailed));
        return 1;
    }
    if (job.extract) return 0;
    const uint32_t at = Ctx().doc.header.IndexOffset();
    return CopyBytes(job, out, in, at > 16 ? at : 16);
}

namespace {

// Child-list ids of removed packets become 0 in a packet's data.
bool ClearRemovedIn(const RepairJob& job, const IndexEntry& e, std::vector<uint8_t>& data) {
    const PacketLayout l = ReadPacketLayout(e, data);
    if (!l.hasChildList) return false;
    bool changed = false;
    for (size_t i = 0; i < l.children.size(); ++i) {
        const size_t at = 2 + 2 * i;
        const uint32_t child = l.children[i];
        if (child != 0 && job.Removed(child)) {
            SetU16(data.data() + at, 0);
            changed = true;
        }
    }
    return changed;
}

struct Cut {
    uint64_t from, to;  // offsets in the packet's data
};

// The prefix ids of removed packets go out of the functions of one text
// block (data[from, to)), as they go out of the body's: a function that
// loses every id goes whole, otherwise its size fields and id count follow.
void CutRemovedIds(const RepairJob& job, std::vector<uint8_t>& data, uint64_t from, uint64_t to,
                   std::vector<Cut>& cuts) {
    uint64_t e = from;
    while (e < to) {
        const uint8_t b = data[e];
        if (b <= 0xCF) {
            ++e;
            continue;
        }
        if (b == 0xFF) {
            ++e;
            continue;
        }
        if (b >= 0xF0) {
            const uint32_t l = FixedFunctionLength(b);
            e += (l != 0 && e + l <= to && data[e + l - 1] == b) ? l : 1;
            continue;
        }
        if (to - e < 6) {
            ++e;
            continue;
        }
        const int16_t sized = static_cast<int16_t>(GetU16(data, e + 2));
        const uint64_t sz = sized > 0 ? static_cast<uint64_t>(sized) : 0;
        if (sz <= 6 || e + sz > to || data[e + sz - 1] != b || GetU16(data, e + sz - 3) != sz) {
            ++e;
            continue;
        }
        const bool hasIds = (data[e + 4] & 0x80) != 0;
        const uint32_t n = hasIds ? data[e + 5] : 0;
        if (hasIds && 6 + 2 * uint64_t{n} <= sz - 3) {
            std::vector<uint32_t> gone;
            for (uint32_t i = 0; i < n; ++i) {
                const uint32_t id = GetU16(data, e + 6 + 2 * size_t{i});
                if (id != 0 && job.Removed(id)) gone.push_back(i);
            }
            if (!gone.empty() && gone.size() == n) {
                cuts.push_back({e, e + sz});
            } else if (!gone.empty()) {
                const uint32_t newSize = static_cast<uint32_t>(sz - 2 * gone.size());
                SetU16(data.data() + e + 2, newSize);
                data[e + 5] = static_cast<uint8_t>(n - gone.size());
                SetU16(data.data() + e + sz - 3, newSize);
                for (uint32_t i : gone) cuts.push_back({e + 6 + 2 * uint64_t{i}, e + 8 + 2 * uint64_t{i}});
            }
        }
        e += sz;
    }
}

bool NamesRemoved(const RepairJob& job, uint32_t id, uint8_t kind) {
    const auto& made = MadeBy();
    if (id >= made.size()) return false;
    const auto& refs = Ctx().check.refs;
    for (uint32_t s : made[id])
        if ((refs[s].kind & 0x0F) == kind && job.Removed(refs[s].referenced)) return true;
    return false;
}

}  // namespace

int64_t RemoveCorruptCodes(RepairJob& job, DocFile* out, DocFile* in, uint32_t id) {
    EngineContext& c = Ctx();
    PacketEntry& p = c.doc.packets[id];
    const IndexEntry& e = p.entry;
    const uint32_t size = e.DataSize();
    const uint32_t src = p.sourceOffset;
    std::vector<uint8_t> data = ReadAt(in, src, size);
    if (data.size() < size) {
        RepairBox(Text(Msg::ErrorReadingFile) + in->path);
        return -1;
    }
    ClearRemovedIn(job, e, data);
    const PacketLayout l = ReadPacketLayout(e, data);
    const uint64_t tableEnd = l.TableEnd();
    if (!Seek(out, e.DataOffset())) {
        RepairBox(Text(Msg::SeekIndexFailed));
        return -1;
    }
    // Without a readable block table there is nothing to cut: the packet
    // is copied as it is.
    if (!(e.Flags() & kFlagTextBlocks) || data.size() < tableEnd || l.firstBlock < tableEnd ||
        l.firstBlock > data.size()) {
        if (!WriteAll(out, data.data(), data.size())) {
            RepairBox(Text(Msg::ErrorWritingFile) + job.outputName);
            return -1;
        }
        return static_cast<int64_t>(data.size());
    }

    const bool corruption = job.repairCorruption;
    const bool idsGo = NamesRemoved(job, id, kRefTextBlock);
    const std::vector<uint32_t>& owned = OwnedBy(id);
    std::vector<uint8_t> result(data.begin(), data.begin() + l.firstBlock);
    result.reserve(data.size());
    uint64_t start = l.firstBlock;
    for (uint32_t b = 0; b < l.blocks.size(); ++b) {
        const size_t sizeField = l.tableAt + 6 + 4 * size_t{b};
        const PacketLayout::Block& block = l.blocks[b];
        const uint32_t blockSize = block.size;
        const uint64_t from = std::min<uint64_t>(block.start, data.size());
        const uint64_t to = from + block.held;
        start = block.start + blockSize;
        std::vector<Cut> cuts;
        if (corruption) {
            for (uint32_t ri : owned) {
                const InvalidRange& r = c.check.ranges[ri];
                if (r.block != b || r.end <= r.start) continue;
                const uint64_t rs = std::max<uint64_t>(r.start >= src ? r.start - src : 0, from);
                const uint64_t re = std::min<uint64_t>(r.end >= src ? r.end - src : 0, to);
                if (re <= rs) continue;
                AddListLine(job.log, Format("Removing Corrupted codes in Prefix 0x%2X from 0x%06X, to 0x%06X", id,
                                            r.start, r.end - 1));
                cuts.push_back({rs, re});
            }
        }
        if (idsGo) CutRemovedIds(job, data, from, to, cuts);
        std::sort(cuts.begin(), cuts.end(), [](const Cut& x, const Cut& y) { return x.from < y.from; });
        uint64_t pos = from;
        uint32_t newSize = blockSize;
        for (const Cut& cut : cuts) {
            const uint64_t cs = std::max(cut.from, pos);
            if (cut.to <= cs) continue;
            result.insert(result.end(), data.begin() + static_cast<ptrdiff_t>(pos),
                          data.begin() + static_cast<ptrdiff_t>(cs));
            newSize -= std::min<uint32_t>(newSize, static_cast<uint32_t>(cut.to - cs));
            pos = cut.to;
        }
        result.insert(result.end(), data.begin() + static_cast<ptrdiff_t>(pos),
                      data.begin() + static_cast<ptrdiff_t>(to));
        SetU32(result.data() + sizeField, newSize);
    }
    // What follows the blocks stays.
    if (start < data.size()) result.insert(result.end(), data.begin() + static_cast<ptrdiff_t>(start), data.end());
    if (!WriteAll(out, result.data(), result.size())) {
        RepairBox(Text(Msg::ErrorWritingFile) + job.outputName);
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
        RepairBox(Text(Msg::SeekIndexFailed));
        return 1;
    };
    ResetRepairState();
    // The stored counts first: an entry that needs its min-use flag gets it
    // before the removal rules read the flags.
    if (!job.scramble && QWFixPacketCounts(job.log) == 0) return 1;
    for (PacketEntry& p : packets) p.sourceOffset = p.entry.DataOffset();

    const uint32_t length = c.doc.dataLength;
    uint32_t running = indexPos + count * static_cast<uint32_t>(kIndexEntrySize);
    bool removed = false;
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
                const uint32_t source = p.sourceOffset;
                p = PacketEntry{};
                p.sourceOffset = source;
                job.MarkRemoved(id, count);
            }
        }
        removed = !job.removed.empty();
        // Every entry, available ones too, gets the running position.
        for (uint32_t id = 1; id < count; ++id) {
            IndexEntry& e = packets[id].entry;
            SetOffset(e, running);
            if (e.Type() != 0) running += e.DataSize();
        }
    }
    if (!Seek(out, indexPos)) return seekFailed();
    if (WriteIndex(out, job.log) == 0) return 1;
    if (!Seek(in, indexPos + count * static_cast<uint32_t>(kIndexEntrySize))) return seekFailed();

    // A packet that changes size moves every later one: the difference so far.
    int64_t shift = 0;
    bool resized = false;
    // Where both files stand after a plain copy: packets lie one behind the
    // other, and a seek to where a file already is would be a system call
    // for each packet. -1: not known.
    int64_t inAt = -1, outAt = -1;
    auto seekTo = [](DocFile* f, uint32_t at, int64_t& known) {
        if (known == int64_t{at}) return true;
        known = -1;
        return Seek(f, at);
    };
    for (uint32_t id = 1; id < count; ++id) {
        PacketEntry& p = packets[id];
        IndexEntry& e = p.entry;
        if (shift != 0) SetOffset(e, static_cast<uint32_t>(e.DataOffset() + shift));
        if (e.DataSize() == 0) continue;
        if (!seekTo(in, p.sourceOffset, inAt)) return seekFailed();
        const bool blocks = (e.Flags() & kFlagTextBlocks) != 0;
        const bool rewrite = options != 0 && blocks &&
                             (((options & kRepairCorruption) && !OwnedBy(id).empty()) ||
                              NamesRemoved(job, id, kRefTextBlock));
        if (rewrite) {
            inAt = outAt = -1;
            const int64_t n = RemoveCorruptCodes(job, out, in, id);
            if (n < 0) return 1;
            shift += n - int64_t{e.DataSize()};
            SetSize(e, static_cast<uint32_t>(n));
            resized = true;
        } else {
            if (!seekTo(out, e.DataOffset(), outAt)) return seekFailed();
            uint32_t copied = 0;
            if (CopyBytes(job, out, in, e.DataSize(), &copied) != 0) return 1;
            inAt = int64_t{p.sourceOffset} + copied;
            outAt = int64_t{e.DataOffset()} + copied;
            if (options != 0 && NamesRemoved(job, id, kRefChildList)) {
                outAt = -1;
                if (!ClearRemovedChildren(job, out, id)) return 1;
            }
        }
        if (job.scramble && blocks) {
            inAt = outAt = -1;
            const std::vector<uint8_t> head = ReadHead(out, e, e.DataOffset());
            // The head holds the table only: the blocks are bounded by the packet.
            for (const PacketLayout::Block& block : ReadPacketLayout(e, head).blocks) {
                if (block.size != 0 && block.start < e.DataSize())
                    ScrambleTextBlock(out, job.log, static_cast<uint32_t>(e.DataOffset() + block.start),
                                      static_cast<uint32_t>(std::min<uint64_t>(block.size, e.DataSize() - block.start)));
            }
        }
    }
    running = static_cast<uint32_t>(running + shift);

    uint32_t docOffset = h.DocOffset();
    if (options != 0) {
        if (running != h.DocOffset()) {
            FileHeader changed = h;
            SetU32(changed.bytes + 4, running);
            if (!Seek(out, 0) || !WriteAll(out, changed.bytes, 16)) {
                RepairBox("I/O Error.  Write to Index area failed");
                return 1;
            }
            AddListLine(job.log, Format("Document start position changed from 0x%X to 0x%X.", h.DocOffset(), running));
        }
        // Sizes and offsets changed since the index was written.
        if ((running != h.DocOffset() || resized || removed) && WriteIndex(out, job.log) == 0) return 1;
        docOffset = running;
    }
    if (!Seek(out, docOffset) || !Seek(in, h.DocOffset())) return seekFailed();
    return 0;
}

// A child list naming a removed packet would name an available entry: the
// id becomes 0, which the list passes over.
bool ClearRemovedChildren(RepairJob& job, DocFile* out, uint32_t id) {
    auto& packets = Ctx().doc.packets;
    const IndexEntry& e = packets[id].entry;
    if (!(e.Flags() & kFlagChildList)) return true;
    std::vector<uint8_t> list = ReadAt(out, e.DataOffset(), std::min<uint32_t>(e.DataSize(), 2));
    const uint32_t n = ReadPacketLayout(e, list).childCount;
    if (2 + 2 * uint64_t{n} > e.DataSize()) return true;
    list = ReadAt(out, e.DataOffset(), 2 + 2 * n);
    if (!ClearRemovedIn(job, e, list)) return true;
    if (!Seek(out, e.DataOffset()) || !WriteAll(out, list.data(), list.size())) {
        RepairBox(Text(Msg::ErrorWritingFile) + job.outputName);
        return false;
    }
    return true;
}

// ---- The body -----------------------------------------------------------

void SetByteReplacement(uint32_t offset, uint32_t length, uint16_t value) {
    auto& ranges = Ctx().check.ranges;
    IndexOwnRanges();
    RepairState& st = Repairs();
    if (const uint32_t* i = st.fixAt.Find(offset); i && *i < ranges.size()) {
        ranges[*i].value = value;
        return;
    }
    AppendInvalidRange(kRangeByteFix, kRepairBlock, offset, std::clamp<uint32_t>(length, 1, 2));
    ranges.back().value = value;
    IndexOwnRanges();
}

namespace {
bool Handled(const PacketRef& r) { return r.referencing == 0xFFFF && (r.kind & 0x0F) == 0x0F; }
}  // namespace

uint32_t CountHandledRefsAt(size_t slot) {
    const auto& refs = Ctx().check.refs;
    if (slot >= refs.size()) return 0;
    RepairState& st = Repairs();
    if (!st.handledBuilt) {
        st.handledAt.Clear();
        for (const PacketRef& r : refs)
            if (Handled(r)) ++st.handledAt.At(r.offset);
        st.handledBuilt = true;
    }
    const uint32_t* n = st.handledAt.Find(refs[slot].offset);
    return n ? *n : 0;
}

namespace {

// The body's own ranges; a packet's ranges have its id as owner and lie in
// the prefix area, but a damaged index can place them here.
bool Admitted(const InvalidRange& r, uint32_t options) {
    // The repair's own bookings go whatever the options.
    if (r.block == kRepairBlock) return r.owner == kRangeDamage || r.owner == kRangeByteFix;
    if (r.block == 0 && r.owner == kRangeUndo) return (options & kRepairUndo) != 0;
    if (r.block == 0 && r.owner == kRangeDamage) return (options & kRepairCorruption) != 0;
    return false;
}

}  // namespace

size_t FindNextRange(uint32_t position, uint32_t options) {
    const auto& ranges = Ctx().check.ranges;
    size_t best = ranges.size();
    for (size_t i = 0; i < ranges.size(); ++i) {
        const InvalidRange& r = ranges[i];
        if (r.start < position || !Admitted(r, options)) continue;
        if (best == ranges.size() || r.start < ranges[best].start) best = i;
    }
    return best;
}

namespace {

constexpr uint32_t kProbeWindow = 1u << 20;

// `n` bytes of the input at `at`, through a window of it: the functions a
// repair measures lie in file order.
std::span<const uint8_t> Cached(DocFile* in, uint32_t at, uint32_t n) {
    RepairState& st = Repairs();
    if (st.lent && at >= st.lentAt && uint64_t{at} + n <= uint64_t{st.lentAt} + st.lentSize)
        return {st.lent + (at - st.lentAt), n};
    if (st.windowFile != in || at < st.windowAt || uint64_t{at} + n > uint64_t{st.windowAt} + st.window.size()) {
        st.window = ReadAt(in, at, std::max(n, kProbeWindow));
        st.windowAt = at;
        st.windowFile = in;
    }
    const size_t from = at - st.windowAt;
    const size_t take = std::min<size_t>(n, st.window.size() - std::min(from, st.window.size()));
    return std::span<const uint8_t>(st.window).subspan(std::min(from, st.window.size()), take);
}

// What the walker's probe yields for a sound function (its id count and
// size), read from its bytes; false sends anything else to the walker.
bool MeasureFunction(DocFile* in, uint32_t offset, uint32_t* ids, uint32_t* size) {
    const std::span<const uint8_t> head = Cached(in, offset, 6);
    if (head.size() < 6 || head[0] < 0xD1 || head[0] > 0xEF) return false;
    const int16_t s = static_cast<int16_t>(GetU16(head, 2));
    if (s <= 6) return false;
    const auto len = static_cast<uint32_t>(s);
    const std::span<const uint8_t> fn = Cached(in, offset, len);
    if (fn.size() < len || fn[len - 1] != head[0] || GetU16(fn, len - 3) != len) return false;
    const uint32_t n = (fn[4] & 0x80) ? fn[5] : 0;
    if (6 + 2 * n > len - 3) return false;
    for (uint32_t i = 0; i < n; ++i)
        if (GetU16(fn, 6 + 2 * size_t{i}) >= Ctx().doc.packets.size()) return false;
    *ids = n;
    *size = len;
    return true;
}

}  // namespace

bool RemoveFunctionRef(DocFile* in, size_t slot) {
    EngineContext& c = Ctx();
    auto& refs = c.check.refs;
    if (slot >= refs.size()) return false;
    const uint32_t offset = refs[slot].offset;
    if (offset == 0 || offset > c.profile->tagOffsetMask) return false;

    CodeWalkRequest rq;
    rq.file = in;
    rq.sink = nullptr;
    rq.start = offset;
    rq.mode = kModeDecoded;
    rq.groupMask = 0xFFFFFFFF;
    rq.classMask = 0xFFFFFFFF;
    rq.length = kWalkToEnd;
    uint32_t ids = 0, size = 0;
    if (!MeasureFunction(in, offset, &ids, &size)) {
        // Only a function with prefix ids leaves results.
        c.check.probeIdCount = 0;
        c.check.probeSize = 0;
        {
            OperationScope probe(Operation::RepairProbe, SinkSwitches{});
            WalkCodeStream(rq);
        }
        ids = c.check.probeIdCount;
        size = c.check.probeSize;
    }
    if (ids == 0 || size < 12) return false;

    const uint32_t n = CountHandledRefsAt(slot) + 1;
    PacketRef& ref = refs[slot];
    auto markHandled = [&] {
        ref.kind = static_cast<uint8_t>(ref.kind | 0x0F);
        RepairState& st = Repairs();
        if (st.handledBuilt) ++st.handledAt.At(ref.offset);
    };
    if (n == ids) {
        markHandled();
        AppendInvalidRange(kRangeDamage, kRepairBlock, offset, size);
        return true;
    }
    if (n > ids) return false;
    const std::span<const uint8_t> list = Cached(in, offset + 6, 2 * ids);
    for (uint32_t i = 0; i < ids; ++i) {
        if (GetU16(list, 2 * size_t{i}) != ref.referenced) continue;
        const uint32_t at = offset + 6 + 2 * i;
        // The same id named twice: each reference takes its own.
        IndexOwnRanges();
        if (Repairs().cutAt.Find(at)) continue;
        markHandled();
        const uint32_t newSize = size - 2 * n;
        // Size fields are replaced whole: both bytes of each.
        SetByteReplacement(offset + 2, 2, static_cast<uint16_t>(newSize));
        SetByteReplacement(offset + 5, 1, static_cast<uint16_t>(ids - n));
        SetByteReplacement(offset + size - 3, 2, static_cast<uint16_t>(newSize));
        AppendInvalidRange(kRangeDamage, kRepairBlock, at, 2);
        return true;
    }
    return false;
}

namespace {

// The body references to removed packets, in file order (one function's in
// table order): each function is mended when the body's copy reaches it.
std::vector<uint32_t> OrphanFunctionSlots(const RepairJob& job, uint32_t options) {
    EngineContext& c = Ctx();
    Repairs().handledBuilt = false;
    std::vector<uint32_t> slots;
    // Without a repair option nothing was removed; the scramble keeps every code.
    if (options == 0 || job.extract) return slots;
    const auto& packets = c.doc.packets;
    // Child lists are mended as their packets are copied; a text block's
    // function lies in a packet, not the body.
    for (size_t s = 0; s < c.check.refs.size(); ++s) {
        const PacketRef& r = c.check.refs[s];
        if (r.referenced == 0 || r.referenced >= packets.size() || (r.kind & 0x0F) != kRefBody ||
            r.referencing != 0xFFFF)
            continue;
        if (packets[r.referenced].entry.Type() == 0 && job.Removed(r.referenced))
            slots.push_back(static_cast<uint32_t>(s));
    }
    // Room for the ranges each mended function books (a cut, three
    // replacements): the list's own growth is linear.
    c.check.ranges.reserve(c.check.ranges.size() + 4 * slots.size());
    RepairState& st = Repairs();
    st.fixAt.Reserve(3 * slots.size());
    st.cutAt.Reserve(slots.size());
    SortByStart(slots, [&](uint32_t i) { return c.check.refs[i].offset; });
    return slots;
}

// The body's block of the input, lent to the function probes for as long
// as it lives.
class LentBlock {
public:
    LentBlock(const std::vector<uint8_t>& bytes, uint32_t at) {
        RepairState& st = Repairs();
        st.lent = bytes.data();
        st.lentAt = at;
        st.lentSize = bytes.size();
    }
    ~LentBlock() { Repairs().lent = nullptr; }
    LentBlock(const LentBlock&) = delete;
    LentBlock& operator=(const LentBlock&) = delete;
};

}  // namespace

int ExtractDocumentText(RepairJob& job, DocFile* out, DocFile* in) {
    if (SeekDocFile(in, 0, 0) != 0) {
        RepairBox(Text(Msg::ErrorSeekingFile) + in->path);
        return 1;
    }
    const int32_t end = SeekDocFile(in, 0, 2);
    if (end < 0 || SeekDocFile(in, 0, 0) != 0) {
        RepairBox(Text(Msg::ErrorSeekingFile) + in->path);
        return 1;
    }
    return ExtractTextBlock(out, in, job.log, 0, static_cast<uint32_t>(end)) != 0 ? 0 : 1;
}

int CopyDocumentBody(RepairJob& job, DocFile* out, DocFile* in, uint32_t options) {
    EngineContext& c = Ctx();
    if (job.extract) {
        ExtractDocumentText(job, out, in);
        return 1;
    }
    const int32_t inAt = SeekDocFile(in, 0, 1);
    const int32_t outAt = SeekDocFile(out, 0, 1);
    const int32_t inEnd = inAt < 0 ? -1 : SeekDocFile(in, 0, 2);
    if (inAt < 0 || outAt < 0 || inEnd < 0 || !Seek(in, static_cast<uint32_t>(inAt))) {
        RepairBox(Text(Msg::ErrorReadingFile) + in->path);
        return 1;
    }
    const uint32_t end = static_cast<uint32_t>(inEnd);
    const auto& ranges = c.check.ranges;
    const auto& refs = c.check.refs;
    constexpr size_t kNone = SIZE_MAX;
    // The admitted ranges by start, list order on equal starts: walking
    // this order finds what FindNextRange would, once per range. Those the
    // mending of functions adds on the way join through a heap.
    std::vector<uint32_t> order;
    order.reserve(ranges.size());
    for (size_t i = 0; i < ranges.size(); ++i)
        if (Admitted(ranges[i], options)) order.push_back(static_cast<uint32_t>(i));
    SortByStart(order, [&](uint32_t i) { return ranges[i].start; });
    size_t k = 0;
    std::vector<uint32_t> added;
    size_t seen = ranges.size();
    auto later = [&](uint32_t a, uint32_t b) {
        return ranges[a].start != ranges[b].start ? ranges[a].start > ranges[b].start : a > b;
    };
    auto peek = [&](uint32_t at) {
        for (; seen < ranges.size(); ++seen) {
            if (!Admitted(ranges[seen], options)) continue;
            added.push_back(static_cast<uint32_t>(seen));
            std::push_heap(added.begin(), added.end(), later);
        }
        while (k < order.size() && ranges[order[k]].start < at) ++k;
        while (!added.empty() && ranges[added.front()].start < at) {
            std::pop_heap(added.begin(), added.end(), later);
            added.pop_back();
        }
        size_t best = k < order.size() ? order[k] : kNone;
        if (!added.empty() && (best == kNone || later(static_cast<uint32_t>(best), added.front())))
            best = added.front();
        return best != kNone && ranges[best].start < end ? best : kNone;
    };
    const std::vector<uint32_t> slots = OrphanFunctionSlots(job, options);
    size_t nextSlot = 0;

    // The body streams through two buffers: the input read ahead in large
    // blocks, the output written in blocks of at least kBlock. An output
    // kept in memory lends its own room for the block, so the block is not
    // copied again.
    constexpr size_t kBlock = 1u << 20, kRoom = 2 * kBlock + 2;
    constexpr uint32_t kLargestFunction = 0x7FFF;
    std::vector<uint8_t> ahead, own;
    uint32_t aheadAt = static_cast<uint32_t>(inAt);
    uint8_t* block = nullptr;
    size_t fill = 0, capacity = 0;
    // Room for `size` bytes from the block's start, what it holds kept:
    // the output's room keeps its bytes as it grows, our own buffer too, but
    // a move from one to the other takes them along.
    auto room = [&](size_t size) {
        capacity = size;
        const uint8_t* const held = block;
        const bool heldOwn = held && held == own.data();
        block = DocFileRoom(out, static_cast<uint32_t>(size));
        if (!block) {
            own.resize(size);
            if (!heldOwn && fill) std::memcpy(own.data(), held, fill);
            block = own.data();
        } else if (heldOwn && fill) {
            std::memcpy(block, held, fill);
        }
    };
    auto put = [&](const uint8_t* bytes, size_t n) {
        if (fill + n > capacity) room(fill + n + kBlock);
        std::memcpy(block + fill, bytes, n);
        fill += n;
    };
    auto flush = [&] {
        if (!WriteAll(out, block, fill)) {
            RepairBox(Text(Msg::ErrorWritingFile) + job.outputName);
            return false;
        }
        fill = 0;
        room(kRoom);
        return true;
    };
    room(kRoom);
    // The input's block at `from`: false after a failed read (its box shown).
    auto readAhead = [&](uint32_t from) {
        aheadAt = from;
        ahead.resize(std::min<uint32_t>(kBlock, end - from));
        size_t got = 0;
        if (!Seek(in, from)) {
            RepairBox(Text(Msg::ErrorReadingFile) + in->path);
            return false;
        }
        while (got < ahead.size()) {
            const int32_t n = ReadDocFile(in, ahead.data() + got, static_cast<uint32_t>(ahead.size() - got));
            if (n < 0) {
                RepairBox(Text(Msg::ErrorReadingFile) + in->path);
                return false;
            }
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        ahead.resize(got);
        return true;
    };
    // Copies the input's bytes [from, to); a short input ends the copy.
    auto copyTo = [&](uint32_t to, uint32_t from) {
        while (from < to) {
            if (from < aheadAt || from >= aheadAt + ahead.size()) {
                if (!readAhead(from)) return 1;
                if (ahead.empty()) return 0;
            }
            const size_t at = from - aheadAt;
            const size_t take = std::min<size_t>(to - from, ahead.size() - at);
            put(ahead.data() + at, take);
            from += static_cast<uint32_t>(take);
            if (fill >= kBlock && !flush()) return 1;
        }
        return 0;
    };

    uint32_t pos = static_cast<uint32_t>(inAt);
    bool failed = false;
    // The next range to act on at `pos`. The functions that start before it
    // are mended first, as their cuts may come before it; nothing is cut
    // between `pos` and such a function, so the copy runs on to it and
    // lends the function its bytes.
    auto next = [&]() -> size_t {
        for (;;) {
            const size_t cand = peek(pos);
            const uint32_t limit = cand != kNone ? ranges[cand].start : end;
            if (nextSlot == slots.size() || refs[slots[nextSlot]].offset >= limit) return cand;
            const uint32_t f = refs[slots[nextSlot]].offset;
            if (f > pos) {
                if (copyTo(f, pos) != 0) {
                    failed = true;
                    return kNone;
                }
                pos = f;
            }
            if (f == pos && (f < aheadAt || uint64_t{f} + std::min(kLargestFunction, end - f) >
                                                    uint64_t{aheadAt} + ahead.size())) {
                if (!readAhead(f)) {
                    failed = true;
                    return kNone;
                }
            }
            const LentBlock lent(ahead, aheadAt);
            RemoveFunctionRef(in, slots[nextSlot++]);
        }
    };

    char line[128];
    size_t cur = next();
    while (cur != kNone) {
        const InvalidRange r = ranges[cur];
        if (copyTo(r.start, pos) != 0) return 1;
        if (r.owner == kRangeByteFix) {
            // One byte, or both of a 16-bit field, little-endian.
            const uint8_t value[2] = {static_cast<uint8_t>(r.value), static_cast<uint8_t>(r.value >> 8)};
            put(value, r.end - r.start >= 2 ? 2 : 1);
        }
        pos = std::max(r.end, r.start + 1);
        const uint32_t after = pos;
        cur = next();
        if (failed) return 1;
        // A range is told when bytes are copied behind it: not when the
        // next one touches it, nor the last one.
        if (cur != kNone && ranges[cur].start > after) {
            char* to = line;
            if (r.owner == kRangeByteFix) {
                to = PutText(to, "Fixed Code 0x");
                to = PutHex(to, r.start, 4);
                to = PutText(to, ", Use Count set to ");
                to = std::to_chars(to, line + sizeof line, r.value).ptr;
            } else {
                to = PutText(to, "0x");
                to = PutHex(to, r.end - r.start, 2);
                to = PutText(to, r.owner == kRangeUndo ? " Bytes of Undo info removed, starting at offset 0x"
                                                       : " Bytes of Corruption info removed, starting at offset 0x");
                to = PutHex(to, r.start, 1);
                *to++ = ' ';
            }
            AddListLine(job.log, std::string_view(line, static_cast<size_t>(to - line)));
        }
    }
    if (failed) return 1;
    // Functions past the end of the data: their references are marked all the same.
    while (nextSlot < slots.size()) RemoveFunctionRef(in, slots[nextSlot++]);
    if (pos < end && copyTo(end, pos) != 0) return 1;
    if (!flush()) return 1;

    const int32_t total = SeekDocFile(out, 0, 2);
    if (total < 0) {
        RepairBox("I/O Error.  Seek to EOF failed");
        return 1;
    }
    if (c.doc.header.IndexOffset() > 24) {
        uint8_t len[4];
        SetU32(len, static_cast<uint32_t>(total));
        if (!Seek(out, 20) || !WriteAll(out, len, 4)) {
            RepairBox(Text(Msg::SeekIndexFailed));
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
