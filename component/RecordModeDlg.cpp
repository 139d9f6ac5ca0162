#include "component/RecordModeDlg.h"

#include "resources/Resources.h"

CRecordModeDlg::CRecordModeDlg(host::ISetupUISupport* support, CRecordInfo& info, ui::Window* parent)
    : ui::Dialog(IDD, parent), m_support(support), m_info(info) {}

void CRecordModeDlg::UpdateData(bool save) {
    if (save) {
        m_circular = IsTicked(IDC_CIRCULAR);
        m_linear = IsTicked(IDC_LINEAR);
        m_sliderPos = Item(IDC_SLIDER).pos;
        m_notifyText = GetItemText(IDC_NOTIFY_TEXT);
    } else {
        SetTicked(IDC_CIRCULAR, m_circular);
        SetTicked(IDC_LINEAR, m_linear);
        SetPos(IDC_SLIDER, m_sliderPos);
        SetItemText(IDC_NOTIFY_TEXT, m_notifyText);
    }
}

void CRecordModeDlg::EnableThresholdControls() {
    EnableItem(IDC_NOTIFY_TEXT, m_linear);
    EnableItem(IDC_SLIDER, m_linear);
}

bool CRecordModeDlg::OnInitDialog() {
    SetCaption(res::LoadString(1022));
    m_sliderPos = PositionFromThreshold(m_info.m_nFillThreshold);
    m_notifyText = res::FormatString(1000, m_info.m_nFillThreshold);
    m_circular = m_info.m_bCircular != 0;
    m_linear = !m_circular;
    UpdateData(false);
    EnableThresholdControls();
    return true;
}

void CRecordModeDlg::OnSliderMoved(int, int pos) {
    m_sliderPos = pos;
    m_notifyText = res::FormatString(1000, ThresholdFromPosition(pos));
    UpdateData(false);
}

void CRecordModeDlg::OnClick(int id) {
    switch (id) {
        case IDC_CIRCULAR:
            m_circular = true;
            m_linear = false;
            SetTicked(IDC_CIRCULAR, true);
            SetTicked(IDC_LINEAR, false);
            EnableThresholdControls();
            break;
        case IDC_LINEAR:
            m_linear = true;
            m_circular = false;
            SetTicked(IDC_LINEAR, true);
            SetTicked(IDC_CIRCULAR, false);
            EnableThresholdControls();
            break;
        case 4:
            if (m_support) m_support->ShowHelp(kHelpTopic);
            break;
        default:
            ui::Dialog::OnClick(id);
    }
}

void CRecordModeDlg::OnOK() {
    UpdateData(true);
    m_info.m_nFillThreshold = ThresholdFromPosition(m_sliderPos);
    if (m_circular) m_info.m_bCircular = 1;
    if (m_linear) m_info.m_bCircular = 0;
    EndDialog(1);
}

void CRecordModeDlg::OnClose() {
    if (CWWRegistry::GetControlsWWMode() != 0) return;
    OnCancel();
}
