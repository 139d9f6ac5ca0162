#include "platform/ui/MessageBox.h"

#include <atomic>

namespace ui {

namespace {
std::atomic<MessageBoxService*> g_service{nullptr};
}

ScriptedMessageBoxes& DefaultMessageBoxes() {
    static ScriptedMessageBoxes s;
    return s;
}

MessageBoxService& MessageBoxes() {
    MessageBoxService* s = g_service.load();
    return s ? *s : DefaultMessageBoxes();
}

void SetMessageBoxService(MessageBoxService* service) { g_service = service; }

int ShowMessageBox(Window* owner, const std::string& text, const std::string& caption, unsigned style) {
    return MessageBoxes().Show(owner, text, caption, style);
}

int ScriptedMessageBoxes::Show(Window*, const std::string& text, const std::string& caption, unsigned style) {
    int answer;
    unsigned buttons = style & 0xF;
    {
        std::lock_guard l(m_m);
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        } else {
            switch (buttons) {
                case MB_YESNO: answer = IDNO; break;
                case MB_OKCANCEL:
                case MB_YESNOCANCEL: answer = IDCANCEL; break;
                default: answer = IDOK; break;
            }
        }
        m_shown.push_back({text, caption, style, answer});
    }
    if (onShown) onShown(ShownMessage{text, caption, style, answer});
    return answer;
}

std::size_t ScriptedMessageBoxes::PendingAnswers() {
    std::lock_guard l(m_m);
    return m_answers.size();
}

void ScriptedMessageBoxes::QueueAnswer(int answer) {
    std::lock_guard l(m_m);
    m_answers.push_back(answer);
}

std::vector<ShownMessage> ScriptedMessageBoxes::Shown() {
    std::lock_guard l(m_m);
    return m_shown;
}

void ScriptedMessageBoxes::Clear() {
    std::lock_guard l(m_m);
    m_answers.clear();
    m_shown.clear();
}

}  // namespace ui
