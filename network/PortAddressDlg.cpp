#include "network/PortAddressDlg.h"

#include <cerrno>
#include <cstdlib>

#include "foundation/Controls.h"
#include "util/Util.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/Bstr.h"
#include "platform/ui/MessageBox.h"

namespace {

// A whole number as the field exchange reads it: blanks around an optionally
// signed run of decimal digits that fits in 32 bits.
bool ParseWholeNumber(const std::string& text, long& value) {
    size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return false;
    size_t e = text.find_last_not_of(" \t");
    std::string t = text.substr(b, e - b + 1);
    size_t digits = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (digits >= t.size()) return false;
    for (size_t i = digits; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9') return false;
    errno = 0;
    long long v = std::strtoll(t.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<long>(v);
    return true;
}

}  // namespace

CPortAddressDlg::CPortAddressDlg(com::IUnknown* rmtResMgr, host::ISetupUISupport* setup, std::int32_t* portNumber,
                                 std::int32_t* livePort, std::int32_t* eventPort, std::int16_t* maxLiveClients,
                                 std::int16_t clientLimit, ui::Window* parent)
    : ui::Dialog(IDD, parent),
      m_setup(setup),
      m_pPortNumber(portNumber),
      m_pLivePort(livePort),
      m_pEventPort(eventPort),
      m_pMaxLiveClients(maxLiveClients),
      m_clientLimit(clientLimit) {
    // The one support pointer that is asked for its interface: a host may
    // pass an object that has none, and the dialog then runs without it.
    if (rmtResMgr && com::FAILED(rmtResMgr->QueryInterface(host::IRmtResMgrUISupport::IID_, m_rmt.outVoid())))
        m_rmt = nullptr;
    m_port = portNumber ? *portNumber : 0;
    m_livePort = livePort ? *livePort : 0;
    m_eventPort = eventPort ? *eventPort : 0;
    m_maxLiveClients = maxLiveClients ? *maxLiveClients : 0;
}

bool CPortAddressDlg::Step(com::HRESULT hr) const {
    com::ThrowIfFailed(hr, host::IRmtResMgrUISupport::IID_);
    return hr == com::S_OK;
}

void CPortAddressDlg::ShowServerName(bool show) {
    ShowItem(IDC_SERVER_LABEL, show);
    ShowItem(IDC_SERVER_NAME, show);
}

void CPortAddressDlg::ResetToManaged() {
    SetTicked(IDC_MANAGED, true);
    SetTicked(IDC_STANDALONE, false);
    ShowServerName(true);
}

bool CPortAddressDlg::OnInitDialog() {
    if (HasControl(IDC_KEYBOARD)) CWWBckgrd(*this, IDC_KEYBOARD).SetKeyboardOn(false);
    SetItemText(IDC_PORT, std::to_string(m_port));
    SetItemText(IDC_LIVE_PORT, std::to_string(m_livePort));
    SetItemText(IDC_EVENT_PORT, std::to_string(m_eventPort));

    auto& list = Item(IDC_MAX_LIVE);
    list.items.clear();
    for (int n = 0; n <= m_clientLimit; ++n) list.AddItem(std::to_string(n));
    int sel = list.FindItem(std::to_string(m_maxLiveClients));
    SetSelection(IDC_MAX_LIVE, sel);
    list.text = sel >= 0 ? list.items[sel].cells.at(0) : std::string();

    m_startManaged = m_rmt && Step(m_rmt->IsManaged());
    SetTicked(IDC_MANAGED, m_startManaged);
    SetTicked(IDC_STANDALONE, !m_startManaged);
    if (!m_startManaged) {
        ShowServerName(false);
        return true;
    }
    ShowServerName(true);
    com::Bstr info;
    if (Step(m_rmt->GetServerInfo(info.out()))) {
        com::Bstr name;
        if (Step(m_rmt->GetServerNameText(info.get(), name.out()))) {
            m_startServerName = cp::FromBstr(name.get());
            SetItemText(IDC_SERVER_NAME, m_startServerName);
        }
    }
    if (!Step(m_rmt->CanChangeServerMode())) {
        EnableItem(IDC_STANDALONE, false);
        EnableItem(IDC_MANAGED, false);
        EnableItem(IDC_SERVER_NAME, false);
    }
    return true;
}

void CPortAddressDlg::OnClick(int id) {
    switch (id) {
        case IDC_MANAGED:
            ShowServerName(true);
            break;
        case IDC_STANDALONE:
            ShowServerName(false);
            break;
        case 4:
            if (m_setup) m_setup->ShowHelp(kHelpTopic);
            break;
        default:
            ui::Dialog::OnClick(id);
    }
}

bool CPortAddressDlg::ReadPorts() {
    const int ids[] = {IDC_PORT, IDC_LIVE_PORT, IDC_EVENT_PORT};
    long* values[] = {&m_port, &m_livePort, &m_eventPort};
    for (int i = 0; i < 3; ++i) {
        if (!ParseWholeNumber(GetItemText(ids[i]), *values[i])) {
            WWAfxMessageBox(IDS_NOT_AN_INTEGER, ui::MB_ICONEXCLAMATION);
            SetFocus(ids[i]);
            return false;
        }
    }
    return true;
}

bool CPortAddressDlg::RunServerSteps(bool leaveFirst, bool setManaged) {
    if (leaveFirst && !Step(m_rmt->LeaveServer())) return false;
    com::Bstr info;
    if (!Step(m_rmt->GetServerInfo(info.out()))) return false;
    com::Bstr name(cp::AnsiToWide(GetItemText(IDC_SERVER_NAME)));
    if (!Step(m_rmt->RegisterWithServer(info.get(), name.get()))) return false;
    if (!Step(m_rmt->ApplyManagedMode())) return false;
    return !setManaged || Step(m_rmt->SetManagedState(1));
}

void CPortAddressDlg::OnOK() {
    if (!ReadPorts()) return;
    const int ids[] = {IDC_PORT, IDC_LIVE_PORT, IDC_EVENT_PORT};
    const long values[] = {m_port, m_livePort, m_eventPort};
    for (int i = 0; i < 3; ++i) {
        if (values[i] < kMinPort || values[i] > kMaxPort) {
            WWAfxMessageBox(1017, ui::MB_ICONINFORMATION);
            SetFocus(ids[i]);
            return;
        }
    }
    if (m_port == m_livePort || m_port == m_eventPort || m_livePort == m_eventPort) {
        WWAfxMessageBox(1018, ui::MB_ICONEXCLAMATION);
        SetFocus(IDC_LIVE_PORT);
        return;
    }

    // The drop-down list's text is one of its numbers, or empty (0) when the
    // caller's value was not among them.
    long clients = 0;
    m_maxLiveClients = ParseWholeNumber(GetItemText(IDC_MAX_LIVE), clients) ? static_cast<int>(clients) : 0;
    const bool changed = !m_pPortNumber || !m_pLivePort || !m_pEventPort || !m_pMaxLiveClients ||
                         m_port != *m_pPortNumber || m_livePort != *m_pLivePort || m_eventPort != *m_pEventPort ||
                         m_maxLiveClients != *m_pMaxLiveClients;
    if (changed) WWAfxMessageBox(1019, ui::MB_ICONINFORMATION);
    if (m_pPortNumber) *m_pPortNumber = static_cast<std::int32_t>(m_port);
    if (m_pLivePort) *m_pLivePort = static_cast<std::int32_t>(m_livePort);
    if (m_pEventPort) *m_pEventPort = static_cast<std::int32_t>(m_eventPort);
    if (m_pMaxLiveClients) *m_pMaxLiveClients = static_cast<std::int16_t>(m_maxLiveClients);

    const bool managed = IsTicked(IDC_MANAGED);
    const std::string serverName = GetItemText(IDC_SERVER_NAME);
    constexpr unsigned kWarning = ui::MB_ICONEXCLAMATION;

    // Network archiving and advanced security keep the unit with its server.
    auto refusedLeaving = [&]() {
        if (Step(m_rmt->IsNetworkArchiveRunning())) {
            WWAfxMessageBox(128, kWarning);
        } else if (Step(m_rmt->IsAdvancedSecurityOn())) {
            WWAfxMessageBox(129, kWarning);
        } else {
            return false;
        }
        ResetToManaged();
        return true;
    };

    if (managed == m_startManaged) {
        if (!managed || serverName.empty() || serverName == m_startServerName) {
            EndDialog(1);
            return;
        }
        if (refusedLeaving()) return;
        if (RunServerSteps(true, false))
            EndDialog(1);
        else
            WWAfxMessageBox(130, kWarning);
        return;
    }
    if (!m_rmt) {
        WWAfxMessageBox(130, kWarning);
        return;
    }
    if (managed) {
        if (RunServerSteps(false, true))
            EndDialog(1);
        else
            WWAfxMessageBox(130, kWarning);
        return;
    }
    if (refusedLeaving()) return;
    const bool left = Step(m_rmt->LeaveServer());
    Step(m_rmt->SetManagedState(0));
    if (left)
        EndDialog(1);
    else
        WWAfxMessageBox(130, kWarning);
}
