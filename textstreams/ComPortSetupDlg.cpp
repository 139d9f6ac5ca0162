#include "textstreams/ComPortSetupDlg.h"

#include <cstdlib>

#include "cameras/CameraHelpers.h"
#include "util/Util.h"
#include "resources/Resources.h"
#include "textstreams/TextStreamPorts.h"

namespace {
constexpr int kParityStrings[] = {1045, 1046, 1043, 1044, 1047};
constexpr int kFlowStrings[] = {1048, 1049, 1050};
constexpr int kUnassigned = 1054;
}  // namespace

CComPortSetupDlg::CComPortSetupDlg(host::ISetupUISupport* support, host::ITextStreamsUISupport* text, bool keyboard,
                                   bool remote, bool editOperation, ui::Window* parent)
    : COkCancelHelpDlg(IDD, parent, support, kHelpTopic), m_text(text), m_keyboard(keyboard), m_remote(remote),
      m_editOperation(editOperation) {
    m_settings = {-1, -1, -1, -1, -1, -1};
}

void CComPortSetupDlg::FillPorts() {
    auto& ports = Item(IDC_PORT);
    ports.ClearItems();
    if (!m_text) return;
    com::BSTR list = nullptr;
    com::HRESULT hr = m_text->GetAvailableComPorts(&list);
    std::string text = mirelle::TakeHostString(list);
    if (hr != com::S_OK) return;
    auto built = textstreams::BuildComPortList(text, m_settings.portId, res::LoadString(kUnassigned));
    for (const auto& e : built.entries) ports.AddItem(e.text, e.value);
    SetSelection(IDC_PORT, built.selected);
}

bool CComPortSetupDlg::OnInitDialog() {
    if (m_keyboard) PrepareOnScreenKeyboard(*this, IDC_KEYBOARD);
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(1042));
    FillPorts();
    auto fill = [&](int id, const std::vector<std::string>& texts, int selected) {
        auto& c = Item(id);
        c.ClearItems();
        for (const auto& t : texts) c.AddItem(t);
        SetSelection(id, selected);
    };
    std::vector<std::string> bauds;
    for (auto b : textstreams::BaudRates()) bauds.push_back(std::to_string(b));
    fill(IDC_BAUD, bauds, 3);  // 1200
    fill(IDC_DATA_BITS, {"7", "8"}, 1);
    std::vector<std::string> parity, flow;
    for (int s : kParityStrings) parity.push_back(res::LoadString(s));
    for (int s : kFlowStrings) flow.push_back(res::LoadString(s));
    fill(IDC_PARITY, parity, 0);
    fill(IDC_STOP_BITS, {"1", "1.5", "2"}, 0);
    fill(IDC_FLOW, flow, 2);
    if (m_editOperation) {
        auto& ports = Item(IDC_PORT);
        for (int i = 0; i < ports.ItemCount(); ++i)
            if (ports.ItemData(i) == m_settings.portId) SetSelection(IDC_PORT, i);
        SelectByText(IDC_BAUD, m_settings.baudRate);
        SelectByText(IDC_DATA_BITS, m_settings.dataBits);
        SelectByPosition(IDC_PARITY, m_settings.parity);
        SelectByPosition(IDC_STOP_BITS, m_settings.stopBits);
        SelectByPosition(IDC_FLOW, m_settings.flowControl);
    }
    return true;
}

void CComPortSetupDlg::SelectByText(int id, std::int32_t number) {
    int i = Item(id).FindItem(std::to_string(number));
    if (i >= 0) SetSelection(id, i);
}

void CComPortSetupDlg::SelectByPosition(int id, std::int32_t position) {
    if (position >= 0 && position < Item(id).ItemCount()) SetSelection(id, position);
}

std::int32_t CComPortSetupDlg::SelectedNumber(int id) const {
    const auto& c = Item(id);
    if (c.selection < 0) return -1;
    return static_cast<std::int32_t>(std::atol(c.ItemText(c.selection).c_str()));
}

bool CComPortSetupDlg::Accept() {
    const auto& port = Item(IDC_PORT);
    m_settings.portId = port.selection < 0 ? -1 : static_cast<std::int16_t>(port.ItemData(port.selection));
    m_settings.baudRate = SelectedNumber(IDC_BAUD);
    m_settings.dataBits = SelectedNumber(IDC_DATA_BITS);
    m_settings.parity = Item(IDC_PARITY).selection;
    m_settings.stopBits = Item(IDC_STOP_BITS).selection;
    m_settings.flowControl = Item(IDC_FLOW).selection;
    return true;
}
