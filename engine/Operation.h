#pragma once
// Which engine operation runs, and the sink switches it runs with. One
// value for the process (in the EngineContext), set only through an
// OperationScope, which puts back the operation and the switches it found
// on every way out. Printing is not an operation: it is the sink's printer,
// beside whatever runs.

#include <cstdint>

#include "engine/Targets.h"

namespace engine {

enum class Operation : uint8_t {
    None,
    CheckCount,   // the check's counting passes
    CheckBook,    // the check's cross reference: uses are booked
    UsageList,    // the uses of one packet
    Listing,      // a listing or search of the body or the packets
    Detail,       // the detail of one packet or one code
    Repair,
    RepairProbe,  // the repair reads one function's prefix ids
};

// The sink's switches an operation sets.
struct SinkSwitches {
    int32_t stopValue = 0;  // -1 cross reference; the packet sought by a usage walk
    ListTarget* defaultList = nullptr;
    bool usageList = false;
    ListTarget* describerTarget = nullptr;
};

// The switches as they are now.
SinkSwitches CurrentSwitches();

class OperationScope {
public:
    OperationScope(Operation op, const SinkSwitches& switches);
    // Keeps the switches as they are.
    explicit OperationScope(Operation op);
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    Operation previous_;
    SinkSwitches previousSwitches_;
};

Operation CurrentOperation();
bool InCheck();  // counting or booking
// A describer adds its findings to the check's count only while the check
// runs with a real default list, and books only in its cross reference.
bool DescriberCounts();
bool DescriberBooks();

}  // namespace engine
