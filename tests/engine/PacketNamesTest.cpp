#include "engine/PacketNames.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using engine::PacketTypeName;

struct NameRow {
    uint32_t type;
    uint32_t entry;
    uint8_t fileType;
    const char* name;
};

class PacketTypeNameTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(PacketTypeNameTest, NamesTheType) {
    const NameRow& r = GetParam();
    EXPECT_EQ(PacketTypeName(r.type, r.entry, r.fileType), r.name);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, PacketTypeNameTest,
    ::testing::Values(NameRow{0x00, 0, 10, "Index information"},
                      NameRow{0x00, 1, 10, "Available Entry"},
                      NameRow{0x00, 0xFFFF, 17, "Available Entry"},
                      NameRow{0x01, 1, 10, "Document Height"},
                      NameRow{0x39, 1, 10, "Document Embedded Fonts"},
                      NameRow{0x3A, 1, 10, "Undefined"},
                      NameRow{0x3B, 1, 10, "Undefined"},
                      NameRow{0x3C, 1, 10, "Visual Basic VAO storage"},
                      NameRow{0x4D, 1, 10, "Convert options, etc."},
                      NameRow{0x6F, 1, 10, "Graphics Data"},
                      NameRow{0x80, 1, 10, "SGML - External File (6.1)"},
                      NameRow{0x81, 1, 17, "Misc. 1 (only in setup)"},
                      NameRow{0x82, 1, 17, "Misc. 2 "},
                      NameRow{0x81, 1, 10, "SGML - Notation Attr (6.1)"},
                      NameRow{0x82, 1, 10, "SGML - DTD Entity Ref"},
                      NameRow{0x81, 1, 22, "SGML - Notation Attr (6.1)"},
                      NameRow{0x83, 1, 10, "Owner data"},
                      NameRow{0x8F, 1, 10, "Undefined"},
                      NameRow{0xA7, 1, 10, "EGA (reserved for future use)"},
                      NameRow{0xA9, 1, 10, "EGA (reserved for future use)"},
                      NameRow{0xAB, 1, 10, "HRF ( 6 fonts)"},
                      NameRow{0xC0, 1, 10, "cabinet list starting value"},
                      NameRow{0xCF, 1, 10, "Undefined"},
                      NameRow{0xD6, 1, 10, "Return Mail History List"},
                      NameRow{0xD7, 1, 10, "0xD7 packed Undefined"},
                      NameRow{0xFF, 1, 17, "0xFF packed Undefined"}));

TEST(PacketTypeNames, EveryTypeUpToD6HasARow) {
    ASSERT_EQ(engine::kPacketTypeNames.size(), 215u);
    for (const char* name : engine::kPacketTypeNames) {
        ASSERT_NE(name, nullptr);
        EXPECT_GT(std::strlen(name), 0u);
    }
}

}  // namespace
