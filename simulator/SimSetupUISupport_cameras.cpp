// ISetupUISupport: the camera setup's operations.
#include <cstring>

#include "simulator/SimSetupUISupport.h"
#include "platform/codepage/CodePage.h"

namespace host {

namespace {
std::int32_t IntValue(const nlohmann::json& data, const char* key, std::int32_t fallback) {
    auto it = data.find(key);
    return it != data.end() && it->is_number_integer() ? it->get<std::int32_t>() : fallback;
}
}  // namespace

HRESULT SimSetupUISupport::GetCameraSetupAccess(std::int32_t* access, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("GetCameraSetupAccess", "", false); com::FAILED(hr)) return hr;
    if (!access || !reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *access = IntValue(m_unit.Data(), "cameraSetupAccess", 1);
    *reserved = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::GetCovertSetupAccess(std::int32_t* access, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("GetCovertSetupAccess", "", false); com::FAILED(hr)) return hr;
    if (!access || !reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *access = IntValue(m_unit.Data(), "covertSetupAccess", 1);
    *reserved = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::GetCameraNameForEdit(std::int32_t index, BSTR* name, VARIANT_BOOL* valid) {
    return CameraName("GetCameraNameForEdit", index, name, valid);
}

HRESULT SimSetupUISupport::SetCameraNames(const char* block, std::int32_t count, std::int32_t a, std::int32_t b,
                                          std::int32_t* out1, std::int32_t* out2) {
    // The block holds count zero-terminated names back to back.
    std::vector<std::string> names;
    if (block)
        for (std::int32_t i = 0, pos = 0; i < count && i < 64; ++i) {
            std::string n(block + pos);
            pos += static_cast<std::int32_t>(n.size()) + 1;
            names.push_back(n);
        }
    std::string args;
    for (auto& n : names) args += (args.empty() ? "" : ",") + Quote(n);
    args += " " + std::to_string(count) + " " + std::to_string(a) + " " + std::to_string(b);
    if (HRESULT hr = m_unit.Enter("SetCameraNames", args, true); com::FAILED(hr)) return hr;
    if (!block || !out1 || !out2) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    auto& cams = m_unit.Data()["cameras"];
    if (!cams.is_array()) cams = nlohmann::json::array();
    for (size_t i = 0; i < names.size(); ++i) {
        while (cams.size() <= i) cams.push_back(nlohmann::json::object());
        if (!cams[i].is_object()) cams[i] = nlohmann::json::object();
        cams[i]["name"] = cp::AnsiToUtf8(names[i]);
        // A camera without "valid" is valid: only a camera marked invalid is
        // changed, so a rename adds nothing else to the unit.
        if (cams[i].contains("valid")) cams[i]["valid"] = true;
    }
    *out1 = 0;
    *out2 = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::GetTerminationMask(std::int32_t* mask, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("GetTerminationMask", "", false); com::FAILED(hr)) return hr;
    if (!mask || !reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *mask = IntValue(m_unit.Data(), "terminationMask", 0);
    *reserved = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::SetTerminationMask(std::int32_t mask, std::int32_t zero, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("SetTerminationMask", std::to_string(mask) + " " + std::to_string(zero), true);
        com::FAILED(hr))
        return hr;
    if (!reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    m_unit.Data()["terminationMask"] = mask;
    *reserved = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::GetCovertMask(std::int32_t* mask, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("GetCovertMask", "", false); com::FAILED(hr)) return hr;
    if (!mask || !reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *mask = IntValue(m_unit.Data(), "covertMask", 0);
    *reserved = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::SetCovertMask(std::int32_t mask, std::int32_t zero, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("SetCovertMask", std::to_string(mask) + " " + std::to_string(zero), true);
        com::FAILED(hr))
        return hr;
    if (!reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    m_unit.Data()["covertMask"] = mask;
    *reserved = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::GetGainModes(std::int32_t* modes, std::int16_t count, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("GetGainModes", std::to_string(count), false); com::FAILED(hr)) return hr;
    if (!modes || !reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    const auto& g = m_unit.Data()["gainModes"];
    for (int i = 0; i < count && i < 16; ++i)
        modes[i] = g.is_array() && i < static_cast<int>(g.size()) && g[i].is_number_integer() ? g[i].get<int>() : 0;
    *reserved = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::SetGainModes(const std::int32_t* modes, std::int16_t count, const std::int32_t* changedMask,
                                        std::int32_t zero, std::int32_t* reserved) {
    std::string args;
    for (int i = 0; modes && i < count && i < 16; ++i) args += (i ? "," : "") + std::to_string(modes[i]);
    args += " " + std::to_string(count) + " " + (changedMask ? std::to_string(*changedMask) : "null") + " " +
            std::to_string(zero);
    if (HRESULT hr = m_unit.Enter("SetGainModes", args, true); com::FAILED(hr)) return hr;
    if (!modes || !changedMask || !reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    auto& g = m_unit.Data()["gainModes"];
    if (!g.is_array()) g = nlohmann::json::array();
    for (int i = 0; i < count && i < 16; ++i) {
        while (static_cast<int>(g.size()) <= i) g.push_back(0);
        g[i] = modes[i];
    }
    *reserved = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::GetPTZTriggerListXml(BSTR* xml, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("GetPTZTriggerListXml", "", false); com::FAILED(hr)) return hr;
    if (!xml || !reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *xml = cp::ToBstr(cp::Utf8ToAnsi(m_unit.Data().value("ptzTriggerListXml", std::string{})));
    *reserved = 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::SetPTZTriggerListXml(BSTR xml, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("SetPTZTriggerListXml", ArgText(xml), true); com::FAILED(hr)) return hr;
    if (!reserved) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    m_unit.Data()["ptzTriggerListXml"] = cp::AnsiToUtf8(cp::FromBstr(xml));
    *reserved = 0;
    return com::S_OK;
}

}  // namespace host
