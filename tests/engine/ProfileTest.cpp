// Name tables under a profile's overlay, and Salvino's own profile.

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
