#pragma once
// The repair: writes a corrected copy of the open document from the tables
// of a complete check (packets removed with the packets that lose their
// last use, the prefix area laid out again, damaged codes cut out of text
// blocks and of the body, prefix ids of removed packets taken out of the
// functions that name them), checks the copy and has the host load it. The
// same run scrambles or extracts the text. A repair that replaces the
// document writes a temporary file beside it and renames it over the
// document only when everything else has succeeded.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Targets.h"

namespace engine {

struct DocFile;
struct DocFileFaults;

// Repair options, a bit word.
enum : uint32_t {
    kRepairUndo = 0x2,          // remove undo information
    kRepairUnusedStyles = 0x4,  // remove unused styles
    kRepairCorruption = 0x8,    // repair corruption
};

// What the repair asks of the Repair page and the sheet around it.
class RepairHost {
public:
    virtual ~RepairHost() = default;
    // The Save As dialog, proposing `name`; none when cancelled.
    virtual std::optional<std::string> AskOutputName(const std::string& name) = 0;
    // A batch run keeps the log of the documents before.
    virtual bool BatchRunning() const = 0;
    virtual void ClearLog() = 0;
    // Both lists show their last lines.
    virtual void ScrollLists() = 0;
    // The sheet loads the repaired document.
    virtual void LoadDocument(const std::string& path) = 0;
};

// The Repair page's members that the repair reads and writes.
struct RepairJob {
    bool repairCorruption = false;
    bool removeUndo = false;
    bool removeUnusedStyles = false;
    bool scramble = false;
    bool extract = false;
    bool prompts = true;
    bool outputReplacesInput = false;
    bool followDocument = false;
    bool inPlace = false;
    // Set by an extraction once its text file is written.
    bool textWritten = false;
    std::string outputName;
    std::string temporaryName;
    std::string repairedFileName;  // the document's path
    ListTarget* log = nullptr;
    ListTarget* findings = nullptr;  // the Information page's findings list
    RepairHost* host = nullptr;      // none: no windows, no dialogs
    // Held open, locked, while the run's temporary file lives; -1 without.
    int temporaryLock = -1;
    // Test seam: given to the output file as it is made.
    DocFileFaults* outputFaults = nullptr;
    // Benchmark seam: each phase of the run, as it ends.
    struct Phase {
        std::string name;
        double seconds = 0;     // wall
        double cpuSeconds = 0;  // the process's, user and system
    };
    std::vector<Phase>* phaseTimes = nullptr;

    // Packets this run removed.
    std::vector<bool> removed;
    bool Removed(uint32_t id) const { return id < removed.size() && removed[id]; }
    void MarkRemoved(uint32_t id, size_t count) {
        if (removed.size() < count) removed.resize(count);
        if (id < removed.size()) removed[id] = true;
    }

    uint32_t Options() const {
        return (repairCorruption ? kRepairCorruption : 0u) | (removeUndo ? kRepairUndo : 0u) |
               (removeUnusedStyles ? kRepairUnusedStyles : 0u);
    }
};

// 1 after a run (successful or not); 0 when the Save As dialog was
// cancelled.
int RepairDocument(RepairJob& job);

// 0 with `*out` open; 1 on failure or when the user declined; -1 when the
// user cancelled.
int OpenRepairOutput(RepairJob& job, DocFile* in, DocFile** out, bool ask);
int CopyHeader(RepairJob& job, DocFile* out, DocFile* in);
// 1 when the packet goes, with `reason` set.
int PacketRemovalReason(uint32_t id, uint32_t options, std::string& reason, bool& writingTools);
void RemovePacket(RepairJob& job, uint32_t id, uint32_t options, std::string& reason,
                  bool& writingTools);
int RebuildPrefixArea(RepairJob& job, DocFile* out, DocFile* in, uint32_t options);
// The packet's new size, or -1.
int64_t RemoveCorruptCodes(RepairJob& job, DocFile* out, DocFile* in, uint32_t id);
// The end of the last packet.
uint32_t ResizePacket(uint32_t id, uint32_t newSize);
bool RemoveFunctionRef(DocFile* in, size_t slot);
// A replacement of `length` bytes (1, or 2 for a 16-bit field written
// whole) at `offset`.
void SetByteReplacement(uint32_t offset, uint32_t length, uint16_t value);
uint32_t CountHandledRefsAt(size_t slot);
// Index of the next range to act on at or after `position`, or the count.
size_t FindNextRange(uint32_t position, uint32_t options);
// The body, with every body function that names a removed packet mended on
// the way.
int CopyDocumentBody(RepairJob& job, DocFile* out, DocFile* in, uint32_t options);
// `*copied` (when given): the bytes copied, fewer where the input ends.
int CopyBytes(RepairJob& job, DocFile* out, DocFile* in, uint32_t count, uint32_t* copied = nullptr);

// Two paths name the same file when device and inode agree.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace engine
