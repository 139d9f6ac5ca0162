#include "tests/support/Harness.h"

#include "component/RecordModeDlg.h"
#include "util/Util.h"
#include "platform/registry/Registry.h"

namespace {

using testing_support::Harness;

class RecordMode : public Harness {
protected:
    nlohmann::json UnitData() override { return {{"recordInfo", {{"fillThreshold", 83}, {"circular", 0}}}}; }
    nlohmann::json Info() { return unit->Data()["recordInfo"]; }
};

TEST_F(RecordMode, ThresholdOpensRoundedDownAndOkStoresTheSliderValue) {
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.Caption(), "Quellan Record Mode Setup");
        EXPECT_EQ(d.Item(CRecordModeDlg::IDC_SLIDER).pos, 6);
        EXPECT_EQ(d.GetItemText(CRecordModeDlg::IDC_NOTIFY_TEXT), "Notify when 83% full");
        EXPECT_TRUE(d.IsTicked(CRecordModeDlg::IDC_LINEAR));
        EXPECT_FALSE(d.IsTicked(CRecordModeDlg::IDC_CIRCULAR));
    });
    Script("click 1");
    EXPECT_EQ(Run("ShowRecordModeDlg").result, 1);
    EXPECT_EQ(Info()["fillThreshold"], 80);
    EXPECT_EQ(Info()["circular"], 0);
}

TEST_F(RecordMode, SliderMovesTheNotificationText) {
    Script("slide 1016 10");
    Then([](ui::Dialog& d) { EXPECT_EQ(d.GetItemText(CRecordModeDlg::IDC_NOTIFY_TEXT), "Notify when 100% full"); });
    Script("click 4\nclick 1");
    EXPECT_EQ(Run("ShowRecordModeDlg").result, 1);
    EXPECT_EQ(Info()["fillThreshold"], 100);
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"60"});
}

TEST_F(RecordMode, CircularDisablesTheSliderAndLinearBringsItBack) {
    unit->Data()["recordInfo"] = {{"fillThreshold", 75}, {"circular", 1}};
    Then([](ui::Dialog& d) {
        EXPECT_FALSE(d.Item(CRecordModeDlg::IDC_SLIDER).enabled);
        EXPECT_FALSE(d.Item(CRecordModeDlg::IDC_NOTIFY_TEXT).enabled);
    });
    Script("slide 1016 3");  // refused: the slider is disabled
    EXPECT_THROW(Run("ShowRecordModeDlg"), ui::UiError);
    ui::DefaultScriptDriver().Clear();
    Script("tick 1014 1");
    Then([](ui::Dialog& d) {
        EXPECT_TRUE(d.Item(CRecordModeDlg::IDC_SLIDER).enabled);
        EXPECT_EQ(d.Item(CRecordModeDlg::IDC_SLIDER).pos, 5);
    });
    Script("click 1");
    EXPECT_EQ(Run("ShowRecordModeDlg").result, 1);
    EXPECT_EQ(Info()["circular"], 0);
}

TEST_F(RecordMode, CancelKeepsEverythingAsItCame) {
    Script("slide 1016 0\ntick 1019 1\nclick 2");
    EXPECT_EQ(Run("ShowRecordModeDlg").result, 2);
    EXPECT_EQ(Info()["fillThreshold"], 83);
    EXPECT_EQ(Info()["circular"], 0);
}

TEST_F(RecordMode, CloseRequestIgnoredInTheCustomLook) {
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WWMode", 1);
    Script("close\nclick 1");
    EXPECT_EQ(Run("ShowRecordModeDlg").result, 1);
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WWMode", 0);
    Script("close\nclick 1");
    EXPECT_EQ(Run("ShowRecordModeDlg").result, 2);
}

class Printer : public Harness {
protected:
    nlohmann::json Flags() { return unit->Data()["printerInterface"]; }
};

TEST_F(Printer, NeitherOptionIsRefusedWithTheMessage) {
    unit->Data()["printerInterface"] = {{"showCustomerEntries", 0}, {"showJournalEntries", 0}};
    Then([](ui::Dialog& d) {
        EXPECT_FALSE(d.IsTicked(320));
        EXPECT_FALSE(d.IsTicked(321));
        EXPECT_EQ(d.Caption(), "Quellan Text Stream Setup");
    });
    Script("click 227");
    Then([](ui::Dialog& d) { EXPECT_FALSE(d.IsEnded()); });
    Script("tick 321 1\nclick 227");
    EXPECT_EQ(Run("ShowODSetup").result, 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Please select at least one option."});
    EXPECT_EQ(ui::DefaultMessageBoxes().Shown()[0].style, ui::MB_ICONINFORMATION);
    EXPECT_EQ(Flags()["showCustomerEntries"], 0);
    EXPECT_EQ(Flags()["showJournalEntries"], 1);
}

TEST_F(Printer, CancelWritesBackTheIncomingFlagsAndHelpHasItsTopic) {
    unit->Data()["printerInterface"] = {{"showCustomerEntries", 1}, {"showJournalEntries", 1}};
    Script("tick 320 0\nclick 15\nclick 225");
    EXPECT_EQ(Run("ShowODSetup").result, 2);
    EXPECT_EQ(Flags()["showCustomerEntries"], 1);
    EXPECT_EQ(Flags()["showJournalEntries"], 1);
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"78"});
}

// Cancel hands back the values that came in, also after an OK that was
// refused or after the boxes were changed.
TEST_F(Printer, CancelAfterARefusedOkHandsBackTheIncomingFlags) {
    struct Case {
        int customer, journal;
        const char* script;
    } cases[] = {
        {1, 1, "tick 320 0\ntick 321 0\nclick 227\nclick 225"},
        {0, 1, "tick 321 0\nclick 227\ntick 320 1\nclick 225"},
        {1, 0, "tick 320 0\nclick 227\nclick 227\nclick 225"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        unit->Data()["printerInterface"] = {{"showCustomerEntries", c.customer}, {"showJournalEntries", c.journal}};
        ui::DefaultMessageBoxes().Clear();
        Script(c.script);
        EXPECT_EQ(Run("ShowODSetup").result, 2);
        EXPECT_FALSE(Messages().empty());
        EXPECT_EQ(Flags()["showCustomerEntries"], c.customer);
        EXPECT_EQ(Flags()["showJournalEntries"], c.journal);
    }
}

TEST_F(Printer, KeyboardFlagSwitchesTheKeyboardOnWithTheCurrency) {
    unit->Data()["keyboard"] = 1;
    reg::SetString(reg::HKEY_CURRENT_USER, kInternationalKey, "sCurrency", "\xA3");
    Then([](ui::Dialog& d) {
        EXPECT_TRUE(d.Item(1002).keyboardOn);
        EXPECT_EQ(d.Item(1002).keySet.substr(d.Item(1002).keySet.size() - 2), "$\xA3");
    });
    Script("click 225");
    Run("ShowODSetup");
}

TEST_F(Printer, CustomLookLeavesTheCaptionUnset) {
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WWMode", 1);
    Then([](ui::Dialog& d) { EXPECT_EQ(d.Caption(), ""); });
    Script("click 225");
    Run("ShowODSetup");
}

}  // namespace
