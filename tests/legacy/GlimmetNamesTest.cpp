// Glimmet's overlays, row by row: every row the older dialect changes,
// read through the shared lookups.

#include <gtest/gtest.h>

#include <string>

#include "engine/Codes.h"
#include "engine/Describer.h"
#include "engine/EngineContext.h"
#include "engine/PacketNames.h"
#include "graphics/Dialect.h"
#include "graphics/Records.h"
#include "legacy/engine/GlimmetProfile.h"
#include "tests/legacy/Dialects.h"
#include "tests/support/Recording.h"

using namespace engine;
using legacytest::Dialect;
using legacytest::InstalledDialect;
using testsupport::ScopedContext;

TEST(GlimmetNames, PacketTypes) {
    InstalledDialect glimmet(Dialect::Glimmet);
    ScopedContext c;
    for (uint32_t type : {0x37, 0x38, 0x39, 0x3C, 0x3D, 0x3E, 0x50, 0x51, 0x5E})
        EXPECT_EQ(PacketTypeName(type, 1), "Undefined") << type;
    EXPECT_EQ(PacketTypeName(0x3F, 1), "Native Filename");
    EXPECT_EQ(PacketTypeName(0, 1), "available entry");
    EXPECT_EQ(PacketTypeName(0, 0), "Index information");
    // Rows beside them are the shared ones.
    EXPECT_EQ(PacketTypeName(0x3A, 1), kPacketTypeNames[0x3A]);
    EXPECT_EQ(PacketTypeName(0x36, 1), kPacketTypeNames[0x36]);
    EXPECT_EQ(PacketTypeName(0x5F, 1), kPacketTypeNames[0x5F]);
}

TEST(GlimmetNames, SingleByteCodes) {
    InstalledDialect glimmet(Dialect::Glimmet);
    ScopedContext c;
    EXPECT_STREQ(SingleByteCodeName(0x98), "Unknown single byte function");
    EXPECT_STREQ(SingleByteCodeName(0x97), [] {
        ResetContext();
        Ctx().profile = &SalvinoProfile();
        const char* shared = SingleByteCodeName(0x97);
        ResetContext();
        return shared;
    }());
}

TEST(GlimmetNames, VariableFunctions) {
    InstalledDialect glimmet(Dialect::Glimmet);
    ScopedContext c;
    struct Row {
        uint8_t group;
        uint8_t first, last;
        const char* name;
    };
    const Row rows[] = {
        {0xD1, 0x1C, 0x1F, "New Undocumented Function"}, {0xD3, 0x17, 0x1A, "New Undocumented Function"},
        {0xD4, 0x62, 0x67, "New Undocumented Function"}, {0xD9, 0x0A, 0x0A, "New Undocumented Function"},
        {0xDA, 0x14, 0x14, "New Undocumented Function"}, {0xDE, 0x20, 0x20, "New Undocumented Function"},
        {0xE1, 0x20, 0x2D, "New Undocumented Function"}, {0xE2, 0x0D, 0x0D, "Formatter Group"},
        {0xD4, 0x1E, 0x1E, "SEt dot Leader Characters"},
    };
    int changed = 0;
    for (const Row& r : rows)
        for (int s = r.first; s <= r.last; ++s, ++changed)
            EXPECT_STREQ(VariableFunctionText(VarFunctionKey(r.group, static_cast<uint8_t>(s))), r.name)
                << std::hex << int{r.group} << " " << s;
    EXPECT_EQ(changed, 33);  // 31 rows removed, two renamed
    // Neighbours keep their names.
    EXPECT_STREQ(VariableFunctionText(VarFunctionKey(0xD1, 0x1B)), "Footer Separator Distance");
    EXPECT_STREQ(VariableFunctionText(VarFunctionKey(0xE1, 0x1F)) , [] {
        ResetContext();
        Ctx().profile = &SalvinoProfile();
        const char* shared = VariableFunctionText(VarFunctionKey(0xE1, 0x1F));
        ResetContext();
        return shared;
    }());
}

TEST(GlimmetNames, StyleSections) {
    const Profile& p = legacy::GlimmetProfile();
    EXPECT_NE(p.OverlayRow("StyleFill", 11), nullptr);
    EXPECT_EQ(p.OverlayRow("StyleFill", 11)->name, nullptr);  // no "5% fill"
    EXPECT_EQ(p.OverlayRow("StyleFill", 10), nullptr);        // "button fill" stays
    const char* types[] = {"Open style", "Pared style", "Paragraph style", "Deleted (including codes)",
                           "Deleted (leaving codes)", nullptr};
    for (uint32_t i = 0; i < std::size(types); ++i) {
        const NameOverlayRow* r = p.OverlayRow("StyleType", i);
        ASSERT_NE(r, nullptr) << i;
        if (types[i]) EXPECT_STREQ(r->name, types[i]) << i;
        else EXPECT_EQ(r->name, nullptr) << i;
    }
    const char* flags[] = {"Library style",       "System style", "Enter turns style off",
                           "Enter sturs style back on again", "Style includes other styles", "Reserved",
                           "Reserved"};
    for (uint32_t i = 0; i < std::size(flags); ++i) {
        const NameOverlayRow* r = p.OverlayRow("StyleFlag", i);
        ASSERT_NE(r, nullptr) << i;
        EXPECT_STREQ(r->name, flags[i]) << i;
    }
}

TEST(GlimmetNames, FunctionDescribers) {
    InstalledDialect glimmet(Dialect::Glimmet);
    ScopedContext c;
    const size_t lengths[] = {11, 28, 14, 18, 98, 3, 1, 11, 3, 5, 6, 3, 3, 12, 3, 4, 3, 2, 13};
    const auto groups = FunctionDescribers();
    ASSERT_EQ(groups.size(), std::size(lengths));
    for (size_t g = 0; g < groups.size(); ++g) EXPECT_EQ(groups[g].size(), lengths[g]) << g;
    using F = FunctionDescriberId;
    struct Kept {
        uint8_t group, sub;
        F id;
    };
    const Kept kept[] = {
        {0xD1, 6, F::WidowOrphan},     {0xD4, 9, F::LinesToDisplay}, {0xD4, 95, F::ProofingLevel},
        {0xD4, 96, F::TabRegion},      {0xD4, 97, F::TabRegion},     {0xDD, 0, F::StyleReference},
        {0xDD, 10, F::StyleReference}, {0xDD, 1, F::NoDeletableData}, {0xDD, 11, F::NoDeletableData},
        {0xDF, 0, F::BoxFunction},     {0xDF, 2, F::BoxFunction},    {0xDF, 3, F::RulePosition},
        {0xE2, 0, F::MarginChange},    {0xE2, 10, F::DelayCodes},
    };
    size_t described = 0;
    for (const auto& list : groups)
        for (F id : list) described += id != F::None;
    EXPECT_EQ(described, 1u + 4u + 12u + 4u + 2u);
    for (const Kept& k : kept) EXPECT_EQ(FunctionDescriberOf(k.group, k.sub), k.id) << int{k.group} << " " << int{k.sub};
}

TEST(GlimmetNames, PacketDescribers) {
    InstalledDialect glimmet(Dialect::Glimmet);
    ScopedContext c;
    // Packets: Salvino's, less the border line style and the border style.
    const auto packets = PacketDescribers();
    const auto shared = SalvinoDescriberRows().packets;
    ASSERT_EQ(packets.size(), shared.size());
    for (size_t t = 0; t < packets.size(); ++t)
        EXPECT_EQ(packets[t], t == 0x42 || t == 0x44 ? PacketDescriberId::None : shared[t]) << t;
}

TEST(GlimmetNames, GraphicsTableAndLimits) {
    InstalledDialect glimmet(Dialect::Glimmet);
    ScopedContext c;
    const graphics::DumpDialect& d = graphics::CurrentDumpDialect();
    ASSERT_EQ(d.records.size(), 64u);
    EXPECT_STREQ(d.records[58].title, "No-op");
    EXPECT_STREQ(d.records[59].title, "No-op");
    // Every other row is Salvino's.
    const auto shared = graphics::SalvinoRecordTable();
    for (size_t t = 0; t < d.records.size(); ++t) {
        if (t == 58 || t == 59) continue;
        EXPECT_EQ(d.records[t].handler, shared[t].handler) << t;
        EXPECT_EQ(d.records[t].title, shared[t].title) << t;
    }
    EXPECT_STREQ(d.records[57].title, "Image State");
    EXPECT_STREQ(d.records[60].title, "Texture Definition");
    EXPECT_EQ(d.lastMaskedType, 63);
    EXPECT_STREQ(Text(Msg::UnexpectedEof), "\nUnexpected EOF while reading data.\n");
    EXPECT_FALSE(d.testsMajorVersion);
    const DescriberLimits& l = Ctx().profile->describerLimits;
    EXPECT_EQ(l.fieldDump, 1024);
    EXPECT_EQ(l.packetShown, 64000u);
    EXPECT_EQ(l.packetHead, 4096u);
}

// Every message the older dialect words its own way, and what each profile
// shows for it; the older inspector's own ids read the same under both.
TEST(GlimmetNames, Messages) {
    struct Row {
        Msg id;
        const char* glimmet;
    };
    const Row rows[] = {
        {Msg::HeaderProductType, "Product type   = 0x%X"},
        {Msg::HeaderFileType, "File Type      = 0x%X"},
        {Msg::HeaderMajorVersion, "Major Version  = 0x%X"},
        {Msg::HeaderMinorVersion, "Minor Version  = 0x%X"},
        {Msg::HeaderEncryptionKey, "Encryption key = 0x%X"},
        {Msg::ChildIdTooLarge, "Prefix ID is to large!"},
        {Msg::InvalidByte, "**Invalid 0xFF byte in prefix text block"},
        {Msg::UseMismatchLine, "Prefix ID#%04x Use Packet=%u, Calc=%u Hidden Packet=%u, Calc=%u. Type (%s)"},
        {Msg::Max1Line, "MAX1 error. Prefix ID#%04x  Use=%u, Calc=%u  Hidden=%u, Calc=%u. Type (%s)"},
        {Msg::VerdictSound, "Document is OK"},
        {Msg::UnexpectedEof, "\nUnexpected EOF while reading data.\n"},
    };
    const Profile& glimmet = legacy::GlimmetProfile();
    ASSERT_EQ(glimmet.messages.size(), std::size(rows));
    for (const Row& r : rows) {
        const int id = static_cast<int>(r.id);
        EXPECT_STREQ(Text(r.id, glimmet), r.glimmet) << id;
        EXPECT_STREQ(Text(r.id, SalvinoProfile()), SharedText(r.id)) << id;
        EXPECT_STRNE(SharedText(r.id), r.glimmet) << id;
        {
            InstalledDialect installed(Dialect::Glimmet);
            ScopedContext c;
            EXPECT_STREQ(Text(r.id), r.glimmet) << id;
        }
        {
            InstalledDialect installed(Dialect::Salvino);
            ScopedContext c;
            EXPECT_STREQ(Text(r.id), SharedText(r.id)) << id;
        }
    }
    // Lines whose values differ have an id of their own, not an overlay.
    for (Msg own : {Msg::HeaderDocArea, Msg::IndexOffsetBytes, Msg::DeletedSizeHexLine, Msg::NotDocument,
                    Msg::NotDocumentType, Msg::NotVersion6, Msg::DocumentEncrypted, Msg::ScrambleNotDone,
                    Msg::EndGroupMismatch})
        EXPECT_STREQ(Text(own, glimmet), Text(own, SalvinoProfile())) << static_cast<int>(own);
    EXPECT_STREQ(Text(Msg::DeletedSizeHexLine, glimmet), "%8lX - in %d deleted packets");
    EXPECT_STREQ(Text(Msg::NotDocument, glimmet), "NOT a QW Document, QWG OR Set file");
}
