#include "resources/Resources.h"

#include <cstdio>
#include <fstream>
#include <mutex>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "platform/codepage/CodePage.h"
#include "platform/ui/Dialog.h"

namespace res {
namespace {

struct Tables {
    std::map<int, std::string> strings;
    std::map<int, ui::DialogTemplate> templates;
    Tables() {
        for (auto table : {ComponentStrings(), CameraStrings(), DisplayStrings(), StorageStrings(),
                           TextStreamStrings(), AudioStrings(), NetworkStrings()})
            for (auto& e : table) strings[e.id] = e.text;
        AddComponentTemplates(templates);
        AddCameraTemplates(templates);
        AddDisplayTemplates(templates);
        AddStorageTemplates(templates);
        AddTextStreamTemplates(templates);
        AddAudioTemplates(templates);
        AddNetworkTemplates(templates);
    }
};

const Tables& Own() {
    static Tables t;
    return t;
}

}  // namespace

const std::map<int, std::string>& OwnStrings() { return Own().strings; }
const std::map<int, ui::DialogTemplate>& OwnTemplates() { return Own().templates; }

namespace {

struct Localised {
    std::mutex m;
    std::optional<std::string> path;
    std::map<int, std::string> strings;
    std::map<int, ui::DialogTemplate> templates;  // own templates with texts replaced
};

Localised& Loc() {
    static Localised l;
    return l;
}

}  // namespace

std::string LoadString(int id) {
    {
        auto& l = Loc();
        std::lock_guard g(l.m);
        if (l.path) {
            auto it = l.strings.find(id);
            if (it != l.strings.end()) return it->second;
        }
    }
    auto& own = Own().strings;
    auto it = own.find(id);
    return it == own.end() ? std::string{} : it->second;
}

bool HasString(int id) { return !LoadString(id).empty(); }

std::string FormatString(int id, long value) {
    std::string f = LoadString(id);
    std::string out(f.size() + 32, '\0');
    int n = std::snprintf(out.data(), out.size(), f.c_str(), value);
    out.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return out;
}

std::string FormatString(int id, const std::string& value) {
    std::string f = LoadString(id);
    std::string out(f.size() + value.size() + 32, '\0');
    int n = std::snprintf(out.data(), out.size(), f.c_str(), value.c_str());
    out.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return out;
}

const ui::DialogTemplate* Template(int id) {
    {
        auto& l = Loc();
        std::lock_guard g(l.m);
        if (l.path) {
            auto it = l.templates.find(id);
            if (it != l.templates.end()) return &it->second;
        }
    }
    auto& own = Own().templates;
    auto it = own.find(id);
    return it == own.end() ? nullptr : &it->second;
}

void Install() {
    ui::SetTemplateProvider([](int id) { return Template(id); });
}

void Uninstall() { ui::SetTemplateProvider(nullptr); }

bool LoadResourceModule(const std::string& path) {
    std::ifstream in(path);
    if (!in) return false;
    nlohmann::json j;
    try {
        j = nlohmann::json::parse(in);
    } catch (const std::exception&) {
        return false;
    }
    if (!j.is_object()) return false;
    std::map<int, std::string> strings;
    std::map<int, ui::DialogTemplate> templates;
    try {
        if (j.contains("strings"))
            for (auto& [k, v] : j["strings"].items()) strings[std::stoi(k)] = cp::Utf8ToAnsi(v.get<std::string>());
        if (j.contains("templates"))
            for (auto& [k, v] : j["templates"].items()) {
                const ui::DialogTemplate* base = nullptr;
                auto it = Own().templates.find(std::stoi(k));
                if (it != Own().templates.end()) base = &it->second;
                if (!base) continue;
                ui::DialogTemplate t = *base;
                if (v.contains("caption")) t.caption = cp::Utf8ToAnsi(v["caption"].get<std::string>());
                if (v.contains("controls"))
                    for (auto& [cid, text] : v["controls"].items())
                        for (auto& c : t.controls)
                            if (c.id == std::stoi(cid)) c.text = cp::Utf8ToAnsi(text.get<std::string>());
                // Column headings of report lists, in column order.
                if (v.contains("columns"))
                    for (auto& [cid, heads] : v["columns"].items()) {
                        if (!heads.is_array()) throw std::invalid_argument("columns of " + cid + ": not a list");
                        for (auto& c : t.controls)
                            if (c.id == std::stoi(cid))
                                for (size_t i = 0; i < heads.size() && i < c.columns.size(); ++i)
                                    c.columns[i] = cp::Utf8ToAnsi(heads[i].get<std::string>());
                    }
                templates[t.id] = std::move(t);
            }
    } catch (const std::exception&) {
        return false;
    }
    auto& l = Loc();
    std::lock_guard g(l.m);
    l.path = path;
    l.strings = std::move(strings);
    l.templates = std::move(templates);
    return true;
}

void UnloadResourceModule() {
    auto& l = Loc();
    std::lock_guard g(l.m);
    l.path.reset();
    l.strings.clear();
    l.templates.clear();
}

std::optional<std::string> LoadedModulePath() {
    auto& l = Loc();
    std::lock_guard g(l.m);
    return l.path;
}

}  // namespace res
