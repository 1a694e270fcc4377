// The shape-name table and its lookup.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/EngineContext.h"
#include "engine/ShapeNames.h"

using namespace engine;

TEST(ShapeNames, LookupBoundaries) {
    ResetContext();
    struct Row {
        int32_t id;
        const char* name;  // nullptr: no row
    };
    const Row rows[] = {
        {0, "SS_BASE"},
        {-62, "POLYLINE"},
        {-57, "COMPOUND_POLYGON"},
        {-51, "GROUP"},
        {-14, "NOSHAPE"},
        {-13, "LINE"},
        {-12, "LINE"},
        {-3, "RECTROUND"},
        {-2, nullptr},  // code 81 has no row
        {-1, "ELLIPSE"},
        {1, "SS_PARALLELOGRAM"},  // a document's stored smart-shape 84, minus 83
        {112, "SS_ACTION_PREVIOUS_TRANSITION"},
        {113, "SHAPETYPE_INVALID"},
        {114, nullptr},
        {-83, nullptr},
        {-84, nullptr},
        {INT32_MAX, nullptr},
        {INT32_MIN, nullptr},
    };
    for (const Row& r : rows) {
        char buf[80];
        std::memset(buf, 'x', sizeof buf);
        const int found = LookupShapeName(r.id, buf, sizeof buf);
        if (r.name) {
            EXPECT_EQ(found, 1) << r.id;
            EXPECT_STREQ(buf, r.name) << r.id;
            for (size_t i = std::strlen(r.name); i < sizeof buf; ++i) ASSERT_EQ(buf[i], 0) << r.id;
        } else {
            EXPECT_EQ(found, 0) << r.id;
            EXPECT_EQ(buf[0], 'x') << r.id;  // untouched
        }
    }
}

TEST(ShapeNames, TableShape) {
    const auto t = ShapeNames();
    ASSERT_EQ(t.size(), 135u);
    EXPECT_EQ(t[133].code, 196u);
    EXPECT_STREQ(t[133].name, "SHAPETYPE_INVALID");
    EXPECT_EQ(t[134].code, 195u);
    EXPECT_STREQ(t[134].name, "SHAPETYPE_LAST");
    // After the first seven rows: codes 69-80, then 82-195, one each.
    uint32_t expected = 69;
    for (size_t i = 7; i < 133; ++i, ++expected) {
        if (expected == 81) ++expected;
        ASSERT_EQ(t[i].code, expected) << i;
        ASSERT_EQ(t[i].name[sizeof t[i].name - 1], 0) << i;
    }
}

TEST(ShapeNames, ShortBufferGetsAPrefix) {
    ResetContext();
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(LookupShapeName(0, buf, 3), 1);
    EXPECT_EQ(std::string(buf, 3), "SS_");
    EXPECT_EQ(buf[3], 'x');
}
