// A dialog's state as data: what a snapshot holds of a dialog and its sheet,
// and which fields a change between two snapshots names.
#include <gtest/gtest.h>

#include <functional>

#include "platform/ui/Dialog.h"
#include "platform/ui/Snapshot.h"
#include "platform/ui/TemplateBuilders.h"

namespace {

using namespace ui::tpl;

const ui::DialogTemplate kMain =
    Dlg(6100, "Main", 200, 120,
        {Edit(10, 5, 5, 80, 12), Check(11, "Tick", 5, 25), Radio(12, "A", 5, 40, 1), Radio(13, "B", 60, 40, 1),
         Slider(14, 5, 55, 100, 0, 10), List(15, 110, 5, 80, 40), CheckReport(16, 110, 50, 80, 40, {"Name", "Kind"}),
         Progress(17, 5, 75, 100), Button(1, "OK", 140, 100), Button(2, "Cancel", 90, 100), Keyboard(18, "0123")});
const ui::DialogTemplate kFrame = Dlg(6101, "Frame", 220, 160, {Button(1, "OK", 160, 140)});
const ui::DialogTemplate kPageA = Dlg(6102, "Alpha", 100, 50, {Edit(20, 5, 5, 50)});
const ui::DialogTemplate kPageB = Dlg(6103, "Beta", 120, 60, {Check(21, "B", 5, 5)});

class Frame : public ui::Dialog {
public:
    Frame() : ui::Dialog(6101, nullptr) {
        a.reset(new ui::PropertyPage(6102));
        b.reset(new ui::PropertyPage(6103));
        sheet.AddPage(a.get());
        sheet.AddPage(b.get());
    }
    ui::PropertySheet* EmbeddedSheet() override { return &sheet; }
    ui::PropertySheet sheet;
    std::unique_ptr<ui::PropertyPage> a, b;
};

class SnapshotTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::SetTemplateProvider([](int id) -> const ui::DialogTemplate* {
            for (const ui::DialogTemplate* t : {&kMain, &kFrame, &kPageA, &kPageB})
                if (t->id == id) return t;
            return nullptr;
        });
    }
    void TearDown() override { ui::SetTemplateProvider(nullptr); }
};

TEST_F(SnapshotTest, HoldsWhatTheOperatorSees) {
    ui::Dialog d(6100, nullptr);
    d.Create();
    d.Item(15).AddItem("one");
    d.Item(16).AddItem("first");
    d.Item(16).SetItemText(0, 1, "PTZ");
    d.Item(16).SetChecked(0, true);
    d.Item(18).keyboardOn = true;
    d.SetFocus(10);
    const ui::DialogState s = ui::TakeSnapshot(d);
    EXPECT_EQ(s.caption, "Main") << "the template's caption when the dialog set none";
    EXPECT_EQ(s.width, ui::DluToPixelsX(200));
    EXPECT_EQ(s.height, ui::DluToPixelsY(120));
    EXPECT_TRUE(s.keyboardShown);
    EXPECT_EQ(s.keys, "0123");
    EXPECT_EQ(s.defaultButton, 1);
    EXPECT_EQ(s.focus, 10);
    EXPECT_FALSE(s.hasSheet);
    ASSERT_EQ(s.controls.size(), kMain.controls.size());
    for (std::size_t i = 0; i < s.controls.size(); ++i) {
        EXPECT_EQ(s.controls[i].id, kMain.controls[i].id) << "tab order is template order";
        EXPECT_EQ(s.controls[i].tab, static_cast<int>(i));
    }
    const ui::ControlState& edit = s.controls[0];
    EXPECT_EQ(edit.x, ui::DluToPixelsX(5));
    EXPECT_EQ(edit.w, ui::DluToPixelsX(80));
    EXPECT_EQ(edit.maxLength, 12);
    const ui::ControlState& report = s.controls[6];
    EXPECT_EQ(report.items, (std::vector<std::vector<std::string>>{{"first", "PTZ"}}));
    EXPECT_EQ(report.columns, (std::vector<std::string>{"Name", "Kind"}));
    EXPECT_EQ(report.checks, std::vector<int>{1});
    EXPECT_EQ(s.controls[4].rangeMax, 10);
}

TEST_F(SnapshotTest, AChangeNamesTheFieldsThatChanged) {
    struct Case {
        const char* what;
        std::function<void(ui::Dialog&)> change;
        int id;
        unsigned fields;
    };
    const std::vector<Case> cases = {
        {"text", [](ui::Dialog& d) { d.SetItemText(10, "x"); }, 10, ui::kFieldText},
        {"disabled", [](ui::Dialog& d) { d.EnableItem(11, false); }, 11, ui::kFieldEnabled},
        {"hidden", [](ui::Dialog& d) { d.ShowItem(11, false); }, 11, ui::kFieldVisible},
        {"ticked", [](ui::Dialog& d) { d.SetTicked(11, true); }, 11, ui::kFieldTicked},
        {"slider", [](ui::Dialog& d) { d.SetPos(14, 7); }, 14, ui::kFieldPosition},
        {"progress", [](ui::Dialog& d) { d.SetPos(17, 50); }, 17, ui::kFieldPosition},
        {"item added", [](ui::Dialog& d) { d.Item(15).AddItem("two"); }, 15, ui::kFieldItems},
        {"cell changed", [](ui::Dialog& d) { d.Item(16).SetItemText(0, 1, "fixed"); }, 16, ui::kFieldItems},
        {"selection", [](ui::Dialog& d) { d.SetSelection(15, 0); }, 15, ui::kFieldSelection},
        {"row check", [](ui::Dialog& d) { d.Item(16).SetChecked(0, false); }, 16, ui::kFieldChecks},
        {"moved", [](ui::Dialog& d) { d.Item(1).x += 10; }, 1, ui::kFieldGeometry},
        {"item and selection",
         [](ui::Dialog& d) {
             d.Item(15).AddItem("two");
             d.SetSelection(15, 1);
         },
         15, ui::kFieldItems | ui::kFieldSelection},
        {"read-only", [](ui::Dialog& d) { d.Item(10).readOnly = true; }, 10, ui::kFieldStyle},
    };
    for (const Case& c : cases) {
        ui::Dialog d(6100, nullptr);
        d.Create();
        d.Item(15).AddItem("one");
        d.Item(16).AddItem("first");
        d.Item(16).SetChecked(0, true);
        const ui::DialogState before = ui::TakeSnapshot(d);
        c.change(d);
        const ui::DialogDiff diff = ui::Diff(before, ui::TakeSnapshot(d));
        ASSERT_EQ(diff.controls.changed.size(), 1u) << c.what;
        EXPECT_EQ(diff.controls.changed[0].id, c.id) << c.what;
        EXPECT_EQ(diff.controls.changed[0].fields, c.fields) << c.what;
        EXPECT_EQ(diff.fields, 0u) << c.what;
        EXPECT_TRUE(diff.controls.added.empty() && diff.controls.removed.empty()) << c.what;
    }
}

TEST_F(SnapshotTest, DialogFieldsAndControlsComingAndGoing) {
    struct Case {
        const char* what;
        std::function<void(ui::Dialog&)> change;
        unsigned fields;
        std::size_t added, removed;
    };
    const std::vector<Case> cases = {
        {"nothing", [](ui::Dialog&) {}, 0, 0, 0},
        {"caption", [](ui::Dialog& d) { d.SetCaption("Other"); }, ui::kDialogCaption, 0, 0},
        {"size", [](ui::Dialog& d) { d.SetSize(400, 300); }, ui::kDialogSize, 0, 0},
        {"focus", [](ui::Dialog& d) { d.SetFocus(11); }, ui::kDialogFocus, 0, 0},
        {"focus again on the same control",
         [](ui::Dialog& d) { d.SetFocus(d.Focus()); }, ui::kDialogFocus, 0, 0},
        {"keyboard", [](ui::Dialog& d) { d.Item(18).keyboardOn = true; }, ui::kDialogKeyboard, 0, 0},
        {"OK hidden", [](ui::Dialog& d) { d.ShowItem(1, false); }, ui::kDialogDefaultButton, 0, 0},
        {"control added", [](ui::Dialog& d) { d.AddControl(Button(40, "New", 5, 5)); }, 0, 1, 0},
    };
    for (const Case& c : cases) {
        ui::Dialog d(6100, nullptr);
        d.Create();
        const ui::DialogState before = ui::TakeSnapshot(d);
        c.change(d);
        const ui::DialogDiff diff = ui::Diff(before, ui::TakeSnapshot(d));
        EXPECT_EQ(diff.fields, c.fields) << c.what;
        EXPECT_EQ(diff.controls.added.size(), c.added) << c.what;
        EXPECT_EQ(diff.controls.removed.size(), c.removed) << c.what;
        EXPECT_EQ(diff.Empty(), c.fields == 0 && c.added == 0 && c.removed == 0 && diff.controls.changed.empty())
            << c.what;
    }
    // A control gone: the diff of two states the other way round.
    ui::Dialog d(6100, nullptr);
    d.Create();
    const ui::DialogState without = ui::TakeSnapshot(d);
    d.AddControl(Button(40, "New", 5, 5));
    const ui::DialogDiff gone = ui::Diff(ui::TakeSnapshot(d), without);
    EXPECT_EQ(gone.controls.removed, std::vector<int>{40});
}

TEST_F(SnapshotTest, TheSheetIsSentWholeWhenItTurnsAndByChangesOtherwise) {
    Frame f;
    f.Create();
    f.sheet.Create(&f);
    f.SetSheetOrigin(7, 7);
    const ui::DialogState first = ui::TakeSnapshot(f);
    ASSERT_TRUE(first.hasSheet);
    EXPECT_EQ(first.sheet.pages, (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(first.sheet.activePage, 0);
    ASSERT_EQ(first.sheet.controls.size(), 1u);
    EXPECT_EQ(first.sheet.controls[0].id, 20);
    EXPECT_EQ(first.sheet.x, 7);

    f.a->SetItemText(20, "typed");
    f.a->SetFocus(20);
    const ui::DialogState typed = ui::TakeSnapshot(f);
    ui::DialogDiff diff = ui::Diff(first, typed);
    EXPECT_EQ(diff.fields, ui::kDialogSheetFocus);
    ASSERT_EQ(diff.sheet.changed.size(), 1u);
    EXPECT_EQ(diff.sheet.changed[0].fields, ui::kFieldText);

    f.OperatorSelectPage("Beta");
    const ui::DialogState turned = ui::TakeSnapshot(f);
    diff = ui::Diff(typed, turned);
    EXPECT_TRUE(diff.fields & ui::kDialogSheet);
    EXPECT_TRUE(diff.sheet.Empty()) << "the new page's controls go whole with the sheet";
    ASSERT_EQ(turned.sheet.controls.size(), 1u);
    EXPECT_EQ(turned.sheet.controls[0].id, 21);
}

}  // namespace
