#pragma once
// What the older inspector's dumper does differently with its lines, as
// data and one strategy, chosen through the engine's Profile (its end-of-data
// line is the profile's form of Msg::UnexpectedEof).

#include <cstdint>
#include <span>

namespace graphics {

class OutlineNumbering;
struct RecordRow;

struct DumpDialect {
    uint32_t hexDumpLimit;        // bytes of a record's rest shown; 0 shows all of it
    bool newlineSuffixAsBlank;    // while building a line, a suffix led by a newline is one blank
    const OutlineNumbering* outline;
    bool testsMajorVersion = true;  // a detailed prefix refuses a major version below 2
    // The handlers by type (row 0 has none); types past the table are
    // unknown. Empty: Salvino's table.
    std::span<const RecordRow> records{};
    // Types up to here are chosen by the masks; those after, always shown.
    uint8_t lastMaskedType = 64;
    // The older record handlers: ruler guides read to their count, an object
    // image that describes its own capsule entry, a group's area always
    // read, capsules not listed one by one.
    bool olderHandlers = false;
    // The older text codes: control-code lines end with a line feed, and
    // of group 0xD3 only sub-functions 5 and 14 read past their code.
    bool olderGraphicText = false;
};

const DumpDialect& SalvinoDumpDialect();
// The dialect of the context's profile.
const DumpDialect& CurrentDumpDialect();

}  // namespace graphics
