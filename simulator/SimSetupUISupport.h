#pragma once
#include "simulator/SimulatedUnit.h"

namespace host {

// ISetupUISupport over the unit data.  Each setup's operations are
// implemented in a source file of their own (SimSetupUISupport_<setup>.cpp).
class SimSetupUISupport final : public SimObject<ISetupUISupport> {
public:
    using SimObject::SimObject;

    // ---- every setup (SimSetupUISupport.cpp) ----
    HRESULT ShowHelp(std::int16_t topic) override;
    HRESULT GetCameraName(std::int32_t index, BSTR* name, VARIANT_BOOL* valid) override;
    HRESULT GetLocalMode(std::int16_t* localMode) override;

    // The name of camera index, as both name operations answer it.
    HRESULT CameraName(const char* call, std::int32_t index, BSTR* name, VARIANT_BOOL* valid);

    // ---- camera setup (SimSetupUISupport_cameras.cpp) ----
    HRESULT GetCameraSetupAccess(std::int32_t* access, std::int32_t* reserved) override;
    HRESULT GetCovertSetupAccess(std::int32_t* access, std::int32_t* reserved) override;
    HRESULT GetCameraNameForEdit(std::int32_t index, BSTR* name, VARIANT_BOOL* valid) override;
    HRESULT SetCameraNames(const char* block, std::int32_t count, std::int32_t a, std::int32_t b,
                           std::int32_t* out1, std::int32_t* out2) override;
    HRESULT GetTerminationMask(std::int32_t* mask, std::int32_t* reserved) override;
    HRESULT SetTerminationMask(std::int32_t mask, std::int32_t zero, std::int32_t* reserved) override;
    HRESULT GetCovertMask(std::int32_t* mask, std::int32_t* reserved) override;
    HRESULT SetCovertMask(std::int32_t mask, std::int32_t zero, std::int32_t* reserved) override;
    HRESULT GetGainModes(std::int32_t* modes, std::int16_t count, std::int32_t* reserved) override;
    HRESULT SetGainModes(const std::int32_t* modes, std::int16_t count, const std::int32_t* changedMask,
                         std::int32_t zero, std::int32_t* reserved) override;
    HRESULT GetPTZTriggerListXml(BSTR* xml, std::int32_t* reserved) override;
    HRESULT SetPTZTriggerListXml(BSTR xml, std::int32_t* reserved) override;

    // ---- display setup (SimSetupUISupport_display.cpp) ----
    HRESULT GetCameraEnableMask(std::int32_t* mask) override;
    HRESULT GetCameraAllowMask(std::int32_t* mask) override;

    // ---- audio setup (SimSetupUISupport_audio.cpp) ----
    HRESULT SetLiveMicRecordLevel(std::int32_t level, std::int32_t zero) override;
    HRESULT SetLiveLineRecordLevel(std::int32_t level, std::int32_t zero) override;
    HRESULT SetLiveRecordMode(std::int32_t mode, std::int32_t micMute, std::int32_t lineMute,
                              std::int32_t zero) override;
    HRESULT SetLiveMicBoost(std::int32_t on, std::int32_t zero) override;
    HRESULT SetLiveMicVolume(std::int32_t volume, std::int32_t zero) override;
    HRESULT SetLiveLineVolume(std::int32_t volume, std::int32_t zero) override;
    HRESULT SetLivePlayVolume(std::int32_t volume, std::int32_t zero) override;
    HRESULT SetLiveMicMute(std::int32_t muted, std::int32_t zero) override;
    HRESULT SetLiveLineMute(std::int32_t muted, std::int32_t zero) override;
    HRESULT SetLivePlayMute(std::int32_t muted, std::int32_t zero) override;

    // ---- IP source setup (SimSetupUISupport_network.cpp) ----
    HRESULT GetIPSourceConfig(BSTR* xml, VARIANT_BOOL* success) override;
    HRESULT GetIPSourceData(std::int32_t id, std::int32_t language, BSTR* value1, BSTR* value2, BSTR* value3,
                            VARIANT_BOOL* success) override;
    HRESULT GetIPDeviceData(BSTR guid, std::int32_t language, BSTR* value1, BSTR* value2, BSTR* value3,
                            VARIANT_BOOL* success) override;
    HRESULT UpdateIPSource(std::int32_t id, BSTR result, VARIANT_BOOL* success) override;
    HRESULT AddIPSource(BSTR guid, BSTR result, VARIANT_BOOL* success) override;
    HRESULT DeleteIPSource(std::int32_t id, VARIANT_BOOL* success) override;

    // ---- text stream setup (SimSetupUISupport_textstreams.cpp) ----
};

}  // namespace host
