// PTZ trigger editor (template 250): edits one trigger definition.
#pragma once
#include <cstdint>

#include "cameras/PTZTriggerDefinition.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

class CCamPTZTriggerSetup : public ui::Dialog {
public:
    enum { IDD = 250, kHelpTopic = 39, kPresetMax = 96, kPatternMax = 63 };

    // Reads the camera count (ComError when the host system object cannot be had).
    CCamPTZTriggerSetup(host::ISetupUISupport* setup, cameras::PTZTriggerDefinition& definition,
                        host::ICameraControlUISupport* cameraControl, bool keyboard, ui::Window* parent);

    // Position of a spin control tied to a number field: the field's whole
    // number when it lies in lo..hi; otherwise the spin reports an error in
    // the high word together with its position.
    static std::uint32_t SpinPosition(const std::string& fieldText, int lo, int hi, int position);

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnTextChanged(int id) override;
    void OnSliderMoved(int id, int pos) override;
    void OnOK() override;

private:
    void EnableAction(bool preset);
    std::uint32_t ReadSpin(int fieldId, int spinId, int hi);

    cameras::PTZTriggerDefinition& m_definition;
    host::ISetupUISupport* m_setup;
    host::ICameraControlUISupport* m_cameraControl;
    bool m_keyboard;
    std::int16_t m_cameraCount = 0;
};
