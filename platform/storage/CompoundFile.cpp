// Compound files over libgsf. The tree is read once at open; stream bytes
// stay in the file until asked for. Writing back builds a complete new file
// beside the old one, so a failure can never damage the original.

#include "platform/storage/CompoundFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>

namespace storage {
namespace {

constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr size_t kMaxNameUnits = 31;  // the directory entry holds 32 units with the zero
constexpr int kMaxDepth = 256;        // a deeper tree is damage, not a document
constexpr size_t kChunk = 64 * 1024;

void InitGsf() {
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // Damage is reported by our results; libgsf's own warnings about it
        // would only clutter the programs' error output.
        auto quiet = [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {};
        g_log_set_handler("libgsf:msole", GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE), quiet, nullptr);
    });
}

char16_t Upper(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    return c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

// Compound-file order: shorter names first, then by upper-cased units.
bool NameBefore(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return a.size() < b.size();
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = Upper(a[i]), y = Upper(b[i]);
        if (x != y) return x < y;
    }
    return false;
}

std::u16string FromUtf8(const char* s) {
    std::u16string out;
    if (!s) return out;
    glong n = 0;
    gunichar2* w = g_utf8_to_utf16(s, -1, nullptr, &n, nullptr);
    if (w) {
        out.assign(reinterpret_cast<const char16_t*>(w), static_cast<size_t>(n));
        g_free(w);
        return out;
    }
    // Not valid UTF-8: keep each byte as one unit rather than lose the name.
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) out.push_back(*p);
    return out;
}

std::optional<std::string> ToUtf8(std::u16string_view s) {
    if (s.empty()) return std::string();
    glong n = 0;
    gchar* u = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(s.data()), static_cast<glong>(s.size()),
                               nullptr, &n, nullptr);
    if (!u) return std::nullopt;
    std::string out(u, static_cast<size_t>(n));
    g_free(u);
    return out;
}

bool ValidName(std::u16string_view name) {
    if (name.empty() || name.size() > kMaxNameUnits) return false;
    for (char16_t c : name)
        if (c == 0 || c == u'/' || c == u'\\' || c == u':' || c == u'!') return false;
    return true;
}

std::string DirName(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path the write-back replaces: the real file behind links, so a link
// stays a link and the renamed file lands in the file's own folder.
std::string TargetPath(const std::string& path) {
    if (char* real = realpath(path.c_str(), nullptr)) {
        std::string out(real);
        free(real);
        return out;
    }
    std::string dir = DirName(path);
    if (char* real = realpath(dir.c_str(), nullptr)) {
        std::string out(real);
        free(real);
        return out + "/" + BaseName(path);
    }
    return path;
}

// Reads exactly `n` bytes at `pos`, or fewer at the end of the file.
size_t PreadAll(int fd, uint8_t* buf, size_t n, off_t pos) {
    size_t done = 0;
    while (done < n) {
        ssize_t r = pread(fd, buf + done, n - done, pos + static_cast<off_t>(done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += static_cast<size_t>(r);
    }
    return done;
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Seconds since 1970 from the root's modification time; 0 when none.
int64_t FileTimeToUnix(const uint8_t* ft) {
    uint64_t ticks = uint64_t(Le32(ft)) | uint64_t(Le32(ft + 4)) << 32;
    if (ticks == 0) return 0;
    constexpr int64_t kEpochDiff = 11644473600LL;  // 1601 to 1970, in seconds
    return static_cast<int64_t>(ticks / 10000000ULL) - kEpochDiff;
}

StorageTimes NowTimes() {
    constexpr uint64_t kEpochDiff = 11644473600ULL;
    const uint64_t ticks = (static_cast<uint64_t>(time(nullptr)) + kEpochDiff) * 10000000ULL;
    StorageTimes t{};
    for (int i = 0; i < 8; ++i) t[i] = t[8 + i] = static_cast<uint8_t>(ticks >> (8 * i));
    return t;
}

// One entry of a compound file's directory as it lies on disk.
struct RawEntry {
    std::u16string name;
    uint8_t type = 0;  // 1 storage, 2 stream, 5 root
    uint32_t left = 0xFFFFFFFF, right = 0xFFFFFFFF, child = 0xFFFFFFFF;
    off_t at = 0;      // file offset of the entry
};

constexpr uint32_t kNoSector = 0xFFFFFFFA;  // this and above: no sector

// The directory entries in order, read through the file's allocation
// table; none when the structure cannot be followed.
std::optional<std::vector<RawEntry>> ReadDirectory(int fd) {
    uint8_t header[512];
    if (PreadAll(fd, header, sizeof header, 0) != sizeof header) return std::nullopt;
    const unsigned shift = uint32_t(header[0x1E]) | uint32_t(header[0x1F]) << 8;
    if (shift != 9 && shift != 12) return std::nullopt;
    const size_t ssz = size_t{1} << shift;
    struct stat st {};
    if (fstat(fd, &st) != 0) return std::nullopt;
    const uint64_t sectors = static_cast<uint64_t>(st.st_size) >> shift;
    auto sectorAt = [&](uint32_t s) { return static_cast<off_t>((uint64_t{s} + 1) << shift); };
    // The sectors of the allocation table: 109 in the header, then the chain of DIFAT sectors.
    std::vector<uint32_t> fatSectors;
    for (size_t i = 0; i < 109; ++i) {
        const uint32_t s = Le32(header + 0x4C + 4 * i);
        if (s < kNoSector) fatSectors.push_back(s);
    }
    std::vector<uint8_t> buf(ssz);
    uint32_t difat = Le32(header + 0x44);
    for (uint64_t guard = 0; difat < kNoSector && guard <= sectors; ++guard) {
        if (PreadAll(fd, buf.data(), ssz, sectorAt(difat)) != ssz) return std::nullopt;
        for (size_t i = 0; i + 1 < ssz / 4; ++i) {
            const uint32_t s = Le32(buf.data() + 4 * i);
            if (s < kNoSector) fatSectors.push_back(s);
        }
        difat = Le32(buf.data() + ssz - 4);
    }
    if (fatSectors.size() > sectors) return std::nullopt;
    std::vector<uint32_t> fat;
    fat.reserve(fatSectors.size() * (ssz / 4));
    for (uint32_t s : fatSectors) {
        if (PreadAll(fd, buf.data(), ssz, sectorAt(s)) != ssz) return std::nullopt;
        for (size_t i = 0; i < ssz / 4; ++i) fat.push_back(Le32(buf.data() + 4 * i));
    }
    std::vector<RawEntry> entries;
    uint32_t s = Le32(header + 0x30);
    for (uint64_t guard = 0; s < kNoSector; ++guard) {
        if (guard > fat.size() || PreadAll(fd, buf.data(), ssz, sectorAt(s)) != ssz) return std::nullopt;
        for (size_t j = 0; j < ssz / 128; ++j) {
            const uint8_t* e = buf.data() + 128 * j;
            RawEntry r;
            const size_t len = std::min<size_t>(64, uint32_t(e[0x40]) | uint32_t(e[0x41]) << 8);
            // The length counts the terminating zero.
            for (size_t i = 0; i + 1 < len; i += 2) r.name.push_back(static_cast<char16_t>(e[i] | e[i + 1] << 8));
            while (!r.name.empty() && r.name.back() == 0) r.name.pop_back();
            r.type = e[0x42];
            r.left = Le32(e + 0x44);
            r.right = Le32(e + 0x48);
            r.child = Le32(e + 0x4C);
            r.at = sectorAt(s) + static_cast<off_t>(128 * j);
            entries.push_back(std::move(r));
        }
        if (s >= fat.size()) return std::nullopt;
        s = fat[s];
    }
    if (entries.empty() || entries[0].type != 5) return std::nullopt;
    return entries;
}

// Calls `visit(entry, parent)` for every storage below `storage` (parent
// is the caller's token for the storage holding it), depth first.
template <typename Token, typename Visit>
void EachStorage(const std::vector<RawEntry>& entries, uint32_t storage, Token parent, Visit&& visit,
                 std::vector<bool>& seen, int depth) {
    if (depth > kMaxDepth) return;
    std::vector<uint32_t> todo{entries[storage].child};
    while (!todo.empty()) {
        const uint32_t i = todo.back();
        todo.pop_back();
        if (i >= entries.size() || seen[i]) continue;
        seen[i] = true;
        todo.push_back(entries[i].left);
        todo.push_back(entries[i].right);
        if (entries[i].type != 1) continue;
        if (auto mine = visit(entries[i], parent)) EachStorage(entries, i, *mine, visit, seen, depth + 1);
    }
}

// Creates a file with a random name in `dir`, exclusively.
int MakeTemp(const std::string& dir, const std::string& base, std::string* tempPath) {
    std::string templ = dir + "/." + base + ".XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    int fd = mkostemp(buf.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    *tempPath = buf.data();
    return fd;
}

mode_t DefaultFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

struct Node {
    std::u16string name;
    ElementKind kind = ElementKind::Stream;
    NodeId parent = kRoot;
    std::vector<NodeId> children;  // kept in compound-file order
    std::optional<ClassId> classId;
    std::optional<StorageTimes> times;          // storages
    uint64_t size = 0;
    GsfInput* source = nullptr;                 // element of the opened file
    std::optional<std::vector<uint8_t>> data;   // created, set, copied or written
    bool broken = false;                        // listed, but libgsf could not open it
};

struct CompoundFile::Impl {
    std::vector<Node> nodes;
    std::string target;
    bool writable = false;
    bool created = false;
    bool failIfExists = false;
    bool dirty = false;
    bool closed = false;
    GsfInput* input = nullptr;
    GsfInfile* infile = nullptr;
    int tempFd = -1;
    std::string tempPath;
    mode_t fileMode = 0644;
    std::optional<std::pair<uid_t, gid_t>> owner;  // of the file a write-back replaces
    bool closeResult = true;
    std::optional<NodeId> main;

    ~Impl() { Release(); }

    void Release() {
        for (Node& n : nodes) {
            if (n.source) g_object_unref(n.source);
            n.source = nullptr;
        }
        if (infile) g_object_unref(infile);
        infile = nullptr;
        if (input) g_object_unref(input);
        input = nullptr;
        DropTemp();
    }

    void DropTemp() {
        if (tempFd >= 0) close(tempFd);
        tempFd = -1;
        if (!tempPath.empty()) unlink(tempPath.c_str());
        tempPath.clear();
    }

    // The replacement looks like the file it replaces; an owner we may not
    // give away stays ours, which is no reason to fail.
    void KeepModeAndOwner() {
        if (owner) {
            int rc = fchown(tempFd, owner->first, owner->second);
            (void)rc;
        }
        fchmod(tempFd, fileMode);
    }

    bool Valid(NodeId id) const { return id < nodes.size(); }

    std::optional<NodeId> StorageChild(NodeId parent, std::u16string_view name) const {
        for (NodeId k : nodes[parent].children)
            if (nodes[k].kind == ElementKind::Storage && SameName(nodes[k].name, name)) return k;
        return std::nullopt;
    }

    // libgsf neither reads nor writes the dates: they come from the
    // directory itself.
    void ReadTimes(int fd) {
        auto entries = ReadDirectory(fd);
        if (!entries) return;
        auto get = [&](const RawEntry& e) {
            StorageTimes t{};
            PreadAll(fd, t.data(), t.size(), e.at + 0x64);
            return t;
        };
        nodes[kRoot].times = get((*entries)[0]);
        std::vector<bool> seen(entries->size());
        EachStorage(*entries, 0, kRoot, [&](const RawEntry& e, NodeId parent) -> std::optional<NodeId> {
            auto k = StorageChild(parent, e.name);
            if (k) nodes[*k].times = get(e);
            return k;
        }, seen, 0);
    }

    bool WriteTimes(int fd) const {
        auto entries = ReadDirectory(fd);
        if (!entries) return false;
        bool ok = true;
        auto put = [&](const RawEntry& e, NodeId id) {
            if (const auto& t = nodes[id].times)
                ok = pwrite(fd, t->data(), t->size(), e.at + 0x64) == ssize_t(t->size()) && ok;
        };
        put((*entries)[0], kRoot);
        std::vector<bool> seen(entries->size());
        EachStorage(*entries, 0, kRoot, [&](const RawEntry& e, NodeId parent) -> std::optional<NodeId> {
            auto k = StorageChild(parent, e.name);
            if (k) put(e, *k);
            return k;
        }, seen, 0);
        return ok;
    }

    NodeId AddChild(NodeId parent, Node node) {
        node.parent = parent;
        NodeId id = static_cast<NodeId>(nodes.size());
        std::u16string name = node.name;
        nodes.push_back(std::move(node));
        auto& kids = nodes[parent].children;
        auto at = std::upper_bound(kids.begin(), kids.end(), name, [this](const std::u16string& n, NodeId k) {
            return NameBefore(n, nodes[k].name);
        });
        kids.insert(at, id);
        return id;
    }

    bool HasChild(NodeId parent, std::u16string_view name) const {
        for (NodeId k : nodes[parent].children)
            if (SameName(nodes[k].name, name)) return true;
        return false;
    }

    bool ReadTree(GsfInfile* dir, NodeId parent, int depth) {
        if (depth > kMaxDepth) return false;
        int count = gsf_infile_num_children(dir);
        for (int i = 0; i < count; ++i) {
            Node node;
            node.name = FromUtf8(gsf_infile_name_by_index(dir, i));
            GsfInput* child = gsf_infile_child_by_index(dir, i);
            if (!child) {
                node.broken = true;
                AddChild(parent, std::move(node));
                continue;
            }
            node.source = child;
            int grandChildren = GSF_IS_INFILE(child) ? gsf_infile_num_children(GSF_INFILE(child)) : -1;
            if (grandChildren >= 0) {
                node.kind = ElementKind::Storage;
                ClassId id{};
                if (GSF_IS_INFILE_MSOLE(child) && gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(child), id.data()))
                    node.classId = id;
                NodeId me = AddChild(parent, std::move(node));
                if (!ReadTree(GSF_INFILE(child), me, depth + 1)) return false;
            } else {
                node.kind = ElementKind::Stream;
                gsf_off_t size = gsf_input_size(child);
                node.size = size > 0 ? static_cast<uint64_t>(size) : 0;
                AddChild(parent, std::move(node));
            }
        }
        return true;
    }

    // The whole content of a stream, read from the file when not in memory.
    std::optional<std::vector<uint8_t>> Content(NodeId id, uint64_t limit) const {
        const Node& n = nodes[id];
        if (n.kind != ElementKind::Stream || n.broken) return std::nullopt;
        if (n.data) {
            size_t take = static_cast<size_t>(std::min<uint64_t>(limit, n.data->size()));
            return std::vector<uint8_t>(n.data->begin(), n.data->begin() + static_cast<ptrdiff_t>(take));
        }
        if (!n.source) return std::vector<uint8_t>();
        uint64_t want = std::min(limit, n.size);
        std::vector<uint8_t> out;
        try {
            out.resize(static_cast<size_t>(want));
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
        if (want && !ReadSource(n, 0, out.data(), want)) return std::nullopt;
        return out;
    }

    static bool ReadSource(const Node& n, uint64_t pos, uint8_t* buf, uint64_t count) {
        if (gsf_input_seek(n.source, static_cast<gsf_off_t>(pos), G_SEEK_SET)) return false;  // TRUE: failed
        uint64_t done = 0;
        while (done < count) {
            size_t step = static_cast<size_t>(std::min<uint64_t>(kChunk, count - done));
            if (!gsf_input_read(n.source, step, buf + done)) return false;
            done += step;
        }
        return true;
    }

    // Brings the main stream into memory at its first use.
    bool LoadMain() {
        Node& n = nodes[*main];
        if (n.data) return true;
        auto content = Content(*main, UINT64_MAX);
        if (!content) return false;
        n.data = std::move(*content);
        return true;
    }

    bool WriteStream(GsfOutput* out, const Node& n) const {
        if (n.data) return n.data->empty() || gsf_output_write(out, n.data->size(), n.data->data());
        if (!n.source) return true;
        if (gsf_input_seek(n.source, 0, G_SEEK_SET)) return false;
        std::vector<uint8_t> buf(kChunk);
        uint64_t done = 0;
        while (done < n.size) {
            size_t step = static_cast<size_t>(std::min<uint64_t>(kChunk, n.size - done));
            if (!gsf_input_read(n.source, step, buf.data())) return false;
            if (!gsf_output_write(out, step, buf.data())) return false;
            done += step;
        }
        return true;
    }

    bool WriteChildren(GsfOutfile* dir, NodeId id) const {
        for (NodeId k : nodes[id].children) {
            const Node& n = nodes[k];
            if (n.broken) return false;  // writing it back would lose it
            auto name = ToUtf8(n.name);
            if (!name) return false;
            bool isDir = n.kind == ElementKind::Storage;
            GsfOutput* child = gsf_outfile_new_child(dir, name->c_str(), isDir);
            if (!child) return false;
            bool ok;
            if (isDir) {
                if (n.classId) gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(child), n.classId->data());
                ok = WriteChildren(GSF_OUTFILE(child), k);
            } else {
                ok = WriteStream(child, n);
            }
            ok = gsf_output_close(child) && ok;
            g_object_unref(child);
            if (!ok) return false;
        }
        return true;
    }

    // Writes the whole tree into the temporary file; fsyncs it.
    bool WriteTemp() {
        FILE* fp = fdopen(tempFd, "wb");
        if (!fp) return false;
        tempFd = -1;  // the FILE owns it now
        GsfOutput* sink = gsf_output_stdio_new_FILE(tempPath.c_str(), fp, TRUE);
        if (!sink) {
            fclose(fp);
            return false;
        }
        GsfOutfile* out = gsf_outfile_msole_new(sink);
        bool ok = out != nullptr;
        if (ok) {
            if (nodes[kRoot].classId) gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(out), nodes[kRoot].classId->data());
            ok = WriteChildren(out, kRoot);
            ok = gsf_output_close(GSF_OUTPUT(out)) && ok;
            g_object_unref(out);
        }
        // The outfile closes its sink itself when it is closed.
        if (!gsf_output_is_closed(sink)) ok = gsf_output_close(sink) && ok;
        g_object_unref(sink);
        ok = fflush(fp) == 0 && ok;
        // libgsf writes no times: every storage gets its own.
        ok = ok && WriteTimes(fileno(fp));
        ok = fsync(fileno(fp)) == 0 && ok;
        ok = fclose(fp) == 0 && ok;
        return ok;
    }

    bool Publish() {
        if (failIfExists) {
            if (renameat2(AT_FDCWD, tempPath.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
                if (errno != EINVAL && errno != ENOSYS) return false;
                // No atomic no-replace rename here: a hard link fails just as surely.
                if (link(tempPath.c_str(), target.c_str()) != 0) return false;
                unlink(tempPath.c_str());
            }
        } else if (rename(tempPath.c_str(), target.c_str()) != 0) {
            return false;
        }
        tempPath.clear();
        int dirFd = open(DirName(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            fsync(dirFd);
            close(dirFd);
        }
        return true;
    }
};

bool IsCompoundFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    uint8_t head[8] = {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && PreadAll(fd, head, sizeof head, 0) == sizeof head &&
              std::memcmp(head, kSignature, sizeof head) == 0;
    close(fd);
    return ok;
}

CompoundFile::CompoundFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

int OpenRegularFile(const std::string& path, int flags, unsigned createMode) {
    int fd = open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, createMode);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

CompoundFile::~CompoundFile() = default;

std::unique_ptr<CompoundFile> CompoundFile::Open(const std::string& path, bool writable) {
    InitGsf();
    int fd = OpenRegularFile(path, writable ? O_RDWR : O_RDONLY);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->writable = writable;
    impl->target = TargetPath(path);
    impl->fileMode = st.st_mode & 07777;
    impl->owner = std::make_pair(st.st_uid, st.st_gid);

    FILE* fp = fdopen(fd, "rb");
    if (!fp) {
        close(fd);
        return nullptr;
    }
    impl->input = gsf_input_stdio_new_FILE(path.c_str(), fp, FALSE);
    if (!impl->input) {
        fclose(fp);
        return nullptr;
    }
    GError* err = nullptr;
    impl->infile = gsf_infile_msole_new(impl->input, &err);
    if (err) g_error_free(err);
    if (!impl->infile) return nullptr;

    Node root;
    root.name = u"Root Entry";
    root.kind = ElementKind::Storage;
    ClassId id{};
    if (gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(impl->infile), id.data())) root.classId = id;
    impl->nodes.push_back(std::move(root));
    if (!impl->ReadTree(impl->infile, kRoot, 0)) return nullptr;
    impl->ReadTimes(fd);
    return std::unique_ptr<CompoundFile>(new CompoundFile(std::move(impl)));
}

std::unique_ptr<CompoundFile> CompoundFile::Create(const std::string& path, bool failIfExists) {
    InitGsf();
    auto impl = std::make_unique<Impl>();
    impl->writable = true;
    impl->created = true;
    impl->failIfExists = failIfExists;
    impl->target = TargetPath(path);
    struct stat st;
    bool exists = lstat(impl->target.c_str(), &st) == 0;
    if (exists && failIfExists) return nullptr;
    if (exists && S_ISDIR(st.st_mode)) return nullptr;
    impl->fileMode = exists ? (st.st_mode & 07777) : DefaultFileMode();
    if (exists) impl->owner = std::make_pair(st.st_uid, st.st_gid);
    // The temporary file is made now, so a folder that refuses it fails here.
    impl->tempFd = MakeTemp(DirName(impl->target), BaseName(impl->target), &impl->tempPath);
    if (impl->tempFd < 0) return nullptr;
    impl->KeepModeAndOwner();
    Node root;
    root.name = u"Root Entry";
    root.kind = ElementKind::Storage;
    root.times = NowTimes();
    impl->nodes.push_back(std::move(root));
    return std::unique_ptr<CompoundFile>(new CompoundFile(std::move(impl)));
}

std::vector<Element> CompoundFile::Children(NodeId storage) const {
    std::vector<Element> out;
    if (!impl_->Valid(storage)) return out;
    for (NodeId k : impl_->nodes[storage].children)
        if (auto e = Get(k)) out.push_back(*e);
    return out;
}

std::optional<Element> CompoundFile::Child(NodeId storage, std::u16string_view name) const {
    if (!impl_->Valid(storage)) return std::nullopt;
    for (NodeId k : impl_->nodes[storage].children)
        if (SameName(impl_->nodes[k].name, name)) return Get(k);
    return std::nullopt;
}

std::optional<Element> CompoundFile::Get(NodeId id) const {
    if (!impl_->Valid(id)) return std::nullopt;
    const Node& n = impl_->nodes[id];
    Element e;
    e.id = id;
    e.name = n.name;
    e.kind = n.kind;
    e.size = n.kind == ElementKind::Stream ? (n.data ? n.data->size() : n.size) : 0;
    return e;
}

std::optional<std::vector<uint8_t>> CompoundFile::ReadStream(NodeId stream, uint64_t limit) const {
    if (!impl_->Valid(stream)) return std::nullopt;
    return impl_->Content(stream, limit);
}

std::optional<NodeId> CompoundFile::CreateStorage(NodeId parent, std::u16string_view name) {
    if (!impl_->writable || impl_->closed || !impl_->Valid(parent) ||
        impl_->nodes[parent].kind != ElementKind::Storage || !ValidName(name) || impl_->HasChild(parent, name))
        return std::nullopt;
    Node n;
    n.name = std::u16string(name);
    n.kind = ElementKind::Storage;
    impl_->dirty = true;
    return impl_->AddChild(parent, std::move(n));
}

std::optional<NodeId> CompoundFile::CreateStream(NodeId parent, std::u16string_view name) {
    if (!impl_->writable || impl_->closed || !impl_->Valid(parent) ||
        impl_->nodes[parent].kind != ElementKind::Storage || !ValidName(name) || impl_->HasChild(parent, name))
        return std::nullopt;
    Node n;
    n.name = std::u16string(name);
    n.kind = ElementKind::Stream;
    n.data.emplace();
    impl_->dirty = true;
    return impl_->AddChild(parent, std::move(n));
}

bool CompoundFile::SetStreamData(NodeId stream, std::vector<uint8_t> data) {
    if (!impl_->writable || impl_->closed || !impl_->Valid(stream)) return false;
    Node& n = impl_->nodes[stream];
    if (n.kind != ElementKind::Stream || n.broken) return false;
    n.size = data.size();
    n.data = std::move(data);
    impl_->dirty = true;
    return true;
}

bool CompoundFile::CopySubtree(const CompoundFile& source, NodeId from, NodeId parent) {
    if (!impl_->writable || impl_->closed || !impl_->Valid(parent) || !source.impl_->Valid(from) ||
        impl_->nodes[parent].kind != ElementKind::Storage)
        return false;
    if (&source == this) {
        // Copying a storage into itself would never end.
        for (NodeId p = parent;; p = impl_->nodes[p].parent) {
            if (p == from) return false;
            if (p == kRoot) break;
        }
    }
    const Node& src = source.impl_->nodes[from];
    if (src.broken || impl_->HasChild(parent, src.name)) return false;
    Node n;
    n.name = src.name;
    n.kind = src.kind;
    n.classId = src.classId;
    n.times = src.times;
    if (n.kind == ElementKind::Stream) {
        auto content = source.impl_->Content(from, UINT64_MAX);
        if (!content) return false;
        n.size = content->size();
        n.data = std::move(*content);
    }
    std::vector<NodeId> kids = src.children;  // copy: `this` may be `source`
    NodeId me = impl_->AddChild(parent, std::move(n));
    impl_->dirty = true;
    for (NodeId k : kids)
        if (!CopySubtree(source, k, me)) return false;
    return true;
}

bool CompoundFile::SetMainStream(NodeId stream) {
    if (!impl_->Valid(stream)) return false;
    const Node& n = impl_->nodes[stream];
    if (n.kind != ElementKind::Stream || n.broken) return false;
    impl_->main = stream;
    return true;
}

std::optional<NodeId> CompoundFile::MainStream() const { return impl_->main; }

int64_t CompoundFile::ImageRead(uint64_t pos, void* buf, uint64_t n) const {
    if (!impl_->main || impl_->closed) return -1;
    // Callers read a few bytes at a time; the image is read from the file once.
    if (!impl_->LoadMain()) return -1;
    const auto& data = *impl_->nodes[*impl_->main].data;
    if (pos >= data.size() || n == 0) return 0;
    uint64_t take = std::min<uint64_t>(n, data.size() - pos);
    std::memcpy(buf, data.data() + pos, static_cast<size_t>(take));
    return static_cast<int64_t>(take);
}

int64_t CompoundFile::ImageWrite(uint64_t pos, const void* buf, uint64_t n) {
    if (!impl_->main || !impl_->writable || impl_->closed) return -1;
    if (n == 0) return 0;
    if (pos > UINT64_MAX - n || !impl_->LoadMain()) return -1;
    auto& data = *impl_->nodes[*impl_->main].data;
    try {
        if (pos + n > data.size()) data.resize(static_cast<size_t>(pos + n));  // a gap reads as zeros
    } catch (const std::exception&) {
        return -1;
    }
    std::memcpy(data.data() + pos, buf, static_cast<size_t>(n));
    impl_->nodes[*impl_->main].size = data.size();
    impl_->dirty = true;
    return static_cast<int64_t>(n);
}

uint64_t CompoundFile::ImageSize() const {
    if (!impl_->main) return 0;
    const Node& n = impl_->nodes[*impl_->main];
    return n.data ? n.data->size() : n.size;
}

std::optional<ClassId> CompoundFile::GetClassId(NodeId storage) const {
    if (!impl_->Valid(storage) || impl_->nodes[storage].kind != ElementKind::Storage) return std::nullopt;
    return impl_->nodes[storage].classId.value_or(ClassId{});
}

bool CompoundFile::SetClassId(NodeId storage, const ClassId& id) {
    if (!impl_->writable || impl_->closed || !impl_->Valid(storage) ||
        impl_->nodes[storage].kind != ElementKind::Storage)
        return false;
    impl_->nodes[storage].classId = id;
    impl_->dirty = true;
    return true;
}

std::optional<StorageTimes> CompoundFile::GetTimes(NodeId storage) const {
    if (!impl_->Valid(storage) || impl_->nodes[storage].kind != ElementKind::Storage) return std::nullopt;
    return impl_->nodes[storage].times.value_or(StorageTimes{});
}

bool CompoundFile::SetTimes(NodeId storage, const StorageTimes& times) {
    if (!impl_->writable || impl_->closed || !impl_->Valid(storage) ||
        impl_->nodes[storage].kind != ElementKind::Storage)
        return false;
    impl_->nodes[storage].times = times;
    impl_->dirty = true;
    return true;
}

int64_t CompoundFile::RootModificationTime() const {
    const auto& t = impl_->nodes.empty() ? std::nullopt : impl_->nodes[kRoot].times;
    return t ? FileTimeToUnix(t->data() + 8) : 0;
}

bool CompoundFile::Close() {
    Impl& im = *impl_;
    if (im.closed) return im.closeResult;
    im.closed = true;
    bool ok = true;
    if (im.created || im.dirty) {
        if (!im.created) {
            im.tempFd = MakeTemp(DirName(im.target), BaseName(im.target), &im.tempPath);
            if (im.tempFd >= 0) im.KeepModeAndOwner();
        }
        ok = im.tempFd >= 0 && im.WriteTemp() && im.Publish();
    }
    im.Release();  // also removes a temporary file left by a failure
    im.closeResult = ok;
    return ok;
}

}  // namespace storage
