// libFuzzer target: the detail of records of a graphics stream in both
// modes, at the places the list leads to and at places it does not.

#include <algorithm>

#include "fuzz/FuzzProfile.h"
#include "fuzz/QwgFuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzprofile::Install();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qwgfuzz::Input in;
    if (!qwgfuzz::Make(data, size, &in)) return 0;
    qwgfuzz::RunTwice(in, [&](engine::DocFile* f, testsupport::ScopedContext& c) {
        testsupport::RecordingList rows("rows");
        graphics::ListQwgRecords(f, &rows, 264, 0xFFFFFFFF, 0xFFFFFFFF, in.base);
        std::vector<uint32_t> places;
        const size_t n = rows.lines.size();
        // A spread of list lines, in order and then one back again.
        for (size_t i = 0; i < n; i += std::max<size_t>(1, n / 6)) places.push_back(rows.lines[i].tag);
        if (n != 0) places.push_back(rows.lines[n / 2].tag);
        places.push_back(0x1A + 3);
        places.push_back(0x07FFFFFF);
        for (uint32_t at : places)
            for (int mode : {264, 263}) graphics::DumpQwgRecordAt(f, &c.list, at, mode, in.base);
    });
    return 0;
}
