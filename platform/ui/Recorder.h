// Records what the operator does on screen as a mirelle-run script: each
// operator action the front end hands the dialogs becomes its script line,
// the answer to a message box goes before the action that opened it (the
// runner queues answers ahead of the boxes), and a "wait" follows an action
// that left a worker running.  Either front end feeds it.
#pragma once
#include <string>
#include <vector>

#include "platform/ui/Script.h"

namespace ui {

class ScriptRecorder {
public:
    // Starts a new recording of operation (named on the script's first line).
    void Start(const std::string& operation);
    bool Empty() const { return m_entries.empty(); }
    // An action begins / has ended (applied: false when the dialog refused
    // it, which leaves it out; busy: a worker runs after it).
    void BeginAction(const ui::Action& action);
    void EndAction(bool applied, bool busy);
    // A message box was answered (IDOK, IDCANCEL, IDYES, IDNO): the answer
    // goes before the action being applied, or the last one when none is
    // (a box a worker or posted message showed).
    void Answered(int answer);
    // The script: "# operation: NAME", then one line an action.
    std::string Text() const;
    // Where the session was recorded, named on the script's second line.
    std::string source = "the demo launcher";

    // The script line of an action (a text of several lines: a set and its
    // "line" continuations), or "" when the script language has none.
    static std::string Line(const ui::Action& action);

private:
    struct Entry {
        std::vector<std::string> answers;  // lines before the action
        std::string line;
        bool wait = false;
        bool dropped = false;
        int setId = -1;        // a set of this control (keystrokes fold into it)
        std::string previous;  // the line a folded set replaced, while applied
    };
    std::string m_operation;
    std::vector<Entry> m_entries;
    std::vector<std::size_t> m_open;  // actions being applied, innermost last
};

}  // namespace ui
