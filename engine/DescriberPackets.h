#pragma once
// The packet describers, one per layout; DescriberBindings.cpp binds them
// to their rows.

#include <cstdint>

#include "engine/Describer.h"
#include "engine/Document.h"

namespace engine {

void DescribeFilenamePacket(const PacketEntry& entry, uint32_t id);
void DescribeTextPacket(const PacketEntry& entry, uint32_t id);
void DescribeBookmarkPacket(const PacketEntry& entry, uint32_t id);
void DescribeCounterStylePacket(const PacketEntry& entry, uint32_t id);
void DescribeSummaryPacket(const PacketEntry& entry, uint32_t id);
void DescribeInitialFontPacket(const PacketEntry& entry, uint32_t id);
void DescribeStylePacket(const PacketEntry& entry, uint32_t id);
void DescribeLongFilenamePacket(const PacketEntry& entry, uint32_t id);
void DescribeBoxStylePacket(const PacketEntry& entry, uint32_t id);
void DescribeLineStylePacket(const PacketEntry& entry, uint32_t id);
void DescribeFillStylePacket(const PacketEntry& entry, uint32_t id);
void DescribeBorderStylePacket(const PacketEntry& entry, uint32_t id);
void DescribeBoxGroupPacket(const PacketEntry& entry, uint32_t id);
void DescribeDesiredFontPacket(const PacketEntry& entry, uint32_t id);
void DescribeObjectNamePacket(const PacketEntry& entry, uint32_t id);
void DescribeObjectListPacket(const PacketEntry& entry, uint32_t id);
void DescribeAssistantDataPacket(const PacketEntry& entry, uint32_t id);
void DescribeEquationBoxPacket(const PacketEntry& entry, uint32_t id);

// The forms an older describer of the same layout takes.
struct StyleForm {
    bool valueLines;         // the type, flag and description-offset fields have lines of their own
    const char* localStyle;  // the line of a style whose library bit is clear
};
void DescribeStylePacketAs(const PacketEntry& entry, uint32_t id, const StyleForm& form);
void DescribeFillStylePacketAs(const PacketEntry& entry, uint32_t id, FieldFormat<1> total);
// `border`: the border part, after its blank line.
void DescribeBoxStylePacketWith(const PacketEntry& entry, uint32_t id, void (*border)());

}  // namespace engine
