#include "engine/ShapeNames.h"

#include <cstdint>
#include <cstring>
#include <iterator>

#include "engine/EngineContext.h"

namespace engine {

namespace {
constexpr ShapeName kShapeNames[] = {
    {26, "COMPOUND_POLYGON"},
    {21, "POLYLINE"},
    {22, "POLYSPLINE"},
    {23, "POLYCURVE"},
    {25, "ARC"},
    {24, "RECTANGLE"},
    {32, "GROUP"},
    {69, "NOSHAPE"},
    {70, "LINE"},
    {71, "LINE"},
    {72, "LINE_ARROW"},
    {73, "LINE_DOUBLE_ARROW"},
    {74, "LINE_POINT_ARROW"},
    {75, "POLYLINE_ARROW"},
    {76, "POLYLINE_DOUBLE_ARROW"},
    {77, "POLYLINE_POINT_ARROW"},
    {78, "POLYLINE_DOUBLE_POINT"},
    {79, "FREEHAND"},
    {80, "RECTROUND"},
    {82, "ELLIPSE"},
    {83, "SS_BASE"},
    {84, "SS_PARALLELOGRAM"},
    {85, "SS_TRAPEZOID"},
    {86, "SS_DIAMOND"},
    {87, "SS_OCTAGON"},
    {88, "SS_TRIANGLE"},
    {89, "SS_RIGHTTRIANGLE"},
    {90, "SS_HEXAGON"},
    {91, "SS_CROSS"},
    {92, "SS_PENTAGON"},
    {93, "SS_CAN"},
    {94, "SS_CUBE"},
    {95, "SS_BEVEL"},
    {96, "SS_FOLDEDCORNER"},
    {97, "SS_SMILEYFACE"},
    {98, "SS_DONUT"},
    {99, "SS_NOSYMBOL"},
    {100, "SS_BLOCKARC"},
    {101, "SS_HEART"},
    {102, "SS_LIGHTNING"},
    {103, "SS_DROP"},
    {104, "SS_PLAQUE"},
    {105, "SS_ARROW_RIGHT"},
    {106, "SS_ARROW_LEFT"},
    {107, "SS_ARROW_UP"},
    {108, "SS_ARROW_DOWN"},
    {109, "SS_ARROW_LEFT_RIGHT"},
    {110, "SS_ARROW_UP_DOWN"},
    {111, "SS_ARROW_QUAD"},
    {112, "SS_ARROW_LEFT_RIGHT_UP"},
    {113, "SS_ARROW_LEFT_UP"},
    {114, "SS_ARROW_BENT_UP"},
    {115, "SS_ARROW_STRIPED_RIGHT"},
    {116, "SS_ARROW_NOTCHED_RIGHT"},
    {117, "SS_ARROW_PENTAGON"},
    {118, "SS_ARROW_CHEVRON"},
    {119, "SS_ARROW_CALLOUT_RIGHT"},
    {120, "SS_ARROW_CALLOUT_LEFT"},
    {121, "SS_ARROW_CALLOUT_UP"},
    {122, "SS_ARROW_CALLOUT_DOWN"},
    {123, "SS_ARROW_CALLOUT_LEFT_RIGHT"},
    {124, "SS_ARROW_CALLOUT_UP_DOWN"},
    {125, "SS_ARROW_CALLOUT_QUAD"},
    {126, "SS_FLOW_PROCESS"},
    {127, "SS_FLOW_ALTERNATE_PROCESS"},
    {128, "SS_FLOW_DECISION"},
    {129, "SS_FLOW_DATA"},
    {130, "SS_FLOW_PREDEFINED_PROCESS"},
    {131, "SS_FLOW_INTERNAL_STORAGE"},
    {132, "SS_FLOW_DOCUMENT"},
    {133, "SS_FLOW_MULTIDOCUMENT"},
    {134, "SS_FLOW_TERMINATOR"},
    {135, "SS_FLOW_PREPARATION"},
    {136, "SS_FLOW_MANUAL_INPUT"},
    {137, "SS_FLOW_MANUAL_OPERATION"},
    {138, "SS_FLOW_CONNECTOR"},
    {139, "SS_FLOW_OFFPAGE_CONNECTOR"},
    {140, "SS_FLOW_CARD"},
    {141, "SS_FLOW_PUNCHED_TAPE"},
    {142, "SS_FLOW_SUMMING_JUNCTION"},
    {143, "SS_FLOW_OR"},
    {144, "SS_FLOW_COLLATE"},
    {145, "SS_FLOW_SORT"},
    {146, "SS_FLOW_EXTRACT"},
    {147, "SS_FLOW_MERGE"},
    {148, "SS_FLOW_STORED_DATA"},
    {149, "SS_FLOW_DELAY"},
    {150, "SS_FLOW_SEQUENTIAL_ACCESS_STORAGE"},
    {151, "SS_FLOW_MAGNETIC_DISK"},
    {152, "SS_FLOW_DIRECT_ACCESS_STORAGE"},
    {153, "SS_FLOW_DISPLAY"},
    {154, "SS_STAR_4POINT"},
    {155, "SS_STAR_5POINT"},
    {156, "SS_STAR_6POINT"},
    {157, "SS_STAR_8POINT"},
    {158, "SS_STAR_16POINT"},
    {159, "SS_STAR_24POINT"},
    {160, "SS_STAR_32POINT"},
    {161, "SS_RIBBON_UP"},
    {162, "SS_RIBBON_DOWN"},
    {163, "SS_WAVE"},
    {164, "SS_EXPLOSION_1"},
    {165, "SS_EXPLOSION_2"},
    {166, "SS_CALLOUT_RECT"},
    {167, "SS_CALLOUT_ROUNDRECT"},
    {168, "SS_CALLOUT_OVAL"},
    {169, "SS_CALLOUT_CLOUD"},
    {170, "SS_CALLOUT_LINE_2"},
    {171, "SS_CALLOUT_LINE_3"},
    {172, "SS_CALLOUT_LINE_2_NOBORDER"},
    {173, "SS_CALLOUT_LINE_3_NOBORDER"},
    {174, "SS_ACTION_CUSTOM"},
    {175, "SS_ACTION_HOME"},
    {176, "SS_ACTION_HELP"},
    {177, "SS_ACTION_INFORMATION"},
    {178, "SS_ACTION_BACK"},
    {179, "SS_ACTION_FORWARD"},
    {180, "SS_ACTION_BEGINNING"},
    {181, "SS_ACTION_END"},
    {182, "SS_ACTION_RETURN"},
    {183, "SS_ACTION_DOCUMENT"},
    {184, "SS_ACTION_SOUND"},
    {185, "SS_ACTION_MOVIE"},
    {186, "SS_ACTION_LAUNCH_APP"},
    {187, "SS_ACTION_LAUNCH_BROWSER"},
    {188, "SS_ACTION_GOTO"},
    {189, "SS_ACTION_STOP"},
    {190, "SS_ACTION_PAUSE"},
    {191, "SS_ACTION_STOP_SOUND"},
    {192, "SS_ACTION_VOLUME_UP"},
    {193, "SS_ACTION_VOLUME_DOWN"},
    {194, "SS_ACTION_NEXT_TRANSITION"},
    {195, "SS_ACTION_PREVIOUS_TRANSITION"},
    {196, "SHAPETYPE_INVALID"},
    {195, "SHAPETYPE_LAST"},
};
static_assert(std::size(kShapeNames) == kShapeNameRows);
}  // namespace

std::span<const ShapeName> ShapeNames() { return kShapeNames; }

const char* ShapeNameOf(int32_t id) {
    // Widened so that ids near the 32-bit limits cannot wrap onto a code.
    const int64_t code = static_cast<int64_t>(id) + kShapeCodeBias;
    if (code < 0 || code > UINT32_MAX) return nullptr;
    // The end row only closes the search.
    const auto searched = ShapeNames().first(kShapeNameRows - 1);
    return LookupName(searched, "ShapeNames", static_cast<uint32_t>(code), *Ctx().profile);
}

int LookupShapeName(int32_t id, char* buf, size_t len) {
    const char* name = ShapeNameOf(id);
    if (!name) return 0;
    if (buf && len) std::strncpy(buf, name, len);
    return 1;
}

}  // namespace engine
