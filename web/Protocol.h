// The console's messages: reading what a browser sends (within limits) and
// writing the dialog model's state as JSON.  Pure logic: no sockets, no Qt.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/ui/Snapshot.h"

namespace web {

constexpr std::size_t kMaxMessageBytes = 64 * 1024;
constexpr int kMaxNesting = 32;

// What a client may ask.
struct ClientMessage {
    enum class Type { Run, Action, Answer, Reset, Record, Recording, Take, Handover, Ping };
    Type type = Type::Ping;
    std::string operation;  // Run
    std::string line;       // Action: UTF-8 script line(s)
    int box = -1;           // Answer: the box's number (-1: the open one)
    std::string answer;     // Answer: yes, no, ok, cancel
    bool on = false;        // Record
    std::string to;         // Handover: the user
};

// Reads one text frame.  Answers an empty string and fills out, or the
// reason it is refused: too large, invalid UTF-8, not JSON, nested too deep,
// not an object, an unknown type or a field of the wrong kind.
// *limitBroken (when given) tells a refusal for breaking a limit (size,
// UTF-8, nesting) from one for the protocol.
std::string ReadClientMessage(std::string_view text, ClientMessage& out, bool* limitBroken = nullptr);

// True when text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);
// The model's text (Windows-1252) for a UTF-8 text; false when a character
// has no form in that code page.
bool ToModelText(std::string_view utf8, std::string& ansi);

// Server messages.  Texts of the model are converted to UTF-8.
nlohmann::json ControlJson(const ui::ControlState& c);
nlohmann::json DialogJson(const ui::DialogState& s);
// The update of a dialog from before to now, or null when nothing an
// update carries changed.  Values that move on their own, fed by a worker or
// the unit (a progress bar's position, a level meter lamp of the LEDs), are
// left out of it and added to live instead, when that is all that changed
// of the control.
struct LiveValue {
    int id = 0;
    bool page = false;
    bool ticked = false;  // false: a position
    int value = 0;
};
nlohmann::json UpdateJson(const ui::DialogState& before, const ui::DialogState& now, std::vector<LiveValue>& live);
nlohmann::json LiveJson(std::uint32_t dialog, const LiveValue& v);
nlohmann::json MessageBoxJson(int box, const std::string& text, const std::string& caption, unsigned style);
nlohmann::json ErrorJson(const std::string& text, const std::string& action);

// Message box words: "ok", "cancel", "yes", "no" for the platform's answers.
const char* AnswerWord(int answer);
// The answer a word gives a box of this style, or 0 when the box has no such button.
int AnswerOf(const std::string& word, unsigned style);

}  // namespace web
