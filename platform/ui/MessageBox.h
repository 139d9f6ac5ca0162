// Message boxes, all shown through one replaceable service.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ui {

class Window;

constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONASTERISK = 0x40;
constexpr unsigned MB_ICONINFORMATION = 0x40;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct ShownMessage {
    std::string text;
    std::string caption;
    unsigned style = 0;
    int answer = 0;
};

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int Show(Window* owner, const std::string& text, const std::string& caption, unsigned style) = 0;
};

// The service in force; the scripted one by default.
MessageBoxService& MessageBoxes();
void SetMessageBoxService(MessageBoxService* service);  // null restores the default

int ShowMessageBox(Window* owner, const std::string& text, const std::string& caption, unsigned style);

// Answers boxes from a queue of answers and records every box shown.  With no
// answer queued a box gets the cautious answer: OK for an OK box, No for a
// Yes/No box, Cancel for boxes with Cancel.
class ScriptedMessageBoxes : public MessageBoxService {
public:
    int Show(Window* owner, const std::string& text, const std::string& caption, unsigned style) override;
    void QueueAnswer(int answer);
    // Answers queued that no box has taken yet.
    std::size_t PendingAnswers();
    std::vector<ShownMessage> Shown();
    void Clear();
    // Called for every box shown (after it is recorded).
    std::function<void(const ShownMessage&)> onShown;

private:
    std::mutex m_m;
    std::deque<int> m_answers;
    std::vector<ShownMessage> m_shown;
};

ScriptedMessageBoxes& DefaultMessageBoxes();

}  // namespace ui
