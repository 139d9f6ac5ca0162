// Record mode dialog (template 150): linear with a fill-level notification,
// or circular.
#pragma once
#include <string>

#include "util/Util.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

class CRecordModeDlg : public ui::Dialog {
public:
    enum {
        IDD = 150,
        IDC_LINEAR = 1014,
        IDC_SLIDER = 1016,
        IDC_PANEL = 1017,
        IDC_NOTIFY_TEXT = 1018,
        IDC_CIRCULAR = 1019,
        IDC_LABEL = 1077,
        IDC_KEYBOARD = 1084,
        kHelpTopic = 60,
    };

    CRecordModeDlg(host::ISetupUISupport* support, CRecordInfo& info, ui::Window* parent);

    // Slider position <-> notification threshold (percent).
    static int PositionFromThreshold(int threshold) { return (threshold - 50) / 5; }
    static int ThresholdFromPosition(int position) { return 50 + 5 * position; }

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnSliderMoved(int id, int pos) override;
    void OnOK() override;
    void OnClose() override;

private:
    void UpdateData(bool save);
    void EnableThresholdControls();

    host::ISetupUISupport* m_support;
    CRecordInfo& m_info;
    bool m_circular = false;
    bool m_linear = false;
    int m_sliderPos = 0;
    std::string m_notifyText;
};
