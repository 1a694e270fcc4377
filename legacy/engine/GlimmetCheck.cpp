#include "legacy/engine/GlimmetCheck.h"

#include <algorithm>
#include <string>

#include "engine/Codes.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/Operation.h"
#include "engine/OutputSink.h"
#include "engine/PacketLayout.h"
#include "engine/PacketNames.h"
#include "legacy/engine/GlimmetScanner.h"

namespace legacy {

void UseCounts::Add(uint32_t id, bool hidden) const {
    if (id == 0 || id > counts_.size()) return;
    uint16_t& n = hidden ? counts_[id - 1].hidden : counts_[id - 1].uses;
    if (n != UINT16_MAX) ++n;
}

void UseCounts::Reset(std::vector<engine::PacketEntry>&) const {
    for (Count& c : counts_) c = Count{};
}

CountingScope::CountingScope(UseCounts* counts)
    : profile_(*engine::Ctx().profile), previous_(engine::Ctx().profile) {
    static const UseCounts kNowhere(0);
    profile_.refCounter = counts ? counts : &kNowhere;
    engine::Ctx().profile = &profile_;
}

CountingScope::~CountingScope() { engine::Ctx().profile = previous_; }

}  // namespace legacy

namespace legacy {

namespace {

using engine::AddItemDataLine;
using engine::Format;
using engine::ListTarget;

constexpr int kCaptionLoading = 57610;

}  // namespace

void ListFileHeader(engine::DocFile* f, ListTarget* target) {
    const engine::FileHeader& h = engine::Ctx().doc.header;
    using engine::Msg;
    engine::PrintLine(target, Format<Msg::HeaderDocArea>(h.DocOffset()));
    engine::PrintLine(target, Format<Msg::HeaderProductType>(h.ProductType()));
    engine::PrintLine(target, Format<Msg::HeaderFileType>(h.FileType()));
    engine::PrintLine(target, Format<Msg::HeaderMajorVersion>(h.MajorVersion()));
    engine::PrintLine(target, Format<Msg::HeaderMinorVersion>(h.MinorVersion()));
    engine::PrintLine(target, Format<Msg::HeaderEncryptionKey>(h.EncryptionKey()));
    engine::PrintLine(target, h.IndexOffset() <= 16 ? std::string(engine::Text(Msg::IndexOffsetLow))
                                                    : Format<Msg::IndexOffsetBytes>(h.IndexOffset()));
    if (f->IsCompound()) engine::ScanPackets(f, target, engine::kNoPacket, false, engine::kModeDecoded, nullptr, 0);
}

void CheckTextBlockCodes(std::span<const uint8_t> block, ListTarget* target, UseCounts* counts, uint32_t id) {
    const uint32_t tag = engine::kTagPacket + id;
    const size_t entries = engine::Ctx().doc.packets.size();
    const size_t n = block.size();
    auto finding = [&](const char* text) { AddItemDataLine(target, text, tag); };
    auto u16 = [&](size_t at) { return static_cast<uint16_t>(block[at] | block[at + 1] << 8); };
    for (size_t p = 0; p < n;) {
        const uint8_t c = block[p];
        if (c == 0x00) {
            finding(engine::Text(engine::Msg::NullByte));
            ++p;
        } else if (c == 0xFF) {
            engine::PrintLine(target, engine::Text(engine::Msg::InvalidByte));
            ++p;
        } else if (c < 0xD0) {
            ++p;
        } else if (c >= 0xF0) {
            p += std::max<uint32_t>(1, engine::FixedFunctionLength(c));
        } else {
            // The header and the id list are read only inside the block.
            bool passes = p + 4 > n;
            // Flag bit 0x80: a prefix-id list follows the flags.
            if (counts && !passes && p + 4 < n && (block[p + 4] & 0x80)) {
                passes = p + 6 > n;
                const size_t ids = passes ? 0 : block[p + 5];
                for (size_t i = 0; i < ids && !passes; ++i) {
                    const size_t at = p + 6 + 2 * i;
                    passes = at + 2 > n;
                    if (passes) break;
                    const uint32_t ref = u16(at);
                    if (ref != 0 && ref >= entries) finding(engine::Text(engine::Msg::PrefixIdOutOfRange));
                    else if (ref != 0) counts->Add(ref, false);
                }
            }
            if (passes) {
                finding(engine::Text(engine::Msg::EndLengthMismatch));
                return;
            }
            const auto size = static_cast<int16_t>(u16(p + 2));
            if (size < 1) {
                finding(engine::Text(engine::Msg::InvalidEndLength));
                return;
            }
            // A size below 4 puts the trailer inside the header: damage too.
            if (p + static_cast<size_t>(size) > n || size < 4) {
                finding(engine::Text(engine::Msg::EndLengthMismatch));
                return;
            }
            const auto end = p + static_cast<size_t>(size);
            if (u16(end - 3) != static_cast<uint16_t>(size))
                finding(engine::Text(engine::Msg::EndLengthMismatch));
            if (block[end - 1] != c) finding(engine::Text(engine::Msg::EndGroupMismatch));
            p = end;
        }
    }
}

int CountPacketRefs(engine::DocFile* f, uint32_t id, ListTarget* target, UseCounts* counts) {
    const auto& packets = engine::Ctx().doc.packets;
    const size_t entries = packets.size();
    if (id == 0 || id >= entries) return 0;
    const engine::IndexEntry& e = packets[id].entry;
    const uint32_t tag = engine::kTagPacket + id;
    const std::vector<uint8_t> data = engine::ReadPacketData(f, e, std::min<uint32_t>(e.DataSize(), 64000));
    const engine::PacketLayout layout = engine::ReadPacketLayout(e, data);
    // Only the ids the bytes hold.
    for (uint16_t child : layout.children) {
        if (counts && child >= entries) {
            AddItemDataLine(target, engine::Text(engine::Msg::TooManyChildren), tag);
            break;
        }
        if (child > entries) AddItemDataLine(target, engine::Text(engine::Msg::ChildIdTooLarge), tag);
        else if (counts) counts->Add(child, false);
    }
    for (const engine::PacketLayout::Block& b : layout.blocks) {
        if (!b.inside || b.held < b.size) {
            AddItemDataLine(target, engine::Text(engine::Msg::BlockBeyondPacket), tag);
            break;
        }
        CheckTextBlockCodes(std::span<const uint8_t>(data).subspan(static_cast<size_t>(b.start), b.size), target,
                            counts, id);
    }
    if (target) engine::HexDump(static_cast<int64_t>(data.size()), data, target);
    return 1;
}

int CorruptionVerdict(ListTarget* target, const UseCounts& counts) {
    const auto& packets = engine::Ctx().doc.packets;
    bool corrupt = false;
    for (uint32_t id = 1; id < packets.size(); ++id) {
        const engine::IndexEntry& e = packets[id].entry;
        const UseCounts::Count k = counts.At(id);
        const bool exempt = e.Type() == 0x3F || e.Type() == 0x4E;
        const bool useWrong = e.UseCount() != k.uses && !exempt;
        const bool max1Wrong = (e.Flags() & engine::kFlagMaxOneUse) && e.UseCount() > 1;
        if (!useWrong && !max1Wrong) continue;
        const std::string type = engine::PacketTypeName(e.Type(), id);
        const unsigned shown[] = {e.UseCount(), k.uses, e.HiddenCount(), k.hidden};
        if (useWrong)
            AddItemDataLine(target,
                            Format<engine::Msg::UseMismatchLine>(id, shown[0], shown[1], shown[2], shown[3],
                                                                 type.c_str()),
                            engine::kTagPacket + id);
        if (max1Wrong)
            AddItemDataLine(target,
                            Format<engine::Msg::Max1Line>(id, shown[0], shown[1], shown[2], shown[3], type.c_str()),
                            engine::kTagPacket + id);
        corrupt = true;
    }
    engine::Ctx().check.corruptFound = corrupt;
    engine::PrintLine(target, engine::Text(corrupt ? engine::Msg::VerdictCorrupt : engine::Msg::VerdictSound));
    return corrupt ? 1 : 0;
}

int CheckDocument(engine::DocFile* f, ListTarget* report, uint32_t length) {
    engine::EngineContext& c = engine::Ctx();
    if (engine::ReadIndex(f, report) != 0) return 1;
    const auto& packets = c.doc.packets;
    UseCounts counts(packets.size());
    ListTarget* const keptDefault = c.sink.defaultList;
    if (!c.sink.printer) c.sink.defaultList = report;
    c.describer.currentTarget = nullptr;
    c.check.corruptFound = false;

    uint64_t used = 0, deleted = 0;
    int deletedCount = 0;
    for (uint32_t id = 0; id < packets.size(); ++id) {
        const engine::IndexEntry& e = packets[id].entry;
        if (id == 0) {
            used += uint64_t{14} * packets.size();
            continue;
        }
        if (e.Flags() & engine::kFlagMinOneUse) counts.Add(id, false);
        CountPacketRefs(f, id, nullptr, &counts);
        if (e.DataSize() == 0) continue;
        if (e.Type() == 0) {
            deleted += e.DataSize();
            ++deletedCount;
        } else {
            used += e.DataSize();
        }
    }
    const engine::FileHeader& h = c.doc.header;
    const int64_t spare = int64_t{h.DocOffset()} - int64_t(uint64_t{h.IndexOffset()} + deleted + used);
    if (deleted != 0)
        engine::PrintLine(report, Format<engine::Msg::DeletedSizeHexLine>(static_cast<unsigned long>(deleted), deletedCount));
    if (spare > 0) engine::AddListLine(report, Format<engine::Msg::ExtraBytesLine>(static_cast<unsigned long>(spare)));
    if (spare < 0) engine::AddListLine(report, Format<engine::Msg::OverlapLine>(static_cast<unsigned long>(-spare)));

    {
        // The details' findings; a child beyond the table was counted above.
        const engine::OperationScope counting(engine::Operation::CheckCount);
        engine::ScanPackets(f, nullptr, engine::kAllPackets, true, engine::kModeDecoded, nullptr, kCaptionLoading);
    }
    ScanCodeStream(f, nullptr, 0, engine::kModeDecoded, 0xFFFFFFFF, 0xFFFFFFFF, &counts, length, true, nullptr, false);
    const int verdict = CorruptionVerdict(report, counts);
    c.sink.defaultList = keptDefault;
    (void)verdict;
    return 0;
}

}  // namespace legacy
