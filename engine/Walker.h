#pragma once
// The one reader of the document area: item by item, window after window.

#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "engine/Targets.h"

namespace engine {

struct DocFile;

inline constexpr uint32_t kWalkWindow = 64000;
inline constexpr uint32_t kWalkToEnd = 0x7FFFFFFF;

struct CodeWalkRequest {
    DocFile* file = nullptr;
    ListTarget* sink = nullptr;  // none: no lines
    uint32_t start = 0;          // offset in the profile's offset bits (0: the document area), tag bits above
    int mode = 264;
    uint32_t groupMask = 0;
    uint32_t classMask = 0;
    uint32_t length = kWalkToEnd;
    int captionId = 0;
    const char* searchText = nullptr;
    bool caseSensitive = false;
    bool scramble = false;
    bool extract = false;
    DocFile* extractTarget = nullptr;
};

// 0 when the walk ended; 1 on failure; -1 for an empty search text; the
// offset of the hit's text run for a search that finds its text; 1 when a
// single description began on a text run that a code ends.
int32_t WalkCodeStream(const CodeWalkRequest& request);

// Damaged stretches: shared by the walker and the text-block check.
struct CorruptStretch {
    bool valid = true;           // cleared by damage, set again by a valid function
    // The walk steps through a stretch byte by byte to the next valid
    // variable-length function: the check, the extraction and the scramble.
    bool checkOrExtract = false;
    uint32_t start = 0;          // where the open stretch began
};

int OpenCorruptRange(CorruptStretch& stretch, DocFile* f, ListTarget* sink, uint32_t offset,
                     uint32_t fill, uint32_t totalLength, const char* message,
                     int32_t packetId);
void CloseCorruptRange(CorruptStretch& stretch, uint16_t owner, uint16_t block, uint32_t start,
                       uint32_t end);
void ReportDocCorrupt(ListTarget* sink, uint32_t offset);

// One run of text as the walker collects it. 0x00 fillers may lie between
// its characters, so each character keeps its own file offset.
inline constexpr uint32_t kMaxTextRun = 102;
struct TextRun {
    bool pending = false;
    uint32_t count = 0;
    // Only the first `count` are ever read: a walk does not clear them.
    uint8_t chars[kMaxTextRun];
    uint32_t offsets[kMaxTextRun];
    uint32_t Start() const { return offsets[0]; }
    std::string Text() const { return std::string(reinterpret_cast<const char*>(chars), count); }
};

// What a run is handed over with: the request's settings.
struct TextRunSettings {
    ListTarget* sink = nullptr;
    bool singleDescription = false;
    int mode = 264;
    uint32_t groupMask = 0;
    uint32_t classMask = 0;
    const char* searchText = nullptr;
    bool caseSensitive = false;
    bool scramble = false;
    DocFile* file = nullptr;
    bool extract = false;
    DocFile* extractTarget = nullptr;
    bool oldLayout = false;
    // A policy's piece of a run kept until the run ends (one walk long).
    mutable TextRun staged;
};

// The walker's variation points, reached from the Profile.

// How text is told apart, cut and handed over.
class TextRunPolicy {
public:
    virtual ~TextRunPolicy() = default;
    // Text of the newer layout (the old layout's bounds are the file's own).
    virtual bool IsText(uint8_t c) const = 0;
    virtual uint32_t CutLength(bool extracting) const = 0;
    // `cut`: the run was cut for length. The result is TextRunAction's.
    virtual int HandOver(const TextRunSettings& settings, const TextRun& run, bool cut) const = 0;
    // Whether a 0x00 of the body is listed as a code rather than passed over.
    virtual bool ListsNullBytes() const { return false; }
    // IsText of every byte, asked once for the policy's life: a run of
    // single descriptions starts a walk per code.
    const std::array<bool, 256>& TextTable() const;
    // When the text bytes are one range: its first byte and its length less
    // one, for a scan sixteen bytes at a time. Asked once, with the table.
    bool TextRange(uint8_t* first, uint8_t* spanLessOne) const;

private:
    void MakeTable() const;
    mutable std::once_flag tableOnce_;
    mutable std::array<bool, 256> table_{};
    mutable bool range_ = false;
    mutable uint8_t rangeFirst_ = 0;
    mutable uint8_t rangeSpan_ = 0;
};

enum class WalkDamage {
    InvalidByte,     // 0xFF
    WrongTrailer,    // variable-length trailer does not repeat size and group
    Refused,         // the describer refused the function
    BadSize,         // a variable-length size of 0 or less, or too big to refill
    SizePastEnd,     // a variable-length function past the last window (resynchronising walks)
    FixedGates,      // a fixed-length function whose last byte differs from its first
    OldLayoutCode,   // 0xF0-0xFE in the old layout
    CutOff,          // an item cut off by the end of the data
};

inline constexpr int32_t kDamageGoOn = INT32_MIN;

// What damage does to the walk.
class WalkDamagePolicy {
public:
    virtual ~WalkDamagePolicy() = default;
    // Damage of `kind` at `offset`: kDamageGoOn to step over it, else the
    // walk's result.
    virtual int32_t OnDamage(WalkDamage kind, CorruptStretch& stretch, DocFile* f,
                             ListTarget* sink, uint32_t offset) const = 0;
};

const TextRunPolicy& SalvinoTextRuns();
const WalkDamagePolicy& SalvinoWalkDamage();

}  // namespace engine
