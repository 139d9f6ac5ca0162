// The "Camera Associations" page of the audio sheet (template 210): the
// cameras whose recordings carry the unit's audio input, one check box per
// camera.  Applied into the association information on OK.
#pragma once
#include <array>
#include <cstdint>

#include "util/AudioInfo.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

namespace audio {

class CAudioAssociationPropPage : public ui::PropertyPage {
public:
    enum { IDD = 210, IDC_CAMERA1 = 1510 };
    static constexpr int kCameras = 16;
    static constexpr std::int16_t kAssociated = 0;
    static constexpr std::int16_t kNotAssociated = -1;

    CAudioAssociationPropPage(CAudioAssocInfo& assoc, host::ISetupUISupport* setup);

    bool OnApply() override;
    const std::array<std::int16_t, kCameras>& Associations() const { return m_associations; }
    std::int16_t CameraCount() const { return m_cameraCount; }

protected:
    bool OnInitDialog() override;

private:
    CAudioAssocInfo& m_assoc;
    host::ISetupUISupport* m_setup;
    // Cameras the library holds no value for start as not associated.
    std::array<std::int16_t, kCameras> m_associations;
    std::int16_t m_cameraCount = kCameras;
};

}  // namespace audio
