#include "tests/support/DocBuilder.h"

#include "tests/support/CompoundBuilder.h"

#include <algorithm>
#include <map>

namespace testsupport {

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, static_cast<uint16_t>(v));
    PutU16(out, static_cast<uint16_t>(v >> 16));
}

namespace {
void SetU16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void SetU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    SetU16(out, at, static_cast<uint16_t>(v));
    SetU16(out, at + 2, static_cast<uint16_t>(v >> 16));
}
}  // namespace

std::vector<uint8_t> VarFunc::Bytes() const {
    std::vector<uint8_t> out{group, sub, 0, 0};
    out.push_back(static_cast<uint8_t>(flags | (prefixIds.empty() ? 0 : 0x80)));
    if (!prefixIds.empty() || prefixCount) {
        out.push_back(prefixCount.value_or(static_cast<uint8_t>(prefixIds.size())));
        for (uint16_t id : prefixIds) PutU16(out, id);
    }
    if (dataArea) {
        out.insert(out.end(), dataArea->begin(), dataArea->end());
    } else {
        PutU16(out, nonDeletableSize.value_or(static_cast<uint16_t>(nonDeletable.size())));
        out.insert(out.end(), nonDeletable.begin(), nonDeletable.end());
        out.insert(out.end(), deletable.begin(), deletable.end());
    }
    const uint16_t real = static_cast<uint16_t>(out.size() + 3);
    const uint16_t lead = size.value_or(real);
    SetU16(out, 2, lead);
    PutU16(out, trailerSize.value_or(lead));
    out.push_back(trailerGroup.value_or(group));
    return out;
}

VarFunc Func(uint8_t group, uint8_t sub, std::vector<uint16_t> prefixIds,
             std::vector<uint8_t> nonDeletable, std::vector<uint8_t> deletable) {
    VarFunc f;
    f.group = group;
    f.sub = sub;
    f.prefixIds = std::move(prefixIds);
    f.nonDeletable = std::move(nonDeletable);
    f.deletable = std::move(deletable);
    return f;
}

Body& Body::Text(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
}

Body& Body::Code(uint8_t code) {
    bytes_.push_back(code);
    return *this;
}

Body& Body::Fixed(std::vector<uint8_t> bytes) { return Raw(std::move(bytes)); }

Body& Body::Var(const VarFunc& f) {
    for (uint16_t id : f.prefixIds) refs_.push_back({id, undoDepth_ > 0});
    return Raw(f.Bytes());
}

Body& Body::UndoStart(uint16_t level) {
    ++undoDepth_;
    return Raw({0xF1, 0x00, static_cast<uint8_t>(level), static_cast<uint8_t>(level >> 8), 0xF1});
}

Body& Body::UndoEnd(uint16_t level) {
    if (undoDepth_ > 0) --undoDepth_;
    return Raw({0xF1, 0x01, static_cast<uint8_t>(level), static_cast<uint8_t>(level >> 8), 0xF1});
}

Body& Body::Raw(std::vector<uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<uint8_t> Packet::Data() const {
    std::vector<uint8_t> out;
    if (childList || !children.empty()) {
        PutU16(out, childCount.value_or(static_cast<uint16_t>(children.size())));
        for (uint16_t id : children) PutU16(out, id);
    }
    if (blockTable || !blocks.empty()) {
        const size_t tableAt = out.size();
        PutU16(out, blockCount.value_or(static_cast<uint16_t>(blocks.size())));
        PutU32(out, 0);
        for (size_t i = 0; i < blocks.size(); ++i) {
            uint32_t s = static_cast<uint32_t>(blocks[i].Bytes().size());
            if (i < blockSizes.size() && blockSizes[i]) s = *blockSizes[i];
            PutU32(out, s);
        }
        SetU32(out, tableAt + 2, blockTextOffset.value_or(static_cast<uint32_t>(out.size())));
        for (const Body& b : blocks) out.insert(out.end(), b.Bytes().begin(), b.Bytes().end());
    }
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

uint16_t DocBuilder::Add(Packet p) {
    packets_.push_back(std::move(p));
    return static_cast<uint16_t>(packets_.size());
}

uint16_t DocBuilder::AddAvailable() {
    Packet p;
    p.type = 0;
    return Add(std::move(p));
}

std::vector<uint8_t> DocBuilder::Build() const {
    // Uses named by the body, the text blocks and the child lists.
    std::map<uint16_t, std::pair<uint16_t, uint16_t>> uses;  // id -> (uses, hidden)
    auto book = [&](const Body& b) {
        for (const Body::Ref& r : b.Refs()) {
            auto& u = uses[r.id];
            (r.hidden ? u.second : u.first)++;
        }
    };
    book(body);
    for (const Packet& p : packets_) {
        for (const Body& b : p.blocks) book(b);
        for (uint16_t c : p.children)
            if (c != 0) uses[c].first++;
    }

    const size_t count = packets_.size() + 1;
    const size_t indexAt = header.indexOffset < 17 ? 16 : header.indexOffset;
    std::vector<uint8_t> out(indexAt + count * 14, 0);
    SetU32(out, 0, header.signature);
    out[8] = header.productType;
    out[9] = header.fileType;
    out[10] = header.major;
    out[11] = header.minor;
    SetU16(out, 12, header.key);
    SetU16(out, 14, header.indexOffset);

    out[indexAt] = indexMarker;
    SetU16(out, indexAt + 2, entryCount.value_or(static_cast<uint16_t>(count)));
    for (size_t i = 0; i < packets_.size(); ++i) {
        const Packet& p = packets_[i];
        const uint16_t id = static_cast<uint16_t>(i + 1);
        const std::vector<uint8_t> data = p.Data();
        const uint32_t at = static_cast<uint32_t>(out.size());
        out.insert(out.end(), data.begin(), data.end());
        uint8_t flags = 0;
        if (p.childList || !p.children.empty()) flags |= 0x01;
        if (p.blockTable || !p.blocks.empty()) flags |= 0x02;
        const auto found = uses.find(id);
        const auto counted = found == uses.end() ? std::pair<uint16_t, uint16_t>{0, 0} : found->second;
        const size_t e = indexAt + (i + 1) * 14;
        out[e] = p.flags.value_or(flags);
        out[e + 1] = p.type;
        SetU16(out, e + 2, p.useCount.value_or(p.type == 0 ? 0 : counted.first));
        SetU16(out, e + 4, p.hiddenCount.value_or(p.type == 0 ? 0 : counted.second));
        SetU32(out, e + 6, p.size.value_or(static_cast<uint32_t>(data.size())));
        SetU32(out, e + 10, p.offset.value_or(data.empty() ? 0 : at));
    }
    const uint32_t bodyAt = static_cast<uint32_t>(out.size());
    out.insert(out.end(), body.Bytes().begin(), body.Bytes().end());
    SetU32(out, 4, header.docOffset.value_or(bodyAt));
    if (header.extended && indexAt >= 28) {
        out[16] = header.fixedEntryCount;
        out[17] = header.completeness;
        SetU16(out, 18, header.proprietaryOffset);
        SetU32(out, 20, header.fileLength.value_or(static_cast<uint32_t>(out.size())));
        SetU16(out, 24, header.encryptionVersion);
        SetU16(out, 26, header.encryptionFlags);
    }
    return out;
}

bool DocBuilder::WriteFile(const std::string& path) const { return WriteFileBytes(path, Build()); }

}  // namespace testsupport
