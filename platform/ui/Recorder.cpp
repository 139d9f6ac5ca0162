#include "platform/ui/Recorder.h"

#include "platform/ui/MessageBox.h"

namespace ui {

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
        case K::Set: {
            // A text of several lines: its first line is the set, each
            // further one a "line" of the same control.  Lines end in CR LF,
            // as the edit control keeps them; a lone CR or LF has no form.
            std::string out = "set " + id + " ";
            std::size_t from = 0;
            for (;;) {
                const std::size_t crlf = a.text.find("\r\n", from);
                const std::string piece = a.text.substr(from, crlf == std::string::npos ? std::string::npos : crlf - from);
                if (piece.find_first_of("\r\n") != std::string::npos) return "";
                out += piece;
                if (crlf == std::string::npos) return out;
                out += "\nline " + id + " ";
                from = crlf + 2;
            }
        }
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
    std::string line = Line(a);
    if (line.empty()) line = "# not recorded: an action the script language cannot express";
    // Typing sends the whole text at every keystroke: one set after another
    // into the same control, with nothing between, is one set of the last
    // text.  The earlier text is kept in case the dialog refuses this one.
    if (a.kind == ui::Action::Kind::Set && line.front() != '#' && !m_entries.empty() &&
        (m_open.empty() || m_open.back() != m_entries.size() - 1)) {
        Entry& last = m_entries.back();
        if (last.setId == a.id && !last.dropped && !last.wait && last.answers.empty()) {
            last.previous = std::move(last.line);
            last.line = std::move(line);
            m_open.push_back(m_entries.size() - 1);
            return;
        }
    }
    Entry e;
    e.line = std::move(line);
    if (a.kind == ui::Action::Kind::Set && e.line.front() != '#') e.setId = a.id;
    m_entries.push_back(std::move(e));
    m_open.push_back(m_entries.size() - 1);
}

void ScriptRecorder::EndAction(bool applied, bool busy) {
    if (m_open.empty()) return;
    Entry& e = m_entries[m_open.back()];
    m_open.pop_back();
    if (!e.previous.empty()) {
        // A set folded into the one before: when refused, the earlier text
        // stands as it was.
        if (!applied) e.line = std::move(e.previous);
        e.previous.clear();
        if (!applied) return;
    }
    e.wait = busy;
    e.dropped = !applied;
}

void ScriptRecorder::Answered(int answer) {
    if (m_entries.empty()) return;  // nothing the operator did opened it
    const char* word = answer == IDYES      ? "yes"
                       : answer == IDNO     ? "no"
                       : answer == IDCANCEL ? "cancel"
                                                : "ok";
    const std::size_t at = m_open.empty() ? m_entries.size() - 1 : m_open.back();
    m_entries[at].answers.push_back(std::string("answer ") + word);
}

std::string ScriptRecorder::Text() const {
    std::string out = "# operation: " + m_operation + "\n# recorded in " + source + "\n";
    for (const Entry& e : m_entries) {
        for (const auto& a : e.answers) out += a + "\n";
        if (e.dropped) continue;
        out += e.line + "\n";
        if (e.wait) out += "wait\n";
    }
    return out;
}

}  // namespace ui
