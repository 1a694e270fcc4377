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

// The head of every graphics entity record: sets the current
// transformation and shows the flags and elements. Returns the bytes read.
uint32_t ReadCharacterization();

}  // namespace graphics
