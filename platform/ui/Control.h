// Controls of the headless dialog model and the templates they come from.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

enum class ControlKind {
    Button,      // CWWButton
    Check,       // CWWCheck
    Radio,       // CWWRadio
    Edit,        // CWWEdit
    Static,      // CWWStatic
    Group,       // CWWGroup
    Panel,       // CWWPanel
    Led,         // CWWLed
    Slider,      // CWWSlider
    List,        // single-column list box
    ReportList,  // list view with columns (CWWListCtrl, DListCtrl)
    Combo,       // drop-down list
    Calendar,    // CWWCalendar
    TimeEdit,    // CWWTimeEdit
    Progress,    // progress bar
    Background,  // CWWBckgrd: background with the on-screen keyboard
};

const char* KindName(ControlKind kind);

// One control of a dialog template.  Coordinates are dialog units.
struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0;
    int maxLength = 0;            // edits: 0 = no limit
    int rangeMin = 0, rangeMax = 100;  // sliders, progress bars
    bool visible = true;
    bool enabled = true;
    int group = 0;                // radios with the same non-zero group exclude each other
    std::vector<std::string> columns;  // report lists: header texts
    std::string keySet;           // background: on-screen keyboard keys
    bool multiline = false;
    bool readOnly = false;
    bool multiSelect = false;
    bool sorted = false;          // lists and combos keep their items sorted
    bool checkBoxes = false;      // report lists: each row has a check box
    bool spin = false;            // sliders: an up/down arrow pair (spin control), one step per arrow
    bool fixedPitch = false;      // edits and lists: text in a fixed-pitch font
    bool defaultButton = false;   // buttons: the one Enter presses (without one marked, IDOK)
};

struct DialogTemplate {
    int id = 0;
    std::string caption;  // dialog caption, or the tab title of a property page
    int cx = 0, cy = 0;   // dialog units
    std::vector<ControlTemplate> controls;
};

struct ListItem {
    std::vector<std::string> cells;  // column texts; cell 0 is the item text
    std::intptr_t data = 0;          // item data
    bool selected = false;           // multi-select lists
    bool checked = false;            // check-box lists
};

// Runtime state of one control.
struct Control {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool ticked = false;          // check boxes, radios, LEDs (lit)
    int group = 0;
    int pos = 0;                  // sliders, progress bars
    int rangeMin = 0, rangeMax = 100;
    int maxLength = 0;
    bool readOnly = false;
    bool multiSelect = false;
    bool sorted = false;
    bool multiline = false;
    bool checkBoxes = false;
    bool spin = false;
    bool fixedPitch = false;
    bool defaultButton = false;
    // Lists drawn as a grid of panes with this many columns (rows are the
    // panes, row by row from the top left); 0 for an ordinary list.
    int paneGrid = 0;
    std::vector<std::string> columns;
    std::vector<ListItem> items;
    int selection = -1;           // lists and combos
    int x = 0, y = 0, cx = 0, cy = 0;  // pixels, after layout
    bool keyboardOn = false;      // background
    std::string keySet;           // background
    std::int64_t dateTime = 0;    // calendar / time edit: seconds since the epoch
    // Text selection of an edit (start, end).
    int selStart = 0, selEnd = 0;

    // Lists: add a row (kept in order unless sorted); returns its index.
    int AddItem(std::string text, std::intptr_t data = 0);
    void InsertItem(int index, std::string text, std::intptr_t data = 0);
    void DeleteItem(int index);
    void ClearItems();
    int ItemCount() const { return static_cast<int>(items.size()); }
    // Index of the first item whose text equals text, or -1.
    int FindItem(const std::string& text) const;
    std::string ItemText(int index, int column = 0) const;
    void SetItemText(int index, int column, std::string text);
    std::intptr_t ItemData(int index) const;
    void SetItemData(int index, std::intptr_t data);
    std::vector<int> SelectedItems() const;
    // Check-box lists: whether row index is checked (false for no such row).
    bool IsChecked(int index) const;
    void SetChecked(int index, bool checked);
    std::vector<int> CheckedItems() const;
};

}  // namespace ui
