// The stream sheet opens the port, printer, raw text and definition setups
// the way a host does: on a second instance of this component's SetupUI
// class, created by class identifier.
#pragma once
#include "interfaces/ISetupUI.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/Window.h"

namespace textstreams {

// Creates, runs and queries a SetupUI object; null when any step fails.
com::ComPtr<mirelle::ISetupUI> CreateOwnSetupUI();

// A window as the window parameter of an ISetupUI operation.
inline mirelle::WindowParam AsWindowParam(ui::Window* window) { return reinterpret_cast<mirelle::WindowParam>(window); }

}  // namespace textstreams
