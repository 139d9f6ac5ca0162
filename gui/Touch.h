// Touch mode: the recorder's own screen is usually a touch screen without
// a keyboard.  In touch mode every target a finger must hit (buttons,
// drop-downs and their rows, list rows, tabs, check boxes, radio buttons,
// spin arrows, the panes of a layout grid) is at least kMinTarget pixels
// each way; the layout that fits the texts grows the dialogs for it.
//
// A host turns it on for the front end (SetTouchMode), or a unit for every
// host with the REG_DWORD value "TouchMode" (non-zero) under the product
// key of HKEY_LOCAL_MACHINE; what the host sets wins.
#pragma once
#include <optional>

class QWidget;
class QAbstractItemView;

namespace gui {

constexpr int kMinTarget = 40;

// Whether touch mode is in force for the dialogs opened from now on.
bool TouchMode();
// The host's choice; nullopt leaves it to the registry value.
void SetTouchMode(std::optional<bool> on);

// Rows of the list at least kMinTarget high.
void UseTallRows(QAbstractItemView& view);
// The style additions of touch mode for a dialog or message box: tabs,
// check and radio indicators, buttons.
const char* TouchStyleSheet();

}  // namespace gui
