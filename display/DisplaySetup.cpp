#include "display/DisplaySetup.h"

#include "display/DisplayPropSheet.h"

namespace display {

std::unique_ptr<CSetupSheet> CreateDisplaySheet(CDisplayInfo& working, host::ISetupUISupport* setup) {
    auto sheet = std::make_unique<CDisplayPropSheet>(working, setup);
    sheet->LoadCameraNames(setup);
    return sheet;
}

}  // namespace display
