// The older inspector's name tables, as changes to the shared ones.

#include "engine/Codes.h"
#include "engine/PacketNames.h"
#include "legacy/engine/GlimmetProfile.h"

namespace legacy {

namespace {

using engine::NameOverlay;
using engine::NameOverlayRow;
using engine::VarFunctionKey;

constexpr NameOverlayRow kPacketTypes[] = {
    {0x37, "Undefined"}, {0x38, "Undefined"}, {0x39, "Undefined"}, {0x3C, "Undefined"},
    {0x3D, "Undefined"}, {0x3E, "Undefined"}, {0x3F, engine::SharedText(engine::Msg::NativeFilename)}, {0x50, "Undefined"},
    {0x51, "Undefined"}, {0x5E, "Undefined"}, {engine::kAvailableEntryRow, "available entry"},
};

constexpr NameOverlayRow kSingleByte[] = {{0x98, "Unknown single byte function"}};

// Functions the older dialect does not know read as its group's fallback.
constexpr NameOverlayRow kVariable[] = {
    {VarFunctionKey(0xD1, 0x1C), nullptr}, {VarFunctionKey(0xD1, 0x1D), nullptr},
    {VarFunctionKey(0xD1, 0x1E), nullptr}, {VarFunctionKey(0xD1, 0x1F), nullptr},
    {VarFunctionKey(0xD3, 0x17), nullptr}, {VarFunctionKey(0xD3, 0x18), nullptr},
    {VarFunctionKey(0xD3, 0x19), nullptr}, {VarFunctionKey(0xD3, 0x1A), nullptr},
    {VarFunctionKey(0xD4, 0x1E), "SEt dot Leader Characters"},
    {VarFunctionKey(0xD4, 0x62), nullptr}, {VarFunctionKey(0xD4, 0x63), nullptr},
    {VarFunctionKey(0xD4, 0x64), nullptr}, {VarFunctionKey(0xD4, 0x65), nullptr},
    {VarFunctionKey(0xD4, 0x66), nullptr}, {VarFunctionKey(0xD4, 0x67), nullptr},
    {VarFunctionKey(0xD9, 0x0A), nullptr}, {VarFunctionKey(0xDA, 0x14), nullptr},
    {VarFunctionKey(0xDE, 0x20), nullptr},
    {VarFunctionKey(0xE1, 0x20), nullptr}, {VarFunctionKey(0xE1, 0x21), nullptr},
    {VarFunctionKey(0xE1, 0x22), nullptr}, {VarFunctionKey(0xE1, 0x23), nullptr},
    {VarFunctionKey(0xE1, 0x24), nullptr}, {VarFunctionKey(0xE1, 0x25), nullptr},
    {VarFunctionKey(0xE1, 0x26), nullptr}, {VarFunctionKey(0xE1, 0x27), nullptr},
    {VarFunctionKey(0xE1, 0x28), nullptr}, {VarFunctionKey(0xE1, 0x29), nullptr},
    {VarFunctionKey(0xE1, 0x2A), nullptr}, {VarFunctionKey(0xE1, 0x2B), nullptr},
    {VarFunctionKey(0xE1, 0x2C), nullptr}, {VarFunctionKey(0xE1, 0x2D), nullptr},
    {VarFunctionKey(0xE2, 0x0D), nullptr},
};

// No "5% fill"; the style names stand without their leading blanks.
constexpr NameOverlayRow kFills[] = {{11, nullptr}};
constexpr NameOverlayRow kStyleTypes[] = {
    {0, "Open style"}, {1, "Pared style"}, {2, "Paragraph style"}, {3, "Deleted (including codes)"},
    {4, "Deleted (leaving codes)"}, {5, nullptr},
};
constexpr NameOverlayRow kStyleFlags[] = {
    {0, "Library style"}, {1, "System style"}, {2, "Enter turns style off"},
    {3, "Enter sturs style back on again"}, {4, "Style includes other styles"}, {5, "Reserved"},
    {6, "Reserved"},
};

constexpr NameOverlay kOverlays[] = {
    {"PacketTypeNames", kPacketTypes}, {"SingleByteCodeNames", kSingleByte},
    {"VariableFunctionNames", kVariable}, {"StyleFill", kFills},
    {"StyleType", kStyleTypes}, {"StyleFlag", kStyleFlags},
};

}  // namespace

std::span<const NameOverlay> GlimmetNameOverlays() { return kOverlays; }

}  // namespace legacy
