#include "graphics/Records.h"

#include <algorithm>

#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "graphics/Dialect.h"
#include "graphics/GraphicsState.h"
#include "graphics/Reader.h"

namespace graphics {

namespace {

constexpr int kModeHex = 263;
constexpr int kTypeEnd = 2;

std::span<const RecordRow> Records() {
    const std::span<const RecordRow> rows = CurrentDumpDialect().records;
    return rows.empty() ? SalvinoRecordTable() : rows;
}

const RecordRow* Handler(int type) {
    const std::span<const RecordRow> rows = Records();
    if (type <= 0 || static_cast<size_t>(type) >= rows.size() || !rows[static_cast<size_t>(type)].handler)
        return nullptr;
    return &rows[static_cast<size_t>(type)];
}

bool Selected(int type, uint32_t mask33to64, uint32_t mask1to32) {
    if (type <= 32) return ((mask1to32 >> (type - 1)) & 1u) != 0;
    if (type <= CurrentDumpDialect().lastMaskedType) return ((mask33to64 >> (type - 33)) & 1u) != 0;
    return true;
}

const char* ClassText(int c) {
    switch (c) {
        case 2: return "Button Class Record ";
        case 3: return "Page Class Record ";
        case 4: return "Client Class Record ";
        case 5: return "Backdrop Class Record ";
        case 6: return "Shadow Class Record ";
        case 7: return "Extrusion Class Record ";
        case 8: return "Line Cap Class Record ";
        case 9: return "Line Join Class Record ";
        default: return nullptr;
    }
}

// n bytes of the record dropped, counted; the end of data shows its line.
bool SkipCounted(uint32_t n) {
    GraphicsState& g = Gfx();
    const uint32_t before = QwgReaderTell(g.file);
    if (QwgReaderSkip(g.file, n)) {
        g.bytePosition += n;
        return true;
    }
    g.bytePosition += QwgReaderTell(g.file) - before;
    ReadQwgByte();
    return false;
}

// An unknown type: its lines, then its data dropped up to the record end.
bool SkipUnknown(int type) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    if (g.headerLinesOff && !g.quiet)
        out.EmitFormatted("Unknown opcode %xh (%d).", static_cast<unsigned>(type), type);
    else
        out.EmitFormatted("Unknown opcode %xh (%d). ", static_cast<unsigned>(type), type);
    if (!g.headerLinesOff) {
        const unsigned long at = g.bytePosition - 1;
        out.EmitFormatted("    File Offset %lxh (%lu) ", at, at);
    }
    ReadRecordLength(kAnyLength);
    return SkipCounted(g.recordEnd > g.bytePosition ? g.recordEnd - g.bytePosition : 0);
}

// The count of associated records or the length as the header-only line
// shows them.
std::string HeaderNumber(uint32_t v) {
    if (v <= 254) return engine::Format("0x%02X", v);
    if (v <= 32768) return engine::Format("0x%04X", v);
    return engine::Format("0x%08X", v);
}

// The selected record's header on one line, then the record in hex from its
// first byte (or its data alone when the header is no longer buffered).
int DumpHeaderOnly() {
    GraphicsState& g = Gfx();
    const uint32_t start = g.bytePosition;
    const int recordClass = ReadQwgByte();
    if (recordClass < 0) return 0;
    const int type = ReadQwgByte();
    if (type < 0) return 0;
    uint32_t extBytes = 0, lenBytes = 0;
    const uint32_t ext = ReadVarNumber(&extBytes);
    const uint32_t length = ReadVarNumber(&lenBytes);
    if (g.endOfData) return 0;
    std::string line = engine::Format("Offset = 0x%X, -", start);
    line += engine::Format(" Class= 0x%02X", static_cast<unsigned>(recordClass));
    line += engine::Format(", Type= 0x%02X", static_cast<unsigned>(type));
    line += ", Extns= " + HeaderNumber(ext);
    line += ", Len= " + HeaderNumber(length);
    engine::PrintLine(g.sink, line);
    g.hexDump += 1;
    const uint32_t headerSize = 2 + extBytes + lenBytes;
    if (QwgReaderCursor(g.file) >= headerSize) {
        QwgReaderBackUp(g.file, headerSize);
        g.bytePosition -= headerSize;
        g.out.HexDumpRest(headerSize + length);
    } else {
        engine::PrintLine(g.sink, "Header not displayed");
        g.out.HexDumpRest(length);
    }
    return 1;
}

constexpr int kHeaderEnded = -1;
constexpr int kUnknownEnded = -3;

// What follows a record's class byte: the type, or where the data ended.
int ReadRecordAfterClass(uint32_t mask33to64, uint32_t mask1to32, bool masked) {
    GraphicsState& g = Gfx();
    ++g.recordCounter;
    const int type = ReadRecordType();
    ReadRecordExtension();
    if (g.endOfData) return kHeaderEnded;
    if (const RecordRow* row = Handler(type)) {
        if (masked) {
            g.quiet = !Selected(type, mask33to64, mask1to32);
            row->handler(*row);
            g.quiet = true;
        } else {
            row->handler(*row);
        }
        return type;
    }
    return SkipUnknown(type) ? type : kUnknownEnded;
}

}  // namespace

void DumpGenericRecord(const RecordRow& row) {
    GraphicsState& g = Gfx();
    g.out.EmitRecordTitle(row.title);
    ReadRecordLength(row.expectedLength);
    g.out.HexDumpRest(g.recordEnd > g.bytePosition ? g.recordEnd - g.bytePosition : 0);
}

int ReadRecordClass() {
    GraphicsState& g = Gfx();
    // A record the data ended in: the loop ends at this header.
    if (g.endOfData) return -1;
    if (g.bytePosition < g.recordEnd) {
        const uint32_t left = g.recordEnd - g.bytePosition;
        g.out.EmitError("Warning:  All data not read in previous record, %ld bytes left over.",
                        static_cast<long>(left));
        const uint32_t before = QwgReaderTell(g.file);
        const bool ok = QwgReaderSkip(g.file, left);
        g.bytePosition += QwgReaderTell(g.file) - before;
        if (!ok) return -1;
    } else if (g.bytePosition > g.recordEnd) {
        g.out.EmitError("Error:  Read past end of last record, %ld extra bytes read.",
                        static_cast<long>(g.bytePosition - g.recordEnd));
        QwgReaderSeek(g.file, g.recordEnd, 0);
        g.bytePosition = g.recordEnd;
    }
    if (g.recordLimit != kNoRecordLimit && g.bytePosition >= g.recordLimit) return kAtRecordLimit;
    g.bytePosition += 1;
    const int c = QwgReaderNextByte(g.file);
    if (c < 0 || g.headerLinesOff) return c;
    const unsigned long at = g.bytePosition - 1;
    if (const char* text = ClassText(c))
        g.out.EmitFormatted("%s%sat File Offset %lxh (%lu) ", g.out.Indentation().c_str(), text, at, at);
    else
        g.out.EmitFormatted("Unknown Record Class at File Offset %lxh (%lu) ", at, at);
    return c;
}

int ReadRecordType() { return ReadQwgByte(); }

uint32_t ReadRecordExtension() {
    const uint32_t count = ReadVarNumber();
    if (count != 0) {
        DumpPrinter& out = Out();
        out.AnnounceAssociated(count);
        out.EmitIndented("%lu Record(s) Associated with this Record ", static_cast<unsigned long>(count));
    }
    return count;
}

uint32_t ReadRecordLength(uint16_t expected) {
    GraphicsState& g = Gfx();
    const uint32_t length = ReadVarNumber();
    if (g.detail)
        g.out.EmitIndented("Record Length = %lxh (%lu) ", static_cast<unsigned long>(length),
                           static_cast<unsigned long>(length));
    // A nested record ends with its enclosing record at the latest.
    const uint64_t end = std::min<uint64_t>(static_cast<uint64_t>(g.bytePosition) + length, g.recordLimit);
    g.recordEnd = static_cast<uint32_t>(end);
    if (expected != kAnyLength && static_cast<int16_t>(expected) != static_cast<int64_t>(length))
        g.out.EmitError("Expected Record Length of %u, got %u.", static_cast<unsigned>(expected),
                        static_cast<unsigned>(length));
    return length;
}

int DumpQwgRecords(uint32_t mask33to64, uint32_t mask1to32, bool single, int mode) {
    GraphicsState& g = Gfx();
    g.quiet = true;
    g.endOfData = false;
    g.out.ResetOutline();
    if (single && mode == kModeHex) return DumpHeaderOnly();
    for (;;) {
        const int c = ReadRecordClass();
        if (c < 0 || g.endOfData) break;
        const int type = ReadRecordAfterClass(mask33to64, mask1to32, true);
        if (type == kUnknownEnded) return 0;
        if (type < 0) break;
        if (type == kTypeEnd || single) break;
    }
    return 1;
}

int DumpEmbeddedRecords() {
    GraphicsState& g = Gfx();
    const uint32_t kept = g.recordEnd;
    const uint32_t outerLimit = g.recordLimit;
    g.recordEnd = g.bytePosition;
    if (g.bytePosition >= kept) {
        g.recordEnd = kept;
        return 1;
    }
    g.recordLimit = std::min(kept, outerLimit);
    int result = 1;
    for (;;) {
        if (g.stoppedInside) break;
        // The next header starts at the record end, whatever was read.
        if (g.quietStop != kNoRecordLimit && g.recordEnd >= g.quietStop) {
            g.stoppedInside = std::make_shared<GraphicsState>(g);
            break;
        }
        const int c = ReadRecordClass();
        if (c == kAtRecordLimit) break;
        if (c < 0) {
            result = 0;
            break;
        }
        const int type = ReadRecordAfterClass(0, 0, false);
        if (type < 0) {
            result = 0;
            break;
        }
        if (type == kTypeEnd || g.bytePosition >= kept) break;
    }
    g.recordEnd = kept;
    g.recordLimit = outerLimit;
    return result;
}

}  // namespace graphics
