// Receipt Definitions page (template 237): the receipt definitions the
// stream uses.  Without any, exceptions cannot be searched as a group.
#pragma once
#include "textstreams/StreamDefinitionsPage.h"

class CTSTextReceiptPropPage : public CStreamDefinitionsPage {
public:
    enum {
        IDD = 237,
        IDC_RECEIPTS = 1180,
        IDC_BUILD = 1181,
        IDC_SHOW_DESCRIPTION = 1182,
        kHelpTopic = 84,
        IDS_LAST_RECEIPT_QUESTION = 131,
    };

    CTSTextReceiptPropPage(CTextStreamListDlg& list, int index);

    bool OnApply() override;

protected:
    void OnItemChecked(int id, int row) override;
};
