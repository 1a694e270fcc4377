#include "graphics/ChartStyle.h"

namespace graphics {

// Placeholder until the sub-records are walked: dumped generically.
void DumpChartStyle(const RecordRow& row) { DumpGenericRecord(row); }

}  // namespace graphics
