// Common base of the setup sheets placed in the frame dialog.
#pragma once
#include <cstdint>

#include "platform/ui/Dialog.h"

class CSetupSheet : public ui::PropertySheet {
public:
    // Help topic of the active page; 0 shows no help.
    int GetActiveHelpTopic() override { return 0; }
    // The audio sheet feeds its level meter; other sheets ignore the value.
    // May be called from any thread.
    virtual void UpdateLevelMeter(std::int32_t peakLevel) { (void)peakLevel; }
};
