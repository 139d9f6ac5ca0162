#include "textstreams/TextIPPortSetupDlg.h"

#include <cstdio>
#include <cstdlib>

#include "cameras/CameraHelpers.h"
#include "util/Util.h"
#include "resources/Resources.h"

CTextIPPortSetupDlg::CTextIPPortSetupDlg(host::ISetupUISupport* support, host::ITextStreamsUISupport* text,
                                         bool keyboard, bool remote, ui::Window* parent)
    : COkCancelHelpDlg(IDD, parent, support, kHelpTopic), m_text(text), m_keyboard(keyboard), m_remote(remote) {}

bool CTextIPPortSetupDlg::OnInitDialog() {
    if (m_keyboard) PrepareOnScreenKeyboard(*this, IDC_KEYBOARD);
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(1042));
    long current = std::atol(m_strPort.c_str());
    if (current < 0) m_strPort.clear();

    std::string used;
    if (m_text) {
        com::BSTR list = nullptr;
        com::HRESULT hr = m_text->GetUsedTextIPPorts(&list);
        used = mirelle::TakeHostString(list);
        if (hr != com::S_OK) used.clear();
    }
    m_used = textstreams::BuildUsedIpPortList(used, static_cast<std::int32_t>(current));
    auto& combo = Item(IDC_USED_PORTS);
    combo.sorted = true;
    combo.ClearItems();
    for (const auto& e : m_used.entries) combo.AddItem(e.text, e.value);
    SetSelection(IDC_USED_PORTS, m_used.selected);
    if (m_strPort.empty()) m_strPort = textstreams::ProposeIpPort(m_used);

    std::string name, address;
    if (m_text) {
        com::BSTR n = nullptr, a = nullptr;
        com::HRESULT hr = m_text->GetNetworkIdentity(&n, &a);
        name = mirelle::TakeHostString(n);
        address = mirelle::TakeHostString(a);
        if (com::FAILED(hr)) name.clear(), address.clear();
    }
    SetItemText(IDC_NETWORK_NAME, name);
    SetItemText(IDC_IP_ADDRESS, address);
    SetItemText(IDC_PORT, m_strPort);
    return true;
}

bool CTextIPPortSetupDlg::Accept() {
    m_strPort = GetItemText(IDC_PORT);
    auto check = textstreams::CheckIpPortText(m_strPort, m_used);
    if (check == textstreams::eIpPortCheck::OutOfRange) {
        char text[256];
        std::snprintf(text, sizeof text, res::LoadString(140).c_str(), 0, 65535);
        WWMessageBox(this, text, "", 0);
        return false;
    }
    if (check == textstreams::eIpPortCheck::Used) {
        WWMessageBox(this, res::LoadString(141), "", 0);
        return false;
    }
    return true;
}

void CTextIPPortSetupDlg::OnCancelled() {
    m_strPort = GetItemText(IDC_PORT);
}
