// Strings and dialog templates of the camera setup.
#include "platform/ui/TemplateBuilders.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {101, "COM"},
    {102, "No communication port entered or port is string is invalid. Valid format is COMx where x is a number "
          "from 1 thru the available COM ports."},
    {103, "Camera address entered is invalid. It must be a numeric value in the range of 1 - 9999."},
    {104, "Monitor number entered is invalid. It must be a numeric value in the range of 1 - 9999."},
    {143, "Handler name %s already used. Replace it?"},
    {144, "Update User-Defined Camera Handler"},
    {145, "The name \"%s\" is already used by a permanent handler and cannot be used by a User Defined Handler. "
          "Change the value of <DisplayName> in your handler file and try again."},
    {146, "Invalid Camera Definition File."},
    {147, "XML Camera Handler not installed. Unable to install user-defined handler."},
    {148, "Add User-Defined Camera Handler"},
    {149, "115,50,50,60,90,100,115"},
    {150, "Alarm Camera"},
    {151, "Filter"},
    {152, "Input"},
    {153, "Generated"},
    {154, "Video Loss"},
    {155, "PTZ Camera"},
    {156, "Action"},
    {160, "Invalid Alarm Type: You must select at least one alarm type."},
    {161, "Alarm camera and PTZ camera cannot be the same if Filter alarm type is selected."},
    {162, "Invalid alarm camera."},
    {163, "Invalid PTZ camera."},
    {164, "PTZ action is invalid or out of range."},
    {165, "Illegal trigger definition."},
    {166, "Are you sure you want to delete the selected trigger definition?"},
    {168, "Warning! This camera is part of a PTZ trigger definition. Are you sure you want to change the handler?"},
    {170, "Are you sure you want to delete all the trigger definitions?"},
    {1023, "None"},
    {1033, "Failed to initialize volume %s."},
    {1067, "Users without Covert Cameras privileges will lose the following privileges while covert cameras are "
           "operating:  Cameras, Text Streams, Audio, Security, Schedule, Archive Schedule, and View Activity Log."},
    {1068, "No covert cameras are set up. The following user privileges will be applied as set by the "
           "Administrator:  Cameras, Text Streams, Audio, Security, Schedule, Archive Schedule, and View Activity "
           "Log."},
    {1070, "\"Files (%s)|%s||\""},
    {1071, "Text"},
    {cam::kStrTermHiZ, "Hi - Z"},
    {cam::kStrTerm75, "75 Ohms"},
    {cam::kStrGain0 + 0, "Reduce Gain"},
    {cam::kStrGain0 + 1, "Normal"},
    {cam::kStrGain0 + 2, "Boost Gain Low "},
    {cam::kStrGain0 + 3, "Boost Gain Medium"},
    {cam::kStrGain0 + 4, "Boost Gain High"},
    {cam::kStrCovertNormal, "Normal"},
    {cam::kStrCovertCovert, "Covert"},
    {cam::kStrFileName, "File name:"},
    {cam::kStrFileOpen, "Open"},
    {cam::kStrBrowse, "Browse for File"},
};

using namespace ui::tpl;

// Two columns of eight rows: label and field, plus a button when asked.
// Row r sits in column r / 8.
struct RowLayout {
    int labelX, labelW, fieldX, fieldW, buttonX, buttonW, columnStep, top, step;
};

void AddRows(std::vector<ControlTemplate>& c, const RowLayout& l, bool edit, int editMax, bool button,
             const std::string& headCamera, const std::string& headValue) {
    if (!headCamera.empty()) {
        for (int col = 0; col < 2; ++col) {
            c.push_back(Static(col == 0 ? cam::kHeadCamera1 : cam::kHeadCamera2, headCamera,
                               l.labelX + col * l.columnStep, 8, l.labelW));
            c.push_back(Static(col == 0 ? cam::kHeadValue1 : cam::kHeadValue2, headValue,
                               l.fieldX + col * l.columnStep, 8, l.fieldW));
        }
    }
    for (int r = 0; r < 16; ++r) {
        const int dx = (r / 8) * l.columnStep, y = l.top + (r % 8) * l.step;
        std::string label = headCamera.empty() ? std::to_string(r + 1) + "." : "WWWWWWWWWW";
        c.push_back(Static(cam::kRowLabel + r, label, l.labelX + dx, y + 2, l.labelW));
        if (edit)
            c.push_back(Edit(cam::kRowField + r, l.fieldX + dx, y, l.fieldW, editMax));
        else
            c.push_back(Combo(cam::kRowField + r, l.fieldX + dx, y, l.fieldW));
        if (button) c.push_back(Button(cam::kRowButton + r, "Setup", l.buttonX + dx, y, l.buttonW));
    }
}

ui::DialogTemplate RowsPage(int id, const std::string& title, const std::string& headValue, int fieldW) {
    std::vector<ControlTemplate> c;
    RowLayout l{10, 60, 74, fieldW, 0, 0, 80 + fieldW + 10, 24, 19};
    AddRows(c, l, false, 0, false, "Camera", headValue);
    return Dlg(id, title, 2 * l.columnStep + 10, 24 + 8 * 19 + 8, std::move(c));
}

ui::DialogTemplate FileDialog(int id, const std::string& caption) {
    return Dlg(id, caption, 260, 70,
               {Static(cam::kFilePathLabel, "File name:", 10, 12, 50), Edit(cam::kFilePath, 62, 10, 188, 260),
                Button(1, "OK", 140, 44), Button(2, "Cancel", 200, 44)});
}

}  // namespace

std::span<const StringEntry> CameraStrings() { return kStrings; }

void AddCameraTemplates(std::map<int, ui::DialogTemplate>& out) {
    // Names: "1." to "16." with a ten-character field each.
    {
        std::vector<ControlTemplate> c;
        RowLayout l{12, 16, 30, 80, 0, 0, 130, 14, 20};
        AddRows(c, l, true, 10, false, "", "");
        out[141] = Dlg(141, "Names", 260, 14 + 8 * 20 + 6, std::move(c));
    }
    out[154] = RowsPage(154, "Termination", "Termination", 70);
    out[221] = RowsPage(221, "Gain Mode", "Gain Mode", 90);
    out[228] = RowsPage(228, "Covert Mode", "Mode", 70);
    // Camera Control: name, handler choice and Setup per row.
    {
        std::vector<ControlTemplate> c;
        RowLayout l{8, 56, 66, 86, 156, 34, 196, 24, 19};
        AddRows(c, l, false, 0, true, "Camera", "Handler");
        out[203] = Dlg(203, "Camera Control", 2 * 196 + 4, 24 + 8 * 19 + 8, std::move(c));
    }
    // Camera control setup of one camera (no caption).
    out[215] = Dlg(215, "", 200, 110,
                   {Static(cam::kCcAddressLabel, "Camera Address:", 10, 12, 70), Edit(cam::kCcAddress, 84, 10, 60, 5),
                    Static(cam::kCcPortLabel, "Comm Port:", 10, 32, 70), Combo(cam::kCcPort, 84, 30, 60),
                    Hidden(Button(cam::kCcBrowse, "...", 148, 30, 16)),
                    Static(cam::kCcMonitorLabel, "Monitor Number:", 10, 52, 70), Edit(cam::kCcMonitor, 84, 50, 60, 5),
                    Keyboard(cam::kCcKeypad, "0123456789"), Button(1, "OK", 20, 84), Button(2, "Cancel", 76, 84),
                    Button(4, "Help", 132, 84)});
    // PTZ Triggers: the definitions list and its buttons.
    out[251] = Dlg(251, "PTZ Triggers", 390, 200,
                   {Report(cam::kPtzList, 8, 8, 374, 160,
                           {"Alarm Camera", "Filter", "Input", "Generated", "Video Loss", "PTZ Camera", "Action"}),
                    Button(cam::kPtzAdd, "Add", 8, 176, 60), Button(cam::kPtzEdit, "Edit", 76, 176, 60),
                    Button(cam::kPtzDelete, "Delete", 144, 176, 60),
                    Button(cam::kPtzDeleteAll, "Delete All", 212, 176, 60)});
    // PTZ trigger editor (no caption).
    out[250] = Dlg(250, "", 300, 210,
                   {Group(cam::kTrgGroupTrigger, "Trigger", 6, 4, 140, 150),
                    Static(cam::kTrgAlarmCameraLabel, "Alarm Camera", 14, 18, 120),
                    Combo(cam::kTrgAlarmCamera, 14, 30, 120),
                    Static(cam::kTrgAlarmTypesLabel, "Alarm Types", 14, 54, 120),
                    Check(cam::kTrgFilter, "Filter", 20, 68, 100), Check(cam::kTrgInput, "Input", 20, 84, 100),
                    Check(cam::kTrgGenerated, "Generated", 20, 100, 100),
                    Check(cam::kTrgVideoLoss, "Video Loss", 20, 116, 100),
                    Group(cam::kTrgGroupResponse, "Response", 152, 4, 142, 150),
                    Static(cam::kTrgPtzCameraLabel, "PTZ Camera", 160, 18, 120),
                    Combo(cam::kTrgPtzCamera, 160, 30, 120),
                    Static(cam::kTrgActionLabel, "PTZ Action", 160, 54, 120),
                    Radio(cam::kTrgPreset, "Preset Position", 166, 68, 1, 110),
                    Static(cam::kTrgPresetLabel, "Position Number", 176, 82, 60),
                    Edit(cam::kTrgPresetNumber, 238, 80, 24, 3), Spin(cam::kTrgPresetSpin, 264, 80, 12, 1, 96),
                    Radio(cam::kTrgPattern, "Pattern", 166, 100, 1, 110),
                    Static(cam::kTrgPatternLabel, "Pattern Number", 176, 114, 60),
                    Edit(cam::kTrgPatternNumber, 238, 112, 24, 3), Spin(cam::kTrgPatternSpin, 264, 112, 12, 1, 63),
                    Static(cam::kTrgSmallLabel, "X", 14, 140, 60), Keyboard(cam::kTrgKeypad, "0123456789"),
                    Button(1, "OK", 120, 186), Button(2, "Cancel", 178, 186), Button(4, "Help", 236, 186)});
    // User-Defined Handlers: installed handlers and the two actions.
    out[248] = Dlg(248, "User-Defined Handlers", 300, 180,
                   {List(cam::kUdhList, 8, 8, 200, 160), Button(cam::kUdhAddUpdate, "Add / Update", 216, 8, 76),
                    Button(cam::kUdhRemove, "Remove", 216, 28, 76),
                    Keyboard(cam::kUdhKeypad, "ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789")});
    out[cam::kDlgFileOpen] = FileDialog(cam::kDlgFileOpen, "Open");
}

}  // namespace res
