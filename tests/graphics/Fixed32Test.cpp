// 32.32 arithmetic with its saturation, the identity test and the
// transformation of points in both precisions.

#include <gtest/gtest.h>

#include "graphics/Fixed32.h"
#include "tests/graphics/GraphicsInput.h"

namespace {

using graphics::Fixed32;
using graphics::Gfx;
using graphics::kFixedMax;
using graphics::kFixedMin;
using graphics::Precision;
using graphicstest::DumperTest;

constexpr Fixed32 F(int32_t integer, uint32_t fraction = 0) { return Fixed32::FromWords(integer, fraction); }
constexpr uint32_t kHalf = 0x80000000;

TEST(Fixed32, AddSaturatesOnOverflowOnly) {
    struct Row {
        Fixed32 a, b, sum;
    };
    const Row rows[] = {
        {F(1, kHalf), F(2, 0x40000000), F(3, 0xC0000000)},
        {F(-1), F(0, kHalf), F(-1, kHalf)},  // -0.5: integer word -1
        {kFixedMax, F(0, 1), kFixedMax},
        {F(INT32_MIN), F(-1, 0xFFFFFFFF), kFixedMin},  // both negative
        {kFixedMax, F(-1), F(0x7FFFFFFE, 0xFFFFFFFF)},  // mixed signs never overflow
    };
    for (const Row& r : rows) EXPECT_EQ(graphics::FixedAdd(r.a, r.b), r.sum) << r.a.raw << " + " << r.b.raw;
    EXPECT_EQ(kFixedMin.Integer(), INT32_MIN);
    EXPECT_EQ(kFixedMin.Fraction(), 1u);
}

TEST(Fixed32, MultiplyTruncatesMagnitudesAndAppliesTheSignLast) {
    struct Row {
        Fixed32 a, b, product;
    };
    const Row rows[] = {
        {F(1, kHalf), F(2), F(3)},
        {F(-2, kHalf), F(2), F(-3)},   // -1.5 * 2
        {F(-2, kHalf), F(-2), F(3)},
        {F(0, 1), F(0, kHalf), F(0)},   // below the last fraction bit
        {F(-1, 0xFFFFFFFF), F(0, kHalf), F(0)},  // truncated toward zero, not down
        {F(0x10000), F(0x8000), kFixedMax},      // 2^31 does not fit
        {F(-0x10000), F(0x8000), kFixedMin},
        {F(INT32_MIN), F(1), kFixedMin},         // its magnitude, 2^31, does not fit either
    };
    for (const Row& r : rows)
        EXPECT_EQ(graphics::FixedMultiply(r.a, r.b), r.product) << r.a.raw << " * " << r.b.raw;
}

TEST(Fixed32, NegateAndAbsWrapLikeTwosComplement) {
    EXPECT_EQ(graphics::FixedNegate(F(1, kHalf)), F(-2, kHalf));
    EXPECT_EQ(graphics::FixedAbs(F(-2, kHalf)), F(1, kHalf));
    EXPECT_EQ(graphics::FixedNegate(F(INT32_MIN)), F(INT32_MIN));
}

TEST_F(DumperTest, IdentityLooksAtTheFractionsOfTheFirstTwoElementsOnly) {
    struct Row {
        const char* what;
        int element;
        Fixed32 value;
        bool identity;
    };
    const Row rows[] = {
        {"e0 fraction", 0, F(1, 1), false},
        {"e1 fraction", 1, F(0, 1), false},
        {"e2 fraction", 2, F(0, kHalf), true},
        {"e3 one and a half", 3, F(1, kHalf), true},
        {"e3 two", 3, F(2), false},
        {"e4 integer", 4, F(1), false},
        {"e5 negative fraction", 5, F(-1, kHalf), false},
    };
    EXPECT_TRUE(graphics::IsIdentityTransform());
    for (const Row& r : rows) {
        Gfx().transform.SetIdentity();
        Gfx().transform.e[r.element] = r.value;
        EXPECT_EQ(graphics::IsIdentityTransform(), r.identity) << r.what;
    }
}

TEST_F(DumperTest, TransformPointInBothPrecisions) {
    struct Row {
        const char* what;
        Precision precision;
        Fixed32 e[6];
        uint32_t x, y, xOut, yOut;
    };
    const Fixed32 one = F(1), zero{};
    const Row rows[] = {
        {"single identity", Precision::Single, {one, zero, zero, one, zero, zero}, 5, 0xFFFE, 5, 0xFFFFFFFE},
        {"single translation", Precision::Single, {one, zero, zero, one, F(3), F(-4)}, 5, 6, 8, 2},
        // Quarter turn: x' = -y, y' = x.
        {"single rotation", Precision::Single, {zero, one, F(-1), zero, zero, zero}, 1, 2, 0xFFFFFFFE, 1},
        // -1.5 keeps the integer word, -2.
        {"single half scale", Precision::Single, {F(0, kHalf), zero, zero, one, zero, zero}, 0xFFFD, 0, 0xFFFFFFFE,
         0},
        {"double scale", Precision::Double, {F(2), zero, zero, one, zero, zero}, 0x00018000, 0x00020000, 0x00030000,
         0x00020000},
        // Narrowed through the magnitude: -3.0 exactly.
        {"double negative", Precision::Double, {F(2), zero, zero, one, zero, zero}, 0xFFFE8000, 0, 0xFFFD0000, 0},
        // 32767 * 32767 has more integer bits than 16.16 holds: the low ones are kept.
        {"double too wide", Precision::Double, {F(0x7FFF), zero, zero, one, zero, zero}, 0x7FFF0000, 0, 0x00010000,
         0},
    };
    for (const Row& r : rows) {
        Gfx().precision = r.precision;
        for (int i = 0; i < 6; ++i) Gfx().transform.e[i] = r.e[i];
        uint32_t x = 0, y = 0;
        graphics::TransformPoint(r.x, r.y, &x, &y);
        EXPECT_EQ(x, r.xOut) << r.what;
        EXPECT_EQ(y, r.yOut) << r.what;
    }
}

}  // namespace
