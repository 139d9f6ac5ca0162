// A dialog's state as data, and the changes between two such states.
//
// A front end that mirrors the model somewhere else (a browser) takes a
// snapshot of each open dialog after every event and sends what changed
// since the last one.  A snapshot holds what an operator sees of the dialog:
// its caption and size, the on-screen keyboard, the default button and the
// focus, its controls in tab order and, for a frame dialog, its embedded
// property sheet with the controls of the active page only.  Texts are in
// the model's code page (Windows-1252).  Geometry is in pixels, as the model
// converts template units.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/Control.h"

namespace ui {

class Dialog;

struct ControlState {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    int x = 0, y = 0, w = 0, h = 0;
    int tab = 0;  // place in the tab order
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool ticked = false;
    int group = 0;
    std::vector<std::vector<std::string>> items;  // each row's cells
    std::vector<std::string> columns;
    int selection = -1;
    std::vector<int> selected;  // multi-select lists: the selected rows
    std::vector<int> checks;    // check-box lists: 0/1 a row
    int position = 0;
    int rangeMin = 0, rangeMax = 100;
    int maxLength = 0;
    bool multiline = false, readOnly = false, multiSelect = false, checkBoxes = false;
    bool spin = false, fixedPitch = false;
    int paneGrid = 0;
    std::int64_t dateTime = 0;

    bool operator==(const ControlState&) const = default;
};

// The fields of a control, as bits of a change.
enum ControlField : unsigned {
    kFieldGeometry = 1u << 0,   // x, y, w, h
    kFieldTab = 1u << 1,
    kFieldText = 1u << 2,
    kFieldEnabled = 1u << 3,
    kFieldVisible = 1u << 4,
    kFieldTicked = 1u << 5,
    kFieldItems = 1u << 6,      // items, columns
    kFieldSelection = 1u << 7,  // selection, selected
    kFieldChecks = 1u << 8,
    kFieldPosition = 1u << 9,
    kFieldRange = 1u << 10,
    kFieldDateTime = 1u << 11,
    kFieldStyle = 1u << 12,     // kind, group, max length and the style flags
};

struct SheetState {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<std::string> pages;  // tab titles
    int activePage = -1;
    int focus = 0;
    int focusSeq = 0;
    std::vector<ControlState> controls;  // of the active page

    bool operator==(const SheetState&) const = default;
};

struct DialogState {
    std::uint32_t handle = 0;
    int templateId = 0;
    std::string caption;  // the dialog's own, or its template's when it set none
    int width = 0, height = 0;
    bool keyboardShown = false;
    std::string keys;
    int defaultButton = 0;  // 1 when the dialog has a visible button 1
    int focus = 0;
    int focusSeq = 0;
    bool busy = false;  // a worker of the dialog runs
    std::vector<ControlState> controls;
    bool hasSheet = false;
    SheetState sheet;

    bool operator==(const DialogState&) const = default;
};

// The state of dialog now (its controls must exist).
DialogState TakeSnapshot(Dialog& dialog);

struct ControlChange {
    int id = 0;
    unsigned fields = 0;  // ControlField bits
    ControlState now;
};

struct ControlsDiff {
    std::vector<ControlChange> changed;  // in the new tab order
    std::vector<ControlState> added;
    std::vector<int> removed;
    bool Empty() const { return changed.empty() && added.empty() && removed.empty(); }
};

// The fields of a dialog, as bits of a change.
enum DialogField : unsigned {
    kDialogCaption = 1u << 0,
    kDialogSize = 1u << 1,
    kDialogKeyboard = 1u << 2,
    kDialogDefaultButton = 1u << 3,
    kDialogFocus = 1u << 4,       // focus, focusSeq
    kDialogSheet = 1u << 5,       // the sheet came, went, moved, or turned to another page: sent whole
    kDialogSheetFocus = 1u << 6,  // the active page's focus (sheet not whole)
    kDialogBusy = 1u << 7,
};

struct DialogDiff {
    unsigned fields = 0;     // DialogField bits
    ControlsDiff controls;   // the dialog's own controls
    ControlsDiff sheet;      // the active page's, when the sheet is not sent whole
    bool Empty() const { return fields == 0 && controls.Empty() && sheet.Empty(); }
};

// What changed between two states of the same dialog.
ControlsDiff DiffControls(const std::vector<ControlState>& before, const std::vector<ControlState>& after);
DialogDiff Diff(const DialogState& before, const DialogState& after);
// The fields in which two states of one control differ.
unsigned ChangedFields(const ControlState& before, const ControlState& after);

}  // namespace ui
