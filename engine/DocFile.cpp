// The document file layer: plain files through POSIX calls, compound files
// through their main stream's image. Positions are 32-bit, as in the format.

#include "engine/DocFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace engine {
namespace {

constexpr char16_t kObjectsName[] = u"Quillsuite_OBJECTS";
constexpr char16_t kMainName[] = u"Quillsuite_MAIN";
constexpr uint64_t kMaxPosition = UINT32_MAX;

DocFile* OpenPlain(const std::string& path, uint32_t mode) {
    int flags = 0;
    bool r = mode & kOpenRead, w = mode & kOpenWrite;
    // Neither bit asks for no access at all; reading is the least we can grant.
    flags |= (r && w) ? O_RDWR : w ? O_WRONLY : O_RDONLY;
    if (mode & kOpenCreate) {
        flags |= O_CREAT | ((mode & kOpenExclusive) ? O_EXCL : O_TRUNC);
    }
    int fd = storage::OpenRegularFile(path, flags);
    if (fd < 0) return nullptr;
    auto* f = new DocFile;
    f->fd = fd;
    f->filePos = 0;
    f->path = path;
    return f;
}

int64_t CurrentPos(DocFile* f) {
    if (f->IsCompound()) return f->streamPos;
    if (f->filePos < 0) f->filePos = lseek(f->fd, 0, SEEK_CUR);
    return f->filePos;
}

// All of `count` bytes at `at`, or false.
bool WriteAt(int fd, const void* buf, size_t count, uint64_t at) {
    size_t done = 0;
    while (done < count) {
        ssize_t r = pwrite(fd, static_cast<const char*>(buf) + done, count - done, static_cast<off_t>(at + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        done += static_cast<size_t>(r);
    }
    return true;
}

}  // namespace

// ---- A file's bytes in memory --------------------------------------------

FileImage::~FileImage() {
    Join();
    if (data_) munmap(data_, capacity_);
}

bool FileImage::Join() {
    if (writer_.joinable()) {
        writer_.join();
        if (!writerOk_) failed_ = true;
    }
    return !failed_;
}

// Room up to `end`; large pages keep a document's worth of faults few.
bool FileImage::Reserve(uint64_t end) {
    if (end <= capacity_) return true;
    constexpr size_t kStep = size_t{2} << 20;
    size_t want = std::max<size_t>(kStep, capacity_);
    while (want < end) want *= 2;
    void* p = data_ ? mremap(data_, capacity_, want, MREMAP_MAYMOVE)
                    : mmap(nullptr, want, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return false;
    madvise(p, want, MADV_HUGEPAGE);
    data_ = static_cast<uint8_t*>(p);
    capacity_ = want;
    return true;
}

bool FileImage::Write(uint64_t at, const void* bytes, size_t count) {
    if (!Join()) return false;
    if (count == 0) return true;
    const bool inPlace = data_ && at < capacity_ && data_ + at == bytes;
    if (!inPlace && !Reserve(at + count)) return false;
    // A gap before the bytes reads as zero, whatever room was filled there.
    if (at > size_) std::memset(data_ + size_, 0, static_cast<size_t>(at - size_));
    if (!inPlace) std::memcpy(data_ + at, bytes, count);
    if (dirtyFrom_ == dirtyTo_) {
        dirtyFrom_ = at;
        dirtyTo_ = at + count;
    } else {
        dirtyFrom_ = std::min(dirtyFrom_, at);
        dirtyTo_ = std::max(dirtyTo_, at + count);
    }
    size_ = std::max(size_, at + count);
    return true;
}

uint8_t* FileImage::Room(uint64_t at, size_t count) {
    return Join() && Reserve(at + count) ? data_ + at : nullptr;
}

void FileImage::Prepare(uint64_t size) {
    if (!Join() || !Reserve(size)) return;
    // Only pages past what the file holds: their bytes are no one's yet.
    constexpr size_t kPage = 4096;
    const auto first = static_cast<size_t>((size_ + kPage - 1) / kPage * kPage);
    if (first >= size) return;
    uint8_t* from = data_;
    const auto count = static_cast<size_t>(size);
    writer_ = std::thread([from, first, count] {
        // Writing one byte a page gives the page; fresh pages are zero already.
        for (size_t at = first; at < count; at += kPage) *static_cast<volatile uint8_t*>(from + at) = 0;
    });
}

size_t FileImage::Read(uint64_t at, void* bytes, size_t count) const {
    if (at >= size_) return 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, size_ - at));
    std::memcpy(bytes, data_ + at, n);
    return n;
}

bool FileImage::BeginWriteBack(int fd) {
    if (!Join()) return false;
    if (dirtyFrom_ == dirtyTo_) return true;
    const uint8_t* from = data_ + dirtyFrom_;
    const size_t count = static_cast<size_t>(dirtyTo_ - dirtyFrom_);
    const uint64_t at = dirtyFrom_;
    dirtyFrom_ = dirtyTo_ = 0;
    writerOk_ = true;
    // The thread only reads the image; every change to it joins first.
    writer_ = std::thread([this, fd, from, count, at] { writerOk_ = WriteAt(fd, from, count, at); });
    return true;
}

bool FileImage::WriteBack(int fd) {
    if (!BeginWriteBack(fd)) return false;
    return Join();
}

std::u16string WidenFileName(const std::string& path) {
    // No double-byte code page is active here: every byte is one unit.
    std::u16string out;
    out.reserve(path.size());
    for (unsigned char c : path) {
        if (c == 0) break;
        out.push_back(static_cast<char16_t>(c));
    }
    return out;
}

DocFile* OpenDocFile(const std::string& path, uint32_t mode) {
    bool compound = (mode & kOpenCreate) ? (mode & kOpenCompound) != 0 : storage::IsCompoundFile(path);
    if (compound) return OpenCompoundDocFile(path, mode);
    return OpenPlain(path, mode);
}

int FindStorageAndStreamNames(const storage::CompoundFile& root, std::u16string* storageName,
                              std::u16string* streamName) {
    int storages = 0, streams = 0;
    for (const storage::Element& e : root.Children(storage::kRoot)) {
        // Property streams and other system elements start with a control character.
        if (e.name.empty() || (e.name[0] & 0xFF) < 32) continue;
        if (e.kind == storage::ElementKind::Storage) {
            ++storages;
            if (storageName) *storageName = e.name;
        } else {
            ++streams;
            if (streamName) *streamName = e.name;
        }
    }
    return storages == 1 && streams == 1 ? 1 : 0;
}

DocFile* OpenCompoundDocFile(const std::string& path, uint32_t mode) {
    auto f = std::make_unique<DocFile>();
    f->path = path;
    if (mode & kOpenCreate) {
        // Nothing reaches the disk before CloseDocFile, so a failure here
        // leaves no file behind.
        f->root = storage::CompoundFile::Create(path, (mode & kOpenExclusive) != 0);
        if (!f->root) return nullptr;
        f->objects = f->root->CreateStorage(storage::kRoot, kObjectsName);
        f->mainStream = f->root->CreateStream(storage::kRoot, kMainName);
    } else {
        f->root = storage::CompoundFile::Open(path, (mode & kOpenWrite) != 0);
        if (!f->root) return nullptr;
        std::u16string storageName = kObjectsName, streamName = kMainName;
        auto objects = f->root->Child(storage::kRoot, storageName);
        if (!objects || objects->kind != storage::ElementKind::Storage) {
            objects.reset();
            if (FindStorageAndStreamNames(*f->root, &storageName, &streamName) == 1) {
                objects = f->root->Child(storage::kRoot, storageName);
                if (objects && objects->kind != storage::ElementKind::Storage) objects.reset();
            }
        }
        if (objects) {
            f->objects = objects->id;
            // The main stream lives in the root, beside the objects storage.
            auto main = f->root->Child(storage::kRoot, streamName);
            if (main && main->kind == storage::ElementKind::Stream) f->mainStream = main->id;
        }
    }
    if (!f->objects || !f->mainStream || !f->root->SetMainStream(*f->mainStream)) return nullptr;
    return f.release();
}

int32_t ReadDocFile(DocFile* f, void* buf, uint32_t count) {
    if (!f || (!buf && count)) return -1;
    if (count > INT32_MAX) count = INT32_MAX;
    if (f->faults) {
        int64_t pos = CurrentPos(f);
        int64_t allowed = f->faults->BeforeRead(static_cast<uint32_t>(pos), count);
        if (allowed < 0) return -1;
        if (allowed < count) count = static_cast<uint32_t>(allowed);
    }
    if (f->IsCompound()) {
        int64_t got = f->root->ImageRead(f->streamPos, buf, count);
        if (got < 0) return -1;
        f->streamPos += static_cast<uint32_t>(got);
        return static_cast<int32_t>(got);
    }
    const int64_t pos = CurrentPos(f);
    if (pos < 0) return -1;
    if (f->image) {
        const size_t n = f->image->Read(static_cast<uint64_t>(pos), buf, count);
        f->filePos = pos + static_cast<int64_t>(n);
        return static_cast<int32_t>(n);
    }
    uint32_t done = 0;
    while (done < count) {
        ssize_t r = pread(f->fd, static_cast<char*>(buf) + done, count - done, static_cast<off_t>(pos + done));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            if (!done) return -1;
            break;
        }
        if (r == 0) break;
        done += static_cast<uint32_t>(r);
    }
    f->filePos = pos + done;
    return static_cast<int32_t>(done);
}

int32_t WriteDocFile(DocFile* f, const void* buf, uint32_t count) {
    if (!f || (!buf && count)) return -1;
    f->walkAhead.reset();  // what was read ahead may no longer be the file
    if (count > INT32_MAX) return -1;
    int64_t pos = CurrentPos(f);
    if (pos < 0 || static_cast<uint64_t>(pos) + count > kMaxPosition + 1) return -1;
    if (f->faults && f->faults->FailWrite(static_cast<uint32_t>(pos), count)) return -1;
    if (f->IsCompound()) {
        int64_t put = f->root->ImageWrite(f->streamPos, buf, count);
        if (put < 0) return -1;
        f->streamPos += static_cast<uint32_t>(put);
        return static_cast<int32_t>(put);
    }
    if (f->image) {
        if (!f->image->Write(static_cast<uint64_t>(pos), buf, count)) return -1;
        f->filePos = pos + count;
        return static_cast<int32_t>(count);
    }
    uint32_t done = 0;
    while (done < count) {
        ssize_t r = pwrite(f->fd, static_cast<const char*>(buf) + done, count - done,
                           static_cast<off_t>(pos + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            if (!done) return -1;
            break;
        }
        done += static_cast<uint32_t>(r);
    }
    f->filePos = pos + done;
    return static_cast<int32_t>(done);
}

int FlushDocFile(DocFile* f) {
    if (!f) return -1;
    if (!f->image || f->IsCompound()) return 0;
    return f->image->WriteBack(f->fd) ? 0 : -1;
}

int BeginFlushDocFile(DocFile* f) {
    if (!f) return -1;
    if (!f->image || f->IsCompound()) return 0;
    return f->image->BeginWriteBack(f->fd) ? 0 : -1;
}

std::optional<std::span<const uint8_t>> HeldBytes(const DocFile* f) {
    if (!f || !f->image || f->IsCompound() || f->faults) return std::nullopt;
    return f->image->Bytes();
}

uint8_t* DocFileRoom(DocFile* f, uint32_t count) {
    if (!f || !f->image || f->IsCompound()) return nullptr;
    const int64_t pos = CurrentPos(f);
    return pos < 0 ? nullptr : f->image->Room(static_cast<uint64_t>(pos), count);
}

int32_t SeekDocFile(DocFile* f, int32_t offset, int origin) {
    if (!f || origin < 0 || origin > 2) return -1;
    if (f->faults && f->faults->FailSeek(offset, origin)) return -1;
    int64_t base;
    if (f->IsCompound()) {
        base = origin == 0 ? 0 : origin == 1 ? int64_t(f->streamPos) : int64_t(f->root->ImageSize());
    } else {
        if (origin == 0) {
            base = 0;
        } else if (origin == 1) {
            base = CurrentPos(f);
        } else {
            struct stat st;
            if (f->image)
                base = static_cast<int64_t>(f->image->Size());
            else
                base = fstat(f->fd, &st) == 0 ? int64_t(st.st_size) : -1;
        }
        if (base < 0) return -1;
    }
    int64_t target = base + offset;
    // Positions are 32-bit: a document is at most 4 GB.
    if (target < 0 || static_cast<uint64_t>(target) > kMaxPosition) return -1;
    if (f->IsCompound()) {
        f->streamPos = static_cast<uint32_t>(target);
    } else {
        f->filePos = target;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(target));
}

int CommitDocFile(DocFile* f) {
    if (!f) return -1;
    if (f->faults && f->faults->FailCommit()) return -1;
    if (f->IsCompound()) return f->root->Commit() ? 0 : -1;
    return f->fd >= 0 && FlushDocFile(f) == 0 && fsync(f->fd) == 0 ? 0 : -1;
}

int CloseDocFile(DocFile* f) {
    if (!f) return 1;
    int result = 0;
    if (f->IsCompound()) {
        if (!f->root->Close()) result = -1;
    } else if (f->fd >= 0) {
        if (FlushDocFile(f) != 0) result = 1;
        if (close(f->fd) != 0) result = 1;
    }
    delete f;
    return result;
}

}  // namespace engine
