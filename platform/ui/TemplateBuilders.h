// Short-hands for writing dialog templates as data.
#pragma once
#include <string>
#include <vector>

#include "platform/ui/Control.h"

namespace ui::tpl {

using ui::ControlKind;
using ui::ControlTemplate;

inline ControlTemplate Ctl(ControlKind kind, int id, std::string text, int x, int y, int cx, int cy) {
    ControlTemplate c;
    c.kind = kind;
    c.id = id;
    c.text = std::move(text);
    c.x = x;
    c.y = y;
    c.cx = cx;
    c.cy = cy;
    return c;
}
inline ControlTemplate Button(int id, std::string t, int x, int y, int cx = 50, int cy = 14) { return Ctl(ControlKind::Button, id, std::move(t), x, y, cx, cy); }
inline ControlTemplate Check(int id, std::string t, int x, int y, int cx = 100, int cy = 12) { return Ctl(ControlKind::Check, id, std::move(t), x, y, cx, cy); }
inline ControlTemplate Radio(int id, std::string t, int x, int y, int group, int cx = 100, int cy = 12) {
    auto c = Ctl(ControlKind::Radio, id, std::move(t), x, y, cx, cy);
    c.group = group;
    return c;
}
inline ControlTemplate Edit(int id, int x, int y, int cx, int maxLength = 0, int cy = 14) {
    auto c = Ctl(ControlKind::Edit, id, "", x, y, cx, cy);
    c.maxLength = maxLength;
    return c;
}
inline ControlTemplate Static(int id, std::string t, int x, int y, int cx, int cy = 10) { return Ctl(ControlKind::Static, id, std::move(t), x, y, cx, cy); }
inline ControlTemplate Group(int id, std::string t, int x, int y, int cx, int cy) { return Ctl(ControlKind::Group, id, std::move(t), x, y, cx, cy); }
inline ControlTemplate Panel(int id, int x, int y, int cx, int cy) { return Ctl(ControlKind::Panel, id, "", x, y, cx, cy); }
inline ControlTemplate Led(int id, int x, int y) { return Ctl(ControlKind::Led, id, "", x, y, 8, 8); }
inline ControlTemplate Slider(int id, int x, int y, int cx, int lo, int hi, int cy = 16) {
    auto c = Ctl(ControlKind::Slider, id, "", x, y, cx, cy);
    c.rangeMin = lo;
    c.rangeMax = hi;
    return c;
}
// An up/down arrow pair moving a value by one within lo..hi.
inline ControlTemplate Spin(int id, int x, int y, int cx, int lo, int hi, int cy = 14) {
    auto c = Slider(id, x, y, cx, lo, hi, cy);
    c.spin = true;
    return c;
}
inline ControlTemplate List(int id, int x, int y, int cx, int cy) { return Ctl(ControlKind::List, id, "", x, y, cx, cy); }
inline ControlTemplate Report(int id, int x, int y, int cx, int cy, std::vector<std::string> columns) {
    auto c = Ctl(ControlKind::ReportList, id, "", x, y, cx, cy);
    c.columns = std::move(columns);
    return c;
}
inline ControlTemplate CheckReport(int id, int x, int y, int cx, int cy, std::vector<std::string> columns) {
    auto c = Report(id, x, y, cx, cy, std::move(columns));
    c.checkBoxes = true;
    return c;
}
inline ControlTemplate Combo(int id, int x, int y, int cx, int cy = 14) { return Ctl(ControlKind::Combo, id, "", x, y, cx, cy); }
inline ControlTemplate Progress(int id, int x, int y, int cx, int cy = 10) { return Ctl(ControlKind::Progress, id, "", x, y, cx, cy); }
inline ControlTemplate Keyboard(int id, std::string keySet) {
    auto c = Ctl(ControlKind::Background, id, "", 0, 0, 0, 0);
    c.keySet = std::move(keySet);
    return c;
}
inline ControlTemplate FixedPitch(ControlTemplate c) { c.fixedPitch = true; return c; }
inline ControlTemplate ReadOnlyArea(ControlTemplate c) { c.multiline = true; c.readOnly = true; return c; }
inline ControlTemplate DefaultButton(ControlTemplate c) { c.defaultButton = true; return c; }
inline ControlTemplate Sorted(ControlTemplate c) { c.sorted = true; return c; }
inline ControlTemplate Hidden(ControlTemplate c) { c.visible = false; return c; }
inline ControlTemplate Disabled(ControlTemplate c) { c.enabled = false; return c; }

inline ui::DialogTemplate Dlg(int id, std::string caption, int cx, int cy, std::vector<ControlTemplate> controls) {
    ui::DialogTemplate t;
    t.id = id;
    t.caption = std::move(caption);
    t.cx = cx;
    t.cy = cy;
    t.controls = std::move(controls);
    return t;
}

}  // namespace ui::tpl
