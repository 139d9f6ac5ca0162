#include "platform/ui/Snapshot.h"

#include <map>

#include "platform/ui/Dialog.h"

namespace ui {

namespace {

ControlState StateOf(const Control& c, int tab) {
    ControlState s;
    s.id = c.id;
    s.kind = c.kind;
    s.x = c.x;
    s.y = c.y;
    s.w = c.cx;
    s.h = c.cy;
    s.tab = tab;
    s.text = c.text;
    s.enabled = c.enabled;
    s.visible = c.visible;
    s.ticked = c.ticked;
    s.group = c.group;
    s.columns = c.columns;
    s.items.reserve(c.items.size());
    for (const ListItem& item : c.items) s.items.push_back(item.cells);
    s.selection = c.selection;
    if (c.multiSelect) s.selected = c.SelectedItems();
    if (c.checkBoxes)
        for (const ListItem& item : c.items) s.checks.push_back(item.checked ? 1 : 0);
    s.position = c.pos;
    s.rangeMin = c.rangeMin;
    s.rangeMax = c.rangeMax;
    s.maxLength = c.maxLength;
    s.multiline = c.multiline;
    s.readOnly = c.readOnly;
    s.multiSelect = c.multiSelect;
    s.checkBoxes = c.checkBoxes;
    s.spin = c.spin;
    s.fixedPitch = c.fixedPitch;
    s.paneGrid = c.paneGrid;
    s.dateTime = c.dateTime;
    return s;
}

std::vector<ControlState> ControlsOf(Dialog& d) {
    std::vector<ControlState> out;
    int tab = 0;
    for (int id : d.ControlIds())
        if (const Control* c = d.FindControl(id)) out.push_back(StateOf(*c, tab++));
    return out;
}

}  // namespace

DialogState TakeSnapshot(Dialog& d) {
    DialogState s;
    s.handle = d.Handle();
    s.templateId = d.TemplateId();
    s.caption = d.Caption().empty() ? d.TemplateCaption() : d.Caption();
    s.width = d.Width();
    s.height = d.Height();
    s.focus = d.Focus();
    s.focusSeq = d.FocusCount();
    s.busy = d.IsBusy();
    s.controls = ControlsOf(d);
    for (const ControlState& c : s.controls) {
        if (c.kind == ControlKind::Background && s.keys.empty() && !s.keyboardShown) {
            const Control& bg = d.Item(c.id);
            s.keyboardShown = bg.keyboardOn;
            s.keys = bg.keySet;
        }
        if (c.id == 1 && c.kind == ControlKind::Button && c.visible) s.defaultButton = 1;
    }
    if (PropertySheet* sheet = d.EmbeddedSheet()) {
        s.hasSheet = true;
        s.sheet.x = d.SheetX();
        s.sheet.y = d.SheetY();
        s.sheet.w = sheet->Width();
        s.sheet.h = sheet->Height();
        for (PropertyPage* p : sheet->Pages()) s.sheet.pages.push_back(p->Title());
        s.sheet.activePage = sheet->ActiveIndex();
        if (PropertyPage* page = sheet->ActivePage(); page && page->HasWindow()) {
            s.sheet.focus = page->Focus();
            s.sheet.focusSeq = page->FocusCount();
            s.sheet.controls = ControlsOf(*page);
        }
    }
    return s;
}

unsigned ChangedFields(const ControlState& a, const ControlState& b) {
    unsigned f = 0;
    if (a.x != b.x || a.y != b.y || a.w != b.w || a.h != b.h) f |= kFieldGeometry;
    if (a.tab != b.tab) f |= kFieldTab;
    if (a.text != b.text) f |= kFieldText;
    if (a.enabled != b.enabled) f |= kFieldEnabled;
    if (a.visible != b.visible) f |= kFieldVisible;
    if (a.ticked != b.ticked) f |= kFieldTicked;
    if (a.items != b.items || a.columns != b.columns) f |= kFieldItems;
    if (a.selection != b.selection || a.selected != b.selected) f |= kFieldSelection;
    if (a.checks != b.checks) f |= kFieldChecks;
    if (a.position != b.position) f |= kFieldPosition;
    if (a.rangeMin != b.rangeMin || a.rangeMax != b.rangeMax) f |= kFieldRange;
    if (a.dateTime != b.dateTime) f |= kFieldDateTime;
    if (a.kind != b.kind || a.group != b.group || a.maxLength != b.maxLength || a.multiline != b.multiline ||
        a.readOnly != b.readOnly || a.multiSelect != b.multiSelect || a.checkBoxes != b.checkBoxes ||
        a.spin != b.spin || a.fixedPitch != b.fixedPitch || a.paneGrid != b.paneGrid)
        f |= kFieldStyle;
    return f;
}

ControlsDiff DiffControls(const std::vector<ControlState>& before, const std::vector<ControlState>& after) {
    ControlsDiff d;
    std::map<int, const ControlState*> old;
    for (const ControlState& c : before) old[c.id] = &c;
    std::map<int, bool> seen;
    for (const ControlState& c : after) {
        seen[c.id] = true;
        auto it = old.find(c.id);
        if (it == old.end()) {
            d.added.push_back(c);
        } else if (unsigned f = ChangedFields(*it->second, c)) {
            d.changed.push_back({c.id, f, c});
        }
    }
    for (const ControlState& c : before)
        if (!seen.count(c.id)) d.removed.push_back(c.id);
    return d;
}

DialogDiff Diff(const DialogState& a, const DialogState& b) {
    DialogDiff d;
    if (a.caption != b.caption) d.fields |= kDialogCaption;
    if (a.width != b.width || a.height != b.height) d.fields |= kDialogSize;
    if (a.keyboardShown != b.keyboardShown || a.keys != b.keys) d.fields |= kDialogKeyboard;
    if (a.defaultButton != b.defaultButton) d.fields |= kDialogDefaultButton;
    if (a.focus != b.focus || a.focusSeq != b.focusSeq) d.fields |= kDialogFocus;
    if (a.busy != b.busy) d.fields |= kDialogBusy;
    d.controls = DiffControls(a.controls, b.controls);
    const SheetState &sa = a.sheet, &sb = b.sheet;
    if (a.hasSheet != b.hasSheet || sa.x != sb.x || sa.y != sb.y || sa.w != sb.w || sa.h != sb.h ||
        sa.pages != sb.pages || sa.activePage != sb.activePage) {
        d.fields |= kDialogSheet;
    } else if (b.hasSheet) {
        if (sa.focus != sb.focus || sa.focusSeq != sb.focusSeq) d.fields |= kDialogSheetFocus;
        d.sheet = DiffControls(sa.controls, sb.controls);
    }
    return d;
}

}  // namespace ui
