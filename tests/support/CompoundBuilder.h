#pragma once
// Builds compound-file fixtures around given main-stream bytes: the default
// layout (storage "Quillsuite_OBJECTS" and stream "Quillsuite_MAIN" in the
// root), or other names, extra streams and storages, class ids, no main
// stream. Also small file helpers the storage and file-layer tests share.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/storage/CompoundFile.h"

namespace testsupport {

struct CompoundElement {
    std::u16string parent;   // storage path below the root, "A/B"; empty: the root
    std::u16string name;     // may start with a control character: u"\x05SummaryInformation"
    bool storage = false;
    std::vector<uint8_t> data;                  // streams
    std::optional<storage::ClassId> classId;    // storages
};

struct CompoundLayout {
    std::vector<uint8_t> main;                          // bytes of the main stream
    bool withObjects = true;                            // the objects storage
    bool withMain = true;                               // the main stream
    std::u16string objectsName = u"Quillsuite_OBJECTS";
    std::u16string mainName = u"Quillsuite_MAIN";
    std::optional<storage::ClassId> rootClassId;
    std::optional<storage::ClassId> objectsClassId;
    // Dates of the root (none: all zeros, so that fixtures come out the
    // same on every run) and of the objects storage.
    std::optional<storage::StorageTimes> rootTimes;
    std::optional<storage::StorageTimes> objectsTimes;
    // Dates of storages of `extra`, by path below the root ("A/B").
    std::vector<std::pair<std::u16string, storage::StorageTimes>> storageTimes;
    std::vector<CompoundElement> extra;                 // created in the given order, after the defaults
};

// Writes the compound file; false when anything could not be made.
bool WriteCompound(const std::string& path, const CompoundLayout& layout);
// The default layout with `main` as the main stream.
bool WriteCompound(const std::string& path, const std::vector<uint8_t>& main);

std::vector<uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> Bytes(const std::string& text);
// Deterministic filler: byte i is (i * 7 + seed) & 0xFF.
std::vector<uint8_t> Pattern(size_t n, uint8_t seed = 0);
storage::ClassId MakeClassId(uint8_t first);
// Dates created and modified: `seconds` and `seconds` + 1 after 1970.
storage::StorageTimes MakeTimes(int64_t seconds);

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object dies.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Names of the entries in the folder, sorted.
    std::vector<std::string> Entries() const;

private:
    std::string path_;
};

}  // namespace testsupport
