// libFuzzer target: the record list of a graphics stream, unfiltered,
// filtered by one mask and by both.

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
        graphics::ListQwgRecords(f, &c.list, 264, 0xFFFFFFFF, 0xFFFFFFFF, in.base);
        graphics::ListQwgRecords(f, &c.list, 264, 0xFFFFFFFF, 0x5555AAAA, in.base);
        graphics::ListQwgRecords(f, &c.list, 264, 0x0F0F0F0F, 0xF0F0F0F0, in.base);
    });
    return 0;
}
