#include "audio/AudioAssociationPropPage.h"

#include <algorithm>
#include <cstdlib>

#include "component/HostSystem.h"
#include "foundation/DebugLog.h"
#include "platform/codepage/CodePage.h"

namespace audio {

CAudioAssociationPropPage::CAudioAssociationPropPage(CAudioAssocInfo& assoc, host::ISetupUISupport* setup)
    : ui::PropertyPage(IDD), m_assoc(assoc), m_setup(setup) {
    m_associations.fill(kNotAssociated);
    m_cameraCount = mirelle::HostCameraCountOr(m_cameraCount, "audio association page");
}

bool CAudioAssociationPropPage::OnInitDialog() {
    for (int i = 0; i < kCameras && m_setup; ++i) {
        com::BSTR name = nullptr;
        host::VARIANT_BOOL valid = 0;
        if (com::HRESULT hr = m_setup->GetCameraName(i, &name, &valid); com::FAILED(hr)) {
            LogMirelle("audio association page: GetCameraName(" + std::to_string(i) + ") failed: " +
                       com::HresultText(hr));
            valid = 0;
        }
        if (valid != 0) SetItemText(IDC_CAMERA1 + i, cp::FromBstr(name));
        com::SysFreeString(name);
    }

    std::int16_t* values = nullptr;
    const int count = m_assoc.GetAudioAssociations(&values);
    if (count > 0 && values) std::copy_n(values, std::min(count, kCameras), m_associations.begin());
    std::free(values);

    for (int i = 0; i < kCameras; ++i) SetTicked(IDC_CAMERA1 + i, m_associations[i] == kAssociated);
    for (int i = std::clamp<int>(m_cameraCount, 0, kCameras); i < kCameras; ++i) ShowItem(IDC_CAMERA1 + i, false);
    return true;
}

bool CAudioAssociationPropPage::OnApply() {
    if (HasWindow()) {
        for (int i = 0; i < kCameras; ++i) m_associations[i] = IsTicked(IDC_CAMERA1 + i) ? kAssociated : kNotAssociated;
        m_assoc.SetAudioAssociations(m_associations.data(), kCameras, 0);
    }
    return ui::PropertyPage::OnApply();
}

}  // namespace audio
