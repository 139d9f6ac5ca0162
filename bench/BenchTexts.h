// Documents of a given number of entries, as the camera setup writes them and
// as a host hands out its IP source configuration.
#pragma once
#include <string>

namespace bench {

enum class Doc { CameraControl, PTZTriggerList, IPSourceConfig };

// CameraControl with n Handler entries.
std::string CameraControlText(int entries);
// PTZTriggerList with n PTZTriggerDef entries (two Alarms each).
std::string PTZTriggerListText(int entries);
// IPSourceConfig with n IPSource entries (an ID attribute each) and one
// IPDevice per 100 of them (at least one).
std::string IPSourceConfigText(int entries);

// The text of a kind and size, made once.
const std::string& Text(Doc kind, int entries);

}  // namespace bench
