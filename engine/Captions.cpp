#include "engine/Captions.h"

#include "engine/Profile.h"

namespace engine {

namespace {
constexpr NameRow kCaptions[] = {
    {104, "Please Wait"},
    {57610, "Scanning Prefix Packets"},
    {57611, "Scanning for Errors:  Pass 2"},
    {57612, "Fixing prefix packet counts and flags"},
    {57613, "Building Cross Reference"},
    {57614, "Scanning for Errors:  Pass 3"},
    {57615, "Building Document Code Summary"},
    {57616, "Building Document Prefix Summary"},
    {57617, "Scanning Document for Prefix Usage"},
    {57637, "Scanning For Errors: Pass 1"},
};
}  // namespace

const char* Caption(int id) {
    if (id < 0) return "";
    for (const NameRow& r : kCaptions)
        if (r.code == static_cast<uint32_t>(id)) return r.name;
    return "";
}

}  // namespace engine
