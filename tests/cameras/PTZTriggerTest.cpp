// The PTZ Triggers page and the trigger editor.
#include "tests/cameras/CameraFixture.h"

#include "cameras/PTZTriggerDefinition.h"
#include "foundation/DebugLog.h"

namespace {

using namespace camtest;

class PTZTriggers : public CameraTest {
protected:
    nlohmann::json UnitData() override {
        auto d = CameraTest::UnitData();
        // Cameras 2 and 5 (indices 1 and 4) are under camera control; camera 4 has no valid name.
        d["cameraControlXml"] = "<Associations>" + Assoc(1, "Protocol.D", 2, "COM1", 1) +
                                Assoc(4, "Protocol.D", 5, "COM1", 1) + "</Associations>";
        d["cameras"] = nlohmann::json::array();
        for (int i = 0; i < 16; ++i) d["cameras"].push_back({{"name", "C" + std::to_string(i + 1)}});
        d["cameras"][3] = {{"name", "gone"}, {"valid", false}};
        d["ptzTriggerListXml"] = "<PTZTriggerList>" + Trigger(0, 1, "Input,VideoLoss", "Preset", 12) +
                                 Trigger(2, 4, "Filter", "pattern", 3) + "</PTZTriggerList>";
        return d;
    }
    std::vector<cameras::PTZTriggerDefinition> SentDefinitions() {
        auto sent = unit->Data()["ptzTriggerListXml"].get<std::string>();
        cameras::PTZTriggerListDocument doc;
        EXPECT_TRUE(doc.Read(sent));
        std::vector<cameras::PTZTriggerDefinition> defs;
        cameras::RecordsToDefinitions(doc, defs);
        return defs;
    }
};

TEST_F(PTZTriggers, ListShowsDefinitionsWithCurrentNames) {
    Script("page PTZ Triggers");
    Then([](ui::Dialog& d) {
        auto& list = Page(d).Item(kPtzList);
        ASSERT_EQ(list.ItemCount(), 2);
        EXPECT_EQ(list.columns.at(4), "Video Loss");
        std::vector<std::string> row0, row1;
        for (int c = 0; c < 7; ++c) {
            row0.push_back(list.ItemText(0, c));
            row1.push_back(list.ItemText(1, c));
        }
        EXPECT_EQ(row0, (std::vector<std::string>{"C1", "", "X", "", "X", "C2", "Preset 12"}));
        EXPECT_EQ(row1, (std::vector<std::string>{"C3", "X", "", "", "", "C5", "Pattern 3"}));
        EXPECT_FALSE(Page(d).Item(kPtzEdit).enabled);
        EXPECT_FALSE(Page(d).Item(kPtzDelete).enabled);
        EXPECT_TRUE(Page(d).Item(kPtzDeleteAll).enabled);
    });
    Script("select 1520 1");
    Then([](ui::Dialog& d) {
        EXPECT_TRUE(Page(d).Item(kPtzEdit).enabled);
        EXPECT_TRUE(Page(d).Item(kPtzDelete).enabled);
    });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_TRUE(CallsNamed("SetPTZTriggerListXml").empty());
}

TEST_F(PTZTriggers, UnreadableDocumentGivesAnEmptyListAndIsKeptUntilChanged) {
    const std::string broken = "<PTZTriggerList>" + Trigger(0, 1, "Input", "Preset", 1) +
                               "<PTZTriggerDef><AlarmCameraID>1</AlarmCameraID></PTZTriggerDef></PTZTriggerList>";
    unit->Data()["ptzTriggerListXml"] = broken;
    Script("page PTZ Triggers");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(Page(d).Item(kPtzList).ItemCount(), 0);
        EXPECT_FALSE(Page(d).Item(kPtzDeleteAll).enabled);
        EXPECT_TRUE(Page(d).Item(kPtzAdd).enabled);
    });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_EQ(unit->Data()["ptzTriggerListXml"], broken);
}

TEST_F(PTZTriggers, EditorOffersNamedCamerasAndControlledPTZCameras) {
    Script("page PTZ Triggers\nclick 1521");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.TemplateId(), 250);
        auto& alarm = d.Item(kTrgAlarmCamera);
        EXPECT_EQ(alarm.ItemCount(), 15);  // camera 4 has no valid name
        EXPECT_EQ(alarm.selection, 0);
        auto& ptz = d.Item(kTrgPtzCamera);
        ASSERT_EQ(ptz.ItemCount(), 2);  // the cameras under control
        EXPECT_EQ(ptz.ItemData(0), 1);
        EXPECT_EQ(ptz.ItemData(1), 4);
        EXPECT_TRUE(d.IsTicked(kTrgPreset));
        EXPECT_FALSE(d.Item(kTrgPatternNumber).enabled);
        EXPECT_EQ(d.GetItemText(kTrgPresetNumber), "1");
    });
    Script("click 1");  // no alarm type
    Script("select 1532 1\ntick 1534 1\nclick 1");  // Filter on camera 2 with PTZ camera 2
    Script("tick 1534 0\ntick 1536 1\ntick 1546 1\nset 1547 64\nclick 1");  // beyond the pattern spin
    Script("set 1547 63\nclick 1\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Invalid Alarm Type: You must select at least one alarm type.",
                              "Alarm camera and PTZ camera cannot be the same if Filter alarm type is selected.",
                              "PTZ action is invalid or out of range."}));
    auto defs = SentDefinitions();
    ASSERT_EQ(defs.size(), 3u);
    EXPECT_EQ(defs[2].AlarmCameraID(), 1);
    EXPECT_EQ(defs[2].PTZCameraID(), 1);
    EXPECT_EQ(defs[2].AlarmCameraName(), "C2");
    EXPECT_TRUE(defs[2].Generated());
    EXPECT_FALSE(defs[2].Filter());
    EXPECT_EQ(defs[2].ActionType(), 1);
    EXPECT_EQ(defs[2].ActionValue(), 63u);
    EXPECT_EQ(defs[0].ActionValue(), 12u);  // the host's definitions go back unchanged
}

TEST_F(PTZTriggers, NoPTZCameraAvailableGivesCode4) {
    unit->Data()["cameraControlXml"] = "";
    Script("page PTZ Triggers\nclick 1521\ntick 1535 1\nclick 1\nclick 4\nclick 2\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid PTZ camera."});
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"39"});
    EXPECT_TRUE(CallsNamed("SetPTZTriggerListXml").empty());
}

TEST_F(PTZTriggers, CancelledEditAfterAFailedOkLeavesTheDefinition) {
    Script("page PTZ Triggers\ndblclick 1520 0");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.TemplateId(), 250);
        EXPECT_TRUE(d.IsTicked(kTrgInput));
        EXPECT_TRUE(d.IsTicked(kTrgVideoLoss));
        EXPECT_EQ(d.Item(kTrgPtzCamera).selection, 0);
        EXPECT_EQ(d.GetItemText(kTrgPresetNumber), "12");
    });
    Script("tick 1535 0\ntick 1537 0\nclick 1\nclick 2\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(CallsNamed("SetPTZTriggerListXml").empty());
}

TEST_F(PTZTriggers, EditingADefinitionWhoseCameraVanished) {
    // The PTZ camera of the second definition (camera 5) is no longer named:
    // the editor starts without a PTZ camera and OK fails with code 4.
    unit->Data()["cameras"][4] = {{"name", "C5"}, {"valid", false}};
    Script("page PTZ Triggers\nselect 1520 1\nclick 1522");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.Item(kTrgPtzCamera).selection, -1);
        EXPECT_TRUE(d.IsTicked(kTrgPattern));
        EXPECT_TRUE(d.Item(kTrgPatternNumber).enabled);
        EXPECT_FALSE(d.Item(kTrgPresetSpin).enabled);
    });
    Script("click 1\nselect 1540 0\nset 1547 5\nclick 1\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid PTZ camera."});
    auto defs = SentDefinitions();
    ASSERT_EQ(defs.size(), 2u);
    EXPECT_EQ(defs[1].PTZCameraID(), 1);
    EXPECT_EQ(defs[1].PTZCameraName(), "C2");
    EXPECT_EQ(defs[1].ActionValue(), 5u);
}

TEST_F(PTZTriggers, DeleteAsksAndNoKeepsTheRow) {
    Script("page PTZ Triggers\nselect 1520 0\nclick 1523");
    Then([](ui::Dialog& d) { EXPECT_EQ(Page(d).Item(kPtzList).ItemCount(), 2); });
    Script("answer yes\nclick 1523");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(Page(d).Item(kPtzList).ItemCount(), 1);
        EXPECT_EQ(Page(d).Item(kPtzList).ItemText(0, 6), "Pattern 3");
        EXPECT_FALSE(Page(d).Item(kPtzDelete).enabled);
    });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Are you sure you want to delete the selected trigger definition?",
                              "Are you sure you want to delete the selected trigger definition?"}));
    auto defs = SentDefinitions();
    ASSERT_EQ(defs.size(), 1u);
    EXPECT_EQ(defs[0].AlarmCameraID(), 2);
}

TEST_F(PTZTriggers, DeleteAllEmptiesTheHostsList) {
    Script("page PTZ Triggers\nanswer yes\nclick 1524");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(Page(d).Item(kPtzList).ItemCount(), 0);
        EXPECT_FALSE(Page(d).Item(kPtzDeleteAll).enabled);
    });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Are you sure you want to delete all the trigger definitions?"});
    EXPECT_EQ(unit->Data()["ptzTriggerListXml"], "<PTZTriggerList>\r\n</PTZTriggerList>\r\n");
}

TEST_F(PTZTriggers, BadActionIsDroppedAndLogged) {
    std::vector<std::string> logged;
    DebugLoggerDLL::SetSink([&](const std::string& l) { logged.push_back(l); });
    unit->Data()["ptzTriggerListXml"] = "<PTZTriggerList>" + Trigger(0, 1, "Input", "Zoom", 1) +
                                        Trigger(2, 1, "Input", "Preset", 2) + "</PTZTriggerList>";
    Script("page PTZ Triggers");
    Then([](ui::Dialog& d) { EXPECT_EQ(Page(d).Item(kPtzList).ItemCount(), 1); });
    Script("click 2");
    Run("ShowCameras");
    DebugLoggerDLL::SetSink(nullptr);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("bad action type"), std::string::npos);
}

}  // namespace
