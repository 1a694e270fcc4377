#pragma once
// What the graphics fuzz targets share: the input becomes a graphics file,
// or a stream at a base inside a document, opened as Salvino opens it; a
// pass runs twice and must give the same lines both times.
//
// The first input byte chooses the set-up: bit 0 puts a valid prefix before
// the rest (so that the records are reached), bit 1 stores the stream
// inside a document at a base of 0x200 + 16 × the second byte.

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "graphics/Dumper.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/QwgBuilder.h"
#include "tests/support/Recording.h"

namespace qwgfuzz {

struct Input {
    std::string path;
    uint32_t base = 0;
};

inline testsupport::ScopedTempDir& Dir() {
    static testsupport::ScopedTempDir dir;
    return dir;
}

inline bool Make(const uint8_t* data, size_t size, Input* in) {
    if (size < 2) return false;
    const bool prefixed = (data[0] & 1) != 0;
    const bool inDocument = (data[0] & 2) != 0;
    std::vector<uint8_t> stream;
    if (prefixed) stream = testsupport::QwgBuilder().bytes;
    stream.insert(stream.end(), data + 2, data + size);
    std::vector<uint8_t> file;
    in->base = 0;
    if (inDocument) {
        in->base = 0x200 + 16u * data[1];
        file = {0xFF, 'Q', 'W', 'C', 0x00, 0x02, 0, 0, 1, 10, 2, 0, 0, 0, 0, 0};
        file.resize(in->base, 0);
    }
    file.insert(file.end(), stream.begin(), stream.end());
    in->path = Dir().File("g.qwg");
    return testsupport::WriteFileBytes(in->path, file);
}

using Lines = std::vector<std::pair<std::string, uint32_t>>;

inline Lines Take(testsupport::ScopedContext& c) {
    Lines out;
    for (auto* list : {&c.list, &c.defaultList})
        for (const auto& l : list->lines) out.emplace_back(l.text, l.tag);
    c.list.lines.clear();
    c.defaultList.lines.clear();
    c.log.Clear();
    return out;
}

// Opens the file as Salvino does (the reader for a graphics file), else as
// plain bytes; runs `pass` twice and aborts when the lines differ.
inline void RunTwice(const Input& in, const std::function<void(engine::DocFile*, testsupport::ScopedContext&)>& pass) {
    testsupport::ScopedContext c;
    engine::FileHeader header;
    int readOnly = 0, verdict = 0;
    graphics::CloseQwgOutline();
    engine::DocFile* f = engine::OpenDocument(in.path, &header, &readOnly, &verdict);
    const bool document = f != nullptr;
    if (f && header.FileType() == 22) graphics::StartQwgReader(f);
    if (!f) f = engine::OpenDocFile(in.path, engine::kOpenRead | engine::kOpenIgnored);
    if (!f) return;
    engine::Ctx().sink.defaultList = nullptr;
    pass(f, c);
    const Lines first = Take(c);
    pass(f, c);
    const Lines second = Take(c);
    if (first != second) std::abort();
    graphics::StopQwgReader(f);
    if (document)
        engine::CloseDocument(f);
    else
        engine::CloseDocFile(f);
}

}  // namespace qwgfuzz
