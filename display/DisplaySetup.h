// Entry of the display setup, called by ShowDisplay.
#pragma once
#include <memory>

#include "component/SetupSheet.h"
#include "util/DisplayInfo.h"
#include "interfaces/HostInterfaces.h"

namespace display {
// Builds the display sheet over the working copy and runs its preparatory
// step (camera names); null when this build has no display setup.
std::unique_ptr<CSetupSheet> CreateDisplaySheet(CDisplayInfo& working, host::ISetupUISupport* setup);
}  // namespace display
