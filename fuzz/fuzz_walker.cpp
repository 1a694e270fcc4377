// libFuzzer target: the code-stream walker over an arbitrary body, in every
// kind of walk. The first input byte chooses the set-up: a low nibble of 1
// puts the body just before the end of the first 64000-byte window (so
// that items straddle it; rarer, as such walks are long), bit 5 gives the
// file the old layout for the extraction.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/TextOps.h"
#include "engine/Walker.h"
#include "fuzz/FuzzProfile.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

namespace {

testsupport::ScopedTempDir& Dir() {
    static testsupport::ScopedTempDir dir;
    return dir;
}

std::vector<uint8_t> Build(const uint8_t* data, size_t size, bool straddle, bool oldLayout) {
    testsupport::DocBuilder b;
    if (oldLayout) b.header.major = 0;
    testsupport::Packet style;
    style.type = 0x30;
    b.Add(style);
    testsupport::Packet font;
    font.type = 0x20;
    b.Add(font);
    // Text under the older grammar, which lists every 0x00 as a line of its
    // own: 64,000 of them per walk would only slow the search for faults.
    if (straddle) b.body.Raw(std::vector<uint8_t>(engine::kWalkWindow - 40, fuzzprofile::Glimmet() ? 'x' : 0));
    b.body.Raw(std::vector<uint8_t>(data, data + size));
    return b.Build();
}

int32_t CheckPass(engine::DocFile* f, testsupport::ScopedContext& c, int32_t stop, engine::ListTarget* sink) {
    engine::EngineContext& e = engine::Ctx();
    e.sink.defaultList = stop > 0 ? nullptr : &c.defaultList;
    e.sink.stopValue = stop;
    engine::CodeWalkRequest rq;
    rq.file = f;
    rq.sink = sink;
    rq.groupMask = rq.classMask = 0xFFFFFFFF;
    const int32_t r = engine::WalkCodeStream(rq);
    e.sink.stopValue = 0;
    e.sink.defaultList = nullptr;
    return r;
}

void Walk(const std::string& path, uint32_t bodySize) {
    testsupport::ScopedContext c;
    engine::FileHeader header;
    int readOnly = 0, verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, &header, &readOnly, &verdict);
    if (!f) std::abort();  // the builder's documents always open
    engine::Ctx().sink.defaultList = nullptr;
    const uint32_t body = header.DocOffset();
    const uint32_t end = body + bodySize;

    for (int mode : {engine::kModeHex, engine::kModeDecoded})
        engine::ListDocumentCodes(f, &c.list, mode, 0xFFFFFFFF, 0xFFFFFFFF, engine::kWalkToEnd);
    engine::ListDocumentCodes(f, &c.list, engine::kModeDecoded, 0x5555, 0x16, 100);

    c.log.Clear();
    c.list.lines.clear();
    CheckPass(f, c, 0, nullptr);
    CheckPass(f, c, -1, nullptr);
    CheckPass(f, c, 1, &c.list);

    // What the doubles record is dropped between walks: a straddling body
    // makes long listings.
    auto drop = [&] {
        c.log.Clear();
        c.list.lines.clear();
        c.detail.lines.clear();
        c.defaultList.lines.clear();
    };
    drop();
    engine::Ctx().describer.currentTarget = &c.detail;
    const uint32_t places[] = {body, body + 1, body + bodySize / 2, end > 0 ? end - 1 : 0, end, end + 5};
    for (uint32_t at : places)
        for (int mode : {engine::kModeHex, engine::kModeDecoded}) {
            engine::DescribeCodeAt(f, &c.detail, at, mode, engine::kWalkToEnd);
            drop();
        }
    // Damaged places dump up to a window each: the last byte, and the first
    // booked range.
    engine::DescribeCodeAt(f, &c.detail, engine::kTagDamage | (end > 0 ? end - 1 : 0), engine::kModeDecoded,
                           engine::kWalkToEnd);
    if (!engine::Ctx().check.ranges.empty())
        engine::DescribeCodeAt(f, &c.detail, engine::kTagDamage | engine::Ctx().check.ranges[0].start,
                               engine::kModeHex, engine::kWalkToEnd);
    engine::Ctx().describer.currentTarget = nullptr;
    drop();

    engine::SearchDocumentText(f, 0, engine::kWalkToEnd, "ab", false);
    engine::SearchDocumentText(f, body + 3, engine::kWalkToEnd, "A", true);

    const std::string text = Dir().File("extract.txt");
    if (engine::DocFile* out = engine::OpenDocFile(text, engine::kOpenRead | engine::kOpenWrite | engine::kOpenCreate)) {
        engine::ExtractTextBlock(out, f, &c.list, body, bodySize);
        engine::CloseDocFile(out);
    }
    engine::CloseDocument(f);

    // The extraction of a file that is not open (possibly old layout) and
    // the scramble of a copy.
    if (engine::DocFile* other = engine::OpenDocFile(path, engine::kOpenRead)) {
        if (engine::DocFile* out = engine::OpenDocFile(text, engine::kOpenRead | engine::kOpenWrite | engine::kOpenCreate)) {
            engine::ExtractTextBlock(out, other, nullptr, 0, engine::kWalkToEnd);
            engine::CloseDocFile(out);
        }
        engine::CloseDocFile(other);
    }
    if (engine::DocFile* g = engine::OpenDocument(path, &header, &readOnly, &verdict)) {
        engine::ScrambleTextBlock(g, &c.list, body, bodySize);
        engine::ScrambleTextBlock(g, &c.list, body + bodySize / 3, bodySize / 2);
        engine::CloseDocument(g);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzprofile::Install();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool straddle = (data[0] & 0x0F) == 1;
    const bool oldLayout = (data[0] & 0x20) != 0;
    const std::vector<uint8_t> doc = Build(data + 1, size - 1, straddle, oldLayout);
    // The old layout cannot be opened as the document: walk a newer copy
    // and extract the old one as another file.
    const std::string path = Dir().File("doc.qwd");
    if (!testsupport::WriteFileBytes(path, oldLayout ? Build(data + 1, size - 1, straddle, false) : doc))
        return 0;
    const uint32_t bodySize = static_cast<uint32_t>(size - 1) + (straddle ? engine::kWalkWindow - 40 : 0);
    Walk(path, bodySize);
    if (oldLayout) {
        const std::string old = Dir().File("old.qwd");
        if (testsupport::WriteFileBytes(old, doc)) {
            testsupport::ScopedContext c;
            if (engine::DocFile* f = engine::OpenDocFile(old, engine::kOpenRead)) {
                const std::string text = Dir().File("old.txt");
                if (engine::DocFile* out = engine::OpenDocFile(text, engine::kOpenRead | engine::kOpenWrite | engine::kOpenCreate)) {
                    engine::ExtractTextBlock(out, f, nullptr, 0, engine::kWalkToEnd);
                    engine::CloseDocFile(out);
                }
                engine::CloseDocFile(f);
            }
        }
    }
    return 0;
}
