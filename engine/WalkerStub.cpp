// Until the walker lands: nothing is walked.
#include "engine/Walker.h"

namespace engine {

int32_t WalkCodeStream(const CodeWalkRequest&) { return 1; }
int OpenCorruptRange(CorruptStretch& s, DocFile*, ListTarget*, uint32_t offset, uint32_t, uint32_t,
                     const char*, int32_t) {
    s.valid = false;
    s.start = offset;
    return 0;
}
void CloseCorruptRange(CorruptStretch& s, uint16_t, uint16_t, uint32_t, uint32_t) { s.valid = true; }
void ReportDocCorrupt(ListTarget*, uint32_t) {}

}  // namespace engine
