#pragma once
// Record framing: the header operations, the table that picks a record
// type's handler, and the loops over the records at the top level and
// inside an enclosing record.

#include <cstddef>
#include <cstdint>
#include <span>

namespace graphics {

struct RecordRow;
struct FieldRow;
using RecordHandler = void (*)(const RecordRow& row);

// One row per record type: the title the list shows, the length the record
// must have (256: any), and what reads the record after its header.
struct RecordRow {
    const char* title;
    uint16_t expectedLength;
    RecordHandler handler;  // none for row 0: the loops never call it
    // The fields the handler reads and shows, for handlers that take rows.
    const FieldRow* fields = nullptr;
    uint16_t fieldCount = 0;
};

inline constexpr size_t kRecordTableRows = 71;
inline constexpr uint16_t kAnyLength = 256;

std::span<const RecordRow> SalvinoRecordTable();

// Title, length, and the rest of the record as hex (or skipped while the
// hex dump is off).
void DumpGenericRecord(const RecordRow& row);

// ReadRecordClass's result when nested records have reached the end of the
// enclosing record.
inline constexpr int kAtRecordLimit = -2;

// The class byte after the check of the previous record's end; -1 at the
// end of data.
int ReadRecordClass();
int ReadRecordType();
// The count of associated records; a non-zero count opens an outline level.
uint32_t ReadRecordExtension();
// Reads the length and sets the record end; `expected` other than 256 is
// checked.
uint32_t ReadRecordLength(uint16_t expected);

// The records from the byte position on: 1, or 0 when the data ends inside
// an unknown record (or, header only, inside the header).
int DumpQwgRecords(uint32_t mask33to64, uint32_t mask1to32, bool single, int mode);
// The records nested inside the current record: 1, or 0 when a header
// cannot be read.
int DumpEmbeddedRecords();

}  // namespace graphics
