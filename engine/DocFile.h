#pragma once
// One handle for every byte read from or written to a document or graphics
// file: a plain file, or the main stream of a compound file. Failures are
// results (-1, none); the caller words the message.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/storage/CompoundFile.h"

namespace engine {

// Open-mode bits.
enum : uint32_t {
    kOpenRead = 0x1,
    kOpenWrite = 0x2,
    kOpenIgnored = 0x4,          // callers pass 5 to open for reading only
    kOpenCreate = 0x8,           // create, replacing an existing file
    kOpenExclusive = 0x10,       // with kOpenCreate: fail when the file exists
    kOpenCompound = 0x20000000,  // with kOpenCreate: a compound file
    kOpenCallerMark = 0x40000000 // a caller's own marker, ignored here
};

// Test seam: a double that can fail or shorten reads and fail seeks or
// writes. Production handles have none.
struct DocFileFaults {
    virtual ~DocFileFaults() = default;
    // Return the count to read (<= asked), or -1 to fail the call.
    virtual int64_t BeforeRead(uint32_t pos, uint32_t asked) { (void)pos; return asked; }
    virtual bool FailSeek(int32_t offset, int origin) { (void)offset; (void)origin; return false; }
    virtual bool FailWrite(uint32_t pos, uint32_t count) { (void)pos; (void)count; return false; }
    virtual bool FailCommit() { return false; }
    // The rename that puts a finished output in place (the repair's commit).
    virtual bool FailRename() { return false; }
};

struct WalkAhead;  // what the walker read ahead (engine/Walker.cpp)

// The bytes of a file held in memory. Writing them out can run beside the
// handle's reads (a background write-back); a write to the image waits for
// it first.
class FileImage {
public:
    FileImage() = default;
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;
    ~FileImage();  // waits for a write-back; writes nothing itself

    // False when memory runs out or an earlier write-back failed. Bytes
    // filled in place (`Room`) are not copied again.
    bool Write(uint64_t at, const void* bytes, size_t count);
    // Room for `count` bytes at `at` to fill and then write from; none when
    // memory runs out. Not part of the file before that write.
    uint8_t* Room(uint64_t at, size_t count);
    // Makes memory for `size` bytes ready on a thread of its own, while the
    // caller does other work; the first write waits for it.
    void Prepare(uint64_t size);
    size_t Read(uint64_t at, void* bytes, size_t count) const;
    uint64_t Size() const { return size_; }
    // What the file holds; valid until the next write.
    std::span<const uint8_t> Bytes() const { return {data_, static_cast<size_t>(size_)}; }
    // Starts writing what changed to `fd` on a thread of its own; false
    // when a write-back failed before.
    bool BeginWriteBack(int fd);
    // Waits for a write-back, then writes what changed since; false when
    // either failed, and from then on.
    bool WriteBack(int fd);

private:
    bool Join();
    bool Reserve(uint64_t end);
    uint8_t* data_ = nullptr;
    size_t capacity_ = 0;
    uint64_t size_ = 0;
    uint64_t dirtyFrom_ = 0, dirtyTo_ = 0;  // what no write-back has sent yet
    std::thread writer_;
    bool writerOk_ = true;
    bool failed_ = false;
};

struct DocFile {
    int fd = -1;                                    // plain file
    std::unique_ptr<storage::CompoundFile> root;    // compound file
    std::optional<storage::NodeId> objects;         // "Quillsuite_OBJECTS" or its stand-in
    std::optional<storage::NodeId> mainStream;      // "Quillsuite_MAIN" or its stand-in
    uint32_t streamPos = 0;                         // cursor in the main stream
    std::string path;

    // Plain files: the position kept here (-1: not known yet, asked once),
    // so calls need no seek of their own; reads and writes go to it.
    int64_t filePos = -1;
    // A plain file written whole before anything reads it back (the
    // repair's output, created empty): its bytes are kept here, reads and
    // the end are served from here, and they reach the file when it is
    // flushed, committed or closed. Only for a file no other handle reads
    // while it is written.
    std::unique_ptr<FileImage> image;

    // Read-ahead state of the graphics reader; untouched by this layer.
    std::vector<uint8_t> readAhead;
    uint32_t readAheadCount = 0;
    uint32_t readAheadOffset = 0;
    uint32_t readAheadCursor = 0;
    int64_t readAheadBase = -1;  // base offset the buffer was filled from; -1 none

    // The walker's bytes read ahead of its windows, kept for the next walk;
    // every write through the handle drops them.
    std::shared_ptr<WalkAhead> walkAhead;

    DocFileFaults* faults = nullptr;

    bool IsCompound() const { return root != nullptr; }
};

// Plain files: regular files only (a directory, pipe or device fails); no
// locks, so a read-only open succeeds beside a writer.
DocFile* OpenDocFile(const std::string& path, uint32_t mode);
int32_t ReadDocFile(DocFile* f, void* buf, uint32_t count);
int32_t WriteDocFile(DocFile* f, const void* buf, uint32_t count);
// origin: 0 start, 1 current, 2 end (the main stream's length for a
// compound file). Returns the new position or -1; a position before 0 or
// past 4 GB is refused and the handle stays where it was.
int32_t SeekDocFile(DocFile* f, int32_t offset, int origin);
// Writes what is held in memory to the file (no sync). 0, or -1 when a write
// failed (then and from then on).
int FlushDocFile(DocFile* f);
// Starts that write on a thread of its own, beside the handle's reads; the
// next write, flush, commit or close waits for it. 0, or -1 when a write
// had failed before.
int BeginFlushDocFile(DocFile* f);
// The bytes of a file kept in memory, to read where they lie until the next
// write; none for other files, or where a test's faults watch the reads.
std::optional<std::span<const uint8_t>> HeldBytes(const DocFile* f);
// Room for `count` bytes at the position of a file kept in memory (none for
// other files): bytes filled there and written with WriteDocFile from there
// are not copied again.
uint8_t* DocFileRoom(DocFile* f, uint32_t count);
// Puts what was written on the disk now and keeps the file open: a plain
// file is flushed, a compound file written back beside itself and renamed
// over. 0, or -1 when that failed (the file on disk is then as before).
int CommitDocFile(DocFile* f);
// Always releases everything and frees the record; non-zero when a compound
// file could not be written back (the original is then untouched).
int CloseDocFile(DocFile* f);

// No double-byte code page is active here: each byte is one unit, up to the
// first zero byte.
std::u16string WidenFileName(const std::string& path);

DocFile* OpenCompoundDocFile(const std::string& path, uint32_t mode);
// Enumerates the root; 1 exactly when one storage and one stream with a
// printable first character were found (their names then fill the outputs).
int FindStorageAndStreamNames(const storage::CompoundFile& root, std::u16string* storageName,
                              std::u16string* streamName);

}  // namespace engine
