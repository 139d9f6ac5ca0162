#include "textstreams/TextStreamPropSheet.h"

#include "component/HostSystem.h"
#include "textstreams/TSCameraAssociationPropPage.h"
#include "textstreams/TSTextAlarmsPropPage.h"
#include "textstreams/TSTextReceiptPropPage.h"
#include "textstreams/TSTextSourcePropPage.h"
#include "textstreams/TextStreamListDlg.h"

using textstreams::eStreamPage;

CTextStreamPropSheet::CTextStreamPropSheet(CTextStreamListDlg& list, int index) {
    auto hostSystem = mirelle::ObtainHostSystemObject();
    const auto& iid = host::IHostSystemObject::IID_;
    double version = 0;
    com::ThrowIfFailed(hostSystem->GetVersion(&version), iid);
    m_kinds = textstreams::StreamSheetPages(version, [&] {
        host::VARIANT_BOOL on = 0;
        com::ThrowIfFailed(hostSystem->IsFeatureEnabled(textstreams::kTextAlarmsFeature, &on), iid);
        return on;
    });
    for (eStreamPage kind : m_kinds) {
        switch (kind) {
            case eStreamPage::TextSource:
                m_source = std::make_unique<CTSTextSourcePropPage>(list, index);
                AddPage(m_source.get());
                break;
            case eStreamPage::CameraAssociations:
                m_cameras = std::make_unique<CTSCameraAssociationPropPage>(list, index);
                AddPage(m_cameras.get());
                break;
            case eStreamPage::Alarms:
                m_alarms = std::make_unique<CTSTextAlarmsPropPage>(list, index);
                AddPage(m_alarms.get());
                break;
            case eStreamPage::ReceiptDefinitions:
                m_receipts = std::make_unique<CTSTextReceiptPropPage>(list, index);
                AddPage(m_receipts.get());
                break;
        }
    }
}

CTextStreamPropSheet::~CTextStreamPropSheet() = default;

void CTextStreamPropSheet::Create(ui::Window* parent) {
    CSetupSheet::Create(parent);
    m_controlParent = true;
}

int CTextStreamPropSheet::GetActiveHelpTopic() {
    const int active = ActiveIndex();
    if (active < 0 || active >= static_cast<int>(m_kinds.size())) return textstreams::StreamPageHelpTopic(std::nullopt);
    return textstreams::StreamPageHelpTopic(m_kinds[static_cast<size_t>(active)]);
}
