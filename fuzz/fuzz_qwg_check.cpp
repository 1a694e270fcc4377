// libFuzzer target: the check of a graphics stream into its error list.

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
        graphics::CheckQwgRecords(f, &c.defaultList, in.base);
        if (engine::Ctx().sink.defaultList != nullptr) std::abort();  // the pass clears it
    });
    return 0;
}
