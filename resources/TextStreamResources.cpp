// Strings and dialog templates of the textstream setup.
#include "resources/Builders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {136, "Please enter an end-of-line sequence in ASCII hex format with a space between each pair of digits "
          "(example: 0d 0a)."},
};
}  // namespace

std::span<const StringEntry> TextStreamStrings() { return kStrings; }

void AddTextStreamTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace tpl;
    out[242] = Dlg(242, "General Text Setup", 250, 110,
                   {Panel(1060, 6, 6, 238, 70), Static(218, "Setup General Text handler printer interface options", 14, 12, 220),
                    Static(1091, "End of line delimiter in ASCII hex format (example: 0D 0A)", 14, 30, 220),
                    Edit(1092, 14, 44, 160), Button(1093, "Default", 182, 44),
                    Button(1, "OK", 68, 86), Button(2, "Cancel", 124, 86), Button(4, "Help", 180, 86),
                    Keyboard(1002, "ABCDEF ,0123456789")});
}

}  // namespace res
