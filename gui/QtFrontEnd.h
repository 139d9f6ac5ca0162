// The Qt front end: runs each modal dialog of the model as a window and
// shows the message boxes.
//
// While a dialog runs, its window's widget signals become the operator
// actions the scripted runner feeds (ui::ApplyAction on the dialog), posted
// messages of the thread are dispatched as they come (progress, worker
// results, a time-out's EndDialog), and every open window is brought up to
// its model after each action and each batch of messages.  Constructing the
// front end installs it as the dialog driver and the message box service;
// destroying it restores the scripted ones.
#pragma once
#include <exception>
#include <functional>
#include <vector>

#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Recorder.h"
#include "platform/ui/Script.h"

class QWidget;
class QEventLoop;
class QMessageBox;

namespace gui {

class DialogView;

class QtFrontEnd : public ui::Driver, public ui::MessageBoxService {
public:
    // owner: the window that dialogs without a running parent dialog sit over.
    explicit QtFrontEnd(QWidget* owner = nullptr);
    ~QtFrontEnd() override;
    QtFrontEnd(const QtFrontEnd&) = delete;
    QtFrontEnd& operator=(const QtFrontEnd&) = delete;

    void RunModal(ui::Dialog& dialog) override;
    int Show(ui::Window* owner, const std::string& text, const std::string& caption, unsigned style) override;

    // The window of the innermost running dialog, or null.
    DialogView* TopView() const;
    // The message box being shown, or null.
    QMessageBox* ActiveMessageBox() const { return m_box; }

    // Called for each message box after it is answered.
    std::function<void(const ui::ShownMessage&)> onMessage;
    // Called when a dialog's window is shown (after its first sync).
    std::function<void(DialogView&)> onDialogShown;
    int pumpIntervalMs = 15;
    // When set, what the operator does is recorded there as a script.
    ui::ScriptRecorder* recorder = nullptr;

private:
    struct Run {
        DialogView* view;
        QEventLoop* loop;
    };
    void Dispatch(DialogView& view, const ui::Action& action);
    void Refresh();
    int ShowHere(const std::string& text, const std::string& caption, unsigned style);

    QWidget* m_owner;
    std::vector<Run> m_runs;
    QMessageBox* m_box = nullptr;
    std::exception_ptr m_error;
};

// The buttons and icon of a message box style, and the answer of a button:
// the platform's values (MB_YESNO, MB_ICONEXCLAMATION, ... IDYES, IDNO).
int MessageBoxAnswer(unsigned style, int standardButton);

}  // namespace gui
