#include "cameras/CameraPropPage.h"

#include <algorithm>

#include "cameras/CameraControlXml.h"
#include "cameras/CameraHelpers.h"
#include "component/HostSystem.h"
#include "resources/CameraIds.h"

using namespace res::cam;

CCameraPropPage::CCameraPropPage(host::ISetupUISupport* setup) : ui::PropertyPage(IDD), m_setup(setup) {
    for (int i = 0; i < 16; ++i) {
        com::BSTR name = nullptr;
        host::VARIANT_BOOL valid = 0;
        // The result code is not examined: the flag alone says whether a name came.
        if (m_setup) m_setup->GetCameraNameForEdit(i, &name, &valid);
        std::string text = mirelle::TakeHostString(name);
        // The names travel NUL-separated: a name is taken up to its first
        // NUL, so that it cannot shift the names after it.
        text.resize(std::min(text.size(), text.find('\0')));
        if (valid != 0) m_names[i] = text;
        m_loadedNames[i] = m_names[i];
    }
    m_cameraCount = mirelle::HostCameraCount();
}

bool CCameraPropPage::OnInitDialog() {
    m_firstName.Bind(*this, kRowField);
    for (int i = 0; i < 16; ++i) SetItemText(kRowField + i, m_names[i]);
    // A count of 0 or less hides every row.
    if (m_cameraCount < 16) cameras::HideRowsFrom(*this, m_cameraCount, false);
    return true;
}

bool CCameraPropPage::OnSetActive() {
    if (HasWindow()) {
        SetFocus(kRowField);
        m_firstName.SelectAll();
    }
    return true;
}

void CCameraPropPage::OnTextChanged(int id) {
    if (id >= kRowField && id < kRowField + 16) SetModified(true);
}

std::string CCameraPropPage::BuildNameBlock(const Names& names) {
    std::string block;
    block.reserve(kBlockSize);
    for (const auto& n : names) {
        block += n;
        block += '\0';
    }
    return block;
}

bool CCameraPropPage::NamesChanged(const Names& current, const Names& loaded) {
    for (size_t i = 0; i < current.size(); ++i)
        if (!mirelle::EqualsNoCase(current[i], loaded[i])) return true;
    return false;
}

bool CCameraPropPage::OnApply() {
    if (HasWindow())
        for (int i = 0; i < 16; ++i) m_names[i] = GetItemText(kRowField + i);
    const std::string block = BuildNameBlock(m_names);
    if (NamesChanged(m_names, m_loadedNames) && m_setup) {
        std::int32_t out1 = 0, out2 = 0;
        // The results are the host's concern: the page applies in every case.
        m_setup->SetCameraNames(block.c_str(), 16, 1, 0, &out1, &out2);
    }
    SetModified(false);
    return true;
}
