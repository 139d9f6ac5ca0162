// PTZ Triggers page (template 251): the unit's PTZ trigger definitions.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "cameras/PTZTriggerDefinition.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

class CCamPTZTriggerPropPage : public ui::PropertyPage {
public:
    enum { IDD = 251, kHelpTopic = 38, kColumns = 7 };

    CCamPTZTriggerPropPage(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl);

    bool OnApply() override;

    const std::vector<std::unique_ptr<cameras::PTZTriggerDefinition>>& Definitions() const { return m_definitions; }
    bool IsChanged() const { return m_changed; }
    // Cell text of a row, as the list draws it.
    std::string CellText(const cameras::PTZTriggerDefinition& def, int column) const;

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnSelChange(int id) override;
    void OnDoubleClick(int id, int row) override;

private:
    void UpdateButtons();
    void Redraw();
    void InsertRow(int index);
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnDeleteAll();
    bool RunEditor(cameras::PTZTriggerDefinition& def);

    std::vector<std::unique_ptr<cameras::PTZTriggerDefinition>> m_definitions;
    int m_selected = -1;
    bool m_changed = false;
    host::ISetupUISupport* m_setup;
    host::ICameraControlUISupport* m_cameraControl;
};
