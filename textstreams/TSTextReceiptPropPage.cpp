#include "textstreams/TSTextReceiptPropPage.h"

#include "component/ISetupUI.h"
#include "component/SetupSheetDlg.h"
#include "foundation/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "textstreams/OwnSetupUI.h"
#include "textstreams/TextStreamListDlg.h"

CTSTextReceiptPropPage::CTSTextReceiptPropPage(CTextStreamListDlg& list, int index)
    : CStreamDefinitionsPage(IDD, list, index, true, IDC_RECEIPTS, IDC_BUILD, IDC_SHOW_DESCRIPTION) {}

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

void CTSTextReceiptPropPage::RunManager(mirelle::ISetupUI& setupUI) {
    auto exceptions = ExceptionSupport();
    if (!exceptions) return;
    std::int32_t result = 0;
    setupUI.ShowTextReceipts(m_list.SetupSupport(), exceptions.get(), FrameKeyboardFlag() ? 1 : 0,
                             m_list.Remote() ? 1 : 0, textstreams::AsWindowParam(this), &result);
}

bool CTSTextReceiptPropPage::OnApply() {
    if (!HasWindow()) return true;
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
