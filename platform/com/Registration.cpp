#include <cstdio>
#include <cctype>
#include <memory>
#include <vector>

#include "platform/com/ClassTable.h"
#include "platform/com/RegistryScript.h"
#include "platform/registry/Registry.h"

namespace com {
namespace {

struct ScriptValue {
    std::string name;  // empty = default value
    char type = 's';   // 's' text, 'd' number
    std::string text;
};

struct ScriptKey {
    std::string name;
    enum class Flag { None, NoRemove, ForceRemove, Delete } flag = Flag::None;
    bool hasDefault = false;
    ScriptValue def;
    std::vector<ScriptValue> values;
    std::vector<ScriptKey> keys;
};

class Parser {
public:
    Parser(const std::string& text, const std::map<std::string, std::string>& rep) : m_t(text), m_rep(rep) {}

    bool ParseRoots(std::vector<std::pair<reg::HKEY, ScriptKey>>& roots) {
        for (;;) {
            std::string tok = Token();
            if (tok.empty()) return m_ok;
            reg::HKEY root;
            if (tok == "HKCR" || tok == "HKEY_CLASSES_ROOT") root = reg::HKEY_CLASSES_ROOT;
            else if (tok == "HKCU" || tok == "HKEY_CURRENT_USER") root = reg::HKEY_CURRENT_USER;
            else if (tok == "HKLM" || tok == "HKEY_LOCAL_MACHINE") root = reg::HKEY_LOCAL_MACHINE;
            else return false;
            ScriptKey k;
            if (Token() != "{") return false;
            if (!ParseBody(k)) return false;
            roots.emplace_back(root, std::move(k));
        }
    }

private:
    bool ParseBody(ScriptKey& parent) {
        for (;;) {
            std::string tok = Token();
            if (tok == "}") return true;
            if (tok.empty()) return false;
            if (tok == "val") {
                ScriptValue v;
                v.name = Token();
                if (Token() != "=" || !ParseValue(v)) return false;
                parent.values.push_back(std::move(v));
                continue;
            }
            ScriptKey k;
            if (tok == "NoRemove") { k.flag = ScriptKey::Flag::NoRemove; tok = Token(); }
            else if (tok == "ForceRemove") { k.flag = ScriptKey::Flag::ForceRemove; tok = Token(); }
            else if (tok == "Delete") { k.flag = ScriptKey::Flag::Delete; tok = Token(); }
            if (tok.empty() || tok == "{" || tok == "}" || tok == "=") return false;
            k.name = tok;
            size_t save = m_p;
            std::string next = Token();
            if (next == "=") {
                k.hasDefault = true;
                if (!ParseValue(k.def)) return false;
                save = m_p;
                next = Token();
            }
            if (next == "{") {
                if (!ParseBody(k)) return false;
            } else {
                m_p = save;
            }
            parent.keys.push_back(std::move(k));
        }
    }

    bool ParseValue(ScriptValue& v) {
        std::string type = Token();
        if (type != "s" && type != "d") return false;
        v.type = type[0];
        v.text = Token();
        return !v.text.empty() || m_lastQuoted;
    }

    std::string Token() {
        m_lastQuoted = false;
        while (m_p < m_t.size() && std::isspace(static_cast<unsigned char>(m_t[m_p]))) ++m_p;
        if (m_p >= m_t.size()) return {};
        char c = m_t[m_p];
        if (c == '{' || c == '}' || c == '=') {
            // A braced identifier is a name, not a block.
            if (c == '{' && m_p + 1 < m_t.size() && std::isxdigit(static_cast<unsigned char>(m_t[m_p + 1]))) {
                size_t e = m_t.find('}', m_p);
                if (e == std::string::npos) { m_ok = false; return {}; }
                std::string tok = m_t.substr(m_p, e - m_p + 1);
                m_p = e + 1;
                return tok;
            }
            ++m_p;
            return std::string(1, c);
        }
        if (c == '\'') {
            std::string out;
            ++m_p;
            for (;;) {
                if (m_p >= m_t.size()) { m_ok = false; return {}; }
                if (m_t[m_p] == '\'') {
                    if (m_p + 1 < m_t.size() && m_t[m_p + 1] == '\'') { out += '\''; m_p += 2; continue; }
                    ++m_p;
                    break;
                }
                out += m_t[m_p++];
            }
            m_lastQuoted = true;
            return Replace(out);
        }
        size_t b = m_p;
        while (m_p < m_t.size() && !std::isspace(static_cast<unsigned char>(m_t[m_p])) && m_t[m_p] != '{' &&
               m_t[m_p] != '}' && m_t[m_p] != '=')
            ++m_p;
        return Replace(m_t.substr(b, m_p - b));
    }

    std::string Replace(std::string s) {
        for (auto& [k, v] : m_rep) {
            std::string ph = "%" + k + "%";
            for (size_t pos; (pos = s.find(ph)) != std::string::npos;) s.replace(pos, ph.size(), v);
        }
        return s;
    }

    const std::string& m_t;
    const std::map<std::string, std::string>& m_rep;
    size_t m_p = 0;
    bool m_ok = true;
    bool m_lastQuoted = false;
};

HRESULT FromReg(reg::LONG r) { return r == reg::ERROR_SUCCESS ? S_OK : static_cast<HRESULT>(0x80070000u | (r & 0xFFFF)); }

HRESULT SetValue(reg::HKEY key, const ScriptValue& v) {
    if (v.type == 'd') {
        reg::DWORD d = static_cast<reg::DWORD>(std::stoul(v.text, nullptr, 0));
        return FromReg(reg::RegSetValueEx(key, v.name, reg::REG_DWORD, &d, sizeof d));
    }
    return FromReg(reg::RegSetValueEx(key, v.name, reg::REG_SZ, v.text.c_str(), static_cast<reg::DWORD>(v.text.size() + 1)));
}

HRESULT RegisterKey(reg::HKEY parent, const ScriptKey& k) {
    if (k.flag == ScriptKey::Flag::ForceRemove || k.flag == ScriptKey::Flag::Delete) reg::RegDeleteTree(parent, k.name);
    if (k.flag == ScriptKey::Flag::Delete) return S_OK;
    reg::HKEY key;
    if (HRESULT hr = FromReg(reg::RegCreateKeyEx(parent, k.name, &key)); FAILED(hr)) return hr;
    HRESULT hr = S_OK;
    if (k.hasDefault) hr = SetValue(key, k.def);
    for (size_t i = 0; SUCCEEDED(hr) && i < k.values.size(); ++i) hr = SetValue(key, k.values[i]);
    for (size_t i = 0; SUCCEEDED(hr) && i < k.keys.size(); ++i) hr = RegisterKey(key, k.keys[i]);
    reg::RegCloseKey(key);
    return hr;
}

void UnregisterKey(reg::HKEY parent, const ScriptKey& k) {
    if (k.flag == ScriptKey::Flag::ForceRemove) {
        reg::RegDeleteTree(parent, k.name);
        return;
    }
    reg::HKEY key;
    if (reg::RegOpenKeyEx(parent, k.name, &key) != reg::ERROR_SUCCESS) return;
    for (auto& v : k.values) reg::RegDeleteValue(key, v.name);
    for (auto& child : k.keys) UnregisterKey(key, child);
    std::string any;
    bool hasChildren = reg::RegEnumKey(key, 0, &any) == reg::ERROR_SUCCESS;
    reg::RegCloseKey(key);
    if (k.flag != ScriptKey::Flag::NoRemove && !hasChildren) reg::RegDeleteKey(parent, k.name);
}

}  // namespace

HRESULT RunRegistryScript(const std::string& script, bool registering,
                          const std::map<std::string, std::string>& replacements) {
    std::vector<std::pair<reg::HKEY, ScriptKey>> roots;
    Parser p(script, replacements);
    if (!p.ParseRoots(roots)) return E_INVALIDARG;
    for (auto& [root, body] : roots)
        for (auto& k : body.keys) {
            if (registering) {
                if (HRESULT hr = RegisterKey(root, k); FAILED(hr)) return hr;
            } else {
                UnregisterKey(root, k);
            }
        }
    return S_OK;
}

HRESULT ComModule::RegisterServer(const std::function<std::string(int)>& scriptSource) {
    std::map<std::string, std::string> rep = m_replacements;
    rep["MODULE"] = m_modulePath;
    for (auto& c : m_classes) {
        HRESULT hr = RunRegistryScript(scriptSource(c.scriptResource), true, rep);
        if (FAILED(hr)) return hr;
    }
    // Type library registration: TypeLib\{libid}\1.0 = help string, with its
    // flags, its help folder (the module's) and, under the library's locale
    // in hexadecimal, win32 = the module that holds it.
    std::string libKey = "TypeLib\\" + GuidToString(m_libId) + "\\1.0";
    char lcid[16];
    std::snprintf(lcid, sizeof lcid, "%x", static_cast<unsigned>(m_libLcid));
    const std::string folder = m_modulePath.substr(0, m_modulePath.find_last_of('/') + 1);
    if (!reg::SetString(reg::HKEY_CLASSES_ROOT, libKey, "", "Mirelle 1.0 Type Library") ||
        !reg::SetString(reg::HKEY_CLASSES_ROOT, libKey + "\\FLAGS", "", "0") ||
        !reg::SetString(reg::HKEY_CLASSES_ROOT, libKey + "\\HELPDIR", "", folder) ||
        !reg::SetString(reg::HKEY_CLASSES_ROOT, libKey + "\\" + lcid + "\\win32", "", m_modulePath))
        return E_ACCESSDENIED;
    return S_OK;
}

HRESULT ComModule::UnregisterServer(const std::function<std::string(int)>& scriptSource) {
    std::map<std::string, std::string> rep = m_replacements;
    rep["MODULE"] = m_modulePath;
    for (auto& c : m_classes) RunRegistryScript(scriptSource(c.scriptResource), false, rep);
    reg::RegDeleteTree(reg::HKEY_CLASSES_ROOT, "TypeLib\\" + GuidToString(m_libId));
    return S_OK;
}

}  // namespace com
