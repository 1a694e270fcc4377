#include "tests/support/OpenDoc.h"

namespace testsupport {

OpenDoc::OpenDoc(const std::vector<uint8_t>& bytes, const std::string& name)
    : path(dir.File(name)), end(static_cast<uint32_t>(bytes.size())) {
    if (WriteFileBytes(path, bytes)) Open();
}

bool OpenDoc::Open() {
    Close();
    int readOnly = 0;
    file = engine::OpenDocument(path, &header, &readOnly, &verdict);
    body = header.DocOffset();
    return file != nullptr;
}

void OpenDoc::Close() {
    if (file) engine::CloseDocument(file);
    file = nullptr;
}

}  // namespace testsupport
