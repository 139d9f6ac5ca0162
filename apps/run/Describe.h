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
//   from dialog ID [page "TITLE"] click ID "CAPTION"
//                                  (a nested dialog: the button that opens it)
//     ID KIND "TEXT" [STATE...]    one control a line, in template order
// STATE words: disabled, hidden, ticked, read-only, pos N (range A-B),
// items N, selected N.  Nested dialogs are found by pressing each enabled
// button (not OK, Cancel or Help; one that waits for a row after selecting
// the first row of each list) of each dialog and page, each in a run of
// its own on a copy of the unit, down to three levels below the first dialog;
// message boxes are given the cautious answer.  Each dialog is listed once.
// Every dialog is closed (Cancel) once described, and the unit is not changed.
std::string DescribeOperation(const std::string& name, host::SimulatedUnit& unit, mirelle::ISetupUI& setupUI);

}  // namespace apps
