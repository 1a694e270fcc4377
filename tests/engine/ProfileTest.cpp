// Name tables under a profile's overlay, the tag layout, and the profile a
// program installs.

#include <gtest/gtest.h>

#include "engine/EngineContext.h"
#include "engine/Profile.h"
#include "engine/ShapeNames.h"

using namespace engine;

namespace {
constexpr NameRow kRows[] = {{1, "One"}, {2, "Two"}, {3, "Three"}, {2, "Second two"}};
constexpr NameTable kTable{"Numbers", kRows};

constexpr NameOverlayRow kNumberChanges[] = {{2, "Deux"}, {3, nullptr}, {9, "Nine"}};
constexpr NameOverlayRow kShapeChanges[] = {{83, "BASE"}, {84, nullptr}};
constexpr NameOverlay kOverlays[] = {{"Numbers", kNumberChanges}, {"ShapeNames", kShapeChanges}};

const Profile kOlder{
    .appName = "Older",
    .tagOffsetMask = 0x0FFFFFFF,
    .tagCrossRef = 0,
    .tagBlockBits = 12,
    .nameOverlays = kOverlays,
};
}  // namespace

TEST(Profile, SalvinoLayout) {
    const Profile& p = SalvinoProfile();
    EXPECT_STREQ(p.appName, "Salvino");
    EXPECT_EQ(p.tagOffsetMask, 0x07FFFFFFu);
    EXPECT_EQ(p.tagCrossRef, 0x08000000u);
    EXPECT_TRUE(p.nameOverlays.empty());
    ResetContext();
    EXPECT_EQ(Ctx().profile, &p);
}

TEST(Profile, OverlayRenamesRemovesAndAdds) {
    struct Row {
        uint32_t code;
        const char* salvino;
        const char* older;
    };
    const Row rows[] = {
        {1, "One", "One"},          // untouched
        {2, "Two", "Deux"},         // renamed; the first row wins without overlay
        {3, "Three", nullptr},      // removed
        {9, nullptr, "Nine"},       // only in the older dialect
        {4, nullptr, nullptr},
    };
    for (const Row& r : rows) {
        const char* s = kTable.Lookup(r.code, SalvinoProfile());
        const char* o = kTable.Lookup(r.code, kOlder);
        EXPECT_STREQ(s ? s : "(none)", r.salvino ? r.salvino : "(none)") << r.code;
        EXPECT_STREQ(o ? o : "(none)", r.older ? r.older : "(none)") << r.code;
    }
}

TEST(Profile, ShapeLookupFollowsTheContextsProfile) {
    ResetContext();
    Ctx().profile = &kOlder;
    EXPECT_STREQ(ShapeNameOf(0), "BASE");
    EXPECT_EQ(ShapeNameOf(1), nullptr);
    EXPECT_STREQ(ShapeNameOf(2), "SS_TRAPEZOID");
    ResetContext();
    EXPECT_STREQ(ShapeNameOf(1), "SS_PARALLELOGRAM");
}

TEST(Profile, TagLayoutOfBothWidths) {
    struct Row {
        const char* what;
        uint32_t tag;
        uint32_t offset27, offset28;
        uint32_t block11, block12;
    };
    const Row rows[] = {
        {"a place above 0x07FFFFFF", 0x0ABCDEF1, 0x02BCDEF1, 0x0ABCDEF1, 0x2BC, 0xABC},
        {"kind bits stay out", kTagDamage | kTagUndo | 0x12345, 0x12345, 0x12345, 0x1, 0x1},
        {"the cross-reference bit is an offset bit of the wider layout", 0x08000010, 0x10, 0x08000010, 0, 0x800},
    };
    const Profile& s = SalvinoProfile();
    for (const Row& r : rows) {
        EXPECT_EQ(s.OffsetOf(r.tag), r.offset27) << r.what;
        EXPECT_EQ(kOlder.OffsetOf(r.tag), r.offset28) << r.what;
        EXPECT_EQ(s.BlockOf(r.tag), r.block11) << r.what;
        EXPECT_EQ(kOlder.BlockOf(r.tag), r.block12) << r.what;
    }
    // A block tag keeps the block within its field and the id within 16 bits.
    EXPECT_EQ(s.MakeBlockTag(0x7FF, 0x1234), 0x17FF1234u);
    EXPECT_EQ(s.MakeBlockTag(0x800, 0x1234), 0x10001234u);
    EXPECT_EQ(kOlder.MakeBlockTag(0x800, 0x1234), 0x18001234u);
    EXPECT_EQ(kOlder.MakeBlockTag(0xFFF, 0x11234), 0x1FFF1234u);
    for (uint32_t block : {0u, 1u, 0x3FFu, 0x7FFu})
        EXPECT_EQ(s.BlockOf(s.MakeBlockTag(block, 9)), block);
    EXPECT_EQ(kOlder.BlockOf(kOlder.MakeBlockTag(0xFFF, 9)), 0xFFFu);
}

TEST(Profile, AnInstalledProfileIsEveryFreshContextsUntilAnotherIs) {
    EXPECT_EQ(&InstalledProfile(), &SalvinoProfile());
    Ctx().sink.stopValue = 5;
    InstallProfile(kOlder);
    // Installing resets the context: nothing of the previous dialect stays.
    EXPECT_EQ(Ctx().sink.stopValue, 0);
    EXPECT_EQ(Ctx().profile, &kOlder);
    EXPECT_EQ(OffsetOf(0x0ABCDEF1), 0x0ABCDEF1u);
    ResetContext();
    EXPECT_EQ(Ctx().profile, &kOlder);
    EXPECT_STREQ(ShapeNameOf(0), "BASE");
    InstallProfile(SalvinoProfile());
    EXPECT_EQ(Ctx().profile, &SalvinoProfile());
    EXPECT_EQ(OffsetOf(0x0ABCDEF1), 0x02BCDEF1u);
    EXPECT_STREQ(ShapeNameOf(1), "SS_PARALLELOGRAM");
}
