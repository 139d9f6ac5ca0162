// The text stream sheet: Text Source and Camera Associations, and on units
// with text alarms the Alarms and Receipt Definitions pages.  Every page
// writes its share of the stream into the list dialog's current record.
#pragma once
#include <memory>
#include <vector>

#include "component/SetupSheet.h"
#include "textstreams/TextStreamSheetRules.h"

class CTextStreamListDlg;
class CTSTextSourcePropPage;
class CTSCameraAssociationPropPage;
class CTSTextAlarmsPropPage;
class CTSTextReceiptPropPage;

class CTextStreamPropSheet : public CSetupSheet {
public:
    // index: the stream's position in the list dialog, -1 for a new stream.
    // Raises ComError when the host system object cannot be had.
    CTextStreamPropSheet(CTextStreamListDlg& list, int index);
    ~CTextStreamPropSheet() override;

    int GetActiveHelpTopic() override;
    void Create(ui::Window* parent) override;

    CTSTextSourcePropPage* SourcePage() const { return m_source.get(); }
    CTSCameraAssociationPropPage* CameraPage() const { return m_cameras.get(); }
    CTSTextAlarmsPropPage* AlarmsPage() const { return m_alarms.get(); }
    CTSTextReceiptPropPage* ReceiptPage() const { return m_receipts.get(); }
    // The window lets the tab key move into the pages.
    bool ControlParent() const { return m_controlParent; }

private:
    std::unique_ptr<CTSTextSourcePropPage> m_source;
    std::unique_ptr<CTSCameraAssociationPropPage> m_cameras;
    std::unique_ptr<CTSTextAlarmsPropPage> m_alarms;
    std::unique_ptr<CTSTextReceiptPropPage> m_receipts;
    std::vector<textstreams::eStreamPage> m_kinds;
    bool m_controlParent = false;
};
