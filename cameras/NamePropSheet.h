// The camera setup sheet: Names, Termination, Gain, Camera Control, PTZ
// Triggers, User-Defined Handlers and Covert pages, each present only when
// the host's version, switches and access allow it.
#pragma once
#include <memory>

#include "cameras/CamGainPropPage.h"
#include "cameras/CamTerminationPropPage.h"
#include "cameras/CameraPagesSheet.h"
#include "cameras/CameraPropPage.h"

class CNamePropSheet : public CCameraPagesSheet {
public:
    // Assembles the pages; raises ComError when the host system object cannot
    // be had or one of its calls fails.  cameraControl may be null.
    CNamePropSheet(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl);
    ~CNamePropSheet() override;

    int GetActiveHelpTopic() override;
    void Create(ui::Window* parent) override;

    // The pages built (null when not built; a built page need not be added).
    CCameraPropPage* NamesPage() const { return m_names.get(); }
    CCamTerminationPropPage* TerminationPage() const { return m_termination.get(); }
    CCamGainPropPage* GainPage() const { return m_gain.get(); }

private:
    std::unique_ptr<CCameraPropPage> m_names;
    std::unique_ptr<CCamTerminationPropPage> m_termination;
    std::unique_ptr<CCamGainPropPage> m_gain;
};
