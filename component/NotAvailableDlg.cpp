#include "component/NotAvailableDlg.h"

#include "resources/Ids.h"
#include "resources/Resources.h"

CNotAvailableDlg::CNotAvailableDlg(std::string operation, ui::Window* parent)
    : ui::Dialog(res::kDlgNotAvailable, parent), m_operation(std::move(operation)) {}

bool CNotAvailableDlg::OnInitDialog() {
    SetCaption(TemplateCaption());
    SetItemText(res::kIdcNotAvailableText, res::FormatString(res::kStrNotAvailable, m_operation));
    return true;
}

int ShowNotAvailable(const std::string& operation, ui::Window* parent) {
    CNotAvailableDlg dlg(operation, parent);
    return dlg.DoModal();
}
