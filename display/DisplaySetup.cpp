#include "display/DisplaySetup.h"

namespace display {
std::unique_ptr<CSetupSheet> CreateDisplaySheet(CDisplayInfo&, host::ISetupUISupport*) { return nullptr; }
}  // namespace display
