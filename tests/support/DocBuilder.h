#pragma once
// Builds document bytes for tests: header (with or without the extended
// header), index, packets with child lists and text blocks, and a body of
// codes. Offsets, sizes, flags and use counts are computed unless forced,
// so a test states only the damage it is about.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// A variable-length function (group 0xD0-0xEF).
struct VarFunc {
    uint8_t group = 0xD4;
    uint8_t sub = 0;
    uint8_t flags = 0;                      // kind bits and 0x40; 0x80 is added for prefix ids
    std::vector<uint16_t> prefixIds;        // a prefix-id list when non-empty
    std::vector<uint8_t> nonDeletable;
    std::vector<uint8_t> deletable;
    std::optional<uint16_t> nonDeletableSize;  // the size word; default the bytes given
    std::optional<std::vector<uint8_t>> dataArea;  // replaces size word and data (group 0xD0)
    std::optional<uint16_t> size;           // the leading size; default the real size
    std::optional<uint16_t> trailerSize;    // the repeated size; default the leading size
    std::optional<uint8_t> trailerGroup;    // the repeated group; default the group
    std::optional<uint8_t> prefixCount;     // the id count byte; default prefixIds.size()

    std::vector<uint8_t> Bytes() const;
};

VarFunc Func(uint8_t group, uint8_t sub, std::vector<uint16_t> prefixIds = {},
             std::vector<uint8_t> nonDeletable = {}, std::vector<uint8_t> deletable = {});

// A code stream: document body or a packet's text block. Remembers the
// packets its functions name, for the computed use counts.
class Body {
public:
    Body& Text(std::string_view text);
    Body& Code(uint8_t code);
    // A fixed-length function: first and last byte equal.
    Body& Fixed(std::vector<uint8_t> bytes);
    Body& Var(const VarFunc& f);
    // Undo markers (fixed-length 0xF1, level in bytes 2-3).
    Body& UndoStart(uint16_t level = 1);
    Body& UndoEnd(uint16_t level = 1);
    Body& Raw(std::vector<uint8_t> bytes);

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    struct Ref {
        uint16_t id;
        bool hidden;
    };
    const std::vector<Ref>& Refs() const { return refs_; }

private:
    std::vector<uint8_t> bytes_;
    std::vector<Ref> refs_;
    int undoDepth_ = 0;
};

struct Packet {
    uint8_t type = 0x01;
    std::optional<uint8_t> flags;        // default: child list and text-block bits as present
    std::optional<uint16_t> useCount;    // default: uses named by the body, blocks and child lists
    std::optional<uint16_t> hiddenCount; // default: uses inside undo areas
    std::optional<uint32_t> size;        // default: the data's size
    std::optional<uint32_t> offset;      // default: where the data is laid
    bool childList = false;              // also set by non-empty children
    std::vector<uint16_t> children;
    std::optional<uint16_t> childCount;  // the count word
    std::vector<Body> blocks;            // a text-block table when non-empty
    bool blockTable = false;             // a table even without blocks
    std::optional<uint16_t> blockCount;
    std::optional<uint32_t> blockTextOffset;
    std::vector<std::optional<uint32_t>> blockSizes;  // per block, forced when set
    std::vector<uint8_t> payload;        // further data after the tables

    std::vector<uint8_t> Data() const;
};

struct Header {
    uint32_t signature = 0x435751FF;
    std::optional<uint32_t> docOffset;  // default: where the body starts
    uint8_t productType = 1;
    uint8_t fileType = 10;
    uint8_t major = 2;
    uint8_t minor = 0;
    uint16_t key = 0;
    uint16_t indexOffset = 16;  // the index lies at 16 when this is below 17
    bool extended = false;      // the 12 bytes at 16; use an index offset of 28 or more
    uint8_t fixedEntryCount = 0;
    uint8_t completeness = 0;
    uint16_t proprietaryOffset = 0;
    std::optional<uint32_t> fileLength;  // default: the length built
    uint16_t encryptionVersion = 0;
    uint16_t encryptionFlags = 0;
};

class DocBuilder {
public:
    Header header;
    Body body;
    // Entry 0: its first byte and its entry count (default: every entry).
    uint8_t indexMarker = 2;
    std::optional<uint16_t> entryCount;

    // Returns the packet's id.
    uint16_t Add(Packet p);
    // An available entry: type 0, no data.
    uint16_t AddAvailable();
    Packet& At(uint16_t id) { return packets_.at(id - 1); }
    size_t EntryCount() const { return packets_.size() + 1; }

    std::vector<uint8_t> Build() const;
    bool WriteFile(const std::string& path) const;

private:
    std::vector<Packet> packets_;  // id 1 upward
};

void PutU16(std::vector<uint8_t>& out, uint16_t v);
void PutU32(std::vector<uint8_t>& out, uint32_t v);

}  // namespace testsupport
