#pragma once
// The graphics dumper's entry points. A graphic is a graphics file of its
// own (base 0) or a stream stored at a base offset inside another file;
// every offset the dump shows or takes is relative to that base. All three
// return 1 when the stream was dumped and 0 when its prefix was refused.

#include <cstdint>

#include "graphics/Reader.h"
#include "graphics/Records.h"

namespace engine {
class ListTarget;
}

namespace graphics {

// One record in detail from a list line's item data: mode 263 its header and
// hex dump, 264 the record decoded.
int DumpQwgRecordAt(engine::DocFile* file, engine::ListTarget* sink, uint32_t itemData, int mode,
                    uint32_t base);
// Every record, one title line each, numbered by nesting.
int ListQwgRecords(engine::DocFile* file, engine::ListTarget* sink, int unused, uint32_t mask33to64,
                   uint32_t mask1to32, uint32_t base);
// A silent pass whose only output is its error lines in `errorList`.
int CheckQwgRecords(engine::DocFile* file, engine::ListTarget* errorList, uint32_t base);

// The document load closes every outline level before it opens a file.
void CloseQwgOutline();

// The 0xFF "QWC" prefix at the base: 1 when it is accepted, with the byte
// position at the first record.
int ReadFilePrefix(uint8_t* productType, uint8_t* fileType, uint32_t base);

// The graphics section of a presentation file, from the byte position on;
// `single` stops after the outline section. Returns 1.
int DumpSlideDirectory(uint32_t mask33to64, uint32_t mask1to32, bool single, int mode, uint32_t base);
// One page form block of the setup section.
void DumpFormBlock();

}  // namespace graphics
