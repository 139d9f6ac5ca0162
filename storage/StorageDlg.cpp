#include "storage/StorageDlg.h"

#include <algorithm>
#include <system_error>

#include "interfaces/ISetupUI.h"
#include "foundation/DebugLog.h"
#include "util/Util.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "storage/StorageLabelDlg.h"
#include "storage/StorageVolumes.h"

using namespace storage;

namespace {

// More rows than any unit has disks: a count beyond it is a host fault.
constexpr std::int32_t kMaxVolumes = 1024;

const com::IID& HostIid() { return host::IStorageUISupport::IID_; }

void Check(com::HRESULT hr) { com::ThrowIfFailed(hr, HostIid()); }

const char* OperationName(int op) {
    switch (op) {
        case CStorageDlg::eOperationAdd: return "Add";
        case CStorageDlg::eOperationAddAll: return "Add All";
        case CStorageDlg::eOperationRemove: return "Remove";
        case CStorageDlg::eOperationRepair: return "Repair";
        default: return "?";
    }
}

}  // namespace

CStorageDlg::CStorageDlg(host::IStorageUISupport* support, ui::Window* parent)
    : ui::Dialog(IDD, parent), m_pSupport(support) {
    // The progress callback, created through COM like any client would; the
    // dialog goes on without one and fails its initialisation.
    try {
        m_pCallback =
            com::CreateRunningObject<host::IStorageUISupportCallbackImp>(mirelle::CLSID_StorageUISupportCallbackImp, "StorageUISupportCallbackImp");
    } catch (const com::ComError& e) {
        LogMirelle("Storage: the progress callback could not be created (" + com::HresultText(e.Error()) + ")");
        m_pCallback.reset();
    }
}

CStorageDlg::~CStorageDlg() {
    WaitForWorker();
    if (m_pSupport) {
        com::HRESULT hr = m_pSupport->SetCallback(nullptr);
        if (com::FAILED(hr)) LogMirelle("Storage: SetCallback(null) failed (" + com::HresultText(hr) + ")");
    }
    m_pCallback.reset();
    m_pSupport.reset();
}

bool CStorageDlg::IsBusy() { return m_bRunning.load(); }

// ---- host calls --------------------------------------------------------------

host::IStorageUISupport& CStorageDlg::Host() const {
    if (!m_pSupport) throw com::ComError(com::E_POINTER, HostIid());
    return *m_pSupport.get();
}

std::int32_t CStorageDlg::VolumeCount() {
    std::int32_t count = 0;
    Check(Host().GetVolumeCount(&count));
    return count;
}

std::int32_t CStorageDlg::VolumeState(std::int32_t index, bool* marker) {
    host::VARIANT_BOOL flag = 0;
    std::int32_t state = -1;
    Check(Host().GetVolumeStatus(index, &flag, &state));
    if (marker) *marker = flag != 0;
    return state;
}

std::string CStorageDlg::VolumePath(std::int32_t index, bool* valid) {
    com::Bstr path;
    host::VARIANT_BOOL ok = 0;
    Check(Host().GetVolumePath(index, path.out(), &ok));
    if (valid) *valid = ok != 0;
    return cp::FromBstr(path.get());
}

std::string CStorageDlg::VolumeLabel(std::int32_t index, bool* valid) {
    com::Bstr label;
    host::VARIANT_BOOL ok = 0;
    Check(Host().GetVolumeLabel(index, label.out(), &ok));
    if (valid) *valid = ok != 0;
    return cp::FromBstr(label.get());
}

std::int32_t CStorageDlg::VolumeSize(std::int32_t index) {
    std::int32_t size = -1;
    Check(Host().GetVolumeSize(index, &size));
    return size;
}

bool CStorageDlg::SetVolumeLabel(std::int32_t index, const std::string& label) {
    com::Bstr text(cp::AnsiToWide(label));
    host::VARIANT_BOOL ok = 0;
    Check(Host().SetVolumeLabel(index, text.get(), &ok));
    return ok != 0;
}

bool CStorageDlg::InitializeVolume(std::int32_t index, std::int32_t allocationKB) {
    host::VARIANT_BOOL ok = 0;
    Check(Host().InitializeVolume(index, allocationKB, 0, &ok));
    return ok != 0;
}

bool CStorageDlg::ConvertVolume(std::int32_t index) {
    host::VARIANT_BOOL ok = 0;
    Check(Host().ConvertVolume(index, 0, &ok));
    return ok != 0;
}

// ---- dialog thread ------------------------------------------------------------

bool CStorageDlg::OnInitDialog() {
    {
        std::lock_guard l(m_requestLock);
        m_bClosing = false;
    }
    if (!m_pCallback) throw com::ComError(com::E_POINTER, host::IStorageUISupportCallbackImp::IID_);
    com::ThrowIfFailed(m_pCallback->SetWindow(static_cast<std::int32_t>(Handle())),
                       host::IStorageUISupportCallbackImp::IID_);
    Check(Host().SetCallback(m_pCallback.get()));

    m_columns = ParseColumns(res::LoadString(IDS_COLUMN_HEADINGS), res::LoadString(IDS_COLUMN_WIDTHS));
    ui::Control& list = Item(IDC_VOLUMES);
    list.columns.clear();
    for (const auto& c : m_columns) list.columns.push_back(c.first);
    Changed(IDC_VOLUMES);

    FillList();
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(IDS_STORAGE_TITLE));
    return true;
}

void CStorageDlg::FillList() {
    ui::Control& list = Item(IDC_VOLUMES);
    list.ClearItems();
    std::int32_t count = VolumeCount();
    if (count > kMaxVolumes) {
        LogMirelle("Storage: the host reports " + std::to_string(count) + " volumes; listing the first " +
                   std::to_string(kMaxVolumes));
        count = kMaxVolumes;
    }
    bool addable = false;
    for (std::int32_t i = 0; i < count; ++i) {
        int row = list.AddItem(std::to_string(i));
        FillRow(row, i, addable);
    }
    Changed(IDC_VOLUMES);
    if (addable) EnableItem(IDC_ADD_ALL, true);
    EnableItem(IDC_ADD, false);
    EnableItem(IDC_REMOVE, false);
    EnableItem(IDC_LABEL, false);
    EnableItem(IDC_REPAIR, false);
}

void CStorageDlg::FillRow(int row, std::int32_t index, bool& addable) {
    ui::Control& list = Item(IDC_VOLUMES);
    bool valid = false;
    std::string path = VolumePath(index, &valid);
    if (!valid) return;
    list.SetItemText(row, 1, path);
    std::string label = VolumeLabel(index, &valid);
    if (!valid) return;
    list.SetItemText(row, 2, label);
    bool marker = false;
    std::int32_t state = VolumeState(index, &marker);
    list.SetItemText(row, 3, StatusText(state, marker));
    std::int32_t size = VolumeSize(index);
    if (size == -1) return;
    list.SetItemText(row, 4, SizeText(size));
    std::int32_t allocated = -1;
    Check(Host().GetVolumeAllocation(index, &allocated));
    if (allocated == -1) return;
    list.SetItemText(row, 5, SizeText(allocated));
    std::int32_t start = kNoStartTime, end = kNoEndTime;
    host::VARIANT_BOOL flag = 0;
    Check(Host().GetVolumeTimeRange(index, &start, &end, &flag));
    list.SetItemText(row, 6, TimeRangeText(StartTimeText(start), EndTimeText(end)));
    if (IsAddable(state)) addable = true;
}

int CStorageDlg::SelectedVolume() const {
    auto selected = Item(IDC_VOLUMES).SelectedItems();
    return selected.empty() ? -1 : selected.front();
}

void CStorageDlg::OnSelChange(int id) {
    if (id == IDC_VOLUMES) OnSelectionChanged();
}

void CStorageDlg::OnSelectionChanged() {
    if (m_bRunning) return;
    int index = SelectedVolume();
    if (index < 0) return;
    ButtonStates b = ButtonsForState(VolumeState(index));
    EnableItem(IDC_ADD, b.add);
    EnableItem(IDC_REMOVE, b.remove);
    EnableItem(IDC_LABEL, b.label);
    EnableItem(IDC_REPAIR, b.repair);
}

void CStorageDlg::OnClick(int id) {
    switch (id) {
        case IDC_ADD: StartOperation(eOperationAdd); break;
        case IDC_ADD_ALL: StartOperation(eOperationAddAll); break;
        case IDC_REMOVE: StartOperation(eOperationRemove); break;
        case IDC_REPAIR: StartOperation(eOperationRepair); break;
        case IDC_LABEL: OnLabel(); break;
        case IDC_HELP: Check(Host().ShowHelp(kHelpTopic)); break;
        default: ui::Dialog::OnClick(id);
    }
}

void CStorageDlg::OnOK() {
    if (m_bRunning) return;  // Exit is disabled while an operation runs
    EndDialog(1);
}

void CStorageDlg::OnCancel() {
    if (m_bRunning) return;  // Escape and the close box wait for the operation
    EndDialog(2);
}

void CStorageDlg::OnClose() { OnCancel(); }

void CStorageDlg::OnDestroy() { WaitForWorker(); }

void CStorageDlg::SetProgressRange(int lower, int upper) {
    ui::Control& bar = Item(IDC_PROGRESS);
    bar.rangeMin = lower;
    bar.rangeMax = upper;
    Changed(IDC_PROGRESS);
}

void CStorageDlg::SetProgressPos(int pos) { SetPos(IDC_PROGRESS, pos); }

void CStorageDlg::StartOperation(eOperation op) {
    if (m_bRunning) return;
    int index = -1;
    if (op != eOperationAddAll) {
        index = SelectedVolume();
        if (index < 0) return;
    }
    if (m_worker.joinable()) m_worker.join();
    m_nOperation = op;
    m_nVolume = index;
    SetProgressRange(0, 1);
    SetProgressPos(0);
    for (int id : {IDC_ADD, IDC_ADD_ALL, IDC_LABEL, IDC_REMOVE, IDC_REPAIR, IDC_EXIT}) EnableItem(id, false);
    {
        std::lock_guard l(m_requestLock);
        m_bClosing = false;
    }
    m_bRunning = true;
    try {
        m_worker = std::thread(&CStorageDlg::Worker, this, op, index);
    } catch (const std::system_error& e) {
        LogMirelle(std::string("Storage: the worker thread could not be started: ") + e.what());
        Message(FillMessage(res::LoadString(IDS_OPERATION_ERROR), {e.what()}), ui::MB_OK);
        OnOperationFinished();
    }
}

void CStorageDlg::OnMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) {
    switch (msg) {
        case WM_OPERATION_FINISHED: OnOperationFinished(); break;
        case WM_PROGRESS_RANGE:
            SetProgressRange(static_cast<std::int32_t>(wParam), static_cast<std::int32_t>(lParam));
            break;
        case WM_PROGRESS_POS: SetProgressPos(static_cast<std::int32_t>(wParam)); break;
        case WM_LABEL_REQUEST: OnLabelRequest(); break;
        default: break;
    }
}

void CStorageDlg::OnOperationFinished() {
    // The worker posts this as its last act, so the join is immediate.
    if (m_worker.joinable()) m_worker.join();
    m_bRunning = false;
    m_nOperation = eOperationNone;
    m_nVolume = -1;
    ++m_nFinished;
    FillList();
    EnableItem(IDC_EXIT, true);
    EnableItem(IDC_ADD_ALL, true);
    SetProgressRange(0, 1);
    SetProgressPos(1);
}

void CStorageDlg::OnLabel() {
    int index = SelectedVolume();
    if (index < 0) return;
    bool valid = false;
    std::string label = VolumeLabel(index, &valid);
    if (!valid) return;
    CStorageLabelDlg dlg(m_pSupport.get(), this);
    dlg.m_bShowLabel = true;
    dlg.m_bShowPercent = false;
    dlg.m_strLabel = label;
    if (dlg.DoModal() != 1) return;
    SetVolumeLabel(index, dlg.m_strLabel);
    FillList();
}

void CStorageDlg::OnLabelRequest() {
    LabelRequest ask;
    {
        std::lock_guard l(m_requestLock);
        if (!m_pRequest || m_pRequest->done) return;
        ask = *m_pRequest;
    }
    auto answer = [this](int result, const std::string& label, const std::string& percent) {
        {
            std::lock_guard l(m_requestLock);
            if (m_pRequest) {
                m_pRequest->result = result;
                m_pRequest->label = label;
                m_pRequest->percent = percent;
                m_pRequest->done = true;
                m_pRequest = nullptr;
            }
        }
        m_requestDone.notify_all();
    };
    try {
        CStorageLabelDlg dlg(m_pSupport.get(), this);
        dlg.m_bShowLabel = ask.showLabel;
        dlg.m_bShowPercent = ask.showPercent;
        dlg.m_strLabel = ask.label;
        dlg.m_strPercent = ask.percent;
        int result = dlg.DoModal();
        answer(result, dlg.m_strLabel, dlg.m_strPercent);
    } catch (...) {
        answer(2, ask.label, ask.percent);  // the worker must not wait for a dialog that failed
        throw;
    }
}

void CStorageDlg::WaitForWorker() {
    {
        std::lock_guard l(m_requestLock);
        m_bClosing = true;
        if (m_pRequest) {
            m_pRequest->result = 2;
            m_pRequest->done = true;
            m_pRequest = nullptr;
        }
    }
    m_requestDone.notify_all();
    if (m_worker.joinable()) m_worker.join();
    m_bRunning = false;
}

// ---- worker thread ------------------------------------------------------------

void CStorageDlg::Worker(eOperation op, int index) {
    // COM needs no per-thread set-up on this platform: the host interface and
    // the callback are used from here as they are ("Both" threading).
    try {
        switch (op) {
            case eOperationAdd: RunAdd(index); break;
            case eOperationAddAll: RunAddAll(); break;
            case eOperationRemove: RunRemove(index); break;
            case eOperationRepair: RunRepair(index); break;
            default: break;
        }
    } catch (const com::ComError& e) {
        LogMirelle(std::string("Storage: ") + OperationName(op) + " failed: " + com::HresultText(e.Error()));
        Message(FillMessage(res::LoadString(IDS_OPERATION_ERROR), {com::HresultText(e.Error())}), ui::MB_OK);
    } catch (const std::exception& e) {
        LogMirelle(std::string("Storage: ") + OperationName(op) + " failed: " + e.what());
        Message(FillMessage(res::LoadString(IDS_OPERATION_ERROR), {e.what()}), ui::MB_OK);
    }
    // Always: the dialog leaves the running state only through this message.
    ui::PostMessage(Handle(), WM_OPERATION_FINISHED, static_cast<ui::WPARAM>(op), 0);
}

int CStorageDlg::Message(const std::string& text, unsigned style) {
    try {
        return WWMessageBox(this, text, "", style);
    } catch (const std::exception& e) {
        LogMirelle(std::string("Storage: a message could not be shown: ") + e.what());
        return ui::IDCANCEL;
    }
}

int CStorageDlg::AskLabel(bool showPercent, std::string& label, int& percent) {
    LabelRequest request;
    request.showLabel = true;
    request.showPercent = showPercent;
    request.label = label;
    {
        std::lock_guard l(m_requestLock);
        if (m_bClosing) return 2;
        m_pRequest = &request;
    }
    if (!ui::PostMessage(Handle(), WM_LABEL_REQUEST, 0, 0)) {
        std::lock_guard l(m_requestLock);
        if (m_pRequest == &request) m_pRequest = nullptr;
        return 2;
    }
    std::unique_lock l(m_requestLock);
    m_requestDone.wait(l, [&] { return request.done; });
    if (request.result == 1) {
        label = request.label;
        percent = ParsePercent(request.percent).value_or(100);
    }
    return request.result;
}

void CStorageDlg::RunAdd(std::int32_t index) {
    std::string path = VolumePath(index);
    std::int32_t state = VolumeState(index);
    if (state == eVolumeOtherQuellan) {
        int answer = Message(FillMessage(res::LoadString(IDS_CONVERT_QUESTION), {path}), ui::MB_YESNOCANCEL);
        if (answer == ui::IDYES) {
            if (!ConvertVolume(index)) Message(FillMessage(res::LoadString(IDS_CONVERT_FAILED), {path}), ui::MB_OK);
            return;
        }
        if (answer != ui::IDNO) return;
        // No: the volume's data is erased and it is initialised below.
    } else if (state == eVolumeNonQuellan) {
        if (Message(FillMessage(res::LoadString(IDS_NON_QUELLAN_QUESTION), {path}), ui::MB_YESNO) != ui::IDYES)
            return;
    }
    std::string label = VolumeLabel(index);
    int percent = 100;
    if (AskLabel(true, label, percent) != 1) return;
    if (!IsAddable(state)) return;
    std::int32_t size = VolumeSize(index);
    if (size == -1) {
        Message(FillMessage(res::LoadString(IDS_SIZE_FAILED), {path}), ui::MB_OK);
        return;
    }
    std::int32_t allocation = AllocationKB(size, percent);
    if (!SetVolumeLabel(index, label) || !InitializeVolume(index, allocation))
        Message(FillMessage(res::LoadString(IDS_INITIALIZE_FAILED), {path}), ui::MB_OK);
}

void CStorageDlg::RunAddAll() {
    std::int32_t count = std::min(VolumeCount(), kMaxVolumes);
    std::vector<std::int32_t> states;
    for (std::int32_t i = 0; i < count; ++i) states.push_back(VolumeState(i));
    AddAllScan scan = ScanStates(states);

    if (scan.foreignData && WWAfxMessageBox(IDS_NON_QUELLAN_ALL_QUESTION, ui::MB_YESNO) != ui::IDYES) return;
    bool convert = true;
    if (scan.otherDatabase) {
        int answer = WWAfxMessageBox(IDS_CONVERT_ALL_QUESTION, ui::MB_YESNOCANCEL);
        if (answer == ui::IDNO)
            convert = false;
        else if (answer != ui::IDYES)
            return;
    }
    if (scan.noneUsable && convert) {
        host::VARIANT_BOOL refuse = 0;
        Check(Host().CheckConvertAll(0, &refuse));
        if (refuse != 0) return;
    }
    std::string label;
    int percent = 100;
    if (AddAllInitialises(scan, convert) && AskLabel(true, label, percent) != 1) return;

    for (std::int32_t i = 0; i < count; ++i) {
        std::string path = VolumePath(i);
        switch (AddAllStepFor(VolumeState(i), convert)) {
            case eAddAllStep::Initialise: {
                SetVolumeLabel(i, label);
                std::int32_t size = VolumeSize(i);
                if (size == -1) {
                    Message(FillMessage(res::LoadString(IDS_SIZE_FAILED), {path}), ui::MB_OK);
                    return;
                }
                if (!InitializeVolume(i, AllocationKB(size, percent))) {
                    Message(FillMessage(res::LoadString(IDS_INITIALIZE_FAILED), {path}), ui::MB_OK);
                    return;
                }
                break;
            }
            case eAddAllStep::Convert:
                if (!ConvertVolume(i)) {
                    Message(FillMessage(res::LoadString(IDS_CONVERT_FAILED), {path}), ui::MB_OK);
                    return;
                }
                break;
            case eAddAllStep::Skip: break;
        }
    }
}

void CStorageDlg::RunRemove(std::int32_t index) {
    std::int32_t state = VolumeState(index);
    int question = state == eVolumeActive ? IDS_REMOVE_ACTIVE_QUESTION : IDS_REMOVE_QUESTION;
    if (Message(res::LoadString(question), ui::MB_YESNO) != ui::IDYES) return;
    host::VARIANT_BOOL result = 0;
    Check(Host().RemoveVolume(index, 0, &result));
}

void CStorageDlg::RunRepair(std::int32_t index) {
    if (Message(res::LoadString(IDS_REPAIR_QUESTION), ui::MB_YESNO) != ui::IDYES) return;
    std::int32_t errors = 0;
    host::VARIANT_BOOL ok = 0;
    Check(Host().RepairVolume(index, &errors, 0, &ok));
    bool valid = false;
    std::string path = VolumePath(index, &valid);
    if (!valid) return;
    if (ok != 0)
        Message(FillMessage(res::LoadString(IDS_REPAIR_COMPLETE), {path, std::to_string(errors)}), ui::MB_OK);
    else
        Message(FillMessage(res::LoadString(IDS_REPAIR_FAILED), {path}), ui::MB_OK);
}
