#pragma once
// Symbolic names of drawn-object shapes, shared by the document and the
// graphics side. A shape id and a table code differ by 83.

#include <cstddef>
#include <cstdint>
#include <span>

namespace engine {

struct ShapeName {
    uint32_t code;
    char name[48];  // zero-padded
};

inline constexpr int32_t kShapeCodeBias = 83;
inline constexpr size_t kShapeNameRows = 135;

// The whole table in its order: 133 shapes, "SHAPETYPE_INVALID", then the
// end row "SHAPETYPE_LAST".
std::span<const ShapeName> ShapeNames();

// 1 after copying the name of the row whose code is id + 83 into `buf` (at
// most `len` bytes, the rest zero-filled); 0, buffer untouched, when none.
int LookupShapeName(int32_t id, char* buf, size_t len);
// The same lookup as a pointer into the table; nullptr when none.
const char* ShapeNameOf(int32_t id);

}  // namespace engine
