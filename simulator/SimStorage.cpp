#include "simulator/SimStorage.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/codepage/CodePage.h"

namespace host {

namespace {

using nlohmann::json;

constexpr int kStateActive = 0;
constexpr int kStateEmpty = 1;
constexpr int kStateNonQuellan = 2;
constexpr int kStateOtherQuellan = 3;
constexpr int kStateMissing = 4;
constexpr int kStateFailed = 5;
constexpr int kStateCorrupt = 6;

constexpr std::size_t kMaxLabel = 32;

std::int32_t ToInt32(const json& v, std::int32_t fallback) {
    if (v.is_boolean()) return v.get<bool>() ? 1 : 0;
    if (!v.is_number()) return fallback;
    double d = v.get<double>();
    if (d < -2147483648.0 || d > 2147483647.0) return fallback;
    return static_cast<std::int32_t>(d);
}

std::int32_t Field(const json& o, const char* key, std::int32_t fallback) {
    if (!o.is_object()) return fallback;
    auto it = o.find(key);
    return it == o.end() ? fallback : ToInt32(*it, fallback);
}

std::string TextField(const json& o, const char* key) {
    if (!o.is_object()) return {};
    auto it = o.find(key);
    return it != o.end() && it->is_string() ? it->get<std::string>() : std::string{};
}

// The storage section, created when absent or malformed.
json& Section(SimulatedUnit& unit) {
    json& d = unit.Data();
    if (!d.contains("storage") || !d["storage"].is_object()) d["storage"] = json::object();
    json& s = d["storage"];
    if (!s.contains("volumes") || !s["volumes"].is_array()) s["volumes"] = json::array();
    return s;
}

// Volume i, or null when there is none (index out of range or not an object).
json* Volume(SimulatedUnit& unit, std::int32_t index) {
    json& vols = Section(unit)["volumes"];
    if (index < 0 || static_cast<std::size_t>(index) >= vols.size()) return nullptr;
    json& v = vols[static_cast<std::size_t>(index)];
    return v.is_object() ? &v : nullptr;
}

// A read-only query of volume `index`: E_INVALIDARG when there is none.
template <class Read>
HRESULT ReadVolume(SimulatedUnit& unit, const char* call, std::int32_t index, bool outsGiven, Read&& read) {
    return unit.Query(call, std::to_string(index), outsGiven, [&](json&) {
        json* v = Volume(unit, index);
        if (!v) return com::E_INVALIDARG;
        read(*v);
        return com::S_OK;
    });
}

int State(const json& v) { return Field(v, "state", kStateMissing); }

VARIANT_BOOL Bool(bool b) { return b ? -1 : 0; }

}  // namespace

SimStorageUISupport::~SimStorageUISupport() = default;

HRESULT SimStorageUISupport::RunWithProgress(const std::string& operation, std::int32_t index) {
    int ms, steps, threads;
    {
        std::lock_guard l(m_unit.DataMutex());
        const json& s = Section(m_unit);
        ms = std::clamp<int>(Field(s, "operationMs", 1500), 0, 600000);
        steps = std::clamp<int>(Field(s, "progressSteps", 20), 1, 100000);
        threads = std::clamp<int>(Field(s, "progressThreads", 2), 1, 16);
    }
    threads = std::min(threads, steps);
    com::ComPtr<IStorageUISupportCallback> cb;
    {
        std::lock_guard l(m_callbackLock);
        cb = m_callback;
    }
    if (cb) cb->SetProgressRange(0, steps);

    // The threads share the steps; the position is reported under a lock so
    // that the positions reach the callback in increasing order.
    std::mutex progressLock;
    int done = 0;
    std::atomic<HRESULT> failure{com::S_OK};
    const auto pause = std::chrono::microseconds(static_cast<long long>(ms) * 1000 * threads / steps);
    auto work = [&](int share) {
        for (int k = 0; k < share && failure.load() == com::S_OK; ++k) {
            std::this_thread::sleep_for(pause);
            std::lock_guard l(progressLock);
            if (failure.load() != com::S_OK) return;
            int position = done + 1;
            HRESULT hr = m_unit.Enter(operation + "Step",
                                      std::to_string(index) + " " + std::to_string(position) + "/" +
                                          std::to_string(steps),
                                      false);
            if (com::FAILED(hr)) {
                failure = hr;
                return;
            }
            done = position;
            if (cb) cb->SetProgress(position);
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) pool.emplace_back(work, steps / threads + (t < steps % threads ? 1 : 0));
    for (auto& th : pool) th.join();
    return failure.load();
}

HRESULT SimStorageUISupport::GetVolumeCount(std::int32_t* count) {
    if (HRESULT hr = m_unit.Enter("GetVolumeCount", "", false); com::FAILED(hr)) return hr;
    if (!count) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *count = static_cast<std::int32_t>(Section(m_unit)["volumes"].size());
    return com::S_OK;
}

HRESULT SimStorageUISupport::GetVolumeStatus(std::int32_t index, VARIANT_BOOL* marker, std::int32_t* state) {
    return ReadVolume(m_unit, "GetVolumeStatus", index, marker && state, [&](json& v) {
        *marker = Bool(Field(v, "marker", 0) != 0);
        *state = State(v);
    });
}

HRESULT SimStorageUISupport::GetVolumeSize(std::int32_t index, std::int32_t* sizeKB) {
    return ReadVolume(m_unit, "GetVolumeSize", index, sizeKB, [&](json& v) {
        *sizeKB = State(v) == kStateMissing ? -1 : Field(v, "sizeKB", -1);
    });
}

HRESULT SimStorageUISupport::GetVolumeAllocation(std::int32_t index, std::int32_t* allocatedKB) {
    return ReadVolume(m_unit, "GetVolumeAllocation", index, allocatedKB, [&](json& v) {
        *allocatedKB = State(v) == kStateMissing ? -1 : Field(v, "allocatedKB", 0);
    });
}

template <class Possible, class Apply>
HRESULT SimStorageUISupport::LongOperation(const char* call, const std::string& extraArgs, std::int32_t index,
                                           bool outsGiven, VARIANT_BOOL* success, Possible&& possible,
                                           Apply&& apply) {
    if (HRESULT hr = m_unit.Enter(call, std::to_string(index) + " " + extraArgs, true); com::FAILED(hr)) return hr;
    if (!outsGiven || !success) return com::E_POINTER;
    {
        std::lock_guard l(m_unit.DataMutex());
        json* v = Volume(m_unit, index);
        if (!v) return com::E_INVALIDARG;
        if (!possible(*v)) {
            *success = Bool(false);
            return com::S_OK;
        }
    }
    if (HRESULT hr = RunWithProgress(call, index); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    json* v = Volume(m_unit, index);
    if (!v) return com::E_INVALIDARG;
    *success = Bool(apply(*v));
    return com::S_OK;
}

HRESULT SimStorageUISupport::RemoveVolume(std::int32_t index, std::int32_t zero, VARIANT_BOOL* result) {
    return LongOperation(
        "RemoveVolume", std::to_string(zero), index, true, result, [](json&) { return true; },
        [&](json& v) {
            int state = State(v);
            if (state == kStateActive || state == kStateCorrupt) {
                // Its recordings leave the database; the disk stays, empty.
                v["state"] = kStateEmpty;
                v["allocatedKB"] = 0;
                v["start"] = kSimNoStartTime;
                v["end"] = kSimNoEndTime;
                v["marker"] = 0;
            } else {
                // Excluded from use: the unit no longer lists it.
                json& vols = Section(m_unit)["volumes"];
                vols.erase(vols.begin() + index);
            }
            return true;
        });
}

HRESULT SimStorageUISupport::SetVolumeLabel(std::int32_t index, BSTR label, VARIANT_BOOL* success) {
    if (HRESULT hr = m_unit.Enter("SetVolumeLabel", std::to_string(index) + " " + ArgText(label), true);
        com::FAILED(hr))
        return hr;
    if (!success) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    json* v = Volume(m_unit, index);
    if (!v) return com::E_INVALIDARG;
    int state = State(*v);
    if (state == kStateMissing || state == kStateFailed) {
        *success = Bool(false);
        return com::S_OK;
    }
    std::string text = label ? cp::FromBstr(label) : std::string{};
    if (text.size() > kMaxLabel) text.resize(kMaxLabel);
    (*v)["label"] = cp::AnsiToUtf8(text);
    *success = Bool(true);
    return com::S_OK;
}

HRESULT SimStorageUISupport::GetVolumeLabel(std::int32_t index, BSTR* label, VARIANT_BOOL* valid) {
    return ReadVolume(m_unit, "GetVolumeLabel", index, label && valid, [&](json& v) {
        bool readable = State(v) != kStateMissing;
        *label = cp::ToBstr(readable ? cp::Utf8ToAnsi(TextField(v, "label")) : std::string{});
        *valid = Bool(readable);
    });
}

HRESULT SimStorageUISupport::InitializeVolume(std::int32_t index, std::int32_t allocationKB, std::int32_t zero,
                                              VARIANT_BOOL* success) {
    return LongOperation(
        "InitializeVolume", std::to_string(allocationKB) + " " + std::to_string(zero), index, true, success,
        [&](json& v) {
            int state = State(v);
            return (state == kStateEmpty || state == kStateNonQuellan || state == kStateOtherQuellan) &&
                   allocationKB > 0 && Field(v, "sizeKB", -1) >= allocationKB;
        },
        [&](json& v) {
            v["state"] = kStateActive;
            v["allocatedKB"] = allocationKB;
            v["start"] = kSimNoStartTime;
            v["end"] = kSimNoEndTime;
            v["errors"] = 0;
            return true;
        });
}

HRESULT SimStorageUISupport::ConvertVolume(std::int32_t index, std::int32_t zero, VARIANT_BOOL* success) {
    return LongOperation(
        "ConvertVolume", std::to_string(zero), index, true, success,
        [](json& v) { return State(v) == kStateOtherQuellan && Field(v, "convertible", 1) != 0; },
        [](json& v) {
            v["state"] = kStateActive;  // its recordings and allocation now belong to this database
            return true;
        });
}

HRESULT SimStorageUISupport::GetVolumePath(std::int32_t index, BSTR* path, VARIANT_BOOL* valid) {
    return ReadVolume(m_unit, "GetVolumePath", index, path && valid, [&](json& v) {
        std::string p = cp::Utf8ToAnsi(TextField(v, "path"));
        *path = cp::ToBstr(p);
        *valid = Bool(!p.empty());
    });
}

HRESULT SimStorageUISupport::RepairVolume(std::int32_t index, std::int32_t* errorCount, std::int32_t zero,
                                          VARIANT_BOOL* success) {
    return LongOperation(
        "RepairVolume", std::to_string(zero), index, errorCount != nullptr, success,
        [&](json& v) {
            *errorCount = 0;
            int state = State(v);
            return state != kStateMissing && state != kStateFailed;
        },
        [&](json& v) {
            // Media that cannot be read through: nothing is fixed.
            if (Field(v, "repairable", 1) == 0) return false;
            *errorCount = std::max<std::int32_t>(0, Field(v, "errors", 0));
            v["errors"] = 0;
            if (State(v) == kStateCorrupt) v["state"] = kStateActive;
            return true;
        });
}

HRESULT SimStorageUISupport::GetVolumeTimeRange(std::int32_t index, std::int32_t* start, std::int32_t* end,
                                                VARIANT_BOOL* flag) {
    return ReadVolume(m_unit, "GetVolumeTimeRange", index, start && end && flag, [&](json& v) {
        *start = Field(v, "start", kSimNoStartTime);
        *end = Field(v, "end", kSimNoEndTime);
        *flag = Bool(*start != kSimNoStartTime);
    });
}

HRESULT SimStorageUISupport::ShowHelp(std::int16_t topic) {
    return m_unit.Enter("ShowHelp", std::to_string(topic), false);
}

HRESULT SimStorageUISupport::CheckConvertAll(std::int32_t zero, VARIANT_BOOL* answer) {
    if (HRESULT hr = m_unit.Enter("CheckConvertAll", std::to_string(zero), false); com::FAILED(hr)) return hr;
    if (!answer) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *answer = Bool(Field(Section(m_unit), "convertAllRefused", 0) != 0);
    return com::S_OK;
}

HRESULT SimStorageUISupport::SetCallback(IStorageUISupportCallback* callback) {
    if (HRESULT hr = m_unit.Enter("SetCallback", callback ? "callback" : "null", false); com::FAILED(hr)) return hr;
    com::ComPtr<IStorageUISupportCallback> keep(callback);
    std::lock_guard l(m_callbackLock);
    std::swap(m_callback, keep);
    return com::S_OK;  // the previous callback is released after the lock
}

bool SimStorageUISupport::HasCallback() const {
    std::lock_guard l(m_callbackLock);
    return static_cast<bool>(m_callback);
}

}  // namespace host
