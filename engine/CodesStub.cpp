// Until the code describers land: lengths only, no names or descriptions.
#include "engine/Codes.h"

namespace engine {

uint32_t FixedFunctionLength(uint8_t code) {
    static constexpr uint8_t kLengths[15] = {4, 5, 3, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 8, 8};
    return code >= 0xF0 && code <= 0xFE ? kLengths[code - 0xF0] : 0;
}
const char* SingleByteCodeName(uint8_t) { return "Undefined or New bytecode"; }
const char* AttributeName(uint8_t) { return "Unknown"; }
const char* LookupKeyName(uint16_t, const KeyName*) { return "Undefined"; }
uint32_t DescribeFixedFunction(std::span<const uint8_t> item, ListTarget*, uint32_t, bool,
                               uint32_t, uint32_t, int, bool, bool) {
    return item.empty() ? 0 : FixedFunctionLength(item[0]);
}
void CloseInvalidRange(uint32_t) {}
int DescribeVariableFunction(std::span<const uint8_t>, ListTarget*, bool, uint32_t, int, uint32_t,
                             uint32_t) {
    return 1;
}

}  // namespace engine
