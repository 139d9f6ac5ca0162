// The Camera Control page and its Setup dialog, on current and older hosts.
#include "tests/cameras/CameraFixture.h"

#include "cameras/CameraControlXml.h"

namespace {

using namespace camtest;

std::vector<std::string> ComboTexts(const ui::Control& c) {
    std::vector<std::string> out;
    for (int i = 0; i < c.ItemCount(); ++i) out.push_back(c.ItemText(i));
    return out;
}

cameras::AssociationList Stored(host::SimulatedUnit& u) {
    return cameras::ReadCameraControlXml(u.Data()["cameraControlXml"].get<std::string>());
}

TEST_F(CameraTest, HandlerListHonoursFeature26AndStoredAssociations) {
    Script("page Camera Control");
    Then([](ui::Dialog& d) {
        auto& p = Page(d);
        EXPECT_EQ(ComboTexts(p.Item(kRowField)), (std::vector<std::string>{"None", "Protocol D", "Dome"}));
        EXPECT_EQ(p.Item(kRowField).ItemData(2), 2);  // the host's index
        EXPECT_EQ(p.Item(kRowField + 2).selection, 1);  // ProgID matched ignoring case
        EXPECT_TRUE(p.Item(kRowButton + 2).enabled);
        EXPECT_FALSE(p.Item(kRowButton + 0).enabled);
        EXPECT_EQ(p.GetItemText(kRowLabel + 1), "Camera 2");
    });
    Script("click 2");
    Run("ShowCameras");
    unit->Data()["features"]["26"] = true;
    Script("page Camera Control");
    Then([](ui::Dialog& d) { EXPECT_EQ(Page(d).Item(kRowField).ItemCount(), 4); });
    Script("click 2");
    Run("ShowCameras");
}

TEST_F(CameraTest, ChoosingAndClearingAHandler) {
    Script("page Camera Control\nselect 1474 2");
    Then([](ui::Dialog& d) { EXPECT_TRUE(Page(d).Item(kRowButton + 4).enabled); });
    Script("select 1474 0");
    Then([](ui::Dialog& d) { EXPECT_FALSE(Page(d).Item(kRowButton + 4).enabled); });
    Script("select 1474 2\nclick 1");
    Run("ShowCameras");
    auto list = Stored(*unit);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1], (cameras::CameraHandlerAssociation{4, "QllnXmlCameraHandler.User1", "COM3", 5, -1}));
    EXPECT_EQ(CallsNamed("GetHandlerDefaults").back(), "\"QllnXmlCameraHandler.User1\"");
    EXPECT_EQ(CallsNamed("SetCameraControlXml").size(), 1u);
}

TEST_F(CameraTest, DefaultsNotGivenClearPortAndMonitor) {
    unit->FailCall("GetHandlerDefaults", com::E_FAIL);
    Script("page Camera Control\nselect 1470 1\nclick 1");
    Run("ShowCameras");
    auto list = Stored(*unit);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1], (cameras::CameraHandlerAssociation{0, "Protocol.D", "", 1, -1}));
}

TEST_F(CameraTest, PTZCameraWarningNoRestoresTheHandler) {
    Script("page Camera Control\nanswer no\nselect 1472 2");
    Then([](ui::Dialog& d) { EXPECT_EQ(Page(d).Item(kRowField + 2).selection, 1); });
    Script("click 1");
    Run("ShowCameras");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "Warning! This camera is part of a PTZ trigger definition. Are you sure you want to change "
                             "the handler?");
    EXPECT_TRUE(CallsNamed("SetCameraControlXml").empty());

    ui::DefaultMessageBoxes().Clear();
    Script("page Camera Control\nanswer yes\nselect 1472 2\nclick 1");
    Run("ShowCameras");
    auto list = Stored(*unit);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (cameras::CameraHandlerAssociation{2, "QllnXmlCameraHandler.User1", "COM3", 3, -1}));
}

TEST_F(CameraTest, UnreadableTriggerListSkipsTheWarning) {
    unit->Data()["ptzTriggerListXml"] = "<PTZTriggerList>" + Trigger(0, 2, "Input", "Preset", 4);
    Script("page Camera Control\nselect 1472 0\nclick 1");
    Run("ShowCameras");
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Stored(*unit).empty());
}

TEST_F(CameraTest, SetupDialogChecksAndCopiesBack) {
    unit->Data()["cameraControlXml"] =
        "<Associations>" + Assoc(2, "Protocol.D", 3, "COM2", 1) + Assoc(7, "Protocol.D", 8, "COM9", 1) + "</Associations>";
    Script("page Camera Control\nclick 1492");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.TemplateId(), 215);
        EXPECT_EQ(ComboTexts(d.Item(kCcPort)), (std::vector<std::string>{"COM1", "COM2", "COM3", "COM9"}));
        EXPECT_EQ(d.Item(kCcPort).selection, 1);
        EXPECT_EQ(d.GetItemText(kCcAddress), "3");
        EXPECT_FALSE(d.Item(kCcBrowse).visible);
    });
    Script("set 1511 0\nclick 1\nset 1511 12a\nclick 1\nset 1511 10000\nclick 1\nset 1511 9999\n"
           "set 1515 0\nclick 1\nset 1515 10000\nclick 1\nset 1515 4\nselect 1513 2\nclick 4\nclick 1\nclick 1");
    Run("ShowCameras");
    const std::string a = "Camera address entered is invalid. It must be a numeric value in the range of 1 - 9999.";
    const std::string m = "Monitor number entered is invalid. It must be a numeric value in the range of 1 - 9999.";
    EXPECT_EQ(Messages(), (std::vector<std::string>{a, a, a, m, m}));
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"43"});
    auto list = Stored(*unit);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (cameras::CameraHandlerAssociation{2, "Protocol.D", "COM3", 9999, 4}));
}

TEST_F(CameraTest, SetupDialogHidesUnusedRowsAndCancelKeepsValues) {
    unit->Data()["cameraControlXml"] = "<Associations>" + Assoc(2, "Protocol.D", 3, "", -1) + "</Associations>";
    Script("page Camera Control\nclick 1492");
    Then([](ui::Dialog& d) {
        EXPECT_FALSE(d.Item(kCcPort).visible);
        EXPECT_FALSE(d.Item(kCcMonitor).visible);
    });
    Script("set 1511 44\nclick 2\nclick 1492\nclick 1\nclick 1");
    Run("ShowCameras");
    EXPECT_TRUE(Messages().empty());
    auto list = Stored(*unit);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (cameras::CameraHandlerAssociation{2, "Protocol.D", "", 3, -1}));
}

TEST_F(CameraTest, SetupDialogRejectsAMissingPort) {
    // The handler's default port is none the unit lists: the operator must choose one.
    unit->Data()["handlers"][0]["defaultPort"] = "COM7";
    Script("page Camera Control\nselect 1470 1\nclick 1490");
    Then([](ui::Dialog& d) { EXPECT_EQ(d.Item(kCcPort).selection, -1); });
    Script("click 1\nselect 1513 0\nclick 1\nclick 1");
    Run("ShowCameras");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].substr(0, 36), "No communication port entered or por");
    auto list = Stored(*unit);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1], (cameras::CameraHandlerAssociation{0, "Protocol.D", "COM1", 1, 1}));
}

TEST_F(CameraTest, UnmatchedAssociationIsKeptAndReplacedWhenChosen) {
    unit->Data()["cameraControlXml"] =
        "<Associations>" + Assoc(3, "Gone.Handler", 4, "COM4", 2) + Assoc(5, "Gone.Handler", 6, "", -1) +
        "</Associations>";
    Script("page Camera Control");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(Page(d).Item(kRowField + 3).selection, 0);
        EXPECT_FALSE(Page(d).Item(kRowButton + 3).enabled);
    });
    Script("select 1473 1\nclick 1");
    Run("ShowCameras");
    auto list = Stored(*unit);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (cameras::CameraHandlerAssociation{3, "Protocol.D", "COM1", 4, 1}));
    EXPECT_EQ(list[1], (cameras::CameraHandlerAssociation{5, "Gone.Handler", "", 6, -1}));
}

TEST_F(CameraTest, HostileAssociationTextIsKeptUntilTheOperatorChanges) {
    const std::string hostile = "<Associations><Handler><CameraNumber>x</CameraNumber><ProgramID><<>>";
    unit->Data()["cameraControlXml"] = hostile;
    Script("page Camera Control");
    Then([](ui::Dialog& d) {
        for (int i = 0; i < 16; ++i) EXPECT_EQ(Page(d).Item(kRowField + i).selection, 0);
    });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_EQ(unit->Data()["cameraControlXml"], hostile);
}

TEST_F(CameraTest, FewCamerasHideRowsAndSecondHeadings) {
    unit->Data()["cameraCount"] = 20;
    Script("page Camera Control");
    Then([](ui::Dialog& d) {
        EXPECT_TRUE(Page(d).Item(kRowButton + 15).visible);
        EXPECT_TRUE(Page(d).Item(kHeadCamera2).visible);
    });
    Script("click 2");
    Run("ShowCameras");
    unit->Data()["cameraCount"] = 8;
    Script("page Camera Control");
    Then([](ui::Dialog& d) {
        EXPECT_FALSE(Page(d).Item(kRowButton + 8).visible);
        EXPECT_FALSE(Page(d).Item(kHeadValue2).visible);
    });
    Script("click 2");
    Run("ShowCameras");
}

class OlderHost : public CameraTest {
protected:
    nlohmann::json UnitData() override {
        auto d = CameraTest::UnitData();
        d["version"] = 3.1;
        return d;
    }
    std::vector<std::string> SaveCalls() {
        std::vector<std::string> out;
        for (auto& c : unit->Calls())
            if (c.name == "ClearCameraHandler" || c.name == "SetCameraHandler" || c.name == "SetCameraSettings" ||
                c.name == "CommitCameraHandlers" || c.name == "SetCameraControlXml")
                out.push_back(c.name + " " + c.args);
        return out;
    }
};

TEST_F(OlderHost, ReadsPerCameraAndSavesInOrder) {
    Script("page Camera Control");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(Page(d).Item(kRowField + 2).selection, 1);
        auto* p = dynamic_cast<CCamControlPropPage*>(&Page(d));
        ASSERT_TRUE(p);
        EXPECT_EQ(p->Associations().size(), 1u);
    });
    Script("select 1470 2\nselect 1472 0\nclick 1");
    Run("ShowCameras");
    EXPECT_TRUE(Messages().empty());  // no trigger warning on older hosts
    EXPECT_EQ(CallsNamed("HostCameraControlObject.GetHandlerDefaults"),
              std::vector<std::string>{"\"QllnXmlCameraHandler.User1\""});
    EXPECT_EQ(SaveCalls(), (std::vector<std::string>{"ClearCameraHandler 0", "SetCameraHandler 0 2",
                                                     "SetCameraSettings 0 1 \"COM3\" -1 0", "ClearCameraHandler 2",
                                                     "CommitCameraHandlers 0"}));
    auto list = Stored(*unit);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].CameraNumber, 0);
}

TEST_F(OlderHost, MissingCameraControlObjectRaisesOnHandlerChange) {
    unit->FailCreate(host::CLSID_HostCameraControlObject, com::E_FAIL);
    Script("page Camera Control\nselect 1470 1");
    EXPECT_EQ(Run("ShowCameras").hr, com::E_POINTER);
    EXPECT_TRUE(SaveCalls().empty());
}

TEST_F(OlderHost, SetupChangeAloneReplaysTheAssociations) {
    Script("page Camera Control\nclick 1492\nset 1511 9\nselect 1513 0\nclick 1\nclick 1");
    Run("ShowCameras");
    EXPECT_EQ(SaveCalls(), (std::vector<std::string>{"ClearCameraHandler 2", "SetCameraHandler 2 0",
                                                     "SetCameraSettings 2 9 \"COM1\" 1 0", "CommitCameraHandlers 0"}));
}

TEST_F(CameraTest, MalformedHandlerDataOffersOnlyGoodEntries) {
    unit->Data()["handlers"] = {7, {{"displayName", "No ProgID"}}, {{"displayName", "Protocol D"}, {"progId", "Protocol.D"}}};
    Script("page Camera Control");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(ComboTexts(Page(d).Item(kRowField)), (std::vector<std::string>{"None", "Protocol D"}));
        EXPECT_EQ(Page(d).Item(kRowField).ItemData(1), 2);
    });
    Script("click 1");
    EXPECT_EQ(Run("ShowCameras").result, 1);
}

TEST_F(OlderHost, NoChangeSavesNothing) {
    Script("page Camera Control\nclick 1");
    Run("ShowCameras");
    EXPECT_TRUE(SaveCalls().empty());
}

}  // namespace
