// The messages the older inspector words its own way. Each row is checked
// against the shared form's conversions when compiled.

#include "legacy/engine/GlimmetProfile.h"

namespace legacy {

namespace {

using engine::MessageOverlayRow;
using engine::Msg;

constexpr MessageOverlayRow kMessages[] = {
    // the file header: every value in plain hex
    {Msg::HeaderProductType, "Product type   = 0x%X"},
    {Msg::HeaderFileType, "File Type      = 0x%X"},
    {Msg::HeaderMajorVersion, "Major Version  = 0x%X"},
    {Msg::HeaderMinorVersion, "Minor Version  = 0x%X"},
    {Msg::HeaderEncryptionKey, "Encryption key = 0x%X"},
    // check findings and verdicts
    {Msg::ChildIdTooLarge, "Prefix ID is to large!"},
    {Msg::InvalidByte, "**Invalid 0xFF byte in prefix text block"},
    {Msg::UseMismatchLine, "Prefix ID#%04x Use Packet=%u, Calc=%u Hidden Packet=%u, Calc=%u. Type (%s)"},
    {Msg::Max1Line, "MAX1 error. Prefix ID#%04x  Use=%u, Calc=%u  Hidden=%u, Calc=%u. Type (%s)"},
    {Msg::VerdictSound, "Document is OK"},
    // graphics dump: the end-of-data line stands on a line of its own
    {Msg::UnexpectedEof, "\nUnexpected EOF while reading data.\n"},
};

}  // namespace

std::span<const engine::MessageOverlayRow> GlimmetMessages() { return kMessages; }

}  // namespace legacy
