#include "textstreams/TextReceiptSetupDlg.h"

#include "cameras/CameraHelpers.h"
#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"

using namespace textstreams;

namespace {
const com::IID& kDefIid = host::ITextDefinition::IID_;
}

CTextReceiptSetupDlg::CTextReceiptSetupDlg(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text,
                                           bool keyboard, ui::Window* parent)
    : COkCancelHelpDlg(IDD, parent, setup, kHelpTopic), m_keyboard(keyboard),
      m_data(*this, text, IDC_STREAM, IDC_DATA), m_list(text) {}

void CTextReceiptSetupDlg::LoadFrom(host::ITextDefinition* d) {
    m_fields.name = DefinitionName(d);
    m_fields.beginMarker = DefinitionText(d, &host::ITextDefinition::get_BeginMarker);
    m_fields.endMarker = DefinitionText(d, &host::ITextDefinition::get_EndMarker);
}

bool CTextReceiptSetupDlg::OnInitDialog() {
    if (m_keyboard) PrepareOnScreenKeyboard(*this, IDC_KEYBOARD);
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(157));
    ShowItem(IDC_END, false);
    ShowItem(IDC_END_LABEL, false);
    m_list.Load();
    m_data.Init();
    SetItemText(IDC_NAME, m_fields.name);
    SetItemText(IDC_BEGIN, m_fields.beginMarker);
    SetItemText(IDC_END, m_fields.endMarker);
    return true;
}

void CTextReceiptSetupDlg::OnSelChange(int id) {
    if (id == IDC_STREAM) m_data.StreamChanged();
}

bool CTextReceiptSetupDlg::Accept() {
    Fields f{GetItemText(IDC_NAME), GetItemText(IDC_BEGIN), GetItemText(IDC_END)};
    int message = CheckReceiptFields(f.name, f.beginMarker);
    SetItemText(IDC_NAME, TrimBlanks(f.name));
    SetItemText(IDC_BEGIN, TrimBlanks(f.beginMarker));
    if (message != 0) {
        WWMessageBox(this, res::LoadString(message), "", ui::MB_OK | ui::MB_ICONEXCLAMATION);
        SetFocus(message == 133 ? IDC_NAME : IDC_BEGIN);
        return false;
    }
    m_fields = f;
    return true;
}

void CTextReceiptSetupDlg::Fill(const Fields& f, host::ITextDefinition* d) {
    const std::string begin = TrimBlanks(f.beginMarker), end = TrimBlanks(f.endMarker);
    com::ThrowIfFailed(d->Reset(), kDefIid);
    com::ThrowIfFailed(d->put_IsReceipt(1), kDefIid);
    com::ThrowIfFailed(d->put_ReceiptFlag(1), kDefIid);
    com::ThrowIfFailed(d->put_Operator(eFound), kDefIid);
    com::ThrowIfFailed(d->put_Name(mirelle::HostString(TrimBlanks(f.name)).get()), kDefIid);
    com::ThrowIfFailed(d->put_BeginMarker(mirelle::HostString(begin).get()), kDefIid);
    com::ThrowIfFailed(d->put_EndMarker(mirelle::HostString(end).get()), kDefIid);
    com::ThrowIfFailed(d->put_EndMarkerFlag(end.empty() ? 0 : 1), kDefIid);
}
