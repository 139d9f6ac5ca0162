#include "textstreams/TSCameraAssociationPropPage.h"

#include "cameras/CameraHelpers.h"
#include "component/HostSystem.h"
#include "textstreams/TextStreamListDlg.h"

CTSCameraAssociationPropPage::CTSCameraAssociationPropPage(CTextStreamListDlg& list, int index)
    : ui::PropertyPage(IDD), m_list(list), m_index(index) {}

bool CTSCameraAssociationPropPage::OnInitDialog() {
    // Cameras with a valid name take the boxes in order; one without a
    // name does not use up a box.
    int box = 0;
    for (int camera = 0; camera < kBoxes; ++camera) {
        bool valid = false;
        std::string name = mirelle::HostCameraName(m_list.SetupSupport(), camera, &valid);
        if (valid) SetItemText(IDC_CAMERA1 + box++, std::move(name));
    }
    if (m_index >= 0) {
        const auto mask = static_cast<std::uint32_t>(m_list.StoredRecord(m_index).CameraMask);
        for (int n = 0; n < kBoxes; ++n) SetTicked(IDC_CAMERA1 + n, (mask >> n) & 1u);
    }
    const int count = mirelle::HostCameraCount();
    for (int n = std::max(count, 0); n < kBoxes; ++n) ShowItem(IDC_CAMERA1 + n, false);
    return true;
}

std::int32_t CTSCameraAssociationPropPage::CheckedMask() const {
    std::uint32_t mask = 0;
    for (int n = 0; n < kBoxes; ++n)
        if (IsTicked(IDC_CAMERA1 + n)) mask |= 1u << n;
    return static_cast<std::int32_t>(mask);
}

bool CTSCameraAssociationPropPage::OnApply() {
    if (!HasWindow()) return true;
    textstreams::TextStreamRecord partial;
    partial.CameraMask = CheckedMask();
    m_list.Merge(partial);
    SetModified(false);
    return true;
}
