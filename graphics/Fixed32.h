#pragma once
// 32.32 fixed-point numbers and the current transformation of a graphics
// entity. The arithmetic saturates the way the drawing code does, so the
// dumped "after" coordinates match what the program would draw.

#include <cstdint>

namespace graphics {

// A signed integer word over an unsigned fraction word, in units of 2^-32.
struct Fixed32 {
    int64_t raw = 0;

    static constexpr Fixed32 FromWords(int32_t integer, uint32_t fraction) {
        return {static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(integer)) << 32) |
                                     fraction)};
    }
    // A 16.16 value of the file, shifted into place.
    static constexpr Fixed32 FromFixed16(uint32_t v) {
        return {static_cast<int64_t>(static_cast<int32_t>(v)) * 65536};
    }
    static constexpr Fixed32 FromInt(int32_t v) { return FromWords(v, 0); }

    constexpr int32_t Integer() const { return static_cast<int32_t>(static_cast<uint64_t>(raw) >> 32); }
    constexpr uint32_t Fraction() const { return static_cast<uint32_t>(static_cast<uint64_t>(raw)); }
    constexpr bool operator==(const Fixed32&) const = default;
};

inline constexpr Fixed32 kFixedMax{INT64_MAX};       // integer 0x7FFFFFFF, fraction 0xFFFFFFFF
inline constexpr Fixed32 kFixedMin{-INT64_MAX};      // integer 0x80000000, fraction 1

Fixed32 FixedAdd(Fixed32 a, Fixed32 b);
Fixed32 FixedMultiply(Fixed32 a, Fixed32 b);
Fixed32 FixedNegate(Fixed32 a);
Fixed32 FixedAbs(Fixed32 a);

// x' = x*e0 + y*e2 + e4, y' = x*e1 + y*e3 + e5.
struct Transformation {
    Fixed32 e[6] = {Fixed32::FromInt(1), {}, {}, Fixed32::FromInt(1), {}, {}};

    void SetIdentity() { *this = Transformation{}; }
    void Linear(Fixed32 x, Fixed32 y, Fixed32* xOut, Fixed32* yOut) const;
    void Affine(Fixed32 x, Fixed32 y, Fixed32* xOut, Fixed32* yOut) const;
};

// e0 exactly 1 and e1 exactly 0; of e2-e5 only the integer words count.
bool IsIdentityTransform();
// Applies the current transformation to a coordinate pair in the current
// precision (16-bit integers, or 16.16 values in double precision).
void TransformPoint(uint32_t x, uint32_t y, uint32_t* xOut, uint32_t* yOut);

}  // namespace graphics
