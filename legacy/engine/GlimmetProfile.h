#pragma once
// Glimmet, the older inspector: the shared engine with the older dialect's
// tag layout, limits, name overlays and strategies.

#include "engine/Profile.h"

namespace graphics {
struct DumpDialect;
class OutlineNumbering;
}  // namespace graphics

namespace legacy {

const engine::Profile& GlimmetProfile();

// The parts of the profile, for tests that look at one of them.
std::span<const engine::NameOverlay> GlimmetNameOverlays();
std::span<const engine::MessageOverlayRow> GlimmetMessages();
const engine::DescriberRows& GlimmetDescriberRows();
const graphics::DumpDialect& GlimmetDumpDialect();
const graphics::OutlineNumbering& GlimmetOutlineNumbering();

}  // namespace legacy
