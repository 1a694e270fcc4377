#pragma once
// The document header, the index and the packet table, and the
// process-wide state of the open document.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "engine/Targets.h"

namespace engine {

struct DocFile;

inline constexpr uint32_t kSignature = 0x435751FF;  // FF 'Q' 'W' 'C'
inline constexpr int kModeHex = 263;
inline constexpr int kModeDecoded = 264;
inline constexpr int32_t kAllPackets = -1;
inline constexpr int32_t kNoPacket = -2;
inline constexpr size_t kIndexEntrySize = 14;
inline constexpr uint32_t kMaxPacketDump = 63984;

// Little-endian field reads, zero past the end of the bytes.
inline uint8_t GetU8(std::span<const uint8_t> b, size_t at) { return at < b.size() ? b[at] : 0; }
inline uint16_t GetU16(std::span<const uint8_t> b, size_t at) {
    // Both bytes held, the usual case, in one branch: a byte at a time the
    // compiler may put the high byte on the stack and read it back wider.
    if (at < b.size() && b.size() - at >= 2) [[likely]]
        return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
    return static_cast<uint16_t>(GetU8(b, at) | (GetU8(b, at + 1) << 8));
}
inline uint32_t GetU32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(GetU16(b, at)) | (static_cast<uint32_t>(GetU16(b, at + 2)) << 16);
}

// The 16 bytes at the start of every document and graphics file, kept raw
// so that a copy can be swapped in and out whole.
struct FileHeader {
    uint8_t bytes[16] = {};

    uint32_t Signature() const { return GetU32(bytes, 0); }
    uint32_t DocOffset() const { return GetU32(bytes, 4); }
    uint8_t ProductType() const { return bytes[8]; }
    uint8_t FileType() const { return bytes[9]; }
    uint8_t MajorVersion() const { return bytes[10]; }
    uint8_t MinorVersion() const { return bytes[11]; }
    uint16_t EncryptionKey() const { return GetU16(bytes, 12); }
    uint16_t IndexOffset() const { return GetU16(bytes, 14); }
    void SetIndexOffset(uint16_t v) {
        bytes[14] = static_cast<uint8_t>(v);
        bytes[15] = static_cast<uint8_t>(v >> 8);
    }
    // Where the index really starts: an offset below 17 means 16.
    uint32_t IndexPosition() const { return IndexOffset() < 17 ? 16u : IndexOffset(); }
};

// One 14-byte index record, kept raw (the check and the repair change it).
struct IndexEntry {
    uint8_t bytes[kIndexEntrySize] = {};

    uint8_t Flags() const { return bytes[0]; }
    uint8_t Type() const { return bytes[1]; }
    uint16_t UseCount() const { return GetU16(bytes, 2); }
    uint16_t HiddenCount() const { return GetU16(bytes, 4); }
    uint32_t DataSize() const { return GetU32(bytes, 6); }
    uint32_t DataOffset() const { return GetU32(bytes, 10); }
};

enum : uint8_t {
    kFlagChildList = 0x01,
    kFlagTextBlocks = 0x02,
    kFlagMaxOneUse = 0x04,
    kFlagMinOneUse = 0x08,
};

struct PacketEntry {
    IndexEntry entry;
    uint16_t countedUses = 0;
    uint16_t countedHidden = 0;
    uint16_t minUseCount = 0;
    int32_t firstRefSlot = -1;
    uint16_t refsBooked = 0;
    uint32_t sourceOffset = 0;
};

// 256 bits, one per packet type; the top bit of the last word also admits
// the available (type-0) entries after entry 0.
struct PacketFilter {
    uint32_t words[8] = {};
    bool Admits(uint32_t id, uint8_t type) const;
};

struct DocumentState {
    DocFile* file = nullptr;
    FileHeader header;               // the current header copy (swapped by the Sub Document page)
    uint32_t dataLength = 0;
    uint32_t codeAreaSize = 0;
    uint32_t prefixAreaSize = 0;
    uint64_t fileSize = 0;
    std::string dateText;
    bool changed = false;
    std::vector<PacketEntry> packets;  // empty: no table, read on next need
};

// Verdicts of OpenDocument.
enum : int {
    kVerdictOpened = 0,
    kVerdictNoSignature = 1,
    kVerdictWrongType = 2,
    kVerdictMajorZero = 3,
    kVerdictKeyed = 4,
};

DocFile* OpenDocument(const std::string& path, FileHeader* header, int* readOnly, int* verdict);
// The steps every open shares: the file read-write, else read-only ("File
// open failed." when neither), its length and 16 header bytes (`whole`:
// all of them were read); and last, the file taken as the engine's document.
DocFile* OpenDocumentFile(const std::string& path, FileHeader* header, int* readOnly, bool* whole);
void AdoptDocument(DocFile* f, const std::string& path);
void CloseDocument(DocFile* f);
// 0 success, 1 I/O failure or no memory, 0x10 no index.
int ReadIndex(DocFile* f, ListTarget* target);
// The file was changed under the engine: its packet and reference tables
// go (read again when next needed) and the next check runs again.
void ForgetDocumentTables();
int ScanPackets(DocFile* f, ListTarget* target, int32_t id, bool detail, int mode,
                const PacketFilter* filter, int captionId);
int ListAllPackets(DocFile* f, ListTarget* target, int mode, const PacketFilter* filter,
                   int captionId);
int ShowPacketDetail(DocFile* f, ListTarget* target, int32_t id, int mode,
                     const PacketFilter* filter);
void ShowPacketHeader(DocFile* f, const PacketEntry& pe, uint32_t id, ListTarget* target,
                      bool detail, int mode, const PacketFilter* filter, bool headerOnly);

// Lines go under `parent` of `tree` when one is given, else through
// PrintLine to `target`. `count` is checked against the bytes really held.
void HexDump(int64_t count, std::span<const uint8_t> bytes, ListTarget* target,
             TreeTarget* tree = nullptr, TreeItem parent = kTreeRoot);
void AppendAsciiColumn(std::string& line, std::span<const uint8_t> bytes, uint32_t count);

void ListFileHeader(DocFile* f, ListTarget* target);
// `windowText` stands for the format page's text window.
void ShowFileFormat(DocFile* f, std::string* windowText, TreeTarget* tree,
                    const FileHeader& header);

// Type of a packet of the open document; -1 when there is no table or the
// id is out of range.
int PacketTypeOf(uint32_t id);

// Up to `limit` bytes of a packet's data, as many as could be read.
std::vector<uint8_t> ReadPacketData(DocFile* f, const IndexEntry& e, uint32_t limit);
// A hex dump of the first 63984 bytes of packet `id`'s data.
void DumpPacketData(DocFile* f, uint32_t id, ListTarget* target);

}  // namespace engine
