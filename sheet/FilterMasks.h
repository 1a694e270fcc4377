#pragma once
// What the Filter List page shows and stores, free of widgets: the rows of
// its three lists and how a choice of rows becomes the sheet's mask words
// and back.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace inspector {

struct CodeCategory {
    const char* name;
    uint32_t groupBits;  // "QW Filter Flags 1"
    uint32_t classBits;  // "QW Filter Flags 2"
};

inline constexpr size_t kCodeCategoryCount = 22;
inline constexpr size_t kGraphicsCategoryCount = 64;
inline constexpr size_t kPacketFilterRows = 215;

extern const std::array<CodeCategory, kCodeCategoryCount> kCodeCategories;
// Row r stands for graphics record type r + 1.
extern const std::array<const char*, kGraphicsCategoryCount> kGraphicsCategoryNames;

// "(0x%2X) %s" with the packet type's name.
std::string PacketFilterRowText(size_t type);

inline constexpr uint32_t kViewInvalidCodes = 0x80000000;  // bit 31 of the class mask
inline constexpr uint32_t kViewAvailable = 0x80000000;     // bit 31 of the eighth prefix word

struct FilterMasks {
    std::array<uint32_t, 2> code{};      // "QW Filter Flags 1", "2"
    std::array<uint32_t, 2> graphics{};  // "QWG Filter Flags 1", "2"
    std::array<uint32_t, 8> prefix{};    // "PREFIX Filter Flags 1" .. "8"

    bool operator==(const FilterMasks&) const = default;
};

// The lists' selection and the two check boxes.
struct FilterChoice {
    std::vector<bool> codes = std::vector<bool>(kCodeCategoryCount);
    std::vector<bool> graphics = std::vector<bool>(kGraphicsCategoryCount);
    std::vector<bool> packets = std::vector<bool>(kPacketFilterRows);
    bool viewInvalid = false;
    bool viewAvailable = true;

    bool operator==(const FilterChoice&) const = default;
};

// A row is selected when any of its bits is in the masks.
FilterChoice ChoiceFromMasks(const FilterMasks& masks);
// Each selected row's full bits; the two flags as bit 31.
FilterMasks MasksFromChoice(const FilterChoice& choice);

}  // namespace inspector
