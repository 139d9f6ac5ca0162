#include "simulator/SimulatedUnit.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "simulator/SimSupport.h"
#include "simulator/UnitFile.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"

namespace host {

namespace {

std::atomic<int> g_unitSerial{0};

nlohmann::json Defaults() {
    nlohmann::json d;
    d["version"] = 3.22;
    d["features"] = {{"21", true}, {"22", true}, {"26", false}};
    d["cameraCount"] = 16;
    nlohmann::json cams = nlohmann::json::array();
    for (int i = 0; i < 16; ++i) cams.push_back({{"name", "Camera " + std::to_string(i + 1)}});
    d["cameras"] = cams;
    d["localMode"] = 0;
    return d;
}

void Overlay(nlohmann::json& base, const nlohmann::json& over) {
    for (auto& [k, v] : over.items()) {
        if (v.is_object() && base.contains(k) && base[k].is_object())
            Overlay(base[k], v);
        else
            base[k] = v;
    }
}

// The host system object: version, feature switches and camera count.
class HostSystemObject final : public SimHostObject<IHostSystemObject> {
public:
    using SimHostObject::SimHostObject;
    HRESULT GetVersion(double* version) override {
        if (HRESULT hr = m_unit.Enter("GetVersion", "", false); com::FAILED(hr)) return hr;
        if (!version) return com::E_POINTER;
        *version = m_unit.Data().value("version", 3.22);
        return com::S_OK;
    }
    HRESULT IsFeatureEnabled(std::int32_t feature, VARIANT_BOOL* enabled) override {
        if (HRESULT hr = m_unit.Enter("IsFeatureEnabled", std::to_string(feature), false); com::FAILED(hr)) return hr;
        if (!enabled) return com::E_POINTER;
        bool on = false;
        const auto& f = m_unit.Data()["features"];
        if (f.is_object()) {
            auto it = f.find(std::to_string(feature));
            if (it != f.end() && it->is_boolean()) on = it->get<bool>();
            if (it != f.end() && it->is_number()) on = it->get<int>() != 0;
        }
        *enabled = on ? -1 : 0;
        return com::S_OK;
    }
    HRESULT GetCameraCount(std::int16_t* count) override {
        if (HRESULT hr = m_unit.Enter("GetCameraCount", "", false); com::FAILED(hr)) return hr;
        if (!count) return com::E_POINTER;
        *count = static_cast<std::int16_t>(m_unit.CameraCount());
        return com::S_OK;
    }

};

}  // namespace

std::string ArgText(BSTR s) { return s ? Quote(cp::FromBstr(s)) : std::string("null"); }

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') { out += "\\n"; continue; }
        if (c == '\r') { out += "\\r"; continue; }
        if (c == '\t') { out += "\\t"; continue; }
        out += c;
    }
    return out + "\"";
}

SimulatedUnit::SimulatedUnit(const nlohmann::json& data) : m_data(Defaults()) {
    if (!data.is_object()) throw UnitFileError("the unit file must hold a JSON object");
    Overlay(m_data, data);
    m_file = nlohmann::ordered_json(data);
    m_saved = m_data;
    m_setup = std::make_unique<SimSetupUISupport>(*this);
    m_camera = std::make_unique<SimCameraControlUISupport>(*this);
    m_rmt = std::make_unique<SimRmtResMgrUISupport>(*this);
    m_storage = std::make_unique<SimStorageUISupport>(*this);
    m_text = std::make_unique<SimTextStreamsUISupport>(*this);
    m_exceptions = std::make_unique<SimTextExceptionsUISupport>(*this);

    AddHostClass(CLSID_HostSystemObject, [](SimulatedUnit& u) -> com::IUnknown* { return new HostSystemObject(u); });
    RegisterCameraHostClasses(*this);
    RegisterTextStreamHostClasses(*this);
    RegisterNetworkHostClasses(*this);

    m_providerName = "SimulatedUnit#" + std::to_string(++g_unitSerial);
    com::RegisterClassProvider(m_providerName, [this](const com::CLSID& clsid, const com::IID& iid, void** ppv) {
        return CreateObject(clsid, iid, ppv);
    });
}

SimulatedUnit::~SimulatedUnit() { com::UnregisterClassProvider(m_providerName); }

std::unique_ptr<SimulatedUnit> SimulatedUnit::Load(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw UnitFileError("cannot open unit file " + path);
    // The parser builds without recursion; the depth is refused as it is
    // reached, before anything (the copy below, the schema check) walks the
    // value recursively.
    struct TooDeep {};
    auto limitDepth = [](int depth, nlohmann::ordered_json::parse_event_t event, nlohmann::ordered_json&) {
        using E = nlohmann::ordered_json::parse_event_t;
        if ((event == E::object_start || event == E::array_start) && depth >= kMaxUnitNesting) throw TooDeep{};
        return true;
    };
    nlohmann::ordered_json file;
    try {
        file = nlohmann::ordered_json::parse(in, limitDepth);
    } catch (const TooDeep&) {
        throw UnitFileError("unit file " + path + " has values nested more than " + std::to_string(kMaxUnitNesting) +
                            " deep");
    } catch (const nlohmann::json::exception& e) {
        // Syntax errors, and numbers out of range (1e400).
        throw UnitFileError("unit file " + path + " is not valid JSON: " + e.what());
    }
    nlohmann::json j(file);
    if (std::string problem = CheckUnitData(j); !problem.empty())
        throw UnitFileError("unit file " + path + ": " + problem);
    try {
        auto unit = std::make_unique<SimulatedUnit>(j);
        unit->m_file = std::move(file);
        unit->m_path = path;
        return unit;
    } catch (const nlohmann::json::exception& e) {
        throw UnitFileError("unit file " + path + " has a malformed entry: " + e.what());
    }
}

bool SimulatedUnit::HasUnsavedChanges() const {
    std::lock_guard l(m_dataLock);
    return m_data != m_saved;
}

void SimulatedUnit::Save(const std::string& path) {
    std::lock_guard l(m_dataLock);
    // What the reader would refuse is not written (nor walked by the edit).
    if (NestingDepth(m_data) > kMaxUnitNesting)
        throw UnitFileError("cannot write unit file " + path + ": its values are nested more than " +
                            std::to_string(kMaxUnitNesting) + " deep");
    nlohmann::ordered_json file = m_file;
    EditUnitFile(file, m_saved, m_data);
    const std::string text = FormatUnitFile(file);
    // The new text goes to a file beside the old one, which it then replaces
    // in one step: a reader sees the old file or the new, never half of one.
    // Whatever goes wrong, the new file is not left behind.
    const std::string tmp = path + ".tmp";
    auto fail = [&](const std::string& why, int err) {
        std::remove(tmp.c_str());
        throw UnitFileError("cannot write unit file " + path + ": the new file is written beside it first, as " + tmp +
                            ", and " + why + (err ? std::string(" (") + std::strerror(err) + ")" : std::string()));
    };
    {
        errno = 0;
        std::ofstream out(tmp, std::ios::trunc | std::ios::binary);
        if (!out) {
            const int err = errno;
            // Not made, so nothing to remove (and a file of that name that
            // is not ours stays).
            throw UnitFileError("cannot write unit file " + path + ": the new file is written beside it first, as " +
                                tmp + ", and it cannot be created" +
                                (err ? std::string(" (") + std::strerror(err) + ")" : std::string()));
        }
        out << text;
        out.flush();
        if (!out) fail("it could not be written whole", errno);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) fail("it cannot take the place of the unit file", errno);
    m_file = std::move(file);
    m_saved = m_data;
}

HRESULT SimulatedUnit::Enter(const std::string& name, const std::string& args, bool changes) {
    HostCall call{name, args, changes};
    {
        std::lock_guard l(m_lock);
        int n = ++m_counts[name];
        if (auto it = m_failures.find(name); it != m_failures.end()) {
            const Failure* every = nullptr;
            const Failure* nth = nullptr;
            for (const auto& f : it->second) {
                if (f.nth == 0) every = &f;
                if (f.nth == n) nth = &f;
            }
            if (const Failure* f = nth ? nth : every) {
                call.hr = f->hr;
                call.injected = true;
            }
        }
        m_calls.push_back(call);
        m_lastCall[std::this_thread::get_id()] = call;
    }
    if (onCall) onCall(call);
    return call.hr;
}

HRESULT SimulatedUnit::Refuse(HRESULT hr) {
    HostCall call;
    {
        std::lock_guard l(m_lock);
        auto it = m_lastCall.find(std::this_thread::get_id());
        if (it == m_lastCall.end()) return hr;
        it->second.hr = hr;
        call = it->second;
    }
    if (onRefused) onRefused(call);
    return hr;
}

void SimulatedUnit::FailCall(const std::string& name, HRESULT hr, int nth) {
    std::lock_guard l(m_lock);
    if (hr == com::S_OK) {
        m_failures.erase(name);
        return;
    }
    int at = nth == 0 ? 0 : m_counts[name] + nth;
    auto& list = m_failures[name];
    for (auto& f : list)
        if (f.nth == at) {
            f.hr = hr;
            return;
        }
    list.push_back({hr, at});
}

void SimulatedUnit::ClearFailures() {
    std::lock_guard l(m_lock);
    m_failures.clear();
    m_createFailures.clear();
}

std::vector<HostCall> SimulatedUnit::Calls() const {
    std::lock_guard l(m_lock);
    return m_calls;
}

std::vector<std::string> SimulatedUnit::CallNames() const {
    std::lock_guard l(m_lock);
    std::vector<std::string> out;
    for (auto& c : m_calls) out.push_back(c.name);
    return out;
}

void SimulatedUnit::ClearCalls() {
    std::lock_guard l(m_lock);
    m_calls.clear();
}

void SimulatedUnit::FailCreate(const com::CLSID& clsid, HRESULT hr) {
    std::lock_guard l(m_lock);
    if (hr == com::S_OK)
        m_createFailures.erase(clsid);
    else
        m_createFailures[clsid] = hr;
}

void SimulatedUnit::AddHostClass(const com::CLSID& clsid, HostClassCreator create) {
    std::lock_guard l(m_lock);
    m_classes[clsid] = std::move(create);
}

HRESULT SimulatedUnit::CreateObject(const com::CLSID& clsid, const com::IID& iid, void** ppv) {
    HostClassCreator create;
    {
        std::lock_guard l(m_lock);
        auto it = m_classes.find(clsid);
        if (it == m_classes.end()) return com::CLASS_E_CLASSNOTAVAILABLE;
        if (std::find(m_asked.begin(), m_asked.end(), clsid) == m_asked.end()) m_asked.push_back(clsid);
        if (auto f = m_createFailures.find(clsid); f != m_createFailures.end()) return f->second;
        create = it->second;
    }
    auto* factory = new com::HostClassFactory([this, create] { return create(*this); });
    factory->AddRef();
    HRESULT hr = factory->QueryInterface(iid, ppv);
    factory->Release();
    return hr;
}

std::vector<com::CLSID> SimulatedUnit::ClassesAskedFor() const {
    std::lock_guard l(m_lock);
    return m_asked;
}

ISetupUISupport* SimulatedUnit::SetupUISupport() { return m_setup.get(); }
ICameraControlUISupport* SimulatedUnit::CameraControlUISupport() { return m_camera.get(); }
IRmtResMgrUISupport* SimulatedUnit::RmtResMgrUISupport() { return m_rmt.get(); }
IStorageUISupport* SimulatedUnit::StorageUISupport() { return m_storage.get(); }
ITextStreamsUISupport* SimulatedUnit::TextStreamsUISupport() { return m_text.get(); }
ITextExceptionsUISupport* SimulatedUnit::TextExceptionsUISupport() { return m_exceptions.get(); }

long SimulatedUnit::OutstandingReferences() const {
    return m_setup->Refs() + m_camera->Refs() + m_rmt->Refs() + m_storage->Refs() + m_text->Refs() +
           m_exceptions->Refs();
}

int SimulatedUnit::CameraCount() const {
    std::lock_guard l(m_dataLock);
    auto it = m_data.find("cameraCount");
    return it != m_data.end() && it->is_number_integer() ? it->get<int>() : 16;
}

}  // namespace host
