// The probe's line format as the recording doubles write it, and the
// message-box answers they give.

#include <gtest/gtest.h>

#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "tests/support/Recording.h"

using namespace engine;
using namespace testsupport;

TEST(RecordingFormat, EscapesOnlyCrLfAndBackslash) {
    EXPECT_EQ(EscapeText("a\r\nb\\c\t\x01\xE9"), "a\\r\\nb\\\\c\t\x01\xE9");
    EventLog log;
    log.Line("detail", 0x4000ABCD, "x\ny");
    log.Add({'D', "list", 0, {}});
    log.Add({'T', {}, 0, "Salvino - a.qwd"});
    log.Add({'R', {}, 0, "-1"});
    log.Raw("E 0001 01 2E 0 0 10 20 0 0 0");
    EXPECT_EQ(log.Render(),
              "L detail 4000ABCD x\\ny\n"
              "D list\n"
              "T Salvino - a.qwd\n"
              "R -1\n"
              "E 0001 01 2E 0 0 10 20 0 0 0\n");
}

TEST(RecordingFormat, MessageAnswersFitTheButtons) {
    using D = RecordingMessages::Default;
    struct Row {
        D fallback;
        MsgButtons buttons;
        const char* record;
    };
    const Row rows[] = {
        {D::Yes, MsgButtons::YesNo, "B Salvino|Fix? -> YES"},
        {D::Yes, MsgButtons::OkCancel, "B Salvino|Fix? -> OK"},
        {D::No, MsgButtons::YesNoCancel, "B Salvino|Fix? -> NO"},
        {D::No, MsgButtons::OkCancel, "B Salvino|Fix? -> CANCEL"},
        {D::Cancel, MsgButtons::YesNo, "B Salvino|Fix? -> NO"},
        {D::Cancel, MsgButtons::YesNoCancel, "B Salvino|Fix? -> CANCEL"},
        {D::Cancel, MsgButtons::Ok, "B Salvino|Fix? -> OK"},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        c.messages.fallback = r.fallback;
        Ctx().hosts.messages->Show("Fix?", "", MsgIcon::Question, r.buttons);
        EXPECT_EQ(c.log.Lines(), std::vector<std::string>{r.record});
    }
}

TEST(RecordingFormat, ScriptedAnswersComeFirstAndCaptionsAreKept) {
    ScopedContext c;
    c.messages.script = {MsgAnswer::No};
    EXPECT_EQ(c.messages.Show("a", "Repair", MsgIcon::Warning, MsgButtons::YesNo), MsgAnswer::No);
    EXPECT_EQ(c.messages.Show("b", "Repair", MsgIcon::Warning, MsgButtons::YesNo), MsgAnswer::Yes);
    ASSERT_EQ(c.messages.boxes.size(), 2u);
    EXPECT_EQ(c.messages.boxes[0].caption, "Repair");
}

TEST(RecordingFormat, OneOrderedLogAcrossDoubles) {
    ScopedContext c;
    c.window.SetTitle("Salvino");
    AddListLine(&c.list, "first");
    AddTreeLine(&c.tree, AddTreeLine(&c.tree, kTreeRoot, "Root"), "Stream");
    c.StartPrinting(10, 1000, "p.qwd");
    Ctx().sink.highlighted = 5;
    AddCodeLine(&c.list, "framed", 5, false, ~0u, ~0u, 0x41);
    EXPECT_EQ(c.log.Lines(), (std::vector<std::string>{
                                 "T Salvino",
                                 "L list 00000000 first",
                                 "L tree 00000000 Root",
                                 "L tree 00000001 Stream",
                                 "L print 00000001 ---- File: p.qwd   Page: 1 ----",
                                 "L print 80000001 framed",
                             }));
}
