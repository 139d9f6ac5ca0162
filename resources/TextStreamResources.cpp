// Strings and dialog templates of the textstream setup.
#include <string>
#include <vector>

#include "platform/ui/TemplateBuilders.h"
#include "resources/Ids.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {136, "Please enter an end-of-line sequence in ASCII hex format with a space between each pair of digits "
          "(example: 0d 0a)."},
    {121, "Invalid Stream Name"},
    {131, "Warning!  You have selected to search for exceptions as a group. This option is only available when "
          "receipt definitions are selected. Do you want to deselect the last receipt definition and apply exceptions "
          "as group?"},
    {132, "Warning!  You have selected to search for exceptions as a group. This option is only available when at "
          "least one receipt definition is selected. Please select one or more receipt definitions on the Receipt "
          "Definition page."},
    {105, "This exception is currently in use for live monitoring.  All streams using this exception will be "
          "affected.  Do you want to continue anyway?"},
    {106, "Please Enter Match Value and Try Again"},
    {107, "Less Than"}, {108, "Greater Than"}, {109, "Equal To"}, {110, "Between"}, {111, "Found"},
    {112, "Forward"}, {113, "Backward"}, {114, "A String"},
    {117, "Missing Beginning Receipt Marker.  Please Enter a Begin Receipt Marker and Try Again."},
    {120, "Delete highlighted item?"},
    {123, "Missing entry for Value 1.   Please Enter a value and Try Again"},
    {124, "Missing entry for Value 2.   Please Enter a value and Try Again"},
    {126, "150,605"}, {127, "Name,Description"},
    {133, "Missing name for receipt definition. Please enter a name for this receipt definition."},
    {134, "Missing name for exception definition. Please enter a name for this exception definition."},
    {157, "Build Receipt Definition"}, {158, "Manage Text Exceptions"}, {159, "Manage Receipt Definitions"},
    {169, "Build Text Exception"},
    {1080, "Unable to read the file %s.  Nothing was imported."},
    {1081, "Unable to write the file %s."},
    {kStrDefinitionListFull, "The definition list is full (%d definitions).  Delete a definition before adding "
                             "another."},
    {1069, "[To last entry of line]"},
    {140, "Invalid value for IP Port.  Please enter a value between %d and %d."},
    {141, "Value for IP Port already assigned to another text stream."},
    {1037, "Name"}, {1038, "Type"}, {1039, "Description"}, {1041, "125,125,225"},
    {1043, "Even"}, {1044, "Mark"}, {1045, "None"}, {1046, "Odd"}, {1047, "Space"},
    {1048, "Xon/Xoff"}, {1049, "Hardware"}, {1050, "None"},
    {1051, "Continue with deletion of text stream configuration for \"%s\"?"},
    {1053, "Stream name %s already exists please enter a different name"},
    {1054, "Unassigned"}, {1055, "Unable to create text stream."}, {1064, "Quellan Text Stream"},
};
}  // namespace

std::span<const StringEntry> TextStreamStrings() { return kStrings; }

void AddTextStreamTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace ui::tpl;
    out[201] = Dlg(201, "Text Streams", 330, 180,
                   {Report(1130, 8, 8, 314, 140, {"Name", "Type", "Description"}),
                    Button(1131, "Add", 8, 158), Button(1132, "Edit", 64, 158), Button(1133, "Delete", 120, 158),
                    Button(2, "Close", 216, 158), Button(4, "Help", 272, 158)});
    out[213] = Dlg(213, "Text Source", 250, 120,
                   {Group(1147, "Text Source", 6, 6, 238, 100), Static(1148, "Name:", 14, 24, 70),
                    Edit(1140, 90, 22, 140, 31), Static(1141, "Type:", 14, 46, 70), Combo(1142, 90, 44, 90, 80),
                    Button(1143, "Setup", 186, 44, 44), Static(1149, "Connection Type:", 14, 68, 70),
                    Sorted(Combo(1145, 90, 66, 90, 80)), Button(1146, "Setup", 186, 66, 44)});
    {
        std::vector<ui::ControlTemplate> boxes;
        for (int n = 0; n < 16; ++n)
            boxes.push_back(Check(1150 + n, "Camera " + std::to_string(n + 1), 14 + (n / 8) * 110, 14 + (n % 8) * 14, 100));
        out[214] = Dlg(214, "Camera Associations", 250, 130, std::move(boxes));
    }
    // The two definition managers share their controls.
    auto manager = [](int id, const char* caption, const char* title) {
        return Dlg(id, caption, 330, 190,
                   {Panel(1060, 6, 6, 318, 150), Static(218, title, 14, 12, 200),
                    CheckReport(1200, 14, 26, 302, 124, {"Name", "Description"}),
                    Button(1201, "Add", 6, 162, 40), Button(1202, "Edit", 50, 162, 40),
                    Button(1203, "Delete", 94, 162, 40), Button(1204, "Import", 138, 162, 40),
                    Button(1205, "Export", 182, 162, 40), Button(2, "Close", 234, 162, 40),
                    Button(4, "Help", 284, 162, 40), Keyboard(1002, "ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789$~")});
    };
    out[234] = manager(234, "Text Exceptions", "Advanced Text Exceptions");
    out[236] = manager(236, "Receipt Definitions", "Receipt Definitions");
    out[229] = Dlg(229, "Text Exception", 330, 230,
                   {Panel(1060, 6, 6, 318, 196), Static(218, "Advanced Text Exceptions", 14, 12, 200),
                    Static(1220, "Exception Name:", 14, 28, 70), Edit(1210, 90, 26, 150, 31),
                    Static(1221, "Match:", 14, 46, 70), Edit(1211, 90, 44, 150, 63),
                    Static(1222, "Search Direction:", 14, 64, 70), Combo(1212, 90, 62, 70),
                    Static(1223, "Jump N Results:", 170, 64, 60), Combo(1213, 234, 62, 80),
                    Static(1224, "And Value is:", 14, 82, 70), Combo(1214, 90, 80, 70),
                    Static(1225, "Value 1:", 14, 100, 70), Edit(1215, 90, 98, 70, 31),
                    Static(1226, "Value 2:", 170, 100, 60), Edit(1216, 234, 98, 80, 31),
                    Static(1227, "Text Stream:", 14, 118, 70), Sorted(Combo(1217, 90, 116, 150)),
                    Static(1228, "Transaction Data:", 14, 134, 100), ReadOnlyArea(FixedPitch(Edit(1218, 14, 146, 300, 0, 52))),
                    Button(1, "OK", 146, 208), Button(2, "Cancel", 202, 208), Button(4, "Help", 258, 208),
                    Keyboard(1002, "ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789$~")});
    out[230] = Dlg(230, "Receipt Definition", 330, 200,
                   {Panel(1060, 6, 6, 318, 166), Static(218, "Receipt Definition", 14, 12, 200),
                    Static(1240, "Receipt Definition Name:", 14, 28, 90), Edit(1230, 110, 26, 150, 31),
                    Static(1241, "Beginning Marker:", 14, 46, 90), Edit(1231, 110, 44, 150, 63),
                    Hidden(Static(1242, "Ending Marker:", 14, 64, 90)), Hidden(Edit(1232, 110, 62, 150, 63)),
                    Static(1227, "Text Stream:", 14, 82, 90), Sorted(Combo(1217, 110, 80, 150)),
                    Static(1228, "Transaction Data:", 14, 98, 100), ReadOnlyArea(FixedPitch(Edit(1218, 14, 110, 300, 0, 56))),
                    Button(1, "OK", 146, 178), Button(2, "Cancel", 202, 178), Button(4, "Help", 258, 178),
                    Keyboard(1002, "ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789$~")});
    out[232] = Dlg(232, "Alarms", 250, 150,
                   {Sorted(CheckReport(1170, 8, 8, 234, 96, {"Description"})), Button(1171, "Build Exceptions", 8, 110, 70),
                    Check(1172, "Show Description", 90, 111, 80),
                    Check(1173, "Apply selected exceptions as a group", 8, 128, 200)});
    out[237] = Dlg(237, "Receipt Definitions", 250, 130,
                   {Sorted(CheckReport(1180, 8, 8, 234, 96, {"Description"})), Button(1181, "Build Receipts", 8, 110, 70),
                    Check(1182, "Show Description", 90, 111, 80)});
    out[242] = Dlg(242, "General Text Setup", 250, 110,
                   {Panel(1060, 6, 6, 238, 70), Static(218, "Setup General Text handler printer interface options", 14, 12, 220),
                    Static(1091, "End of line delimiter in ASCII hex format (example: 0D 0A)", 14, 30, 220),
                    Edit(1092, 14, 44, 160), Button(1093, "Default", 182, 44),
                    Button(1, "OK", 68, 86), Button(2, "Cancel", 124, 86), Button(4, "Help", 180, 86),
                    Keyboard(1002, "ABCDEF ,0123456789")});
    out[244] = Dlg(244, "TCP/IP Text Stream", 240, 170,
                   {Panel(1060, 6, 6, 228, 130), Static(218, "Setup TCP/IP Text Stream Options", 14, 12, 200),
                    Static(1125, "Text Stream TCP/IP Port:", 14, 30, 100), Edit(1121, 120, 28, 60),
                    Group(1129, "System Information", 14, 48, 210, 40),
                    Static(1126, "Network Name:", 20, 60, 70), Static(1122, "", 96, 60, 120),
                    Static(1127, "IP Address:", 20, 74, 70), Static(1123, "", 96, 74, 120),
                    Static(1128, "Used Text IP Ports:", 14, 100, 100), Combo(1124, 120, 98, 100),
                    Button(1, "OK", 58, 146), Button(2, "Cancel", 114, 146), Button(4, "Help", 170, 146),
                    Keyboard(1002, "0123456789")});
    out[245] = Dlg(245, "Serial Text Stream", 230, 170,
                   {Panel(1060, 6, 6, 218, 130), Static(218, "Setup Serial Text Stream Options", 14, 12, 200),
                    Static(1111, "COM Port:", 14, 30, 80), Combo(1101, 100, 28, 110),
                    Static(1112, "Bits Per Second:", 14, 48, 80), Combo(1102, 100, 46, 110),
                    Static(1113, "Data Bits:", 14, 66, 80), Combo(1103, 100, 64, 110),
                    Static(1114, "Parity:", 14, 84, 80), Combo(1104, 100, 82, 110),
                    Static(1115, "Stop Bits:", 14, 102, 80), Combo(1105, 100, 100, 110),
                    Static(1116, "Flow Control:", 14, 120, 80), Combo(1106, 100, 118, 110),
                    Button(1, "OK", 48, 146), Button(2, "Cancel", 104, 146), Button(4, "Help", 160, 146),
                    Keyboard(1002, "ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789$~")});
}

}  // namespace res
