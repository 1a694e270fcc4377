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

// Name tables read by the describers, in their order.
const NameTable& ArrowStyleNames();
const NameTable& ShadowCornerNames();
const NameTable& GradientKindNames();
const NameTable& WrapKindNames();

}  // namespace engine
