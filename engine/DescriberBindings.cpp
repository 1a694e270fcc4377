// The operation behind each describer id. A row stays none until its
// describer is built; its packets and functions get the generic display.
#include "engine/Describer.h"
#include "engine/DescriberFunctions.h"
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

constexpr std::array<FunctionDescriber, static_cast<size_t>(FunctionDescriberId::Count)> MakeFunctionOps() {
    using F = FunctionDescriberId;
    std::array<FunctionDescriber, static_cast<size_t>(F::Count)> t{};
    const auto bind = [&t](F id, FunctionDescriber op) { t[static_cast<size_t>(id)] = op; };
    bind(F::NewWordValue, &DescribeNewWordValue);
    bind(F::NewByteValue, &DescribeNewByteValue);
    bind(F::OnOffState, &DescribeOnOffState);
    bind(F::AbsoluteRelative, &DescribeAbsoluteRelative);
    bind(F::SuppressFlags, &DescribeSuppressFlags);
    bind(F::WidowOrphan, &DescribeWidowOrphan);
    bind(F::LinesToDisplay, &DescribeLinesToDisplay);
    bind(F::StyleReference, &DescribeStyleReference);
    bind(F::NoDeletableData, &DescribeNoDeletableData);
    bind(F::TabRegion, &DescribeTabRegion);
    bind(F::ProofingLevel, &DescribeProofingLevel);
    bind(F::ColumnDefinition, &DescribeColumnDefinition);
    bind(F::DelayCodes, &DescribeDelayCodes);
    bind(F::MarginChange, &DescribeMarginChange);
    bind(F::BorderFunction, &DescribeBorderFunction);
    bind(F::DropCap, &DescribeDropCap);
    bind(F::TableDefinition, &DescribeTableDefinition);
    bind(F::RulePosition, &DescribeRulePosition);
    bind(F::BoxFunction, &DescribeBoxFunction);
    return t;
}
constexpr auto kFunctionOps = MakeFunctionOps();

}  // namespace

const DescriberBindings& BuiltDescribers() {
    static const DescriberBindings built{kPacketOps, kFunctionOps};
    return built;
}

}  // namespace engine
