#include "engine/Document.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

#include "engine/Captions.h"
#include "engine/Check.h"
#include "engine/Describe.h"
#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/PacketNames.h"
#include "engine/Progress.h"
#include "engine/StorageTree.h"

namespace engine {

namespace {

constexpr uint32_t kProgressFromEntries = 200;

void ShowBox(const char* text) {
    if (MessageService* m = Ctx().hosts.messages)
        m->Show(text, "Error", MsgIcon::Error, MsgButtons::Ok);
}

std::string DateText(time_t t) {
    struct tm tmv {};
    if (!localtime_r(&t, &tmv)) return {};
    int hour = tmv.tm_hour % 12;
    return Format("%02d-%02d-%02d  %d:%02d%c ", tmv.tm_mon + 1, tmv.tm_mday, tmv.tm_year % 100,
                  hour, tmv.tm_min, tmv.tm_hour < 12 ? 'a' : 'p');
}

uint32_t ClampedDiff(uint32_t a, uint32_t b) { return a > b ? a - b : 0; }

}  // namespace

bool PacketFilter::Admits(uint32_t id, uint8_t type) const {
    bool bit = (words[type / 32] >> (type % 32)) & 1u;
    if (type == 0 && id != 0) return bit && (words[7] & 0x80000000u);
    return bit;
}

DocFile* OpenDocumentFile(const std::string& path, FileHeader* header, int* readOnly, bool* whole) {
    DocumentState& doc = Ctx().doc;
    *readOnly = 0;
    *whole = false;
    DocFile* f = OpenDocFile(path, kOpenRead | kOpenWrite);
    if (!f) {
        f = OpenDocFile(path, kOpenRead | kOpenIgnored);
        if (!f) {
            ShowBox("File open failed.");
            return nullptr;
        }
        *readOnly = 1;
    }

    int32_t end = SeekDocFile(f, 0, 2);
    doc.dataLength = end > 0 ? static_cast<uint32_t>(end) : 0;
    doc.header = FileHeader{};
    *header = FileHeader{};
    int32_t got = -1;
    if (SeekDocFile(f, 0, 0) == 0) got = ReadDocFile(f, doc.header.bytes, sizeof doc.header.bytes);
    *header = doc.header;
    *whole = got >= static_cast<int32_t>(sizeof doc.header.bytes);
    return f;
}

DocFile* OpenDocument(const std::string& path, FileHeader* header, int* readOnly, int* verdict) {
    *verdict = kVerdictOpened;
    bool whole = false;
    DocFile* f = OpenDocumentFile(path, header, readOnly, &whole);
    if (!f) return nullptr;
    const FileHeader& h = Ctx().doc.header;

    auto refuse = [&](int v) {
        *verdict = v;
        CloseDocFile(f);
        return nullptr;
    };
    if (!whole || h.Signature() != kSignature) return refuse(kVerdictNoSignature);
    if (*readOnly == 0 && h.EncryptionKey() != 0) *readOnly = 1;
    if (h.ProductType() != 1 || (h.FileType() != 10 && h.FileType() != 17 && h.FileType() != 22))
        return refuse(kVerdictWrongType);
    if (h.FileType() == 22 && h.MajorVersion() < 2) {
        ShowBox("This file was recognized as a Quillwright Graphics version 1.x file.  Which is not "
                "supported by this product.");
        return refuse(kVerdictOpened);
    }
    if (h.MajorVersion() == 0) return refuse(kVerdictMajorZero);
    if (h.EncryptionKey() != 0) return refuse(kVerdictKeyed);
    AdoptDocument(f, path);
    return f;
}

void AdoptDocument(DocFile* f, const std::string& path) {
    DocumentState& doc = Ctx().doc;
    const FileHeader& h = doc.header;
    doc.prefixAreaSize = ClampedDiff(h.DocOffset(), h.IndexOffset());
    doc.codeAreaSize = ClampedDiff(doc.dataLength, h.DocOffset());
    doc.dateText.clear();
    doc.fileSize = 0;
    doc.packets.clear();
    struct stat st {};
    if (f->IsCompound()) {
        int64_t t = f->root->RootModificationTime();
        if (t != 0) doc.dateText = DateText(static_cast<time_t>(t));
        if (stat(path.c_str(), &st) == 0) doc.fileSize = static_cast<uint64_t>(st.st_size);
    } else if (fstat(f->fd, &st) == 0) {
        doc.dateText = DateText(st.st_mtime);
        doc.fileSize = static_cast<uint64_t>(st.st_size);
    }
    doc.file = f;
    doc.changed = true;
}

void CloseDocument(DocFile* f) {
    DocumentState& doc = Ctx().doc;
    doc.packets.clear();
    doc.packets.shrink_to_fit();
    CheckState& check = Ctx().check;
    check.refs = {};
    check.ranges = {};
    check.complete = false;
    if (doc.file == f) doc.file = nullptr;
    if (f) CloseDocFile(f);
}

int ReadIndex(DocFile* f, ListTarget* target) {
    DocumentState& doc = Ctx().doc;
    doc.packets.clear();
    Ctx().check.complete = false;  // the counts start again from zero
    if (SeekDocFile(f, 0, 0) != 0) {
        AddListLine(target, "I/O Error. Failed seek to offset 0");
        return 1;
    }
    doc.header = FileHeader{};
    ReadDocFile(f, doc.header.bytes, sizeof doc.header.bytes);
    const uint32_t pos = doc.header.IndexPosition();
    if (SeekDocFile(f, static_cast<int32_t>(pos), 0) != static_cast<int32_t>(pos)) {
        AddListLine(target, Text(Msg::SeekIndexFailed));
        return 1;
    }
    IndexEntry first;
    int32_t got = ReadDocFile(f, first.bytes, sizeof first.bytes);
    const uint32_t count = first.UseCount();
    if (doc.header.DocOffset() < 17 || got < static_cast<int32_t>(kIndexEntrySize) ||
        first.bytes[0] != 2 || count == 0) {
        AddListLine(target, "No Index in this file");
        return 0x10;
    }
    if (doc.header.IndexOffset() < 17) doc.header.SetIndexOffset(16);

    std::vector<uint8_t> raw;
    try {
        doc.packets.resize(count);
        raw.assign(static_cast<size_t>(count) * kIndexEntrySize, 0);
    } catch (const std::bad_alloc&) {
        doc.packets.clear();
        AddListLine(target, Text(Msg::NoMemory));
        return 1;
    }
    if (SeekDocFile(f, static_cast<int32_t>(pos), 0) != static_cast<int32_t>(pos)) {
        doc.packets.clear();
        AddListLine(target, Text(Msg::SeekIndexFailed));
        return 1;
    }
    // Entries past the end of the file stay zero (available).
    size_t filled = 0;
    while (filled < raw.size()) {
        int32_t n = ReadDocFile(f, raw.data() + filled, static_cast<uint32_t>(raw.size() - filled));
        if (n <= 0) break;
        filled += static_cast<size_t>(n);
    }
    for (uint32_t i = 0; i < count; ++i) {
        std::copy_n(raw.data() + size_t{i} * kIndexEntrySize, kIndexEntrySize,
                    doc.packets[i].entry.bytes);
        doc.packets[i].firstRefSlot = -1;
    }
    return 0;
}

std::vector<uint8_t> ReadPacketData(DocFile* f, const IndexEntry& e, uint32_t limit) {
    std::vector<uint8_t> data;
    uint32_t want = std::min(e.DataSize(), limit);
    if (want == 0 || e.DataOffset() > 0x7FFFFFFFu) return data;
    const uint32_t len = Ctx().doc.dataLength;
    if (len != 0) {
        if (e.DataOffset() >= len) return data;
        want = std::min(want, len - e.DataOffset());
    }
    if (SeekDocFile(f, static_cast<int32_t>(e.DataOffset()), 0) != static_cast<int32_t>(e.DataOffset()))
        return data;
    data.resize(want);
    int32_t n = ReadDocFile(f, data.data(), want);
    data.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return data;
}

void ForgetDocumentTables() {
    EngineContext& c = Ctx();
    c.doc.packets.clear();
    c.doc.packets.shrink_to_fit();
    c.check.refs.clear();
    c.check.refs.shrink_to_fit();
    c.doc.changed = true;
}

void DumpPacketData(DocFile* f, uint32_t id, ListTarget* target) {
    const auto& packets = Ctx().doc.packets;
    if (id >= packets.size()) return;
    std::vector<uint8_t> data = ReadPacketData(f, packets[id].entry, kMaxPacketDump);
    const DumpOriginScope origin(data, packets[id].entry.DataOffset());
    HexDump(static_cast<int64_t>(data.size()), data, target);
}

int PacketTypeOf(uint32_t id) {
    const auto& packets = Ctx().doc.packets;
    if (id >= packets.size()) return -1;
    return packets[id].entry.Type();
}

void ShowPacketHeader(DocFile* f, const PacketEntry& pe, uint32_t id, ListTarget* target,
                      bool detail, int mode, const PacketFilter* filter, bool headerOnly) {
    EngineContext& ctx = Ctx();
    const IndexEntry& e = pe.entry;
    if (ctx.sink.stopValue == -1 && id != 0) {
        CountPacketRefs(f, id, target, RefCountMode::Count);
        return;
    }
    const bool admitted = !filter || filter->Admits(id, id == 0 ? 0 : e.Type());
    const std::string name = id == 0 ? Text(Msg::IndexInformation) : PacketTypeName(e.Type(), id);

    if (!detail) {
        if (!admitted) return;
        if (!target && !ctx.sink.printer) return;  // the line would reach nothing
        std::string shown = name;
        if (id != 0 && e.Type() == 0 && e.DataSize() != 0) shown = "Deleted Packet";
        uint32_t tag = e.Type() == 0x6F ? kTagTextBlock + id : id;
        const bool framed = ctx.sink.printer && tag == ctx.sink.highlighted;
        if (framed) ctx.sink.highlightFlag = true;
        AddDataLine(target, Format("%2x) %s", id, shown.c_str()), tag);
        if (framed) ctx.sink.highlightFlag = false;
        return;
    }
    if (!admitted) return;

    if (ctx.sink.printer)
        PrintLine(target, Format("------Prefix Packet 0x%02X ---------------------", id));
    else if (ctx.describer.packetNameLabel)
        *ctx.describer.packetNameLabel = name;

    const uint32_t entryOffset = ctx.doc.header.IndexPosition() + id * kIndexEntrySize;
    if (mode == kModeHex) {
        PrintLine(target, Format("Header Information  (Offset: 0x%X)", entryOffset));
        {
            const DumpOriginScope origin(e.bytes, entryOffset);
            HexDump(kIndexEntrySize, e.bytes, target);
        }
        PrintLine(target, " ");
        if (id != 0 && !ctx.sink.usageList) {
            PrintLine(target, Format("Packet Information  (Offset: 0x%X)", e.DataOffset()));
            CountPacketRefs(f, id, target, RefCountMode::ListOnly);
        }
        return;
    }

    PrintLine(target, "Header Information");
    if (id == 0) {
        PrintLine(target, Format<Msg::TypeAndName>(e.Type(), Text(Msg::IndexInformation)));
        PrintLine(target, Format("Total # of packets= 0x%04X", e.UseCount()));
        return;
    }
    std::string flags = Format("flags=0x%02X ( ", e.Flags());
    if (e.Flags() & kFlagChildList) flags += "has child, ";
    if (e.Flags() & kFlagTextBlocks) flags += "map text, ";
    if (e.Flags() & kFlagMaxOneUse) flags += "max valid=1, ";
    if (e.Flags() & kFlagMinOneUse) flags += "min use=1 ";
    flags += ")";
    PrintLine(target, flags);
    PrintLine(target, Format<Msg::TypeAndName>(e.Type(), name.c_str()));
    PrintLine(target, Format("use cnt=0x%04X hide cnt=0x%04X", e.UseCount(), e.HiddenCount()));
    PrintLine(target, Format("size=0x%08lX  offset=0x%08lX", static_cast<unsigned long>(e.DataSize()),
                             static_cast<unsigned long>(e.DataOffset())));
    PrintLine(target, " ");
    if (headerOnly) return;
    if (e.Type() != 0) {
        PrintLine(target, "Packet Information");
        DescribePacket(f, id, target);
    } else {
        PrintLine(target, "DELETED Packet Information");
        CountPacketRefs(f, id, target, RefCountMode::ListOnly);
    }
}

int ScanPackets(DocFile* f, ListTarget* target, int32_t id, bool detail, int mode,
                const PacketFilter* filter, int captionId) {
    DocumentState& doc = Ctx().doc;
    if (doc.packets.empty() && ReadIndex(f, target) != 0) return 1;
    const uint32_t count = static_cast<uint32_t>(doc.packets.size());

    std::unique_ptr<CProgressDialog> progress;
    if (captionId != 0 && count >= kProgressFromEntries) {
        progress = std::make_unique<CProgressDialog>(captionId);
        if (progress->Create()) {
            progress->SetRange(0, static_cast<int>(count));
            progress->SetStep(1);
        } else {
            progress.reset();
        }
    }
    for (uint32_t i = 0; i < count; ++i) {
        const bool asked = id == kAllPackets || id == static_cast<int32_t>(i);
        if (i == 0) {
            if (asked) ShowPacketHeader(f, doc.packets[0], 0, target, detail, mode, filter, false);
        } else if (asked) {
            ShowPacketHeader(f, doc.packets[i], i, target, detail, mode, filter, false);
        } else {
            ShowPacketHeader(f, doc.packets[i], i, kNoTarget, false, mode, filter, false);
        }
        // The table can be released under us (a refused repair, a reread).
        if (doc.packets.size() != count) break;
        if (progress) {
            progress->StepIt();
            if (progress->CheckCancel()) {
                AddListLine(target, Text(Msg::Canceled));
                break;
            }
        }
    }
    return 0;
}

int ListAllPackets(DocFile* f, ListTarget* target, int mode, const PacketFilter* filter,
                   int captionId) {
    return ScanPackets(f, target, kAllPackets, false, mode, filter, captionId);
}

int ShowPacketDetail(DocFile* f, ListTarget* target, int32_t id, int mode,
                     const PacketFilter* filter) {
    return ScanPackets(f, target, id, true, mode, filter, 0);
}

void AppendAsciiColumn(std::string& line, std::span<const uint8_t> bytes, uint32_t count) {
    if (count & 0x8000u) return;
    if (count == 0) count = 16;
    count = std::min<uint32_t>(count, static_cast<uint32_t>(bytes.size()));
    for (uint32_t i = 0; i < count; ++i)
        line += bytes[i] < 32 ? '.' : static_cast<char>(bytes[i]);
}

namespace {
#if defined(__x86_64__) || defined(__i386__)
// The hex column of a whole row: the digits of the high and the low
// nibbles looked up sixteen at a time and shuffled to their places.
[[gnu::target("ssse3")]] void HexColumnBySsse3(const uint8_t* row, char* hex) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i digits = _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
    const __m128i high = _mm_shuffle_epi8(digits, _mm_and_si128(_mm_srli_epi16(x, 4), nibble));
    const __m128i low = _mm_shuffle_epi8(digits, _mm_and_si128(x, nibble));
    // Byte i's digits stand at 3 * i, one further from byte 8 on; -128 takes nothing.
    {
        const __m128i h = _mm_shuffle_epi8(high, _mm_setr_epi8(0, -128, -128, 1, -128, -128, 2, -128, -128, 3, -128, -128, 4, -128, -128, 5));
        const __m128i l = _mm_shuffle_epi8(low, _mm_setr_epi8(-128, 0, -128, -128, 1, -128, -128, 2, -128, -128, 3, -128, -128, 4, -128, -128));
        const __m128i blanks = _mm_setr_epi8(0, 0, 32, 0, 0, 32, 0, 0, 32, 0, 0, 32, 0, 0, 32, 0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(hex + 0), _mm_or_si128(_mm_or_si128(h, l), blanks));
    }
    {
        const __m128i h = _mm_shuffle_epi8(high, _mm_setr_epi8(-128, -128, 6, -128, -128, 7, -128, -128, -128, 8, -128, -128, 9, -128, -128, 10));
        const __m128i l = _mm_shuffle_epi8(low, _mm_setr_epi8(5, -128, -128, 6, -128, -128, 7, -128, -128, -128, 8, -128, -128, 9, -128, -128));
        const __m128i blanks = _mm_setr_epi8(0, 32, 0, 0, 32, 0, 0, 32, 32, 0, 0, 32, 0, 0, 32, 0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(hex + 16), _mm_or_si128(_mm_or_si128(h, l), blanks));
    }
    {
        const __m128i h = _mm_shuffle_epi8(high, _mm_setr_epi8(-128, -128, 11, -128, -128, 12, -128, -128, 13, -128, -128, 14, -128, -128, 15, -128));
        const __m128i l = _mm_shuffle_epi8(low, _mm_setr_epi8(10, -128, -128, 11, -128, -128, 12, -128, -128, 13, -128, -128, 14, -128, -128, 15));
        const __m128i blanks = _mm_setr_epi8(0, 32, 0, 0, 32, 0, 0, 32, 0, 0, 32, 0, 0, 32, 0, 0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(hex + 32), _mm_or_si128(_mm_or_si128(h, l), blanks));
    }
}

bool HasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif
}  // namespace

void HexDump(int64_t count, std::span<const uint8_t> bytes, ListTarget* target, TreeTarget* tree,
             TreeItem parent) {
    auto emit = [&](std::string_view line) {
        if (tree)
            AddTreeLine(tree, parent, line);
        else
            PrintLine(target, line);
    };
    if (count <= 0 || (!tree && !target)) return;  // lines for nobody are not built
    if (static_cast<uint64_t>(count) > bytes.size()) {
        emit("Invalid data size!");
        return;
    }
    constexpr size_t kHexWidth = 16 * 3 + 1;
    const size_t n = static_cast<size_t>(count);
    // Rows of bytes that lie in the dump origin carry their file offset.
    const int64_t origin = tree ? kNoFileOffset : DumpOriginOffset(bytes.first(n));
    // "%05x- " and "%02X " written directly into one row on the stack: a
    // dump is most of a detail's lines.
    static constexpr char kLower[] = "0123456789abcdef";
    // A byte's two digits and the blanks after them: stored four at a time,
    // the next byte's store overwrites the blanks.
    static constexpr auto kPairs = [] {
        std::array<std::array<char, 4>, 256> t{};
        for (size_t b = 0; b < t.size(); ++b)
            t[b] = {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15], ' ', ' '};
        return t;
    }();
    char line[24 + kHexWidth + 2 + 16];
#if defined(__x86_64__) || defined(__i386__)
    const bool ssse3 = HasSsse3();
#endif
    for (size_t at = 0; at < n; at += 16) {
        const size_t len = std::min<size_t>(16, n - at);
        size_t used = 0;
        if (at < 0x100000) {
            line[0] = kLower[(at >> 16) & 15];
            line[1] = kLower[(at >> 12) & 15];
            line[2] = kLower[(at >> 8) & 15];
            line[3] = kLower[(at >> 4) & 15];
            line[4] = kLower[at & 15];
            used = 5;
        } else {
            char digits[20];
            size_t k = 0;
            for (auto v = static_cast<uint64_t>(at); v != 0; v >>= 4) digits[k++] = kLower[v & 15];
            while (k > 0) line[used++] = digits[--k];
        }
        line[used++] = '-';
        line[used++] = ' ';
        char* hex = line + used;
        std::memset(hex, ' ', kHexWidth + 2);
        const uint8_t* row = bytes.data() + at;
        // A short last row is written as a whole one out of a copy; the
        // places of the missing bytes are blanked again.
        uint8_t last[16] = {};
        if (len < 16) {
            std::memcpy(last, row, len);
            row = last;
        }
        char* shown = hex + kHexWidth + 2;
#if defined(__x86_64__) || defined(__i386__)
        if (ssse3) {
            HexColumnBySsse3(row, hex);
        } else
#endif
        {
            for (size_t i = 0; i < 8; ++i) std::memcpy(hex + 3 * i, kPairs[row[i]].data(), 4);
            for (size_t i = 8; i < 16; ++i) std::memcpy(hex + 3 * i + 1, kPairs[row[i]].data(), 4);
        }
#if defined(__SSE2__)
        // Control characters become dots, sixteen at a time.
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(31)), x);
        const __m128i dots = _mm_and_si128(control, _mm_set1_epi8('.'));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(shown), _mm_or_si128(_mm_andnot_si128(control, x), dots));
#else
        for (size_t i = 0; i < 16; ++i) shown[i] = row[i] < 32 ? '.' : static_cast<char>(row[i]);
#endif
        if (len < 16) {
            const size_t blank = 3 * len + (len > 8 ? 1 : 0);
            std::memset(hex + blank, ' ', kHexWidth + 2 - blank);
        }
        used += kHexWidth + 2 + len;
        if (origin != kNoFileOffset) SetNextLineOffset(origin + static_cast<int64_t>(at));
        emit(std::string_view(line, used));
    }
}

void ListFileHeader(DocFile* f, ListTarget* target) {
    const FileHeader& h = Ctx().doc.header;
    PrintLine(target, Format<Msg::HeaderDocOffset>(h.DocOffset(), static_cast<int>(h.DocOffset())));
    PrintLine(target, Format<Msg::HeaderProductType>(h.ProductType()));
    PrintLine(target, Format<Msg::HeaderFileType>(h.FileType()));
    PrintLine(target, Format<Msg::HeaderMajorVersion>(h.MajorVersion()));
    PrintLine(target, Format<Msg::HeaderMinorVersion>(h.MinorVersion()));
    PrintLine(target, Format<Msg::HeaderEncryptionKey>(h.EncryptionKey()));
    if (h.IndexOffset() < 17) {
        PrintLine(target, Text(Msg::IndexOffsetLow));
    } else {
        PrintLine(target, Format<Msg::IndexOffsetLine>(h.IndexOffset(), h.IndexOffset()));
        uint8_t ext[12] = {};
        if (h.IndexOffset() > 27 && SeekDocFile(f, 16, 0) == 16 &&
            ReadDocFile(f, ext, sizeof ext) == static_cast<int32_t>(sizeof ext)) {
            PrintLine(target, "----Extended Header------");
            PrintLine(target, Format("Fixed entry count = 0x%02X", GetU8(ext, 0)));
            PrintLine(target, Format("Completeness indicator = 0x%02X", GetU8(ext, 1)));
            PrintLine(target, Format("Offset to proprietary data = 0x%04X", GetU16(ext, 2)));
            PrintLine(target, Format("File len = 0x%08X (%d)", GetU32(ext, 4), static_cast<int>(GetU32(ext, 4))));
            PrintLine(target, Format("Encryption version = 0x%04X", GetU16(ext, 8)));
            PrintLine(target, Format("Encryption flags = 0x%04X", GetU16(ext, 10)));
        }
    }
    if (f->IsCompound()) ScanPackets(f, target, kNoPacket, false, kModeDecoded, nullptr, 0);
}

void ShowFileFormat(DocFile* f, std::string* windowText, TreeTarget* tree, const FileHeader& header) {
    ListTarget* current = Ctx().describer.currentTarget;
    if (!f->IsCompound()) {
        const char* text = nullptr;
        if (header.FileType() == 10 || header.FileType() == 17)
            text = "File is a Quillwright 6.x format.";
        else if (header.FileType() == 22)
            text = "File is a QWG 2.x format.";
        if (!text) return;
        if (current)
            PrintLine(current, text);
        else if (windowText)
            *windowText = text;
        return;
    }
    std::string text;
    if (auto id = f->root->GetClassId(storage::kRoot)) {
        std::span<const uint8_t> c(*id);
        if (GetU32(c, 0) == 0)
            text = "Error, invalid or no Class ID.";
        else
            text = Format("%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                          static_cast<unsigned long>(GetU32(c, 0)), GetU16(c, 4), GetU16(c, 6), c[8],
                          c[9], c[10], c[11], c[12], c[13], c[14], c[15]);
    } else {
        text = "Error querying Class ID";
    }
    if (tree) {
        if (windowText) *windowText = text;
    } else {
        PrintLine(current, text);
    }
    ListStorageTree(f, tree, storage::kRoot, kTreeRoot);
}

}  // namespace engine
