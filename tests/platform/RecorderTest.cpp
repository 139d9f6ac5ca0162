// The script the recorder writes: the answer goes before the action that
// opened its box (also inside a nested dialog), a wait follows an action
// that left a worker running, refused actions are left out.
#include <gtest/gtest.h>

#include "platform/ui/Recorder.h"
#include "platform/ui/MessageBox.h"

namespace {

ui::Action Act(const std::string& line) {
    auto parsed = ui::ParseScript(line);
    EXPECT_TRUE(parsed.ok()) << line;
    return parsed.actions.at(0);
}

TEST(Recorder, EachActionIsTheLineItWasParsedFrom) {
    for (const char* line : {"page PTZ Triggers", "set 1470 Front Door", "set 1470 ", "select 1471 4", "slide 1403 80",
                             "click 1492", "click OK", "dblclick 1130 1", "check 1170 2 1", "close", "wait"})
        EXPECT_EQ(ui::ScriptRecorder::Line(Act(line)), line);
    // A text of several lines: a set and its "line" continuations, which
    // parse back into the same text.
    for (const char* text : {"two\r\nlines", "\r\n", "a\r\n\r\nb\r\n"}) {
        ui::Action multi = Act("set 1 x");
        multi.text = text;
        const std::string line = ui::ScriptRecorder::Line(multi);
        auto back = ui::ParseScript(line);
        ASSERT_TRUE(back.ok()) << line;
        ASSERT_EQ(back.actions.size(), 1u) << line;
        EXPECT_EQ(back.actions[0].text, text);
    }
    for (const char* text : {"lone\nfeed", "lone\rreturn"}) {
        ui::Action multi = Act("set 1 x");
        multi.text = text;
        EXPECT_EQ(ui::ScriptRecorder::Line(multi), "") << "no script form";
    }
}

TEST(Recorder, KeystrokesIntoOneFieldAreOneSet) {
    ui::ScriptRecorder r;
    r.Start("ShowCameras");
    for (const char* line : {"set 1470 F", "set 1470 Fr", "set 1470 Fro",  // typing
                             "set 1471 x",                                  // another field
                             "set 1470 Front", "click 1492", "set 1470 Back"})
        r.BeginAction(Act(line)), r.EndAction(true, false);
    r.BeginAction(Act("set 1470 Backdoor"));  // refused: the earlier text stands
    r.EndAction(false, false);
    r.BeginAction(Act("set 1471 y"));
    r.Answered(ui::IDOK);
    r.EndAction(true, false);
    r.BeginAction(Act("set 1471 yz"));  // a box between: kept apart
    r.EndAction(true, false);
    EXPECT_EQ(r.Text(),
              "# operation: ShowCameras\n# recorded in the demo launcher\n"
              "set 1470 Fro\nset 1471 x\nset 1470 Front\nclick 1492\nset 1470 Back\n"
              "answer ok\nset 1471 y\nset 1471 yz\n");
}

TEST(Recorder, AnswersGoBeforeTheActionThatOpenedTheBox) {
    ui::ScriptRecorder r;
    r.Start("ShowCameras");
    r.BeginAction(Act("click 1492"));  // opens a nested dialog
    r.BeginAction(Act("set 1511 0"));
    r.EndAction(true, false);
    r.BeginAction(Act("click 1"));     // refused with a box
    r.Answered(ui::IDOK);
    r.EndAction(true, false);
    r.BeginAction(Act("click 9"));     // not applied
    r.EndAction(false, false);
    r.EndAction(true, false);          // the nested dialog closed
    r.BeginAction(Act("click 1006"));  // starts a worker ...
    r.EndAction(true, true);
    r.Answered(ui::IDYES);             // ... that asks
    EXPECT_EQ(r.Text(),
              "# operation: ShowCameras\n# recorded in the demo launcher\n"
              "click 1492\nset 1511 0\nanswer ok\nclick 1\nanswer yes\nclick 1006\nwait\n");
}

}  // namespace
