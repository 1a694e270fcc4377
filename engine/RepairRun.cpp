// One repair run: the output file (a temporary file beside the document
// when the output is the document itself), the passes, the check of the
// copy, and the rename that replaces the document only after all of it
// has succeeded.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

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

bool Exists(const std::string& path, struct stat* st) { return stat(path.c_str(), st) == 0; }

// The file a path leads to, through links; the path itself when it cannot
// be resolved.
std::string Resolved(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string RandomName(const std::string& folder) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device rd;
    std::string name = folder + "/qw_";
    for (int i = 0; i < 12; ++i) name += kChars[rd() % (sizeof kChars - 1)];
    return name + ".tmp";
}

// A new file beside the document, created exclusively under a random name,
// with the document's permissions.
DocFile* CreateTemporary(const std::string& document, bool compound, std::string* name) {
    const std::string target = Resolved(document);
    struct stat st {};
    const bool known = stat(target.c_str(), &st) == 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string path = RandomName(FolderOf(target));
        if (compound) {
            struct stat none {};
            if (stat(path.c_str(), &none) == 0) continue;
            DocFile* f = OpenDocFile(path, kOpenRead | kOpenWrite | kOpenCreate | kOpenExclusive | kOpenCompound);
            if (!f) return nullptr;
            *name = path;
            return f;
        }
        const int fd = storage::OpenRegularFile(path, O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        if (known) (void)fchmod(fd, st.st_mode & 07777);
        auto* f = new DocFile;
        f->fd = fd;
        f->path = path;
        *name = path;
        return f;
    }
    return nullptr;
}

// Drops a temporary output: nothing of it remains on disk.
void DiscardTemporary(DocFile* f, std::string& name) {
    if (!f) return;
    if (f->IsCompound()) {
        f->root.reset();  // never closed: never written
        f->fd = -1;
    }
    CloseDocFile(f);
    if (!name.empty()) unlink(name.c_str());
    name.clear();
}

// Writes the temporary output to disk and renames it over the document.
bool CommitTemporary(DocFile* f, std::string& name, const std::string& document) {
    bool ok = true;
    if (!f->IsCompound() && fsync(f->fd) != 0) ok = false;
    if (!ok) {
        DiscardTemporary(f, name);
        return false;
    }
    if (CloseDocFile(f) != 0) ok = false;
    if (ok && rename(name.c_str(), Resolved(document).c_str()) != 0) ok = false;
    if (!ok) unlink(name.c_str());
    name.clear();
    return ok;
}

bool IsTemporary(const RepairJob& job, DocFile* out) { return out && !job.temporaryName.empty() && out->path == job.temporaryName; }

// Objects storage and the root's other elements of a compound input go into
// the output; the root's class id too.
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
    if (auto id = src.GetClassId(storage::kRoot)) dst.SetClassId(storage::kRoot, *id);
    return true;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int OpenRepairOutput(RepairJob& job, DocFile* in, DocFile** out, bool ask) {
    *out = nullptr;
    const std::string& name = job.outputName;
    const bool same = SameFile(name, job.repairedFileName);
    if (same && job.extract) return 1;  // the text would replace the document
    if (same && !job.outputReplacesInput && !job.inPlace) {
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
    struct stat st {};
    if ((job.prompts && !same) || job.extract) {
        if (Exists(name, &st)) {
            if (S_ISDIR(st.st_mode)) {
                RepairBox(Format("Error, %s is a directory", name.c_str()));
                return 1;
            }
            if (access(name.c_str(), W_OK) != 0) {
                RepairBox(Format("Error, %s is set as READ ONLY!", name.c_str()));
                return 1;
            }
            if (Ask(Format("File \"%s\" exists.  Do you want to Replace it?", name.c_str()), "",
                    MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes)
                return 1;
        }
    }
    const bool compound = in->IsCompound() && !job.extract;
    // Only the document itself is replaced through a temporary file; an
    // output that is not the document is never written over it.
    DocFile* f = nullptr;
    if (same) {
        f = CreateTemporary(job.repairedFileName, compound, &job.temporaryName);
    } else {
        f = OpenDocFile(name, kOpenRead | kOpenWrite | kOpenCreate | (compound ? uint32_t{kOpenCompound} : 0u));
    }
    if (!f) {
        DocFile* ro = OpenDocFile(name, kOpenRead);
        if (!ro) {
            RepairBox("Could not open File:" + name);
        } else {
            CloseDocFile(ro);
            RepairBox(name + " is READ ONLY, modification NOT made!");
        }
        return 1;
    }
    auto fail = [&](const std::string& text) {
        RepairBox(text);
        if (same) DiscardTemporary(f, job.temporaryName);
        else CloseDocFile(f);
        return 1;
    };
    const int32_t inLength = SeekDocFile(in, 0, 2);
    if (inLength < 0) return fail("Error reading file: " + job.repairedFileName);
    if (inLength == 0) return fail(name + " file was empty!");
    if (SeekDocFile(f, 0, 2) > 0) return fail(name + " file not empty!");
    if (compound && !CopyCompoundParts(in, f)) return fail("Error initializing Docfile " + name);
    if (SeekDocFile(f, 0, 0) != 0 || SeekDocFile(in, 0, 0) != 0)
        return fail("Error reading file: " + job.repairedFileName);
    if (!same && job.host) {
        if (!job.host->BatchRunning()) job.host->ClearLog();
        AddListLine(job.log, Format("File: %s  ----- Date: %s", name.c_str(), Ctx().doc.dateText.c_str()));
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
    if (job.scramble) {
        header += ": REPLACING ALL ASCII TEXT WITH \"Z\"'s";
        job.inPlace = false;
    }
    if (job.extract) header += ": Extracting all ASCII text from the file";
    job.removed.clear();
    job.temporaryName.clear();

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
    };

    const bool prompts = job.prompts;
    DocFile* out = nullptr;
    int r = OpenRepairOutput(job, in, &out, true);
    job.prompts = false;
    while (r == 1 && job.host) {
        std::optional<std::string> name = job.host->AskOutputName(job.outputName);
        if (!name) {
            job.prompts = prompts;
            if (opened) CloseDocFile(opened);
            return 0;
        }
        job.outputName = *name;
        if (SameFile(*name, job.repairedFileName)) job.outputReplacesInput = true;
        r = OpenRepairOutput(job, in, &out, true);
    }
    job.prompts = prompts;
    AddListLine(job.log, header);
    if (r == -1) AddListLine(job.log, "Repair Canceled!");
    if (r != 0) {
        release();
        return 1;
    }
    const bool temporary = IsTemporary(job, out);
    const uint32_t options = job.Options();

    // Never from the counts of a check that did not come to its verdict.
    bool ok = true;
    if (!job.extract && !c.check.complete) {
        RunDocumentCheck(in, SilentTarget());
        if (!c.check.complete) {
            AddListLine(job.log, "Repair Canceled!");
            ok = false;
        }
    }
    ok = ok && CopyHeader(job, out, in) == 0 && RebuildPrefixArea(job, out, in, options) == 0 &&
         DropOrphanFunctions(job, out, in, options) == 0 && CopyDocumentBody(job, out, in, options) == 0;

    if (ok) {
        // The copy is checked as the document it is now.
        c.doc.packets.clear();
        c.check.refs.clear();
        c.doc.changed = true;
        const int32_t length = SeekDocFile(out, 0, 2);
        c.doc.dataLength = length > 0 ? static_cast<uint32_t>(length) : 0;
        ListTarget* report = job.findings ? job.findings : SilentTarget();
        if (RecheckDocument(out, report) == 0) ok = false;
        if (ok && !job.scramble && c.check.complete)
            ok = QWFixPacketCounts(job.log) == 1 && WriteIndex(out, job.log) == 1;
    }
    if (temporary) {
        if (ok && !CommitTemporary(out, job.temporaryName, job.repairedFileName)) {
            RepairBox("Error Writing file: " + job.repairedFileName);
            ok = false;
        } else if (!ok) {
            DiscardTemporary(out, job.temporaryName);
        }
    } else if (CloseDocFile(out) != 0 && ok) {
        RepairBox("Error Writing file: " + job.outputName);
        ok = false;
    }
    release();
    if (job.host) job.host->ScrollLists();
    if (ok && job.host) {
        const bool follow = job.followDocument;
        job.followDocument = false;
        job.host->LoadDocument(temporary ? job.repairedFileName : job.outputName);
        job.followDocument = follow;
    }
    return 1;
}

}  // namespace engine
