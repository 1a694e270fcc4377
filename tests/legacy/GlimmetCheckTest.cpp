// The older check's pieces: text blocks read only inside themselves, the
// counts made per check, and the verdict from the counts alone.

#include "legacy/engine/GlimmetCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "tests/legacy/Dialects.h"
#include "tests/support/Recording.h"

using namespace engine;
using legacy::UseCounts;
using legacytest::Dialect;
using legacytest::InstalledDialect;
using testsupport::ScopedContext;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

namespace {

constexpr uint32_t kEntries = 4;  // ids 1-3

struct BlockCase {
    const char* what;
    Bytes block;
    Lines findings;
    uint16_t uses1;  // counted uses of packet 1
};

const char* kMismatch = "Error. Function End length doesn't match begin length!";

}  // namespace

TEST(GlimmetCheck, TextBlocksAreReadOnlyInsideThemselves) {
    const std::vector<BlockCase> cases = {
        {"a NULL byte", {'a', 0x00, 'b'}, {"Encountered a NULL byte"}, 0},
        {"0xFF is printed without a tag", {0xFF, 'a'}, {"**Invalid 0xFF byte in prefix text block"}, 0},
        {"a sound function with an id", {0xD4, 0x1A, 0x0C, 0x00, 0x80, 0x01, 0x01, 0x00, 0x00, 0x0C, 0x00, 0xD4}, {}, 1},
        {"the header passes the block", {'a', 0xD4, 0x1A, 0x0A}, {kMismatch}, 0},
        {"the id list passes the block: the ids inside count",
         {0xD4, 0x1A, 0x20, 0x00, 0x80, 0x03, 0x01, 0x00, 0x01, 0x00, 0x02}, {kMismatch}, 2},
        {"an id beyond the table", {0xD4, 0x1A, 0x0C, 0x00, 0x80, 0x01, 0x07, 0x00, 0x00, 0x0C, 0x00, 0xD4},
         {"Prefix ID out of range!"}, 0},
        {"a size of 0", {0xD4, 0x1A, 0x00, 0x00, 0x00, 0x00}, {"Error. INVALID Function End length!"}, 0},
        {"a size below 4", {0xD4, 0x1A, 0x03, 0x00, 0x00, 0x00}, {kMismatch}, 0},
        {"a size past the block", {0xD4, 0x1A, 0x40, 0x00, 0x00, 0x00, 0xD4}, {kMismatch}, 0},
        {"a wrong trailer size, then on", {0xD4, 0x1A, 0x08, 0x00, 0x00, 0x07, 0x00, 0xD4, 0x00},
         {kMismatch, "Encountered a NULL byte"}, 0},
        {"a wrong trailer group", {0xD4, 0x1A, 0x08, 0x00, 0x00, 0x08, 0x00, 0xD5},
         {"Error! Function End Group byte doesn't match beginning Group byte"}, 0},
        {"fixed-length functions are stepped over unchecked", {0xF0, 0x00, 0x00, 0x01, 'a'}, {}, 0},
    };
    for (const BlockCase& c : cases) {
        InstalledDialect glimmet(Dialect::Glimmet);
        ScopedContext ctx;
        Ctx().doc.packets.resize(kEntries);
        UseCounts counts(kEntries);
        legacy::CheckTextBlockCodes(c.block, &ctx.list, &counts, 2);
        Lines shown;
        for (const auto& line : ctx.list.lines) {
            shown.push_back(line.text);
            const bool printed = line.text.starts_with("**");
            EXPECT_EQ(line.tag, printed ? 0u : kTagPacket + 2) << c.what;
        }
        EXPECT_EQ(shown, c.findings) << c.what;
        EXPECT_EQ(counts.At(1).uses, c.uses1) << c.what;
    }
}

TEST(GlimmetCheck, CountsAreMadePerCheckAndTakeNoIdOutsideTheirTable) {
    UseCounts counts(3);
    for (uint32_t id : {0u, 1u, 3u, 4u, 0xFFFFu}) counts.CountUse(id, false);
    counts.CountUse(2, true);
    EXPECT_EQ(counts.At(1).uses, 1);
    EXPECT_EQ(counts.At(3).uses, 1);
    EXPECT_EQ(counts.At(2).hidden, 1);
    EXPECT_EQ(counts.At(4).uses, 0);
    for (int i = 0; i < 70000; ++i) counts.Add(1, false);
    EXPECT_EQ(counts.At(1).uses, 0xFFFF);  // no wrap to a small count
    std::vector<PacketEntry> none;
    counts.Reset(none);
    EXPECT_EQ(counts.At(1).uses, 0);

    // The shared engine's counting reaches the check's own counts only
    // while its scope lives.
    InstalledDialect glimmet(Dialect::Glimmet);
    ScopedContext ctx;
    const Profile* before = Ctx().profile;
    {
        legacy::CountingScope scope(&counts);
        Ctx().profile->refCounter->CountUse(2, false);
    }
    EXPECT_EQ(Ctx().profile, before);
    Ctx().profile->refCounter->CountUse(2, false);
    EXPECT_EQ(counts.At(2).uses, 1);
}
