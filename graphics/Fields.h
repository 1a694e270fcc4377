#pragma once
// Field reads of the record handlers in the current data precision.

#include <cstddef>
#include <cstdint>
#include <string>

#include "graphics/GraphicsState.h"

namespace graphics {

// A u16 in single precision, a u32 (low word first) in double precision.
uint32_t ReadCoordinate(Precision precision);
// A colour component: one byte, or a u16 when `wide`.
uint32_t ReadComponent(bool wide);
// 16-bit characters up to and including a zero one; the low byte of each
// is kept, at most `capacity` of them (the rest is still read). The end of
// data ends the string.
std::string ReadWordString(size_t capacity);

// How many of `count` elements of `size` bytes the record still holds
// whole.
uint32_t FittingElements(uint32_t count, uint32_t size);
// A count asked for `asked` bytes from the position where it was read:
// the reader goes to the record end and the byte position beyond it by
// what did not fit, which the next header reports.
void StopAtRecordEnd(uint32_t from, uint64_t asked);
// Bytes left in the record; 0 past its end.
uint32_t RecordLeft();

// The head of every graphics entity record: sets the current
// transformation and shows the flags and elements. Returns the bytes read.
uint32_t ReadCharacterization();

}  // namespace graphics
