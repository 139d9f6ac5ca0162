// The display setup's pieces on their own: the dwell field, the pane grid
// and the unit file's display section.
#include <gtest/gtest.h>

#include "display/DisplayCameraNames.h"
#include "display/DisplayPane.h"
#include "display/DwellTime.h"
#include "simulator/UnitData.h"
#include "tests/support/Harness.h"

using namespace display;

TEST(DwellTime, FieldTextToStoredSeconds) {
    struct Case {
        const char* text;
        std::int32_t seconds;
    } cases[] = {
        {"0:00", 1},  {"2:30", 120}, {"1:15", 75}, {"0:01", 1},   {"2:00", 120}, {"2:01", 120},
        {"45", 45},   {"", 1},       {"abc", 1},   {" 1:05 ", 65}, {"-3:00", 1}, {"99999999:99", 120},
        {"0:75", 75}, {"1:", 60},
    };
    for (const auto& c : cases) EXPECT_EQ(DwellSeconds(ParseDwell(c.text)), c.seconds) << '"' << c.text << '"';
}

TEST(DwellTime, StoredSecondsToFieldText) {
    EXPECT_EQ(FormatDwell(75), "1:15");
    EXPECT_EQ(FormatDwell(120), "2:00");
    EXPECT_EQ(FormatDwell(5), "0:05");
    EXPECT_EQ(FormatDwell(-7), "0:00");
    EXPECT_EQ(FormatDwell(600), "10:00");
    EXPECT_EQ(DwellSeconds(ParseDwell(FormatDwell(95))), 95);
}

class DisplayPaneTest : public testing_support::Harness {
protected:
    nlohmann::json UnitData() override { return {{"cameraCount", 3}}; }
    void SetUp() override {
        Harness::SetUp();
        CDisplayCameraNames::ResetForTests();
        CDisplayCameraNames::Load(unit->SetupUISupport());
        page = std::make_unique<ui::Dialog>(135, nullptr);
        page->Create();
    }
    void TearDown() override {
        page.reset();
        CDisplayCameraNames::ResetForTests();
        Harness::TearDown();
    }
    CDisplayInfo info;
    std::unique_ptr<ui::Dialog> page;
};

TEST_F(DisplayPaneTest, GeometryAndPaintFollowTheLayoutAndCameraCount) {
    DisplayPane pane(info, CDisplayInfo::e2x2);
    EXPECT_EQ(pane.CameraCount(), 8);  // until the host answers
    pane.Create(*page, 1103, {10, 20, 211, 121});
    EXPECT_EQ(pane.CameraCount(), 3);
    ASSERT_TRUE(pane.RectsComputed());
    EXPECT_EQ(pane.PaneRect(0), (Rect{0, 0, 100, 50}));
    EXPECT_EQ(pane.PaneRect(3), (Rect{100, 50, 200, 100}));
    EXPECT_EQ(pane.VerticalLines(), std::vector<int>{100});
    EXPECT_EQ(pane.HorizontalLines(), std::vector<int>{50});
    EXPECT_EQ(pane.Cells()[1].textRect, (Rect{102, 8, 198, 42}));
    EXPECT_TRUE(pane.FontCreated());

    // Three cameras: panes 0..2 carry names, pane 3 is blank.
    const auto& cells = pane.Cells();
    EXPECT_EQ(cells[0].text, "Camera 1");
    EXPECT_EQ(cells[2].text, "Camera 3");
    EXPECT_TRUE(cells[3].blank);
    EXPECT_EQ(cells[3].text, "");
    const auto& control = page->Item(1103);
    EXPECT_EQ(control.ItemCount(), 4);
    EXPECT_EQ(control.ItemText(1), "Camera 2");
    EXPECT_EQ(control.x, 10);
    EXPECT_EQ(control.cx, 201);
}

TEST_F(DisplayPaneTest, GridSizeOfEachLayoutType) {
    EXPECT_EQ(DisplayPane::GridSize(CDisplayInfo::e2x2), 2);
    EXPECT_EQ(DisplayPane::GridSize(CDisplayInfo::e3x3), 3);
    EXPECT_EQ(DisplayPane::GridSize(CDisplayInfo::e4x4), 4);
    EXPECT_EQ(DisplayPane::GridSize(CDisplayInfo::e1x1), 2);
    EXPECT_EQ(DisplayPane::GridSize(77), 2);
    DisplayPane pane(info, CDisplayInfo::e4x4);
    pane.Create(*page, 1103, {0, 0, 160, 160});
    EXPECT_EQ(pane.PaneRect(5), (Rect{40, 40, 80, 80}));
    EXPECT_EQ(pane.VerticalLines(), (std::vector<int>{40, 80, 120}));
}

TEST_F(DisplayPaneTest, ClickAssignsTheSelectedCameraToTheHitPane) {
    DisplayPane pane(info, CDisplayInfo::e2x2);
    pane.Create(*page, 1103, {0, 0, 200, 100});
    pane.SetSelectedCamera(2);
    pane.OnLButtonDown(150, 20);  // pane 1
    EXPECT_EQ(info.GetCameraAssignment(CDisplayInfo::e2x2, 1), 2);
    EXPECT_EQ(pane.Cells()[1].text, "Camera 3");
    EXPECT_EQ(page->Item(1103).ItemText(1), "Camera 3");

    // A blank pane beyond the camera count still stores, and stays blank.
    pane.OnLButtonDown(150, 70);
    EXPECT_EQ(info.GetCameraAssignment(CDisplayInfo::e2x2, 3), 2);
    EXPECT_TRUE(pane.Cells()[3].blank);

    // Outside every pane nothing changes.
    CDisplayInfo before = info;
    pane.OnLButtonDown(250, 20);
    pane.OnLButtonDown(-1, -1);
    EXPECT_EQ(info.m_assignments, before.m_assignments);
    // Other layouts are untouched.
    EXPECT_EQ(info.GetCameraAssignment(CDisplayInfo::e3x3, 1), 1);
}

TEST_F(DisplayPaneTest, AnAssignmentOutsideTheCamerasShowsAnEmptyPane) {
    info.SetCameraAssignment(CDisplayInfo::e2x2, 0, 16);
    info.SetCameraAssignment(CDisplayInfo::e2x2, 1, -1);
    DisplayPane pane(info, CDisplayInfo::e2x2);
    pane.Create(*page, 1103, {0, 0, 200, 100});
    EXPECT_EQ(pane.Cells()[0].text, "");
    EXPECT_FALSE(pane.Cells()[0].blank);
    EXPECT_EQ(pane.Cells()[1].text, "");
    EXPECT_EQ(pane.Cells()[2].text, "Camera 3");
}

TEST_F(DisplayPaneTest, ResizingAfterTheFirstPaintKeepsThePaneRectangles) {
    DisplayPane pane(info, CDisplayInfo::e2x2);
    pane.Create(*page, 1103, {0, 0, 200, 100});
    pane.Resize(400, 300);
    EXPECT_EQ(pane.PaneRect(3), (Rect{100, 50, 200, 100}));
    // A click in the grown area hits nothing.
    pane.SetSelectedCamera(1);
    pane.OnLButtonDown(300, 200);
    EXPECT_EQ(info.GetCameraAssignment(CDisplayInfo::e2x2, 3), 3);
}

TEST_F(DisplayPaneTest, CursorIsCapturedWhileTheMouseIsOverThePane) {
    DisplayPane pane(info, CDisplayInfo::e2x2);
    pane.Create(*page, 1103, {0, 0, 200, 100});
    EXPECT_EQ(pane.Cursor(), DisplayPane::kArrowCursor);
    pane.OnMouseMove(10, 10);
    EXPECT_TRUE(pane.IsCaptured());
    EXPECT_EQ(pane.Cursor(), DisplayPane::kAssignCursor);
    pane.OnMouseMove(20, 20);
    EXPECT_TRUE(pane.IsCaptured());
    pane.OnMouseMove(200, 50);  // just outside
    EXPECT_FALSE(pane.IsCaptured());
    EXPECT_EQ(pane.Cursor(), DisplayPane::kArrowCursor);
}

TEST(DisplayUnitData, RoundTripAndToleranceOfBadEntries) {
    CDisplayInfo info;
    info.SetCameraAssignment(CDisplayInfo::e3x3, 4, 11);
    info.m_lSequencerDwell = 90;
    info.m_nOverlayPosition = 3;
    info.m_bHasCallMonitor = true;
    info.m_nCallCamera = 7;
    info.m_bCallMonSpotMode = 1;
    nlohmann::json unit = nlohmann::json::object();
    host::SaveDisplayInfo(unit, info);
    CDisplayInfo back;
    host::LoadDisplayInfo(unit, back);
    EXPECT_EQ(back.m_assignments, info.m_assignments);
    EXPECT_EQ(back.m_lSequencerDwell, 90);
    EXPECT_EQ(back.m_nOverlayPosition, 3);
    EXPECT_TRUE(back.m_bHasCallMonitor);
    EXPECT_EQ(back.m_nCallCamera, 7);
    EXPECT_EQ(back.m_bCallMonSpotMode, 1);

    // Mistyped, out-of-range and missing entries keep the defaults; the old
    // array form of the assignments is read too.
    nlohmann::json bad = nlohmann::json::parse(R"({"displayInfo": {
        "assignments": [[0], ["x", 5, null, 9], "no", [1, 2]],
        "sequencerDwell": "ten", "overlayPosition": 100000, "callCamera": 3.5, "hasCallMonitor": true}})");
    CDisplayInfo d;
    host::LoadDisplayInfo(bad, d);
    EXPECT_EQ(d.GetCameraAssignment(CDisplayInfo::e2x2, 0), 0);
    EXPECT_EQ(d.GetCameraAssignment(CDisplayInfo::e2x2, 1), 5);
    EXPECT_EQ(d.GetCameraAssignment(CDisplayInfo::e2x2, 3), 9);
    EXPECT_EQ(d.GetCameraAssignment(CDisplayInfo::e4x4, 0), 1);
    EXPECT_EQ(d.m_lSequencerDwell, CDisplayInfo().m_lSequencerDwell);
    EXPECT_EQ(d.m_nOverlayPosition, 0);
    EXPECT_EQ(d.m_nCallCamera, 0);
    EXPECT_TRUE(d.m_bHasCallMonitor);

    CDisplayInfo e;
    host::LoadDisplayInfo(nlohmann::json{{"displayInfo", 5}}, e);
    host::LoadDisplayInfo(nlohmann::json::array(), e);
    EXPECT_EQ(e.m_assignments, CDisplayInfo().m_assignments);
}
