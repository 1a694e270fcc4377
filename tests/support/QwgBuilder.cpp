#include "tests/support/QwgBuilder.h"

namespace testsupport {

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

}  // namespace

std::vector<uint8_t> QwgVarNumber(uint32_t value) {
    std::vector<uint8_t> b;
    if (value < 0xFF) {
        b.push_back(static_cast<uint8_t>(value));
    } else if (value < 0x8000) {
        b.push_back(0xFF);
        Put16(b, value);
    } else {
        b.push_back(0xFF);
        Put16(b, ((value >> 16) & 0x7FFF) | 0x8000);
        Put16(b, value & 0xFFFF);
    }
    return b;
}

QwgBuilder::QwgBuilder(const QwgPrefix& p) {
    bytes = {0xFF, 'Q', 'W', 'C'};
    Put32(bytes, p.docStart);
    bytes.push_back(p.product);
    bytes.push_back(p.fileType);
    bytes.push_back(p.major);
    bytes.push_back(p.minor);
    Put16(bytes, p.key);
    Put16(bytes, p.packetOffset);
    bytes.push_back(p.entries);
    bytes.push_back(p.completeness);
    Put16(bytes, p.encryptionBlock);
    Put32(bytes, p.fileSize);
    Put16(bytes, p.encryptionVersion);
    if (p.docStart > bytes.size()) bytes.resize(p.docStart, 0);
}

QwgBuilder& QwgBuilder::Record(uint8_t recordClass, uint8_t type, uint32_t associated,
                               const std::vector<uint8_t>& data) {
    return RecordWithLength(recordClass, type, associated, static_cast<uint32_t>(data.size()), data);
}

QwgBuilder& QwgBuilder::RecordWithLength(uint8_t recordClass, uint8_t type, uint32_t associated,
                                         uint32_t length, const std::vector<uint8_t>& data) {
    bytes.push_back(recordClass);
    bytes.push_back(type);
    for (uint8_t b : QwgVarNumber(associated)) bytes.push_back(b);
    for (uint8_t b : QwgVarNumber(length)) bytes.push_back(b);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
}

QwgBuilder& QwgBuilder::Raw(const std::vector<uint8_t>& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
}

QwgBuilder& QwgBuilder::FillTo(uint32_t size) {
    // A record is at least 4 bytes; the last one takes what is left.
    while (Size() + 4 <= size) {
        const uint32_t left = size - Size();
        uint32_t data = left - 4;
        if (data > 200) data = left - 204 < 4 ? 100 : 200;
        Record(4, 35, 0, std::vector<uint8_t>(data, 0x35));
    }
    return *this;
}

}  // namespace testsupport
