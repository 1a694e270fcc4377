// Until the packet and function-data describers land: their data as a dump.
#include "engine/Codes.h"
#include "engine/Describe.h"
#include "engine/Document.h"

namespace engine {

void DescribePacket(DocFile* f, uint32_t id, ListTarget* target) { DumpPacketData(f, id, target); }

void DescribeFunctionData(uint16_t, uint16_t, std::span<const uint8_t> function) {
    HexDumpFunction(function);
}

}  // namespace engine
