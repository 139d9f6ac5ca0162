// Strings and dialog templates of the audio setup.
#include "platform/ui/TemplateBuilders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {0, ""},
};
}  // namespace

std::span<const StringEntry> AudioStrings() { return kStrings; }

void AddAudioTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace ui::tpl;
    // Audio Mixer: volumes, record input and levels, the 14-lamp level meter.
    // The line and microphone live volumes (each with its Mute) share the
    // "Live" row: the page shows the one of the recorded input, and with no
    // input recorded both, disabled, the microphone's over the line's.
    std::vector<ControlTemplate> mixer = {
        Group(1401, "Volume", 6, 4, 288, 56),
        Static(1402, "Playback", 14, 20, 42), Slider(1403, 58, 16, 170, 0, 100), Check(1404, "Mute", 236, 18, 50),
        Static(1405, "Live", 14, 40, 42), Slider(1406, 58, 36, 170, 0, 100), Check(1407, "Mute", 236, 38, 50),
        Slider(1408, 58, 36, 170, 0, 100), Check(1409, "Mute", 236, 38, 50),
        Group(1410, "Record", 6, 64, 288, 64),
        Radio(1411, "None", 14, 78, 1, 40), Radio(1412, "Line", 58, 78, 1, 40), Radio(1413, "Mic", 102, 78, 1, 40),
        Check(1416, "Mic Boost", 160, 78, 70),
        Static(1417, "Line", 14, 96, 40), Slider(1414, 58, 92, 170, 0, 100),
        Static(1418, "Mic", 14, 112, 40), Slider(1415, 58, 108, 170, 0, 100),
        Static(1420, "Level", 14, 136, 40), Panel(1440, 56, 132, 146, 16)};
    for (int i = 0; i < 14; ++i) mixer.push_back(Led(1421 + i, 60 + i * 10, 136));
    out[102] = Dlg(102, "Audio Mixer", 300, 174, mixer);

    // Camera Associations: one check box per camera, named at run time.
    std::vector<ControlTemplate> assoc = {
        Static(1501, "Cameras whose recordings carry the audio input:", 8, 6, 280),
        Group(1502, "Cameras", 6, 20, 288, 146)};
    for (int i = 0; i < 16; ++i)
        assoc.push_back(Check(1510 + i, "Camera " + std::to_string(i + 1), 16 + (i / 8) * 140, 34 + (i % 8) * 16, 130));
    out[210] = Dlg(210, "Camera Associations", 300, 174, assoc);
}

}  // namespace res
