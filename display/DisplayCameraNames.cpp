#include "display/DisplayCameraNames.h"

#include "foundation/DebugLog.h"
#include "platform/codepage/CodePage.h"

namespace display {

namespace {
struct Table {
    std::array<std::string, CDisplayCameraNames::kCameras> names;
    bool loaded = false;
};
// Display dialogs run on the thread of the ShowDisplay call only.
Table& TheTable() {
    static Table t;
    return t;
}
}  // namespace

void CDisplayCameraNames::Load(host::ISetupUISupport* setup) {
    Table& t = TheTable();
    if (t.loaded) return;
    t.loaded = true;
    if (!setup) return;
    for (int i = 0; i < kCameras; ++i) {
        com::BSTR name = nullptr;
        host::VARIANT_BOOL valid = 0;
        com::HRESULT hr = setup->GetCameraName(i, &name, &valid);
        if (com::FAILED(hr)) {
            LogMirelle("display: GetCameraName(" + std::to_string(i) + ") failed: " + com::HresultText(hr));
            valid = 0;
        }
        if (valid != 0) t.names[i] = cp::FromBstr(name);
        com::SysFreeString(name);
    }
}

void CDisplayCameraNames::Unload() { TheTable().loaded = false; }
bool CDisplayCameraNames::IsLoaded() { return TheTable().loaded; }

std::string CDisplayCameraNames::Name(int camera) {
    if (camera < 0 || camera >= kCameras) return {};
    return TheTable().names[camera];
}

void CDisplayCameraNames::ResetForTests() {
    Table& t = TheTable();
    t = Table{};
}

}  // namespace display
