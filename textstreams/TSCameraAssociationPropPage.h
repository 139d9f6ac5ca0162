// Camera Associations page (template 214): the cameras (up to 16) tied to
// the stream, one check box each, captioned with the host's camera names.
#pragma once
#include <cstdint>

#include "platform/ui/Dialog.h"

class CTextStreamListDlg;

class CTSCameraAssociationPropPage : public ui::PropertyPage {
public:
    enum { IDD = 214, IDC_CAMERA1 = 1150, kBoxes = 16, kHelpTopic = 77 };

    CTSCameraAssociationPropPage(CTextStreamListDlg& list, int index);

    // Bit n-1 set for each checked box n.
    std::int32_t CheckedMask() const;
    bool OnApply() override;

protected:
    bool OnInitDialog() override;

private:
    CTextStreamListDlg& m_list;
    int m_index;
};
