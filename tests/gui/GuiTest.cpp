// The Qt front end driven as an operator would: real clicks and typing on
// the widgets of each setup, compared with the headless runner given the
// same actions as a script.  Screenshots of every dialog and page go to
// the build folder (gui-shots/).
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <algorithm>
#include <cctype>
#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "apps/run/Operations.h"
#include "tests/gui/GuiSession.h"
#include "gui/DialogView.h"
#include "gui/Keyboard.h"
#include "gui/Widgets.h"
#include "gui/QtFrontEnd.h"
#include "platform/codepage/CodePage.h"
#include "platform/registry/Registry.h"

namespace {

namespace fs = std::filesystem;

using guitest::App;

// Standard output of a command (its notes on standard error are not part of
// what the operator sees).
std::string Exec(const std::string& cmd) {
    std::FILE* p = ::popen((cmd + " 2>/dev/null").c_str(), "r");
    std::string out;
    char buf[512];
    while (p && std::fgets(buf, sizeof buf, p)) out += buf;
    if (p) ::pclose(p);
    return out;
}

nlohmann::json ReadJson(const fs::path& p) {
    std::ifstream in(p);
    return nlohmann::json::parse(in);
}

// The demo's scripts name their files (a camera handler definition) from the
// top of the source tree, where the demo runs them.
class InFolder {
public:
    explicit InFolder(const fs::path& dir) : m_was(fs::current_path()) { fs::current_path(dir); }
    ~InFolder() {
        std::error_code ec;
        fs::current_path(m_was, ec);
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    fs::path m_was;
};

// Aborts the test binary when a run is stuck outside the event loop.
class HardWatchdog {
public:
    explicit HardWatchdog(int seconds) : m_thread([this, seconds] {
        std::unique_lock l(m_m);
        if (!m_cv.wait_for(l, std::chrono::seconds(seconds), [this] { return m_done; })) {
            std::fprintf(stderr, "test_gui: a run did not end, aborting\n");
            std::abort();
        }
    }) {}
    ~HardWatchdog() {
        {
            std::lock_guard l(m_m);
            m_done = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_m;
    std::condition_variable m_cv;
    bool m_done = false;
    std::thread m_thread;
};

// Where a person clicks a control: the box of a check box or radio button
// (the rest of a wide one does not take clicks), else the middle.
QPoint ClickPoint(QWidget* w) {
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) return QPoint(7, w->height() / 2);
    return w->rect().center();
}

// Plays script actions on the widgets of the front end's top window.
class Operator {
public:
    Operator(gui::QtFrontEnd& fe, std::vector<ui::Action> steps, std::string shotPrefix)
        : m_fe(fe), m_steps(steps.begin(), steps.end()), m_prefix(std::move(shotPrefix)) {
        fe.onDialogShown = [this](gui::DialogView& v) {
            Shot(v, "dialog" + std::to_string(v.Model().TemplateId()));
        };
        QTimer::singleShot(40, &m_context, [this] { Tick(); });
    }
    ~Operator() { m_stopped = true; m_fe.onDialogShown = nullptr; }

    bool Finished() const { return m_steps.empty(); }
    std::vector<std::string> shots;
    std::string failure;

private:
    void Shot(QWidget& w, const std::string& name) {
        fs::path dir = fs::path(MIRELLE_BINARY_DIR) / "gui-shots";
        fs::create_directories(dir);
        std::string file = (dir / (m_prefix + "-" + name + ".png")).string();
        for (auto& c : file) if (c == ' ') c = '_';
        if (w.grab().save(QString::fromStdString(file))) shots.push_back(file);
    }

    void Tick() {
        if (m_stopped) return;
        // The next tick runs in nested loops too.  Its timer goes with this
        // object: a tick left over from one run must never act in the next.
        QTimer::singleShot(40, &m_context, [this] { Tick(); });
        if (QMessageBox* box = m_fe.ActiveMessageBox()) {
            // Marked on the box itself: boxes shown one after another may
            // well sit at the same address.
            if (!box->isVisible() || box->property("answered").toBool()) return;
            box->setProperty("answered", true);
            int answer = 0;
            if (!m_answers.empty()) {
                answer = m_answers.front();
                m_answers.pop_front();
            }
            QAbstractButton* b = nullptr;
            const auto want = answer == ui::IDYES ? QMessageBox::Yes
                              : answer == ui::IDNO ? QMessageBox::No
                              : answer == ui::IDCANCEL ? QMessageBox::Cancel
                              : answer == ui::IDOK ? QMessageBox::Ok : QMessageBox::NoButton;
            if (want != QMessageBox::NoButton) b = box->button(want);
            if (!b) b = box->button(box->standardButtons() & QMessageBox::Cancel ? QMessageBox::Cancel
                                    : box->standardButtons() & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok);
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
        gui::DialogView* view = m_fe.TopView();
        if (!view || !view->isVisible()) return;
        if (m_steps.empty()) return Exhausted(*view);
        m_idleTicks = 0;
        ui::Action a = m_steps.front();
        m_steps.pop_front();
        if (a.kind == ui::Action::Kind::Wait) {
            if (view->Model().IsBusy()) m_steps.push_front(a);
            return;
        }
        if (a.kind == ui::Action::Kind::Answer) {
            m_answers.push_back(a.n);
            return;
        }
        if (a.kind == ui::Action::Kind::Close) {
            view->close();
            return;
        }
        if (a.kind == ui::Action::Kind::Page) {
            QTabBar* tabs = view->Tabs() ? view->Tabs()->tabBar() : nullptr;
            int index = -1;
            for (int i = 0; tabs && i < tabs->count(); ++i)
                if (tabs->tabText(i) == gui::ToQt(a.text)) index = i;
            if (index < 0) return Fail("no tab " + a.text);
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
            Shot(*view, "page-" + a.text);
            return;
        }
        QWidget* w = view->ControlWidget(a.id);
        if (!w || !w->isVisible() || !w->isEnabled()) return Fail("control " + std::to_string(a.id) + " not usable");
        switch (a.kind) {
            case ui::Action::Kind::Set:
                if (auto* t = qobject_cast<QTimeEdit*>(w)) {
                    t->setTime(QTime::fromString(gui::ToQt(a.text), "m:ss"));
                } else {
                    w->setFocus();
                    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
                    if (a.text.empty())
                        QTest::keyClick(w, Qt::Key_Backspace);
                    else
                        QTest::keyClicks(w, gui::ToQt(a.text));
                }
                break;
            case ui::Action::Kind::Click:
                QTest::mouseClick(w, Qt::LeftButton, {}, ClickPoint(w));
                break;
            case ui::Action::Kind::Tick:
                if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                    const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
                    if (radio ? a.n != 0 : b->isChecked() != (a.n != 0)) QTest::mouseClick(w, Qt::LeftButton, {}, ClickPoint(w));
                }
                break;
            case ui::Action::Kind::Check: {
                // A click on the box of the row when it is not as wanted.
                auto* t = qobject_cast<QTreeWidget*>(w);
                if (!t || a.n < 0 || a.n >= t->topLevelItemCount()) return Fail("no row to check");
                QTreeWidgetItem* item = t->topLevelItem(a.n);
                if ((item->checkState(0) == Qt::Checked) == (a.value != 0)) break;
                t->scrollToItem(item);
                const QRect r = t->visualItemRect(item);
                const int margin = t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1;
                const QPoint box(r.left() + margin + t->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, t) / 2,
                                 r.center().y());
                QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, box);
                break;
            }
            case ui::Action::Kind::Slide: {
                if (auto* arrows = qobject_cast<gui::SpinArrows*>(w)) {
                    // One press of an arrow per step.
                    const int now = view->Model().Target(a.id).Item(a.id).pos;
                    QToolButton* b = a.n > now ? arrows->Up() : arrows->Down();
                    for (int i = 0; i < std::abs(a.n - now); ++i) QTest::mouseClick(b, Qt::LeftButton);
                    break;
                }
                auto* s = qobject_cast<QSlider*>(w);
                if (!s) return Fail("not a slider");
                // Dragged to the new position in one move.
                s->setSliderDown(true);
                s->setValue(a.n);
                s->setSliderDown(false);
                break;
            }
            case ui::Action::Kind::Select:
            case ui::Action::Kind::DblClick: {
                const bool dbl = a.kind == ui::Action::Kind::DblClick;
                QAbstractItemView* v = nullptr;
                QRect r;
                if (auto* g = qobject_cast<gui::PaneGrid*>(w)) {
                    // A click in the pane (the same pane again assigns again).
                    QTest::mouseClick(g, Qt::LeftButton, {}, g->PaneRect(a.n).center());
                    break;
                }
                if (auto* l = qobject_cast<QListWidget*>(w); l && a.n >= 0) {
                    l->scrollToItem(l->item(a.n));
                    v = l;
                    r = l->visualItemRect(l->item(a.n));
                } else if (auto* t = qobject_cast<QTreeWidget*>(w); t && a.n >= 0) {
                    t->scrollToItem(t->topLevelItem(a.n));
                    v = t;
                    r = t->visualItemRect(t->topLevelItem(a.n));
                } else if (auto* c = qobject_cast<QComboBox*>(w)) {
                    c->setFocus();
                    c->setCurrentIndex(a.n);
                    break;
                } else {
                    return Fail("cannot select in control " + std::to_string(a.id));
                }
                if (dbl)
                    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, r.center());
                else
                    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, r.center());
                break;
            }
            default: break;
        }
    }
    // An action that cannot be played ends the run, as it ends the
    // headless one: every open dialog is cancelled.
    void Fail(const std::string& why) {
        if (failure.empty()) failure = why;
        m_steps.clear();
        for (ui::Dialog* d : ui::ModalStack()) d->EndDialog(ui::IDCANCEL);
    }
    // Out of actions with a dialog still open: as the headless runner does,
    // once what the last action started is done, the window's close
    // request, then Cancel; so a run always ends.
    void Exhausted(gui::DialogView& view) {
        ui::Dialog& d = view.Model();
        if (d.IsEnded() || d.IsBusy()) {
            m_idleTicks = 0;
            return;
        }
        if (++m_idleTicks < 2) return;  // a tick for the messages the last action posted
        m_idleTicks = 0;
        view.close();
        if (!d.IsEnded()) d.EndDialog(ui::IDCANCEL);
    }

    gui::QtFrontEnd& m_fe;
    std::deque<ui::Action> m_steps;
    std::deque<int> m_answers;
    std::string m_prefix;
    bool m_stopped = false;
    int m_idleTicks = 0;
    QObject m_context;
};

struct Case {
    std::string operation;
    std::string script;
    std::string name;  // test name
    bool changes = true;  // the run changes the unit
};

class GuiRun : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        App();
        dir = fs::temp_directory_path() / ("mirelle-gui-" + std::to_string(::getpid()) + "-" + GetParam().name);
        fs::create_directories(dir);
        for (auto* name : {"headless.json", "gui.json", "recorded.json"})
            fs::copy_file(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json", dir / name,
                          fs::copy_options::overwrite_existing);
        std::ofstream(dir / "script.txt") << GetParam().script;
        reg::UseMemory();
        reg::Clear();
    }
    void TearDown() override { fs::remove_all(dir); }

    // What mirelle-run prints for a script on a unit file of the test's folder.
    std::string Headless(const std::string& unit = "headless.json", const std::string& script = "script.txt") {
        return Exec(std::string("cd ") + MIRELLE_SOURCE_DIR + " && MIRELLE_REGISTRY=" + (dir / "registry.db").string() +
                    " " + MIRELLE_RUN + " --unit " + (dir / unit).string() + " --script " + (dir / script).string() +
                    " " + GetParam().operation);
    }

    fs::path dir;
};

TEST_P(GuiRun, ClicksGiveWhatTheHeadlessRunGives) {
    const Case& c = GetParam();
    const std::string headless = Headless();

    auto parsed = ui::ParseScript(c.script);
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    auto unit = host::SimulatedUnit::Load((dir / "gui.json").string());
    std::ostringstream out;
    // The same report lines mirelle-run prints.
    apps::RunReport report([&](const std::string& line) { out << line << "\n"; });
    report.Attach(*unit);
    gui::QtFrontEnd frontEnd;
    frontEnd.onMessage = [&](const ui::ShownMessage& m) { report.Message(cp::AnsiToUtf8(m.text)); };
    // What the clicks do is recorded as the launcher records it.
    gui::ScriptRecorder recorder;
    recorder.Start(c.operation);
    frontEnd.recorder = &recorder;
    bool timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        if (QMessageBox* box = frontEnd.ActiveMessageBox()) box->reject();
        for (ui::Dialog* d : ui::ModalStack()) d->EndDialog(ui::IDCANCEL);
    });
    watchdog.start(60000);
    HardWatchdog hard(150);
    Operator op(frontEnd, parsed.actions, c.operation + (c.name == c.operation ? "" : "-" + c.name));
    {
        InFolder source(MIRELLE_SOURCE_DIR);
        auto setupUI = apps::CreateSetupUI();
        auto outcome = apps::RunOperation(c.operation, *unit, *setupUI.get());
        report.Finish(outcome);
    }
    watchdog.stop();
    unit->Save((dir / "gui.json").string());

    ASSERT_FALSE(timedOut) << "the dialog did not end";
    EXPECT_EQ(op.failure, "");
    EXPECT_TRUE(op.Finished()) << "the dialog ended before the last action";
    EXPECT_FALSE(op.shots.empty());
    EXPECT_EQ(out.str(), headless);
    EXPECT_EQ(ReadJson(dir / "gui.json"), ReadJson(dir / "headless.json"));
    // The recording replayed headless ends as the clicks ended.
    std::ofstream(dir / "recorded.script") << recorder.Text();
    EXPECT_EQ(Headless("recorded.json", "recorded.script"), headless) << recorder.Text();
    EXPECT_EQ(ReadJson(dir / "recorded.json"), ReadJson(dir / "gui.json"));
    // Typing into a field is one set of its last text, not one a keystroke.
    auto sets = [](const std::string& script) {
        std::size_t n = script.rfind("set ", 0) == 0;
        for (std::size_t at = script.find("\nset "); at != std::string::npos; at = script.find("\nset ", at + 1)) ++n;
        return n;
    };
    EXPECT_LE(sets(recorder.Text()), sets(c.script)) << recorder.Text();
    if (c.changes) {
        EXPECT_NE(ReadJson(dir / "gui.json"), ReadJson(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json"))
            << "the actions changed nothing";
    }
}

// The demo's scripts: each names its operation on its first line.
std::vector<Case> DemoCases() {
    std::vector<Case> out;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(fs::path(MIRELLE_SOURCE_DIR) / "apps/demo"))
        if (e.path().extension() == ".script") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
        std::ifstream in(f);
        std::stringstream text;
        text << in.rdbuf();
        const std::string script = text.str();
        const std::string tag = "# operation: ";
        if (script.rfind(tag, 0) != 0) continue;
        const std::string op = script.substr(tag.size(), script.find('\n') - tag.size());
        std::string name = "Demo_" + f.stem().string();
        for (auto& ch : name) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        out.push_back({op, script, name});
    }
    return out;
}

const Case kCases[] = {
    {"ShowRecordModeDlg", "tick 1014 1\nslide 1016 5\nclick 4\nclick 1\n", "ShowRecordModeDlg"},
    {"ShowODSetup", "tick 320 0\nclick 227\ntick 321 1\nclick 227\n", "ShowODSetup"},
    {"ShowCameras",
     "set 1470 Front Door\npage Termination\nselect 1471 0\npage Gain Mode\nselect 1471 4\npage Camera Control\n"
     "page PTZ Triggers\npage User-Defined Handlers\npage Covert Mode\nselect 1473 1\nclick 4\nclick 1\n", "ShowCameras"},
    {"ShowStorage", "select 1000 0\nclick 1006\nset 1010 VIDEO1-MAIN\nclick 1\nclick 1\n", "ShowStorage"},
    {"ShowDisplay", "set 1202 0:15\ntick 1205 1\npage 2 x 2\nclick 1112\nselect 1103 0\npage Call Monitor\nclick 1\n", "ShowDisplay"},
    {"ShowAudio", "slide 1403 80\npage Camera Associations\ntick 1512 1\nclick 1\n", "ShowAudio"},
    // The unit's file browser refuses a file that is not there and says so;
    // the right one goes through.
    {"ShowCameras",
     "page User-Defined Handlers\nclick 1560\nset 9302 apps/demo/files/NoSuch.xml\nclick 1\n"
     "set 9302 apps/demo/files/SpeedDome.xml\nclick 1\nclick 1\n",
     "HandlerFileMissingThenFound"},
    // Actions that run out in a nested dialog: it is closed, then the sheet
    // (Cancel), on screen as headless, and the run ends.
    {"ShowCameras", "set 1470 Front Door\npage User-Defined Handlers\nclick 1560\nset 9302 NoSuch.xml\nclick 1\n",
     "ActionsRunOutInANestedDialog", false},
};

INSTANTIATE_TEST_SUITE_P(Operations, GuiRun, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });
INSTANTIATE_TEST_SUITE_P(DemoScripts, GuiRun, ::testing::ValuesIn(DemoCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
