#include "util/Util.h"

#include <cstdlib>
#include <sstream>

#include "platform/registry/Registry.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"

std::string CWWRegistry::GetSystemLanguage() {
    auto v = reg::GetString(reg::HKEY_LOCAL_MACHINE, kProductKey, "SystemLanguage");
    return v && !v->empty() ? *v : std::string("ENG");
}

std::string CWWRegistry::GetLocalResDLLName(const std::string& baseName) {
    return baseName + GetSystemLanguage() + ".json";
}

std::vector<std::string> LocalResourceFolders() {
    std::vector<std::string> folders;
    if (const char* env = std::getenv("MIRELLE_RESOURCE_PATH"); env && *env) {
        std::stringstream ss(env);
        for (std::string dir; std::getline(ss, dir, ':');)
            if (!dir.empty()) folders.push_back(dir);
    }
    folders.emplace_back(".");
    return folders;
}

int CWWRegistry::GetControlsWWMode() {
    auto v = reg::GetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WWMode");
    return v && *v != 0 ? 1 : 0;
}

int CWWRegistry::GetWindowsStyleFlag() {
    auto v = reg::GetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WindowsStyle");
    return v && *v != 0 ? 0 : 1;
}

std::string CDateTime::FormatLocal24HourDateTime() const {
    std::tm tm{};
    localtime_r(&m_time, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

bool CWWUtility::First_stol(const std::string& text, size_t& pos, long& value) {
    value = 0;
    if (pos >= text.size()) return false;
    size_t comma = text.find(',', pos);
    std::string field = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    pos = comma == std::string::npos ? text.size() : comma + 1;
    char* end = nullptr;
    value = std::strtol(field.c_str(), &end, 10);
    return true;
}

int WWMessageBox(ui::Window* owner, const std::string& text, const std::string& caption, unsigned style) {
    return ui::ShowMessageBox(owner, text, caption, style);
}

namespace {
StringSource g_strings = nullptr;
}

void SetStringSource(StringSource source) { g_strings = source; }

int WWAfxMessageBox(int stringId, unsigned style) {
    return ui::ShowMessageBox(nullptr, g_strings ? g_strings(stringId) : std::string{}, "", style);
}

std::string LocalCurrencyForKeyboard() {
    auto v = reg::GetString(reg::HKEY_CURRENT_USER, kInternationalKey, "sCurrency");
    std::string c = v ? *v : std::string{};
    if (c.size() > 260) c.resize(260);
    return c == "$" ? std::string{} : c;
}

void PrepareOnScreenKeyboard(ui::Dialog& dialog, int keyboardControlId) {
    std::string currency = LocalCurrencyForKeyboard();
    if (ui::Control* kb = dialog.FindControl(keyboardControlId)) {
        kb->keyboardOn = true;
        std::string keys;
        for (char c : kb->keySet) {
            if (c == '~')
                keys += currency;
            else
                keys += c;
        }
        kb->keySet = keys;
        dialog.Changed(keyboardControlId);
    }
    // Centring is the front end's business: the dialog model has no screen.
}
