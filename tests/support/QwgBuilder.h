#pragma once
// Builds graphics streams: the 26-byte prefix and records with their
// variable-length counts, as the dumper reads them.

#include <cstdint>
#include <vector>

namespace testsupport {

struct QwgPrefix {
    uint32_t docStart = 26;  // the first record right after the prefix
    uint8_t product = 1;
    uint8_t fileType = 22;
    uint8_t major = 2;
    uint8_t minor = 0;
    uint16_t key = 0;
    uint16_t packetOffset = 0;
    uint8_t entries = 0;
    uint8_t completeness = 0;
    uint16_t encryptionBlock = 0;
    uint32_t fileSize = 0;
    uint16_t encryptionVersion = 0;
};

// One byte below 0xFF, else 0xFF and a u16 below 0x8000, else 0xFF and two
// u16 holding 31 bits.
std::vector<uint8_t> QwgVarNumber(uint32_t value);

class QwgBuilder {
public:
    explicit QwgBuilder(const QwgPrefix& prefix = {});

    // A record: class, type, count of associated records, length, data.
    QwgBuilder& Record(uint8_t recordClass, uint8_t type, uint32_t associated,
                       const std::vector<uint8_t>& data);
    // A record whose length field says `length` whatever the data.
    QwgBuilder& RecordWithLength(uint8_t recordClass, uint8_t type, uint32_t associated, uint32_t length,
                                 const std::vector<uint8_t>& data);
    QwgBuilder& Raw(const std::vector<uint8_t>& bytes);
    QwgBuilder& End() { return Record(2, 2, 0, {}); }
    // Filler records (type 35, "No-op") until the stream is `size` bytes.
    QwgBuilder& FillTo(uint32_t size);

    uint32_t Size() const { return static_cast<uint32_t>(bytes.size()); }
    std::vector<uint8_t> bytes;
};

}  // namespace testsupport
