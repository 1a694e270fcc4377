#pragma once
// The describers of variable-length function data. Each takes the function's
// bytes as DescribeFunctionData passes them and reads from the cursor, which
// starts after the non-deletable size word.

#include <cstdint>
#include <span>

#include "engine/Describer.h"

namespace engine {

void DescribeNewWordValue(std::span<const uint8_t> function);
void DescribeNewByteValue(std::span<const uint8_t> function);
void DescribeOnOffState(std::span<const uint8_t> function);
void DescribeAbsoluteRelative(std::span<const uint8_t> function);
void DescribeSuppressFlags(std::span<const uint8_t> function);
void DescribeWidowOrphan(std::span<const uint8_t> function);
void DescribeLinesToDisplay(std::span<const uint8_t> function);
void DescribeStyleReference(std::span<const uint8_t> function);
void DescribeNoDeletableData(std::span<const uint8_t> function);
void DescribeTabRegion(std::span<const uint8_t> function);
void DescribeProofingLevel(std::span<const uint8_t> function);
void DescribeColumnDefinition(std::span<const uint8_t> function);
void DescribeDelayCodes(std::span<const uint8_t> function);
void DescribeMarginChange(std::span<const uint8_t> function);
void DescribeBorderFunction(std::span<const uint8_t> function);
void DescribeDropCap(std::span<const uint8_t> function);
void DescribeTableDefinition(std::span<const uint8_t> function);
void DescribeRulePosition(std::span<const uint8_t> function);
void DescribeBoxFunction(std::span<const uint8_t> function);

// The pieces an older form of a describer is made of.
struct BoxDetail {};
using BoxSection = FlagSection<BoxDetail>;
using DrawSection = FlagSection<int>;
// The box function's head, the sections by the box flags, its rectangles
// and its deletable part; Salvino's sections in their order.
void DescribeBoxFunctionWith(std::span<const BoxSection> sections);
std::span<const BoxSection> BoxSections();
// A draw-object block with the sections by its flags; Salvino's sections.
void DescribeDrawObjectWith(std::span<const DrawSection> sections);
std::span<const DrawSection> DrawObjectSections();
// The four new margins of a margin change.
std::span<const FieldRow> NewMarginRows();

// Name tables read by the describers, in their order.
const NameTable& ArrowStyleNames();
const NameTable& ShadowCornerNames();
const NameTable& GradientKindNames();
const NameTable& WrapKindNames();

}  // namespace engine
