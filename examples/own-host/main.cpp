// A host with a unit of its own: four cameras, the support interface the
// display setup uses and the host system object, each a com::HostObject.  It
// runs the display setup headless with a scripted operator (the 2 x 2 layout's
// first pane shows the last camera, OK) and prints what came back.
#include <cstdio>
#include <cstring>
#include <string>

#include "interfaces/HostInterfaces.h"
#include "interfaces/ISetupUI.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/HostObject.h"
#include "platform/ui/Script.h"
#include "util/DisplayInfo.h"

namespace {

using com::HRESULT;
using host::BSTR;
using host::VARIANT_BOOL;

constexpr VARIANT_BOOL kTrue = -1, kFalse = 0;
const char* const kCameras[] = {"Entrance", "Till 1", "Till 2", "Car park"};
constexpr int kCameraCount = 4;

// The unit as the component sees it: version, features, camera count.
class SystemObject final : public com::HostObject<host::IHostSystemObject> {
public:
    HRESULT GetVersion(double* version) override {
        if (!version) return com::E_POINTER;
        *version = 3.22;
        return com::S_OK;
    }
    HRESULT IsFeatureEnabled(std::int32_t feature, VARIANT_BOOL* enabled) override {
        if (!enabled) return com::E_POINTER;
        *enabled = feature == 34 ? kTrue : kFalse;  // playback to the monitor; no call monitor (22)
        return com::S_OK;
    }
    HRESULT GetCameraCount(std::int16_t* count) override {
        if (!count) return com::E_POINTER;
        *count = kCameraCount;
        return com::S_OK;
    }
};

// The calls of the display setup answered; the others are not part of this
// unit (E_NOTIMPL), which the operations that need them report.
class Support final : public com::HostObject<host::ISetupUISupport> {
public:
    HRESULT ShowHelp(std::int16_t topic) override {
        std::printf("help topic %d\n", topic);
        return com::S_OK;
    }
    HRESULT GetCameraName(std::int32_t index, BSTR* name, VARIANT_BOOL* valid) override {
        if (!name || !valid) return com::E_POINTER;
        *name = nullptr;
        *valid = kFalse;
        if (index < 0 || index >= kCameraCount) return com::S_OK;
        *name = cp::ToBstr(kCameras[index]);
        *valid = kTrue;
        return com::S_OK;
    }
    HRESULT GetLocalMode(std::int16_t* localMode) override {
        if (!localMode) return com::E_POINTER;
        *localMode = 1;
        return com::S_OK;
    }
    HRESULT GetCameraEnableMask(std::int32_t* mask) override {
        if (!mask) return com::E_POINTER;
        *mask = (1 << kCameraCount) - 1;
        return com::S_OK;
    }
    HRESULT GetCameraAllowMask(std::int32_t* mask) override { return GetCameraEnableMask(mask); }

    HRESULT GetCameraSetupAccess(std::int32_t*, std::int32_t*) override { return com::E_NOTIMPL; }
    HRESULT GetCovertSetupAccess(std::int32_t*, std::int32_t*) override { return com::E_NOTIMPL; }
    HRESULT GetCameraNameForEdit(std::int32_t, BSTR*, VARIANT_BOOL*) override { return com::E_NOTIMPL; }
    HRESULT SetCameraNames(const char*, std::int32_t, std::int32_t, std::int32_t, std::int32_t*,
                           std::int32_t*) override {
        return com::E_NOTIMPL;
    }
    HRESULT GetTerminationMask(std::int32_t*, std::int32_t*) override { return com::E_NOTIMPL; }
    HRESULT SetTerminationMask(std::int32_t, std::int32_t, std::int32_t*) override { return com::E_NOTIMPL; }
    HRESULT GetCovertMask(std::int32_t*, std::int32_t*) override { return com::E_NOTIMPL; }
    HRESULT SetCovertMask(std::int32_t, std::int32_t, std::int32_t*) override { return com::E_NOTIMPL; }
    HRESULT GetGainModes(std::int32_t*, std::int16_t, std::int32_t*) override { return com::E_NOTIMPL; }
    HRESULT SetGainModes(const std::int32_t*, std::int16_t, const std::int32_t*, std::int32_t,
                         std::int32_t*) override {
        return com::E_NOTIMPL;
    }
    HRESULT GetPTZTriggerListXml(BSTR*, std::int32_t*) override { return com::E_NOTIMPL; }
    HRESULT SetPTZTriggerListXml(BSTR, std::int32_t*) override { return com::E_NOTIMPL; }
    HRESULT SetLiveMicRecordLevel(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
    HRESULT SetLiveLineRecordLevel(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
    HRESULT SetLiveRecordMode(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {
        return com::E_NOTIMPL;
    }
    HRESULT SetLiveMicBoost(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
    HRESULT SetLiveMicVolume(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
    HRESULT SetLiveLineVolume(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
    HRESULT SetLivePlayVolume(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
    HRESULT SetLiveMicMute(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
    HRESULT SetLiveLineMute(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
    HRESULT SetLivePlayMute(std::int32_t, std::int32_t) override { return com::E_NOTIMPL; }
    HRESULT GetIPSourceConfig(BSTR*, VARIANT_BOOL*) override { return com::E_NOTIMPL; }
    HRESULT GetIPSourceData(std::int32_t, std::int32_t, BSTR*, BSTR*, BSTR*, VARIANT_BOOL*) override {
        return com::E_NOTIMPL;
    }
    HRESULT GetIPDeviceData(BSTR, std::int32_t, BSTR*, BSTR*, BSTR*, VARIANT_BOOL*) override {
        return com::E_NOTIMPL;
    }
    HRESULT UpdateIPSource(std::int32_t, BSTR, VARIANT_BOOL*) override { return com::E_NOTIMPL; }
    HRESULT AddIPSource(BSTR, BSTR, VARIANT_BOOL*) override { return com::E_NOTIMPL; }
    HRESULT DeleteIPSource(std::int32_t, VARIANT_BOOL*) override { return com::E_NOTIMPL; }
};

}  // namespace

int main() {
    // The component creates the host system object by its class identifier:
    // this process serves that class.
    std::uint32_t cookie = 0;
    if (com::FAILED(com::RegisterHostClass<SystemObject>(host::CLSID_HostSystemObject, &cookie))) return 1;

    com::CLSID clsid = mirelle::CLSID_SetupUI;
    if (com::FAILED(com::CLSIDFromProgID("Mirelle.SetupUI", &clsid)) &&
        com::FAILED(com::CoRegisterModuleClasses(MIRELLE_MODULE))) {
        std::fprintf(stderr, "cannot load %s: %s\n", MIRELLE_MODULE, com::CoLastLoadError().c_str());
        return 1;
    }
    com::ComPtr<mirelle::ISetupUI> setupUI;
    HRESULT hr = com::CoCreateInstance(clsid, nullptr, mirelle::ISetupUI::IID_, setupUI.outVoid());
    if (com::FAILED(hr)) {
        std::fprintf(stderr, "cannot create SetupUI: %s\n", com::HresultText(hr).c_str());
        return 1;
    }

    // The operator: on the 2 x 2 page, the last camera (radio 1110 + 3) into the
    // first pane (row 0 of the pane list); OK.
    ui::DefaultScriptDriver().Queue(ui::ParseScript("page 2 x 2\nclick 1113\nselect 1103 0\nclick 1\n").actions);
    auto support = com::MakeHostObject<Support>();
    CDisplayInfo info;  // in/out: what the unit shows now; the setup writes it back
    std::int16_t result = -1;
    hr = setupUI->ShowDisplay(support.get(), 0, 0, reinterpret_cast<std::int32_t*>(&info), &result);
    std::printf("hr %s result %d first pane of 2 x 2: camera %d\n", com::HresultText(hr).c_str(), result,
                info.GetCameraAssignment(CDisplayInfo::e2x2, 0));

    setupUI.reset();
    support.reset();
    com::CoRevokeClassObject(cookie);
    com::CoFreeUnusedLibraries();
    return com::SUCCEEDED(hr) && result == 1 && info.GetCameraAssignment(CDisplayInfo::e2x2, 0) == 3 ? 0 : 1;
}
