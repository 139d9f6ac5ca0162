// User-Defined Handlers page (template 248): installs, updates and removes
// camera handlers described by XML definition files.  Nothing reaches the
// host before apply: the work is collected in m_arrayPendingChanges.
#pragma once
#include <cstdint>
#include <string>

#include "cameras/PendingHandlerChanges.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

class CUserDefinedHandlersPage : public ui::PropertyPage {
public:
    enum { IDD = 248, kHelpTopic = 49 };

    // Reads the camera count and the local-file-access flag.
    CUserDefinedHandlersPage(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl);

    bool OnApply() override;

    const cameras::PendingChanges& PendingChanges() const { return m_arrayPendingChanges; }

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnSelChange(int id) override;

private:
    struct HostHandler {
        std::int32_t index = -1;
        std::string DisplayName;
        std::string ProgramID;
    };
    std::vector<HostHandler> HostHandlers();
    void RefreshList();
    void OnAddUpdate();
    void OnRemove();
    // The chosen file, or empty when nothing was chosen.
    std::string ChooseFile();

    cameras::PendingChanges m_arrayPendingChanges;
    std::int16_t m_cameraCount = 0;
    bool m_localMode = false;
    host::ISetupUISupport* m_setup;
    host::ICameraControlUISupport* m_cameraControl;
};
