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

// Blocks at the cursor, described for the functions that hold them.
void DescribeDrawObject();
void DescribeBorderFillOverride();
// The template override block; the bytes it covered, its size word included.
int64_t DescribeTemplateOverride();

// Name tables read by the describers, in their order.
std::span<const char* const> ArrowStyleNames();
std::span<const char* const> ShadowCornerNames();
std::span<const char* const> GradientKindNames();
std::span<const char* const> WrapKindNames();

}  // namespace engine
