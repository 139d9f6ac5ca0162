#include "apps/run/Operations.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <mutex>
#include <set>
#include <stdexcept>

#include "simulator/UnitData.h"
#include "interfaces/HostInterfaces.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "platform/registry/Registry.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"

namespace apps {

namespace {

using host::JsonLong;
using nlohmann::json;

const json& SectionOf(const json& data, const char* name) {
    static const json empty = json::object();
    auto it = data.find(name);
    return it != data.end() && it->is_object() ? *it : empty;
}

// The text of a value in out: lines.
std::string ValueText(const json& v) {
    if (v.is_string()) return host::Quote(v.get<std::string>());
    if (v.is_array()) {
        std::string out;
        for (size_t i = 0; i < v.size(); ++i) out += (i ? "," : "") + ValueText(v[i]);
        return out;
    }
    return v.dump();
}

// Compares the values before and after member by member (lists whole) and
// writes each one that changed into data at the same place, reporting it by
// its dotted place.  Members come in name order, so the report's order is
// fixed.
void WriteChanges(json& data, const json& before, const json& after, std::vector<OutValue>& changed,
                  const std::string& prefix = "") {
    for (auto& [key, value] : after.items()) {
        auto b = before.find(key);
        if (b != before.end() && *b == value) continue;
        if (!data.is_object()) data = json::object();
        if (value.is_object() && b != before.end() && b->is_object()) {
            WriteChanges(data[key], *b, value, changed, prefix + key + ".");
        } else {
            data[key] = value;
            changed.push_back({prefix + key, ValueText(value)});
        }
    }
}

std::string CallText(const host::HostCall& call) {
    return call.name + (call.args.empty() ? "" : " ") + cp::AnsiToUtf8(call.args);
}


}  // namespace

const std::vector<std::string>& OperationNames() {
    static const std::vector<std::string> names = {
        "ShowDisplay",      "ShowRecordModeDlg", "ShowCameras",      "ShowPortAddressDlg",  "ConnectTimeout",
        "ShowStorage",      "ShowTextStreams",   "ShowAudio",        "UpdateLevelMeter",    "ShowTextExceptions",
        "ShowTextReceipts", "ShowODSetup",       "ShowIPSourceConfig", "ShowRawTextSetup", "ShowCOMPortSetup",
        "ShowTextIPPortSetup"};
    return names;
}

bool IsOperation(const std::string& name) {
    for (auto& n : OperationNames())
        if (n == name) return true;
    return false;
}

std::string ModuleBesideExecutable() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const auto dir = exe.parent_path();
    // Built tree: build/apps/tool and build/lib/mirelle/Mirelle.so; installed:
    // PREFIX/bin/tool and PREFIX/lib/mirelle/Mirelle.so (or lib64, lib/<arch>).
    for (const char* rel : {"../lib/mirelle/Mirelle.so", "Mirelle.so", "../lib64/mirelle/Mirelle.so"}) {
        auto p = (dir / rel).lexically_normal();
        if (std::filesystem::is_regular_file(p, ec)) return p.string();
    }
    for (auto& entry : std::filesystem::directory_iterator(dir / "../lib", ec)) {
        auto p = (entry.path() / "mirelle" / "Mirelle.so").lexically_normal();
        if (std::filesystem::is_regular_file(p, ec)) return p.string();
    }
    return {};
}

namespace {

// The module files this host loaded for itself (registration-free), each
// registered once until ReloadSetupUIModule lets go of them.
struct OwnModules {
    std::mutex lock;
    std::set<std::string> paths;
    bool noted = false;  // the note on standard error is given once
};

OwnModules& Own() {
    static OwnModules own;
    return own;
}

// Registers the module file's classes in this process unless done already.
com::HRESULT UseModule(const std::string& path) {
    auto& own = Own();
    std::lock_guard l(own.lock);
    if (own.paths.count(path)) return com::S_OK;
    const com::HRESULT hr = com::CoRegisterModuleClasses(path);
    if (com::SUCCEEDED(hr)) own.paths.insert(path);
    return hr;
}

}  // namespace

com::ComPtr<mirelle::ISetupUI> CreateSetupUI(const std::string& modulePath) {
    if (!modulePath.empty()) {
        const com::HRESULT hr = UseModule(modulePath);
        if (com::FAILED(hr))
            throw ModuleError(hr, "cannot load the module " + modulePath + ": " + com::CoLastLoadError());
    }
    // By ProgID when the class is registered; by the class identifier the
    // interface declares when only a module loaded here serves it.
    com::CLSID clsid = mirelle::CLSID_SetupUI;
    com::CLSIDFromProgID("Mirelle.SetupUI", &clsid);
    com::ComPtr<mirelle::ISetupUI> ui;
    com::HRESULT hr = com::CoCreateInstance(clsid, nullptr, mirelle::ISetupUI::IID_, ui.outVoid());
    if (hr == com::REGDB_E_CLASSNOTREG && modulePath.empty()) {
        // Not registered: use the module built or installed beside the tool,
        // so every command works without a registration step.
        static const std::string path = ModuleBesideExecutable();
        const com::HRESULT loadResult = UseModule(path);
        if (com::FAILED(loadResult))
            throw ModuleError(loadResult, "Mirelle.SetupUI is not registered and no module was found beside "
                                          "this program (" + (path.empty() ? std::string("none") : path) +
                                              "): " + com::CoLastLoadError());
        {
            auto& own = Own();
            std::lock_guard l(own.lock);
            if (!own.noted) std::cerr << "note: Mirelle.SetupUI is not registered; using the module " << path << "\n";
            own.noted = true;
        }
        hr = com::CoCreateInstance(clsid, nullptr, mirelle::ISetupUI::IID_, ui.outVoid());
    }
    if (com::FAILED(hr) && !com::CoLastLoadError().empty()) {
        // Registered, but its file cannot be loaded: a stale registration
        // (the module moved or removed without unregistering it).
        auto file = reg::GetString(reg::HKEY_CLASSES_ROOT, "CLSID\\" + com::GuidToString(clsid) + "\\InprocServer32", "");
        std::string module = file ? *file : std::string("(none)");
        throw ModuleError(hr, "Mirelle.SetupUI is registered with the module " + module + ", which cannot be loaded (" +
                                  com::CoLastLoadError() + "); remove the stale registration with `mirelle-regsvr -u " +
                                  module + "` (as root for the machine's store), or name a module with --module FILE");
    }
    if (com::FAILED(hr) || !ui) throw ModuleError(hr, "cannot create SetupUI: " + com::HresultText(hr));
    return ui;
}

com::HRESULT UseSetupUIModule(const std::string& path) { return UseModule(path); }

bool ReloadSetupUIModule() {
    std::vector<std::string> paths;
    {
        auto& own = Own();
        std::lock_guard l(own.lock);
        for (const auto& path : own.paths) com::CoRevokeModuleClasses(path);
        paths.assign(own.paths.begin(), own.paths.end());
        own.paths.clear();
    }
    com::CoFreeUnusedLibraries();
    bool unloaded = true;
    for (const auto& path : paths) {
        if (com::CoIsModuleLoaded(path)) unloaded = false;
        UseModule(path);
    }
    return unloaded;
}

OperationOutcome RunOperation(const std::string& name, host::SimulatedUnit& unit, mirelle::ISetupUI& s,
                              mirelle::WindowParam parent) {
    OperationOutcome out;
    auto& data = unit.Data();
    const std::int16_t kb16 = static_cast<std::int16_t>(JsonLong(data, "keyboard", 0));
    const std::int32_t kb = kb16, remote = static_cast<std::int32_t>(JsonLong(data, "remote", 0));
    com::IUnknown* setup = unit.SetupUISupport();
    com::IUnknown* camera = unit.CameraControlUISupport();
    if (JsonLong(data, "cameraControlSupport", 1) == 0) camera = nullptr;
    std::int16_t r16 = -1;
    std::int32_t r32 = -1;
    // The in/out values as the unit file would hold them, before and after
    // the call (the same members in both).
    json before = json::object(), after = json::object();

    if (name == "ShowDisplay") {
        CDisplayInfo info;
        host::LoadDisplayInfo(data, info);
        host::SaveDisplayInfo(before, info);
        out.hr = s.ShowDisplay(setup, kb16, parent, reinterpret_cast<std::int32_t*>(&info), &r16);
        host::SaveDisplayInfo(after, info);
        out.result = r16;
    } else if (name == "ShowRecordModeDlg") {
        CRecordInfo info;
        host::LoadRecordInfo(data, info);
        host::SaveRecordInfo(before, info);
        out.hr = s.ShowRecordModeDlg(setup, parent, reinterpret_cast<std::int32_t*>(&info), &r16);
        host::SaveRecordInfo(after, info);
        out.result = r16;
    } else if (name == "ShowCameras") {
        out.hr = s.ShowCameras(setup, camera, kb16, parent, &r16);
        out.result = r16;
    } else if (name == "ShowPortAddressDlg") {
        const json& p = SectionOf(data, "portAddress");
        std::int32_t port = static_cast<std::int32_t>(JsonLong(p, "portNumber", 0));
        std::int32_t live = static_cast<std::int32_t>(JsonLong(p, "livePort", 0));
        std::int32_t event = static_cast<std::int32_t>(JsonLong(p, "eventPort", 0));
        std::int16_t maxLive = static_cast<std::int16_t>(JsonLong(p, "maxLiveClients", 0));
        std::int16_t limit = static_cast<std::int16_t>(JsonLong(p, "clientLimit", 16));
        auto values = [&] {
            return json{{"portAddress",
                         {{"portNumber", port}, {"livePort", live}, {"eventPort", event}, {"maxLiveClients", maxLive}}}};
        };
        before = values();
        out.hr = s.ShowPortAddressDlg(unit.RmtResMgrUISupport(), setup, parent, &port, &live, &event, &maxLive, limit, &r16);
        after = values();
        out.result = r16;
    } else if (name == "ConnectTimeout") {
        out.hr = s.ConnectTimeout();
        out.result = 0;
    } else if (name == "ShowStorage") {
        out.hr = s.ShowStorage(unit.StorageUISupport(), parent, &r32);
        out.result = r32;
    } else if (name == "ShowTextStreams") {
        out.hr = s.ShowTextStreams(setup, unit.TextStreamsUISupport(), kb, remote, parent, &r32);
        out.result = r32;
    } else if (name == "ShowAudio") {
        CAudioAssocInfo assoc;
        CAudioMixerInfo mixer;
        host::LoadAudioAssocInfo(data, assoc);
        host::LoadAudioMixerInfo(data, mixer);
        host::SaveAudioAssocInfo(before, assoc);
        host::SaveAudioMixerInfo(before, mixer);
        out.hr = s.ShowAudio(setup, kb16, parent, reinterpret_cast<std::int32_t*>(&assoc),
                             reinterpret_cast<std::int32_t*>(&mixer), &r16);
        host::SaveAudioAssocInfo(after, assoc);
        host::SaveAudioMixerInfo(after, mixer);
        out.result = r16;
    } else if (name == "UpdateLevelMeter") {
        out.hr = s.UpdateLevelMeter(static_cast<std::int32_t>(JsonLong(data, "peakLevel", 0)), &r16);
        out.result = r16;
    } else if (name == "ShowTextExceptions" || name == "ShowTextReceipts") {
        out.hr = name == "ShowTextExceptions"
                     ? s.ShowTextExceptions(setup, unit.TextExceptionsUISupport(), kb, remote, parent, &r32)
                     : s.ShowTextReceipts(setup, unit.TextExceptionsUISupport(), kb, remote, parent, &r32);
        out.result = r32;
    } else if (name == "ShowODSetup") {
        const json& p = SectionOf(data, "printerInterface");
        std::int32_t customer = static_cast<std::int32_t>(JsonLong(p, "showCustomerEntries", 1));
        std::int32_t journal = static_cast<std::int32_t>(JsonLong(p, "showJournalEntries", 0));
        auto values = [&] {
            return json{{"printerInterface", {{"showCustomerEntries", customer}, {"showJournalEntries", journal}}}};
        };
        before = values();
        out.hr = s.ShowODSetup(setup, kb, remote, parent, &customer, &journal, &r32);
        after = values();
        out.result = r32;
    } else if (name == "ShowIPSourceConfig") {
        out.hr = s.ShowIPSourceConfig(setup, camera, kb16, parent, &r16);
        out.result = r16;
    } else if (name == "ShowRawTextSetup") {
        std::string text = SectionOf(data, "rawText").value("eol", std::string{});
        before = {{"rawText", {{"eol", text}}}};
        com::BSTR eol = cp::ToBstr(cp::Utf8ToAnsi(text));
        out.hr = s.ShowRawTextSetup(setup, kb, remote, parent, &eol, &r32);
        after = {{"rawText", {{"eol", cp::AnsiToUtf8(cp::FromBstr(eol))}}}};
        com::SysFreeString(eol);
        out.result = r32;
    } else if (name == "ShowCOMPortSetup") {
        const json& p = SectionOf(data, "comPort");
        const char* keys[] = {"portId", "baudRate", "dataBits", "parity", "stopBits", "flowControl"};
        const long defaults[] = {0, 9600, 8, 0, 0, 0};
        std::int32_t v[6];
        for (int i = 0; i < 6; ++i) v[i] = static_cast<std::int32_t>(JsonLong(p, keys[i], defaults[i]));
        std::int32_t edit = static_cast<std::int32_t>(JsonLong(p, "editOperation", 0));
        auto values = [&] {
            json j = json::object();
            for (int i = 0; i < 6; ++i) j["comPort"][keys[i]] = v[i];
            return j;
        };
        before = values();
        out.hr = s.ShowCOMPortSetup(setup, unit.TextStreamsUISupport(), kb, remote, parent, edit, &v[0], &v[1], &v[2],
                                    &v[3], &v[4], &v[5], &r32);
        after = values();
        out.result = r32;
    } else if (name == "ShowTextIPPortSetup") {
        std::int32_t port = static_cast<std::int32_t>(JsonLong(SectionOf(data, "textIPPort"), "port", 0));
        before = {{"textIPPort", {{"port", port}}}};
        out.hr = s.ShowTextIPPortSetup(setup, unit.TextStreamsUISupport(), kb, remote, parent, &port, &r32);
        after = {{"textIPPort", {{"port", port}}}};
        out.result = r32;
    } else {
        throw std::invalid_argument("unknown operation \"" + name + "\"");
    }
    // An operator action that could not be applied ended the dialogs; the
    // component answered with a failure, the window system kept the reason.
    if (std::string failure = ui::DefaultScriptDriver().TakeFailure(); !failure.empty()) throw ui::UiError(failure);
    WriteChanges(data, before, after, out.changed);
    return out;
}

const std::vector<std::pair<std::string, com::CLSID>>& HostClasses() {
    static const std::vector<std::pair<std::string, com::CLSID>> classes = {
        {"HostSystemObject", host::CLSID_HostSystemObject},
        {"HostCameraControlObject", host::CLSID_HostCameraControlObject},
        {"XmlCameraHandler", host::CLSID_XmlCameraHandler},
        {"HostFileBrowser", host::CLSID_HostFileBrowser},
        {"IPDeviceConfigEditor", host::CLSID_IPDeviceConfigEditor},
        {"TextDefinition", host::CLSID_TextDefinition},
        {"DefinitionListCodec", host::CLSID_DefinitionListCodec},
        {"TextDefinitionCollection", host::CLSID_TextDefinitionCollection},
    };
    return classes;
}

void RunReport::Attach(host::SimulatedUnit& unit) {
    unit.onCall = [this](const host::HostCall& call) { Call(call); };
    unit.onRefused = [this](const host::HostCall& call) { Refused(call); };
}

void RunReport::FlushLocked() {
    if (!m_pending) return;
    m_say("host: " + CallText(*m_pending));
    m_pending.reset();
}

void RunReport::Call(const host::HostCall& call) {
    std::lock_guard l(m_lock);
    FlushLocked();
    if (call.injected)
        m_say("fail: " + CallText(call) + " -> " + HresultName(call.hr));
    else if (call.name == "ShowHelp")
        m_say("help: " + call.args);
    else if (call.changes)
        m_pending = call;  // printed once it is known whether the unit carried it out
    else if (m_trace)
        m_say("read: " + CallText(call));
}

void RunReport::Refused(const host::HostCall& call) {
    std::lock_guard l(m_lock);
    if (m_pending && m_pending->name == call.name && m_pending->args == call.args) m_pending.reset();
    FlushLocked();
    m_say("refused: " + CallText(call) + " -> " + HresultName(call.hr));
}

void RunReport::Message(const std::string& utf8Text) {
    std::lock_guard l(m_lock);
    FlushLocked();
    m_say("message: " + utf8Text);
}

void RunReport::Finish(const OperationOutcome& outcome) {
    std::lock_guard l(m_lock);
    FlushLocked();
    for (const auto& v : outcome.changed) m_say("out: " + v.name + " " + v.value);
    if (com::FAILED(outcome.hr)) m_say("error: " + com::HresultText(outcome.hr));
    m_say("result: " + std::to_string(outcome.result));
}

namespace {

// The line of the first action of the script that was not used, or 0.
int FirstUnusedLine(const std::vector<ui::Action>& actions, std::size_t remaining) {
    return remaining ? actions[actions.size() - remaining].line : 0;
}

// The line of the first answer that no message box took, or 0: boxes take
// the answers in order, so the unused ones are the last answers given.
int FirstUnusedAnswerLine(const std::vector<ui::Action>& actions, std::size_t unusedAnswers) {
    std::vector<int> answers;
    for (const ui::Action& a : actions)
        if (a.kind == ui::Action::Kind::Answer) answers.push_back(a.line);
    return unusedAnswers && unusedAnswers <= answers.size() ? answers[answers.size() - unusedAnswers] : 0;
}

}  // namespace

ScriptedRun RunScript(const std::string& operation, const std::vector<ui::Action>& actions,
                      host::SimulatedUnit& unit, mirelle::ISetupUI& setupUI, RunReport& report) {
    auto& boxes = ui::DefaultMessageBoxes();
    auto& driver = ui::DefaultScriptDriver();
    // Nothing left over from an earlier run in this process.
    boxes.Clear();
    driver.Clear();
    boxes.onShown = [&report](const ui::ShownMessage& m) { report.Message(cp::AnsiToUtf8(m.text)); };
    struct Restore {
        ui::ScriptedMessageBoxes& boxes;
        ui::ScriptDriver& driver;
        ~Restore() {
            boxes.onShown = nullptr;
            boxes.Clear();
            driver.Clear();
        }
    } restore{boxes, driver};
    driver.Queue(actions);
    ScriptedRun run;
    run.outcome = RunOperation(operation, unit, setupUI);
    const std::size_t remaining = driver.Remaining();
    const std::size_t unusedAnswers = boxes.PendingAnswers();
    report.Finish(run.outcome);
    if (int line = FirstUnusedLine(actions, remaining)) {
        run.error = "line " + std::to_string(line) + ": action left after the dialog closed";
    } else if (int line = FirstUnusedAnswerLine(actions, unusedAnswers)) {
        run.error = "line " + std::to_string(line) +
                    ": no message box used this answer (an answer comes before the action that opens the box)";
    }
    return run;
}

}  // namespace apps
