#include "cameras/UserDefinedHandlersPage.h"

#include "cameras/CameraControlXml.h"
#include "cameras/CameraHelpers.h"
#include "foundation/FileDlg.h"
#include "component/HostSystem.h"
#include "foundation/DebugLog.h"
#include "util/Util.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/MessageBox.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

using namespace res::cam;
using cameras::PendingHandlerChange;

namespace {
constexpr const char* kPattern = "*.*";


}  // namespace

CUserDefinedHandlersPage::CUserDefinedHandlersPage(host::ISetupUISupport* setup,
                                                   host::ICameraControlUISupport* cameraControl)
    : ui::PropertyPage(IDD), m_setup(setup), m_cameraControl(cameraControl) {
    m_cameraCount = mirelle::HostCameraCount();
    std::int16_t local = 0;
    if (m_setup && com::FAILED(m_setup->GetLocalMode(&local))) local = 0;
    m_localMode = local != 0;
}

bool CUserDefinedHandlersPage::OnInitDialog() {
    RefreshList();
    return true;
}

std::vector<CUserDefinedHandlersPage::HostHandler> CUserDefinedHandlersPage::HostHandlers() {
    std::vector<HostHandler> out;
    std::int32_t count = 0;
    if (!m_cameraControl || com::FAILED(m_cameraControl->GetHandlerCount(&count))) return out;
    for (std::int32_t i = 0; i < count; ++i) {
        com::BSTR name = nullptr, progId = nullptr;
        const com::HRESULT hr = m_cameraControl->GetHandler(i, &name, &progId);
        HostHandler h{i, mirelle::TakeHostString(name), mirelle::TakeHostString(progId)};
        if (hr == com::S_OK) out.push_back(std::move(h));
    }
    return out;
}

void CUserDefinedHandlersPage::RefreshList() {
    std::vector<cameras::HandlerRow> rows;
    for (auto& h : HostHandlers())
        if (cameras::IsUserDefinedProgId(h.ProgramID)) rows.push_back({h.DisplayName, h.index});
    rows = cameras::ReplayPending(std::move(rows), m_arrayPendingChanges);
    auto& list = Item(kUdhList);
    list.ClearItems();
    for (auto& r : rows) list.AddItem(r.DisplayName, r.HandlerIndex);
    Changed(kUdhList);
    EnableItem(kUdhRemove, false);
}

void CUserDefinedHandlersPage::OnSelChange(int id) {
    if (id == kUdhList) EnableItem(kUdhRemove, Item(kUdhList).selection >= 0);
}

void CUserDefinedHandlersPage::OnClick(int id) {
    if (id == kUdhAddUpdate) OnAddUpdate();
    else if (id == kUdhRemove) OnRemove();
    else ui::PropertyPage::OnClick(id);
}

std::string CUserDefinedHandlersPage::ChooseFile() {
    return mirelle::ChooseFile(this, m_localMode, true, kPattern, mirelle::OFN_FILEMUSTEXIST);
}

void CUserDefinedHandlersPage::OnAddUpdate() {
    const std::string path = ChooseFile();
    if (path.empty()) return;

    // The XML camera handler component reads the file's display name.
    com::ComPtr<host::IXmlCameraHandler> handler;
    com::CLSID clsid{};
    if (com::SUCCEEDED(com::CLSIDFromProgID(host::kXmlCameraHandlerProgId, &clsid)))
        com::CoCreateInstance(clsid, nullptr, host::IXmlCameraHandler::IID_, handler.outVoid());
    if (!handler) {
        WWMessageBox(this, res::LoadString(147), res::LoadString(148), ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    com::Bstr wpath = mirelle::HostString(path);
    com::BSTR text = nullptr;
    host::VARIANT_BOOL ok = 0;
    const com::HRESULT hr = handler->ReadDefinitionFile(wpath.get(), &text, &ok);
    const std::string answer = mirelle::TakeHostString(text);
    if (com::FAILED(hr) || ok == 0) {
        WWMessageBox(this, res::LoadString(146) + " " + answer, res::LoadString(148), ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    const std::string displayName = answer;

    enum { eNew, eUpdate, eReplacePending } kind = eNew;
    HostHandler found;
    int pendingIndex = -1;
    bool foundOnHost = false;
    for (auto& h : HostHandlers())
        if (mirelle::EqualsNoCase(h.DisplayName, displayName)) {
            found = h;
            foundOnHost = true;
            break;
        }
    auto askReplace = [&] {
        return WWMessageBox(this, res::FormatString(143, displayName), res::LoadString(144), ui::MB_YESNO) ==
               ui::IDYES;
    };
    if (foundOnHost && cameras::StillInstalled(found.DisplayName, m_arrayPendingChanges)) {
        if (!cameras::IsUserDefinedProgId(found.ProgramID)) {
            WWMessageBox(this, res::FormatString(145, displayName), "", ui::MB_OK | ui::MB_ICONERROR);
            return;
        }
        if (!askReplace()) return;
        kind = eUpdate;
    } else if (!foundOnHost) {
        for (size_t i = 0; i < m_arrayPendingChanges.size(); ++i)
            if (m_arrayPendingChanges[i].Action == cameras::eActionAdd &&
                mirelle::EqualsNoCase(m_arrayPendingChanges[i].DisplayName, displayName)) {
                pendingIndex = static_cast<int>(i);
                break;
            }
        if (pendingIndex >= 0) {
            if (!askReplace()) return;
            kind = eReplacePending;
        }
    }

    const auto content = mirelle::ReadWholeFile(path);
    if (!content) {
        WWMessageBox(this, res::LoadString(146) + " " + path, res::LoadString(148), ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    const std::string& definition = *content;

    if (kind == eNew) {
        std::int32_t hostCount = 0;
        if (m_cameraControl && com::FAILED(m_cameraControl->GetHandlerCount(&hostCount))) hostCount = 0;
        PendingHandlerChange c;
        c.DisplayName = displayName;
        c.Definition = definition;
        c.HandlerIndex = hostCount + static_cast<std::int32_t>(m_arrayPendingChanges.size());
        c.Action = cameras::eActionAdd;
        m_arrayPendingChanges.push_back(std::move(c));
    } else if (kind == eUpdate) {
        PendingHandlerChange c;
        c.DisplayName = displayName;
        c.Definition = definition;
        c.ProgramID = found.ProgramID;
        c.HandlerIndex = found.index;
        c.Action = cameras::eActionUpdate;
        m_arrayPendingChanges.push_back(std::move(c));
    } else if (pendingIndex >= 0 && pendingIndex < static_cast<int>(m_arrayPendingChanges.size())) {
        m_arrayPendingChanges[pendingIndex].Definition = definition;
    } else {
        LogMirelle("Bad index. iPendingUpdateIndex = " + std::to_string(pendingIndex) + ".");
    }
    SetModified(true);
    RefreshList();
}

void CUserDefinedHandlersPage::OnRemove() {
    const auto& list = Item(kUdhList);
    const std::string rowText = list.ItemText(list.selection);
    if (rowText.empty()) return;
    bool done = false;
    for (auto& h : HostHandlers())
        if (mirelle::EqualsNoCase(h.DisplayName, rowText)) {
            PendingHandlerChange c;
            c.ProgramID = h.ProgramID;
            c.DisplayName = h.DisplayName;
            c.HandlerIndex = h.index;
            c.Action = cameras::eActionRemove;
            m_arrayPendingChanges.push_back(std::move(c));
            done = true;
            break;
        }
    if (!done) {
        for (auto it = m_arrayPendingChanges.rbegin(); it != m_arrayPendingChanges.rend(); ++it)
            if (it->Action == cameras::eActionAdd && mirelle::EqualsNoCase(it->DisplayName, rowText)) {
                m_arrayPendingChanges.erase(std::next(it).base());
                done = true;
                break;
            }
    }
    if (!done) LogMirelle("Did not find a handler to remove!");
    SetModified(true);
    RefreshList();
}

bool CUserDefinedHandlersPage::OnApply() {
    // Replayed in the operator's order; failures are logged and the next
    // entry goes on.  Nothing is shown.
    for (const auto& c : m_arrayPendingChanges) {
        if (!m_cameraControl) break;
        if (c.Action == cameras::eActionAdd || c.Action == cameras::eActionUpdate) {
            com::Bstr definition = mirelle::HostString(c.Definition);
            // In/out: goes in empty for a new handler and comes back set.
            com::BSTR progIdSlot =
                mirelle::HostString(c.Action == cameras::eActionAdd ? std::string{} : c.ProgramID).detach();
            m_cameraControl->StoreXMLCameraHandlerDefinition(definition.get(), &progIdSlot);
            const std::string progId = mirelle::TakeHostString(progIdSlot);
            com::Bstr name = mirelle::HostString(c.DisplayName);
            com::Bstr prog = mirelle::HostString(progId);
            std::int32_t reserved = 0;
            if (com::FAILED(m_cameraControl->RegisterCameraHandler(name.get(), prog.get(), &reserved)))
                LogMirelle("RegisterCameraHandler failed. DisplayName=" + c.DisplayName + ", ProgID=" + progId + ".");
            if (c.Action == cameras::eActionUpdate) {
                for (int cam = 0; cam < m_cameraCount; ++cam) {
                    std::int32_t index = -1;
                    if (com::SUCCEEDED(m_cameraControl->GetCameraHandler(cam, &index)) && index == c.HandlerIndex)
                        m_cameraControl->RefreshCameraHandler(cam);
                }
            }
        } else if (c.Action == cameras::eActionRemove) {
            com::Bstr prog = mirelle::HostString(c.ProgramID);
            if (com::FAILED(m_cameraControl->UnregisterCameraHandler(prog.get())))
                LogMirelle("UnregisterCameraHandler failed. bstrProgramID=" + c.ProgramID + ".");
            if (com::FAILED(m_cameraControl->DeleteXMLCameraHandlerDefinition(prog.get())))
                LogMirelle("DeleteXMLCameraHandlerDefinition failed. bstrProgramID=" + c.ProgramID + ".");
        } else {
            LogMirelle("m_arrayPendingChanges contains bad eActionPending = " + std::to_string(c.Action) +
                       ". Ignoring entry.");
        }
    }
    m_arrayPendingChanges.clear();
    SetModified(false);
    return true;
}
