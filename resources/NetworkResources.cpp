// Strings and dialog templates of the network setup.
#include "platform/ui/TemplateBuilders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {128, "Quellan cannot run as stand-alone or change Castellan Server because network archive is running. "
          "Please contact your system administrator to stop archiving."},
    {129, "Quellan cannot run as stand-alone or change Castellan Server because it is in advanced security mode. "
          "Please turn off advanced security and try again."},
    {130, "Castellan Operation failed. Please contact your system administrator."},
    {135, "No configuration data available for \"%s\""},
    {137, "Error retrieving IP Sources data from the remote Quellan."},
    {1017, "Port number must be between 1024 and 65535."},
    {1018, "The port numbers must be different."},
    {1019, "The new port settings will take effect the next time you start Quellan."},
    {1073, "225,125,225"},
    {1074, "IP Device Type"},
    {1075, "IP Address"},
    {1076, "Camera Assignments"},
    {1077, "Do you wish to delete the settings for  \"%s\" at IP address \"%s\" assigned to camera(s) \"%s\"?"},
    {1078, "You must select an IP Device Type before clicking <OK>"},
    {9810, "Please enter an integer."},
};
}  // namespace

std::span<const StringEntry> NetworkStrings() { return kStrings; }

void AddNetworkTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace ui::tpl;
    // Port address dialog: no caption of its own.
    // The port edits take any length: OK refuses a port out of range, so
    // cutting the typed text short would turn 100000 into a valid 10000.
    out[155] = Dlg(155, "", 230, 200,
                   {Static(1030, "Communications Port", 12, 12, 100), Edit(1031, 120, 10, 60),
                    Static(1032, "LiveVideo Port", 12, 32, 100), Edit(1033, 120, 30, 60),
                    Static(1034, "Event Port", 12, 52, 100), Edit(1035, 120, 50, 60),
                    Static(1036, "Max Live Clients:", 12, 72, 100), Combo(1037, 120, 70, 60, 80),
                    Radio(1038, "Quellan runs as stand-alone", 12, 96, 1, 180),
                    Radio(1039, "Quellan runs as managed", 12, 112, 1, 180),
                    Static(1040, "Server Name:", 24, 132, 80), Edit(1041, 110, 130, 100, 63),
                    Button(1, "OK", 40, 176), Button(2, "Cancel", 95, 176), Button(4, "Help", 150, 176),
                    Keyboard(1042, "$ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")});
    // IP Sources page: the source list (columns from the string table) and its buttons.
    out[240] = Dlg(240, "IP Sources", 390, 200,
                   {Report(1080, 8, 8, 374, 160, {"IP Device Type", "IP Address", "Camera Assignments"}),
                    Button(1081, "Add", 8, 176, 60), Button(1082, "Edit", 76, 176, 60),
                    Button(1083, "Delete", 144, 176, 60)});
    // Device type of a new IP source (no caption).
    out[241] = Dlg(241, "", 200, 70,
                   {Static(1084, "IP Device Type:", 10, 12, 70), Combo(1085, 84, 10, 106, 80),
                    Button(1, "OK", 20, 46), Button(2, "Cancel", 76, 46), Button(4, "Help", 132, 46)});
}

}  // namespace res
