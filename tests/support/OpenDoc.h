#pragma once
// A document written to a scratch folder of its own and open as the
// engine's document while the object lives. The engine context must
// outlive it.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Document.h"
#include "tests/support/CompoundBuilder.h"

namespace testsupport {

class OpenDoc {
public:
    explicit OpenDoc(const std::vector<uint8_t>& bytes, const std::string& name = "doc.qwd");
    ~OpenDoc() { Close(); }
    OpenDoc(const OpenDoc&) = delete;
    OpenDoc& operator=(const OpenDoc&) = delete;

    // Opens the file at `path` (again); false when it is refused.
    bool Open();
    void Close();

    ScopedTempDir dir;  // made before the path that lies in it
    std::string path;
    engine::DocFile* file = nullptr;
    engine::FileHeader header;
    int verdict = 0;
    uint32_t body = 0;  // the document area's offset
    uint32_t end = 0;   // the file's length as written
};

}  // namespace testsupport
