#include "web/Protocol.h"

#include "web/security/MessageReader.h"

#include "platform/codepage/CodePage.h"
#include "platform/ui/MessageBox.h"

namespace web {

namespace {

using nlohmann::json;

std::string Utf8(const std::string& ansi) { return cp::AnsiToUtf8(ansi); }

json Texts(const std::vector<std::string>& texts) {
    json out = json::array();
    for (const auto& t : texts) out.push_back(Utf8(t));
    return out;
}

// The fields of a control that a change names, added to out.
void PutFields(json& out, const ui::ControlState& c, unsigned fields) {
    if (fields & ui::kFieldGeometry) {
        out["x"] = c.x;
        out["y"] = c.y;
        out["w"] = c.w;
        out["h"] = c.h;
    }
    if (fields & ui::kFieldTab) out["tab"] = c.tab;
    if (fields & ui::kFieldText) out["text"] = Utf8(c.text);
    if (fields & ui::kFieldEnabled) out["enabled"] = c.enabled;
    if (fields & ui::kFieldVisible) out["visible"] = c.visible;
    if (fields & ui::kFieldTicked) out["ticked"] = c.ticked;
    if (fields & ui::kFieldItems) {
        json items = json::array();
        for (const auto& row : c.items) items.push_back(Texts(row));
        out["items"] = std::move(items);
        out["columns"] = Texts(c.columns);
    }
    if (fields & ui::kFieldSelection) {
        out["selection"] = c.selection;
        out["selected"] = c.selected;
    }
    if (fields & ui::kFieldChecks) out["checks"] = c.checks;
    if (fields & ui::kFieldPosition) out["position"] = c.position;
    if (fields & ui::kFieldRange) out["range"] = {c.rangeMin, c.rangeMax};
    if (fields & ui::kFieldDateTime) out["dateTime"] = c.dateTime;
    if (fields & ui::kFieldStyle) {
        out["kind"] = ui::KindName(c.kind);
        out["group"] = c.group;
        out["maxLength"] = c.maxLength;
        out["multiline"] = c.multiline;
        out["readOnly"] = c.readOnly;
        out["multiSelect"] = c.multiSelect;
        out["checkBoxes"] = c.checkBoxes;
        out["spin"] = c.spin;
        out["fixedPitch"] = c.fixedPitch;
        out["paneGrid"] = c.paneGrid;
    }
}

json Controls(const std::vector<ui::ControlState>& controls) {
    json out = json::array();
    for (const auto& c : controls) out.push_back(ControlJson(c));
    return out;
}

json SheetJson(const ui::DialogState& s) {
    if (!s.hasSheet) return nullptr;
    return {{"x", s.sheet.x},          {"y", s.sheet.y},
            {"width", s.sheet.w},      {"height", s.sheet.h},
            {"pages", Texts(s.sheet.pages)}, {"activePage", s.sheet.activePage},
            {"focus", s.sheet.focus},  {"focusSeq", s.sheet.focusSeq},
            {"controls", Controls(s.sheet.controls)}};
}

// A value that moves on its own: all that changed of the control is a
// progress bar's position or an LED's light.
bool IsLive(const ui::ControlChange& c) {
    return (c.now.kind == ui::ControlKind::Progress && c.fields == ui::kFieldPosition) ||
           (c.now.kind == ui::ControlKind::Led && c.fields == ui::kFieldTicked);
}

json Changes(const ui::ControlsDiff& d, bool page, std::vector<LiveValue>& live) {
    json out = json::array();
    for (const auto& c : d.changed) {
        if (IsLive(c)) {
            const bool led = c.now.kind == ui::ControlKind::Led;
            live.push_back({c.id, page, led, led ? (c.now.ticked ? 1 : 0) : c.now.position});
            continue;
        }
        json entry = {{"id", c.id}};
        PutFields(entry, c.now, c.fields);
        out.push_back(std::move(entry));
    }
    return out;
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size()) return false;  // cut off
        for (std::size_t k = 1; k <= n; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

bool ToModelText(std::string_view utf8, std::string& ansi) {
    ansi = cp::Utf8ToAnsi(utf8);
    return cp::AnsiToUtf8(ansi) == utf8;
}

std::string ReadClientMessage(std::string_view text, ClientMessage& out, bool* limitBroken) {
    // Size, UTF-8, nesting, the type and its fields' kinds are the reader's;
    // what it takes is then copied into the message.
    static const security::MessageReader reader(
        security::MessageLimits{kMaxMessageBytes, kMaxNesting, security::MessageLimits{}.maxTextField});
    security::ReadResult r = reader.Read(text);
    if (limitBroken) *limitBroken = r.limitBroken;
    if (!r.ok()) return r.error;
    const json& j = r.message->body;
    const std::string& t = r.message->type;
    auto str = [&j](const char* key) { return j.contains(key) ? j.at(key).get<std::string>() : std::string(); };
    ClientMessage m;
    using T = ClientMessage::Type;
    static const std::pair<const char*, T> types[] = {
        {"run", T::Run},     {"action", T::Action},       {"answer", T::Answer}, {"reset", T::Reset},
        {"record", T::Record}, {"recording", T::Recording}, {"take", T::Take},     {"handover", T::Handover},
        {"ping", T::Ping}};
    bool known = false;
    for (const auto& [name, type] : types)
        if (t == name) m.type = type, known = true;
    if (!known) return "unknown message type \"" + t + "\"";
    m.operation = str("operation");
    m.line = str("line");
    m.answer = str("answer");
    m.to = str("to");
    if (auto b = j.find("box"); b != j.end()) m.box = static_cast<int>(b->get<long long>());
    if (auto on = j.find("on"); on != j.end()) m.on = on->get<bool>();
    out = std::move(m);
    return {};
}

json ControlJson(const ui::ControlState& c) {
    json out = {{"id", c.id}};
    PutFields(out, c, ~0u);
    return out;
}

json DialogJson(const ui::DialogState& s) {
    return {{"type", "dialog"},
            {"dialog", s.handle},
            {"templateId", s.templateId},
            {"caption", Utf8(s.caption)},
            {"width", s.width},
            {"height", s.height},
            {"keyboard", {{"shown", s.keyboardShown}, {"keys", Utf8(s.keys)}}},
            {"defaultButton", s.defaultButton},
            {"focus", s.focus},
            {"focusSeq", s.focusSeq},
            {"busy", s.busy},
            {"controls", Controls(s.controls)},
            {"sheet", SheetJson(s)}};
}

json UpdateJson(const ui::DialogState& before, const ui::DialogState& now, std::vector<LiveValue>& live) {
    const ui::DialogDiff d = ui::Diff(before, now);
    json out = {{"type", "update"}, {"dialog", now.handle}};
    bool any = false;
    if (d.fields & ui::kDialogCaption) out["caption"] = Utf8(now.caption), any = true;
    if (d.fields & ui::kDialogSize) out["width"] = now.width, out["height"] = now.height, any = true;
    if (d.fields & ui::kDialogKeyboard)
        out["keyboard"] = {{"shown", now.keyboardShown}, {"keys", Utf8(now.keys)}}, any = true;
    if (d.fields & ui::kDialogDefaultButton) out["defaultButton"] = now.defaultButton, any = true;
    if (d.fields & ui::kDialogFocus) out["focus"] = now.focus, out["focusSeq"] = now.focusSeq, any = true;
    if (d.fields & ui::kDialogBusy) out["busy"] = now.busy, any = true;
    if (json changes = Changes(d.controls, false, live); !changes.empty()) out["changes"] = std::move(changes), any = true;
    if (!d.controls.added.empty()) out["added"] = Controls(d.controls.added), any = true;
    if (!d.controls.removed.empty()) out["removed"] = d.controls.removed, any = true;
    if (d.fields & ui::kDialogSheet) {
        out["sheet"] = SheetJson(now);
        any = true;
    } else if (now.hasSheet) {
        if (d.fields & ui::kDialogSheetFocus)
            out["sheetFocus"] = now.sheet.focus, out["sheetFocusSeq"] = now.sheet.focusSeq, any = true;
        if (json changes = Changes(d.sheet, true, live); !changes.empty())
            out["sheetChanges"] = std::move(changes), any = true;
        if (!d.sheet.added.empty()) out["sheetAdded"] = Controls(d.sheet.added), any = true;
        if (!d.sheet.removed.empty()) out["sheetRemoved"] = d.sheet.removed, any = true;
    }
    return any ? out : json(nullptr);
}

json LiveJson(std::uint32_t dialog, const LiveValue& v) {
    json out = {{"type", "live"}, {"dialog", dialog}, {"id", v.id}, {"page", v.page}};
    if (v.ticked)
        out["ticked"] = v.value != 0;
    else
        out["position"] = v.value;
    return out;
}

const char* AnswerWord(int answer) {
    switch (answer) {
        case ui::IDYES: return "yes";
        case ui::IDNO: return "no";
        case ui::IDCANCEL: return "cancel";
        case ui::IDABORT: return "abort";
        case ui::IDRETRY: return "retry";
        case ui::IDIGNORE: return "ignore";
        default: return "ok";
    }
}

int AnswerOf(const std::string& word, unsigned style) {
    switch (style & 0xF) {
        case ui::MB_OKCANCEL:
            return word == "ok" ? ui::IDOK : word == "cancel" ? ui::IDCANCEL : 0;
        case 2:  // abort, retry, ignore
            return word == "abort" ? ui::IDABORT : word == "retry" ? ui::IDRETRY : word == "ignore" ? ui::IDIGNORE : 0;
        case ui::MB_YESNOCANCEL:
            return word == "yes" ? ui::IDYES : word == "no" ? ui::IDNO : word == "cancel" ? ui::IDCANCEL : 0;
        case ui::MB_YESNO:
            return word == "yes" ? ui::IDYES : word == "no" ? ui::IDNO : 0;
        case 5:  // retry, cancel
            return word == "retry" ? ui::IDRETRY : word == "cancel" ? ui::IDCANCEL : 0;
        default:
            return word == "ok" ? ui::IDOK : 0;
    }
}

json MessageBoxJson(int box, const std::string& text, const std::string& caption, unsigned style) {
    static const char* const kButtons[] = {"ok", "okcancel", "abortretryignore", "yesnocancel", "yesno", "retrycancel"};
    const unsigned b = style & 0xF;
    const char* icon = "none";
    switch (style & 0xF0) {
        case ui::MB_ICONERROR: icon = "error"; break;
        case ui::MB_ICONQUESTION: icon = "question"; break;
        case ui::MB_ICONWARNING: icon = "warning"; break;
        case ui::MB_ICONINFORMATION: icon = "information"; break;
        default: break;
    }
    return {{"type", "message"},
            {"box", box},
            {"caption", Utf8(caption)},
            {"text", Utf8(text)},
            {"buttons", b < 6 ? kButtons[b] : "ok"},
            {"icon", icon},
            {"defaultButton", static_cast<int>((style >> 8) & 0xF)}};
}

json ErrorJson(const std::string& text, const std::string& action) {
    return {{"type", "error"}, {"text", text}, {"action", action}};
}

}  // namespace web
