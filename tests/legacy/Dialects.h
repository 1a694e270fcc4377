#pragma once
// Runs a case under one of the two profiles; Salvino's is back afterwards.

#include "engine/EngineContext.h"
#include "legacy/engine/GlimmetProfile.h"

namespace legacytest {

enum class Dialect { Salvino, Glimmet };

inline const char* NameOf(Dialect d) { return d == Dialect::Salvino ? "Salvino" : "Glimmet"; }

inline const engine::Profile& ProfileOf(Dialect d) {
    return d == Dialect::Salvino ? engine::SalvinoProfile() : legacy::GlimmetProfile();
}

// Install before making the test's context: a fresh context takes the
// installed profile.
class InstalledDialect {
public:
    explicit InstalledDialect(Dialect d) { engine::InstallProfile(ProfileOf(d)); }
    ~InstalledDialect() { engine::InstallProfile(engine::SalvinoProfile()); }
    InstalledDialect(const InstalledDialect&) = delete;
    InstalledDialect& operator=(const InstalledDialect&) = delete;
};

// One expectation per profile.
template <class T>
struct TwoColumns {
    T salvino;
    T glimmet;
    const T& For(Dialect d) const { return d == Dialect::Salvino ? salvino : glimmet; }
};

}  // namespace legacytest
