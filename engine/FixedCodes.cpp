// Fixed-length functions 0xF0-0xFE and the undo markers among them.
#include <algorithm>
#include <string>

#include "engine/Codes.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"

namespace engine {

namespace {

constexpr uint8_t kUndoMarker = 0xF1;
enum : uint8_t { kStartInvalid = 0, kEndInvalid = 1, kStartValid = 2, kEndValid = 3 };

const char* UndoMarkerName(uint8_t kind) {
    switch (kind) {
        case kStartInvalid: return "Start of Invalid Text";
        case kEndInvalid: return "End of Invalid Text";
        case kStartValid: return "Start of Valid Text";
        case kEndValid: return "End of Valid Text";
        default: return "UnDefined";
    }
}

struct FixedText {
    std::string name;
    std::string detail;
};

FixedText Texts(std::span<const uint8_t> b) {
    const uint8_t code = GetU8(b, 0);
    const auto at = [&](size_t i) { return static_cast<unsigned>(GetU8(b, i)); };
    switch (code) {
        case 0xF0:
            return {Format("Extended Char:  Character=0x%02X QW char set=0x%02X", at(1), at(2)),
                    Format("FixedLen code: %02X %02X %02X %02X ", at(0), at(1), at(2), at(3))};
        case kUndoMarker: {
            const unsigned level = GetU16(b, 2);
            return {UndoMarkerName(GetU8(b, 1)),
                    Format("FixedLen code: %02X %02X %04X %02X  Level: %d", at(0), at(1), level,
                           at(4), static_cast<int>(level))};
        }
        case 0xF2:
            return {Format("%s On", AttributeName(GetU8(b, 1)).c_str()),
                    Format("FixedLen code: %02X %02X %02X ", at(0), at(1), at(2))};
        case 0xF3:
            return {Format("%s Off", AttributeName(GetU8(b, 1)).c_str()),
                    Format("FixedLen  code: %02X %02X %02X ", at(0), at(1), at(2))};
        case 0xFB:
        case 0xFC:
            return {code == 0xFB ? "Highlight On" : "Highlight Off",
                    Format("FixedLen code: %02X r=0x%02X g=0x%02X b=0x%02X s=0x%02X %02X", at(0),
                           at(1), at(2), at(3), at(4), at(5))};
        case 0xFD:
            return {
                "Check-As-You-Go",
                Format("FixedLen code: 0xFD,  Type:%s,  NewLevel:%04X,  OldLevel:%04X,  Tool:%s",
                       LookupKeyName(GetU8(b, 1), CheckTypeKeys()),
                       static_cast<unsigned>(GetU16(b, 2)), static_cast<unsigned>(GetU16(b, 4)),
                       LookupKeyName(GetU8(b, 6), CheckToolKeys()))};
        default: return {"UnDefined", Format("FixedLen function code: %02X  UnDefined", at(0))};
    }
}

// The undo state an 0xF1 marker leaves behind. During the cross-reference
// pass (stop value -1) the areas are booked for the repair as well.
void ApplyUndoMarker(std::span<const uint8_t> b, uint32_t offset, bool valid) {
    EngineContext& c = Ctx();
    CheckState& check = c.check;
    if (!valid) {
        check.undoStart = 0;
        c.sink.invalidTextMarker = 0;
        return;
    }
    const bool crossReference = c.sink.stopValue == -1;
    const uint16_t level = GetU16(b, 2);
    switch (GetU8(b, 1)) {
        case kStartInvalid:
            c.sink.invalidTextMarker = 1;
            check.undoLevel = level;
            if (crossReference) check.undoStart = offset;
            break;
        case kEndInvalid:
            if (level != check.undoLevel) break;
            c.sink.invalidTextMarker = -1;
            if (crossReference) CloseInvalidRange(offset + 5);
            break;
        case kStartValid:
        case kEndValid:
            // A valid-text marker outside an undo area is booked on its own.
            if (check.undoStart == 0 && crossReference) {
                check.undoStart = offset;
                CloseInvalidRange(offset + 5);
            }
            break;
        default: break;
    }
}

}  // namespace

void ShowCodeTitle(ListTarget* sink, std::string_view title) {
    if (!sink) return;
    if (WindowHost* w = Ctx().hosts.window) {
        std::string& shown = Ctx().describer.title;
        shown.assign(title);
        w->SetTitle(shown);
    }
}

uint32_t DescribeFixedFunction(std::span<const uint8_t> item, ListTarget* sink, uint32_t offset,
                               bool singleDescription, uint32_t groupMask, uint32_t classMask,
                               int mode, bool sizeOnly, bool valid) {
    const uint8_t code = GetU8(item, 0);
    const uint32_t length = FixedFunctionLength(code);
    if (sizeOnly || length == 0) return length;

    const auto bytes = item.first(std::min<size_t>(length, item.size()));
    if (!sink && !singleDescription) {
        // Lines for no sink reach nothing; the check walks without one.
        if (code == kUndoMarker) ApplyUndoMarker(bytes, offset, valid);
        AddCodeLine(nullptr, {}, offset, false, groupMask, classMask, code);
        return length;
    }
    const FixedText text = sink ? Texts(bytes) : FixedText{};
    if (code == kUndoMarker) ApplyUndoMarker(bytes, offset, valid);

    if (singleDescription) {
        ShowCodeTitle(sink, text.name);
        if (mode == kModeHex)
            HexDump(static_cast<int64_t>(bytes.size()), bytes, sink);
        else
            PrintLine(sink, text.detail);
    } else {
        AddCodeLine(sink, text.name, offset, false, groupMask, classMask, code);
    }
    return length;
}

void CloseInvalidRange(uint32_t end) {
    CheckState& check = Ctx().check;
    if (check.undoStart != 0 && end > check.undoStart) {
        check.totals.undoBytes += end - check.undoStart;
        AppendInvalidRange(kRangeUndo, 0, check.undoStart, end - check.undoStart);
    }
    check.undoStart = 0;
}

}  // namespace engine
