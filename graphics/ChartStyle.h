#pragma once
// The Chart Style record (type 16): its area, id and style sub-records.

#include "graphics/Records.h"

namespace graphics {

// The record's handler, called through the record table.
void DumpChartStyle(const RecordRow& row);

}  // namespace graphics
