// The shape shared by the small setup dialogs: OK ends the dialog with 1 once
// the dialog's own check passes, Cancel ends it with 2, Help sends the
// dialog's topic to the host.  Other clicks reach OnCommand.
#pragma once
#include <cstdint>

#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

class COkCancelHelpDlg : public ui::Dialog {
protected:
    COkCancelHelpDlg(int templateId, ui::Window* parent, host::ISetupUISupport* support, std::int16_t helpTopic,
                     int okId = 1, int cancelId = 2, int helpId = 4)
        : ui::Dialog(templateId, parent), m_support(support), m_helpTopic(helpTopic), m_okId(okId),
          m_cancelId(cancelId), m_helpId(helpId) {}

    // Reads and checks the controls; false keeps the dialog open.
    virtual bool Accept() { return true; }
    // Runs before the dialog ends with Cancel.
    virtual void OnCancelled() {}
    // The Help button: the host shows the dialog's topic.  A dialog whose
    // setup raises every host failure raises a failing ShowHelp too.
    virtual void OnHelp() {
        if (m_support) m_support->ShowHelp(m_helpTopic);
    }
    virtual void OnCommand(int id) { ui::Dialog::OnClick(id); }

    void OnClick(int id) final {
        if (id == m_okId) {
            if (Accept()) EndDialog(1);
        } else if (id == m_cancelId) {
            OnCancelled();
            EndDialog(2);
        } else if (id == m_helpId) {
            OnHelp();
        } else {
            OnCommand(id);
        }
    }

    host::ISetupUISupport* m_support;
    std::int16_t m_helpTopic;

private:
    int m_okId;
    int m_cancelId;
    int m_helpId;
};
