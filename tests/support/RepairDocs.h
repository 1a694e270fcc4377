#pragma once
// Generated documents for the repair's benchmark and kill test: damaged
// stretches in the body and in text blocks, undo areas, and undo packets
// named by body functions beside packets that stay.

#include <cstddef>

#include "tests/support/DocBuilder.h"

namespace testsupport {

// About `megabytes` of body; dense puts a code between every few words,
// sparse writes long runs of text. `damaged` stretches in all, half in the
// body and half in text blocks.
DocBuilder MakeRepairDocument(size_t megabytes, bool dense, int damaged = 1000);

}  // namespace testsupport
