// The network source setups of the simulated unit: the remote resource
// manager (Castellan server membership) and the IP device configuration
// editor.
#include <algorithm>
#include <atomic>

#include "simulator/SimIPSources.h"
#include "simulator/SimRmtResMgr.h"
#include "platform/codepage/CodePage.h"

namespace host {

using nlohmann::json;

namespace {
HRESULT YesNo(bool yes) { return yes ? com::S_OK : com::S_FALSE; }
}  // namespace

json& SimRmtResMgrUISupport::Section() {
    json& s = m_unit.Data()["castellan"];
    if (!s.is_object()) s = json::object();
    return s;
}

bool SimRmtResMgrUISupport::Refused(const char* step) {
    const json& s = Section();
    auto it = s.find("refuse");
    if (it == s.end() || !it->is_array()) return false;
    return std::find(it->begin(), it->end(), json(step)) != it->end();
}

HRESULT SimRmtResMgrUISupport::Flag(const char* call, const char* key, bool fallback) {
    if (HRESULT hr = m_unit.Enter(call, "", false); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    return YesNo(Section().value(key, fallback));
}

HRESULT SimRmtResMgrUISupport::CanChangeServerMode() {
    return Flag("CanChangeServerMode", "canChangeServerMode", true);
}
HRESULT SimRmtResMgrUISupport::IsAdvancedSecurityOn() { return Flag("IsAdvancedSecurityOn", "advancedSecurity", false); }
HRESULT SimRmtResMgrUISupport::IsNetworkArchiveRunning() {
    return Flag("IsNetworkArchiveRunning", "networkArchive", false);
}
HRESULT SimRmtResMgrUISupport::IsManaged() { return Flag("IsManaged", "managed", false); }

HRESULT SimRmtResMgrUISupport::GetServerInfo(BSTR* info) {
    if (HRESULT hr = m_unit.Enter("GetServerInfo", "", false); com::FAILED(hr)) return hr;
    if (!info) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *info = cp::ToBstr(cp::Utf8ToAnsi(Section().value("serverInfo", std::string("QLN-UNIT"))));
    return YesNo(!Refused("GetServerInfo"));
}

HRESULT SimRmtResMgrUISupport::RegisterWithServer(BSTR info, BSTR serverName) {
    if (HRESULT hr = m_unit.Enter("RegisterWithServer", ArgText(info) + " " + ArgText(serverName), true);
        com::FAILED(hr))
        return hr;
    std::lock_guard l(m_unit.DataMutex());
    if (Refused("RegisterWithServer")) return m_unit.Refuse(com::S_FALSE);
    Section()["pendingServer"] = serverName ? cp::AnsiToUtf8(cp::FromBstr(serverName)) : std::string();
    return com::S_OK;
}

HRESULT SimRmtResMgrUISupport::GetServerNameText(BSTR info, BSTR* serverName) {
    if (HRESULT hr = m_unit.Enter("GetServerNameText", ArgText(info), false); com::FAILED(hr)) return hr;
    if (!serverName) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    std::string name = cp::Utf8ToAnsi(Section().value("serverName", std::string()));
    *serverName = cp::ToBstr(name);
    return YesNo(!name.empty() && !Refused("GetServerNameText"));
}

HRESULT SimRmtResMgrUISupport::ApplyManagedMode() {
    if (HRESULT hr = m_unit.Enter("ApplyManagedMode", "", true); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    if (Refused("ApplyManagedMode")) return m_unit.Refuse(com::S_FALSE);
    json& s = Section();
    if (s.contains("pendingServer")) {
        s["serverName"] = s["pendingServer"];
        s.erase("pendingServer");
    }
    return com::S_OK;
}

HRESULT SimRmtResMgrUISupport::LeaveServer() {
    if (HRESULT hr = m_unit.Enter("LeaveServer", "", true); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    if (Refused("LeaveServer")) return m_unit.Refuse(com::S_FALSE);
    Section()["serverName"] = "";
    return com::S_OK;
}

HRESULT SimRmtResMgrUISupport::SetManagedState(std::int32_t managed) {
    if (HRESULT hr = m_unit.Enter("SetManagedState", std::to_string(managed), true); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    if (Refused("SetManagedState")) return m_unit.Refuse(com::S_FALSE);
    Section()["managed"] = managed != 0;
    return com::S_OK;
}

namespace {

// The device configuration editor.  Its window is the front end's
// (onEditDevice); without one the unit's "ipSources"."editor" decides
// whether the operator confirms ("confirm", default true) and what the
// result is ("result").  Every call is recorded with what the editor was given.
class IPDeviceConfigEditor final : public SimHostObject<IIPDeviceConfigEditor> {
public:
    using SimHostObject::SimHostObject;

    HRESULT SetConfigData(BSTR value1, BSTR value2, BSTR value3) override {
        return m_unit.Enter("IPDeviceConfigEditor.SetConfigData",
                            ArgText(value1) + " " + ArgText(value2) + " " + ArgText(value3), false);
    }

    HRESULT Edit(IIPConfigValues* values, std::int16_t* confirmed) override {
        // The values given, as "name:type=value" separated by blanks.
        std::string args;
        std::int32_t count = 0;
        if (values && com::SUCCEEDED(values->get_Count(&count)))
            for (std::int32_t i = 0; i < count; ++i) {
                BSTR name = nullptr, type = nullptr, value = nullptr;
                if (com::FAILED(values->Item(i, &name, &type, &value))) break;
                args += (args.empty() ? "" : " ") + cp::FromBstr(name) + ":" + cp::FromBstr(type) + "=" +
                        cp::FromBstr(value);
                com::SysFreeString(name);
                com::SysFreeString(type);
                com::SysFreeString(value);
            }
        if (HRESULT hr = m_unit.Enter("IPDeviceConfigEditor.Edit", args, false); com::FAILED(hr)) return hr;
        if (!values || !confirmed) return com::E_POINTER;
        bool confirm = true;
        {
            std::lock_guard l(m_unit.DataMutex());
            const json& editor = ipsrc::Section(m_unit.Data())["editor"];
            confirm = editor.is_object() ? editor.value("confirm", true) : true;
            m_result = editor.is_object() ? cp::Utf8ToAnsi(editor.value("result", std::string())) : std::string();
        }
        // A front end's editor window decides instead (outside the data lock:
        // it runs a modal window).
        if (m_unit.onEditDevice) confirm = m_unit.onEditDevice(args, m_result);
        *confirmed = confirm ? 1 : 0;
        return com::S_OK;
    }

    HRESULT get_Result(BSTR* result) override {
        if (HRESULT hr = m_unit.Enter("IPDeviceConfigEditor.get_Result", "", false); com::FAILED(hr)) return hr;
        if (!result) return com::E_POINTER;
        *result = cp::ToBstr(m_result);
        return com::S_OK;
    }

private:
    std::string m_result;
};

}  // namespace

void RegisterNetworkHostClasses(SimulatedUnit& unit) {
    unit.AddHostClass(CLSID_IPDeviceConfigEditor,
                      [](SimulatedUnit& u) -> com::IUnknown* { return new IPDeviceConfigEditor(u); });
}

}  // namespace host
