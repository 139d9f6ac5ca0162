// Strings and dialog templates of the storage setup: the volume manager
// (204) and its label dialog (206).
#include "platform/ui/TemplateBuilders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {1024, "50,43,80,100,75,75,250"},
    {1025, "Index,Path,Label,Status,Size,Allocated,Time Range"},
    {1026, "Active"},
    {1027, "Empty"},
    {1028, "Other Quellan"},
    {1029, "Missing"},
    {1030, "Failed"},
    {1031, "Corrupt"},
    {1032, "Failed to get total size of volume %s."},
    {1033, "Failed to initialize volume %s."},
    {1034,
     "Volume %s contains data from a different Quellan database.  Select YES if you wish to convert this data and "
     "incorporate it into this database.  Select NO if you want to erase the data."},
    {1035, "Non-Quellan"},
    {1036, "Volume %s contains non-Quellan data.  Adding the volume will erase this data.  Continue?"},
    {1056,
     "One or more of the volumes about to be added contains data from a different Quellan database.  Select YES if "
     "you wish to convert this data and incorporate it into this database.  Select NO if you want to erase the "
     "data."},
    {1057,
     "One or more of the volumes about to be added contains non-Quellan data.  Adding the volume(s) will erase this "
     "data.  Continue?"},
    {1058, "Failed to convert volume %s."},
    {1059,
     "Warning!  You are removing an active Quellan volume.  Starting and current record positions may be "
     "permanently changed.  Continue?"},
    {1060, "Warning!  The selected volume will be permanently excluded from the database.  Continue?"},
    {1061,
     "CAUTION!  This function may alter the structure of the database on this volume.  If errors are found and "
     "cannot be fixed, data will be erased without further prompting the user.  Do not perform a repair unless "
     "absolutely necessary.  Continue?"},
    {1062, "Volume %s repair is complete.  %d error(s) found and repaired."},
    {1063, "Volume %s could not be repaired.  Volume media may be damaged or disconnected."},
    {1065, "Quellan Storage Setup"},
    {9510, "The storage operation could not be completed (error %s)."},
    {9511, "Please enter a whole number from 1 to 100 for the percent space to use."},
};
}  // namespace

std::span<const StringEntry> StorageStrings() { return kStrings; }

void AddStorageTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace ui::tpl;
    // Volume manager: the list with its columns (set up at run time), the
    // progress of the running operation and the button row.
    out[204] = Dlg(204, "", 400, 214,
                   {Report(1000, 7, 7, 386, 158, {}), Progress(1003, 7, 172, 386, 10),
                    Disabled(Button(1004, "Add", 10, 190)), Disabled(Button(1005, "Add All", 64, 190)),
                    Disabled(Button(1006, "Label", 118, 190)), Disabled(Button(1007, "Remove", 172, 190)),
                    Disabled(Button(1008, "Repair", 226, 190)), Button(1, "Exit", 286, 190),
                    Button(4, "Help", 340, 190), Keyboard(1002, "")});
    ControlTemplate labelEdit = Edit(1010, 110, 12, 110, 32);
    labelEdit.text = "Volume Label";
    out[206] = Dlg(206, "", 230, 100,
                   {Static(1012, "Label:", 10, 14, 95), labelEdit, Static(1013, "Percent space to use:", 10, 36, 95),
                    Edit(1011, 110, 34, 40), Button(1, "OK", 30, 66), Button(2, "Cancel", 90, 66),
                    Button(4, "Help", 150, 66),
                    Keyboard(1002, "-ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789")});
}

}  // namespace res
