// Printer interface options dialog (template 238): which entries the text
// streams show; at least one.
#pragma once
#include "interfaces/HostInterfaces.h"
#include "component/OkCancelHelpDlg.h"

class CPrinterInterfaceDlg : public COkCancelHelpDlg {
public:
    enum {
        IDD = 238,
        IDC_SHOW_CUSTOMER = 320,
        IDC_SHOW_JOURNAL = 321,
        IDC_LABEL = 218,
        IDC_PANEL = 1060,
        IDC_KEYBOARD = 1002,
        IDC_OK = 227,
        IDC_CANCEL = 225,
        IDC_HELP = 15,
        kHelpTopic = 78,
    };

    CPrinterInterfaceDlg(host::ISetupUISupport* support, bool keyboard, bool remote, ui::Window* parent);

    int m_bShowCustomerEntries = 1;
    int m_bShowJournalEntries = 0;

protected:
    bool OnInitDialog() override;
    bool Accept() override;

private:
    bool m_keyboard;
    bool m_remote;
};
