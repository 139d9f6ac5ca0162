// The IP source sheet: the IP Sources page and, as the host allows, the
// Camera Control, PTZ Triggers, User-Defined Handlers and Covert pages of the
// camera setup.
#pragma once
#include <memory>

#include "cameras/CameraPagesSheet.h"
#include "network/IPSourcePropPage.h"

class CIPSourcePropSheet : public CCameraPagesSheet {
public:
    enum { kCovertVersion = 310 };

    // Assembles the pages; raises ComError when the host system object cannot
    // be had or one of its calls fails.  cameraControl may be null.
    CIPSourcePropSheet(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl);
    ~CIPSourcePropSheet() override;

    int GetActiveHelpTopic() override;

    // The pages built (null when not built; a built page need not be added).
    CIPSourcePropPage* SourcesPage() const { return m_sources.get(); }

private:
    std::unique_ptr<CIPSourcePropPage> m_sources;
};
