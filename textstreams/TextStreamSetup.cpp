#include "textstreams/TextStreamSetup.h"

#include "textstreams/ComPortSetupDlg.h"
#include "textstreams/RawTextSetupDlg.h"
#include "textstreams/TextExceptionManagerDlg.h"
#include "textstreams/TextIPPortSetupDlg.h"
#include "textstreams/TextReceiptManagerDlg.h"
#include "textstreams/TextStreamListDlg.h"

namespace textstreams {
int RunTextStreamList(host::ISetupUISupport* setup, host::ITextStreamsUISupport* text, bool keyboard, bool remote,
                      ui::Window* parent) {
    CTextStreamListDlg dlg(setup, text, keyboard, remote, parent);
    return dlg.DoModal();
}
int RunTextExceptions(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text, bool keyboard, bool remote,
                      ui::Window* parent) {
    CTextExceptionManagerDlg dlg(setup, text, keyboard, remote, parent);
    return dlg.DoModal();
}
int RunTextReceipts(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text, bool keyboard, bool remote,
                    ui::Window* parent) {
    CTextReceiptManagerDlg dlg(setup, text, keyboard, remote, parent);
    return dlg.DoModal();
}
int RunRawTextSetup(host::ISetupUISupport* setup, bool keyboard, bool remote, ui::Window* parent, std::string& eol) {
    CRawTextSetupDlg dlg(setup, keyboard, remote, parent);
    if (!eol.empty()) dlg.m_strEOL = eol;
    int r = dlg.DoModal();
    eol = dlg.m_strEOL;
    return r;
}
int RunCOMPortSetup(host::ISetupUISupport* setup, host::ITextStreamsUISupport* text, bool keyboard, bool remote,
                    ui::Window* parent, bool editOperation, SerialSettings& settings) {
    CComPortSetupDlg dlg(setup, text, keyboard, remote, editOperation, parent);
    dlg.m_settings = settings;
    int r = dlg.DoModal();
    if (r == 1) settings = dlg.m_settings;
    return r;
}
int RunTextIPPortSetup(host::ISetupUISupport* setup, host::ITextStreamsUISupport* text, bool keyboard, bool remote,
                       ui::Window* parent, std::string& portText) {
    CTextIPPortSetupDlg dlg(setup, text, keyboard, remote, parent);
    dlg.m_strPort = portText;
    int r = dlg.DoModal();
    portText = dlg.m_strPort;
    return r;
}
}  // namespace textstreams
