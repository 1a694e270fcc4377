// libFuzzer target: the older inspector's dialect over an arbitrary body
// and text block: its scanner in every mode, one code's description, its
// search and its one-count check. The first input byte chooses the split
// between the packet's text block and the body; a low nibble of 1 puts the
// body just before the end of the first 64000-byte window.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Walker.h"
#include "legacy/engine/GlimmetCheck.h"
#include "legacy/engine/GlimmetProfile.h"
#include "legacy/engine/GlimmetScanner.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

namespace {

testsupport::ScopedTempDir& Dir() {
    static testsupport::ScopedTempDir dir;
    return dir;
}

std::vector<uint8_t> Build(const uint8_t* data, size_t size, size_t blockBytes, bool straddle) {
    testsupport::DocBuilder b;
    testsupport::Packet font;
    font.type = 0x20;
    b.Add(font);
    testsupport::Packet style;
    style.type = 0x30;
    style.children = {1, 2, 7};
    style.blocks = {testsupport::Body().Raw(std::vector<uint8_t>(data, data + blockBytes))};
    b.Add(style);
    // Text, not 0x00 fillers: the older grammar lists every 0x00 as a line.
    if (straddle) b.body.Raw(std::vector<uint8_t>(engine::kWalkWindow - 40, 'x'));
    b.body.Raw(std::vector<uint8_t>(data + blockBytes, data + size));
    return b.Build();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    engine::InstallProfile(legacy::GlimmetProfile());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool straddle = (data[0] & 0x0F) == 1;
    const size_t blockBytes = std::min<size_t>(size - 1, size_t{data[0]} * 4);
    const std::string path = Dir().File("doc.qwd");
    if (!testsupport::WriteFileBytes(path, Build(data + 1, size - 1, blockBytes, straddle))) return 0;

    testsupport::ScopedContext c;
    engine::FileHeader header;
    int readOnly = 0, verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, &header, &readOnly, &verdict);
    if (!f) std::abort();  // the builder's documents always open
    engine::Ctx().sink.defaultList = nullptr;
    const uint32_t body = header.DocOffset();
    for (int mode : {engine::kModeHex, engine::kModeDecoded})
        legacy::ScanCodeStream(f, &c.list, 0, mode, 0xFFFFFFFF, 0xFFFFFFFF, nullptr, engine::kWalkToEnd, true,
                               nullptr, false);
    c.log.Clear();
    c.list.lines.clear();
    engine::Ctx().describer.currentTarget = &c.detail;
    legacy::ScanCodeStream(f, &c.detail, body + 1, engine::kModeDecoded, 0xFFFFFFFF, 0xFFFFFFFF, nullptr,
                           engine::kWalkToEnd, false, nullptr, false);
    engine::Ctx().describer.currentTarget = nullptr;
    legacy::SearchText(f, 0, engine::kWalkToEnd, "ab", false);
    c.log.Clear();
    c.detail.lines.clear();
    legacy::CheckDocument(f, &c.defaultList, engine::kWalkToEnd);
    legacy::CountPacketRefs(f, 2, &c.list, nullptr);
    engine::CloseDocument(f);
    return 0;
}
