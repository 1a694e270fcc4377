#pragma once
// Names and describers of the codes of the document area: single-byte
// codes, fixed-length functions (with the undo markers) and
// variable-length functions.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/Profile.h"
#include "engine/Targets.h"

namespace engine {

// ---- Name tables ----

// Length of a fixed-length function by its code byte, 0 outside 0xF0-0xFE.
uint32_t FixedFunctionLength(uint8_t code);

const char* SingleByteCodeName(uint8_t code);
// "Ignore " (bit 0x80) followed by the name of the low 6 bits.
std::string AttributeName(uint8_t attribute);

// Key lists of the spell-check marker (0xFD).
const NameTable& CheckTypeKeys();
const NameTable& CheckToolKeys();
// The name of the first row whose key equals `key`; "Undefined" when none.
const char* LookupKeyName(uint16_t key, const NameTable& list);

// Key of a (group, subfunction) pair in the name table.
constexpr uint32_t VarFunctionKey(uint8_t group, uint8_t subfunction) {
    return group + 256u * subfunction;
}
// The pair's row, or the fallback name of its group.
const char* VariableFunctionText(uint32_t key);

// The tables as they stand, for the table tests.
const NameTable& SingleByteCodeNames();
const NameTable& AttributeNames();
const NameTable& TabGroupNames();
const NameTable& VariableFunctionNames();

// ---- Describers ----

// The main window title of a single description. A walk without a sink
// (the repair's probe) leaves the title alone.
void ShowCodeTitle(ListTarget* sink, std::string_view title);

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
                             bool singleDescription, uint32_t offset, int mode, uint32_t groupMask,
                             uint32_t classMask);
// Shows the function's name: the window title of a single description,
// else a code line (numbered while the stop value is -1).
void VariableFunctionName(uint32_t key, ListTarget* sink, uint32_t offset, bool singleDescription,
                          uint32_t groupMask, uint32_t classMask);
// The flags lines; 1 when a prefix-id list follows (bit 0x80).
int FunctionFlagsText(uint8_t flags, ListTarget* sink);
// Keeps the id count and the function's total size for the repair's probe.
void RecordFunctionProbe(uint32_t idCount, std::span<const uint8_t> function);
// How group 0xD0's data is shown; the older describer's form differs.
struct SubfunctionForm {
    bool lineFeeds = false;         // the three size lines end with a line feed
    bool details = true;            // a subfunction's flag lines follow its name
    bool formulaWord = true;        // a formula's length is the word at byte 1 (else the byte)
    const char* unknown = nullptr;  // listed for a code outside the table; none: no line
};
// Group 0xD0's data area, from its first size word up to the trailer.
void DescribeSubfunctionData(std::span<const uint8_t> area, ListTarget* sink, const SubfunctionForm& form = {});
// The embedded table subfunctions in the first `length` bytes; 1.
int DescribeEmbeddedSubfunctions(uint32_t length, std::span<const uint8_t> bytes, ListTarget* sink,
                                 const SubfunctionForm& form = {});
// A group 0xD0 function's data from `dataArea` and its ending line.
void DescribeTableFunctionData(std::span<const uint8_t> fn, uint32_t dataArea, ListTarget* sink,
                               const SubfunctionForm& form = {});
// The data area of another group as sizes and dumps, its non-deletable
// size being below the function's size.
void DumpFunctionSizes(std::span<const uint8_t> fn, uint32_t dataArea, ListTarget* sink);
// A hex dump of the whole function (its u16 size) to the describer target.
void HexDumpFunction(std::span<const uint8_t> function);

}  // namespace engine
