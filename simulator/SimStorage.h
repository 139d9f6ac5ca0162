// The simulated unit's storage: recording volumes kept in the unit data under
// "storage" and long volume operations that take a configurable time and
// report their progress through the component's callback from threads of
// their own, as the unit's disk manager does.
//
// Unit data:
//   "storage": {
//     "operationMs": 1500,      duration of each long operation
//     "progressSteps": 20,      progress positions reported per operation
//     "progressThreads": 2,     threads of the unit that share the work
//     "convertAllRefused": 0,   answer of CheckConvertAll (non-zero: refuse)
//     "volumes": [ {"path": "D:\\", "label": "VIDEO1", "state": 0,
//                   "marker": 0, "sizeKB": 488386584, "allocatedKB": 463967254,
//                   "start": 1700000000, "end": 1712345678,
//                   "errors": 0, "repairable": 1, "convertible": 1}, ... ] }
//
// Each long operation (RemoveVolume, InitializeVolume, ConvertVolume,
// RepairVolume) enters one recorded step per progress position, named after
// the operation with "Step" appended ("InitializeVolumeStep"), so a failure
// injected with FailCall on that name stops the operation mid-way with that
// result and leaves the volume as it was.
#pragma once
#include <mutex>

#include "simulator/SimulatedUnit.h"

namespace host {

// The values that mean "no such time" in a volume's time range.
constexpr std::int32_t kSimNoStartTime = 2085724800;
constexpr std::int32_t kSimNoEndTime = 115200;

class SimStorageUISupport final : public SimObject<IStorageUISupport> {
public:
    using SimObject::SimObject;
    ~SimStorageUISupport() override;

    HRESULT GetVolumeCount(std::int32_t* count) override;
    HRESULT GetVolumeStatus(std::int32_t index, VARIANT_BOOL* marker, std::int32_t* state) override;
    HRESULT GetVolumeSize(std::int32_t index, std::int32_t* sizeKB) override;
    HRESULT GetVolumeAllocation(std::int32_t index, std::int32_t* allocatedKB) override;
    HRESULT RemoveVolume(std::int32_t index, std::int32_t zero, VARIANT_BOOL* result) override;
    HRESULT SetVolumeLabel(std::int32_t index, BSTR label, VARIANT_BOOL* success) override;
    HRESULT GetVolumeLabel(std::int32_t index, BSTR* label, VARIANT_BOOL* valid) override;
    HRESULT InitializeVolume(std::int32_t index, std::int32_t allocationKB, std::int32_t zero,
                             VARIANT_BOOL* success) override;
    HRESULT ConvertVolume(std::int32_t index, std::int32_t zero, VARIANT_BOOL* success) override;
    HRESULT GetVolumePath(std::int32_t index, BSTR* path, VARIANT_BOOL* valid) override;
    HRESULT RepairVolume(std::int32_t index, std::int32_t* errorCount, std::int32_t zero,
                         VARIANT_BOOL* success) override;
    HRESULT GetVolumeTimeRange(std::int32_t index, std::int32_t* start, std::int32_t* end,
                               VARIANT_BOOL* flag) override;
    HRESULT ShowHelp(std::int16_t topic) override;
    HRESULT CheckConvertAll(std::int32_t zero, VARIANT_BOOL* answer) override;
    HRESULT SetCallback(IStorageUISupportCallback* callback) override;

    // The callback now held (tests).
    bool HasCallback() const;

private:
    // Runs the progress of a long operation on the unit's own threads; answers
    // the first failure injected into one of its steps, S_OK otherwise.
    HRESULT RunWithProgress(const std::string& operation, std::int32_t index);
    // The shape of every long volume operation: the call is recorded,
    // `possible` judges volume `index` under the data lock (false: the host
    // answers "not done" without any progress), the progress runs unlocked,
    // then `apply` changes the volume under the lock and gives the answer.
    template <class Possible, class Apply>
    HRESULT LongOperation(const char* call, const std::string& extraArgs, std::int32_t index, bool outsGiven,
                          VARIANT_BOOL* success, Possible&& possible, Apply&& apply);

    mutable std::mutex m_callbackLock;
    com::ComPtr<IStorageUISupportCallback> m_callback;
};

}  // namespace host
