#pragma once
// The string table of the engine's progress captions.

#include <cstdint>

namespace engine {

inline constexpr int kCaptionPleaseWait = 104;
inline constexpr int kCaptionScanningPrefixPackets = 57610;
inline constexpr int kCaptionErrorsPass2 = 57611;
inline constexpr int kCaptionFixingPrefixCounts = 57612;
inline constexpr int kCaptionCrossReference = 57613;
inline constexpr int kCaptionErrorsPass3 = 57614;
inline constexpr int kCaptionCodeSummary = 57615;
inline constexpr int kCaptionPrefixSummary = 57616;
inline constexpr int kCaptionPrefixUsage = 57617;
inline constexpr int kCaptionErrorsPass1 = 57637;

// The caption of a string id; "" for an id the table lacks.
const char* Caption(int id);

}  // namespace engine
