#pragma once
// The one line writer of the engine and the dumper: lists (with item-data
// tags), trees, and the printed page while a print job runs.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/Targets.h"

namespace engine {

// Item-data tag kinds above the offset or id bits.
enum : uint32_t {
    kTagCrossRef = 0x08000000,   // listed while the cross reference was built
    kTagTextBlock = 0x10000000,  // block * 65536 + packet id; a graphics packet
    kTagPacket = 0x20000000,
    kTagDamage = 0x40000000,
    kTagUndo = 0x80000000,
};

inline constexpr uint32_t kNoHighlight = 0xF0F0F0F0;

// Process-wide sink state (held in the EngineContext).
struct SinkState {
    PagePrinter* printer = nullptr;  // set for the length of a print job
    int lineHeight = 0;
    int currentY = 0;
    int pageNumber = 0;
    std::string fileName;
    uint32_t highlighted = kNoHighlight;
    bool highlightFlag = false;
    int32_t stopValue = 0;           // -1 cross reference; packet id while uses are sought
    ListTarget* defaultList = nullptr;
    bool usageList = false;
    int16_t invalidTextMarker = 0;   // 1 inside an undo area, -1 for one more line
    // File offset of the next line's first byte (a dump row); taken by the
    // next line that reaches a list, then back to none.
    int64_t nextLineOffset = kNoFileOffset;
    // The buffer whose bytes a dump shows and where it lies in the file: a
    // dump of any part of it gives each row its file offset.
    struct DumpOrigin {
        const uint8_t* data = nullptr;
        size_t size = 0;
        int64_t fileOffset = kNoFileOffset;
    } dumpOrigin;
};

// Makes `bytes`, read from `fileOffset`, the dump origin while it lives and
// restores the one before; without arguments it only restores.
class DumpOriginScope {
public:
    DumpOriginScope();
    DumpOriginScope(std::span<const uint8_t> bytes, int64_t fileOffset);
    ~DumpOriginScope();
    DumpOriginScope(const DumpOriginScope&) = delete;
    DumpOriginScope& operator=(const DumpOriginScope&) = delete;

private:
    SinkState::DumpOrigin saved_;
};

// The dump origin, for a buffer that is read again in place (a walk's window).
void SetDumpOrigin(std::span<const uint8_t> bytes, int64_t fileOffset);
// The file offset of the first of `bytes` when they lie in the dump origin.
int64_t DumpOriginOffset(std::span<const uint8_t> bytes);

// The next line written to a list is a dump row starting at `fileOffset`.
void SetNextLineOffset(int64_t fileOffset);

// Returns the stop value when it is non-zero (and writes nothing).
int32_t PrintLine(ListTarget* target, std::string_view text);
void AddListLine(ListTarget* target, std::string_view text);
TreeItem AddTreeLine(TreeTarget* tree, TreeItem parent, std::string_view text);
void AddDataLine(ListTarget* target, std::string_view text, uint32_t tag);
void AddCodeLine(ListTarget* target, std::string_view text, uint32_t tag, bool singleDescription,
                 uint32_t groupMask, uint32_t classMask, uint8_t code);
// A line with item data: printed while a print job runs, and added to
// `target`, or without one to the default list. Nothing is suppressed or
// merged.
void AddItemDataLine(ListTarget* target, std::string_view text, uint32_t tag);
// A finding: AddItemDataLine, except that the usage list drops errors, a
// damage tag merges into the line before it, and the default list drops
// findings about deletable packets.
void AddErrorLine(ListTarget* target, std::string_view text, uint32_t tag);

}  // namespace engine
