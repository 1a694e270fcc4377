// The running operation and the sink switches: set by a scope, put back on
// every way out, and what the describers count and book under each.

#include "engine/Operation.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/Check.h"
#include "engine/CheckState.h"
#include "engine/Describe.h"
#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"

using namespace engine;
using testsupport::DocBuilder;
using testsupport::OpenDoc;
using testsupport::Packet;
using testsupport::RecordingList;
using testsupport::ScopedContext;

namespace {

bool SameSwitches(const SinkSwitches& a, const SinkSwitches& b) {
    return a.stopValue == b.stopValue && a.defaultList == b.defaultList && a.usageList == b.usageList &&
           a.describerTarget == b.describerTarget;
}

TEST(OperationScope, NestedScopesRestoreTheOperationAndSwitchesBefore) {
    ScopedContext c;
    const SinkSwitches none = CurrentSwitches();
    SinkSwitches check;
    check.defaultList = &c.defaultList;
    SinkSwitches booking = check;
    booking.stopValue = -1;
    {
        OperationScope outer(Operation::CheckCount, check);
        EXPECT_EQ(CurrentOperation(), Operation::CheckCount);
        {
            OperationScope inner(Operation::CheckBook, booking);
            EXPECT_EQ(CurrentOperation(), Operation::CheckBook);
            EXPECT_EQ(Ctx().sink.stopValue, -1);
            {
                OperationScope keep(Operation::Detail);  // switches as they are
                EXPECT_TRUE(SameSwitches(CurrentSwitches(), booking));
            }
            EXPECT_EQ(CurrentOperation(), Operation::CheckBook);
        }
        EXPECT_EQ(CurrentOperation(), Operation::CheckCount);
        EXPECT_TRUE(SameSwitches(CurrentSwitches(), check));
    }
    EXPECT_EQ(CurrentOperation(), Operation::None);
    EXPECT_TRUE(SameSwitches(CurrentSwitches(), none));
}

TEST(OperationScope, EarlyReturnsAndExceptionsRestoreToo) {
    ScopedContext c;
    SinkSwitches usage;
    usage.usageList = true;
    usage.stopValue = 7;
    auto stopsEarly = [&](bool early) {
        OperationScope scope(Operation::UsageList, usage);
        if (early) return 1;
        OperationScope walk(Operation::Listing);
        return 2;
    };
    {
        OperationScope outer(Operation::Repair);
        EXPECT_EQ(stopsEarly(true), 1);
        EXPECT_EQ(CurrentOperation(), Operation::Repair);
        EXPECT_EQ(stopsEarly(false), 2);
        EXPECT_EQ(CurrentOperation(), Operation::Repair);
        EXPECT_THROW(
            {
                OperationScope probe(Operation::RepairProbe, usage);
                throw std::runtime_error("stop");
            },
            std::runtime_error);
        EXPECT_EQ(CurrentOperation(), Operation::Repair);
        EXPECT_EQ(Ctx().sink.stopValue, 0);
        EXPECT_FALSE(Ctx().sink.usageList);
    }
    EXPECT_EQ(CurrentOperation(), Operation::None);
}

// Packet 2 names packet 1 and then an id equal to the entry count.
DocBuilder ListThatEndsTooEarly() {
    DocBuilder b;
    Packet font;
    font.type = 0x22;
    font.payload = {1, 2};
    b.Add(font);  // 1
    Packet parent;
    parent.type = 0x90;
    parent.children = {1, 3};
    b.Add(parent);  // 2
    b.body.Text("x");
    return b;
}

TEST(OperationScope, ADetailAfterACheckCountsAndBooksNothing) {
    ScopedContext c;
    OpenDoc doc(ListThatEndsTooEarly().Build());
    ASSERT_NE(doc.file, nullptr);
    RecordingList report("report");
    CheckDocument(doc.file, &report);
    EXPECT_EQ(CurrentOperation(), Operation::None);
    const int32_t findings = Ctx().check.otherFindings;
    const uint32_t booked = Ctx().doc.packets[1].refsBooked;
    EXPECT_GT(booked, 0u);

    RecordingList detail("detail");
    DescribePacket(doc.file, 2, &detail);
    ASSERT_FALSE(detail.lines.empty());
    EXPECT_EQ(detail.lines.back().text, "TOO many child packets");
    EXPECT_EQ(Ctx().check.otherFindings, findings);
    EXPECT_EQ(Ctx().doc.packets[1].refsBooked, booked);
    EXPECT_EQ(CurrentOperation(), Operation::None);
    EXPECT_EQ(Ctx().describer.currentTarget, nullptr);
}

TEST(OperationScope, TheDescriberCountsOnlyInACheckWithARealListAndBooksOnlyInItsCrossReference) {
    ScopedContext c;
    OpenDoc doc(ListThatEndsTooEarly().Build());
    ASSERT_NE(doc.file, nullptr);
    ReadIndex(doc.file, kNoTarget);
    struct Row {
        const char* what;
        Operation op;
        bool realList;
        int32_t counted;
    };
    const Row rows[] = {
        {"detail", Operation::Detail, true, 0},
        {"usage list", Operation::UsageList, true, 0},
        {"check without a list", Operation::CheckCount, false, 0},
        {"check", Operation::CheckCount, true, 1},
        {"cross reference", Operation::CheckBook, true, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Ctx().check.otherFindings = 0;
        Ctx().doc.packets[1].refsBooked = 0;
        Ctx().doc.packets[1].firstRefSlot = 0;
        Ctx().doc.packets[1].countedUses = 1;
        Ctx().check.refs.assign(1, PacketRef{});
        SinkSwitches s;
        s.defaultList = r.realList ? SilentTarget() : nullptr;
        OperationScope scope(r.op, s);
        RecordingList detail("detail");
        DescribePacket(doc.file, 2, &detail);
        EXPECT_EQ(Ctx().check.otherFindings, r.counted);
        EXPECT_EQ(Ctx().doc.packets[1].refsBooked, r.op == Operation::CheckBook ? 1u : 0u);
        EXPECT_EQ(CurrentOperation(), r.op);  // the detail stays part of what runs
    }
}

}  // namespace
