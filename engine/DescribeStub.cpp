// Until the packet describers land: the packet's data as a dump.
#include "engine/Describe.h"
#include "engine/Document.h"

namespace engine {

void DescribePacket(DocFile* f, uint32_t id, ListTarget* target) { DumpPacketData(f, id, target); }

}  // namespace engine
