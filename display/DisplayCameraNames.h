// The camera name table shared by every page of the display sheet: filled
// once per display setup from the host, read by the layout pages, the panes
// and the call monitor page.
#pragma once
#include <array>
#include <string>

#include "interfaces/HostInterfaces.h"

namespace display {

class CDisplayCameraNames {
public:
    static constexpr int kCameras = 16;

    // Asks the host for the names of cameras 0..15 unless already loaded.
    // A name the host does not mark valid (or a failing call) leaves the
    // entry's earlier text.
    static void Load(host::ISetupUISupport* setup);
    // Clears the loaded flag; the texts stay until overwritten.
    static void Unload();
    static bool IsLoaded();
    // Name of a camera index; empty outside 0..15.
    static std::string Name(int camera);
    // Tests: empty every entry and clear the flag.
    static void ResetForTests();
};

}  // namespace display
