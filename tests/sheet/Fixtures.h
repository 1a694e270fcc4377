#pragma once
// Small documents for the sheet's tests and a private settings store per test.

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <string>

#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"

namespace inspector::testing {

// One font packet used once by the body: nothing to find.
inline testsupport::DocBuilder SoundDoc() {
    testsupport::DocBuilder b;
    testsupport::Packet font;
    font.type = 0x20;
    font.payload = {'A', 'r', 'i', 'a', 'l'};
    const uint16_t id = b.Add(font);
    b.body.Text("Sound text").Var(testsupport::Func(0xD4, 0x06, {id}));
    return b;
}

// The same with a use count that no reference backs.
inline testsupport::DocBuilder DamagedDoc() {
    testsupport::DocBuilder b = SoundDoc();
    b.At(1).useCount = 7;
    return b;
}

inline testsupport::DocBuilder GraphicsFile() {
    testsupport::DocBuilder b;
    b.header.fileType = 22;
    b.body.Raw({0x01, 0x02, 0x03});
    return b;
}

// Writes `b` into `dir` as a plain or a compound document; its path.
inline std::string WriteDoc(const testsupport::ScopedTempDir& dir, const std::string& name,
                            const testsupport::DocBuilder& b, bool compound) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(compound ? testsupport::WriteCompound(path, b.Build()) : b.WriteFile(path));
    return path;
}

// Settings of this process go to a folder of their own while it lives.
class SettingsSandbox {
public:
    SettingsSandbox() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }
    QSettings Store() const { return QSettings(QStringLiteral("Tarnwell"), QStringLiteral("Salvino")); }

private:
    QTemporaryDir dir_;
};

}  // namespace inspector::testing
