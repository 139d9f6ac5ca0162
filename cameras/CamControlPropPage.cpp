#include "cameras/CamControlPropPage.h"

#include "cameras/CamControlSetupDlg.h"
#include "cameras/CameraHelpers.h"
#include "cameras/PTZTriggerDefinition.h"
#include "component/HostSystem.h"
#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

using namespace res::cam;
using cameras::CameraHandlerAssociation;

// The older-host read and save run their series of host calls synchronously
// inside the operator's action, so no other action reaches the sheet while
// they run: the model needs no disabled parent or wait cursor.

CCamControlPropPage::CCamControlPropPage(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl)
    : ui::PropertyPage(IDD), m_setup(setup), m_cameraControl(cameraControl) {
    {
        auto hostSystem = mirelle::ObtainHostSystemObject();
        com::ThrowIfFailed(hostSystem->GetVersion(&m_version), host::IHostSystemObject::IID_);
        std::int16_t count = 0;
        com::ThrowIfFailed(hostSystem->GetCameraCount(&count), host::IHostSystemObject::IID_);
        m_cameraCount = count > 16 ? 16 : count;
    }
    try {
        m_cameraControlObject =
            com::CreateRunningObject<host::IHostCameraControlObject>(host::CLSID_HostCameraControlObject, "HostCameraControlObject").detach();
    } catch (const com::ComError&) {
        m_cameraControlObject = nullptr;  // only older hosts need it; asked for when used
    }
    for (int i = 0; i < 16; ++i) m_names[i] = mirelle::HostCameraName(m_setup, i);
}

CCamControlPropPage::~CCamControlPropPage() {
    if (m_cameraControlObject) m_cameraControlObject->Release();
}

bool CCamControlPropPage::OnInitDialog() {
    for (int i = 0; i < 16; ++i) SetItemText(kRowLabel + i, m_names[i]);
    if (!IsOlderHost()) {
        com::BSTR xml = nullptr;
        if (m_cameraControl) m_cameraControl->GetCameraControlXml(&xml);
        m_xml = mirelle::TakeHostString(xml);
    } else {
        ReadOlderHostXml();
    }
    BuildHandlerList();
    m_associations = cameras::ReadCameraControlXml(m_xml);

    for (int i = 0; i < 16; ++i) {
        SetSelection(kRowField + i, 0);
        EnableItem(kRowButton + i, false);
    }
    for (const auto& a : m_associations) {
        const auto* h = FindHandlerByProgId(a.ProgramID);
        if (!h || a.CameraNumber < 0 || a.CameraNumber > 15) continue;
        SetSelection(kRowField + a.CameraNumber, Item(kRowField + a.CameraNumber).FindItem(h->DisplayName));
        EnableItem(kRowButton + a.CameraNumber, true);
    }
    if (m_cameraCount < 9) cameras::HideSecondHeadings(*this);
    cameras::HideRowsFrom(*this, m_cameraCount, true);
    return true;
}

void CCamControlPropPage::ReadOlderHostXml() {
    cameras::AssociationList list;
    for (int cam = 0; m_cameraControl && cam < 16; ++cam) {
        std::int32_t index = -1;
        if (com::FAILED(m_cameraControl->GetCameraHandler(cam, &index)) || index < 0) continue;
        com::BSTR name = nullptr, progId = nullptr;
        const com::HRESULT hrHandler = m_cameraControl->GetHandler(index, &name, &progId);
        mirelle::TakeHostString(name);
        const std::string prog = mirelle::TakeHostString(progId);
        if (hrHandler != com::S_OK) continue;
        std::int16_t address = -1, monitor = -1;
        com::BSTR port = nullptr;
        const com::HRESULT hrSettings = m_cameraControl->GetCameraSettings(cam, &address, &port, &monitor);
        const std::string p = mirelle::TakeHostString(port);
        if (com::FAILED(hrSettings)) continue;
        CameraHandlerAssociation a;
        a.CameraNumber = static_cast<std::int16_t>(cam);
        a.ProgramID = prog;
        a.CameraAddress = address;
        a.SerialPort = p;
        a.MonitorNum = monitor;
        list.push_back(std::move(a));
    }
    m_xml = cameras::WriteCameraControlXml(list);
}

void CCamControlPropPage::BuildHandlerList() {
    m_usbCctv = mirelle::HostFeatureEnabled(kUsbCctvFeature);
    m_handlers.clear();
    for (int i = 0; i < 16; ++i) {
        auto& combo = Item(kRowField + i);
        combo.ClearItems();
        combo.AddItem(res::LoadString(1023), -1);
    }
    std::int32_t count = 0;
    if (!m_cameraControl || com::FAILED(m_cameraControl->GetHandlerCount(&count))) count = 0;
    for (std::int32_t index = 0; index < count; ++index) {
        com::BSTR name = nullptr, progId = nullptr;
        const com::HRESULT hr = m_cameraControl->GetHandler(index, &name, &progId);
        cameras::CameraHandlerInfo info{index, mirelle::TakeHostString(name), mirelle::TakeHostString(progId)};
        if (hr != com::S_OK) continue;
        if (info.DisplayName == "USB CCTV" && !m_usbCctv) continue;
        for (int i = 0; i < 16; ++i) Item(kRowField + i).AddItem(info.DisplayName, index);
        m_handlers.push_back(std::move(info));
    }
    for (int i = 0; i < 16; ++i) Changed(kRowField + i);
}

CameraHandlerAssociation* CCamControlPropPage::FindAssociation(int camera) {
    for (auto& a : m_associations)
        if (a.CameraNumber == camera) return &a;
    return nullptr;
}

const cameras::CameraHandlerInfo* CCamControlPropPage::FindHandlerByProgId(const std::string& progId) const {
    for (const auto& h : m_handlers)
        if (mirelle::EqualsNoCase(h.ProgramID, progId)) return &h;
    return nullptr;
}

const cameras::CameraHandlerInfo* CCamControlPropPage::FindHandlerByIndex(std::intptr_t index) const {
    for (const auto& h : m_handlers)
        if (h.index == index) return &h;
    return nullptr;
}

void CCamControlPropPage::SelectPosition(int row, int position) {
    SetSelection(kRowField + row, position < 0 ? 0 : position);
}

void CCamControlPropPage::OnSelChange(int id) {
    if (id >= kRowField && id < kRowField + 16) OnHandlerChange(id - kRowField);
}

void CCamControlPropPage::OnClick(int id) {
    if (id >= kRowButton && id < kRowButton + 16) {
        OnSetup(id - kRowButton);
        return;
    }
    ui::PropertyPage::OnClick(id);
}

bool CCamControlPropPage::CameraIsPTZTriggerCamera(int camera) {
    if (!m_setup) return false;
    com::BSTR xml = nullptr;
    std::int32_t reserved = 0;
    if (com::FAILED(m_setup->GetPTZTriggerListXml(&xml, &reserved))) {
        mirelle::TakeHostString(xml);
        return false;
    }
    cameras::PTZTriggerListDocument doc;
    if (!doc.Read(mirelle::TakeHostString(xml))) return false;  // unreadable: no warning
    for (const auto& r : doc.Records())
        if (r->PTZCameraID.value == camera) return true;
    return false;
}

bool CCamControlPropPage::HandlerDefaults(const std::string& progId, std::string& port, std::int16_t& monitor) {
    com::Bstr prog = mirelle::HostString(progId);
    com::BSTR p = nullptr;
    std::int16_t m = -1;
    bool given = false;
    if (!IsOlderHost()) {
        const com::HRESULT hr = m_cameraControl ? m_cameraControl->GetHandlerDefaults(prog.get(), &p, &m) : com::E_POINTER;
        given = com::SUCCEEDED(hr);
    } else {
        if (!m_cameraControlObject) throw com::ComError(com::E_POINTER, host::IHostCameraControlObject::IID_);
        std::int32_t result = 0;
        const com::HRESULT hr = m_cameraControlObject->GetHandlerDefaults(prog.get(), &p, &m, &result);
        if (com::FAILED(hr)) {
            mirelle::TakeHostString(p);
            throw com::ComError(hr, host::IHostCameraControlObject::IID_);
        }
        given = result == 1;
    }
    const std::string text = mirelle::TakeHostString(p);
    if (given) {
        port = text;
        monitor = m;
    }
    return given;
}

void CCamControlPropPage::ApplyDefaults(CameraHandlerAssociation& a, int row) {
    a.CameraAddress = static_cast<std::int16_t>(row + 1);
    std::string port;
    std::int16_t monitor = -1;
    if (HandlerDefaults(a.ProgramID, port, monitor)) {
        a.SerialPort = port;
        a.MonitorNum = monitor;
    } else {
        a.SerialPort.clear();
        a.MonitorNum = -1;
    }
}

void CCamControlPropPage::OnHandlerChange(int row) {
    if (row < 0 || row > 15) return;
    const int id = kRowField + row;
    const int newPos = Item(id).selection;
    if (newPos < 0) return;

    CameraHandlerAssociation* assoc = FindAssociation(row);
    const cameras::CameraHandlerInfo* current = assoc ? FindHandlerByProgId(assoc->ProgramID) : nullptr;
    int oldPos = 0;
    if (current) {
        oldPos = Item(id).FindItem(current->DisplayName);
        if (oldPos < 0) return;
    }
    if (newPos == oldPos) return;

    if (!IsOlderHost() && CameraIsPTZTriggerCamera(row)) {
        const int answer =
            WWMessageBox(this, res::LoadString(168), "", ui::MB_YESNO | ui::MB_ICONEXCLAMATION);
        if (answer != ui::IDYES) {
            SelectPosition(row, oldPos);
            return;
        }
    }

    const std::intptr_t data = Item(id).ItemData(newPos);
    if (oldPos == 0) {
        const cameras::CameraHandlerInfo* h = FindHandlerByIndex(data);
        if (!h || h->ProgramID.empty()) {
            SelectPosition(row, 0);
            return;
        }
        // A camera whose stored handler is not offered by the host keeps that
        // association until the operator picks a handler for it: the choice
        // then replaces it, so the camera never carries two associations.
        if (assoc) {
            assoc->ProgramID = h->ProgramID;
            ApplyDefaults(*assoc, row);
        } else {
            CameraHandlerAssociation a;
            a.CameraNumber = static_cast<std::int16_t>(row);
            a.ProgramID = h->ProgramID;
            ApplyDefaults(a, row);
            m_associations.push_back(std::move(a));
        }
        EnableItem(kRowButton + row, true);
    } else if (newPos == 0) {
        for (auto it = m_associations.begin(); it != m_associations.end(); ++it)
            if (it->CameraNumber == row) {
                m_associations.erase(it);
                break;
            }
        EnableItem(kRowButton + row, false);
    } else {
        const cameras::CameraHandlerInfo* h = FindHandlerByIndex(data);
        if (!h) {
            SelectPosition(row, oldPos);
            return;
        }
        assoc->ProgramID = h->ProgramID;
        ApplyDefaults(*assoc, row);
        EnableItem(kRowButton + row, true);
    }
    m_changed = true;
    m_touched[row] = true;
    SetModified(true);
}

void CCamControlPropPage::OnSetup(int row) {
    CameraHandlerAssociation* a = FindAssociation(row);
    if (!a) return;
    CCamControlSetupDlg dlg(a->CameraAddress, a->SerialPort, a->MonitorNum, m_setup, m_cameraControl, this);
    if (dlg.DoModal() != 1) return;
    // The dialog may have run host calls; look the association up again.
    a = FindAssociation(row);
    if (!a) return;
    a->CameraAddress = dlg.Address();
    a->SerialPort = dlg.SerialPort();
    a->MonitorNum = dlg.Monitor();
    m_changed = true;
    SetModified(true);
}

void CCamControlPropPage::SaveOlderHost() {
    auto selectedData = [&](int camera) -> std::int32_t {
        if (!HasWindow() || camera < 0 || camera > 15) return -1;
        const auto& combo = Item(kRowField + camera);
        return combo.selection < 0 ? -1 : static_cast<std::int32_t>(combo.ItemData(combo.selection));
    };
    for (const auto& a : m_associations) {
        const std::int32_t index = selectedData(a.CameraNumber);
        m_cameraControl->ClearCameraHandler(a.CameraNumber);
        m_cameraControl->SetCameraHandler(a.CameraNumber, index);
        com::Bstr port;
        if (!a.SerialPort.empty()) port = mirelle::HostString(a.SerialPort);
        m_cameraControl->SetCameraSettings(a.CameraNumber, a.CameraAddress, port.get(), a.MonitorNum, 0);
    }
    for (int cam = 0; cam < 16; ++cam)
        if (selectedData(cam) < 0 && m_touched[cam]) m_cameraControl->ClearCameraHandler(cam);
    m_cameraControl->CommitCameraHandlers(0);
}

bool CCamControlPropPage::OnApply() {
    if (m_changed && m_cameraControl) {
        if (!IsOlderHost()) {
            com::Bstr xml = mirelle::HostString(cameras::WriteCameraControlXml(m_associations));
            m_cameraControl->SetCameraControlXml(xml.get());
        } else {
            SaveOlderHost();
        }
    }
    m_changed = false;
    SetModified(false);
    return true;
}
