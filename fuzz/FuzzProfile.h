#pragma once
// FUZZ_PROFILE=glimmet runs a target under the older inspector's dialect:
// the same inputs must be as safe in both.

#include <cstdlib>
#include <cstring>

#include "engine/Profile.h"
#include "legacy/engine/GlimmetProfile.h"

namespace fuzzprofile {

inline bool Glimmet() {
    const char* name = std::getenv("FUZZ_PROFILE");
    return name != nullptr && std::strcmp(name, "glimmet") == 0;
}

inline void Install() {
    if (Glimmet()) engine::InstallProfile(legacy::GlimmetProfile());
}

}  // namespace fuzzprofile
