#include "network/IPSourcePropPage.h"

#include <cstdio>
#include <vector>

#include "cameras/CameraHelpers.h"
#include "util/Util.h"
#include "network/IPConfigValues.h"
#include "network/IPDeviceTypeDlg.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"

namespace {

// The host's language for configuration data texts.
std::int32_t HostLanguage() { return network::LanguageCode(CWWRegistry::GetSystemLanguage()); }

constexpr const com::IID& kSetupIID = host::ISetupUISupport::IID_;

}  // namespace

CIPSourcePropPage::CIPSourcePropPage(host::ISetupUISupport* setup) : ui::PropertyPage(IDD), m_setup(setup) {}

bool CIPSourcePropPage::OnInitDialog() {
    auto& list = Item(IDC_SOURCES);
    list.columns.clear();
    const std::string widths = res::LoadString(IDS_COLUMN_WIDTHS);
    size_t pos = 0;
    for (int col = 0; col < kColumns; ++col) {
        long width = 0;
        CWWUtility::First_stol(widths, pos, width);
        (void)width;  // the model keeps no column widths of its own
        list.columns.push_back(res::LoadString(IDS_FIRST_HEADING + col));
    }
    Refresh();
    return true;
}

void CIPSourcePropPage::Refresh() {
    m_config = network::IPSourceConfig{};
    m_assignedCameras = 0;
    auto& list = Item(IDC_SOURCES);
    list.ClearItems();
    list.selection = -1;
    Changed(IDC_SOURCES);
    if (!m_setup) return;

    com::BSTR xml = nullptr;
    host::VARIANT_BOOL success = 0;
    const com::HRESULT hr = m_setup->GetIPSourceConfig(&xml, &success);
    const std::string text = mirelle::TakeHostString(xml);
    if (com::FAILED(hr) || success == 0) {
        WWMessageBox(this, res::LoadString(IDS_NO_SOURCES), "", ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    network::IPSourceConfig read;
    if (!network::ReadIPSourceConfig(text, read)) return;  // an unreadable text leaves the list empty
    m_config = std::move(read);
    m_assignedCameras = network::AssignedCameraMask(m_config.sources);
    for (int r = 0; r < static_cast<int>(m_config.sources.size()); ++r) {
        list.InsertItem(r, RowText(r, 0), r);
        for (int c = 1; c < kColumns; ++c) list.SetItemText(r, c, RowText(r, c));
    }
    Changed(IDC_SOURCES);
}

int CIPSourcePropPage::SelectedSource() const {
    const int sel = Item(IDC_SOURCES).selection;
    return sel >= 0 && sel < static_cast<int>(m_config.sources.size()) ? sel : -1;
}

bool CIPSourcePropPage::RunEditor(com::BSTR value1, com::BSTR value2, com::BSTR value3, com::Bstr& result) {
    const com::IID& iid = host::IIPDeviceConfigEditor::IID_;
    // Created, run and queried as every host object is: a failure raises E_POINTER.
    auto editor = com::CreateRunningObject<host::IIPDeviceConfigEditor>(host::CLSID_IPDeviceConfigEditor, "IPDeviceConfigEditor");
    com::ComPtr<CIPConfigValues> values = CIPConfigValues::Create();

    com::ThrowIfFailed(editor->SetConfigData(value1, value2, value3), iid);
    values->Add("CamAssign", "Integer", std::to_string(m_assignedCameras));
    std::int16_t confirmed = 0;
    com::ThrowIfFailed(editor->Edit(values.get(), &confirmed), iid);
    if (confirmed == 0) return false;
    com::ThrowIfFailed(editor->get_Result(result.out()), iid);
    return true;
}

void CIPSourcePropPage::OnAdd() {
    if (!m_setup) return;
    std::vector<std::string> names;
    for (const auto& d : m_config.devices) names.push_back(d.name);
    CIPDeviceTypeDlg dlg(m_setup, names, this);
    if (dlg.DoModal() != 1 || dlg.Selected() < 0) return;
    const network::IPDeviceType device = m_config.devices[static_cast<size_t>(dlg.Selected())];

    com::Bstr guid(cp::AnsiToWide(device.guid));
    com::Bstr v1, v2, v3;
    host::VARIANT_BOOL success = 0;
    const com::HRESULT hr = m_setup->GetIPDeviceData(guid.get(), HostLanguage(), v1.out(), v2.out(), v3.out(), &success);
    if (com::FAILED(hr) || success == 0) {
        WWMessageBox(this, res::FormatString(IDS_NO_CONFIG_DATA, device.name), "", ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    com::Bstr result;
    if (!RunEditor(v1.get(), v2.get(), v3.get(), result)) return;
    host::VARIANT_BOOL added = 0;
    com::ThrowIfFailed(m_setup->AddIPSource(guid.get(), result.get(), &added), kSetupIID);
    Refresh();
}

void CIPSourcePropPage::OnEdit() {
    const int row = SelectedSource();
    if (row < 0 || !m_setup) return;
    const network::IPSourceEntry source = m_config.sources[static_cast<size_t>(row)];
    com::Bstr v1, v2, v3;
    host::VARIANT_BOOL success = 0;
    const com::HRESULT hr = m_setup->GetIPSourceData(source.id, HostLanguage(), v1.out(), v2.out(), v3.out(), &success);
    if (com::FAILED(hr) || success == 0) {
        WWMessageBox(this, res::FormatString(IDS_NO_CONFIG_DATA, source.address), "", ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    com::Bstr result;
    if (!RunEditor(v1.get(), v2.get(), v3.get(), result)) return;
    host::VARIANT_BOOL updated = 0;
    com::ThrowIfFailed(m_setup->UpdateIPSource(source.id, result.get(), &updated), kSetupIID);
    Refresh();
}

void CIPSourcePropPage::OnDelete() {
    const int row = SelectedSource();
    if (row < 0 || !m_setup) return;
    const std::string format = res::LoadString(IDS_DELETE_QUESTION);
    const std::string type = RowText(row, 0), address = RowText(row, 1), cameras = RowText(row, 2);
    std::vector<char> text(format.size() + type.size() + address.size() + cameras.size() + 1);
    std::snprintf(text.data(), text.size(), format.c_str(), type.c_str(), address.c_str(), cameras.c_str());
    if (WWMessageBox(this, text.data(), "", ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES) return;
    host::VARIANT_BOOL deleted = 0;
    com::ThrowIfFailed(m_setup->DeleteIPSource(m_config.sources[static_cast<size_t>(row)].id, &deleted), kSetupIID);
    if (deleted != 0) Refresh();
}

void CIPSourcePropPage::OnClick(int id) {
    switch (id) {
        case IDC_ADD: OnAdd(); break;
        case IDC_EDIT: OnEdit(); break;
        case IDC_DELETE: OnDelete(); break;
        default: ui::PropertyPage::OnClick(id);
    }
}
