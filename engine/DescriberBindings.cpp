// The operation behind each describer id. A row stays none until its
// describer is built; its packets and functions get the generic display.
#include "engine/Describer.h"
#include "engine/DescriberPackets.h"

namespace engine {

namespace {

constexpr size_t Id(PacketDescriberId id) { return static_cast<size_t>(id); }

constexpr auto MakePacketOps() {
    using P = PacketDescriberId;
    std::array<PacketDescriber, Id(P::Count)> ops{};
    ops[Id(P::Filename)] = &DescribeFilenamePacket;
    ops[Id(P::Text)] = &DescribeTextPacket;
    ops[Id(P::Bookmark)] = &DescribeBookmarkPacket;
    ops[Id(P::CounterStyle)] = &DescribeCounterStylePacket;
    ops[Id(P::Summary)] = &DescribeSummaryPacket;
    ops[Id(P::InitialFont)] = &DescribeInitialFontPacket;
    ops[Id(P::Style)] = &DescribeStylePacket;
    ops[Id(P::LongFilename)] = &DescribeLongFilenamePacket;
    ops[Id(P::BoxStyle)] = &DescribeBoxStylePacket;
    ops[Id(P::LineStyle)] = &DescribeLineStylePacket;
    ops[Id(P::FillStyle)] = &DescribeFillStylePacket;
    ops[Id(P::BorderStyle)] = &DescribeBorderStylePacket;
    ops[Id(P::BoxGroup)] = &DescribeBoxGroupPacket;
    ops[Id(P::DesiredFont)] = &DescribeDesiredFontPacket;
    ops[Id(P::ObjectName)] = &DescribeObjectNamePacket;
    ops[Id(P::ObjectList)] = &DescribeObjectListPacket;
    ops[Id(P::AssistantData)] = &DescribeAssistantDataPacket;
    ops[Id(P::EquationBox)] = &DescribeEquationBoxPacket;
    return ops;
}
constexpr auto kPacketOps = MakePacketOps();

// ---- Function-data describers ----

constexpr std::array<FunctionDescriber, static_cast<size_t>(FunctionDescriberId::Count)> kFunctionOps{};

}  // namespace

const DescriberBindings& BuiltDescribers() {
    static const DescriberBindings built{kPacketOps, kFunctionOps};
    return built;
}

}  // namespace engine
