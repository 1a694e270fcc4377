// The name tables of the code stream: boundaries, gaps and fallbacks of
// each table, their shape, and the older dialect's overlays.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/Codes.h"
#include "engine/EngineContext.h"

using namespace engine;

namespace {

struct CodeName {
    uint32_t code;
    const char* name;
};

}  // namespace

TEST(CodeNames, SingleByteCodes) {
    ResetContext();
    const CodeName rows[] = {
        {0x00, "Undefined or New bytecode"},
        {0x20, "Undefined or New bytecode"},
        {0x7F, "Undefined or New bytecode"},
        {0x80, "Soft Space"},
        {0x81, "Hard Space"},
        {0x98, "Reserved single byte function"},
        {0x99, "No 'revert' for this style"},
        {0x9F, "international"},
        {0xA0, "international"},
        {0xA3, "Speller dirty off"},
        {0xA4, "Undefined or New bytecode"},  // the gap 0xA4-0xAD
        {0xA5, "Undefined or New bytecode"},
        {0xAD, "Undefined or New bytecode"},
        {0xAE, "Inv/Del hard eol/eoc/eop"},
        {0xB4, "Deletable hard EOP"},
        {0xC6, "Table Cell"},
        {0xCF, "Soft EOL"},
        {0xD0, "Undefined or New bytecode"},
        {0xFF, "Undefined or New bytecode"},
    };
    for (const CodeName& r : rows)
        EXPECT_STREQ(SingleByteCodeName(static_cast<uint8_t>(r.code)), r.name)
            << std::hex << r.code;

    // 0x80-0xA3 and 0xAE-0xCF, one row each, in code order.
    const auto table = SingleByteCodeNames().rows;
    ASSERT_EQ(table.size(), 70u);
    uint32_t expected = 0x80;
    for (const NameRow& row : table) {
        if (expected == 0xA4) expected = 0xAE;
        EXPECT_EQ(row.code, expected++);
    }
}

TEST(CodeNames, AttributesByLowSixBitsWithIgnorePrefix) {
    ResetContext();
    const CodeName rows[] = {
        {0, "Extra Large"},
        {5, "SuperScript"},
        {12, "Bold"},
        {17, "Reverse Vidio"},
        {18, "Unknown"},
        {0x3F, "Unknown"},
        {0x4C, "Bold"},  // bit 0x40 is neither name nor prefix
        {0x8C, "Ignore Bold"},
        {0xC0, "Ignore Extra Large"},
        {0x92, "Ignore Unknown"},
        {0xFF, "Ignore Unknown"},
    };
    for (const CodeName& r : rows)
        EXPECT_EQ(AttributeName(static_cast<uint8_t>(r.code)), r.name) << std::hex << r.code;
    EXPECT_EQ(AttributeNames().rows.size(), 18u);
}

TEST(CodeNames, SpellCheckKeyLists) {
    ResetContext();
    struct Row {
        const NameTable& list;
        uint16_t key;
        const char* name;
    };
    const Row rows[] = {
        {CheckTypeKeys(), 0, "revalidate"},
        {CheckTypeKeys(), 5, "dirty_on"},
        {CheckTypeKeys(), 6, "Undefined"},
        {CheckTypeKeys(), 0xFF, "Undefined"},
        {CheckToolKeys(), 0xFF, "All_Tools"},
        {CheckToolKeys(), 0, "Any_Tool"},
        {CheckToolKeys(), 1, "Speller"},
        {CheckToolKeys(), 2, "Level_1"},
        {CheckToolKeys(), 3, "Undefined"},  // keys are values, not bits
        {CheckToolKeys(), 8, "Level_3"},
        {CheckToolKeys(), 0x0E, "All_Levels"},
        {CheckToolKeys(), 0x10, "Undefined"},
        {CheckToolKeys(), 0x1FF, "Undefined"},  // the whole 16-bit key is compared
    };
    for (const Row& r : rows) EXPECT_STREQ(LookupKeyName(r.key, r.list), r.name) << r.key;
}

TEST(CodeNames, FixedLengths) {
    const uint32_t expected[] = {4, 5, 3, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 8, 8};
    for (int code = 0xF0; code <= 0xFE; ++code)
        EXPECT_EQ(FixedFunctionLength(static_cast<uint8_t>(code)), expected[code - 0xF0]) << code;
    EXPECT_EQ(FixedFunctionLength(0xEF), 0u);
    EXPECT_EQ(FixedFunctionLength(0xFF), 0u);
    EXPECT_EQ(FixedFunctionLength(0x00), 0u);
}

TEST(CodeNames, VariableFunctionsRowsGapsAndGroupFallbacks) {
    ResetContext();
    struct Row {
        uint8_t group, sub;
        const char* name;
    };
    const Row rows[] = {
        {0xD0, 0x00, "Beginning of File"},
        {0xD0, 0x22, "Inv/Del Hard EOL/EOC/EOP"},
        {0xD0, 0x23, "New or undocumented EOL function"},
        {0xD0, 0x40, "New or undocumented EOL function"},
        {0xD0, 0x7F, "New or undocumented EOL function"},
        {0xD0, 0x80, "New Undocumented Function"},
        {0xD1, 0x1F, "Minimum Footer"},
        {0xD1, 0x20, "New Undocumented Function"},
        {0xD2, 0x03, "Column Border"},
        {0xD3, 0x1A, "Character Count"},
        {0xD4, 0x06, "Index Entry"},
        {0xD4, 0x1E, "Set dot Leader Characters"},
        {0xD4, 0x67, "Document compare field end"},
        {0xD4, 0x68, "New Undocumented Function"},
        {0xD5, 0x07, "Secondary Page Croos-Reference Off"},
        {0xD6, 0x05, "Watermark B"},
        {0xD7, 0x03, "Endnote Off"},
        {0xD8, 0x09, "Set Line Number"},
        {0xD9, 0x0A, "Set Total Page #"},
        {0xDA, 0x14, "Display Total Page #"},
        {0xDB, 0x08, "Increment Endnote Numb"},
        {0xDC, 0x09, "Decrement Line Num"},
        {0xDD, 0x0B, "Global Off"},
        {0xDE, 0x20, "Row Repeat"},
        {0xDE, 0x21, "New Undocumented Function"},  // the gap 0x21-0x2F
        {0xDE, 0x2F, "New Undocumented Function"},
        {0xDE, 0x30, "Merge Assign On"},
        {0xDE, 0x31, "Merge Assign Off "},
        {0xDE, 0x95, "Merge PostNet Off"},
        {0xDE, 0x96, "New Undocumented Function"},
        {0xDF, 0x04, "Equation Box"},
        {0xDF, 0x05, "New Undocumented Function"},
        // Group 0xE0 by the subfunction's top five bits.
        {0xE0, 0x00, "BackTab"},
        {0xE0, 0x07, "BackTab"},
        {0xE0, 0x08, "TableTab"},
        {0xE0, 0x10, "Left Tab"},
        {0xE0, 0x18, "Tab Group"},
        {0xE0, 0x3F, "Left/Right Indent"},
        {0xE0, 0x58, "Tab Group"},
        {0xE0, 0x80, "Flush Right"},
        {0xE0, 0x93, "Right Tab"},
        {0xE0, 0xD7, "Decimal tab"},
        {0xE0, 0xD8, "Tab Group"},
        {0xE0, 0xFF, "Tab Group"},
        {0xE1, 0x00, "DDE Start"},
        {0xE1, 0x2D, "SGML processing instruction end marker"},
        {0xE1, 0x2E, "New Undocumented Function"},
        {0xE2, 0x00, "Fmtr: Wrap Effect"},
        {0xE2, 0x0D, "Fmtr: SGML Tree Update Marker"},
        {0xE2, 0x0E, "Formatter Group"},
        {0xE2, 0xFF, "Formatter Group"},
        {0xE3, 0x00, "New Undocumented Function"},
        {0xE7, 0x01, "New Undocumented Function"},
        {0xEF, 0x00, "New Undocumented Function"},
        {0x41, 0x00, "New Undocumented Function"},  // not a function group at all
    };
    for (const Row& r : rows)
        EXPECT_STREQ(VariableFunctionText(VarFunctionKey(r.group, r.sub)), r.name)
            << std::hex << int(r.group) << " " << int(r.sub);

    // Rows per group in table order, subfunctions rising within a group,
    // and no pair twice.
    const std::pair<uint8_t, size_t> groups[] = {
        {0xD0, 35}, {0xD1, 32}, {0xD2, 4},   {0xD3, 27}, {0xD4, 104}, {0xD5, 18},
        {0xD6, 6},  {0xD7, 4},  {0xD8, 10},  {0xD9, 11}, {0xDA, 21},  {0xDB, 10},
        {0xDC, 10}, {0xDD, 12}, {0xDE, 135}, {0xDF, 5},  {0xE1, 46},  {0xE2, 14},
    };
    const auto table = VariableFunctionNames().rows;
    ASSERT_EQ(table.size(), 504u);
    size_t at = 0;
    std::set<uint32_t> seen;
    for (const auto& [group, count] : groups) {
        for (size_t i = 0; i < count; ++i, ++at) {
            ASSERT_LT(at, table.size());
            EXPECT_EQ(table[at].code & 0xFF, group) << at;
            if (i > 0) {
                EXPECT_GT(table[at].code >> 8, table[at - 1].code >> 8) << at;
            }
            EXPECT_TRUE(seen.insert(table[at].code).second) << at;
        }
    }
    EXPECT_EQ(at, table.size());
}

// The older dialect removes and renames rows; every table answers to it.
TEST(CodeNames, ProfileOverlaysReachEveryTable) {
    static constexpr NameOverlayRow kVariable[] = {
        {VarFunctionKey(0xD1, 0x1C), nullptr},
        {VarFunctionKey(0xD4, 0x1E), "SEt dot Leader Characters"},
        {VarFunctionKey(0xE2, 0x0D), nullptr},
        {VarFunctionKey(0xD0, 0x23), "Added"},
    };
    static constexpr NameOverlayRow kSingle[] = {{0x98, "Unknown single byte function"}};
    static constexpr NameOverlayRow kAttribute[] = {{12, "Heavy"}};
    static constexpr NameOverlayRow kTool[] = {{1, nullptr}};
    static constexpr NameOverlay kOverlays[] = {
        {"VariableFunctionNames", kVariable},
        {"SingleByteCodeNames", kSingle},
        {"AttributeNames", kAttribute},
        {"CheckToolKeys", kTool},
    };
    static const Profile kOlder{
        .appName = "Older",
        .tagOffsetMask = 0x0FFFFFFF,
        .tagCrossRef = 0,
        .nameOverlays = kOverlays,
    };
    ResetContext();
    // A name looked up under one profile is not the answer under the next.
    const std::string salvino = VariableFunctionText(VarFunctionKey(0xD1, 0x1C));
    EXPECT_NE(salvino, "New Undocumented Function");
    Ctx().profile = &kOlder;
    EXPECT_STREQ(VariableFunctionText(VarFunctionKey(0xD1, 0x1C)), "New Undocumented Function");
    EXPECT_STREQ(VariableFunctionText(VarFunctionKey(0xD1, 0x1B)), "Footer Separator Distance");
    EXPECT_STREQ(VariableFunctionText(VarFunctionKey(0xD4, 0x1E)), "SEt dot Leader Characters");
    EXPECT_STREQ(VariableFunctionText(VarFunctionKey(0xE2, 0x0D)), "Formatter Group");
    EXPECT_STREQ(VariableFunctionText(VarFunctionKey(0xD0, 0x23)), "Added");
    EXPECT_STREQ(SingleByteCodeName(0x98), "Unknown single byte function");
    EXPECT_EQ(AttributeName(0x8C), "Ignore Heavy");
    EXPECT_STREQ(LookupKeyName(1, CheckToolKeys()), "Undefined");
    Ctx().profile = &SalvinoProfile();
    EXPECT_EQ(VariableFunctionText(VarFunctionKey(0xD1, 0x1C)), salvino);
    ResetContext();
    EXPECT_STREQ(SingleByteCodeName(0x98), "Reserved single byte function");
}
