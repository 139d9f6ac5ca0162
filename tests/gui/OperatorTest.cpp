// What an operator sees and does on the Qt front end: check boxes of list
// rows, the painted pane grid of the display layouts, Enter for the default
// button, the focus the dialogs set, the tab order, spin arrows, fixed-pitch
// text, window titles and placement, texts that show whole.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "gui/Keyboard.h"
#include "gui/Widgets.h"
#include "tests/gui/GuiSession.h"

namespace {

using guitest::Session;

QWidget* Focused(Session& s) { return s.View() ? s.View()->focusWidget() : nullptr; }

void Key(Session& s, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QWidget* w = Focused(s);
    QTest::keyClick(w ? w : s.View(), key, mods);
}

// Where the check box of a row of a check-box list is.
QPoint CheckBoxOf(QTreeWidget* t, int row) {
    const QRect r = t->visualItemRect(t->topLevelItem(row));
    const int margin = t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1;
    return QPoint(r.left() + margin + t->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, t) / 2, r.center().y());
}

TEST(Operator, UncheckedRowsOfCheckBoxListsCanBeChecked) {
    Session s("ShowTextStreams");
    bool boxes = false;
    int first = -1;  // a row that starts unchecked
    s.Do([&] { QTest::mouseClick(s.W<QTreeWidget>(1130)->viewport(), Qt::LeftButton, {},
                                 s.W<QTreeWidget>(1130)->visualItemRect(s.W<QTreeWidget>(1130)->topLevelItem(0)).center()); })
        .Do([&] { s.Click(1132); })  // the stream sheet of the first stream
        .Until([&] { return s.View() && s.View()->Tabs(); })
        .Do([&] {
            QTabBar* bar = s.View()->Tabs()->tabBar();
            for (int i = 0; i < bar->count(); ++i)
                if (bar->tabText(i) == "Alarms") QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        })
        .Until([&] { return s.W<QTreeWidget>(1170) && s.W<QTreeWidget>(1170)->isVisible(); })
        .Do([&] {
            auto* t = s.W<QTreeWidget>(1170);
            for (int r = t->topLevelItemCount() - 1; r >= 0; --r)
                if (!s.Model(1170).IsChecked(r)) first = r;
            ASSERT_GE(first, 0) << "an unchecked row";
            boxes = t->topLevelItem(first)->data(0, Qt::CheckStateRole).isValid();
            // A click on its box checks it, a click on its text clears it
            // again, Space checks it once more.
            QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, CheckBoxOf(t, first));
        })
        .Until([&] { return s.Model(1170).IsChecked(first); })
        .Do([&] {
            auto* t = s.W<QTreeWidget>(1170);
            QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->topLevelItem(first)).center());
        })
        .Until([&] { return !s.Model(1170).IsChecked(first); })
        .Do([&] { QTest::keyClick(s.W<QTreeWidget>(1170), Qt::Key_Space); })
        .Until([&] { return s.Model(1170).IsChecked(first); })
        .Do([&] { s.Click(2); })
        .Until([&] { return s.View() && !s.View()->Tabs(); })
        .Do([&] { s.Click(2); });
    s.Run();
    EXPECT_FALSE(s.timedOut);
    EXPECT_TRUE(s.Finished());
    EXPECT_TRUE(boxes) << "rows that start unchecked show a check box";
}

TEST(Operator, DisplayLayoutIsAPaintedGridOfPanes) {
    // 12 cameras: the panes from 12 on of the 4 x 4 layout stay blank.
    Session s("ShowDisplay", [](nlohmann::json& d) { d["cameraCount"] = 12; });
    QStringList before, afterSecond, afterReset;
    QImage shot;
    bool buttonsFit = true;
    QStringList buttonTexts;
    auto grid = [&] { return s.W<gui::PaneGrid>(1103); };
    auto clickPane = [&](int pane) { QTest::mouseClick(grid(), Qt::LeftButton, {}, grid()->PaneRect(pane).center()); };
    s.Do([&] {
         QTabBar* bar = s.View()->Tabs()->tabBar();
         for (int i = 0; i < bar->count(); ++i)
             if (bar->tabText(i) == "4 x 4") QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
     })
        .Until([&] { return grid() && grid()->isVisible(); })
        .Do([&] {
            before = grid()->Texts();
            shot = grid()->grab().toImage();
            for (int k = 0; k < 16; ++k) {
                auto* b = s.W<QRadioButton>(1110 + k);
                if (!b || !b->isVisible()) continue;
                buttonTexts << b->text();
                const int need = b->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, b) +
                                 b->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, b) +
                                 QFontMetrics(b->font()).horizontalAdvance(b->text());
                if (need > b->width()) {
                    buttonsFit = false;
                    buttonTexts << QString("(%1 > %2)").arg(need).arg(b->width());
                }
            }
            // Camera 3, then pane 0; camera 4, then pane 0 again (already picked).
            QTest::mouseClick(s.W(1112), Qt::LeftButton, {}, QPoint(7, s.W(1112)->height() / 2));
            clickPane(0);
            QTest::mouseClick(s.W(1113), Qt::LeftButton, {}, QPoint(7, s.W(1113)->height() / 2));
            clickPane(0);
            afterSecond = grid()->Texts();
            s.Click(1102);  // Reset
            clickPane(0);   // camera 4 once more, on the pane picked before the reset
            afterReset = grid()->Texts();
        })
        .Do([&] { s.Click(2); });
    s.Run();
    ASSERT_FALSE(s.timedOut);
    ASSERT_EQ(before.size(), 16);
    for (int i = 0; i < 12; ++i) EXPECT_FALSE(before[i].isEmpty()) << "pane " << i;
    for (int i = 12; i < 16; ++i) EXPECT_TRUE(before[i].isEmpty()) << "pane " << i << " is blank";
    // Painted: the dark background, the grid lines in the line colour.
    ASSERT_FALSE(shot.isNull());
    const int w = shot.width(), h = shot.height();
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(35, 35, 35));
    EXPECT_EQ(QColor(shot.pixel(w / 4, h / 8 * 7)).rgb() & 0xffffff, QColor(240, 240, 240).rgb() & 0xffffff)
        << "vertical grid line";
    EXPECT_EQ(QColor(shot.pixel(w / 8, 2 * (h / 4))).rgb() & 0xffffff, QColor(240, 240, 240).rgb() & 0xffffff)
        << "horizontal grid line";
    EXPECT_EQ(afterSecond.value(0), "Till 2") << "a second click on the picked pane assigns the new camera";
    EXPECT_EQ(afterReset.value(0), "Till 2") << "and so after Reset";
    EXPECT_TRUE(buttonsFit) << buttonTexts.join(", ").toStdString();
    EXPECT_EQ(buttonTexts.size(), 16) << buttonTexts.join(", ").toStdString();
    EXPECT_EQ(buttonTexts.removeDuplicates(), 0);
}

TEST(Operator, EnterPressesTheDefaultButton) {
    // Record mode: Enter on a check box is OK.
    {
        Session s("ShowRecordModeDlg");
        s.Do([&] {
            s.W(1014)->setFocus();
            QTest::keyClick(s.W(1014), Qt::Key_Return);
        });
        EXPECT_EQ(s.Run(), 1);
        EXPECT_FALSE(s.timedOut);
    }
    // The camera control Setup dialog: type the address, Enter.
    {
        Session s("ShowCameras");
        bool closed = false;
        s.Do([&] {
             QTabBar* bar = s.View()->Tabs()->tabBar();
             for (int i = 0; i < bar->count(); ++i)
                 if (bar->tabText(i) == "Camera Control") QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
         })
            .Until([&] { return s.W(1472) && s.W(1472)->isVisible(); })
            .Do([&] {
                // Camera 3's handler: the third in its drop-down list.
                auto* c = s.W<QComboBox>(1472);
                c->setFocus();
                c->setCurrentIndex(2);
            })
            .Do([&] {
                EXPECT_EQ(s.Model(1472).selection, 2);
                EXPECT_TRUE(s.W(1492)->isEnabled());
                s.Click(1492);
            })
            .Until([&] { return s.W(1511) && s.W(1511)->isVisible(); })
            .Do([&] {
                auto* e = s.W<QLineEdit>(1511);
                e->setFocus();
                e->selectAll();
                QTest::keyClicks(e, "7");
                QTest::keyClick(e, Qt::Key_Return);
            })
            .Until([&] { return s.View() && s.View()->Tabs(); })
            .Do([&] { closed = true; s.Click(2); });
        s.Run();
        EXPECT_FALSE(s.timedOut);
        EXPECT_TRUE(closed) << "Enter closed the Setup dialog";
    }
}

TEST(Operator, FocusGoesWhereTheDialogPutsIt) {
    // The camera sheet opens with camera 1's name focused and selected:
    // typing replaces it.
    Session s("ShowCameras");
    QString selected;
    s.Do([&] {
         selected = s.W<QLineEdit>(1470) ? s.W<QLineEdit>(1470)->selectedText() : QString();
         ASSERT_EQ(Focused(s), s.W(1470));
         QTest::keyClicks(Focused(s), "Door");
     })
        .Do([&] {
            // Tab from the tab row visits the page's fields before OK and Help.
            s.View()->Tabs()->tabBar()->setFocus();
            Key(s, Qt::Key_Tab);
            EXPECT_TRUE(s.View()->Tabs()->isAncestorOf(Focused(s))) << "Tab after the tab row stays in the page";
            QWidget* ok = s.W(1);
            int steps = 0;
            while (Focused(s) != ok && steps < 100) {
                EXPECT_NE(Focused(s), s.W(4)) << "Help before OK";
                Key(s, Qt::Key_Tab);
                ++steps;
            }
            EXPECT_GE(steps, 16) << "the 16 name fields come before OK";
            // Ctrl+Tab turns the page from a frame button too.
            const int page = s.View()->Tabs()->currentIndex();
            QTest::keyClick(ok, Qt::Key_Tab, Qt::ControlModifier);
            EXPECT_EQ(s.View()->Tabs()->currentIndex(), page + 1);
        })
        .Do([&] { s.Click(1); });
    EXPECT_EQ(s.Run(), 1);
    EXPECT_FALSE(s.timedOut);
    EXPECT_EQ(selected, "Entrance");
    EXPECT_NE(s.log.str().find("Door"), std::string::npos) << s.log.str();
}

TEST(Operator, RefusalPutsTheFocusOnTheFieldToCorrect) {
    Session s("ShowPortAddressDlg");
    QWidget *after = nullptr, *field = nullptr;
    QRect boxAt, fieldAt;
    s.Do([&] {
         auto* e = s.W<QLineEdit>(1033);
         QTest::mouseClick(e, Qt::LeftButton);
         e->selectAll();
         QTest::keyClicks(e, "80");
         s.W(1031)->setFocus();
     })
        .Do([&] { s.Click(1); })
        .Until([&] { return s.fe.ActiveMessageBox() && s.fe.ActiveMessageBox()->isVisible(); })
        .Until([&] {
            // The box leaves the field it speaks about in view.
            boxAt = s.fe.ActiveMessageBox()->frameGeometry();
            fieldAt = QRect(s.W(1033)->mapToGlobal(QPoint(0, 0)), s.W(1033)->size());
            return true;
        })
        .Answer(QMessageBox::Ok)
        .Until([&] { return !s.fe.ActiveMessageBox(); })
        .Do([&] { after = Focused(s); field = s.W(1033); })
        .Do([&] { s.Click(2); });
    s.Run();
    EXPECT_FALSE(s.timedOut);
    EXPECT_NE(s.log.str().find("message:"), std::string::npos);
    EXPECT_EQ(after, field) << "the live video port has the focus after the message";
    EXPECT_FALSE(boxAt.isEmpty());
    EXPECT_FALSE(boxAt.intersects(fieldAt)) << "the message box covers the field";
}

TEST(Operator, OnScreenKeyboardTypesIntoTheFocusedField) {
    Session s("ShowRawTextSetup", [](nlohmann::json& d) { d["keyboard"] = 1; });
    QString typed;
    s.Do([&] {
         gui::Keyboard* kb = s.View()->OnScreenKeyboard();
         ASSERT_TRUE(kb->isVisible());
         QTest::mouseClick(kb->findChild<QPushButton*>("key_49"), Qt::LeftButton);  // "1"
         QTest::mouseClick(kb->findChild<QPushButton*>("key_66"), Qt::LeftButton);  // "B"
         typed = gui::ToQt(s.Model(1092).text);
     })
        .Do([&] { s.Click(2); });
    s.Run();
    EXPECT_FALSE(s.timedOut);
    EXPECT_EQ(typed, "1B");
}

TEST(Operator, WindowTitleIsTheDialogsOwnCaption) {
    Session s("ShowRecordModeDlg");
    QString title;
    QPoint centre;
    s.Do([&] {
         title = s.View()->windowTitle();
         centre = s.View()->frameGeometry().center();
     })
        .Do([&] { s.Click(2); });
    s.Run();
    EXPECT_FALSE(title.isEmpty());
    EXPECT_FALSE(title.contains("Mirelle"));
    // Opened with no window of its own to sit over: the middle of the screen.
    const QPoint screen = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((centre - screen).manhattanLength(), 4) << centre.x() << "," << centre.y();
}

}  // namespace

namespace {

// Storage maintenance with its worker: Add (with the label dialog the worker
// asks for), Add All, Remove and Repair, the progress bar moving while each
// runs, and the window's close box pressed while a worker runs.
TEST(Operator, StorageWorkersRunUnderTheFrontEnd) {
    Session s("ShowStorage");
    std::set<int> progress;
    bool stayedOpen = false, percentShown = false;
    int storageId = 0;
    auto storage = [&] { return s.View() && s.View()->Model().TemplateId() == storageId; };
    auto busy = [&] { return storage() && s.View()->Model().IsBusy(); };
    // Waits for the operation to end, answering what it asks on the way:
    // Yes or OK to its message boxes, OK to the label dialog.
    auto settle = [&] {
        if (QMessageBox* box = s.fe.ActiveMessageBox()) {
            if (box->isVisible()) {
                QAbstractButton* b = box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes) : box->button(QMessageBox::Ok);
                QTest::mouseClick(b, Qt::LeftButton);
            }
            return false;
        }
        if (s.View() && !storage()) {
            if (s.W(1) && s.W(1)->isEnabled()) s.Click(1);
            return false;
        }
        if (auto* bar = s.W<QProgressBar>(1003)) {
            progress.insert(bar->value() * 100 / std::max(bar->maximum(), 1));
            // The percentage shows on the bar.
            if (bar->isTextVisible() && bar->text().endsWith('%')) percentShown = true;
        }
        return storage() && !busy();
    };
    auto pick = [&](int row) {
        auto* t = s.W<QTreeWidget>(1000);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->topLevelItem(row)).center());
    };
    s.Do([&] { storageId = s.View()->Model().TemplateId(); pick(2); s.Click(1004); })  // Add F:
        .Until([&] { return busy() || !storage(); })
        .Until(settle)
        .Do([&] { s.Click(1005); })  // Add All
        .Until([&] {
            settle();
            if (busy()) {
                // The close box while the worker runs: the dialog stays.
                s.View()->close();
                stayedOpen = !s.View()->Model().IsEnded();
                return true;
            }
            return false;
        })
        .Until(settle)
        .Do([&] { pick(0); s.Click(1007); })  // Remove D:
        .Until([&] { settle(); return busy(); })
        .Until(settle)
        .Do([&] { pick(5); s.Click(1008); })  // Repair I:
        .Until([&] { settle(); return busy(); })
        .Until(settle)
        .Do([&] { s.Click(1); });
    EXPECT_EQ(s.Run(60000), 1);
    EXPECT_FALSE(s.timedOut);
    EXPECT_TRUE(s.Finished());
    EXPECT_TRUE(stayedOpen);
    EXPECT_GE(progress.size(), 4u) << "the progress bar moves";
    EXPECT_TRUE(percentShown) << "the progress bar shows the percentage";
    const std::string log = s.log.str();
    for (const char* call : {"InitializeVolume", "RemoveVolume", "RepairVolume"})
        EXPECT_NE(log.find(call), std::string::npos) << call << "\n" << log;
}

}  // namespace

namespace {

// Fields are named for assistive technology by their labels; every control
// that takes the focus has a name.
TEST(Operator, ControlsHaveAccessibleNamesFromTheirLabels) {
    Session s("ShowPortAddressDlg");
    std::map<int, QString> names;
    QStringList unnamed;
    s.Do([&] {
         for (int id : {1031, 1033, 1035, 1037, 1041}) {
             names[id] = s.W(id)->accessibleName();
         }
         for (QWidget* w : s.View()->findChildren<QWidget*>()) {
             if (!w->property("controlId").isValid() || w->focusPolicy() == Qt::NoFocus || !w->isVisible()) continue;
             QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
             if (!a || a->text(QAccessible::Name).trimmed().isEmpty()) unnamed << w->objectName();
         }
     })
        .Do([&] { s.Click(2); });
    s.Run();
    EXPECT_EQ(names[1031], "Communications Port");
    EXPECT_EQ(names[1033], "LiveVideo Port");
    EXPECT_EQ(names[1035], "Event Port");
    EXPECT_EQ(names[1037], "Max Live Clients");
    EXPECT_EQ(names[1041], "Server Name");
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
}

}  // namespace

namespace {

// The audio mixer's live volume: the slider of the recorded input sits in
// the "Live" row beside its label and Mute, and is named by it; with no
// input recorded one (disabled) slider shows there, not two drawn through
// each other.
TEST(Operator, LiveVolumeSitsWithItsLabelInEveryRecordMode) {
    struct Mode {
        const char* name;
        int button;  // None, Line, Mic
        int slider;  // the live volume in view
        int mute;
        bool enabled;
        std::vector<int> levelLabels;  // the record level labels in view: Line, Mic
    };
    const Mode modes[] = {
        {"Mic", 1413, 1408, 1409, true, {1418}},
        {"Line", 1412, 1406, 1407, true, {1417}},
        {"None", 1411, 1408, 1409, false, {1417, 1418}},
        {"Mic again", 1413, 1408, 1409, true, {1418}},
    };
    Session s("ShowAudio");
    std::vector<std::string> faults;
    for (const Mode& m : modes) {
        s.Do([&s, m] {
             QWidget* b = s.W(m.button);
             QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(7, b->height() / 2));
         })
            .Do([&s, &faults, m] {
                auto fault = [&](const std::string& what) { faults.push_back(std::string(m.name) + ": " + what); };
                int inView = 0;
                for (int id : {1406, 1408})
                    if (s.W(id)->isVisible()) ++inView;
                if (inView != 1) fault(std::to_string(inView) + " live sliders in view");
                QWidget* slider = s.W(m.slider);
                QWidget* label = s.W(1405);
                QWidget* mute = s.W(m.mute);
                if (!slider->isVisible()) return fault("its slider is not in view");
                if (slider->isEnabled() != m.enabled) fault("slider enabled " + std::to_string(slider->isEnabled()));
                if (!label->isVisible()) fault("no Live label");
                const QRect sl = slider->geometry(), lb = label->geometry(), mt = mute->geometry();
                if (lb.center().y() < sl.top() || lb.center().y() > sl.bottom()) fault("the label is not on the slider's line");
                if (lb.right() >= sl.left()) fault("the label is not left of the slider");
                if (!mute->isVisible() || mt.center().y() < sl.top() || mt.center().y() > sl.bottom())
                    fault("its Mute is not on the slider's line");
                const auto shots = std::filesystem::path(MIRELLE_BINARY_DIR) / "gui-shots";
                std::filesystem::create_directories(shots);
                s.View()->grab().save(QString::fromStdString((shots / ("ShowAudio-record-" + std::string(m.name) + ".png")).string()));
                std::vector<int> levelLabels;
                for (int id : {1417, 1418})
                    if (s.W(id)->isVisible()) levelLabels.push_back(id);
                if (levelLabels != m.levelLabels) fault("record level labels in view: " + ::testing::PrintToString(levelLabels));
                if (slider->accessibleName() != "Live")
                    fault("slider named \"" + slider->accessibleName().toStdString() + "\"");
            });
    }
    s.Do([&] { s.Click(2); });
    s.Run();
    EXPECT_FALSE(s.timedOut);
    EXPECT_TRUE(s.Finished());
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

}  // namespace
