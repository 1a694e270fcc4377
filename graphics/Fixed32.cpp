#include "graphics/Fixed32.h"

#include "graphics/GraphicsState.h"

namespace graphics {

Fixed32 FixedAdd(Fixed32 a, Fixed32 b) {
    int64_t sum = 0;
    if (!__builtin_add_overflow(a.raw, b.raw, &sum)) return {sum};
    // Overflow needs operands of one sign.
    return a.raw >= 0 ? kFixedMax : kFixedMin;
}

Fixed32 FixedNegate(Fixed32 a) { return {static_cast<int64_t>(0 - static_cast<uint64_t>(a.raw))}; }

Fixed32 FixedAbs(Fixed32 a) { return a.raw < 0 ? FixedNegate(a) : a; }

Fixed32 FixedMultiply(Fixed32 a, Fixed32 b) {
    auto magnitude = [](int64_t v) {
        return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    };
    const unsigned __int128 product =
        (static_cast<unsigned __int128>(magnitude(a.raw)) * magnitude(b.raw)) >> 32;
    Fixed32 r = product > static_cast<unsigned __int128>(INT64_MAX)
                    ? kFixedMax
                    : Fixed32{static_cast<int64_t>(product)};
    if ((a.raw < 0) != (b.raw < 0)) r = FixedNegate(r);
    return r;
}

void Transformation::Linear(Fixed32 x, Fixed32 y, Fixed32* xOut, Fixed32* yOut) const {
    *xOut = FixedAdd(FixedMultiply(x, e[0]), FixedMultiply(y, e[2]));
    *yOut = FixedAdd(FixedMultiply(x, e[1]), FixedMultiply(y, e[3]));
}

void Transformation::Affine(Fixed32 x, Fixed32 y, Fixed32* xOut, Fixed32* yOut) const {
    Linear(x, y, xOut, yOut);
    *xOut = FixedAdd(*xOut, e[4]);
    *yOut = FixedAdd(*yOut, e[5]);
}

bool IsIdentityTransform() {
    const Transformation& t = Gfx().transform;
    return t.e[0] == Fixed32::FromInt(1) && t.e[1].raw == 0 && t.e[2].Integer() == 0 &&
           t.e[3].Integer() == 1 && t.e[4].Integer() == 0 && t.e[5].Integer() == 0;
}

namespace {

Fixed32 Widen(uint32_t v, Precision p) {
    return p == Precision::Single ? Fixed32::FromInt(static_cast<int16_t>(v)) : Fixed32::FromFixed16(v);
}

uint32_t Narrow(Fixed32 v, Precision p) {
    if (p == Precision::Single) return static_cast<uint32_t>(v.Integer());
    const Fixed32 m = FixedAbs(v);
    const uint32_t n = (static_cast<uint32_t>(m.Integer()) << 16) | (m.Fraction() >> 16);
    return v.raw < 0 ? 0u - n : n;
}

}  // namespace

void TransformPoint(uint32_t x, uint32_t y, uint32_t* xOut, uint32_t* yOut) {
    const GraphicsState& g = Gfx();
    Fixed32 tx, ty;
    g.transform.Affine(Widen(x, g.precision), Widen(y, g.precision), &tx, &ty);
    *xOut = Narrow(tx, g.precision);
    *yOut = Narrow(ty, g.precision);
}

}  // namespace graphics
