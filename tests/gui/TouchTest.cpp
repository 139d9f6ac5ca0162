// The recorder's own screen: every demo script played at 1024 x 768 and
// 1280 x 1024, with the own resources and the pseudo locale, with touch mode
// off and on.  Every dialog stays inside the screen, every control an action
// goes to can be reached (scrolled into view, on the screen), and in touch
// mode every target a finger hits is at least 40 x 40 px.  Besides: a click
// on a check-box list row toggles it, the on-screen keyboard's editing keys,
// Enter on a dialog whose OK is not control 1, the level meter's lamps move.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QTreeWidget>

#include "apps/demo/Launcher.h"
#include "gui/Keyboard.h"
#include "gui/Touch.h"
#include "gui/Widgets.h"
#include "platform/registry/Registry.h"
#include "resources/PseudoLocale.h"
#include "tests/gui/GuiSession.h"
#include "tests/gui/Operator.h"
#include "util/Util.h"

// The offscreen platform's screen, resized in place: its native interface
// takes a new configuration.  The interface class is not public; its first
// own virtual function answers the configuration functions by name.  (Not
// in an unnamed namespace: the compiler would take the call for one that
// can never happen, no object of the class being made here.)
namespace guitest {
class NativeResources : public QObject {
public:
    virtual void* nativeResourceForIntegration(const QByteArray& resource);
};
}  // namespace guitest

namespace {

namespace fs = std::filesystem;
using guitest::NativeResources;

bool ResizeScreen(QSize size) {
    if (QGuiApplication::platformName() != "offscreen") return false;
    void* iface = QGuiApplication::platformNativeInterface();
    if (!iface) return false;
    auto* resources = reinterpret_cast<NativeResources*>(iface);
    using Get = QJsonObject (*)(void*);
    using Set = void (*)(const QJsonObject&, void*);
    auto get = reinterpret_cast<Get>(resources->nativeResourceForIntegration("configuration"));
    auto set = reinterpret_cast<Set>(resources->nativeResourceForIntegration("setConfiguration"));
    if (!get || !set) return false;
    QJsonObject config = get(iface);
    QJsonArray screens = config["screens"].toArray();
    if (screens.isEmpty()) return false;
    QJsonObject screen = screens[0].toObject();
    screen["width"] = size.width();
    screen["height"] = size.height();
    screens[0] = screen;
    config["screens"] = screens;
    set(config, iface);
    QCoreApplication::processEvents();
    return QGuiApplication::primaryScreen()->geometry().size() == size;
}

std::string Text(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}

// What a control of the window is, for a failure.
std::string Name(QWidget& w) {
    const QVariant id = w.property("controlId");
    if (id.isValid()) return "control " + std::to_string(id.toInt());
    return w.objectName().isEmpty() ? w.metaObject()->className() : w.objectName().toStdString();
}

// Touch targets of the window smaller than a finger: "what: WxH".
std::vector<std::string> SmallTargets(gui::DialogView& view) {
    std::vector<std::string> out;
    auto check = [&](const std::string& what, QSize size, int min) {
        if (size.width() < min || size.height() < min)
            out.push_back(what + ": " + std::to_string(size.width()) + "x" + std::to_string(size.height()));
    };
    for (QWidget* w : view.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        const bool control = w->property("controlId").isValid();
        if (control && (qobject_cast<QPushButton*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w) ||
                        qobject_cast<QComboBox*>(w) || qobject_cast<QTimeEdit*>(w) ||
                        (qobject_cast<QLineEdit*>(w) && !static_cast<QLineEdit*>(w)->isReadOnly())))
            check(Name(*w), w->size(), gui::kMinTarget);
        if (auto* c = qobject_cast<QComboBox*>(w); c && control && c->count() > 0)
            check(Name(*w) + " row", QSize(c->width(), c->view()->sizeHintForRow(0)), gui::kMinTarget);
        if (auto* a = qobject_cast<gui::SpinArrows*>(w)) {
            check(Name(*w) + " up", a->Up()->size(), gui::kMinTarget);
            check(Name(*w) + " down", a->Down()->size(), gui::kMinTarget);
        }
        if (auto* g = qobject_cast<gui::PaneGrid*>(w)) check(Name(*w) + " pane", g->PaneRect(0).size(), gui::kMinTarget);
        if (auto* t = qobject_cast<QTreeWidget*>(w); t && control && t->topLevelItemCount() > 0)
            check(Name(*w) + " row", t->visualItemRect(t->topLevelItem(0)).size(), gui::kMinTarget);
        if (auto* l = qobject_cast<QListWidget*>(w); l && control && l->count() > 0)
            check(Name(*w) + " row", l->visualItemRect(l->item(0)).size(), gui::kMinTarget);
        if (auto* key = qobject_cast<QPushButton*>(w); key && w->objectName().startsWith("key_"))
            check(w->objectName().toStdString(), key->size(), gui::Keyboard::kKeySize);
    }
    if (QTabWidget* tabs = view.Tabs())
        for (int i = 0; i < tabs->count(); ++i)
            check("tab " + tabs->tabText(i).toStdString(), tabs->tabBar()->tabRect(i).size(), gui::kMinTarget);
    return out;
}

struct ScreenRun {
    QSize screen;
    const char* language;
    bool touch;
};

TEST(ScreenFit, EveryDialogStaysOnScreenWithEveryControlReachable) {
    guitest::App();
    reg::UseMemory();
    reg::Clear();
    // Whatever happens, the tests that follow get the screen, the language
    // and the mode they had.
    struct Restore {
        QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        ~Restore() {
            gui::SetTouchMode(std::nullopt);
            reg::Clear();
            apps::ReloadSetupUIModule();
            ResizeScreen(screen);
        }
    } restore;
    if (!ResizeScreen({1024, 768})) GTEST_SKIP() << "the screen cannot be resized on platform " << QGuiApplication::platformName().toStdString();
    const auto demos = guitest::DemoScripts();
    ASSERT_EQ(demos.size(), 14u);
    const fs::path dir = fs::temp_directory_path() / ("mirelle-screen-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::vector<ScreenRun> runs;
    for (QSize size : {QSize(1024, 768), QSize(1280, 1024)})
        for (const char* language : {"ENG", res::kPseudoLanguage})
            for (bool touch : {false, true}) runs.push_back({size, language, touch});
    QElapsedTimer clock;
    clock.start();
    std::string language;
    for (const ScreenRun& run : runs) {
        ASSERT_TRUE(ResizeScreen(run.screen));
        if (language != run.language) {
            // The module chooses its resource module when it loads.
            language = run.language;
            reg::SetString(reg::HKEY_LOCAL_MACHINE, kProductKey, "SystemLanguage", language);
            ASSERT_TRUE(apps::ReloadSetupUIModule());
        }
        gui::SetTouchMode(run.touch);
        const std::string where = std::to_string(run.screen.width()) + "x" + std::to_string(run.screen.height()) + " " +
                                  language + (run.touch ? " touch" : "");
        for (const auto& demo : demos) {
            SCOPED_TRACE(where + " " + demo.name);
            auto parsed = ui::ParseScript(demo.script);
            ASSERT_TRUE(parsed.ok()) << parsed.error;
            fs::copy_file(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json", dir / "unit.json",
                          fs::copy_options::overwrite_existing);
            auto unit = host::SimulatedUnit::Load((dir / "unit.json").string());
            // The setups with the on-screen keyboard, as the recorder's screen has them.
            unit->Data()["keyboard"] = 1;
            gui::QtFrontEnd frontEnd;
            std::set<std::string> faults;
            std::set<std::string> measured;  // windows (dialog, page, size) already looked at
            const bool shots = run.touch && run.screen.width() == 1024;
            guitest::Operator op(frontEnd, parsed.actions,
                                 "touch/" + language + "-" + demo.name.substr(5));
            op.takeShots = shots;
            op.tickMs = 10;
            if (language != "ENG") op.pageTitle = [](const std::string& title) { return res::PseudoLocalise(title); };
            op.onView = [&](gui::DialogView& view) {
                const std::string key = std::to_string(view.Model().TemplateId()) + "/" +
                                        std::to_string(view.Tabs() ? view.Tabs()->currentIndex() : -1) + "/" +
                                        Text(view.geometry());
                if (!measured.insert(key).second) return;
                const QRect area = view.screen()->availableGeometry();
                if (!area.contains(view.frameGeometry()))
                    faults.insert("dialog " + std::to_string(view.Model().TemplateId()) + " at " +
                                  Text(view.frameGeometry()) + " leaves the screen " + Text(area));
                if (run.touch)
                    for (const auto& small : SmallTargets(view))
                        faults.insert("dialog " + std::to_string(view.Model().TemplateId()) + " " + small +
                                      " is smaller than a finger");
            };
            op.onControl = [&](gui::DialogView& view, QWidget& w, QPoint at) {
                if (!view.Reachable(&w, at))
                    faults.insert("dialog " + std::to_string(view.Model().TemplateId()) + " " + Name(w) +
                                  " cannot be reached at " + Text(QRect(w.mapToGlobal(at), QSize(1, 1))));
            };
            bool timedOut = false;
            guitest::RunWatched(frontEnd, *unit, demo.operation, timedOut, 30000, 120);
            EXPECT_FALSE(timedOut);
            EXPECT_EQ(op.failure, "");
            EXPECT_FALSE(measured.empty());
            std::string list;
            for (const auto& f : faults) list += "\n  " + f;
            EXPECT_TRUE(faults.empty()) << list;
        }
    }
    fs::remove_all(dir);
    std::printf("[ screen  ] %zu runs of %zu scripts in %lld ms\n", runs.size(), demos.size(),
                static_cast<long long>(clock.elapsed()));
}

// A click anywhere on a row of a check-box list toggles its check, as a
// click on the box does; a second click toggles it back.
struct RowList {
    const char* operation;
    const char* page;  // the stream sheet's page, or null for the dialog's own list
    int list;
};

TEST(CheckBoxList, ClickOnTheRowTogglesItsCheck) {
    const RowList lists[] = {
        {"ShowTextExceptions", nullptr, 1200},
        {"ShowTextReceipts", nullptr, 1200},
        {"ShowTextStreams", "Alarms", 1170},
        {"ShowTextStreams", "Receipt Definitions", 1180},
    };
    for (const RowList& c : lists) {
        SCOPED_TRACE(std::string(c.operation) + " " + std::to_string(c.list));
        guitest::Session s(c.operation);
        std::vector<bool> seen;  // the row's check: before, after one click, after the box, after two
        auto tree = [&] { return s.W<QTreeWidget>(c.list); };
        auto clickRow = [&](bool onBox) {
            QTreeWidget* t = tree();
            const QRect r = t->visualItemRect(t->topLevelItem(0));
            const int margin = t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1;
            const QPoint box(r.left() + margin + t->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, t) / 2,
                             r.center().y());
            QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, onBox ? box : QPoint(r.right() - 20, r.center().y()));
        };
        auto record = [&] { seen.push_back(s.Model(c.list).IsChecked(0)); };
        if (c.page) {
            s.Do([&] { s.Click(1131); })  // a new stream's sheet
                .Until([&] { return s.View() && s.View()->Tabs(); })
                .Do([&] {
                    QTabBar* bar = s.View()->Tabs()->tabBar();
                    for (int i = 0; i < bar->count(); ++i)
                        if (bar->tabText(i) == c.page) QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
                });
        }
        s.Until([&] { return tree() && tree()->isVisible() && tree()->topLevelItemCount() > 0; })
            .Do([&] {
                record();
                clickRow(false);
                record();
                clickRow(true);
                record();
                clickRow(false);
                record();
            })
            .Do([&] { s.Click(2); });
        if (c.page) s.Do([&] { s.Click(2); });
        s.Run();
        EXPECT_FALSE(s.timedOut);
        ASSERT_EQ(seen.size(), 4u);
        EXPECT_NE(seen[1], seen[0]) << "a click on the row's text toggles it";
        EXPECT_NE(seen[2], seen[1]) << "a click on its box toggles it once";
        EXPECT_NE(seen[3], seen[2]) << "and the row again";
    }
}

// The keys of the on-screen keyboard: finger sized, in rows, none on
// another; a digits-only set as a 3 x 4 keypad without a space bar.
TEST(OnScreenKeyboard, KeysAreFingerSizedInRows) {
    guitest::App();
    struct Case {
        const char* keys;
        int width;
        bool pad;
    };
    const Case cases[] = {
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789$~", 500, false},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789", 900, false},
        {"$ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 200, false},
        {"0123456789", 500, true},
        {"0123456789", 120, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + " at " + std::to_string(c.width));
        QWidget host;
        gui::Keyboard kb(&host);
        kb.SetKeys(c.keys);
        kb.Arrange(c.width);
        EXPECT_EQ(kb.DigitsOnly(), c.pad);
        EXPECT_GE(kb.width(), std::min(c.width, kb.MinimumWidth()));
        std::vector<QRect> placed;
        std::set<int> rows;
        for (QChar ch : QString(c.keys)) {
            if (ch == ' ') continue;
            QPushButton* key = kb.Key(QString(ch));
            ASSERT_NE(key, nullptr) << QString(ch).toStdString();
            placed.push_back(key->geometry());
            rows.insert(key->y());
        }
        for (const char* name : {"back", "clear", "enter", "left", "right"}) {
            ASSERT_NE(kb.Key(name), nullptr) << name;
            placed.push_back(kb.Key(name)->geometry());
        }
        EXPECT_EQ(kb.Key("space") == nullptr, c.pad) << "a keypad has no space bar";
        if (kb.Key("space")) placed.push_back(kb.Key("space")->geometry());
        for (size_t i = 0; i < placed.size(); ++i) {
            EXPECT_GE(placed[i].width(), gui::Keyboard::kKeySize);
            EXPECT_GE(placed[i].height(), gui::Keyboard::kKeySize);
            EXPECT_TRUE(kb.rect().contains(placed[i])) << Text(placed[i]) << " in " << Text(kb.rect());
            for (size_t j = i + 1; j < placed.size(); ++j)
                EXPECT_FALSE(placed[i].intersects(placed[j])) << Text(placed[i]) << " and " << Text(placed[j]);
        }
        if (c.pad) {
            EXPECT_EQ(rows.size(), 4u) << "four rows of digits";
            EXPECT_EQ(kb.Key("7")->y(), kb.Key("9")->y());
            EXPECT_EQ(kb.Key("1")->x(), kb.Key("7")->x());
            EXPECT_GT(kb.Key("1")->y(), kb.Key("7")->y()) << "7 8 9 on top";
        } else {
            EXPECT_GT(rows.size(), 1u);
            EXPECT_LT(rows.size(), 9u);
        }
    }
}

// Its editing keys in a dialog: the caret keys move where the next key
// types, Clear empties the field, Enter presses the default button.
TEST(OnScreenKeyboard, CaretClearAndEnterKeys) {
    guitest::Session s("ShowRawTextSetup", [](nlohmann::json& d) { d["keyboard"] = 1; });
    QString afterCaret, afterClear;
    auto key = [&](const char* name) { QTest::mouseClick(s.View()->OnScreenKeyboard()->Key(name), Qt::LeftButton); };
    s.Do([&] {
         auto* e = s.W<QLineEdit>(1092);
         e->setFocus();
         key("clear");
         key("1");
         key("2");
         key("left");
         key("3");  // 1 3 2
         key("right");
         key("4");  // 1 3 2 4
         key("left");
         key("left");
         key("left");
         key("left");
         key("left");  // at the start, no further
         key("5");
         afterCaret = gui::ToQt(s.Model(1092).text);
         key("clear");
         afterClear = gui::ToQt(s.Model(1092).text);
         key("0");
         key("A");
         key("enter");
     });
    const long result = s.Run();
    EXPECT_FALSE(s.timedOut);
    EXPECT_EQ(afterCaret, "51324");
    EXPECT_EQ(afterClear, "");
    EXPECT_EQ(result, 1) << "Enter pressed OK";
}

// Enter presses the default button of the template, whatever its id: the
// printer options' OK is 227.
TEST(DefaultButton, EnterPressesTheTemplatesDefault) {
    struct Case {
        const char* operation;
        int focus;
        long result;
    };
    for (const Case& c : {Case{"ShowODSetup", 320, 1}, Case{"ShowRecordModeDlg", 1014, 1}}) {
        SCOPED_TRACE(c.operation);
        guitest::Session s(c.operation);
        s.Do([&] {
            s.W(c.focus)->setFocus();
            QTest::keyClick(s.W(c.focus), Qt::Key_Return);
        });
        EXPECT_EQ(s.Run(), c.result);
        EXPECT_FALSE(s.timedOut);
    }
}

// The names in the panes of the 4 x 4 layout: the panes' own font (Arial,
// 10 px, bold), and a name of 10 characters shows whole, touch mode or not.
TEST(PaneGrid, TenCharacterNamesFitTheFourByFourPanes) {
    for (bool touch : {false, true}) {
        SCOPED_TRACE(touch ? "touch" : "mouse");
        gui::SetTouchMode(touch);
        guitest::Session s("ShowDisplay", [](nlohmann::json& d) {
            const char* names[] = {"Front Door", "Camera 16C", "WWWWWWWWWW", "Loading 12"};
            for (int i = 0; i < 16; ++i) d["cameras"][i]["name"] = names[i % 4];
        });
        std::vector<std::string> cut;
        QFont font;
        auto grid = [&] { return s.W<gui::PaneGrid>(1103); };
        s.Do([&] {
             QTabBar* bar = s.View()->Tabs()->tabBar();
             for (int i = 0; i < bar->count(); ++i)
                 if (bar->tabText(i) == "4 x 4") QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
         })
            .Until([&] { return grid() && grid()->isVisible() && grid()->Texts().size() == 16; })
            .Do([&] {
                font = grid()->font();
                const QFontMetrics fm(font);
                for (int i = 0; i < 16; ++i) {
                    const QString name = grid()->Texts()[i];
                    if (name.isEmpty()) continue;
                    if (fm.horizontalAdvance(name) + 4 > grid()->PaneRect(i).width())
                        cut.push_back(name.toStdString() + " in " + std::to_string(grid()->PaneRect(i).width()) + " px");
                }
                s.Click(2);
            });
        s.Run();
        EXPECT_FALSE(s.timedOut);
        EXPECT_EQ(font.family(), "Arial");
        EXPECT_EQ(font.pixelSize(), 10);
        EXPECT_TRUE(font.bold());
        EXPECT_TRUE(cut.empty()) << cut.front();
    }
    gui::SetTouchMode(std::nullopt);
}

// The live audio input: over 40 samples (2 s) the level moves across the
// meter's whole range, from silence (no lamp) to all 14 lamps.
TEST(LevelMeter, LiveInputMovesAcrossTheLamps) {
    std::set<int> lit;
    int changes = 0;
    for (int t = 0; t < 40; ++t) {
        const int level = demo::SpeechLevel(t);
        EXPECT_GE(level, -1);
        EXPECT_LE(level, 13);
        const int lamps = std::clamp(level + 1, 0, 14);  // lamp i lit when i <= level
        if (!lit.empty() && lit.count(lamps) == 0) ++changes;
        lit.insert(lamps);
    }
    EXPECT_EQ(*lit.begin(), 0) << "silence between syllables";
    EXPECT_EQ(*lit.rbegin(), 14) << "the loudest syllables light every lamp";
    EXPECT_GE(lit.size(), 8u) << "levels in between";
}

// The launcher's texts: one line for a value of several lines.
TEST(Launcher, ValuesOfSeveralLinesShowOnOneLine) {
    EXPECT_EQ(demo::OneLine("<a>\r\n  <b>1</b>\r\n</a>\r\n").toStdString(), "<a> <b>1</b> </a>");
    EXPECT_EQ(demo::OneLine("one\ttwo").toStdString(), "one two");
    EXPECT_EQ(demo::OneLine("").toStdString(), "");
}

TEST(Launcher, LogShowsTextsAsText) {
    const std::pair<const char*, const char*> cases[] = {
        {R"(host: SetText "a\r\nb")", "host: SetText \"a\nb\""},
        {R"(x "tab\there" \"q\" back\\slash)", "x \"tab\there\" \"q\" back\\slash"},
        {R"(lone \r and \n)", "lone \n and \n"},
        {R"(other \x stays, end \)", R"(other \x stays, end \)"},
    };
    for (auto [in, want] : cases) EXPECT_EQ(demo::Unescaped(in).toStdString(), want) << in;
}

}  // namespace
