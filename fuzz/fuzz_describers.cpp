// libFuzzer target: the describers over one packet or one function's data.
// Byte 0 picks which: even, a packet (byte 1 its type, byte 2 its flags, the
// rest its data) laid out as a one-packet document; odd, a function (byte 1
// its group, byte 2 its subfunction, the rest the function's bytes after
// those two). Each is described twice, and the two details must be the same.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/Describe.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "fuzz/FuzzProfile.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

namespace {

class Lines final : public engine::ListTarget {
public:
    void Append(std::string_view text, uint32_t tag) override { lines.emplace_back(std::string(text), tag); }
    size_t Size() const override { return lines.size(); }
    std::string Text(size_t i) const override { return i < lines.size() ? lines[i].first : std::string(); }
    uint32_t Tag(size_t i) const override { return i < lines.size() ? lines[i].second : 0; }
    void RemoveLast() override {
        if (!lines.empty()) lines.pop_back();
    }
    std::vector<std::pair<std::string, uint32_t>> lines;
};

const std::string& ScratchPath() {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_describers.XXXXXX";
        const int fd = mkstemp(templ.data());
        if (fd < 0) std::abort();
        close(fd);
        std::atexit([] { unlink(ScratchPath().c_str()); });
        return templ;
    }();
    return path;
}

bool WriteScratch(const std::vector<uint8_t>& bytes) {
    const int fd = open(ScratchPath().c_str(), O_WRONLY | O_TRUNC);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return close(fd) == 0 && done == bytes.size();
}

void DescribeOnePacket(uint8_t type, uint8_t flags, const uint8_t* data, size_t size) {
    testsupport::DocBuilder b;
    testsupport::Packet p;
    p.type = type;
    p.flags = flags;
    p.payload.assign(data, data + size);
    b.Add(p);
    b.body.Text("x");
    if (!WriteScratch(b.Build())) return;

    testsupport::ScopedContext ctx;
    engine::FileHeader header;
    int readOnly = 0;
    int verdict = 0;
    engine::DocFile* f = engine::OpenDocument(ScratchPath(), &header, &readOnly, &verdict);
    if (!f) return;
    if (engine::ReadIndex(f, engine::kNoTarget) == 0) {
        Lines first, second;
        engine::DescribePacket(f, 1, &first);
        engine::DescribePacket(f, 1, &second);
        if (first.lines != second.lines) std::abort();
    }
    engine::CloseDocument(f);
}

void DescribeOneFunction(uint8_t group, uint8_t sub, const uint8_t* data, size_t size) {
    testsupport::ScopedContext ctx;
    // A small packet table for the ids a function names.
    engine::Ctx().doc.packets.resize(4);
    std::vector<uint8_t> function{group, sub};
    function.insert(function.end(), data, data + size);
    auto once = [&] {
        Lines lines;
        engine::SinkSwitches switches;
        switches.describerTarget = &lines;
        engine::OperationScope detail(engine::Operation::Detail, switches);
        engine::DescribeFunctionData(group, sub, function);
        return lines.lines;
    };
    if (once() != once()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzprofile::Install();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    if ((data[0] & 1) == 0)
        DescribeOnePacket(data[1], data[2], data + 3, size - 3);
    else
        DescribeOneFunction(data[1], data[2], data + 3, size - 3);
    return 0;
}
