// One repair run: the output file (a temporary file beside the document
// when the output is the document itself), the passes, the check of the
// copy, and the rename that replaces the document only after all of it
// has succeeded.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>
#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <random>
#include <ctime>

#include "engine/Check.h"
#include "engine/CheckState.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/Repair.h"
#include "engine/RepairInternal.h"
#include "platform/storage/CompoundFile.h"

namespace engine {

void RepairBox(const std::string& text) {
    if (MessageService* m = Ctx().hosts.messages) m->Show(text, "Error", MsgIcon::Error, MsgButtons::Ok);
}

namespace {

MsgAnswer Ask(const std::string& text, const std::string& caption, MsgButtons buttons, MsgAnswer none) {
    MessageService* m = Ctx().hosts.messages;
    return m ? m->Show(text, caption, MsgIcon::Question, buttons) : none;
}

// The file a path leads to, through links, so that a link stays a link; the
// path itself when it cannot be resolved (a file not made yet: its folder).
std::string Resolved(const std::string& path) {
    char buf[PATH_MAX];
    if (realpath(path.c_str(), buf)) return std::string(buf);
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (realpath(folder.c_str(), buf)) return std::string(buf) + "/" + base;
    return path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

constexpr char kTempPrefix[] = "qw_";
constexpr char kTempSuffix[] = ".tmp";
constexpr size_t kTempRandom = 12;

bool TempChar(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'); }

// "qw_" + 12 of [a-z0-9] + ".tmp": the repair's temporary files.
bool IsTempName(const std::string& n) {
    const size_t p = sizeof kTempPrefix - 1, s = sizeof kTempSuffix - 1;
    if (n.size() != p + kTempRandom + s || n.compare(0, p, kTempPrefix) != 0 ||
        n.compare(p + kTempRandom, s, kTempSuffix) != 0)
        return false;
    return std::all_of(n.begin() + p, n.begin() + p + kTempRandom, TempChar);
}

std::string RandomName() {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device rd;
    std::string name = kTempPrefix;
    for (size_t i = 0; i < kTempRandom; ++i) name += kChars[rd() % (sizeof kChars - 1)];
    return name + kTempSuffix;
}

bool RegularNoLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Temporary files of runs that ended without removing them (killed): a
// live run holds a lock on its own. The compound writer's temporaries of
// those names (".NAME.XXXXXX") go with them.
void RemoveStaleTemporaries(const std::string& folder) {
    DIR* d = opendir(folder.c_str());
    if (!d) return;
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) names.emplace_back(e->d_name);
    closedir(d);
    std::sort(names.begin(), names.end());
    auto live = [&](const std::string& n) {
        const std::string path = folder + "/" + n;
        if (!RegularNoLink(path)) return false;
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) return true;  // cannot tell: leave it
        const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0;
        if (!locked) unlink(path.c_str());
        close(fd);
        return locked;
    };
    for (const std::string& n : names) {
        if (IsTempName(n)) {
            (void)live(n);
            continue;
        }
        // ".qw_....tmp.XXXXXX": its run is over when its own name is gone.
        if (n.size() < 2 || n[0] != '.') continue;
        const size_t dot = n.rfind('.');
        if (dot == 0 || n.size() - dot != 7) continue;
        const std::string owner = n.substr(1, dot - 1);
        if (!IsTempName(owner)) continue;
        if (std::binary_search(names.begin(), names.end(), owner) && RegularNoLink(folder + "/" + owner)) {
            const int fd = open((folder + "/" + owner).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
            if (fd < 0) continue;
            const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0;
            close(fd);
            if (locked) continue;
        }
        if (RegularNoLink(folder + "/" + n)) unlink((folder + "/" + n).c_str());
    }
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)fsync(fd);
    close(fd);
}

// A file whose permission bits grant no one writing is read-only, whoever
// asks; otherwise the user's own access decides.
bool MayWrite(const std::string& path, const struct stat& st) {
    return (st.st_mode & 0222) != 0 && access(path.c_str(), W_OK) == 0;
}

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The run's temporary file, created exclusively under a random name in the
// folder of `target` and locked, with the permission bits `target` has (a
// new file's when it does not exist yet). A compound output is written by
// the compound writer over this file when it is closed.
DocFile* CreateTemporary(RepairJob& job, const std::string& target, bool compound) {
    const std::string folder = FolderOf(target);
    RemoveStaleTemporaries(folder);
    struct stat st {};
    const mode_t mode = stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string path = folder + "/" + RandomName();
        const int fd = storage::OpenRegularFile(path, O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fchmod(fd, mode) != 0) {
            unlink(path.c_str());
            close(fd);
            return nullptr;
        }
        job.temporaryName = path;
        DocFile* f = nullptr;
        if (compound) {
            job.temporaryLock = fd;
            f = OpenDocFile(path, kOpenRead | kOpenWrite | kOpenCreate | kOpenCompound);
            if (!f) {
                unlink(path.c_str());
                close(fd);
                job.temporaryLock = -1;
                job.temporaryName.clear();
                return nullptr;
            }
        } else {
            f = new DocFile;
            f->fd = fd;
            f->filePos = 0;
            f->path = path;
            // Only this run reads its output: it is made in memory and
            // written out whole.
            f->image = std::make_unique<FileImage>();
        }
        f->faults = job.outputFaults;
        return f;
    }
    return nullptr;
}

// Drops the temporary output: nothing of it remains on disk.
void DiscardTemporary(RepairJob& job, DocFile* f) {
    if (f) {
        if (f->IsCompound()) {
            f->root.reset();  // never closed: its own temporary goes too
            f->fd = -1;
        }
        f->image.reset();  // a discarded output needs none of it written
        CloseDocFile(f);
    }
    if (!job.temporaryName.empty()) unlink(job.temporaryName.c_str());
    if (job.temporaryLock >= 0) close(job.temporaryLock);
    job.temporaryLock = -1;
    job.temporaryName.clear();
}

// Flushes the temporary output and renames it over `target`, then syncs the
// folder. On failure the temporary file is gone and `target` untouched.
// Only a file that replaces another is forced to the disk before the rename
// (a crash must leave the old one or the whole new one); a copy under a new
// name replaces nothing and is written back by the system as any file is.
bool CommitTemporary(RepairJob& job, DocFile* f, const std::string& target) {
    bool ok = true;
    struct stat st {};
    const bool replaces = lstat(target.c_str(), &st) == 0;
    if (f->IsCompound()) {
        // The compound writer writes beside the placeholder, flushes and
        // renames over it; the placeholder's lock is taken again at once.
        ok = CloseDocFile(f) == 0;
        f = nullptr;
        if (job.temporaryLock >= 0) close(job.temporaryLock);
        job.temporaryLock = -1;
        if (ok) {
            job.temporaryLock = open(job.temporaryName.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            ok = job.temporaryLock >= 0 && flock(job.temporaryLock, LOCK_EX | LOCK_NB) == 0;
        }
    } else {
        ok = FlushDocFile(f) == 0 && (!replaces || fsync(f->fd) == 0);
    }
    DocFileFaults* faults = job.outputFaults;
    if (ok && faults && faults->FailRename()) ok = false;
    if (ok && rename(job.temporaryName.c_str(), target.c_str()) != 0) ok = false;
    if (ok) {
        job.temporaryName.clear();
        if (replaces) SyncFolder(FolderOf(target));
    }
    if (f) {
        f->faults = nullptr;
        if (CloseDocFile(f) != 0) ok = false;
    }
    DiscardTemporary(job, nullptr);
    return ok;
}

// Device and inode of the file a run reads.
bool Identity(DocFile* in, struct stat* st) {
    if (!in) return false;
    if (!in->IsCompound() && in->fd >= 0) return fstat(in->fd, st) == 0;
    return stat(in->path.c_str(), st) == 0;
}

bool IsInput(const std::string& name, DocFile* in) {
    struct stat a {}, b {};
    if (name.empty() || stat(name.c_str(), &a) != 0 || !Identity(in, &b)) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Every element of a compound input but the main stream, and the class ids
// and dates of the root and of every storage.
bool CopyCompoundParts(DocFile* in, DocFile* out) {
    storage::CompoundFile& src = *in->root;
    storage::CompoundFile& dst = *out->root;
    if (!in->objects || !out->objects) return false;
    for (const storage::Element& e : src.Children(*in->objects))
        if (!dst.CopySubtree(src, e.id, *out->objects)) return false;
    for (const storage::Element& e : src.Children(storage::kRoot)) {
        if (e.id == *in->objects || (in->mainStream && e.id == *in->mainStream)) continue;
        if (dst.Child(storage::kRoot, e.name)) continue;
        if (!dst.CopySubtree(src, e.id, storage::kRoot)) return false;
    }
    for (const auto& [from, to] : {std::pair{storage::kRoot, storage::kRoot}, std::pair{*in->objects, *out->objects}}) {
        if (auto id = src.GetClassId(from)) dst.SetClassId(to, *id);
        if (auto t = src.GetTimes(from)) dst.SetTimes(to, *t);
    }
    return true;
}

// Times the run's phases for a benchmark that asks for them.
class PhaseClock {
public:
    explicit PhaseClock(RepairJob& job) : times_(job.phaseTimes) { Restart(); }
    void Restart() {
        at_ = Clock::now();
        cpuAt_ = Cpu();
    }
    void Done(const char* phase) {
        if (!times_) return;
        const auto now = Clock::now();
        const double cpu = Cpu();
        times_->push_back({phase, std::chrono::duration<double>(now - at_).count(), cpu - cpuAt_});
        at_ = now;
        cpuAt_ = cpu;
    }

private:
    using Clock = std::chrono::steady_clock;
    static double Cpu() {
        timespec t {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
    std::vector<RepairJob::Phase>* times_;
    Clock::time_point at_;
    double cpuAt_ = 0;
};

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int OpenRepairOutput(RepairJob& job, DocFile* in, DocFile** out, bool ask) {
    *out = nullptr;
    if (!in) return 1;
    const std::string& name = job.outputName;
    const bool same = IsInput(name, in);
    if (same && job.extract) return 1;  // the text would replace the document
    if (same && !job.outputReplacesInput) {
        if (!ask) return 1;
        switch (Ask(Format("%s already exists.\nDo you want to replace it?", name.c_str()), "Save As",
                    MsgButtons::YesNoCancel, MsgAnswer::No)) {
            case MsgAnswer::Yes:
                job.inPlace = true;
                job.prompts = false;
                break;
            case MsgAnswer::Cancel: return -1;
            default: return 1;
        }
    }
    if (same) job.inPlace = true;
    // The rename target: the document itself, or the file the name leads to.
    const std::string target = Resolved(same ? in->path : name);
    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        RepairBox(Format("Error, %s is a directory", name.c_str()));
        return 1;
    }
    const bool notInPlace = !job.inPlace && !job.outputReplacesInput;
    if (exists && ((job.prompts && notInPlace) || job.extract)) {
        if (!MayWrite(target, st)) {
            RepairBox(Format("Error, %s is set as READ ONLY!", name.c_str()));
            return 1;
        }
        if (Ask(Format("File \"%s\" exists.  Do you want to Replace it?", name.c_str()), "", MsgButtons::YesNo,
                MsgAnswer::No) != MsgAnswer::Yes)
            return 1;
    }
    // A file the user may not write is never replaced, though its folder
    // would allow the rename.
    if (exists && !MayWrite(target, st)) {
        RepairBox(name + Text(Msg::ReadOnlyNotModified));
        return 1;
    }
    const bool compound = in->IsCompound() && !job.extract;
    DocFile* f = CreateTemporary(job, target, compound);
    if (!f) {
        // A file that is there but cannot be replaced (its folder refuses
        // the temporary file) is read-only to us.
        const int probe = exists ? storage::OpenRegularFile(target, O_RDONLY) : -1;
        if (probe < 0) {
            RepairBox("Could not open File:" + name);
        } else {
            close(probe);
            RepairBox(name + Text(Msg::ReadOnlyNotModified));
        }
        return 1;
    }
    auto fail = [&](const std::string& text) {
        RepairBox(text);
        DiscardTemporary(job, f);
        return 1;
    };
    const int32_t inLength = SeekDocFile(in, 0, 2);
    if (inLength < 0) return fail(Text(Msg::ErrorReadingFile) + in->path);
    if (inLength == 0) return fail(name + " file was empty!");
    // The output's memory is made ready while the input is checked.
    if (f->image) f->image->Prepare(static_cast<uint64_t>(inLength));
    if (SeekDocFile(f, 0, 2) > 0) return fail(name + " file not empty!");
    if (compound && !CopyCompoundParts(in, f)) return fail("Error initializing Docfile " + name);
    if (SeekDocFile(f, 0, 0) != 0 || SeekDocFile(in, 0, 0) != 0) return fail(Text(Msg::ErrorReadingFile) + in->path);
    if (!job.inPlace && job.host) {
        if (!job.host->BatchRunning()) job.host->ClearLog();
        AddListLine(job.log, Format<Msg::LogHead>(name.c_str(), Ctx().doc.dateText.c_str()));
    }
    *out = f;
    return 0;
}

int RepairDocument(RepairJob& job) {
    EngineContext& c = Ctx();
    std::string header = "Processing ";
    if (job.repairCorruption) header += ": REPAIRING CORRUPTION ";
    if (job.removeUndo) header += ": REMOVING UNDO INFORMATION ";
    if (job.removeUnusedStyles) header += ": REMOVING UNUSED STYLES";
    if (job.scramble) header += ": REPLACING ALL ASCII TEXT WITH \"Z\"'s";
    if (job.extract) header += ": Extracting all ASCII text from the file";
    // Whether the document is replaced is this run's own decision.
    job.inPlace = false;
    job.textWritten = false;
    const bool replaces = job.outputReplacesInput;
    job.removed.clear();
    DiscardTemporary(job, nullptr);

    DocFile* in = c.doc.file;
    DocFile* opened = nullptr;
    if (!in && job.extract) in = opened = OpenDocFile(job.repairedFileName, kOpenRead);
    if (!in) {
        RepairBox(Format("Error, Could not open file: %s", job.repairedFileName.c_str()));
        return 1;
    }
    const FileHeader savedHeader = c.doc.header;
    const uint32_t savedLength = c.doc.dataLength;
    // Whatever the run did to the tables, they describe no file afterwards.
    auto release = [&] {
        c.doc.header = savedHeader;
        c.doc.dataLength = savedLength;
        c.doc.packets.clear();
        c.check.refs.clear();
        c.check.ranges.clear();
        c.check.complete = false;
        c.doc.changed = true;
        if (opened) CloseDocFile(opened);
        job.outputReplacesInput = replaces;
        ResetRepairState();
    };

    const bool prompts = job.prompts;
    PhaseClock clock(job);
    DocFile* out = nullptr;
    int r = OpenRepairOutput(job, in, &out, true);
    job.prompts = false;
    while (r == 1 && job.host) {
        std::optional<std::string> name = job.host->AskOutputName(job.outputName);
        if (!name) {
            job.prompts = prompts;
            job.outputReplacesInput = replaces;
            job.inPlace = false;
            if (opened) CloseDocFile(opened);
            return 0;
        }
        job.outputName = *name;
        if (IsInput(*name, in)) job.outputReplacesInput = true;
        clock.Restart();  // the dialog's time is the user's
        r = OpenRepairOutput(job, in, &out, true);
    }
    clock.Done("output");
    job.prompts = prompts;
    AddListLine(job.log, header);
    if (r == -1) AddListLine(job.log, Text(Msg::RepairCanceled));
    if (r != 0) {
        job.inPlace = false;
        release();
        return 1;
    }
    const bool inPlace = job.inPlace;
    if (job.scramble) job.inPlace = false;
    const std::string target = Resolved(inPlace ? in->path : job.outputName);
    const uint32_t options = job.Options();
    auto writeFailed = [&] {
        RepairBox(Text(Msg::ErrorWritingFile) + (inPlace ? job.repairedFileName : job.outputName));
        return false;
    };

    bool ok = true;
    if (job.extract) {
        ok = CopyHeader(job, out, in) == 0 && ExtractDocumentText(job, out, in) == 0;
    } else {
        // The run's own full check of the file it reads: never the tables
        // some earlier operation left.
        c.doc.packets.clear();
        c.check.refs.clear();
        c.check.ranges.clear();
        c.check.complete = false;
        RunDocumentCheck(in, SilentTarget());
        clock.Done("check");
        if (!c.check.complete) {
            AddListLine(job.log, Text(Msg::RepairCanceled));
            ok = false;
        }
        ok = ok && CopyHeader(job, out, in) == 0 && RebuildPrefixArea(job, out, in, options) == 0;
        clock.Done("prefix");
        ok = ok && CopyDocumentBody(job, out, in, options) == 0;
        clock.Done("body");
        // The copy goes to the file while it is checked from memory.
        if (ok && BeginFlushDocFile(out) != 0) ok = writeFailed();
        if (ok) {
            // The copy is checked as the document it is now.
            c.doc.packets.clear();
            c.check.refs.clear();
            c.doc.changed = true;
            const int32_t length = SeekDocFile(out, 0, 2);
            c.doc.dataLength = length > 0 ? static_cast<uint32_t>(length) : 0;
            ListTarget* report = job.findings ? job.findings : SilentTarget();
            if (RecheckDocument(out, report) == 0) ok = false;
            clock.Done("recheck");
            if (ok && FlushDocFile(out) != 0) ok = writeFailed();
            clock.Done("write");
            if (ok && !job.scramble && c.check.complete)
                ok = QWFixPacketCounts(job.log) == 1 && WriteIndex(out, job.log) == 1;
            clock.Done("index");
        }
    }
    if (ok && !CommitTemporary(job, out, target)) {
        ok = writeFailed();
    } else if (!ok) {
        DiscardTemporary(job, out);
    } else if (job.extract) {
        job.textWritten = true;
    }
    clock.Done("flush+sync");
    release();
    clock.Done("release");
    if (ok && !job.scramble && !job.extract) job.inPlace = true;
    if (job.host) job.host->ScrollLists();
    // An extraction is no document to load.
    if (ok && job.host && !job.extract) {
        const bool follow = job.followDocument;
        job.followDocument = false;
        job.host->LoadDocument(inPlace ? job.repairedFileName : job.outputName);
        job.followDocument = follow;
    }
    return 1;
}

}  // namespace engine
