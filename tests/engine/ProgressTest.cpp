// The progress dialog: percent text, stepping, Cancel, and running headless.

#include <gtest/gtest.h>

#include "engine/Captions.h"
#include "engine/EngineContext.h"
#include "engine/Progress.h"
#include "tests/support/Recording.h"

using namespace engine;
using testsupport::ScopedContext;

TEST(Progress, PercentTextAt50AndAtTheUpperBound) {
    ScopedContext c;
    CProgressDialog d(kCaptionCrossReference);
    ASSERT_EQ(d.Create(), 1);
    d.SetRange(0, 100);
    d.SetStep(50);
    d.StepIt();
    EXPECT_EQ(d.PercentText(), "50%");
    d.StepIt();
    EXPECT_EQ(d.PercentText(), "100%");
    EXPECT_EQ(c.progress.captions, std::vector<std::string>{"Building Cross Reference"});
    EXPECT_EQ(c.log.Lines(), std::vector<std::string>{"P Building Cross Reference"});
}

TEST(Progress, TextIsSetOnlyWhenItChanges) {
    ScopedContext c;
    CProgressDialog d;
    d.Create();
    d.SetRange(0, 1000);
    d.SetStep(1);
    for (int i = 0; i < 25; ++i) d.StepIt();
    // Positions 1-9 read 0%, 10-19 1%, 20-25 2%.
    EXPECT_EQ(c.progress.percentTexts, (std::vector<std::string>{"0%", "1%", "2%"}));
    EXPECT_EQ(c.progress.captions, std::vector<std::string>{"Please Wait"});
}

TEST(Progress, EmptyOrReversedRangeShows100WithoutDividing) {
    for (auto [lower, upper] : {std::pair{5, 5}, std::pair{10, 3}}) {
        ScopedContext c;
        CProgressDialog d;
        d.Create();
        d.SetRange(lower, upper);
        d.StepIt();
        EXPECT_EQ(d.PercentText(), "100%");
    }
}

TEST(Progress, PastTheUpperBoundTheBarStartsOver) {
    ScopedContext c;
    CProgressDialog d;
    d.Create();
    d.SetRange(0, 100);
    d.SetStep(40);
    d.StepIt();
    d.StepIt();
    d.StepIt();  // 120 wraps to 20
    EXPECT_EQ(d.Position(), 20);
    EXPECT_EQ(d.PercentText(), "20%");
    EXPECT_EQ(c.progress.positions, (std::vector<int>{0, 40, 80, 20}));
}

TEST(Progress, CancelIsReportedOnceAfterItsStep) {
    ScopedContext c;
    c.progress.cancelAfterSteps = 2;
    CProgressDialog d;
    d.Create();
    d.StepIt();
    EXPECT_FALSE(d.CheckCancel());
    d.StepIt();
    EXPECT_TRUE(d.CheckCancel());
    EXPECT_FALSE(d.CheckCancel());
}

TEST(Progress, OwnerIsReleasedWhenTheDialogGoes) {
    ScopedContext c;
    {
        CProgressDialog d;
        d.Create();
        EXPECT_EQ(c.progress.live, 1);
    }
    EXPECT_EQ(c.progress.live, 0);
}

TEST(Progress, WorksWithoutHostAndReportsAFailedWindow) {
    ScopedContext c;
    Ctx().hosts.progress = nullptr;
    CProgressDialog headless;
    EXPECT_EQ(headless.Create(), 1);
    EXPECT_FALSE(headless.HasWindow());
    headless.StepIt();
    EXPECT_EQ(headless.PercentText(), "10%");
    EXPECT_FALSE(headless.CheckCancel());

    c.progress.failCreate = true;
    CProgressDialog failed;
    EXPECT_EQ(failed.Create(&c.progress), 0);
    failed.StepIt();
    EXPECT_FALSE(failed.CheckCancel());
}

TEST(Captions, EngineCaptionsAndUnknownIds) {
    struct Row {
        int id;
        const char* text;
    };
    const Row rows[] = {
        {104, "Please Wait"},
        {57610, "Scanning Prefix Packets"},
        {57611, "Scanning for Errors:  Pass 2"},
        {57617, "Scanning Document for Prefix Usage"},
        {57637, "Scanning For Errors: Pass 1"},
        {57618, ""},
        {-1, ""},
    };
    for (const Row& r : rows) EXPECT_STREQ(Caption(r.id), r.text) << r.id;
}
