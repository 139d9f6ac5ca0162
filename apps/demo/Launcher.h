// The demo launcher: one entry per ISetupUI operation on a working unit file.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QString>
#include <QWidget>
#include <nlohmann/json.hpp>

#include "platform/ui/LineHandOff.h"
#include "platform/ui/Recorder.h"
#include "interfaces/ISetupUI.h"
#include "platform/com/Unknown.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace gui {
class QtFrontEnd;
}

namespace demo {

// The peak level the live audio input reports at sample t (every 50 ms):
// speech on a microphone, syllables rising and falling within phrases and
// pauses between them, over the meter's whole range (-1 for silence, all
// lamps dark, up to 13, all lit).
int SpeechLevel(int t);

// A line of the unit's data or of the log as one line of text: line breaks
// and tabs as spaces, runs of white space as one.
QString OneLine(const QString& text);

// A line of the run report as a person reads it: the texts a host call
// carries quoted with escapes ("\r\n", "\t", "\"", "\\") shown as the text
// itself, line breaks and all.
QString Unescaped(const QString& line);

// A file dialog that can be used with the on-screen keyboard alone: the
// file name is typed on its keys, Enter accepts.  Answers the path, or an
// empty text when cancelled.
QString ChooseFile(QWidget* parent, bool save, const QString& title, const QString& filter, bool keyboard);

class Launcher : public QWidget {
public:
    explicit Launcher(std::string unitPath);
    ~Launcher() override;
    // Runs one operation modally on the unit file and reports its result;
    // answers the operation's result (-1 when it failed).
    long RunOperation(const std::string& name);
    // Puts the bundled unit file back in place of the working one.
    void ResetUnit();
    // The unit file's data as a tree; what the last setup changed is
    // highlighted.
    QTreeWidget* StateTree() const { return m_tree; }
    // The unit's own windows (device editor, help); off, the unit file answers.
    bool showHostWindows = true;
    // Called with each setup's front end before the setup opens (tests
    // attach their operator to it); what it returns is held for the run and
    // released before the front end goes.
    std::function<std::shared_ptr<void>(gui::QtFrontEnd&)> onFrontEnd;

    // The language the setups show: the system language the module chooses
    // its resource module by ("ENG" for its own resources, "QPS" for the
    // pseudo locale, or a language whose ResSetupUI<LANG>.json is at hand).
    // The module is loaded afresh so that the next setup shows it.  Answers
    // false when the module could not be reloaded.
    bool SetLanguage(const std::string& code);
    QComboBox* LanguageChoice() const { return m_language; }

    // Touch mode for the setups (targets a finger can hit).
    QCheckBox* TouchSwitch() const { return m_touch; }
    // The on-screen keyboard flag given to the setups.
    QCheckBox* KeyboardSwitch() const { return m_keyboard; }

    // Recording: while on, each setup run records what the operator does as
    // a mirelle-run script (the last setup's is kept).
    void SetRecording(bool on);
    std::string RecordedScript() const { return m_recorder.Empty() ? std::string() : m_recorder.Text(); }
    bool SaveRecording(const std::string& path);
    // Runs a saved script headless on another unit file, as mirelle-run
    // does (the operation named on its "# operation:" line); the report goes
    // to the log.  Answers the result, -1 when the run failed.
    long ReplayScript(const std::string& scriptPath, const std::string& unitPath);

private:
    // Adds a line to the log from any thread.  The unit reports the calls
    // its worker threads make (storage) from those threads, and widgets may
    // only be touched from the thread that owns them: lines from another
    // thread are queued and the owner's event loop writes them.  A line
    // said on the owner's thread first writes the queued ones, so the log
    // keeps the order the lines were said in.
    void Say(const std::string& line) { m_lines.Say(line); }
    void WriteLogLine(const std::string& line);
    void ShowState(const nlohmann::json& before);
    // before: the value before the setup (null when new); compare: false on the first show.
    void Fill(QTreeWidgetItem* parent, const QString& key, const nlohmann::json& now, const nlohmann::json* before,
              bool compare);
    // Whether the launcher's own file dialogs show the on-screen keyboard.
    bool OnScreenKeys() const;
    void StartAudioInput();
    void StopAudioInput();

    std::string m_unitPath;
    std::string m_bundledPath;
    QPlainTextEdit* m_log;
    QTreeWidget* m_tree;
    QSpinBox* m_dropDelay;
    QCheckBox* m_audioInput;
    QCheckBox* m_record;
    QComboBox* m_language;
    QCheckBox* m_touch;
    QCheckBox* m_keyboard;
    ui::ScriptRecorder m_recorder;
    // The SetupUI object of the setup that runs, for the calls a unit makes
    // while a setup is open (the connection drop, the level meter).
    com::ComPtr<mirelle::ISetupUI> m_running;
    // Lines said on a worker thread reach the log through the event loop.
    ui::LineHandOff m_lines{[this](const std::string& line) { WriteLogLine(line); },
                              [this](std::function<void()> flush) {
                                  QMetaObject::invokeMethod(this, std::move(flush), Qt::QueuedConnection);
                              }};
    std::thread m_audioThread;
    std::atomic<bool> m_audioStop{false};
};

}  // namespace demo
