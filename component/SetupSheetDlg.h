// The frame dialog (template 147) that hosts every property-sheet setup.
#pragma once
#include <memory>
#include <string>

#include "component/SetupSheet.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

// Module-wide on-screen keyboard flag of the frames: set by each frame's
// construction; dialogs opened from inside a sheet read it too.
bool FrameKeyboardFlag();
void SetFrameKeyboardFlag(bool on);

class CSetupSheetDlg : public ui::Dialog {
public:
    enum { IDD = 147, IDC_PANEL = 1088, IDC_TITLE = 1089, IDC_KEYBOARD = 1002 };

    // Raises ComError(E_POINTER) when the host system object cannot be had.
    CSetupSheetDlg(host::ISetupUISupport* support, int titleId, CSetupSheet* sheet, int captionFlag, bool keyboard,
                   ui::Window* parent, int closeOnly);

    ui::PropertySheet* EmbeddedSheet() override { return m_sheet; }
    CSetupSheet* Sheet() const { return m_sheet; }
    const std::string& Title() const { return m_title; }
    int CameraCount() const { return m_cameraCount; }
    bool CloseOnly() const { return m_closeOnly != 0; }
    // Where the sheet sits in the frame (pixels), after initialisation.

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    CSetupSheet* m_sheet;
    host::ISetupUISupport* m_support;
    std::string m_title;
    int m_captionFlag;
    int m_closeOnly;
    int m_cameraCount = 0;
};
