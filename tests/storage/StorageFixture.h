// A unit with one volume in every state, short long-operations, and helpers
// to look at the storage dialog.
#pragma once
#include <string>

#include "simulator/SimStorage.h"
#include "storage/StorageDlg.h"
#include "tests/support/Harness.h"

namespace storage_tests {

constexpr std::int32_t kT1 = 1714550400;
constexpr std::int32_t kT2 = 1717243199;

inline nlohmann::json StorageUnit(int operationMs = 20, int steps = 5, int threads = 2) {
    using nlohmann::json;
    json vols = json::array({
        {{"path", "D:\\"}, {"label", "VIDEO1"}, {"state", 0}, {"marker", 1}, {"sizeKB", 1048576},
         {"allocatedKB", 524288}, {"start", kT1}, {"end", kT2}},
        {{"path", "E:\\"}, {"label", "NEWDISK"}, {"state", 1}, {"sizeKB", 2097152}, {"allocatedKB", 0}},
        {{"path", "F:\\"}, {"label", "PHOTOS"}, {"state", 2}, {"sizeKB", 1000}, {"allocatedKB", 0}},
        {{"path", "G:\\"}, {"label", "STORE12"}, {"state", 3}, {"sizeKB", 4194304}, {"allocatedKB", 1048576},
         {"start", kT1}, {"end", 115200}},
        {{"path", "H:\\"}, {"label", "GONE"}, {"state", 4}},
        {{"path", "I:\\"}, {"label", "DEAD"}, {"state", 5}, {"sizeKB", 1048576}, {"allocatedKB", -1}},
        {{"path", "J:\\"}, {"label", "VIDEO3"}, {"state", 6}, {"sizeKB", 1048576}, {"allocatedKB", 1048576},
         {"start", kT1}, {"end", kT2}, {"errors", 2}},
    });
    return {{"storage",
             {{"operationMs", operationMs}, {"progressSteps", steps}, {"progressThreads", threads}, {"volumes", vols}}}};
}

class StorageHarness : public testing_support::Harness {
protected:
    nlohmann::json UnitData() override { return StorageUnit(); }

    host::SimStorageUISupport& Storage() { return static_cast<host::SimStorageUISupport&>(*unit->StorageUISupport()); }
    nlohmann::json& Volumes() { return unit->Data()["storage"]["volumes"]; }
    int State(int i) { return Volumes()[i]["state"].get<int>(); }

    static CStorageDlg& Dlg(ui::Dialog& d) { return dynamic_cast<CStorageDlg&>(d); }
    static std::string Cell(ui::Dialog& d, int row, int col) { return d.Item(CStorageDlg::IDC_VOLUMES).ItemText(row, col); }
    static bool Enabled(ui::Dialog& d, int id) { return d.Item(id).enabled; }
};

}  // namespace storage_tests
