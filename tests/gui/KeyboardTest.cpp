// The keyboard alone: Escape cancels where the dialog lets it, the arrow
// keys move in list boxes, list views, drop-down lists and the pane grid.
// (Tab order, Enter for the default button and Ctrl+Tab: OperatorTest.)
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QComboBox>
#include <QTabBar>
#include <QTabWidget>

#include "gui/Widgets.h"
#include "platform/registry/Registry.h"
#include "tests/gui/GuiSession.h"
#include "util/Util.h"

namespace {

using guitest::Session;

// Brings the page titled title to the front with a click on its tab.
void ShowPage(Session& s, const QString& title) {
    QTabBar* bar = s.View()->Tabs()->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        if (bar->tabText(i) == title) QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
}

void Press(QWidget* w, const std::vector<Qt::Key>& keys) {
    for (Qt::Key k : keys) QTest::keyClick(w, k);
}

struct EscapeCase {
    const char* name;
    const char* operation;
    bool unitLook;      // the custom control look (the close box is ignored in record mode)
    int focus;          // the control that has the focus when Escape is pressed
    const char* typed;  // typed into it first (nothing reaches the unit)
    long result;
};

class EscapeKey : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeKey, CancelsTheDialog) {
    const EscapeCase& c = GetParam();
    Session s(c.operation);
    if (c.unitLook) reg::SetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WWMode", 1);
    bool stayedOnClose = false;
    s.Do([&] {
        if (c.unitLook) {
            // The close box is ignored in this look; Escape still cancels.
            s.View()->close();
            stayedOnClose = !s.View()->Model().IsEnded();
        }
        QWidget* w = c.focus ? s.W(c.focus) : s.View()->focusWidget();
        ASSERT_TRUE(w);
        w->setFocus(Qt::TabFocusReason);
        if (*c.typed) QTest::keyClicks(w, c.typed);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_EQ(s.Run(4000), c.result);
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WWMode", 0);
    EXPECT_FALSE(s.timedOut) << "Escape did not end the dialog";
    EXPECT_TRUE(s.Finished());
    EXPECT_EQ(s.log.str().find("host:"), std::string::npos) << s.log.str();
    if (c.unitLook) {
        EXPECT_TRUE(stayedOnClose);
    }
}

const EscapeCase kEscapeCases[] = {
    {"RecordMode", "ShowRecordModeDlg", false, 1014, "", 2},
    {"RecordModeUnitLook", "ShowRecordModeDlg", true, 1014, "", 2},
    {"PortAddressWhileTyping", "ShowPortAddressDlg", false, 1033, "81", 2},
    {"CameraSheet", "ShowCameras", false, 1470, "Door", 2},
    // No button with the Cancel id: the window's close request.
    {"PrinterOptions", "ShowODSetup", false, 0, "", 2},
    // Its Cancel button is captioned Close.
    {"TextStreamList", "ShowTextStreams", false, 1130, "", 0},
    {"SerialPortInADropDown", "ShowCOMPortSetup", false, 1102, "", 2},
};

INSTANTIATE_TEST_SUITE_P(Dialogs, EscapeKey, ::testing::ValuesIn(kEscapeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Escape in a nested dialog ends that one only.
TEST(EscapeKeyNested, EndsOnlyTheDialogOnTop) {
    Session s("ShowCameras");
    int sheetTemplate = 0;
    bool sheetStayed = false;
    s.Do([&] {
         sheetTemplate = s.View()->Model().TemplateId();
         ShowPage(s, "Camera Control");
     })
        .Until([&] { return s.W(1472) && s.W(1472)->isVisible(); })
        .Do([&] {
            auto* c = s.W<QComboBox>(1472);
            c->setFocus();
            c->setCurrentIndex(2);
        })
        .Do([&] { s.Click(1492); })  // Setup
        .Until([&] { return s.W(1511) && s.W(1511)->isVisible(); })
        .Do([&] {
            s.W(1511)->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(s.W(1511), "7");
            QTest::keyClick(s.W(1511), Qt::Key_Escape);
        })
        .Until([&] { return s.View() && s.View()->Model().TemplateId() == sheetTemplate; })
        .Do([&] { sheetStayed = true; s.Click(2); });
    EXPECT_EQ(s.Run(), 2);
    EXPECT_FALSE(s.timedOut);
    EXPECT_TRUE(sheetStayed);
    EXPECT_EQ(s.log.str().find("host:"), std::string::npos) << s.log.str();
}

struct ArrowCase {
    const char* name;
    const char* operation;
    const char* page;  // "" for the dialog itself
    int control;
    std::vector<Qt::Key> keys;
    int selection;  // the model's selection afterwards
};

class ArrowKeys : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(ArrowKeys, MoveTheSelection) {
    const ArrowCase& c = GetParam();
    Session s(c.operation);
    int selection = -100;
    bool focused = false;
    if (*c.page) s.Do([&] { ShowPage(s, c.page); });
    s.Until([&] { return s.W(c.control) && s.W(c.control)->isVisible(); })
        .Do([&] {
            QWidget* w = s.W(c.control);
            // Reached as with Tab.
            w->setFocus(Qt::TabFocusReason);
            focused = w->hasFocus();
            Press(w, c.keys);
        })
        .Do([&] { selection = s.Model(c.control).selection; })
        .Do([&] { s.View()->close(); });
    s.Run(4000);
    EXPECT_FALSE(s.timedOut);
    EXPECT_TRUE(s.Finished());
    EXPECT_TRUE(focused);
    EXPECT_EQ(selection, c.selection);
}

const ArrowCase kArrowCases[] = {
    // Reaching a list selects nothing in it.
    {"TabIntoAListView", "ShowTextStreams", "", 1130, {}, -1},
    {"ListView", "ShowTextStreams", "", 1130, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}, 0},
    {"ListViewFromTheEnd", "ShowStorage", "", 1000, {Qt::Key_Down, Qt::Key_End, Qt::Key_Up, Qt::Key_Up}, 4},
    {"ListViewOnAPage", "ShowCameras", "PTZ Triggers", 1520, {Qt::Key_Down, Qt::Key_Down}, 1},
    {"TabIntoAListBox", "ShowCameras", "User-Defined Handlers", 1562, {}, -1},
    {"ListBox", "ShowCameras", "User-Defined Handlers", 1562, {Qt::Key_Down}, 0},
    {"DropDown", "ShowCOMPortSetup", "", 1102, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}, 7},
    {"DropDownHome", "ShowPortAddressDlg", "", 1037, {Qt::Key_Home, Qt::Key_Down}, 1},
    {"DropDownOnAPage", "ShowCameras", "Gain Mode", 1471, {Qt::Key_Up}, 0},
    // The pane grid: the arrows move to a pane, Space picks it.
    {"PaneGrid", "ShowDisplay", "2 x 2", 1103, {Qt::Key_Right, Qt::Key_Down, Qt::Key_Space}, 3},
};

INSTANTIATE_TEST_SUITE_P(Lists, ArrowKeys, ::testing::ValuesIn(kArrowCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
