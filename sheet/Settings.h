#pragma once
// The sheet's settings and recent-file list, kept with QSettings under the
// profile's organisation and application, in the sections "Settings" and
// "Recent Files". Qt Core only: no widgets.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QSettings;

namespace inspector {

struct SheetProfile;

// The list font as the settings keep it: the 13 numbers of "Font" and the
// face name of "FaceName".
struct LogFont {
    int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
    uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0, outPrecision = 0,
            clipPrecision = 0, quality = 0, pitchAndFamily = 0;
    std::string faceName;  // at most 31 characters

    bool operator==(const LogFont&) const = default;
};

enum class FontExchange { TextToFont = 0, FontToText = 1 };

// FontToText writes the 13 fields with the "Font" format; TextToFont reads
// as many numbers as the text holds (the rest stay 0), keeping the low byte
// of each byte field. The face name is not touched.
void ExchangeLogFontText(std::string& text, LogFont& font, FontExchange direction);

struct SheetSettings {
    uint32_t hex = 1;
    uint32_t updateInterval = 60;
    uint32_t openFilterIndex = 1;
    uint32_t buttonDefaults = 3;
    uint32_t batchAvailable = 0;
    std::array<uint32_t, 2> codeMasks{};      // "QW Filter Flags 1", "2"
    std::array<uint32_t, 2> graphicsMasks{};  // "QWG Filter Flags 1", "2"
    std::array<uint32_t, 8> prefixMasks{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                                        0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0x7FFFFFFF};
    std::optional<LogFont> listFont;  // none: the system's font

    // Reads every value with its default; a pair of code (or graphics) masks
    // that are both 0 means all, 0xFFFFFFFF each. Without `viewSettings`
    // "Open Dialog Filter Index", "Button defaults" and "BatchAvailable"
    // are neither read nor written.
    void Read(QSettings& store, bool viewSettings = true);
    // Writes the numbers (not "Font" and "FaceName": the Font command does).
    void Write(QSettings& store, bool viewSettings = true) const;
};

// Where the profile keeps its settings.
QSettings SettingsStore(const SheetProfile& p);

// Writes the list font as the Font command does.
void WriteListFont(QSettings& store, const LogFont& font);

class RecentFiles {
public:
    explicit RecentFiles(int max = 9) : max_(max) {}
    // File_1 onward, up to the first missing or empty value.
    void Read(QSettings& store);
    // File_1 .. File_n, then removes File_(n+1) onward while they exist.
    void Write(QSettings& store) const;
    // Moves (or adds) the path to the head; an empty path is ignored.
    void Add(const std::string& path);
    // Entry `number` counted from 1; none when there is no such entry.
    std::optional<std::string> Get(int number) const;

    const std::vector<std::string>& Entries() const { return entries_; }

private:
    int max_;
    std::vector<std::string> entries_;
};

}  // namespace inspector
