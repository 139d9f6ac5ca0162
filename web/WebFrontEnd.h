// The browser front end of the dialog model: runs each modal dialog while
// its state goes out as messages, and applies the operator actions that
// come back.
//
// While a dialog runs, Qt's event loop turns (so sockets are served), the
// thread's posted messages are dispatched as they come, and after every
// action and every few milliseconds each open dialog's snapshot is compared
// with the one last sent: only what changed goes out (values that move on
// their own, as "live" messages, at most every liveIntervalMs).  Actions are
// script lines applied with ui::ApplyAction, as the scripted driver and the
// Qt front end apply them; a refused action changes nothing and answers the
// error.  Message boxes go out as messages and wait for their answer.
// Constructing the front end installs it as the dialog driver and the message
// box service; destroying it restores the scripted ones.  Needs a
// QCoreApplication; runs on its thread.
#pragma once
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Recorder.h"
#include "platform/ui/Snapshot.h"

class QEventLoop;

namespace web {

class WebFrontEnd : public ui::Driver, public ui::MessageBoxService {
public:
    // send: every message for the operator's and the watchers' pages.
    explicit WebFrontEnd(std::function<void(const nlohmann::json&)> send);
    ~WebFrontEnd() override;
    WebFrontEnd(const WebFrontEnd&) = delete;
    WebFrontEnd& operator=(const WebFrontEnd&) = delete;

    void RunModal(ui::Dialog& dialog) override;
    int Show(ui::Window* owner, const std::string& text, const std::string& caption, unsigned style) override;

    // Applies one operator action (a UTF-8 script line, "line" continuations
    // included) to the top dialog; "answer WORD" answers the open box.
    // Answers "" when it was applied, else why it was refused.  May run a
    // dialog or message box it opens before it returns.
    std::string Act(const std::string& line);
    // Answers the open message box (box: its number, or -1).
    std::string Answer(int box, const std::string& word);

    // What a page that (re)connects needs: each open dialog, bottom first,
    // then the open message box.
    std::vector<nlohmann::json> State() const;
    bool Running() const { return !m_runs.empty(); }
    bool BoxOpen() const { return m_box.open; }

    // No operator is left: once a dialog has ended (the host's connection
    // time-out), the dialogs still open over it are closed with Cancel and
    // message boxes get the cautious answer.  Off again with Abandon(false)
    // when an operator takes over.
    void Abandon(bool on = true);
    bool Abandoned() const { return m_abandoned; }

    // Sends what changed in every open dialog now.
    void Refresh();

    // Called for each message box after it is answered.
    std::function<void(const ui::ShownMessage&)> onMessage;
    // When set, what the operator does is recorded there as a script.
    ui::ScriptRecorder* recorder = nullptr;
    int pumpIntervalMs = 15;
    int liveIntervalMs = 50;

private:
    struct Run {
        ui::Dialog* dialog;
        QEventLoop* loop;
        ui::DialogState sent;
    };
    struct Box {
        bool open = false;
        int number = 0;
        unsigned style = 0;
        std::string text, caption;
        int answer = 0;
        QEventLoop* loop = nullptr;
    };
    // A box a worker thread asks for, shown by the front end's thread.
    struct WorkerBox {
        std::string text, caption;
        unsigned style = 0;
        std::promise<int> answer;
    };
    int ShowHere(const std::string& text, const std::string& caption, unsigned style);
    // Shows the boxes workers wait for; from the modal runs' pump.
    void ServeWorkerBoxes();
    void EndAbandoned();
    bool AnyEnded() const;

    std::function<void(const nlohmann::json&)> m_send;
    std::vector<Run*> m_runs;
    Box m_box;
    int m_boxes = 0;
    bool m_abandoned = false;
    std::exception_ptr m_error;
    std::mutex m_workerBoxLock;
    std::deque<WorkerBox*> m_workerBoxes;
};

// The cautious answer to a box of this style: OK for an OK box, No for
// Yes/No, Cancel where there is a Cancel.
int CautiousAnswer(unsigned style);

}  // namespace web
