#include "sheet/Settings.h"

#include <QSettings>
#include <QString>
#include <cstdio>

#include "engine/Format.h"
#include "sheet/SheetProfile.h"

namespace inspector {

namespace {

const QString kSettings = QStringLiteral("Settings/");
const QString kRecent = QStringLiteral("Recent Files/");

QString Key(const char* name) { return kSettings + QString::fromLatin1(name); }

QString RecentKey(int n) {
    return kRecent + QString::fromStdString(engine::Format("%s_%i", "File", n));
}

// Masks are written unsigned; a signed value read back (-1) means the same bits.
uint32_t ReadNumber(QSettings& store, const char* name, uint32_t fallback) {
    const QString text = store.value(Key(name)).toString().trimmed();
    if (text.isEmpty()) return fallback;
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (!ok) return fallback;
    return static_cast<uint32_t>(static_cast<qulonglong>(v));
}

void WriteNumber(QSettings& store, const char* name, uint32_t v) {
    store.setValue(Key(name), QString::number(v));
}

constexpr const char* kCodeMaskNames[] = {"QW Filter Flags 1", "QW Filter Flags 2"};
constexpr const char* kGraphicsMaskNames[] = {"QWG Filter Flags 1", "QWG Filter Flags 2"};
constexpr const char* kPrefixMaskNames[] = {"PREFIX Filter Flags 1", "PREFIX Filter Flags 2",
                                            "PREFIX Filter Flags 3", "PREFIX Filter Flags 4",
                                            "PREFIX Filter Flags 5", "PREFIX Filter Flags 6",
                                            "PREFIX Filter Flags 7", "PREFIX Filter Flags 8"};
constexpr size_t kFaceNameMax = 31;

}  // namespace

QSettings SettingsStore(const SheetProfile& p) {
    return QSettings(QString::fromLatin1(p.organisation), QString::fromLatin1(p.application));
}

void ExchangeLogFontText(std::string& text, LogFont& f, FontExchange direction) {
    if (direction == FontExchange::FontToText) {
        text = engine::Format("%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld", long{f.height},
                              long{f.width}, long{f.escapement}, long{f.orientation}, long{f.weight},
                              long{f.italic}, long{f.underline}, long{f.strikeOut}, long{f.charSet},
                              long{f.outPrecision}, long{f.clipPrecision}, long{f.quality},
                              long{f.pitchAndFamily});
        return;
    }
    long v[13] = {};
    std::sscanf(text.c_str(), "%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld", &v[0], &v[1], &v[2],
                &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12]);
    auto word = [](long x) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long>(x))); };
    auto byte = [](long x) { return static_cast<uint8_t>(static_cast<unsigned long>(x) & 0xFF); };
    f.height = word(v[0]);
    f.width = word(v[1]);
    f.escapement = word(v[2]);
    f.orientation = word(v[3]);
    f.weight = word(v[4]);
    f.italic = byte(v[5]);
    f.underline = byte(v[6]);
    f.strikeOut = byte(v[7]);
    f.charSet = byte(v[8]);
    f.outPrecision = byte(v[9]);
    f.clipPrecision = byte(v[10]);
    f.quality = byte(v[11]);
    f.pitchAndFamily = byte(v[12]);
}

void SheetSettings::Read(QSettings& store, bool viewSettings) {
    hex = ReadNumber(store, "Hex", 1);
    updateInterval = ReadNumber(store, "Update Interval", 60);
    if (viewSettings) {
        openFilterIndex = ReadNumber(store, "Open Dialog Filter Index", 1);
        buttonDefaults = ReadNumber(store, "Button defaults", 3);
        batchAvailable = ReadNumber(store, "BatchAvailable", 0);
    }
    for (size_t i = 0; i < 2; ++i) codeMasks[i] = ReadNumber(store, kCodeMaskNames[i], 0);
    for (size_t i = 0; i < 2; ++i) graphicsMasks[i] = ReadNumber(store, kGraphicsMaskNames[i], 0);
    for (size_t i = 0; i < 8; ++i)
        prefixMasks[i] = ReadNumber(store, kPrefixMaskNames[i], i < 7 ? 0xFFFFFFFFu : 0x7FFFFFFFu);
    if (codeMasks[0] == 0 && codeMasks[1] == 0) codeMasks = {0xFFFFFFFF, 0xFFFFFFFF};
    if (graphicsMasks[0] == 0 && graphicsMasks[1] == 0) graphicsMasks = {0xFFFFFFFF, 0xFFFFFFFF};

    listFont.reset();
    std::string text = store.value(Key("Font")).toString().toStdString();
    const std::string face = store.value(Key("FaceName")).toString().toStdString();
    if (!text.empty() && !face.empty()) {
        LogFont f;
        ExchangeLogFontText(text, f, FontExchange::TextToFont);
        f.faceName = face.substr(0, kFaceNameMax);
        listFont = f;
    }
}

void SheetSettings::Write(QSettings& store, bool viewSettings) const {
    WriteNumber(store, "Hex", hex);
    WriteNumber(store, "Update Interval", updateInterval);
    if (viewSettings) {
        WriteNumber(store, "Open Dialog Filter Index", openFilterIndex);
        WriteNumber(store, "Button defaults", buttonDefaults);
        WriteNumber(store, "BatchAvailable", batchAvailable);
    }
    for (size_t i = 0; i < 2; ++i) WriteNumber(store, kCodeMaskNames[i], codeMasks[i]);
    for (size_t i = 0; i < 2; ++i) WriteNumber(store, kGraphicsMaskNames[i], graphicsMasks[i]);
    for (size_t i = 0; i < 8; ++i) WriteNumber(store, kPrefixMaskNames[i], prefixMasks[i]);
}

void WriteListFont(QSettings& store, const LogFont& font) {
    std::string text;
    LogFont copy = font;
    ExchangeLogFontText(text, copy, FontExchange::FontToText);
    store.setValue(Key("Font"), QString::fromStdString(text));
    store.setValue(Key("FaceName"), QString::fromStdString(font.faceName));
}

void RecentFiles::Read(QSettings& store) {
    entries_.clear();
    for (int n = 1; n <= max_; ++n) {
        const QByteArray v = store.value(RecentKey(n)).toString().toLocal8Bit();
        if (v.isEmpty()) break;
        entries_.emplace_back(v.constData(), static_cast<size_t>(v.size()));
    }
}

void RecentFiles::Write(QSettings& store) const {
    int n = 0;
    for (const std::string& path : entries_)
        store.setValue(RecentKey(++n), QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
    for (int k = n + 1; store.contains(RecentKey(k)); ++k) store.remove(RecentKey(k));
}

void RecentFiles::Add(const std::string& path) {
    if (path.empty()) return;
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (*it == path) {
            entries_.erase(it);
            break;
        }
    }
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > static_cast<size_t>(max_)) entries_.pop_back();
}

std::optional<std::string> RecentFiles::Get(int number) const {
    if (number < 1 || static_cast<size_t>(number) > entries_.size()) return std::nullopt;
    return entries_[static_cast<size_t>(number) - 1];
}

}  // namespace inspector
