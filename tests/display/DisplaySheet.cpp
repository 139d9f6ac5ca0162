// The display setup as the operator drives it through ShowDisplay.
#include <gtest/gtest.h>

#include "component/SetupSheetDlg.h"
#include "display/DisplayCameraNames.h"
#include "display/DisplayPropSheet.h"
#include "simulator/UnitData.h"
#include "tests/support/Harness.h"
#include "util/DisplayInfo.h"

using display::CDisplayCameraNames;
using nlohmann::json;

namespace {

class DisplaySheet : public testing_support::Harness {
protected:
    json UnitData() override { return data; }
    void SetUp() override {
        CDisplayCameraNames::ResetForTests();
        Harness::SetUp();
    }
    void TearDown() override {
        Harness::TearDown();
        CDisplayCameraNames::ResetForTests();
    }
    // Rebuilds the unit with more data (before the run).
    void Unit(const json& more) {
        if (more.is_object()) data.merge_patch(more);
        unit = std::make_unique<host::SimulatedUnit>(data);
    }
    static std::vector<std::string> PageTitles(ui::Dialog& frame) {
        std::vector<std::string> titles;
        for (auto* p : static_cast<CSetupSheetDlg&>(frame).Sheet()->Pages()) titles.push_back(p->Title());
        return titles;
    }
    static ui::PropertyPage& Active(ui::Dialog& frame) {
        return *static_cast<CSetupSheetDlg&>(frame).Sheet()->ActivePage();
    }
    // The display information as the host's object holds it after the run
    // (the unit file keeps only what differs from the defaults).
    json Display() {
        CDisplayInfo info;
        host::LoadDisplayInfo(unit->Data(), info);
        json j;
        host::SaveDisplayInfo(j, info);
        return j["displayInfo"];
    }
    int Assigned(const char* layout, int pane) { return Display()["assignments"][layout][pane].get<int>(); }

    json data = json{{"displayInfo", {{"hasCallMonitor", true}}}};
};

enum { kPane = 1103, kReset = 1102, kCam1 = 1110 };

TEST_F(DisplaySheet, PagesFollowTheCameraCountAndTheCallMonitor) {
    struct Case {
        int cameras;
        bool feature22;
        bool hasCallMonitor;
        std::vector<std::string> pages;
    } cases[] = {
        {1, true, true, {"Mode", "Call Monitor"}},
        {2, true, false, {"Mode", "2 x 2"}},
        {4, false, true, {"Mode", "2 x 2"}},
        {5, true, true, {"Mode", "2 x 2", "3 x 3", "Call Monitor"}},
        {9, true, false, {"Mode", "2 x 2", "3 x 3"}},
        {10, true, true, {"Mode", "2 x 2", "3 x 3", "4 x 4", "Call Monitor"}},
        {16, false, false, {"Mode", "2 x 2", "3 x 3", "4 x 4"}},
    };
    for (const auto& c : cases) {
        Unit({{"cameraCount", c.cameras},
              {"features", {{"22", c.feature22}}},
              {"displayInfo", {{"hasCallMonitor", c.hasCallMonitor}}}});
        std::vector<std::string> titles;
        Then([&](ui::Dialog& d) { titles = PageTitles(d); });
        Script("click 2");
        auto out = Run("ShowDisplay");
        EXPECT_EQ(out.hr, com::S_OK);
        EXPECT_EQ(titles, c.pages) << c.cameras << " cameras";
    }
}

TEST_F(DisplaySheet, TwoByTwoOnAThreeCameraUnit) {
    Unit({{"cameraCount", 3}, {"cameras", json::array({{{"name", "Door"}}, {{"name", "Till"}}, {{"name", "Yard"}}})}});
    Script("page 2 x 2");
    Then([](ui::Dialog& d) {
        auto& page = Active(d);
        EXPECT_EQ(page.GetItemText(kCam1 + 0), "Door");
        EXPECT_EQ(page.GetItemText(kCam1 + 2), "Yard");
        for (int k = 0; k < 16; ++k) EXPECT_EQ(page.Item(kCam1 + k).visible, k < 3) << k;
        const auto& pane = page.Item(kPane);
        ASSERT_EQ(pane.ItemCount(), 4);
        EXPECT_EQ(pane.ItemText(0), "Door");
        EXPECT_EQ(pane.ItemText(3), "");  // pane 3 is drawn blank
    });
    // Choose "Till" and click the blank pane 3: it is stored all the same.
    Script("click 1111\nselect 1103 3\nselect 1103 0");
    Then([](ui::Dialog& d) {
        auto& pane = Active(d).Item(kPane);
        EXPECT_EQ(pane.ItemText(0), "Till");
        EXPECT_EQ(pane.ItemText(3), "");
    });
    Script("click 1");
    auto out = Run("ShowDisplay");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(Assigned("2x2", 3), 1);
    EXPECT_EQ(Assigned("2x2", 0), 1);
    EXPECT_EQ(Assigned("2x2", 1), 1);  // untouched default
    EXPECT_EQ(Assigned("3x3", 0), 0);  // other layouts untouched
}

TEST_F(DisplaySheet, FourByFourOnATwelveCameraUnitShowsAllButtonsAndBlankPanes) {
    json cams = json::array();
    for (int i = 0; i < 12; ++i) cams.push_back({{"name", "Cam " + std::to_string(i + 1)}});
    Unit({{"cameraCount", 12}, {"cameras", cams}});
    Script("page 4 x 4");
    Then([](ui::Dialog& d) {
        auto& page = Active(d);
        for (int k = 0; k < 16; ++k) EXPECT_TRUE(page.Item(kCam1 + k).visible) << k;
        EXPECT_EQ(page.GetItemText(kCam1 + 11), "Cam 12");
        EXPECT_EQ(page.GetItemText(kCam1 + 12), "");  // the host names only 12 cameras
        const auto& pane = page.Item(kPane);
        EXPECT_EQ(pane.ItemText(11), "Cam 12");
        for (int p = 12; p < 16; ++p) EXPECT_EQ(pane.ItemText(p), "") << p;
    });
    // With no camera button pressed a click assigns camera index 0.
    Script("dblclick 1103 15\nclick 1");
    Run("ShowDisplay");
    EXPECT_EQ(Assigned("4x4", 15), 0);
}

TEST_F(DisplaySheet, ResetRedrawsTheLayoutWithTheDefaults) {
    Unit({{"displayInfo", {{"assignments", {{"3x3", {8, 8, 8, 8, 8, 8, 8, 8, 20}}}}}}});
    Script("page 3 x 3");
    Then([](ui::Dialog& d) {
        auto& pane = Active(d).Item(kPane);
        EXPECT_EQ(pane.ItemText(0), "Camera 9");
        EXPECT_EQ(pane.ItemText(8), "");  // index 20 is no camera
    });
    Script("click 1102");
    Then([](ui::Dialog& d) {
        auto& pane = Active(d).Item(kPane);
        for (int p = 0; p < 9; ++p) EXPECT_EQ(pane.ItemText(p), "Camera " + std::to_string(p + 1));
    });
    Script("click 1");
    Run("ShowDisplay");
    for (int p = 0; p < 9; ++p) EXPECT_EQ(Assigned("3x3", p), p);
}

TEST_F(DisplaySheet, ChangesReachTheHostObjectWhateverTheResult) {
    Script("page 2 x 2\nclick 1115\nselect 1103 2\npage Mode\nset 1202 0:45\nclick 2");
    auto out = Run("ShowDisplay");
    EXPECT_EQ(out.result, 2);
    // The pane assignment went straight into the working copy; the Mode page
    // applies only on OK.
    EXPECT_EQ(Assigned("2x2", 2), 5);
    EXPECT_EQ(Display()["sequencerDwell"], CDisplayInfo().m_lSequencerDwell);
    EXPECT_TRUE(Changes().empty());
}

TEST_F(DisplaySheet, HelpTopicOfEachPage) {
    Script("click 4\npage 2 x 2\nclick 4\npage 3 x 3\nclick 4\npage 4 x 4\nclick 4\npage Call Monitor\nclick 4\nclick 2");
    Run("ShowDisplay");
    EXPECT_EQ(CallsNamed("ShowHelp"), (std::vector<std::string>{"54", "50", "51", "52", "53"}));
}

TEST_F(DisplaySheet, ANameTheHostDoesNotMarkValidStaysEmpty) {
    Unit({{"cameraCount", 4},
          {"cameras", json::array({{{"name", "Door"}}, {{"name", "Hidden"}, {"valid", false}}, {{"name", "Yard"}}})}});
    Unit({});
    unit->FailCall("GetCameraName", com::E_FAIL, 3);
    Script("page 2 x 2");
    Then([](ui::Dialog& d) {
        auto& page = Active(d);
        EXPECT_EQ(page.GetItemText(kCam1 + 0), "Door");
        EXPECT_EQ(page.GetItemText(kCam1 + 1), "");
        EXPECT_EQ(page.GetItemText(kCam1 + 2), "");  // the host call failed
        EXPECT_EQ(page.Item(kPane).ItemText(1), "");
    });
    Script("click 2");
    Run("ShowDisplay");
    // Names are asked once per setup, for all 16 cameras.
    EXPECT_EQ(CallsNamed("GetCameraName").size(), 16u);
}

TEST_F(DisplaySheet, HostObjectFailuresAreRaisedOutOfTheOperation) {
    unit->FailCreate(host::CLSID_HostSystemObject, com::E_FAIL);
    Script("click 1");
    auto out = Run("ShowDisplay");
    EXPECT_EQ(out.hr, com::E_POINTER);
    EXPECT_TRUE(Messages().empty());

    unit->ClearFailures();
    unit->FailCall("IsFeatureEnabled", com::E_ACCESSDENIED);
    out = Run("ShowDisplay");
    EXPECT_EQ(out.hr, com::E_ACCESSDENIED);
}

// ---- Mode page ----------------------------------------------------------------

enum {
    kDwell = 1202, kOverlayYes = 1205, kOverlayNo = 1206, kUpperLeft = 1208, kUpperRight = 1209,
    kLowerLeft = 1210, kLowerRight = 1211, kJog = 1213, kVcr = 1214, kToMonitorGroup = 1215,
    kToMonitorYes = 1216, kToMonitorNo = 1217, kLockGroup = 1218, kLockYes = 1219, kLockNo = 1220,
};

TEST_F(DisplaySheet, ModePageShowsTheStoredSettings) {
    Unit({{"features", {{"34", true}}},
          {"displayInfo",
           {{"sequencerDwell", 75}, {"overlayEnabled", 0}, {"overlayPosition", 2}, {"vcrControls", 0},
            {"playbackToMonitor", 1}, {"lockLayout", 1}, {"layoutLockAvailable", 1}}}});
    Then([](ui::Dialog& d) {
        auto& p = Active(d);
        EXPECT_EQ(p.GetItemText(kDwell), "1:15");
        EXPECT_TRUE(p.IsTicked(kOverlayNo));
        EXPECT_FALSE(p.IsTicked(kOverlayYes));
        EXPECT_TRUE(p.IsTicked(kLowerRight));
        EXPECT_TRUE(p.IsTicked(kJog));
        EXPECT_TRUE(p.IsTicked(kToMonitorYes));
        EXPECT_TRUE(p.IsTicked(kLockYes));
    });
    Script("click 1");
    Run("ShowDisplay");
    // OK without edits stores what was shown.
    auto d = Display();
    EXPECT_EQ(d["sequencerDwell"], 75);
    EXPECT_EQ(d["overlayEnabled"], 0);
    EXPECT_EQ(d["overlayPosition"], 2);
    EXPECT_EQ(d["vcrControls"], 0);
    EXPECT_EQ(d["playbackToMonitor"], 1);
    EXPECT_EQ(d["lockLayout"], 1);
}

TEST_F(DisplaySheet, ModePageStoresTheOperatorsChoicesOnOK) {
    struct Case {
        std::string dwell;
        int position;
        int seconds;
        int positionValue;
    } cases[] = {{"0:00", kUpperLeft, 1, 0}, {"2:30", kUpperRight, 120, 1}, {"1:15", kLowerRight, 75, 2},
                 {"0:59", kLowerLeft, 59, 3}};
    for (const auto& c : cases) {
        Unit({{"features", {{"34", true}}}});
        Script("set 1202 " + c.dwell + "\ntick " + std::to_string(c.position) +
               " 1\ntick 1205 1\ntick 1214 1\ntick 1216 1\ntick 1219 1\nclick 1");
        Run("ShowDisplay");
        auto d = Display();
        EXPECT_EQ(d["sequencerDwell"], c.seconds) << c.dwell;
        EXPECT_EQ(d["overlayPosition"], c.positionValue);
        EXPECT_EQ(d["overlayEnabled"], 1);
        EXPECT_EQ(d["vcrControls"], 1);
        EXPECT_EQ(d["playbackToMonitor"], 1);
        EXPECT_EQ(d["lockLayout"], 1);
    }
    Unit({});
    Script("tick 1206 1\ntick 1213 1\ntick 1217 1\ntick 1220 1\nclick 1");
    Run("ShowDisplay");
    auto d = Display();
    EXPECT_EQ(d["overlayEnabled"], 0);
    EXPECT_EQ(d["vcrControls"], 0);
    EXPECT_EQ(d["playbackToMonitor"], 0);
    EXPECT_EQ(d["lockLayout"], 0);
}

TEST_F(DisplaySheet, SettingsTheUnitDoesNotOfferAreHiddenAndStoredFromTheirYesButtons) {
    Unit({{"features", {{"34", false}}},
          {"displayInfo", {{"layoutLockAvailable", 0}, {"playbackToMonitor", 1}, {"lockLayout", 1}}}});
    Then([](ui::Dialog& d) {
        auto& p = Active(d);
        for (int id : {kToMonitorGroup, kToMonitorYes, kToMonitorNo, kLockGroup, kLockYes, kLockNo})
            EXPECT_FALSE(p.Item(id).visible) << id;
        EXPECT_TRUE(p.Item(kOverlayYes).visible);
    });
    Script("click 1");
    Run("ShowDisplay");
    EXPECT_EQ(Display()["playbackToMonitor"], 0) << "the hidden \"Yes\" is not ticked";
    EXPECT_EQ(Display()["lockLayout"], 0);
}

TEST_F(DisplaySheet, ModePageNeverShownLeavesTheSettingsAlone) {
    Unit({{"displayInfo", {{"sequencerDwell", 500}}}});
    Script("click 1");  // the Mode page is first, so it is shown: dwell is clamped
    Run("ShowDisplay");
    EXPECT_EQ(Display()["sequencerDwell"], 120);
}

// ---- Call Monitor page ---------------------------------------------------------

enum { kCall = 1302, kSpot = 1303, kMain = 1306, kSecondary = 1307, kCallCam1 = 1310 };

TEST_F(DisplaySheet, CallMonitorOffersOnlyCamerasInBothMasks) {
    Unit({{"cameraEnableMask", 15}, {"cameraAllowMask", 5}, {"displayInfo", {{"callCamera", 2}}}});
    Script("page Call Monitor");
    Then([](ui::Dialog& d) {
        auto& p = Active(d);
        for (int k = 0; k < 16; ++k) {
            EXPECT_EQ(p.Item(kCallCam1 + k).enabled, k == 0 || k == 2) << k;
            EXPECT_EQ(p.IsTicked(kCallCam1 + k), k == 2) << k;
            EXPECT_EQ(p.GetItemText(kCallCam1 + k), "Camera " + std::to_string(k + 1));
        }
        EXPECT_TRUE(p.IsTicked(kCall));
        EXPECT_TRUE(p.IsTicked(kMain));
        EXPECT_THROW(d.OperatorTick(kCallCam1 + 1, true), ui::UiError);
    });
    Script("tick 1310 1\ntick 1303 1\ntick 1307 1");
    Then([](ui::Dialog& d) {
        auto& p = Active(d);
        EXPECT_FALSE(p.IsTicked(kMain));
        EXPECT_FALSE(p.IsTicked(kCallCam1 + 2));
    });
    Script("click 1");
    Run("ShowDisplay");
    auto d = Display();
    EXPECT_EQ(d["callCamera"], 0);
    EXPECT_EQ(d["callMonitorSpotMode"], 1);
    EXPECT_EQ(d["touchTrackerOnMain"], 0);
}

TEST_F(DisplaySheet, CallCameraOutsideTheButtonsIsKept) {
    Unit({{"displayInfo", {{"callCamera", 40}, {"callMonitorSpotMode", 1}, {"touchTrackerOnMain", 0}}}});
    Script("page Call Monitor");
    Then([](ui::Dialog& d) {
        auto& p = Active(d);
        EXPECT_TRUE(p.IsTicked(kSpot));
        EXPECT_TRUE(p.IsTicked(kSecondary));
        for (int k = 0; k < 16; ++k) EXPECT_FALSE(p.IsTicked(kCallCam1 + k));
    });
    Script("click 1");
    Run("ShowDisplay");
    EXPECT_EQ(Display()["callCamera"], 40);
    EXPECT_EQ(Display()["callMonitorSpotMode"], 1);
}

TEST_F(DisplaySheet, FailingMaskCallsOfferNoCamera) {
    unit->FailCall("GetCameraAllowMask", com::E_FAIL);
    Script("page Call Monitor");
    Then([](ui::Dialog& d) {
        for (int k = 0; k < 16; ++k) EXPECT_FALSE(Active(d).Item(kCallCam1 + k).enabled);
    });
    Script("click 1");
    auto out = Run("ShowDisplay");
    EXPECT_EQ(out.hr, com::S_OK);
    EXPECT_EQ(Display()["callCamera"], 0);
}

}  // namespace
