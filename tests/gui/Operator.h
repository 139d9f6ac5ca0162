// Plays mirelle-run script actions on the widgets of the Qt front end as
// an operator would (real clicks and typing), answering message boxes as
// the script says, with a screenshot of every dialog and page shown.
#pragma once
#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "gui/ControlPane.h"
#include "gui/DialogView.h"
#include "gui/QtFrontEnd.h"
#include "gui/Widgets.h"
#include "apps/run/Operations.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Script.h"
#include "simulator/SimulatedUnit.h"

namespace guitest {

namespace fs = std::filesystem;

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

// Runs one operation on unit from the top of the source tree, as the demo
// runs it.  After softMs every box and dialog still open is ended (timedOut
// says so); after hardS the test binary aborts (a run stuck outside the
// event loop).
inline apps::OperationOutcome RunWatched(gui::QtFrontEnd& fe, host::SimulatedUnit& unit, const std::string& operation,
                                         bool& timedOut, int softMs = 60000, int hardS = 150) {
    timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        if (QMessageBox* box = fe.ActiveMessageBox()) box->reject();
        for (ui::Dialog* d : ui::ModalStack()) d->EndDialog(ui::IDCANCEL);
    });
    watchdog.start(softMs);
    HardWatchdog hard(hardS);
    InFolder source(MIRELLE_SOURCE_DIR);
    auto setupUI = apps::CreateSetupUI();
    return apps::RunOperation(operation, unit, *setupUI.get());
}

// Where a person clicks a control: the box of a check box or radio button
// (the rest of a wide one does not take clicks), else the middle.
inline QPoint ClickPoint(QWidget* w) {
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
            if (visitPages && v.Tabs()) {
                // Every page once, then back to the one in front.
                QTabBar* bar = v.Tabs()->tabBar();
                std::vector<ui::Action> visits;
                for (int i = 0; i <= bar->count(); ++i) {
                    ui::Action a;
                    a.kind = ui::Action::Kind::Page;
                    a.text = gui::FromQt(bar->tabText(i < bar->count() ? i : bar->currentIndex()));
                    visits.push_back(a);
                }
                m_steps.insert(m_steps.begin(), visits.begin(), visits.end());
            }
        };
        QTimer::singleShot(tickMs, &m_context, [this] { Tick(); });
    }
    ~Operator() { m_stopped = true; m_fe.onDialogShown = nullptr; }

    bool Finished() const { return m_steps.empty(); }
    std::vector<std::string> shots;
    std::string failure;
    // Called with the window on top before each action (and once more when
    // the actions have run out), no message box showing.
    std::function<void(gui::DialogView&)> onView;
    // The tab title a script's page name shows as (a translated title).
    std::function<std::string(const std::string&)> pageTitle;
    // Each sheet's pages are all visited when it opens (before the actions).
    bool visitPages = false;
    // Called with the widget an action is about to go to, once the window
    // has scrolled it into view.
    std::function<void(gui::DialogView&, QWidget&, QPoint)> onControl;
    // Screenshots of each dialog and page (named by the prefix, which may
    // name a folder under gui-shots).
#if defined(__SANITIZE_THREAD__)
    // Qt encodes images on its own thread pool, whose locks the thread
    // checker cannot see (Qt is not instrumented): no screenshots there.
    bool takeShots = false;
#else
    bool takeShots = true;
#endif
    // How often the operator looks at the screen (ms).
    int tickMs = 40;

private:
    void Shot(QWidget& w, const std::string& name) {
        if (!takeShots) return;
        fs::path dir = fs::path(MIRELLE_BINARY_DIR) / "gui-shots";
        std::string file = (dir / (m_prefix + "-" + name + ".png")).string();
        for (auto& c : file) if (c == ' ') c = '_';
        fs::create_directories(fs::path(file).parent_path());
        if (w.grab().save(QString::fromStdString(file))) shots.push_back(file);
    }

    void Tick() {
        if (m_stopped) return;
        // The next tick runs in nested loops too.  Its timer goes with this
        // object: a tick left over from one run must never act in the next.
        QTimer::singleShot(tickMs, &m_context, [this] { Tick(); });
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
        if (onView) onView(*view);
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
            const QString title = gui::ToQt(a.text);
            const QString shown = pageTitle ? gui::ToQt(pageTitle(a.text)) : title;
            for (int i = 0; tabs && i < tabs->count(); ++i)
                if (tabs->tabText(i) == title || tabs->tabText(i) == shown) index = i;
            if (index < 0) return Fail("no tab " + a.text);
            view->Reveal(tabs, tabs->tabRect(index));
            if (onControl) onControl(*view, *tabs, tabs->tabRect(index).center());
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
            Shot(*view, "page-" + gui::ToQt(a.text).toStdString());
            return;
        }
        QWidget* w = view->ControlWidget(a.id);
        if (!w || !w->isVisible() || !w->isEnabled()) return Fail("control " + std::to_string(a.id) + " not usable");
        view->Reveal(w);
        if (onControl) onControl(*view, *w, ClickPoint(w));
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

// A script of the demo (apps/demo/*.script): each names its operation on
// its first line.  name: "Demo_" and the file's name, fit for a test name.
struct DemoScript {
    std::string operation;
    std::string script;
    std::string name;
};

inline std::vector<DemoScript> DemoScripts() {
    std::vector<DemoScript> out;
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
        for (auto& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        out.push_back({op, script, name});
    }
    return out;
}

}  // namespace guitest
