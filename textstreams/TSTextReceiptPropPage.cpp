#include "textstreams/TSTextReceiptPropPage.h"

#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "textstreams/TextStreamListDlg.h"

CTSTextReceiptPropPage::CTSTextReceiptPropPage(CTextStreamListDlg& list, int index)
    : CStreamDefinitionsPage(IDD, list, index, true, IDC_RECEIPTS, IDC_BUILD, IDC_SHOW_DESCRIPTION,
                             &mirelle::ISetupUI::ShowTextReceipts) {}

void CTSTextReceiptPropPage::OnItemChecked(int id, int row) {
    if (id != IDC_RECEIPTS) return;
    auto& list = Item(IDC_RECEIPTS);
    // Group-supported counts as set until the Alarms page has said otherwise.
    if (list.CheckedItems().empty() && m_list.groupSupported != 0 && m_list.groupFlag > 0) {
        const int answer = WWMessageBox(this, res::LoadString(IDS_LAST_RECEIPT_QUESTION), "",
                                        ui::MB_YESNO | ui::MB_ICONQUESTION);
        if (answer == ui::IDYES) {
            m_list.groupFlag = 0;
        } else {
            list.SetChecked(row, true);
            Changed(IDC_RECEIPTS);
        }
    }
    m_list.receiptsChecked = static_cast<int>(list.CheckedItems().size());
}

bool CTSTextReceiptPropPage::OnApply() {
    if (!HasWindow()) return true;
    if (KeepsHostChoices(ChecksChanged())) return true;
    const auto checked = CheckedIds();
    m_list.SetReceiptsSelection(checked, OtherKindIds());
    if (checked.empty()) {
        textstreams::TextStreamRecord partial;
        partial.ApplyExceptionsAsGroup = 0;
        m_list.Merge(partial);
    }
    SetModified(false);
    return true;
}
