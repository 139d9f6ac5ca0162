#include "tests/support/Harness.h"

#include "component/SetupSheetDlg.h"
#include "platform/ui/TemplateBuilders.h"
#include "resources/Resources.h"

namespace {

using testing_support::Harness;
using namespace ui::tpl;

// Two pages of our own, on templates registered for the test.
const ui::DialogTemplate kPageA = Dlg(5101, "Alpha", 200, 120, {Edit(30, 10, 10, 80)});
const ui::DialogTemplate kPageB = Dlg(5102, "Beta", 240, 140, {Check(31, "Flag", 10, 10)});

struct Log {
    std::vector<std::string> events;
};

class TestPage : public ui::PropertyPage {
public:
    TestPage(int id, std::string name, Log& log, bool refuse = false)
        : ui::PropertyPage(id), m_name(std::move(name)), m_log(log), m_refuse(refuse) {}
    bool OnApply() override {
        m_log.events.push_back("apply " + m_name);
        return !m_refuse;
    }
    void OnCancelPage() override { m_log.events.push_back("cancel " + m_name); }

private:
    std::string m_name;
    Log& m_log;
    bool m_refuse;
};

class TestSheet : public CSetupSheet {
public:
    TestSheet(Log& log, bool refuseB) : a(5101, "A", log), b(5102, "B", log, refuseB) {
        AddPage(&a);
        AddPage(&b);
    }
    int GetActiveHelpTopic() override { return ActiveIndex() == 0 ? 41 : 0; }
    TestPage a, b;
};

class Frame : public Harness {
protected:
    void SetUp() override {
        Harness::SetUp();
        ui::SetTemplateProvider([](int id) -> const ui::DialogTemplate* {
            if (id == 5101) return &kPageA;
            if (id == 5102) return &kPageB;
            return res::Template(id);
        });
    }
    void TearDown() override {
        res::Install();
        Harness::TearDown();
    }
    int RunFrame(TestSheet& sheet, int closeOnly = 0, bool keyboard = false) {
        CSetupSheetDlg frame(unit->SetupUISupport(), 1020, &sheet, 1, keyboard, nullptr, closeOnly);
        return frame.DoModal();
    }
    Log log;
};

TEST_F(Frame, OkAppliesEveryPageInOrder) {
    TestSheet sheet(log, false);
    Script("click 1");
    EXPECT_EQ(RunFrame(sheet), 1);
    EXPECT_EQ(log.events, (std::vector<std::string>{"apply A", "apply B"}));
}

TEST_F(Frame, RefusedApplyKeepsTheFrameOpen) {
    TestSheet sheet(log, true);
    Script("click 1");
    Then([](ui::Dialog& d) { EXPECT_FALSE(d.IsEnded()); });
    Script("click 2");
    EXPECT_EQ(RunFrame(sheet), 2);
    // The refusing page came to the front, so it is the one Cancel tells.
    EXPECT_EQ(log.events, (std::vector<std::string>{"apply A", "apply B", "cancel B"}));
}

TEST_F(Frame, CancelTellsTheActivePageOnly) {
    TestSheet sheet(log, false);
    Script("page Beta\ntick 31 1\nclick 2");
    EXPECT_EQ(RunFrame(sheet), 2);
    EXPECT_EQ(log.events, std::vector<std::string>{"cancel B"});
}

TEST_F(Frame, HelpAsksTheActivePageTopicAndZeroShowsNothing) {
    TestSheet sheet(log, false);
    Script("click 4\npage Beta\nclick 4\nclick 2");
    RunFrame(sheet);
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"41"});
}

TEST_F(Frame, LayoutAroundTheSheetAndTheButtonRow) {
    TestSheet sheet(log, false);
    Then([&](ui::Dialog& d) {
        auto& frame = static_cast<CSetupSheetDlg&>(d);
        const int mx = ui::DluToPixelsX(16), my = ui::DluToPixelsY(16);
        const int sw = sheet.Width(), sh = sheet.Height();
        const int W = sw + 3 * mx;
        const auto& ok = d.Item(1);
        const int s = ok.cx + mx / 2;
        EXPECT_EQ(d.Caption(), "Quellan Camera Setup");
        EXPECT_FALSE(d.Item(1089).visible);
        EXPECT_EQ(d.Item(1088).x, mx);
        EXPECT_EQ(d.Item(1088).y, my / 2);
        EXPECT_EQ(d.Item(1088).cx, sw + mx);
        EXPECT_EQ(d.Item(1088).cy, sh + my);
        EXPECT_EQ(frame.SheetX(), mx + mx / 2);
        EXPECT_EQ(frame.SheetY(), my);
        EXPECT_EQ(d.Width(), W);
        EXPECT_EQ(d.Height(), sh + ok.cy + 2 * my + my / 2);
        EXPECT_EQ(d.Item(4).x, W - s);
        EXPECT_EQ(d.Item(2).x, W - 2 * s);
        EXPECT_EQ(d.Item(1).x, W - 3 * s);
        EXPECT_EQ(d.Item(1).y, sh + 2 * my);
        EXPECT_FALSE(d.Item(1002).keyboardOn);
        EXPECT_EQ(frame.CameraCount(), 16);
    });
    Script("click 2");
    RunFrame(sheet);
}

TEST_F(Frame, CloseOnlyModeShowsHelpAndClose) {
    TestSheet sheet(log, false);
    Then([](ui::Dialog& d) {
        EXPECT_FALSE(d.Item(1).visible);
        EXPECT_EQ(d.GetItemText(2), "Close");
    });
    Script("click 1");  // hidden: refused
    EXPECT_THROW(RunFrame(sheet, 1), ui::UiError);
    ui::DefaultScriptDriver().Clear();
    Script("click 2");
    EXPECT_EQ(RunFrame(sheet, 1), 2);
}

TEST_F(Frame, KeyboardFlagIsModuleWide) {
    TestSheet sheet(log, false);
    Then([](ui::Dialog& d) { EXPECT_TRUE(d.Item(1002).keyboardOn); });
    Script("click 2");
    RunFrame(sheet, 0, true);
    EXPECT_TRUE(FrameKeyboardFlag());
}

TEST_F(Frame, MissingHostSystemObjectRaisesEPointer) {
    unit->FailCreate(host::CLSID_HostSystemObject, com::E_FAIL);
    TestSheet sheet(log, false);
    try {
        CSetupSheetDlg frame(unit->SetupUISupport(), 1020, &sheet, 1, false, nullptr, 0);
        FAIL() << "construction must raise";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Error(), com::E_POINTER);
    }
}

}  // namespace
