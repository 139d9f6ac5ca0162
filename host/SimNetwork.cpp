// The network source setups of the simulated unit: the remote resource
// manager (Castellan server membership).
#include <algorithm>

#include "host/SimRmtResMgr.h"
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
    *info = cp::ToBstr(Section().value("serverInfo", std::string("QLN-UNIT")));
    return YesNo(!Refused("GetServerInfo"));
}

HRESULT SimRmtResMgrUISupport::RegisterWithServer(BSTR info, BSTR serverName) {
    if (HRESULT hr = m_unit.Enter("RegisterWithServer", ArgText(info) + " " + ArgText(serverName), true);
        com::FAILED(hr))
        return hr;
    std::lock_guard l(m_unit.DataMutex());
    if (Refused("RegisterWithServer")) return com::S_FALSE;
    Section()["pendingServer"] = serverName ? cp::FromBstr(serverName) : std::string();
    return com::S_OK;
}

HRESULT SimRmtResMgrUISupport::GetServerNameText(BSTR info, BSTR* serverName) {
    if (HRESULT hr = m_unit.Enter("GetServerNameText", ArgText(info), false); com::FAILED(hr)) return hr;
    if (!serverName) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    std::string name = Section().value("serverName", std::string());
    *serverName = cp::ToBstr(name);
    return YesNo(!name.empty() && !Refused("GetServerNameText"));
}

HRESULT SimRmtResMgrUISupport::ApplyManagedMode() {
    if (HRESULT hr = m_unit.Enter("ApplyManagedMode", "", true); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    if (Refused("ApplyManagedMode")) return com::S_FALSE;
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
    if (Refused("LeaveServer")) return com::S_FALSE;
    Section()["serverName"] = "";
    return com::S_OK;
}

HRESULT SimRmtResMgrUISupport::SetManagedState(std::int32_t managed) {
    if (HRESULT hr = m_unit.Enter("SetManagedState", std::to_string(managed), true); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    if (Refused("SetManagedState")) return com::S_FALSE;
    Section()["managed"] = managed != 0;
    return com::S_OK;
}

void RegisterNetworkHostClasses(SimulatedUnit&) {}

}  // namespace host
