// What an operation shows: its dialog and, for a property sheet, every page
// with each control's id, kind, caption or text and initial state, as the
// operation opens them on the unit.  The basis of mirelle-run --describe.
#pragma once
#include <string>

#include "interfaces/ISetupUI.h"
#include "simulator/SimulatedUnit.h"

namespace apps {

// One block per dialog or page (UTF-8):
//   dialog ID "CAPTION"            (a page: page "TITLE" ID)
//     ID KIND "TEXT" [STATE...]    one control a line, in template order
// STATE words: disabled, hidden, ticked, read-only, pos N (range A-B),
// items N, selected N.  The dialog is closed (Cancel) once described, so the
// unit is not changed; dialogs that open only from buttons are not shown.
std::string DescribeOperation(const std::string& name, host::SimulatedUnit& unit, mirelle::ISetupUI& setupUI);

}  // namespace apps
