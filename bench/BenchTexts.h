// Documents of a given number of entries, as the camera setup writes them.
#pragma once
#include <string>

namespace bench {

// CameraControl with n Handler entries.
std::string CameraControlText(int entries);
// PTZTriggerList with n PTZTriggerDef entries (two Alarms each).
std::string PTZTriggerListText(int entries);

}  // namespace bench
