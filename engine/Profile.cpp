#include "engine/Profile.h"

#include "engine/Check.h"
#include "engine/EngineContext.h"
#include "engine/Walker.h"

namespace engine {

const NameOverlayRow* Profile::OverlayRow(std::string_view table, uint32_t code) const {
    for (const NameOverlay& overlay : nameOverlays) {
        if (table != overlay.table) continue;
        for (const NameOverlayRow& row : overlay.rows)
            if (row.code == code) return &row;
    }
    return nullptr;
}

const Profile& SalvinoProfile() {
    // Salvino's tables are the shared ones as they stand: no overlays.
    static const Profile profile{
        .appName = "Salvino",
        .tagOffsetMask = 0x07FFFFFF,
        .tagCrossRef = 0x08000000,
        .tagBlockBits = 11,
        .nameOverlays = {},
        .textRuns = &SalvinoTextRuns(),
        .walkDamage = &SalvinoWalkDamage(),
        .refCounter = &SalvinoReferenceCounter(),
    };
    return profile;
}

namespace {
const Profile*& Installed() {
    static const Profile* installed = &SalvinoProfile();
    return installed;
}
}  // namespace

const Profile& InstalledProfile() { return *Installed(); }

void InstallProfile(const Profile& profile) {
    Installed() = &profile;
    ResetContext();
}

}  // namespace engine
