#include "platform/ui/Script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <utility>

#include "platform/ui/MessageBox.h"

namespace ui {

namespace {

bool ParseInt(std::string_view s, int& out) {
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

std::string_view NextWord(std::string_view& rest) {
    size_t b = rest.find_first_not_of(" \t");
    if (b == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(b);
    size_t e = rest.find_first_of(" \t");
    std::string_view w = rest.substr(0, e);
    rest = e == std::string_view::npos ? std::string_view{} : rest.substr(e + 1);
    return w;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A button caption as the operator reads it: without the mnemonic's &.
std::string Readable(const std::string& caption) {
    std::string out;
    for (char c : caption)
        if (c != '&') out += c;
    return Lower(out);
}

// The id of the enabled, visible button captioned caption on dialog or its
// active page; 0 when there is none.
int ButtonByCaption(Dialog& d, const std::string& caption) {
    std::vector<Dialog*> places{&d};
    if (PropertySheet* sheet = d.EmbeddedSheet())
        if (PropertyPage* page = sheet->ActivePage()) places.push_back(page);
    for (Dialog* place : places)
        for (int id : place->ControlIds()) {
            const Control& c = place->Item(id);
            if (c.kind == ControlKind::Button && c.visible && Readable(c.text) == Lower(caption)) return id;
        }
    return 0;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diag = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diag = up;
        }
    }
    return row[b.size()];
}

// What an error of action a on dialog d says beyond the model's message:
// where it happened and what the operator may have meant.
std::string ErrorContext(Dialog& d, const Action& a) {
    std::string out = " (dialog \"" + d.Caption() + "\" " + std::to_string(d.TemplateId());
    PropertySheet* sheet = d.EmbeddedSheet();
    PropertyPage* page = sheet ? sheet->ActivePage() : nullptr;
    if (page) out += ", page \"" + page->Title() + "\"";
    out += ")";
    if (a.kind == Action::Kind::Page && sheet) {
        std::vector<std::string> titles;
        for (PropertyPage* p : sheet->Pages()) titles.push_back(p->Title());
        if (auto near = Nearest(a.text, titles); !near.empty()) out += "; did you mean page \"" + near + "\"?";
    } else if (a.id != 0 && !d.HasControl(a.id) && !(page && page->HasControl(a.id))) {
        // The usable control with the nearest id.
        int best = 0;
        for (Dialog* place : {static_cast<Dialog*>(&d), static_cast<Dialog*>(page)}) {
            if (!place) continue;
            for (int id : place->ControlIds()) {
                const Control& c = place->Item(id);
                if (id <= 0 || !c.visible || c.kind == ControlKind::Static || c.kind == ControlKind::Group) continue;
                if (best == 0 || std::abs(id - a.id) < std::abs(best - a.id)) best = id;
            }
        }
        if (best) {
            Dialog& owner = d.HasControl(best) ? d : *page;
            out += "; nearest control: " + std::to_string(best) + " (" + KindName(owner.Item(best).kind);
            if (!owner.Item(best).text.empty()) out += " \"" + owner.Item(best).text + "\"";
            out += ")";
        }
    }
    return out;
}

}  // namespace

std::string Nearest(const std::string& word, const std::vector<std::string>& candidates) {
    std::string best;
    std::size_t bestDistance = 0;
    for (const auto& c : candidates) {
        std::size_t dist = EditDistance(Lower(word), Lower(c));
        if (best.empty() || dist < bestDistance) {
            best = c;
            bestDistance = dist;
        }
    }
    // Farther than a third of the word is a different word, not a misspelling.
    return !best.empty() && bestDistance <= std::max<std::size_t>(2, word.size() / 3) ? best : std::string();
}

ScriptParseResult ParseScript(std::string_view text) {
    ScriptParseResult r;
    int lineNo = 0;
    while (!text.empty() || lineNo == 0) {
        ++lineNo;
        size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view rest = line;
        std::string_view verb = NextWord(rest);
        if (verb.empty() || verb.front() == '#') {
            if (text.empty()) break;
            continue;
        }
        auto fail = [&](const std::string& msg) {
            r.errorLine = lineNo;
            r.error = "line " + std::to_string(lineNo) + ": " + msg;
            r.actions.clear();
            return r;
        };
        Action a;
        a.line = lineNo;
        auto needId = [&](bool& ok) {
            std::string_view w = NextWord(rest);
            ok = ParseInt(w, a.id);
        };
        bool ok = true;
        if (verb == "page") {
            a.kind = Action::Kind::Page;
            size_t b = rest.find_first_not_of(" \t");
            a.text = b == std::string_view::npos ? "" : std::string(rest.substr(b));
            if (a.text.empty()) return fail("page needs a page title");
        } else if (verb == "set") {
            a.kind = Action::Kind::Set;
            needId(ok);
            if (!ok) return fail("set needs a control id");
            a.text = std::string(rest);  // rest of the line, verbatim
        } else if (verb == "line") {
            needId(ok);
            if (!ok) return fail("line needs a control id");
            if (r.actions.empty() || r.actions.back().kind != Action::Kind::Set || r.actions.back().id != a.id)
                return fail("line continues the text of a set of the same control on the line before");
            r.actions.back().text += "\r\n" + std::string(rest);
            if (text.empty()) break;
            continue;
        } else if (verb == "select" || verb == "tick" || verb == "slide" || verb == "dblclick") {
            a.kind = verb == "select" ? Action::Kind::Select
                     : verb == "tick" ? Action::Kind::Tick
                     : verb == "slide" ? Action::Kind::Slide
                                       : Action::Kind::DblClick;
            needId(ok);
            if (!ok) return fail(std::string(verb) + " needs a control id");
            if (!ParseInt(NextWord(rest), a.n)) return fail(std::string(verb) + " needs a number");
            if (a.kind == Action::Kind::Tick && a.n != 0 && a.n != 1) return fail("tick takes 0 or 1");
        } else if (verb == "check") {
            a.kind = Action::Kind::Check;
            needId(ok);
            if (!ok) return fail("check needs a control id");
            if (!ParseInt(NextWord(rest), a.n)) return fail("check needs a row number");
            if (!ParseInt(NextWord(rest), a.value) || (a.value != 0 && a.value != 1)) return fail("check takes a row and 0 or 1");
        } else if (verb == "click") {
            a.kind = Action::Kind::Click;
            std::string_view w = NextWord(rest);
            if (!ParseInt(w, a.id)) {
                std::string caption = Lower(w);
                if (caption != "ok" && caption != "cancel" && caption != "help")
                    return fail("click needs a control id or OK, Cancel or Help");
                a.id = 0;
                a.text = std::string(w);
            }
        } else if (verb == "answer") {
            a.kind = Action::Kind::Answer;
            std::string_view w = NextWord(rest);
            if (w == "yes") a.n = IDYES;
            else if (w == "no") a.n = IDNO;
            else if (w == "ok") a.n = IDOK;
            else if (w == "cancel") a.n = IDCANCEL;
            else return fail("answer takes yes, no, ok or cancel");
        } else if (verb == "wait") {
            a.kind = Action::Kind::Wait;
        } else if (verb == "close") {
            a.kind = Action::Kind::Close;
        } else {
            return fail("unknown action \"" + std::string(verb) + "\"");
        }
        if (a.kind != Action::Kind::Set && a.kind != Action::Kind::Page && !NextWord(rest).empty())
            return fail("unexpected text after the action");
        r.actions.push_back(std::move(a));
        if (text.empty()) break;
    }
    return r;
}

void ApplyAction(Dialog& d, const Action& a) {
    switch (a.kind) {
        case Action::Kind::Page: d.OperatorSelectPage(a.text); break;
        case Action::Kind::Set: d.OperatorSetText(a.id, a.text); break;
        case Action::Kind::Select: d.OperatorSelect(a.id, a.n); break;
        case Action::Kind::Tick: d.OperatorTick(a.id, a.n != 0); break;
        case Action::Kind::Slide: d.OperatorSlide(a.id, a.n); break;
        case Action::Kind::Click:
            if (a.id == 0 && !a.text.empty()) {
                int id = ButtonByCaption(d, a.text);
                if (id == 0) throw UiError("click: no " + a.text + " button");
                d.OperatorClick(id);
            } else {
                d.OperatorClick(a.id);
            }
            break;
        case Action::Kind::DblClick: d.OperatorDoubleClick(a.id, a.n); break;
        case Action::Kind::Check: d.OperatorCheckItem(a.id, a.n, a.value != 0); break;
        case Action::Kind::Answer: DefaultMessageBoxes().QueueAnswer(a.n); break;
        case Action::Kind::Close: d.OperatorClose(); break;
        case Action::Kind::Call: if (a.call) a.call(d); break;
        case Action::Kind::Wait: break;  // handled by the driver
    }
}

ScriptDriver& DefaultScriptDriver() {
    static ScriptDriver d;
    return d;
}

void ScriptDriver::Queue(Action a) {
    std::lock_guard l(m_m);
    m_actions.push_back(std::move(a));
}

void ScriptDriver::Queue(const std::vector<Action>& actions) {
    for (auto& a : actions) Queue(a);
}

void ScriptDriver::Then(std::function<void(Dialog&)> fn) {
    Action a;
    a.kind = Action::Kind::Call;
    a.call = std::move(fn);
    Queue(std::move(a));
}

void ScriptDriver::Clear() {
    std::lock_guard l(m_m);
    m_actions.clear();
    m_exhausted = false;
    m_failure.clear();
}

std::size_t ScriptDriver::Remaining() {
    std::lock_guard l(m_m);
    return m_actions.size();
}

bool ScriptDriver::Next(Action& out) {
    std::lock_guard l(m_m);
    if (m_actions.empty()) return false;
    out = std::move(m_actions.front());
    m_actions.pop_front();
    return true;
}

void ScriptDriver::RunModal(Dialog& d) {
    auto queue = ThreadQueue();
    auto waitIdle = [&] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitTimeoutMs);
        queue->Pump();
        while (!d.IsEnded() && d.IsBusy() && std::chrono::steady_clock::now() < deadline) {
            queue->Wait(20);
            queue->Pump();
        }
        queue->Pump();
    };
    auto failed = [&] {
        std::lock_guard lock(m_m);
        return m_failure;
    };
    while (!d.IsEnded()) {
        if (auto f = failed(); !f.empty()) throw UiError(f);
        queue->Pump();
        if (d.IsEnded()) break;
        Action a;
        if (!Next(a)) {
            // Out of actions: let running work finish, then close the dialog.
            waitIdle();
            if (d.IsEnded()) break;
            m_exhausted = true;
            d.OperatorClose();
            if (!d.IsEnded()) d.EndDialog(IDCANCEL);
            break;
        }
        if (a.kind == Action::Kind::Wait) {
            waitIdle();
            continue;
        }
        try {
            ApplyAction(d, a);
        } catch (const UiError& e) {
            // The error is kept for the host (the component answers a failed
            // result at its boundary); an error of a nested dialog's run
            // already says where it was.
            std::string what = e.what();
            if (a.line != 0 && what.rfind("line ", 0) != 0)
                what = "line " + std::to_string(a.line) + ": " + what + ErrorContext(d, a);
            {
                std::lock_guard lock(m_m);
                if (m_failure.empty()) m_failure = what;
            }
            throw UiError(what);
        }
    }
    queue->Pump();
}

std::string ScriptDriver::TakeFailure() {
    std::lock_guard lock(m_m);
    return std::exchange(m_failure, {});
}

}  // namespace ui
