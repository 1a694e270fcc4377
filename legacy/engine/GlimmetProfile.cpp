#include "legacy/engine/GlimmetProfile.h"

#include <array>
#include <cstring>

#include "engine/Describer.h"
#include "graphics/Dialect.h"
#include "graphics/Records.h"
#include "legacy/engine/GlimmetCheck.h"
#include "legacy/engine/GlimmetDescribers.h"
#include "legacy/engine/GlimmetScanner.h"

namespace legacy {

namespace {

using engine::DescriberGroup;
using F = engine::FunctionDescriberId;

// The older describers know fewer subfunctions in four groups and describe
// fewer of them; the other groups are Salvino's.
constexpr auto kD1 = DescriberGroup<28>({{F::WidowOrphan, {6}}});
constexpr auto kD2 = DescriberGroup<14>();
constexpr auto kD3 = DescriberGroup<18>();
constexpr auto kD4 = DescriberGroup<98>(
    {{F::LinesToDisplay, {9}}, {F::ProofingLevel, {95}}, {F::TabRegion, {96, 97}}});

using GroupRows = std::span<const engine::FunctionDescriberId>;
constexpr size_t kGroups = engine::kLastDescribedGroup - engine::kFirstDescribedGroup + 1;

const std::array<GroupRows, kGroups>& FunctionRows() {
    static const auto rows = [] {
        std::array<GroupRows, kGroups> t{};
        const auto shared = engine::SalvinoDescriberRows().functions;
        for (size_t g = 0; g < t.size() && g < shared.size(); ++g) t[g] = shared[g];
        t[0xD1 - engine::kFirstDescribedGroup] = kD1;
        t[0xD2 - engine::kFirstDescribedGroup] = kD2;
        t[0xD3 - engine::kFirstDescribedGroup] = kD3;
        t[0xD4 - engine::kFirstDescribedGroup] = kD4;
        return t;
    }();
    return rows;
}

// Salvino's packet describers less the border line style and border style.
const std::array<engine::PacketDescriberId, engine::kPacketDescriberTypes>& PacketRows() {
    static const auto rows = [] {
        std::array<engine::PacketDescriberId, engine::kPacketDescriberTypes> t{};
        const auto shared = engine::SalvinoDescriberRows().packets;
        for (size_t i = 0; i < t.size() && i < shared.size(); ++i) t[i] = shared[i];
        t[0x42] = t[0x44] = engine::PacketDescriberId::None;
        return t;
    }();
    return rows;
}

// The older handler table: types 0-63, with 58 and 59 read as no-ops.
std::span<const graphics::RecordRow> RecordRows() {
    static const auto rows = [] {
        std::array<graphics::RecordRow, 64> t{};
        const auto shared = graphics::SalvinoRecordTable();
        for (size_t i = 0; i < t.size(); ++i) t[i] = shared[i];
        const graphics::RecordRow* noop = nullptr;
        for (const graphics::RecordRow& r : shared)
            if (r.title && std::strcmp(r.title, "No-op") == 0 && !noop) noop = &r;
        if (noop) t[58] = t[59] = *noop;
        return t;
    }();
    return rows;
}

}  // namespace

const engine::DescriberRows& GlimmetDescriberRows() {
    static const engine::DescriberRows rows{PacketRows(), FunctionRows()};
    return rows;
}

const graphics::DumpDialect& GlimmetDumpDialect() {
    static const graphics::DumpDialect dialect{
        .hexDumpLimit = 0,
        .newlineSuffixAsBlank = true,
        .outline = &GlimmetOutlineNumbering(),
        .testsMajorVersion = false,
        .records = RecordRows(),
        .lastMaskedType = 63,
        .olderHandlers = true,
        .olderGraphicText = true,
    };
    return dialect;
}

const engine::Profile& GlimmetProfile() {
    // Outside a check nothing is counted: each check makes its own counts.
    static const UseCounts kNoCheck(0);
    static const engine::Profile profile{
        .appName = "Glimmet",
        .tagOffsetMask = 0x0FFFFFFF,
        .tagCrossRef = 0,
        .tagBlockBits = 12,
        .olderCodeLines = true,
        .nameOverlays = GlimmetNameOverlays(),
        .textRuns = &GlimmetTextRuns(),
        .walkDamage = &GlimmetWalkDamage(),
        .refCounter = &kNoCheck,
        .dumpDialect = &GlimmetDumpDialect(),
        .describerRows = &GlimmetDescriberRows(),
        .describerLimits = {.fieldDump = 1024, .packetShown = 64000, .packetHead = 4096},
        .describers = &GlimmetDescriberBindings(),
        .olderPacketDetail = true,
        .variableFunction = &DescribeVariableFunction,
        .messages = GlimmetMessages(),
    };
    return profile;
}

}  // namespace legacy
