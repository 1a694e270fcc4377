// The operation behind each describer id. A row stays none until its
// describer is built; its packets and functions get the generic display.
#include "engine/Describer.h"

namespace engine {

namespace {

constexpr std::array<PacketDescriber, static_cast<size_t>(PacketDescriberId::Count)> kPacketOps{};
constexpr std::array<FunctionDescriber, static_cast<size_t>(FunctionDescriberId::Count)> kFunctionOps{};

}  // namespace

const DescriberBindings& BuiltDescribers() {
    static const DescriberBindings built{kPacketOps, kFunctionOps};
    return built;
}

}  // namespace engine
