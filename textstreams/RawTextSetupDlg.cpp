#include "textstreams/RawTextSetupDlg.h"

#include "foundation/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "textstreams/HexPairs.h"

CRawTextSetupDlg::CRawTextSetupDlg(host::ISetupUISupport* support, bool keyboard, bool remote, ui::Window* parent)
    : ui::Dialog(IDD, parent), m_strEOL(textstreams::kDefaultEndOfLine), m_support(support), m_keyboard(keyboard),
      m_remote(remote) {}

bool CRawTextSetupDlg::OnInitDialog() {
    if (m_keyboard) PrepareOnScreenKeyboard(*this, IDC_KEYBOARD);
    m_strEOL = textstreams::NormaliseEndOfLine(m_strEOL).text;
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(1042));
    SetItemText(IDC_EOL, m_strEOL);
    return true;
}

void CRawTextSetupDlg::OnClick(int id) {
    switch (id) {
        case IDC_DEFAULT:
            SetItemText(IDC_EOL, textstreams::kDefaultEndOfLine);
            break;
        case IDC_OK: {
            auto normalised = textstreams::NormaliseEndOfLine(GetItemText(IDC_EOL));
            SetItemText(IDC_EOL, normalised.text);
            if (!normalised.lettersOk || !textstreams::IsHexPairText(normalised.text)) {
                WWMessageBox(this, res::LoadString(kInvalidMessage), "", ui::MB_ICONINFORMATION);
                return;
            }
            m_strEOL = normalised.text;
            EndDialog(1);
            break;
        }
        case IDC_CANCEL:
            EndDialog(2);
            break;
        case IDC_HELP:
            if (m_support) m_support->ShowHelp(kHelpTopic);
            break;
        default:
            ui::Dialog::OnClick(id);
    }
}
