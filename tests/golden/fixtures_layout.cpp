// Packets whose child lists and text-block tables the check, the detail and
// the repair all read: blocks of two packets, and lists past their data.

#include "tests/golden/Fixtures.h"
#include "tests/support/DocBuilder.h"

namespace {

using testsupport::Body;
using testsupport::DocBuilder;
using testsupport::Packet;

bool WriteLayoutFixtures(const std::string& dir) {
    DocBuilder b;
    Packet first;
    first.type = 0x6F;  // text blocks, no describer
    first.blocks = {Body().Text("One"), Body().Text("Two")};
    b.Add(first);  // 1

    Packet second;
    second.type = 0x6F;
    second.children = {0};
    second.blocks = {Body().Text("Three")};
    b.Add(second);  // 2

    Packet shortList;
    shortList.type = 0x6F;  // a child count past the data, the table after it
    shortList.flags = 0x03;
    shortList.childCount = 0x40;
    shortList.children = {0};
    b.Add(shortList);  // 3

    Packet pastData;
    pastData.type = 0x6F;  // sizes larger than the data
    pastData.blocks = {Body().Text("Cut")};
    pastData.blockSizes = {0x100};
    b.Add(pastData);  // 4

    b.body = Body().Text("Body");
    return golden::WriteFixture(dir, "layout.qwd", b.Build());
}
GOLDEN_FIXTURES(WriteLayoutFixtures);

}  // namespace
