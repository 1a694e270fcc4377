#pragma once
// Glimmet's window as a configuration of the shared sheet: its settings
// key, title, six pages, menu, print groups and the older engine forms
// its pages call.

#include "sheet/SheetProfile.h"

namespace legacy {

const inspector::SheetProfile& GlimmetSheetProfile();

}  // namespace legacy
