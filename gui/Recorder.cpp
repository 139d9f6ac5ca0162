#include "gui/Recorder.h"

#include "platform/ui/MessageBox.h"

namespace gui {

void ScriptRecorder::Start(const std::string& operation) {
    m_operation = operation;
    m_entries.clear();
    m_open.clear();
}

std::string ScriptRecorder::Line(const ui::Action& a) {
    using K = ui::Action::Kind;
    const std::string id = std::to_string(a.id);
    switch (a.kind) {
        case K::Page: return "page " + a.text;
        case K::Set:
            // One line a value: a text that spans lines has no script form.
            if (a.text.find_first_of("\r\n") != std::string::npos) return "";
            return "set " + id + " " + a.text;
        case K::Select: return "select " + id + " " + std::to_string(a.n);
        case K::Tick: return "tick " + id + " " + std::to_string(a.n != 0);
        case K::Slide: return "slide " + id + " " + std::to_string(a.n);
        case K::Click: return a.id == 0 ? "click " + a.text : "click " + id;
        case K::DblClick: return "dblclick " + id + " " + std::to_string(a.n);
        case K::Check: return "check " + id + " " + std::to_string(a.n) + " " + std::to_string(a.value != 0);
        case K::Close: return "close";
        case K::Wait: return "wait";
        case K::Answer:
        case K::Call: return "";
    }
    return "";
}

void ScriptRecorder::BeginAction(const ui::Action& a) {
    Entry e;
    e.line = Line(a);
    if (e.line.empty()) e.line = "# not recorded: an action the script language cannot express";
    m_entries.push_back(std::move(e));
    m_open.push_back(m_entries.size() - 1);
}

void ScriptRecorder::EndAction(bool applied, bool busy) {
    if (m_open.empty()) return;
    Entry& e = m_entries[m_open.back()];
    e.wait = busy;
    e.dropped = !applied;
    m_open.pop_back();
}

void ScriptRecorder::Answered(int answer) {
    if (m_entries.empty()) return;  // nothing the operator did opened it
    const char* word = answer == ui::IDYES      ? "yes"
                       : answer == ui::IDNO     ? "no"
                       : answer == ui::IDCANCEL ? "cancel"
                                                : "ok";
    const std::size_t at = m_open.empty() ? m_entries.size() - 1 : m_open.back();
    m_entries[at].answers.push_back(std::string("answer ") + word);
}

std::string ScriptRecorder::Text() const {
    std::string out = "# operation: " + m_operation + "\n# recorded in the demo launcher\n";
    for (const Entry& e : m_entries) {
        for (const auto& a : e.answers) out += a + "\n";
        if (e.dropped) continue;
        out += e.line + "\n";
        if (e.wait) out += "wait\n";
    }
    return out;
}

}  // namespace gui
