#pragma once
// What the older inspector's dumper does differently with its lines, as
// data and one strategy, chosen through the engine's Profile.

#include <cstdint>

namespace graphics {

class OutlineNumbering;

struct DumpDialect {
    uint32_t hexDumpLimit;        // bytes of a record's rest shown; 0 shows all of it
    bool newlineSuffixAsBlank;    // while building a line, a suffix led by a newline is one blank
    const OutlineNumbering* outline;
};

const DumpDialect& SalvinoDumpDialect();
// The dialect of the context's profile.
const DumpDialect& CurrentDumpDialect();

}  // namespace graphics
