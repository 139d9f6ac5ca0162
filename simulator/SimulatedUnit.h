// A simulated Quellan unit: every host support interface and the host system
// object, served from a JSON unit file.
//
// Every host call is recorded in order (name, arguments, whether it changes
// the unit).  A named call can be told to fail with an HRESULT.  The changed
// unit can be written back to its file.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "interfaces/HostInterfaces.h"
#include "platform/com/HostObject.h"

namespace host {

class SimSetupUISupport;
class SimCameraControlUISupport;
class SimRmtResMgrUISupport;
class SimStorageUISupport;
class SimTextStreamsUISupport;
class SimTextExceptionsUISupport;

class UnitFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HostCall {
    std::string name;
    std::string args;
    bool changes = false;
    // Set when the unit did not carry the call out: injected = a failure made
    // with FailCall fired (hr is the failure), otherwise the unit itself
    // refused it (Refuse: hr is its answer, S_FALSE or a failure).
    HRESULT hr = com::S_OK;
    bool injected = false;
};

class SimulatedUnit {
public:
    // A unit with the defaults of a 16-camera unit, overlaid with data.
    explicit SimulatedUnit(const nlohmann::json& data = nlohmann::json::object());
    ~SimulatedUnit();
    SimulatedUnit(const SimulatedUnit&) = delete;
    SimulatedUnit& operator=(const SimulatedUnit&) = delete;

    // UnitFileError with a clear message for a missing or malformed file.
    static std::unique_ptr<SimulatedUnit> Load(const std::string& path);
    // Writes the unit as the file it came from edited by what changed since
    // (or since the last Save): its key order and layout of untouched values
    // are kept, and defaults the unit filled in are not added.
    void Save(const std::string& path);
    std::string Path() const { return m_path; }
    // Whether the data differs from what was loaded or last saved.
    bool HasUnsavedChanges() const;

    // The unit's data.  Calls made on other threads (the storage worker)
    // take DataMutex() around their access.
    std::recursive_mutex& DataMutex() const { return m_dataLock; }
    nlohmann::json& Data() { return m_data; }
    const nlohmann::json& Data() const { return m_data; }

    // Records the call and answers the failure injected for it (S_OK if none).
    HRESULT Enter(const std::string& name, const std::string& args, bool changes);
    // The unit declines the call last entered on this thread: reports it to
    // onRefused and returns hr (S_FALSE or a failure) for the caller to answer.
    HRESULT Refuse(HRESULT hr);

    // The shape of a query that changes nothing: the call is recorded (and may
    // be failed), out pointers are checked, and `read` answers from the data
    // under the data lock.
    template <class Read>
    HRESULT Query(const std::string& name, const std::string& args, bool outsGiven, Read&& read) {
        if (HRESULT hr = Enter(name, args, false); com::FAILED(hr)) return hr;
        if (!outsGiven) return com::E_POINTER;
        std::lock_guard l(DataMutex());
        return read(Data());
    }
    // Make the named call fail with hr: every time (nth = 0) or only at its
    // nth occurrence from now (1-based).  Failures at different occurrences
    // of one call add up; one at an occurrence already given replaces it.  A
    // failure at the nth call wins over one on every call.  hr = S_OK removes
    // the call's failures.
    void FailCall(const std::string& name, HRESULT hr, int nth = 0);
    void ClearFailures();
    std::vector<HostCall> Calls() const;
    std::vector<std::string> CallNames() const;
    void ClearCalls();
    // Called for every recorded call (on the calling thread), and for each
    // call the unit refused after it was recorded.
    std::function<void(const HostCall&)> onCall;
    std::function<void(const HostCall&)> onRefused;
    // The device configuration editor's window, when a front end has one:
    // given the values ("name:type=value" separated by blanks) and the
    // unit file's proposed result, answers whether the operator confirmed
    // and leaves the result (as "address=...;cameras=...") in result.
    // Unset, the unit file's "ipSources"."editor" answers.
    std::function<bool(const std::string& values, std::string& result)> onEditDevice;

    // Make creation of a host object class fail (HostSystemObject and the
    // others created by class identifier): the creation answers hr.
    void FailCreate(const com::CLSID& clsid, HRESULT hr);
    // The classes the unit was asked to create so far (each once, in order).
    std::vector<com::CLSID> ClassesAskedFor() const;

    ISetupUISupport* SetupUISupport();
    ICameraControlUISupport* CameraControlUISupport();
    IRmtResMgrUISupport* RmtResMgrUISupport();
    IStorageUISupport* StorageUISupport();
    ITextStreamsUISupport* TextStreamsUISupport();
    ITextExceptionsUISupport* TextExceptionsUISupport();

    // Classes that the unit serves by class identifier; a subsystem adds its
    // own with AddHostClass from its Register...HostClasses function.
    using HostClassCreator = std::function<com::IUnknown*(SimulatedUnit&)>;
    void AddHostClass(const com::CLSID& clsid, HostClassCreator create);

    // Live references held on the unit's interfaces (leak checks).
    long OutstandingReferences() const;

    // Data helpers.
    int CameraCount() const;

private:
    HRESULT CreateObject(const com::CLSID& clsid, const com::IID& iid, void** ppv);

    nlohmann::json m_data;
    // The file as read (its key order kept) and the data it was read into:
    // Save writes the file edited by the difference of m_data from m_saved.
    nlohmann::ordered_json m_file;
    nlohmann::json m_saved;
    std::string m_path;
    mutable std::mutex m_lock;
    mutable std::recursive_mutex m_dataLock;
    std::vector<HostCall> m_calls;
    struct Failure {
        HRESULT hr;
        int nth;
    };
    std::map<std::string, std::vector<Failure>> m_failures;
    std::map<std::thread::id, HostCall> m_lastCall;
    std::map<std::string, int> m_counts;
    std::map<com::CLSID, HRESULT> m_createFailures;
    std::vector<com::CLSID> m_asked;
    std::map<com::CLSID, HostClassCreator> m_classes;
    std::string m_providerName;

    std::unique_ptr<SimSetupUISupport> m_setup;
    std::unique_ptr<SimCameraControlUISupport> m_camera;
    std::unique_ptr<SimRmtResMgrUISupport> m_rmt;
    std::unique_ptr<SimStorageUISupport> m_storage;
    std::unique_ptr<SimTextStreamsUISupport> m_text;
    std::unique_ptr<SimTextExceptionsUISupport> m_exceptions;
};

// Per-subsystem registration of host classes and default unit data.
void RegisterCameraHostClasses(SimulatedUnit& unit);
void RegisterTextStreamHostClasses(SimulatedUnit& unit);
void RegisterNetworkHostClasses(SimulatedUnit& unit);

// Reference-counted object owned by the unit: the count is tracked but the
// unit, not the last Release, ends its life.
template <class I>
class SimObject : public I {
public:
    explicit SimObject(SimulatedUnit& unit) : m_unit(unit) {}
    virtual ~SimObject() = default;
    HRESULT QueryInterface(const com::IID& iid, void** ppv) override {
        if (!ppv) return com::E_POINTER;
        if (iid == com::IUnknown::IID_ || iid == I::IID_) {
            *ppv = static_cast<I*>(this);
            AddRef();
            return com::S_OK;
        }
        *ppv = nullptr;
        return com::E_NOINTERFACE;
    }
    com::ULONG AddRef() override { return ++m_refs; }
    com::ULONG Release() override { return --m_refs; }
    long Refs() const { return m_refs.load(); }

protected:
    SimulatedUnit& m_unit;
    std::atomic<long> m_refs{0};
};

// A single-interface object with its own life: the last Release deletes it
// (the helper a host of its own uses too).
template <class I>
using HostObject = com::HostObject<I>;

// A host object that the unit creates by class identifier and that answers
// from the unit.
template <class I>
class SimHostObject : public HostObject<I> {
public:
    explicit SimHostObject(SimulatedUnit& unit) : m_unit(unit) {}

protected:
    SimulatedUnit& m_unit;
};

// Argument text helpers for the call record.
std::string ArgText(BSTR s);
std::string Quote(const std::string& s);

}  // namespace host
