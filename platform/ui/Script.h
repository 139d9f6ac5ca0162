// Operator scripts: one action per line, run by the scripted driver.
//
//   page NAME | set ID TEXT | line ID TEXT | select ID N | tick ID 0|1 | slide ID N
//   click ID | click OK|Cancel|Help | dblclick ID N | check ID ROW 0|1 | answer yes|no|ok|cancel | wait
//   close | # comment
//
// "line ID TEXT" right after "set ID ..." (or another "line" of the same
// control) adds a line break (CR LF, as an edit control of several lines
// keeps it) and TEXT to that set: a text of several lines is one set.
//
// "click CAPTION" clicks the button with that caption (OK, Cancel, Help; the
// & of a mnemonic and case ignored) of the dialog or of its active page.
// Errors while a script runs name the action's line and the dialog (caption
// and template id), and suggest the nearest control or page when one is
// missing.
#pragma once
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Dialog.h"

namespace ui {

struct Action {
    enum class Kind { Page, Set, Select, Tick, Slide, Click, DblClick, Check, Answer, Wait, Close, Call };
    Kind kind = Kind::Click;
    int line = 0;
    int id = 0;
    int n = 0;
    int value = 0;  // Kind::Check: 1 = checked
    std::string text;  // Page: the title; Set: the text; Click: the caption (id 0)
    std::function<void(Dialog&)> call;  // Kind::Call: test code run on the top dialog
};

struct ScriptParseResult {
    std::vector<Action> actions;
    int errorLine = 0;  // 0 = no error
    std::string error;
    bool ok() const { return errorLine == 0; }
};

ScriptParseResult ParseScript(std::string_view text);

// Applies one action to a dialog (the top modal dialog).
void ApplyAction(Dialog& dialog, const Action& action);

// The candidate nearest to word by edit distance (case ignored), or "" when
// none is close enough to be a likely misspelling.
std::string Nearest(const std::string& word, const std::vector<std::string>& candidates);

// Feeds queued actions to the dialog running modally on top.  When the
// actions run out while a dialog is still open it is closed (close request,
// then Cancel) and Exhausted() reports it.  "wait" pumps posted messages until
// the dialog is no longer busy.
class ScriptDriver : public Driver {
public:
    void RunModal(Dialog& dialog) override;
    void Queue(Action action);
    void Queue(const std::vector<Action>& actions);
    // Convenience for tests.
    void Then(std::function<void(Dialog&)> fn);
    void Clear();
    std::size_t Remaining();
    bool Exhausted() const { return m_exhausted; }
    // An action that could not be applied ends every dialog the driver runs:
    // the error is kept here (the component turns the exception into a
    // failed result at its boundary) and handed to the host once.
    std::string TakeFailure();
    int waitTimeoutMs = 60000;

private:
    bool Next(Action& out);
    std::mutex m_m;
    std::deque<Action> m_actions;
    bool m_exhausted = false;
    std::string m_failure;
};

ScriptDriver& DefaultScriptDriver();

}  // namespace ui
