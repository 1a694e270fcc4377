#pragma once
// Names and describers of the codes of the document area: single-byte
// codes, fixed-length functions (with the undo markers) and
// variable-length functions.

#include <cstdint>
#include <span>

#include "engine/Targets.h"

namespace engine {

// Length of a fixed-length function by its code byte, 0 outside 0xF0-0xFE.
uint32_t FixedFunctionLength(uint8_t code);

const char* SingleByteCodeName(uint8_t code);
const char* AttributeName(uint8_t attribute);

struct KeyName {
    const char* name;  // nullptr ends a list
    uint16_t key;
};
const char* LookupKeyName(uint16_t key, const KeyName* list);

// The item's length; with `sizeOnly` nothing else happens. `valid` is the
// walker's valid flag.
uint32_t DescribeFixedFunction(std::span<const uint8_t> item, ListTarget* sink, uint32_t offset,
                               bool singleDescription, uint32_t groupMask, uint32_t classMask,
                               int mode, bool sizeOnly, bool valid);
// Books the open undo area up to `end`.
void CloseInvalidRange(uint32_t end);

// 1 when the function is accepted, 0 when refused (damage to the walker).
// `item` holds exactly the function's bytes.
int DescribeVariableFunction(std::span<const uint8_t> item, ListTarget* sink,
                             bool singleDescription, uint32_t offset, int mode,
                             uint32_t groupMask, uint32_t classMask);

}  // namespace engine
