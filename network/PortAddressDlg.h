// Port address dialog (template 155): the communications, live video and
// event ports, the number of live video clients and whether the unit runs
// stand-alone or managed by a Castellan server.
#pragma once
#include <cstdint>
#include <string>

#include "interfaces/HostInterfaces.h"
#include "platform/com/Unknown.h"
#include "platform/ui/Dialog.h"

class CPortAddressDlg : public ui::Dialog {
public:
    enum {
        IDD = 155,
        IDC_PORT = 1031,
        IDC_LIVE_PORT = 1033,
        IDC_EVENT_PORT = 1035,
        IDC_MAX_LIVE = 1037,
        IDC_STANDALONE = 1038,
        IDC_MANAGED = 1039,
        IDC_SERVER_LABEL = 1040,
        IDC_SERVER_NAME = 1041,
        IDC_KEYBOARD = 1042,
        kHelpTopic = 70,
        kMinPort = 1024,
        kMaxPort = 65535,
        IDS_NOT_AN_INTEGER = 9810,
    };

    // rmtResMgr is asked for IRmtResMgrUISupport; without it the dialog runs
    // stand-alone.  The four values are read now and written back on OK.
    CPortAddressDlg(com::IUnknown* rmtResMgr, host::ISetupUISupport* setup, std::int32_t* portNumber,
                    std::int32_t* livePort, std::int32_t* eventPort, std::int16_t* maxLiveClients,
                    std::int16_t clientLimit, ui::Window* parent);

    bool HasRemoteManager() const { return static_cast<bool>(m_rmt); }
    bool StartedManaged() const { return m_startManaged; }
    const std::string& ServerNameAtStart() const { return m_startServerName; }

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnOK() override;

private:
    // Reads the three port edits; false (with the message shown) when one is
    // not a whole number.
    bool ReadPorts();
    void ShowServerName(bool show);
    void ResetToManaged();
    // Raises a failure result of the remote manager; true for S_OK.
    bool Step(com::HRESULT hr) const;
    bool RunServerSteps(bool leaveFirst, bool setManaged);

    com::ComPtr<host::IRmtResMgrUISupport> m_rmt;
    host::ISetupUISupport* m_setup;
    std::int32_t* m_pPortNumber;
    std::int32_t* m_pLivePort;
    std::int32_t* m_pEventPort;
    std::int16_t* m_pMaxLiveClients;
    std::int16_t m_clientLimit;
    long m_port = 0, m_livePort = 0, m_eventPort = 0;
    int m_maxLiveClients = 0;
    bool m_startManaged = false;
    std::string m_startServerName;
};
