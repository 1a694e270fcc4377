// Every describer row over random and truncated inputs of 0 to 300 bytes:
// no input may crash, read outside its bytes (run under the sanitizers),
// give more than 10,000 lines or take more than 100 ms. Rows that are not
// bound yet go through the generic display and are swept all the same.

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "engine/Describe.h"
#include "engine/Describer.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Operation.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"

using namespace engine;
using testsupport::Body;
using testsupport::DocBuilder;
using testsupport::OpenDoc;
using testsupport::Packet;
using testsupport::ScopedContext;

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kLongest = 300;
constexpr size_t kMaxLines = 10000;
constexpr auto kMaxTime = std::chrono::milliseconds(100);

class Counted final : public ListTarget {
public:
    void Append(std::string_view, uint32_t) override { ++n; }
    size_t Size() const override { return n; }
    std::string Text(size_t) const override { return {}; }
    uint32_t Tag(size_t) const override { return 0; }
    void RemoveLast() override {
        if (n) --n;
    }
    size_t n = 0;
};

Bytes Random(std::mt19937& rng, size_t n) {
    Bytes b(n);
    for (uint8_t& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

// A child list and a text-block table of the kind the packets hold, then
// random bytes: cut at every length it shows each field half there.
Bytes Shaped(std::mt19937& rng) {
    Packet p;
    p.children = {1, 0};
    p.blocks = {Body().Text("Some text"), Body().Text("more")};
    Bytes b = p.Data();
    const Bytes tail = Random(rng, kLongest);
    b.insert(b.end(), tail.begin(), tail.end());
    b.resize(kLongest);
    return b;
}

std::vector<uint8_t> SweptTypes() {
    std::vector<uint8_t> types;
    for (uint32_t t = 0; t < kPacketDescriberTypes; ++t)
        if (PacketDescriberOf(t) != PacketDescriberId::None) types.push_back(static_cast<uint8_t>(t));
    types.push_back(0x6F);  // text blocks without a describer
    types.push_back(0x90);  // no describer at all
    return types;
}

template <class F>
void Bounded(const std::string& what, F describe) {
    Counted lines;
    const auto start = std::chrono::steady_clock::now();
    describe(&lines);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LE(lines.n, kMaxLines) << what;
    EXPECT_LE(took, kMaxTime) << what;
}

TEST(DescriberSweep, EveryPacketRowOverRandomAndTruncatedData) {
    std::mt19937 rng(1234);
    for (const uint8_t type : SweptTypes()) {
        ScopedContext c;
        DocBuilder b;
        struct Case {
            uint16_t id;
            std::string what;
        };
        std::vector<Case> cases;
        const Bytes shaped = Shaped(rng);
        for (size_t n = 0; n <= kLongest; ++n) {
            for (uint8_t flags = 0; flags < 4; ++flags) {
                Packet p;
                p.type = type;
                p.flags = flags;
                p.payload = Random(rng, n);
                cases.push_back({b.Add(p), "type " + std::to_string(type) + " flags " + std::to_string(flags) +
                                               " random " + std::to_string(n)});
            }
            Packet cut;
            cut.type = type;
            cut.flags = 0x03;
            cut.payload.assign(shaped.begin(), shaped.begin() + static_cast<ptrdiff_t>(n));
            cases.push_back({b.Add(cut), "type " + std::to_string(type) + " cut at " + std::to_string(n)});
        }
        b.body.Text("x");
        OpenDoc doc(b.Build());
        ASSERT_NE(doc.file, nullptr);
        ASSERT_EQ(ReadIndex(doc.file, kNoTarget), 0);
        for (const Case& k : cases)
            Bounded(k.what, [&](ListTarget* lines) { DescribePacket(doc.file, k.id, lines); });
    }
}

TEST(DescriberSweep, EveryFunctionRowOverRandomAndTruncatedData) {
    std::mt19937 rng(5678);
    ScopedContext c;
    Ctx().doc.packets.resize(8);  // ids the functions name
    const auto groups = FunctionDescribers();
    for (size_t g = 0; g < groups.size(); ++g) {
        for (size_t sub = 0; sub < groups[g].size(); ++sub) {
            if (groups[g][sub] == FunctionDescriberId::None) continue;
            const auto group = static_cast<uint8_t>(kFirstDescribedGroup + g);
            const Bytes whole = Random(rng, kLongest);
            for (size_t n = 0; n <= kLongest; ++n) {
                // Random bytes whose size word says n, and the same bytes cut
                // short of what their size word says.
                Bytes fn = Random(rng, n);
                for (int form = 0; form < 2; ++form) {
                    Bytes bytes = form == 0 ? fn : Bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(n));
                    if (bytes.size() > 0) bytes[0] = group;
                    if (bytes.size() > 1) bytes[1] = static_cast<uint8_t>(sub);
                    if (form == 0 && bytes.size() > 3) {
                        bytes[2] = static_cast<uint8_t>(n);
                        bytes[3] = static_cast<uint8_t>(n >> 8);
                    }
                    const std::string what = "function " + std::to_string(group) + "/" + std::to_string(sub) +
                                             (form == 0 ? " random " : " cut at ") + std::to_string(n);
                    Bounded(what, [&](ListTarget* lines) {
                        SinkSwitches switches;
                        switches.describerTarget = lines;
                        OperationScope detail(Operation::Detail, switches);
                        DescribeFunctionData(group, static_cast<uint16_t>(sub), bytes);
                    });
                }
            }
        }
    }
}

}  // namespace
