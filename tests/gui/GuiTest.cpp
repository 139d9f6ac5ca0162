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
#include "tests/gui/Operator.h"
#include "gui/DialogView.h"
#include "gui/Keyboard.h"
#include "gui/Widgets.h"
#include "gui/QtFrontEnd.h"
#include "platform/codepage/CodePage.h"
#include "platform/registry/Registry.h"

namespace {

namespace fs = std::filesystem;

using guitest::App;
using guitest::HardWatchdog;
using guitest::InFolder;
using guitest::Operator;

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
    ui::ScriptRecorder recorder;
    recorder.Start(c.operation);
    frontEnd.recorder = &recorder;
    bool timedOut = false;
    Operator op(frontEnd, parsed.actions, c.operation + (c.name == c.operation ? "" : "-" + c.name));
    report.Finish(guitest::RunWatched(frontEnd, *unit, c.operation, timedOut));
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
    for (const auto& d : guitest::DemoScripts()) out.push_back({d.operation, d.script, d.name});
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
