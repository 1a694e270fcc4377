// Variable-length functions 0xD0-0xEF: header, prefix ids, flags, names
// and group 0xD0's subfunction data.
#include <algorithm>
#include <iterator>
#include <string>

#include "engine/Check.h"
#include "engine/CheckState.h"
#include "engine/Codes.h"
#include "engine/Describe.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Operation.h"
#include "engine/Format.h"
#include "engine/PacketNames.h"

namespace engine {

namespace {

constexpr uint8_t kTableGroup = 0xD0;
constexpr uint8_t kFlagPrefixIds = 0x80;
constexpr uint32_t kTrailerSize = 3;

// Bytes [from, to) of `b`, clipped to what `b` holds.
std::span<const uint8_t> Slice(std::span<const uint8_t> b, size_t from, size_t to) {
    from = std::min(from, b.size());
    to = std::clamp(to, from, b.size());
    return b.subspan(from, to - from);
}

void Dump(std::span<const uint8_t> bytes, ListTarget* sink) {
    HexDump(static_cast<int64_t>(bytes.size()), bytes, sink);
}

// Uses of packets are counted by the check's counting pass alone: the walk
// of the body with the check's list as default list and the stop value 0.
// A single description, a listing, the cross-reference pass (stop value -1)
// and a usage list (stop value = the packet sought) count nothing.
bool CountsUses(bool singleDescription) {
    const SinkState& s = Ctx().sink;
    return s.stopValue == 0 && s.defaultList != nullptr && !singleDescription;
}

struct FlagLine {
    uint8_t bit;
    const char* text;
};

constexpr FlagLine kRowFlags[] = {
    {0x01, "  Single Line of Text"}, {0x02, "  Fixed Height Row"},         {0x04, "  Header Row"},
    {0x08, "  Row can span pages"},  {0x10, "  Row has a minimum height"},
};
constexpr FlagLine kCellFlags[] = {
    {0x01, "  Use Cell attributes (not column's)"},
    {0x02, "  Use Cell justification (not column's)"},
    {0x40, "  Cell is ignored in calculations"},
    {0x80, "  Cell is locked"},
};
constexpr FlagLine kSpanFlags[] = {{0x80, "  Cell is spanned from above"}};
constexpr FlagLine kCellPrefixFlags[] = {
    {0x01, "  NO left line"},
    {0x02, "  NO right line"},
    {0x04, "  NO top line"},
    {0x08, "  NO bottom line"},
    {0x10, "  NO fill"},
    {0x80, "  Diagonal line bottom-left to top-right"},
    {0x40, "  Diagonal line top-left to bottom-right"},
};

constexpr uint8_t kFormula = 0x81;
constexpr uint8_t kCellInfo = 0x84;
constexpr uint8_t kReserved = 0x8A;

struct EmbeddedRow {
    uint8_t code;
    const char* line;
    uint8_t length;                   // 0: the u16 in bytes 1-2
    std::span<const FlagLine> flags;  // tested on byte 1
};

constexpr EmbeddedRow kEmbedded[] = {
    {0x80, "Row Information Embedded Subfunction", 5, kRowFlags},
    {kFormula, "New Cell Formula Embedded Subfunction", 0, {}},
    {0x82, "New Top Gutter Spacing Embedded Subfunction", 4, {}},
    {0x83, "New Bottom Gutter Spacing Embedded Subfunction", 4, {}},
    {kCellInfo, "Cell Information Embedded Subfunction", 9, kCellFlags},
    {0x85, "Cell Spanning Information Embeded Subfunction", 4, kSpanFlags},
    {0x86, "Cell Fill Colors Embedded Subfunction", 10, {}},
    {0x87, "Cell Line Color Embedded Subfunction", 6, {}},
    {0x88, "Cell Number Type Embedded Subfunction", 6, {}},
    {0x89, "Cell Floating Point Number Embedded Subfunction", 11, {}},
    {0x8B, "Cell Prefix Flag Embedded Subfunction", 3, kCellPrefixFlags},
    {0x8C, "Cell Recalculation Error Number Embedded subfunction", 3, {}},
    {0x8D, "Don't End a Paragraph Style for this Hard Return", 1, {}},
};

const char* Justification(uint8_t b) {
    switch (b & 7) {
        case 1: return "  Justification: Full";
        case 2: return "  Justification: Center";
        case 3: return "  Justification: Right";
        case 4: return "  Justification: All";
        case 5: return "  Justification: Decimal aligned";
        default: return "  Justification: Left";
    }
}

const char* Alignment(uint8_t b) {
    switch (b & 3) {
        case 1: return "  Aligned: Bottom";
        case 2: return "  Aligned: Center";
        default: return "  Aligned: Top";
    }
}

void EmbeddedDetails(const EmbeddedRow& row, std::span<const uint8_t> sub, ListTarget* sink) {
    for (const FlagLine& f : row.flags)
        if (GetU8(sub, 1) & f.bit) PrintLine(sink, f.text);
    if (row.code == kCellInfo) {
        PrintLine(sink, Justification(GetU8(sub, 2)));
        PrintLine(sink, Alignment(GetU8(sub, 3)));
    }
}

// The prefix ids of a function that has passed its length tests: counted,
// booked or sought, by the pass that is running.
void HandlePrefixIds(std::span<const uint8_t> fn, uint32_t n, ListTarget* sink,
                     bool singleDescription, uint32_t offset, uint32_t groupMask,
                     uint32_t classMask) {
    EngineContext& c = Ctx();
    auto& packets = c.doc.packets;
    const uint32_t count = static_cast<uint32_t>(packets.size());
    const bool counting = CountsUses(singleDescription);
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t id = GetU16(fn, 6 + 2 * i);
        const int32_t stop = c.sink.stopValue;
        if (stop == 0) {
            if (sink) {
                const std::string type =
                    id == 0 ? "" : PacketTypeName(packets[id].entry.Type(), id);
                AddDataLine(sink,
                            Format<Msg::PrefixRef>(static_cast<int>(i), id,
                                   type.c_str()),
                            kTagPacket + id);
            }
        } else if (stop == -1) {
            if (!c.check.refs.empty() && id > 0 && id < count)
                c.profile->refCounter->Book(0xFFFF, kRefBody, 0xFF, id, offset);
        } else if (stop > 0 && id == static_cast<uint32_t>(stop)) {
            // The numbered name line reaches the usage list only while the
            // stop value is -1.
            SinkSwitches numbered = CurrentSwitches();
            numbered.stopValue = -1;
            OperationScope scope(CurrentOperation(), numbered);
            VariableFunctionName(VarFunctionKey(GetU8(fn, 0), GetU8(fn, 1)), sink, offset,
                                 singleDescription, groupMask, classMask);
        }
        if (counting) c.profile->refCounter->CountUse(id, c.sink.invalidTextMarker != 0);
    }
}

// The data area of a group other than 0xD0 as sizes and dumps.
void DumpFunctionData(std::span<const uint8_t> fn, uint32_t size, uint32_t dataArea,
                      ListTarget* sink, uint32_t offset) {
    const uint32_t nonDeletable = GetU16(fn, dataArea);
    if (nonDeletable >= size) {
        AddListLine(sink, Format("ERROR! Size of Non-Deleteable Data is Too BIG: At offset 0x%06X",
                                 offset));
        return;
    }
    DumpFunctionSizes(fn, dataArea, sink);
}

}  // namespace

void DumpFunctionSizes(std::span<const uint8_t> fn, uint32_t dataArea, ListTarget* sink) {
    if (!sink) return;  // the dumps would reach nothing
    const uint32_t size = GetU16(fn, 2);
    const uint32_t nonDeletable = GetU16(fn, dataArea);
    const uint32_t trailer = size - kTrailerSize;
    PrintLine(sink, Format("  Size of Non-Deleteable Data: 0x%04X", nonDeletable));
    const uint32_t first = dataArea + 2;
    if (nonDeletable != 0) {
        // A size that runs into the trailer shows what lies before it.
        PrintLine(sink, "  Non-Deleteable DATA Dump:");
        Dump(Slice(fn, first, std::min(first + nonDeletable, trailer)), sink);
    }
    const uint32_t deletable = first + nonDeletable;
    if (deletable < trailer) {
        PrintLine(sink, "  Deletable DATA Dump:");
        Dump(Slice(fn, deletable, trailer), sink);
    }
    PrintLine(sink, Format("Ending Short Length and Group Byte: 0x%04X 0x%02X",
                           static_cast<unsigned>(GetU16(fn, trailer)),
                           static_cast<unsigned>(GetU8(fn, size - 1))));
}

int DescribeVariableFunction(std::span<const uint8_t> item, ListTarget* sink,
                             bool singleDescription, uint32_t offset, int mode, uint32_t groupMask,
                             uint32_t classMask) {
    EngineContext& c = Ctx();
    const uint8_t group = GetU8(item, 0);
    const uint8_t sub = GetU8(item, 1);
    const uint32_t size = GetU16(item, 2);
    const auto fn = item.first(std::min<size_t>(size, item.size()));

    if (singleDescription && mode != kModeHex)
        PrintLine(sink, FormatLine(SharedText(Msg::VariableCode), group, sub).View());
    VariableFunctionName(VarFunctionKey(group, sub), sink, offset, singleDescription, groupMask,
                         classMask);
    if (singleDescription && mode == kModeHex) {
        Dump(fn, sink);
        return 1;
    }
    // A plain listing, search, scramble or extraction needs the name line only.
    if (c.sink.stopValue == 0 && !singleDescription && c.sink.defaultList == nullptr) return 1;

    if (c.sink.stopValue == 0 && sink) PrintLine(sink, FormatLine(SharedText(Msg::FunctionSize), size).View());
    const bool hasIds = FunctionFlagsText(GetU8(fn, 4), sink) != 0;
    if (size < 10) {
        AddListLine(sink, Text(Msg::FunctionLengthTooSmall));
        return 0;
    }
    uint32_t dataArea = 5;
    if (hasIds) {
        const uint32_t n = GetU8(fn, 5);
        if (sink) PrintLine(sink, FormatLine("    # of PFX ID Refs: 0x%02X", n).View());
        if (size < 12) {
            AddListLine(sink, Text(Msg::FunctionLengthTooSmall));
            return 0;
        }
        dataArea = 6 + 2 * n;
        // The ids and the non-deletable size word must lie before the trailer.
        if (dataArea + 2 > size - kTrailerSize) {
            AddListLine(sink, Format<Msg::CannotFitChildren>(n));
            return 0;
        }
        const uint32_t count = static_cast<uint32_t>(c.doc.packets.size());
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t id = GetU16(fn, 6 + 2 * i);
            if (id >= count) {
                AddListLine(sink, Format("PFX Ref 0x%X (value=0x%X)is too large.  Max is 0x%X ", i,
                                         id, count));
                return 0;
            }
        }
        if (c.operation == Operation::RepairProbe) RecordFunctionProbe(n, fn);
        HandlePrefixIds(fn, n, sink, singleDescription, offset, groupMask, classMask);
    }
    if (c.sink.stopValue != 0) return 1;

    if (group != kTableGroup) {
        if (sink && mode != kModeHex)
            DescribeFunctionData(group, sub, fn);
        else
            DumpFunctionData(fn, size, dataArea, sink, offset);
        return 1;
    }
    DescribeTableFunctionData(fn, dataArea, sink);
    return 1;
}

void DescribeTableFunctionData(std::span<const uint8_t> fn, uint32_t dataArea, ListTarget* sink,
                               const SubfunctionForm& form) {
    const uint32_t size = GetU16(fn, 2);
    const uint8_t group = GetU8(fn, 0);
    const uint32_t trailer = size - kTrailerSize;
    if (GetU16(fn, dataArea) < size) DescribeSubfunctionData(Slice(fn, dataArea, trailer), sink, form);
    if (GetU16(fn, trailer) == size && GetU8(fn, size - 1) == group)
        PrintLine(sink, Format("  Ending Short Length and Group Byte: 0x%04X 0x%02X", size,
                               static_cast<unsigned>(group)));
}

void VariableFunctionName(uint32_t key, ListTarget* sink, uint32_t offset, bool singleDescription,
                          uint32_t groupMask, uint32_t classMask) {
    EngineContext& c = Ctx();
    if (!sink) {
        // The name reaches nothing; the numbering and the undo marking go on.
        if (singleDescription) return;
        if (c.sink.stopValue == -1) ++c.check.usageNumber;
        AddCodeLine(nullptr, {}, offset, false, groupMask, classMask, static_cast<uint8_t>(key));
        return;
    }
    const char* text = VariableFunctionText(key);
    const auto group = static_cast<uint8_t>(key);
    if (singleDescription) {
        ShowCodeTitle(sink, text);
        return;
    }
    if (c.sink.stopValue == -1) {
        ++c.check.usageNumber;
        AddCodeLine(sink,
                    sink ? Format("%2x) %s", static_cast<unsigned>(c.check.usageNumber), text)
                         : std::string(),
                    offset, false, groupMask, classMask, group);
        return;
    }
    AddCodeLine(sink, text, offset, false, groupMask, classMask, group);
}

int FunctionFlagsText(uint8_t flags, ListTarget* sink) {
    const unsigned f = flags;
    if (!sink) return (flags & kFlagPrefixIds) ? 1 : 0;  // the lines would reach nothing
    switch (flags & 7) {
        case 0: PrintLine(sink, FormatLine("Function Flags: Normal (%02X)", f).View()); break;
        case 1: PrintLine(sink, FormatLine("Function Flags: Simple Paired Function (%02X)", f).View()); break;
        case 2: PrintLine(sink, FormatLine("Function Flags: Encased Paired Function (%02X)", f).View()); break;
        case 3: PrintLine(sink, FormatLine("Function Flags: Encased Function (%02X)", f).View()); break;
        case 6: PrintLine(sink, FormatLine("Function Flags: Revert Off Function (%02X)", f).View()); break;
        case 7: PrintLine(sink, FormatLine("Function Flags: Revert On Function (%02X)", f).View()); break;
        default: break;  // kinds 4 and 5 have no name
    }
    if (flags & 0x40) PrintLine(sink, "                Ignore function code");
    if (flags & kFlagPrefixIds) PrintLine(sink, "                Prefix ID Structure follows");
    return (flags & kFlagPrefixIds) ? 1 : 0;
}

void RecordFunctionProbe(uint32_t idCount, std::span<const uint8_t> function) {
    CheckState& check = Ctx().check;
    check.probeIdCount = idCount;
    check.probeSize = GetU16(function, 2);
}

void DescribeSubfunctionData(std::span<const uint8_t> area, ListTarget* sink, const SubfunctionForm& form) {
    const uint32_t nonDeletable = GetU16(area, 0);
    const uint32_t deletable = GetU16(area, 2);
    if (form.lineFeeds) {
        PrintLine(sink, Format("Size of Non-Deleteable Subfunction Data: 0x%04X\n", nonDeletable));
        PrintLine(sink, Format("Size of Deleteable Subfunction Data: 0x%04X\n", deletable));
        PrintLine(sink, "Deleteable Data Dump:\n");
    } else {
        PrintLine(sink, Format("Size of Non-Deleteable Subfunction Data: 0x%04X", nonDeletable));
        PrintLine(sink, Format("Size of Deleteable Subfunction Data: 0x%04X", deletable));
        PrintLine(sink, "Deleteable Data Dump:");
    }
    Dump(Slice(area, 4, 4 + size_t{deletable}), sink);
    const int64_t embedded = int64_t{nonDeletable} - deletable - 2;
    if (embedded >= 0)
        DescribeEmbeddedSubfunctions(static_cast<uint32_t>(embedded),
                                     Slice(area, 4 + size_t{deletable}, area.size()), sink, form);
}

int DescribeEmbeddedSubfunctions(uint32_t length, std::span<const uint8_t> bytes,
                                 ListTarget* sink, const SubfunctionForm& form) {
    const auto area = bytes.first(std::min<size_t>(length, bytes.size()));
    size_t pos = 0;
    while (pos < area.size()) {
        const uint8_t code = area[pos];
        if (code == kReserved) {
            AddListLine(sink, "Error Subfunction 0x81 is reserved");
            ++pos;
            continue;
        }
        const auto row = std::find_if(std::begin(kEmbedded), std::end(kEmbedded),
                                      [&](const EmbeddedRow& r) { return r.code == code; });
        if (row == std::end(kEmbedded)) {
            if (form.unknown) AddListLine(sink, form.unknown);
            ++pos;
            continue;
        }
        const auto rest = area.subspan(pos);
        // A formula of length 0 still moves the scan on.
        const size_t stated = form.formulaWord ? GetU16(rest, 1) : GetU8(rest, 1);
        const size_t len = row->length != 0 ? row->length : std::max<size_t>(stated, 1);
        const auto sub = rest.first(std::min(len, rest.size()));
        PrintLine(sink, row->line);
        // A subfunction cut off by the end of the area shows only the bytes
        // that are there.
        if (sub.size() == len && form.details) EmbeddedDetails(*row, sub, sink);
        Dump(sub, sink);
        pos += sub.size();
    }
    return 1;
}

void HexDumpFunction(std::span<const uint8_t> function) {
    Dump(function.first(std::min<size_t>(GetU16(function, 2), function.size())),
         Ctx().describer.currentTarget);
}

}  // namespace engine
