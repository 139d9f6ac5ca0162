#include "cameras/CamPTZTriggerSetup.h"

#include <cctype>

#include "cameras/CameraHelpers.h"
#include "component/HostSystem.h"
#include "foundation/Controls.h"
#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

using namespace res::cam;

CCamPTZTriggerSetup::CCamPTZTriggerSetup(host::ISetupUISupport* setup, cameras::PTZTriggerDefinition& definition,
                                         host::ICameraControlUISupport* cameraControl, bool keyboard,
                                         ui::Window* parent)
    : ui::Dialog(IDD, parent),
      m_definition(definition),
      m_setup(setup),
      m_cameraControl(cameraControl),
      m_keyboard(keyboard) {
    m_cameraCount = mirelle::HostCameraCount();
}

std::uint32_t CCamPTZTriggerSetup::SpinPosition(const std::string& text, int lo, int hi, int position) {
    bool whole = !text.empty();
    long value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            whole = false;
            break;
        }
        value = value * 10 + (c - '0');
        if (value > hi) {
            whole = false;
            break;
        }
    }
    if (whole && value >= lo && value <= hi) return static_cast<std::uint32_t>(value);
    return (1u << 16) | static_cast<std::uint16_t>(position);
}

std::uint32_t CCamPTZTriggerSetup::ReadSpin(int fieldId, int spinId, int hi) {
    const auto& spin = Item(spinId);
    return SpinPosition(GetItemText(fieldId), 1, hi, spin.pos);
}

bool CCamPTZTriggerSetup::OnInitDialog() {
    if (m_keyboard) PrepareOnScreenKeyboard(*this, kTrgKeypad);

    auto& alarm = Item(kTrgAlarmCamera);
    auto& ptz = Item(kTrgPtzCamera);
    alarm.ClearItems();
    ptz.ClearItems();
    for (int cam = 0; cam < m_cameraCount && cam < mirelle::kMaxCameras; ++cam) {
        bool valid = false;
        const std::string name = mirelle::HostCameraName(m_setup, cam, &valid);
        if (!valid) continue;
        alarm.AddItem(name, cam);
        std::int32_t handler = -1;
        if (m_cameraControl && com::SUCCEEDED(m_cameraControl->GetCameraHandler(cam, &handler)) && handler >= 0)
            ptz.AddItem(name, cam);
    }
    auto choose = [&](int id, std::int32_t camera) {
        auto& c = Item(id);
        int sel = -1;
        if (camera < 0) {
            sel = c.ItemCount() > 0 ? 0 : -1;
        } else {
            for (int i = 0; i < c.ItemCount() && sel < 0; ++i)
                if (c.ItemData(i) == camera) sel = i;
        }
        SetSelection(id, sel);
    };
    choose(kTrgAlarmCamera, m_definition.AlarmCameraID());
    choose(kTrgPtzCamera, m_definition.PTZCameraID());

    SetTicked(kTrgFilter, m_definition.Filter() != 0);
    SetTicked(kTrgInput, m_definition.Input() != 0);
    SetTicked(kTrgGenerated, m_definition.Generated() != 0);
    SetTicked(kTrgVideoLoss, m_definition.VideoLoss() != 0);
    SetItemText(kTrgSmallLabel, m_definition.LabelText());

    auto& presetSpin = Item(kTrgPresetSpin);
    presetSpin.rangeMin = 1;
    presetSpin.rangeMax = kPresetMax;
    auto& patternSpin = Item(kTrgPatternSpin);
    patternSpin.rangeMin = 1;
    patternSpin.rangeMax = kPatternMax;

    const bool pattern = m_definition.ActionType() == cameras::PTZTriggerDefinition::ePattern;
    const int valueField = pattern ? kTrgPatternNumber : kTrgPresetNumber;
    const int valueSpin = pattern ? kTrgPatternSpin : kTrgPresetSpin;
    SetTicked(kTrgPattern, pattern);
    SetTicked(kTrgPreset, !pattern);
    // The field shows the stored value even when the spin cannot hold it, so
    // an out-of-range value read from the host is caught by the check.
    SetPos(valueSpin, static_cast<int>(m_definition.ActionValue()));
    SetItemText(valueField, std::to_string(m_definition.ActionValue()));
    SetPos(pattern ? kTrgPresetSpin : kTrgPatternSpin, 1);
    SetItemText(pattern ? kTrgPresetNumber : kTrgPatternNumber, "1");
    EnableAction(!pattern);
    return true;
}

void CCamPTZTriggerSetup::EnableAction(bool preset) {
    EnableItem(kTrgPresetNumber, preset);
    EnableItem(kTrgPresetSpin, preset);
    EnableItem(kTrgPatternNumber, !preset);
    EnableItem(kTrgPatternSpin, !preset);
}

void CCamPTZTriggerSetup::OnTextChanged(int id) {
    // The spin follows its field while the field holds a number it can show.
    auto follow = [&](int spin, int hi) {
        const std::uint32_t pos = SpinPosition(GetItemText(id), 1, hi, Item(spin).pos);
        if (pos <= static_cast<std::uint32_t>(hi)) SetPos(spin, static_cast<int>(pos));
    };
    if (id == kTrgPresetNumber) follow(kTrgPresetSpin, kPresetMax);
    if (id == kTrgPatternNumber) follow(kTrgPatternSpin, kPatternMax);
}

void CCamPTZTriggerSetup::OnSliderMoved(int id, int pos) {
    if (id == kTrgPresetSpin) SetItemText(kTrgPresetNumber, std::to_string(pos));
    if (id == kTrgPatternSpin) SetItemText(kTrgPatternNumber, std::to_string(pos));
}

void CCamPTZTriggerSetup::OnClick(int id) {
    switch (id) {
        case kTrgPreset: EnableAction(true); break;
        case kTrgPattern: EnableAction(false); break;
        case 4:
            if (m_setup) m_setup->ShowHelp(kHelpTopic);
            break;
        default: ui::Dialog::OnClick(id);
    }
}

void CCamPTZTriggerSetup::OnOK() {
    auto selectedCamera = [&](int id) -> std::int32_t {
        const auto& c = Item(id);
        return c.selection < 0 ? -1 : static_cast<std::int32_t>(c.ItemData(c.selection));
    };
    cameras::PTZTriggerDefinition& d = m_definition;
    d.SetAlarmCameraID(selectedCamera(kTrgAlarmCamera));
    d.SetPTZCameraID(selectedCamera(kTrgPtzCamera));
    bool valid = false;
    std::string name = mirelle::HostCameraName(m_setup, d.AlarmCameraID(), &valid);
    if (valid) d.SetAlarmCameraName(name);
    name = mirelle::HostCameraName(m_setup, d.PTZCameraID(), &valid);
    if (valid) d.SetPTZCameraName(name);
    d.SetFilter(IsTicked(kTrgFilter) ? 1 : 0);
    d.SetInput(IsTicked(kTrgInput) ? 1 : 0);
    d.SetGenerated(IsTicked(kTrgGenerated) ? 1 : 0);
    d.SetVideoLoss(IsTicked(kTrgVideoLoss) ? 1 : 0);
    d.SetLabelText(GetItemText(kTrgSmallLabel));
    if (IsTicked(kTrgPattern)) {
        d.SetActionType(cameras::PTZTriggerDefinition::ePattern);
        d.SetActionValue(ReadSpin(kTrgPatternNumber, kTrgPatternSpin, kPatternMax));
    } else if (IsTicked(kTrgPreset)) {
        d.SetActionType(cameras::PTZTriggerDefinition::ePreset);
        d.SetActionValue(ReadSpin(kTrgPresetNumber, kTrgPresetSpin, kPresetMax));
    }
    const std::int32_t code = cameras::CheckDefinition(d);
    if (code == cameras::E_VALID) {
        EndDialog(1);
        return;
    }
    WWMessageBox(this, res::LoadString(cameras::ValidityMessageId(code)), "", ui::MB_OK);
}
