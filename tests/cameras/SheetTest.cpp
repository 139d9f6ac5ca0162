// The camera setup sheet, the Names page and the Termination, Gain and
// Covert pages, driven as an operator would.
#include "tests/cameras/CameraFixture.h"

#include "cameras/CameraSetup.h"

namespace {

using namespace camtest;
using Titles = std::vector<std::string>;

TEST_F(CameraTest, PagesFollowVersionFeatureAccessAndInterface) {
    const Titles all = {"Names", "Termination", "Gain Mode", "Camera Control", "PTZ Triggers",
                        "User-Defined Handlers", "Covert Mode"};
    EXPECT_EQ(PageTitles(), all);
    unit->Data()["version"] = 3.0;
    EXPECT_EQ(PageTitles(), (Titles{"Names", "Termination", "Gain Mode", "Camera Control"}));
    unit->Data()["version"] = 3.1;
    EXPECT_EQ(PageTitles(), (Titles{"Names", "Termination", "Gain Mode", "Camera Control", "Covert Mode"}));
    unit->Data()["version"] = 2.9;
    EXPECT_EQ(PageTitles(), (Titles{"Names", "Termination", "Camera Control"}));
    unit->Data()["version"] = 3.22;
    unit->Data()["features"]["21"] = false;
    EXPECT_EQ(PageTitles(), (Titles{"Names", "Termination", "Gain Mode", "Covert Mode"}));
    unit->Data()["features"]["21"] = true;
    unit->Data()["cameraControlSupport"] = 0;  // no ICameraControlUISupport given
    EXPECT_EQ(PageTitles(), (Titles{"Names", "Termination", "Gain Mode", "Covert Mode"}));
    unit->Data()["cameraSetupAccess"] = 0;
    EXPECT_EQ(PageTitles(), (Titles{"Covert Mode"}));
    unit->Data()["covertSetupAccess"] = 0;
    unit->Data()["cameraSetupAccess"] = 1;
    unit->Data()["cameraControlSupport"] = 1;
    EXPECT_EQ(PageTitles(), (Titles{"Names", "Termination", "Gain Mode", "Camera Control", "PTZ Triggers",
                                    "User-Defined Handlers"}));
}

TEST_F(CameraTest, HelpTopicOfEachPage) {
    Script("click 4\npage Termination\nclick 4\npage Gain Mode\nclick 4\npage Camera Control\nclick 4\n"
           "page PTZ Triggers\nclick 4\npage User-Defined Handlers\nclick 4\npage Covert Mode\nclick 4\nclick 2");
    EXPECT_EQ(Run("ShowCameras").result, 2);
    EXPECT_EQ(CallsNamed("ShowHelp"), (std::vector<std::string>{"41", "40", "44", "42", "38", "49", "45"}));
    EXPECT_TRUE(Changes().empty());  // Cancel sends nothing
}

TEST_F(CameraTest, HostSystemObjectFailuresAreRaised) {
    unit->FailCreate(host::CLSID_HostSystemObject, com::E_FAIL);
    EXPECT_EQ(Run("ShowCameras").hr, com::E_POINTER);
    unit->ClearFailures();
    unit->FailCall("GetVersion", com::E_ACCESSDENIED);
    EXPECT_EQ(Run("ShowCameras").hr, com::E_ACCESSDENIED);
    EXPECT_TRUE(ui::DefaultMessageBoxes().Shown().empty());
    EXPECT_THROW(cameras::CreateCameraSheet(unit->SetupUISupport(), nullptr), com::ComError);
}

TEST_F(CameraTest, OkWithoutEditsSendsNothing) {
    Script("page PTZ Triggers\npage User-Defined Handlers\npage Camera Control\npage Covert Mode\nclick 1");
    EXPECT_EQ(Run("ShowCameras").result, 1);
    EXPECT_TRUE(Changes().empty()) << ::testing::PrintToString(Changes());
    EXPECT_TRUE(Messages().empty());
}

class FourCameras : public CameraTest {
protected:
    nlohmann::json UnitData() override {
        auto d = CameraTest::UnitData();
        d["cameraCount"] = 4;
        d["cameras"] = nlohmann::json::array();
        for (int i = 0; i < 16; ++i) d["cameras"].push_back({{"name", "Cam" + std::to_string(i + 1)}});
        d["cameras"][6] = {{"name", "x"}, {"valid", false}};
        d["terminationMask"] = 0x0405;
        return d;
    }
};

TEST_F(FourCameras, NamesShowCountRowsAndSendAllSixteen) {
    Then([](ui::Dialog& d) {
        auto& p = Page(d);
        EXPECT_TRUE(p.Item(kRowField + 3).visible);
        EXPECT_FALSE(p.Item(kRowField + 4).visible);
        EXPECT_FALSE(p.Item(kRowLabel + 15).visible);
        EXPECT_EQ(p.Focus(), kRowField);
        EXPECT_EQ(p.Item(kRowField).selEnd, 4);
    });
    Script("set 1471 Entrance Hall\nclick 1");  // 13 characters: the field keeps 10
    EXPECT_EQ(Run("ShowCameras").result, 1);
    auto sent = CallsNamed("SetCameraNames");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "\"Cam1\",\"Entrance H\",\"Cam3\",\"Cam4\",\"Cam5\",\"Cam6\",\"\",\"Cam8\",\"Cam9\",\"Cam10\","
                       "\"Cam11\",\"Cam12\",\"Cam13\",\"Cam14\",\"Cam15\",\"Cam16\" 16 1 0");
}

// The name block is NUL-separated: a NUL from the host or from the operator
// ends that name there and shifts no other.
TEST_F(FourCameras, NulInANameEndsThatNameOnly) {
    unit->Data()["cameras"][1]["name"] = std::string("Lo\0bby", 6);
    unit->Data()["cameras"][15]["name"] = std::string("Yard\0", 5);
    Then([](ui::Dialog& d) {
        auto& p = Page(d);
        EXPECT_EQ(p.GetItemText(kRowField + 1), "Lo");
        EXPECT_EQ(p.GetItemText(kRowField + 15), "Yard");
        p.OperatorSetText(kRowField + 2, std::string("Ti\0ll", 5));
        EXPECT_EQ(p.GetItemText(kRowField + 2), "Ti");
    });
    Script("click 1");
    EXPECT_EQ(Run("ShowCameras").result, 1);
    auto sent = CallsNamed("SetCameraNames");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "\"Cam1\",\"Lo\",\"Ti\",\"Cam4\",\"Cam5\",\"Cam6\",\"\",\"Cam8\",\"Cam9\",\"Cam10\","
                       "\"Cam11\",\"Cam12\",\"Cam13\",\"Cam14\",\"Cam15\",\"Yard\" 16 1 0");
}

TEST_F(FourCameras, NameChangedOnlyInCaseSendsNothing) {
    Script("set 1470 CAM1\nclick 1");
    Run("ShowCameras");
    EXPECT_TRUE(CallsNamed("SetCameraNames").empty());
}

TEST_F(FourCameras, TerminationKeepsHiddenCamerasBits) {
    Script("page Termination");
    Then([](ui::Dialog& d) {
        auto& p = Page(d);
        EXPECT_EQ(p.GetItemText(kRowLabel), "Cam1");
        EXPECT_FALSE(p.Item(kHeadCamera2).visible);
        EXPECT_EQ(p.Item(kRowField + 0).selection, 1);
        EXPECT_EQ(p.Item(kRowField + 1).selection, 0);
        EXPECT_EQ(p.Item(kRowField + 2).selection, 1);
        EXPECT_FALSE(p.Item(kRowField + 4).visible);
        EXPECT_EQ(p.Item(kRowField).ItemText(0), "Hi - Z");
        EXPECT_EQ(p.Item(kRowField).ItemText(1), "75 Ohms");
    });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_TRUE(CallsNamed("SetTerminationMask").empty());

    Script("page Termination\nselect 1471 1\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(CallsNamed("SetTerminationMask"), std::vector<std::string>{"1031 0"});  // 0x0407
}

TEST_F(CameraTest, TerminationOfCameraSixteen) {
    unit->Data()["terminationMask"] = 0;
    Script("page Termination\nselect 1485 1\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(CallsNamed("SetTerminationMask"), std::vector<std::string>{"32768 0"});
}

TEST_F(CameraTest, GainModes) {
    unit->Data()["gainModes"] = {1, 1, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    Script("page Gain Mode");
    Then([](ui::Dialog& d) {
        auto& p = Page(d);
        EXPECT_EQ(p.Item(kRowField + 2).selection, -1);  // a mode the list does not know
        EXPECT_EQ(p.Item(kRowField).ItemText(2), "Boost Gain Low ");
    });
    Script("select 1471 4\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(CallsNamed("SetGainModes"),
              std::vector<std::string>{"1,4,-1,1,1,1,1,1,1,1,1,1,1,1,1,1 16 6 0"});
    EXPECT_EQ(CallsNamed("GetGainModes"), std::vector<std::string>{"16"});
}

TEST_F(CameraTest, GainWithoutChangesSendsNothing) {
    unit->Data()["gainModes"] = {0, 1, 2, 3, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    Script("page Gain Mode\nclick 1");
    Run("ShowCameras");
    EXPECT_TRUE(CallsNamed("SetGainModes").empty());
}

TEST_F(CameraTest, CovertCameraOneStaysNormalAndMessagesTellTheChange) {
    unit->Data()["covertMask"] = 1;  // bit 0 is never honoured
    Script("page Covert Mode");
    Then([](ui::Dialog& d) {
        auto& p = Page(d);
        EXPECT_EQ(p.Item(kRowField).selection, 0);
        EXPECT_FALSE(p.Item(kRowField).enabled);
        EXPECT_EQ(p.Item(kRowField).ItemText(1), "Covert");
    });
    Script("select 1472 1\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(CallsNamed("SetCovertMask"), std::vector<std::string>{"4 0"});
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].substr(0, 40), "Users without Covert Cameras privileges ");

    unit->Data()["covertMask"] = 4;
    ui::DefaultMessageBoxes().Clear();
    unit->ClearCalls();
    Script("page Covert Mode\nselect 1472 0\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(CallsNamed("SetCovertMask"), std::vector<std::string>{"0 0"});
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].substr(0, 30), "No covert cameras are set up. ");

    ui::DefaultMessageBoxes().Clear();
    unit->ClearCalls();
    Script("page Covert Mode\nclick 1");
    Run("ShowCameras");
    EXPECT_TRUE(CallsNamed("SetCovertMask").empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CameraTest, CovertOnEightCamerasLeavesHighBitsClear) {
    unit->Data()["cameraCount"] = 8;
    unit->Data()["covertMask"] = 0xFF00;
    Script("page Covert Mode");
    Then([](ui::Dialog& d) { EXPECT_FALSE(Page(d).Item(kRowField + 8).visible); });
    Script("select 1477 1\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(CallsNamed("SetCovertMask"), std::vector<std::string>{"128 0"});
    EXPECT_EQ(Messages().size(), 1u);  // no camera below the count was covert
}

}  // namespace
