// The demo launcher as a person uses it: grouped setups with plain names, the
// unit's state with what a setup changed, the dropped remote connection and
// the live audio input that moves the level meter.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <sstream>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTreeWidget>

#include "apps/demo/Launcher.h"
#include "gui/Keyboard.h"
#include "gui/Touch.h"
#include "tests/gui/GuiSession.h"
#include "util/Util.h"

namespace {

namespace fs = std::filesystem;

// The dialog on top: the active modal window when it is one of ours.  (The
// list of top-level widgets comes in no fixed order, so with a dialog open
// over another it could name either.)
gui::DialogView* OpenDialog() {
    auto* v = qobject_cast<gui::DialogView*>(QApplication::activeModalWidget());
    return v && v->isVisible() ? v : nullptr;
}

struct LauncherRun : ::testing::Test {
    void SetUp() override {
        guitest::App();
        reg::UseMemory();
        reg::Clear();
        unitPath = fs::temp_directory_path() / ("mirelle-launcher-" + std::to_string(::getpid()) + ".json");
        fs::copy_file(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json", unitPath,
                      fs::copy_options::overwrite_existing);
        // A step that missed its moment leaves a modal window nobody closes:
        // end everything that is open and fail, rather than wait forever.
        watchdog.setInterval(30000);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            if (!timedOut) ADD_FAILURE() << "a setup was still open after 30 s";
            timedOut = true;
            watchdog.setInterval(200);
            if (QWidget* w = QApplication::activeModalWidget(); w && !qobject_cast<gui::DialogView*>(w)) w->close();
            for (ui::Dialog* d : ui::ModalStack()) d->EndDialog(ui::IDCANCEL);
        });
        watchdog.start();
    }
    void TearDown() override {
        watchdog.stop();
        fs::remove(unitPath);
    }
    fs::path unitPath;
    QTimer watchdog;
    bool timedOut = false;
};

TEST_F(LauncherRun, SetupsAreGroupedWithPlainNames) {
    demo::Launcher launcher(unitPath.string());
    auto* cameras = launcher.findChild<QPushButton*>("ShowCameras");
    ASSERT_TRUE(cameras);
    EXPECT_EQ(cameras->text(), "Cameras");
    EXPECT_EQ(cameras->toolTip(), "ShowCameras");
    for (const auto& name : apps::OperationNames())
        EXPECT_TRUE(launcher.findChild<QPushButton*>(QString::fromStdString(name))) << name;
}

TEST_F(LauncherRun, DroppedConnectionEndsTheOpenSetupAndTheTreeShowsChanges) {
    demo::Launcher launcher(unitPath.string());
    launcher.findChild<QSpinBox*>("dropDelay")->setValue(1);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        opened = QTest::qWaitFor([] { return OpenDialog() != nullptr; }, 5000);
        // A change first, so the tree has something to show.
        if (opened) QTest::mouseClick(OpenDialog()->ControlWidget(1014), Qt::LeftButton, {}, QPoint(7, 6));
    });
    QElapsedTimer clock;
    clock.start();
    launcher.RunOperation("ShowRecordModeDlg");
    EXPECT_TRUE(opened);
    EXPECT_LT(clock.elapsed(), 10000) << "ConnectTimeout ended the dialog";
    EXPECT_FALSE(OpenDialog());
    // Nothing changed in the file (the dialog did not end with OK), so
    // nothing is highlighted.
    const auto changed = launcher.StateTree()->findItems("*", Qt::MatchWildcard | Qt::MatchRecursive);
    int highlighted = 0;
    for (auto* item : changed) highlighted += item->background(0).color() == QColor(255, 236, 150);
    EXPECT_EQ(highlighted, 0);

    // A setup that ends with OK: its change is highlighted.
    launcher.findChild<QSpinBox*>("dropDelay")->setValue(0);
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([] { return OpenDialog() != nullptr; }, 5000)) return;
        // The "notify when full" level moved, then OK.
        if (auto* level = qobject_cast<QSlider*>(OpenDialog()->ControlWidget(1016))) level->setValue(5);
        QTest::mouseClick(OpenDialog()->ControlWidget(1), Qt::LeftButton);
    });
    EXPECT_EQ(launcher.RunOperation("ShowRecordModeDlg"), 1);
    auto items = launcher.StateTree()->findItems("recordInfo", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->background(0).color(), QColor(255, 236, 150)) << "the record mode's data changed";
    EXPECT_TRUE(items[0]->isExpanded());
}

TEST_F(LauncherRun, LiveAudioInputMovesTheLevelMeter) {
    demo::Launcher launcher(unitPath.string());
    launcher.findChild<QCheckBox*>("audioInput")->setChecked(true);
    std::set<int> counts;  // how many lamps were lit, sample by sample
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([] { return OpenDialog() != nullptr; }, 5000)) return;
        // Lamps 1421.. of the meter light as the level comes in: for 2 s,
        // how many are lit moves up and down.
        QElapsedTimer clock;
        clock.start();
        (void)QTest::qWaitFor([&] {
            int lit = 0;
            for (int id = 1421; id < 1435; ++id)
                if (QWidget* w = OpenDialog()->ControlWidget(id); w && w->property("lit").toBool()) ++lit;
            counts.insert(lit);
            return clock.elapsed() > 2000;
        }, 5000);
        QTest::mouseClick(OpenDialog()->ControlWidget(2), Qt::LeftButton);
    });
    launcher.RunOperation("ShowAudio");
    ASSERT_FALSE(counts.empty());
    EXPECT_GE(counts.size(), 4u) << "the lamps move";
    EXPECT_GT(*counts.rbegin(), 0) << "some lamps light";
    EXPECT_LT(*counts.begin(), 14) << "not every lamp all the time";
}

}  // namespace

namespace {

QWidget* ModalNamed(const char* name) {
    QWidget* w = QApplication::activeModalWidget();
    return w && w->objectName() == name && w->isVisible() ? w : nullptr;
}

TEST_F(LauncherRun, HelpShowsTheTopicAndTheDeviceEditorTakesWhatTheOperatorEnters) {
    demo::Launcher launcher(unitPath.string());
    bool helpShown = false;
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([] { return OpenDialog() != nullptr; }, 5000)) return;
        QTimer::singleShot(0, [&] {
            helpShown = QTest::qWaitFor([] { return ModalNamed("helpTopic") != nullptr; }, 5000);
            if (auto* box = qobject_cast<QMessageBox*>(ModalNamed("helpTopic")))
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            QTimer::singleShot(0, [] { QTest::mouseClick(OpenDialog()->ControlWidget(2), Qt::LeftButton); });
        });
        QTest::mouseClick(OpenDialog()->ControlWidget(4), Qt::LeftButton);  // Help
    });
    launcher.RunOperation("ShowRecordModeDlg");
    EXPECT_TRUE(helpShown);

    // IP sources: Add, the device type, then the unit's editor window.
    bool edited = false;
    std::function<void()> step;
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([] { return OpenDialog() != nullptr; }, 5000)) return;
        QTimer::singleShot(0, [&] {
            if (!QTest::qWaitFor([] { return OpenDialog() && OpenDialog()->ControlWidget(1085); }, 5000)) return;
            gui::DialogView* type = OpenDialog();
            auto* kind = qobject_cast<QComboBox*>(type->ControlWidget(1085));
            kind->setFocus();
            kind->setCurrentIndex(1);
            QTimer::singleShot(0, [&] {
                if (!QTest::qWaitFor([] { return ModalNamed("ipDeviceEditor") != nullptr; }, 5000)) return;
                QWidget* editor = ModalNamed("ipDeviceEditor");
                auto* address = editor->findChild<QLineEdit*>("address");
                address->selectAll();
                QTest::keyClicks(address, "198.51.100.7");
                auto* cameras = editor->findChild<QLineEdit*>("cameras");
                cameras->selectAll();
                QTest::keyClicks(cameras, "7");
                edited = true;
                QTest::keyClick(cameras, Qt::Key_Return);
            });
            QTest::mouseClick(type->ControlWidget(1), Qt::LeftButton);  // OK: the editor follows
        });
        QTest::mouseClick(OpenDialog()->ControlWidget(1081), Qt::LeftButton);
    });
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        // Back on the source list after the editor: close it.
        gui::DialogView* v = OpenDialog();
        if (!edited || !v || QApplication::activeModalWidget() != v) return;
        if (QWidget* ok = v->ControlWidget(1085) ? nullptr : v->ControlWidget(2)) {
            closer.setInterval(100);
            QTest::mouseClick(ok, Qt::LeftButton);
        }
    });
    closer.start(50);
    launcher.RunOperation("ShowIPSourceConfig");
    closer.stop();
    EXPECT_TRUE(edited);
    std::ifstream in(unitPath);
    const auto unit = nlohmann::json::parse(in);
    EXPECT_NE(unit.dump().find("198.51.100.7"), std::string::npos) << "the address entered in the editor";
}

}  // namespace

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// A setup session recorded in the launcher (real clicks and typing, a
// refusal answered on the way) and its saved script replayed headless by
// mirelle-run on a fresh unit: the same report (messages, host calls, out
// values, result) and the same unit; the launcher's own replay agrees.
TEST_F(LauncherRun, RecordedSessionReplaysHeadlessAlike) {
    demo::Launcher launcher(unitPath.string());
    launcher.SetRecording(true);
    bool played = false;
    // Each message box is answered with its OK, as the operator reads it.
    int boxes = 0;
    QTimer answerBoxes;
    answerBoxes.setInterval(20);
    QObject::connect(&answerBoxes, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("answered").toBool()) return;
        box->setProperty("answered", true);
        ++boxes;
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    answerBoxes.start();
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([] { return OpenDialog() != nullptr; }, 5000)) return;
        gui::DialogView* v = OpenDialog();
        // The communications port's number as the live video port.
        auto* live = qobject_cast<QLineEdit*>(v->ControlWidget(1033));
        QTest::mouseClick(live, Qt::LeftButton);
        QTest::keyClick(live, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(live, "80");
        // One client fewer, with the arrow key.
        v->ControlWidget(1037)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(v->ControlWidget(1037), Qt::Key_Up);
        // OK is refused with a message (its OK pressed below).
        QTest::mouseClick(v->ControlWidget(1), Qt::LeftButton);
        if (!OpenDialog()) return;
        QTest::keyClick(live, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(live, "8081");
        played = true;
        QTest::mouseClick(v->ControlWidget(1), Qt::LeftButton);
    });
    EXPECT_EQ(launcher.RunOperation("ShowPortAddressDlg"), 1);
    answerBoxes.stop();
    ASSERT_TRUE(played);
    EXPECT_EQ(boxes, 2) << "the refusal and the note on restarting";

    const std::string script = launcher.RecordedScript();
    const auto lines = Lines(script);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "# operation: ShowPortAddressDlg");
    const auto answer = std::find(lines.begin(), lines.end(), "answer ok");
    const auto firstOk = std::find(lines.begin(), lines.end(), "click 1");
    EXPECT_TRUE(answer != lines.end() && answer < firstOk) << "the answer before the click that opens the box\n" << script;

    // What the launcher reported for the session (its log after the
    // operation's heading, without the launcher's own lines).
    std::vector<std::string> gui;
    bool in = false;
    for (const auto& l : Lines(launcher.findChild<QPlainTextEdit*>("hostCalls")->toPlainText().toStdString())) {
        if (l == "== ShowPortAddressDlg") in = true;
        else if (in && l.rfind("==", 0) != 0) gui.push_back(l);
    }
    ASSERT_FALSE(gui.empty());
    EXPECT_NE(std::find(gui.begin(), gui.end(), "result: 1"), gui.end());

    const fs::path dir = fs::temp_directory_path() / ("mirelle-replay-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path saved = dir / "session.script", headless = dir / "headless.json", replayed = dir / "replayed.json";
    ASSERT_TRUE(launcher.SaveRecording(saved.string()));
    for (const auto& copy : {headless, replayed})
        fs::copy_file(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json", copy, fs::copy_options::overwrite_existing);
    std::string out;
    {
        const std::string cmd = "MIRELLE_REGISTRY=" + (dir / "registry.db").string() + " " + MIRELLE_RUN + " --unit " +
                                headless.string() + " --script " + saved.string() + " ShowPortAddressDlg 2>/dev/null";
        std::FILE* p = ::popen(cmd.c_str(), "r");
        char buf[512];
        while (p && std::fgets(buf, sizeof buf, p)) out += buf;
        ASSERT_TRUE(p);
        EXPECT_EQ(::pclose(p), 0) << script;
    }
    EXPECT_EQ(Lines(out), gui) << script;
    auto json = [](const fs::path& p) {
        std::ifstream f(p);
        return nlohmann::json::parse(f);
    };
    EXPECT_EQ(json(headless), json(unitPath)) << script;

    // The launcher's replay on another unit file ends alike.
    EXPECT_EQ(launcher.ReplayScript(saved.string(), replayed.string()), 1);
    EXPECT_EQ(json(replayed), json(unitPath));
    fs::remove_all(dir);
}

}  // namespace

namespace {

// The language choice: the own resources first, the pseudo locale the build
// generates beside the module; choosing it shows the next setup in it, and
// choosing English brings the own texts back.
TEST_F(LauncherRun, LanguageChoiceShowsTheSetupsInThePseudoLocale) {
    demo::Launcher launcher(unitPath.string());
    QComboBox* language = launcher.LanguageChoice();
    ASSERT_TRUE(language);
    EXPECT_EQ(language->currentData().toString(), "ENG") << "the own resources by default";
    const int pseudo = language->findData("QPS");
    ASSERT_GE(pseudo, 0) << "the generated pseudo-locale module is offered";
    auto titleOfNextSetup = [&] {
        QString title;
        QTimer::singleShot(0, [&] {
            if (!QTest::qWaitFor([] { return OpenDialog() != nullptr; }, 5000)) return;
            title = OpenDialog()->windowTitle();
            QTest::mouseClick(OpenDialog()->ControlWidget(2), Qt::LeftButton, {}, QPoint(10, 6));
        });
        launcher.RunOperation("ShowRecordModeDlg");
        return title;
    };
    language->setCurrentIndex(pseudo);  // as the operator picks it
    EXPECT_EQ(CWWRegistry::GetSystemLanguage(), "QPS");
    const QString pseudoTitle = titleOfNextSetup();
    EXPECT_TRUE(launcher.SetLanguage("ENG"));
    EXPECT_EQ(language->currentData().toString(), "ENG");
    const QString ownTitle = titleOfNextSetup();
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(pseudoTitle.startsWith("[")) << pseudoTitle.toStdString();
    EXPECT_FALSE(ownTitle.isEmpty());
    EXPECT_FALSE(ownTitle.startsWith("[")) << ownTitle.toStdString();
}

}  // namespace

#include "tests/gui/Operator.h"

namespace {

// The storage setup reports the calls its worker makes from the worker's
// thread: the launcher writes them to its log on its own thread, in the
// order they came, run after run (a log touched from the worker crashed the
// launcher in most storage runs).
TEST_F(LauncherRun, StorageRunsLogTheWorkersCallsInOrder) {
    demo::Launcher launcher(unitPath.string());
    launcher.showHostWindows = false;
    const auto demo = guitest::DemoScripts();
    const auto storage = std::find_if(demo.begin(), demo.end(), [](const auto& d) { return d.operation == "ShowStorage"; });
    ASSERT_NE(storage, demo.end());
    auto parsed = ui::ParseScript(cp::Utf8ToAnsi(storage->script));
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const fs::path dir = fs::temp_directory_path() / ("mirelle-storage-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path script = dir / "storage.script", headless = dir / "headless.json";
    std::ofstream(script) << storage->script;
    for (int run = 0; run < 3; ++run) {
        launcher.ResetUnit();
        // The operator lives as long as the run's front end; its verdict stays.
        std::optional<std::string> failure;
        launcher.onFrontEnd = [&](gui::QtFrontEnd& fe) {
            auto* op = new guitest::Operator(fe, parsed.actions, "launcher-storage");
            return std::shared_ptr<void>(op, [&failure](void* p) {
                auto* done = static_cast<guitest::Operator*>(p);
                failure = done->failure;
                delete done;
            });
        };
        long result = 0;
        {
            guitest::InFolder source(MIRELLE_SOURCE_DIR);
            result = launcher.RunOperation("ShowStorage");
        }
        ASSERT_TRUE(failure && failure->empty()) << (failure ? *failure : "no front end");
        EXPECT_EQ(result, 1);
        QCoreApplication::processEvents();
        std::vector<std::string> logged;
        bool in = false;
        for (const auto& l : Lines(launcher.findChild<QPlainTextEdit*>("hostCalls")->toPlainText().toStdString())) {
            if (l == "== ShowStorage") { in = true; logged.clear(); }
            else if (in && l.rfind("==", 0) != 0) logged.push_back(l);
        }
        fs::copy_file(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json", headless,
                      fs::copy_options::overwrite_existing);
        const std::string cmd = "cd " + std::string(MIRELLE_SOURCE_DIR) + " && MIRELLE_REGISTRY=" +
                                (dir / "registry.db").string() + " " + MIRELLE_RUN + " --unit " + headless.string() +
                                " --script " + script.string() + " ShowStorage 2>/dev/null";
        std::string out;
        std::FILE* p = ::popen(cmd.c_str(), "r");
        ASSERT_TRUE(p);
        char buf[512];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        EXPECT_EQ(::pclose(p), 0);
        EXPECT_EQ(logged, Lines(out)) << "run " << run;
    }
    fs::remove_all(dir);
}

}  // namespace

namespace {

// The launcher's switches for the recorder's screen: the keyboard flag the
// setups get (the unit file keeps its own) and touch mode.
TEST_F(LauncherRun, ScreenSwitchesReachTheSetups) {
    demo::Launcher launcher(unitPath.string());
    launcher.KeyboardSwitch()->setChecked(true);
    launcher.TouchSwitch()->setChecked(true);
    bool keyboard = false, touch = false;
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([] { return OpenDialog() != nullptr; }, 5000)) return;
        keyboard = OpenDialog()->OnScreenKeyboard()->isVisible();
        touch = OpenDialog()->Touch();
        QTest::mouseClick(OpenDialog()->ControlWidget(225), Qt::LeftButton);  // Cancel
    });
    launcher.RunOperation("ShowODSetup");
    launcher.TouchSwitch()->setChecked(false);
    EXPECT_TRUE(keyboard) << "the on-screen keyboard shows";
    EXPECT_TRUE(touch) << "in touch mode";
    EXPECT_FALSE(gui::TouchMode());
    std::ifstream in(unitPath);
    EXPECT_EQ(nlohmann::json::parse(in).value("keyboard", -1), 0) << "the unit file keeps its flag";
}

// The launcher's own file dialog with the on-screen keyboard alone: the
// name typed on its keys, Enter saves.
TEST_F(LauncherRun, FileDialogTakesANameFromTheOnScreenKeyboard) {
    QWidget owner;
    QString chosen;
    QTimer::singleShot(0, [&] {
        QWidget* box = nullptr;
        if (!QTest::qWaitFor([&] { return (box = ModalNamed("fileChooser")) != nullptr; }, 5000)) return;
        auto* keys = box->findChild<gui::Keyboard*>();
        if (!keys) {
            box->close();
            return;
        }
        for (const char* k : {"a", "b", "back", "c", ".", "s", "h"}) QTest::mouseClick(keys->Key(k), Qt::LeftButton);
        QTest::mouseClick(keys->Key("enter"), Qt::LeftButton);
        QTimer::singleShot(500, [] { if (QWidget* w = ModalNamed("fileChooser")) w->close(); });
    });
    chosen = demo::ChooseFile(&owner, true, "Save recording as", "Scripts (*.script)", true);
    EXPECT_TRUE(chosen.endsWith("/ac.sh")) << chosen.toStdString();
}

// A value of several lines (an XML text of the unit) shows on one line in
// the unit tree, and line by line below it.
TEST_F(LauncherRun, UnitTreeShowsAnXmlValueOnOneLine) {
    demo::Launcher launcher(unitPath.string());
    QTreeWidgetItem* xml = nullptr;
    for (auto* item : launcher.StateTree()->findItems("cameraControlXml", Qt::MatchExactly | Qt::MatchRecursive))
        xml = item;
    ASSERT_NE(xml, nullptr);
    EXPECT_TRUE(xml->text(1).startsWith("<")) << xml->text(1).toStdString();
    EXPECT_FALSE(xml->text(1).contains('\n'));
    EXPECT_GT(xml->childCount(), 1) << "expandable, a line a row";
}

}  // namespace
