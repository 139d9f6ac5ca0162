#include "cameras/CameraRowsPage.h"

#include "cameras/CameraHelpers.h"
#include "component/HostSystem.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

namespace cameras {

using namespace res::cam;

CameraRowsPage::CameraRowsPage(int idd, host::ISetupUISupport* setup) : ui::PropertyPage(idd), m_setup(setup) {
    for (int i = 0; i < 16; ++i) m_names[i] = mirelle::HostCameraName(m_setup, i);
    m_cameraCount = mirelle::HostCameraCount();
}

int CameraRowsPage::Count() const { return ClampCameraCount(m_cameraCount); }

void CameraRowsPage::FillRows(std::initializer_list<int> choices, const Selections& selected) {
    const int count = Count();
    for (int i = 0; i < 16; ++i) {
        SetItemText(kRowLabel + i, m_names[i]);
        auto& combo = Item(kRowField + i);
        combo.ClearItems();
        int data = 0;
        for (int text : choices) combo.AddItem(res::LoadString(text), data++);
        if (i < count) SetSelection(kRowField + i, selected[i]);
    }
    HideRowsFrom(*this, count, false);
    if (count < 16) HideSecondHeadings(*this);
}

CameraRowsPage::Selections CameraRowsPage::Selected() {
    Selections sel{};
    for (int i = 0; i < 16; ++i) sel[i] = Item(kRowField + i).selection;
    return sel;
}

}  // namespace cameras
