#include "engine/Operation.h"

#include "engine/EngineContext.h"

namespace engine {

namespace {
void Apply(const SinkSwitches& s) {
    EngineContext& c = Ctx();
    c.sink.stopValue = s.stopValue;
    c.sink.defaultList = s.defaultList;
    c.sink.usageList = s.usageList;
    c.describer.currentTarget = s.describerTarget;
}
}  // namespace

SinkSwitches CurrentSwitches() {
    const EngineContext& c = Ctx();
    return SinkSwitches{c.sink.stopValue, c.sink.defaultList, c.sink.usageList, c.describer.currentTarget};
}

OperationScope::OperationScope(Operation op, const SinkSwitches& switches)
    : previous_(Ctx().operation), previousSwitches_(CurrentSwitches()) {
    Ctx().operation = op;
    Apply(switches);
}

OperationScope::OperationScope(Operation op) : OperationScope(op, CurrentSwitches()) {}

OperationScope::~OperationScope() {
    Ctx().operation = previous_;
    Apply(previousSwitches_);
}

Operation CurrentOperation() { return Ctx().operation; }

bool InCheck() {
    const Operation op = Ctx().operation;
    return op == Operation::CheckCount || op == Operation::CheckBook;
}

bool DescriberCounts() { return InCheck() && Ctx().sink.defaultList != nullptr; }

bool DescriberBooks() { return Ctx().operation == Operation::CheckBook; }

}  // namespace engine
