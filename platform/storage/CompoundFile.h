#pragma once
// Compound files (structured storage) over libgsf. No glib or gsf type
// appears here: glib's `signals` clashes with Qt, and the engine stays
// free of both.
//
// The whole element tree is read once when a file is opened. Streams other
// than the main stream are read on demand. The main stream is a writable
// byte image; on Close() a changed or created file is written back as a
// complete new compound file beside the old one and renamed over it.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// open(2) that only ever yields a regular file, in blocking mode: a
// directory is no document, and a pipe or device could block or never end.
// `flags` are open(2)'s; O_CLOEXEC is added. -1 on failure.
int OpenRegularFile(const std::string& path, int flags, unsigned createMode = 0666);

// Starts with D0 CF 11 E0 A1 B1 1A E1. Only the signature is tested; a file
// with the signature and a broken structure fails in Open().
bool IsCompoundFile(const std::string& path);

enum class ElementKind : uint32_t { Storage = 1, Stream = 2 };

using ClassId = std::array<uint8_t, 16>;
// A storage's two dates as stored: created, then modified, each a 64-bit
// count of 100 ns since 1601, little-endian.
using StorageTimes = std::array<uint8_t, 16>;

// A node of the element tree; stable for the life of its CompoundFile.
// Id 0 is the root.
using NodeId = uint32_t;
inline constexpr NodeId kRoot = 0;

struct Element {
    NodeId id = 0;
    std::u16string name;   // 16-bit units, as stored
    ElementKind kind = ElementKind::Stream;
    uint64_t size = 0;     // streams: byte length; storages: 0
};

class CompoundFile {
public:
    ~CompoundFile();
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    // Opens an existing compound file. `writable` allows changes to the main
    // stream image; nothing reaches the disk before Close().
    static std::unique_ptr<CompoundFile> Open(const std::string& path, bool writable);
    // Starts a new, empty compound file at `path`. With `failIfExists` an
    // existing file makes this fail (also one that appears before Close()).
    // The temporary file is made here, so an unusable folder fails now; the
    // file itself appears on disk at Close(). Destroyed unclosed: no file.
    static std::unique_ptr<CompoundFile> Create(const std::string& path, bool failIfExists);

    // Children of a storage in compound-file order (shorter names first,
    // then by upper-cased code units).
    std::vector<Element> Children(NodeId storage) const;
    // Case-insensitive lookup of a direct child. An element that libgsf
    // lists but cannot open shows as an empty stream that cannot be read.
    std::optional<Element> Child(NodeId storage, std::u16string_view name) const;
    std::optional<Element> Get(NodeId id) const;

    // Reads up to `limit` bytes of a stream from its start. For the main
    // stream this is the current image.
    std::optional<std::vector<uint8_t>> ReadStream(NodeId stream, uint64_t limit) const;

    // Creating: new children under a storage.
    std::optional<NodeId> CreateStorage(NodeId parent, std::u16string_view name);
    std::optional<NodeId> CreateStream(NodeId parent, std::u16string_view name);
    // Writes a whole stream's content (created files, test builders).
    bool SetStreamData(NodeId stream, std::vector<uint8_t> data);
    // Copies the storage `from` of `source` with everything below it as a
    // new child of `parent`.
    bool CopySubtree(const CompoundFile& source, NodeId from, NodeId parent);

    // The stream whose bytes the document layer reads and writes.
    bool SetMainStream(NodeId stream);
    std::optional<NodeId> MainStream() const;
    // The main stream image: read, write, seek past the end, growth.
    int64_t ImageRead(uint64_t pos, void* buf, uint64_t n) const;   // bytes read
    int64_t ImageWrite(uint64_t pos, const void* buf, uint64_t n);  // bytes written
    uint64_t ImageSize() const;

    // All zeros when a storage has none; none for streams.
    std::optional<ClassId> GetClassId(NodeId storage) const;
    bool SetClassId(NodeId storage, const ClassId& id);
    // Dates of a storage (the root included), as read or set; none for
    // streams. A created file's root is dated at its creation.
    std::optional<StorageTimes> GetTimes(NodeId storage) const;
    bool SetTimes(NodeId storage, const StorageTimes& times);
    // Root modification time, seconds since 1970 UTC; 0 when none is stored.
    int64_t RootModificationTime() const;

    // Writes back when anything changed or the file was created (new file
    // beside the old one, exclusive creation, random name, flushed, renamed
    // over; mode and owner kept; through a link, the linked file). Returns
    // false when writing back failed; the original is then untouched and no
    // temporary file remains. Unchanged: nothing is written. Afterwards the
    // object holds nothing; a second Close() repeats the result.
    bool Close();

    struct Impl;
private:
    explicit CompoundFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace storage
