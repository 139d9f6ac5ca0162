#include "apps/run/Operations.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <mutex>
#include <stdexcept>

#include "simulator/UnitData.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/Script.h"

namespace apps {

namespace {

using host::JsonLong;
using nlohmann::json;

json& Section(host::SimulatedUnit& unit, const char* name) {
    auto& d = unit.Data();
    if (!d.contains(name) || !d[name].is_object()) d[name] = json::object();
    return d[name];
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

com::ComPtr<mirelle::ISetupUI> CreateSetupUI(const std::string& modulePath) {
    if (!modulePath.empty()) {
        static std::once_flag loaded;
        com::HRESULT hr = com::S_OK;
        std::call_once(loaded, [&] { hr = com::CoRegisterModuleClasses(modulePath); });
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
        static std::once_flag fallback;
        static com::HRESULT loadResult = com::S_OK;
        static std::string path;
        std::call_once(fallback, [] {
            path = ModuleBesideExecutable();
            loadResult = com::CoRegisterModuleClasses(path);
            if (com::SUCCEEDED(loadResult))
                std::cerr << "note: Mirelle.SetupUI is not registered; using the module " << path << "\n";
        });
        if (com::FAILED(loadResult))
            throw ModuleError(loadResult, "Mirelle.SetupUI is not registered and no module was found beside "
                                          "this program (" + (path.empty() ? std::string("none") : path) +
                                              "): " + com::CoLastLoadError());
        hr = com::CoCreateInstance(clsid, nullptr, mirelle::ISetupUI::IID_, ui.outVoid());
    }
    if (com::FAILED(hr) || !ui) throw ModuleError(hr, "cannot create SetupUI: " + com::HresultText(hr));
    return ui;
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

    if (name == "ShowDisplay") {
        CDisplayInfo info;
        host::LoadDisplayInfo(data, info);
        out.hr = s.ShowDisplay(setup, kb16, parent, reinterpret_cast<std::int32_t*>(&info), &r16);
        host::SaveDisplayInfo(data, info);
        out.result = r16;
    } else if (name == "ShowRecordModeDlg") {
        CRecordInfo info;
        host::LoadRecordInfo(data, info);
        out.hr = s.ShowRecordModeDlg(setup, parent, reinterpret_cast<std::int32_t*>(&info), &r16);
        host::SaveRecordInfo(data, info);
        out.result = r16;
    } else if (name == "ShowCameras") {
        out.hr = s.ShowCameras(setup, camera, kb16, parent, &r16);
        out.result = r16;
    } else if (name == "ShowPortAddressDlg") {
        json& p = Section(unit, "portAddress");
        std::int32_t port = static_cast<std::int32_t>(JsonLong(p, "portNumber", 0));
        std::int32_t live = static_cast<std::int32_t>(JsonLong(p, "livePort", 0));
        std::int32_t event = static_cast<std::int32_t>(JsonLong(p, "eventPort", 0));
        std::int16_t maxLive = static_cast<std::int16_t>(JsonLong(p, "maxLiveClients", 0));
        std::int16_t limit = static_cast<std::int16_t>(JsonLong(p, "clientLimit", 16));
        out.hr = s.ShowPortAddressDlg(unit.RmtResMgrUISupport(), setup, parent, &port, &live, &event, &maxLive, limit, &r16);
        p["portNumber"] = port;
        p["livePort"] = live;
        p["eventPort"] = event;
        p["maxLiveClients"] = maxLive;
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
        out.hr = s.ShowAudio(setup, kb16, parent, reinterpret_cast<std::int32_t*>(&assoc),
                             reinterpret_cast<std::int32_t*>(&mixer), &r16);
        host::SaveAudioAssocInfo(data, assoc);
        host::SaveAudioMixerInfo(data, mixer);
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
        json& p = Section(unit, "printerInterface");
        std::int32_t customer = static_cast<std::int32_t>(JsonLong(p, "showCustomerEntries", 1));
        std::int32_t journal = static_cast<std::int32_t>(JsonLong(p, "showJournalEntries", 0));
        out.hr = s.ShowODSetup(setup, kb, remote, parent, &customer, &journal, &r32);
        p["showCustomerEntries"] = customer;
        p["showJournalEntries"] = journal;
        out.result = r32;
    } else if (name == "ShowIPSourceConfig") {
        out.hr = s.ShowIPSourceConfig(setup, camera, kb16, parent, &r16);
        out.result = r16;
    } else if (name == "ShowRawTextSetup") {
        json& p = Section(unit, "rawText");
        com::BSTR eol = cp::ToBstr(cp::Utf8ToAnsi(p.value("eol", std::string{})));
        out.hr = s.ShowRawTextSetup(setup, kb, remote, parent, &eol, &r32);
        p["eol"] = cp::AnsiToUtf8(cp::FromBstr(eol));
        com::SysFreeString(eol);
        out.result = r32;
    } else if (name == "ShowCOMPortSetup") {
        json& p = Section(unit, "comPort");
        const char* keys[] = {"portId", "baudRate", "dataBits", "parity", "stopBits", "flowControl"};
        const long defaults[] = {0, 9600, 8, 0, 0, 0};
        std::int32_t v[6];
        for (int i = 0; i < 6; ++i) v[i] = static_cast<std::int32_t>(JsonLong(p, keys[i], defaults[i]));
        std::int32_t edit = static_cast<std::int32_t>(JsonLong(p, "editOperation", 0));
        out.hr = s.ShowCOMPortSetup(setup, unit.TextStreamsUISupport(), kb, remote, parent, edit, &v[0], &v[1], &v[2],
                                    &v[3], &v[4], &v[5], &r32);
        for (int i = 0; i < 6; ++i) p[keys[i]] = v[i];
        out.result = r32;
    } else if (name == "ShowTextIPPortSetup") {
        json& p = Section(unit, "textIPPort");
        std::int32_t port = static_cast<std::int32_t>(JsonLong(p, "port", 0));
        out.hr = s.ShowTextIPPortSetup(setup, unit.TextStreamsUISupport(), kb, remote, parent, &port, &r32);
        p["port"] = port;
        out.result = r32;
    } else {
        throw std::invalid_argument("unknown operation \"" + name + "\"");
    }
    // An operator action that could not be applied ended the dialogs; the
    // component answered with a failure, the window system kept the reason.
    if (std::string failure = ui::DefaultScriptDriver().TakeFailure(); !failure.empty()) throw ui::UiError(failure);
    return out;
}

}  // namespace apps
