// Strings and dialog templates of the display setup.
#include "platform/ui/TemplateBuilders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {0, ""},
};

// Layout page: the pane frame on the left, the camera buttons in two columns
// on the right and Reset below them.  The pane itself (control 1103) is
// created in the frame at run time.
ui::DialogTemplate LayoutPage(int id, const char* title) {
    using namespace ui::tpl;
    std::vector<ControlTemplate> c = {Panel(1101, 6, 6, 178, 150)};
    for (int k = 0; k < 16; ++k)
        c.push_back(Radio(1110 + k, "Camera " + std::to_string(k + 1), 192 + (k / 8) * 54, 6 + (k % 8) * 17, 1, 50));
    c.push_back(Button(1102, "Reset", 219, 144, 50));
    return Dlg(id, title, 300, 164, c);
}
}  // namespace

std::span<const StringEntry> DisplayStrings() { return kStrings; }

void AddDisplayTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace ui::tpl;
    out[135] = LayoutPage(135, "2 x 2");
    out[151] = LayoutPage(151, "3 x 3");
    out[152] = LayoutPage(152, "4 x 4");

    auto dwell = Ctl(ControlKind::TimeEdit, 1202, "min:sec", 20, 22, 50, 14);
    dwell.maxLength = 6;
    out[153] = Dlg(153, "Mode", 300, 164,
                   {Group(1201, "Sequencer Dwell", 6, 6, 140, 40), dwell,
                    Static(1221, "min:sec", 76, 25, 40),
                    Group(1203, "Playback Overlay", 6, 52, 140, 106),
                    Static(1204, "Enable", 14, 66, 50), Radio(1205, "Yes", 66, 66, 1, 34), Radio(1206, "No", 104, 66, 1, 34),
                    Static(1207, "Overlay Position", 14, 86, 120),
                    Radio(1208, "Upper-Left", 14, 100, 2, 60), Radio(1209, "Upper-Right", 78, 100, 2, 62),
                    Radio(1210, "Lower-Left", 14, 118, 2, 60), Radio(1211, "Lower-Right", 78, 118, 2, 62),
                    Group(1212, "Playback Controls", 154, 6, 140, 40),
                    Radio(1213, "Jog/Shuttle", 162, 22, 3, 60), Radio(1214, "VCR", 228, 22, 3, 50),
                    Group(1215, "Playback to Monitor", 154, 52, 140, 40),
                    Radio(1216, "Yes", 162, 68, 4, 40), Radio(1217, "No", 210, 68, 4, 40),
                    Group(1218, "Lock Live/Playback Layout", 154, 98, 140, 40),
                    Radio(1219, "Yes", 162, 114, 5, 40), Radio(1220, "No", 210, 114, 5, 40)});

    std::vector<ControlTemplate> call = {Group(1301, "Mode", 6, 6, 140, 36), Radio(1302, "Call", 14, 22, 1, 50),
                                         Radio(1303, "Spot", 76, 22, 1, 50),
                                         Group(1305, "Touch Tracker", 154, 6, 140, 36),
                                         Radio(1306, "Main", 162, 22, 3, 50), Radio(1307, "Secondary", 220, 22, 3, 66),
                                         Group(1304, "Call Camera", 6, 48, 288, 110)};
    for (int k = 0; k < 16; ++k)
        call.push_back(Radio(1310 + k, "Camera " + std::to_string(k + 1), 14 + (k % 4) * 70, 62 + (k / 4) * 22, 2, 66));
    out[202] = Dlg(202, "Call Monitor", 300, 164, call);
}

}  // namespace res
