// What the GUI tests share: the one QApplication of the binary, and a
// session that runs one ISetupUI operation on a copy of the bundled unit
// under the Qt front end while a list of steps plays the operator: real
// mouse clicks and key presses, each step waiting for what it needs.
#pragma once
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "apps/run/Operations.h"
#include "gui/DialogView.h"
#include "gui/QtFrontEnd.h"
#include "platform/codepage/CodePage.h"
#include "platform/registry/Registry.h"

namespace guitest {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: tearing Qt down among the other static destructors at
    // exit crashes in the platform plugin.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class Session {
public:
    // edit: changes to the unit's data before the operation runs.
    explicit Session(std::string operation, const std::function<void(nlohmann::json&)>& edit = {})
        : m_operation(std::move(operation)) {
        App();
        reg::UseMemory();
        reg::Clear();
        unit = host::SimulatedUnit::Load(std::string(MIRELLE_SOURCE_DIR) + "/apps/units/default.json");
        if (edit) edit(unit->Data());
        unit->onCall = [this](const host::HostCall& call) {
            if (call.name == "ShowHelp")
                log << "help: " << call.args << "\n";
            else if (call.changes)
                log << "host: " << call.name << (call.args.empty() ? "" : " ") << cp::AnsiToUtf8(call.args) << "\n";
        };
        fe.onMessage = [this](const ui::ShownMessage& m) { log << "message: " << cp::AnsiToUtf8(m.text) << "\n"; };
    }

    // A step that acts once; it waits first for a dialog window on top.
    Session& Do(std::function<void()> act) {
        m_steps.push_back({[this] { return View() && View()->isVisible() && !fe.ActiveMessageBox(); }, std::move(act)});
        return *this;
    }
    // A step that waits until the condition holds.
    Session& Until(std::function<bool()> cond) {
        m_steps.push_back({std::move(cond), {}});
        return *this;
    }
    // Presses a button of the message box when one shows.
    Session& Answer(QMessageBox::StandardButton button) {
        m_steps.push_back({[this] { return fe.ActiveMessageBox() && fe.ActiveMessageBox()->isVisible(); },
                           [this, button] {
                               QMessageBox* box = fe.ActiveMessageBox();
                               QTest::mouseClick(box->button(button), Qt::LeftButton);
                           }});
        return *this;
    }

    // Runs the operation while the steps play; answers its result.
    long Run(int timeoutMs = 8000) {
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [this] { Tick(); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            timedOut = true;
            ADD_FAILURE() << m_operation << ": timed out at step " << m_done + 1 << " of " << m_done + m_steps.size();
            m_steps.clear();
            if (QMessageBox* box = fe.ActiveMessageBox()) box->reject();
            for (ui::Dialog* d : ui::ModalStack()) d->EndDialog(ui::IDCANCEL);
        });
        tick.start();
        watchdog.start(timeoutMs);
        long result = -1;
        {
            auto setupUI = apps::CreateSetupUI();
            result = apps::RunOperation(m_operation, *unit, *setupUI.get()).result;
        }
        tick.stop();
        watchdog.stop();
        return result;
    }
    bool Finished() const { return m_steps.empty(); }

    gui::DialogView* View() const { return fe.TopView(); }
    // The widget of control id in the top window (the page in front first).
    template <class T = QWidget>
    T* W(int id) const {
        return View() ? qobject_cast<T*>(View()->ControlWidget(id)) : nullptr;
    }
    // The model of the dialog or page that holds control id.
    ui::Control& Model(int id) const { return View()->Model().Target(id).Item(id); }
    // Clicks control id where a person would (the middle).
    void Click(int id) const { QTest::mouseClick(W(id), Qt::LeftButton, {}, W(id)->rect().center()); }

    gui::QtFrontEnd fe;
    std::unique_ptr<host::SimulatedUnit> unit;
    std::ostringstream log;
    bool timedOut = false;

private:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void Tick() {
        if (m_steps.empty() || !m_steps.front().ready()) return;
        Step s = std::move(m_steps.front());
        m_steps.pop_front();  // before acting: the act may run a nested modal loop that ticks on
        ++m_done;
        // Acted from a timer of its own: the tick timer would not fire again
        // while its handler sits in the nested modal loop an act can open.
        if (s.act) QTimer::singleShot(0, &m_context, std::move(s.act));
    }

    std::string m_operation;
    std::deque<Step> m_steps;
    std::size_t m_done = 0;
    QObject m_context;  // pending acts go with the session
};

}  // namespace guitest
