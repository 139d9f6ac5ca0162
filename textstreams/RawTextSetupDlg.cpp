#include "textstreams/RawTextSetupDlg.h"

#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "textstreams/HexPairs.h"

CRawTextSetupDlg::CRawTextSetupDlg(host::ISetupUISupport* support, bool keyboard, bool remote, ui::Window* parent)
    : COkCancelHelpDlg(IDD, parent, support, kHelpTopic), m_strEOL(textstreams::kDefaultEndOfLine), m_keyboard(keyboard),
      m_remote(remote) {}

bool CRawTextSetupDlg::OnInitDialog() {
    if (m_keyboard) PrepareOnScreenKeyboard(*this, IDC_KEYBOARD);
    m_strEOL = textstreams::NormaliseEndOfLine(m_strEOL).text;
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(1042));
    SetItemText(IDC_EOL, m_strEOL);
    return true;
}

bool CRawTextSetupDlg::Accept() {
    auto normalised = textstreams::NormaliseEndOfLine(GetItemText(IDC_EOL));
    SetItemText(IDC_EOL, normalised.text);
    if (!normalised.lettersOk || !textstreams::IsHexPairText(normalised.text)) {
        WWMessageBox(this, res::LoadString(kInvalidMessage), "", ui::MB_ICONINFORMATION);
        return false;
    }
    m_strEOL = normalised.text;
    return true;
}

void CRawTextSetupDlg::OnCommand(int id) {
    if (id == IDC_DEFAULT)
        SetItemText(IDC_EOL, textstreams::kDefaultEndOfLine);
    else
        COkCancelHelpDlg::OnCommand(id);
}
