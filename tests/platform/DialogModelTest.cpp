#include <gtest/gtest.h>

#include <thread>

#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"
#include "platform/ui/TemplateBuilders.h"

namespace {

using namespace ui::tpl;

const ui::DialogTemplate kTemplate =
    Dlg(5000, "Test", 200, 100,
        {Edit(10, 5, 5, 80, 4), Button(11, "Go", 5, 25), Check(12, "Check", 5, 45), Radio(13, "A", 5, 60, 1),
         Radio(14, "B", 60, 60, 1), Slider(15, 5, 75, 100, 0, 10), List(16, 100, 5, 80, 60),
         Hidden(Button(17, "Hidden", 100, 70)), Disabled(Button(18, "Off", 150, 70)), Button(1, "OK", 150, 85),
         CheckReport(19, 100, 70, 80, 40, {"Name"}), Combo(22, 5, 90, 60, 40)});

const ui::DialogTemplate kPage1 = Dlg(5001, "First", 100, 50, {Edit(20, 5, 5, 50)});
const ui::DialogTemplate kPage2 = Dlg(5002, "Second", 120, 60, {Button(21, "B", 5, 5)});

class TestDialog : public ui::Dialog {
public:
    TestDialog() : ui::Dialog(5000, nullptr) {}
    std::vector<std::string> events;

protected:
    bool OnInitDialog() override {
        Item(16).AddItem("one");
        Item(16).AddItem("two");
        Item(19).AddItem("first");
        Item(19).AddItem("second");
        Item(22).AddItem("1");
        return true;
    }
    void OnClick(int id) override {
        events.push_back("click " + std::to_string(id));
        ui::Dialog::OnClick(id);
    }
    void OnTextChanged(int id) override { events.push_back("text " + std::to_string(id) + " " + GetItemText(id)); }
    void OnSelChange(int id) override { events.push_back("sel " + std::to_string(id)); }
    void OnItemChecked(int id, int row) override {
        events.push_back("check " + std::to_string(id) + " " + std::to_string(row) + " " +
                         std::to_string(Item(id).IsChecked(row)));
    }
    void OnSliderMoved(int id, int pos) override { events.push_back("slide " + std::to_string(id) + " " + std::to_string(pos)); }
    void OnMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l) override {
        if (msg == ui::WM_USER) events.push_back("msg " + std::to_string(w) + " " + std::to_string(l));
    }
};

class DialogModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::SetTemplateProvider([](int id) -> const ui::DialogTemplate* {
            if (id == 5000) return &kTemplate;
            if (id == 5001) return &kPage1;
            if (id == 5002) return &kPage2;
            return nullptr;
        });
        ui::DefaultScriptDriver().Clear();
        ui::DefaultMessageBoxes().Clear();
    }
    void Queue(const std::string& text) {
        auto parsed = ui::ParseScript(text);
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        ui::DefaultScriptDriver().Queue(parsed.actions);
    }
};

TEST_F(DialogModelTest, OperatorActionsReachTheHandlers) {
    TestDialog d;
    Queue("set 10 abcdefg\nclick 11\ntick 12 1\ntick 14 1\nslide 15 20\nselect 16 1\ncheck 19 1 1\nclick 1\n");
    EXPECT_EQ(d.DoModal(), 1);
    EXPECT_EQ(d.GetItemText(10), "abcd") << "typing stops at the max length";
    EXPECT_TRUE(d.IsTicked(12));
    EXPECT_TRUE(d.IsTicked(14));
    EXPECT_FALSE(d.IsTicked(13));
    EXPECT_EQ(d.Item(15).pos, 10) << "slider clamps to its range";
    EXPECT_EQ(d.events, (std::vector<std::string>{"text 10 abcd", "click 11", "click 12", "click 14", "slide 15 10",
                                                  "sel 16", "check 19 1 1", "click 1"}));
    EXPECT_EQ(d.Item(19).CheckedItems(), std::vector<int>{1});
}

TEST_F(DialogModelTest, ActionsOnMissingHiddenOrDisabledControlsAreErrors) {
    for (const char* action : {"click 99", "click 17", "click 18", "select 16 5", "tick 11 1", "set 11 x", "check 19 2 1",
                           "check 16 0 1", "set 22 1"}) {  // a drop-down list takes no typed text
        TestDialog d;
        ui::DefaultScriptDriver().Clear();
        Queue(action);
        EXPECT_THROW(d.DoModal(), ui::UiError) << action;
        EXPECT_FALSE(d.IsRunning());
    }
}

TEST_F(DialogModelTest, RunningOutOfActionsClosesTheDialog) {
    TestDialog d;
    EXPECT_EQ(d.DoModal(), 2);
    EXPECT_TRUE(ui::DefaultScriptDriver().Exhausted());
}

TEST_F(DialogModelTest, PostedMessagesArriveOnTheDialogThreadInOrder) {
    TestDialog d;
    std::thread poster;
    ui::DefaultScriptDriver().Then([&](ui::Dialog& dlg) {
        poster = std::thread([h = dlg.Handle()] {
            for (int i = 0; i < 50; ++i) ui::PostMessage(h, ui::WM_USER, i, -i);
        });
        poster.join();
        EXPECT_FALSE(ui::PostMessage(0, ui::WM_USER, 1, 1)) << "handle 0 reaches no window";
    });
    Queue("click 1");
    d.DoModal();
    std::vector<std::string> msgs;
    for (auto& e : d.events)
        if (e.rfind("msg", 0) == 0) msgs.push_back(e);
    ASSERT_EQ(msgs.size(), 50u);
    EXPECT_EQ(msgs.front(), "msg 0 0");
    EXPECT_EQ(msgs.back(), "msg 49 -49");
}

TEST_F(DialogModelTest, EndDialogFromAnotherThreadEndsTheRun) {
    TestDialog d;
    ui::DefaultScriptDriver().Then([&](ui::Dialog& dlg) { std::thread([&] { dlg.EndDialog(0); }).join(); });
    Queue("click 11\nclick 11");
    EXPECT_EQ(d.DoModal(), 0);
    EXPECT_EQ(ui::DefaultScriptDriver().Remaining(), 2u);
}

class Page : public ui::PropertyPage {
public:
    Page(int id, bool refuse) : ui::PropertyPage(id), refuse(refuse) {}
    bool OnApply() override {
        applied = true;
        return !refuse;
    }
    bool OnInitDialog() override {
        ++inits;
        return true;
    }
    bool refuse;
    bool applied = false;
    int inits = 0;
};

TEST_F(DialogModelTest, SheetCreatesPagesOnFirstActivationAndAppliesInOrder) {
    Page a(5001, false), b(5002, true), c(5001, false);
    ui::PropertySheet sheet;
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.AddPage(&c);
    sheet.Create(nullptr);
    EXPECT_TRUE(a.HasWindow());
    EXPECT_FALSE(b.HasWindow());
    EXPECT_EQ(sheet.FindPage("Second"), 1);
    sheet.SetActivePage(1);
    sheet.SetActivePage(0);
    sheet.SetActivePage(1);
    EXPECT_EQ(b.inits, 1);
    EXPECT_FALSE(sheet.ApplyAll());
    EXPECT_TRUE(a.applied);
    EXPECT_TRUE(b.applied);
    EXPECT_FALSE(c.applied) << "pages after a refusal are not asked";
}

TEST(ScriptParser, ParsesEveryActionAndRejectsBadLines) {
    auto r = ui::ParseScript("# comment\n\npage Names\nset 1001 two words \nselect 5 -1\ntick 3 0\r\nanswer yes\nwait\n");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.actions.size(), 6u);
    EXPECT_EQ(r.actions[0].text, "Names");
    EXPECT_EQ(r.actions[1].text, "two words ") << "set keeps the rest of the line verbatim";
    EXPECT_EQ(r.actions[2].n, -1);
    EXPECT_EQ(r.actions[4].n, ui::IDYES);
    struct Bad {
        const char* text;
        int line;
    };
    for (Bad b : {Bad{"click", 1}, Bad{"click x", 1}, Bad{"\nfly 3", 2}, Bad{"tick 3 2", 1}, Bad{"answer maybe", 1},
                  Bad{"select 3", 1}, Bad{"click 1 2", 1}, Bad{"page", 1}, Bad{"slide 1 99999999999", 1},
                  Bad{"check 19 1", 1}, Bad{"check 19 1 2", 1}, Bad{"line 7 x", 1}, Bad{"set 7 a\nline 8 b", 2},
                  Bad{"set 7 a\nclick 1\nline 7 b", 3}, Bad{"set 7 a\nline", 2}}) {
        auto bad = ui::ParseScript(b.text);
        EXPECT_FALSE(bad.ok()) << b.text;
        EXPECT_EQ(bad.errorLine, b.line) << b.text;
        EXPECT_TRUE(bad.actions.empty());
    }
}

TEST(ScriptParser, LinesContinueTheTextOfTheSetBefore) {
    auto r = ui::ParseScript("set 7 first\n# between\nline 7 \nline 7 third one\nset 7 again\n");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.actions.size(), 2u);
    EXPECT_EQ(r.actions[0].text, "first\r\n\r\nthird one");
    EXPECT_EQ(r.actions[0].line, 1);
    EXPECT_EQ(r.actions[1].text, "again");
}

TEST(MessageBoxes, CautiousDefaultAnswersAndQueuedOnes) {
    auto& boxes = ui::DefaultMessageBoxes();
    boxes.Clear();
    EXPECT_EQ(ui::ShowMessageBox(nullptr, "a", "", ui::MB_OK), ui::IDOK);
    EXPECT_EQ(ui::ShowMessageBox(nullptr, "b", "", ui::MB_YESNO | ui::MB_ICONQUESTION), ui::IDNO);
    EXPECT_EQ(ui::ShowMessageBox(nullptr, "c", "", ui::MB_YESNOCANCEL), ui::IDCANCEL);
    boxes.QueueAnswer(ui::IDYES);
    EXPECT_EQ(ui::ShowMessageBox(nullptr, "d", "", ui::MB_YESNO), ui::IDYES);
    auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[1].style, ui::MB_YESNO | ui::MB_ICONQUESTION);
    boxes.Clear();
}

}  // namespace
