#include "platform/ui/Dialog.h"

#include <algorithm>
#include <mutex>

#include "platform/NamedList.h"
#include "platform/ui/Script.h"

namespace ui {

namespace {
// Template sources by owner: the component's resources and the host's own
// dialogs.  Looked up in the order they were added.
platform::NamedList<TemplateProvider>& Providers() {
    static platform::NamedList<TemplateProvider> p;
    return p;
}
Driver* g_driver = nullptr;
thread_local std::vector<Dialog*> t_modal;
}  // namespace

void AddTemplateProvider(const std::string& owner, TemplateProvider provider) {
    Providers().Set(owner, std::move(provider));
}

void RemoveTemplateProvider(const std::string& owner) { Providers().Remove(owner); }

void SetTemplateProvider(TemplateProvider provider) {
    if (provider)
        AddTemplateProvider("component", std::move(provider));
    else
        RemoveTemplateProvider("component");
}

const DialogTemplate* FindTemplate(int id) {
    for (auto& p : Providers().Snapshot())
        if (const DialogTemplate* t = p(id)) return t;
    return nullptr;
}

int DluToPixelsX(int dlu) { return dlu * 6 / 4; }
int DluToPixelsY(int dlu) { return dlu * 13 / 8; }

const char* KindName(ControlKind k) {
    switch (k) {
        case ControlKind::Button: return "button";
        case ControlKind::Check: return "check";
        case ControlKind::Radio: return "radio";
        case ControlKind::Edit: return "edit";
        case ControlKind::Static: return "static";
        case ControlKind::Group: return "group";
        case ControlKind::Panel: return "panel";
        case ControlKind::Led: return "led";
        case ControlKind::Slider: return "slider";
        case ControlKind::List: return "list";
        case ControlKind::ReportList: return "reportlist";
        case ControlKind::Combo: return "combo";
        case ControlKind::Calendar: return "calendar";
        case ControlKind::TimeEdit: return "timeedit";
        case ControlKind::Progress: return "progress";
        case ControlKind::Background: return "background";
    }
    return "?";
}

// ---- Control ------------------------------------------------------------------

int Control::AddItem(std::string t, std::intptr_t data) {
    int index = ItemCount();
    if (sorted) {
        auto it = std::upper_bound(items.begin(), items.end(), t, [](const std::string& a, const ListItem& b) {
            return a < b.cells.at(0);
        });
        index = static_cast<int>(it - items.begin());
    }
    InsertItem(index, std::move(t), data);
    return index;
}

void Control::InsertItem(int index, std::string t, std::intptr_t data) {
    index = std::clamp(index, 0, ItemCount());
    ListItem item;
    item.cells.push_back(std::move(t));
    item.data = data;
    items.insert(items.begin() + index, std::move(item));
    if (selection >= index) ++selection;
}

void Control::DeleteItem(int index) {
    if (index < 0 || index >= ItemCount()) return;
    items.erase(items.begin() + index);
    if (selection == index)
        selection = -1;
    else if (selection > index)
        --selection;
}

void Control::ClearItems() {
    items.clear();
    selection = -1;
}

int Control::FindItem(const std::string& t) const {
    for (int i = 0; i < ItemCount(); ++i)
        if (items[i].cells.at(0) == t) return i;
    return -1;
}

std::string Control::ItemText(int index, int column) const {
    if (index < 0 || index >= ItemCount()) return {};
    const auto& cells = items[index].cells;
    return column >= 0 && column < static_cast<int>(cells.size()) ? cells[column] : std::string{};
}

void Control::SetItemText(int index, int column, std::string t) {
    if (index < 0 || index >= ItemCount() || column < 0) return;
    auto& cells = items[index].cells;
    if (static_cast<int>(cells.size()) <= column) cells.resize(column + 1);
    cells[column] = std::move(t);
}

std::intptr_t Control::ItemData(int index) const {
    return index >= 0 && index < ItemCount() ? items[index].data : 0;
}

void Control::SetItemData(int index, std::intptr_t data) {
    if (index >= 0 && index < ItemCount()) items[index].data = data;
}

std::vector<int> Control::SelectedItems() const {
    std::vector<int> out;
    if (multiSelect) {
        for (int i = 0; i < ItemCount(); ++i)
            if (items[i].selected) out.push_back(i);
    } else if (selection >= 0) {
        out.push_back(selection);
    }
    return out;
}

bool Control::IsChecked(int index) const { return index >= 0 && index < ItemCount() && items[index].checked; }

void Control::SetChecked(int index, bool checked) {
    if (index >= 0 && index < ItemCount()) items[index].checked = checked;
}

std::vector<int> Control::CheckedItems() const {
    std::vector<int> out;
    for (int i = 0; i < ItemCount(); ++i)
        if (items[i].checked) out.push_back(i);
    return out;
}

// ---- Dialog -----------------------------------------------------------------------

Dialog::Dialog(int templateId, Window* parent) : Window(parent), m_templateId(templateId) {}

Dialog::~Dialog() = default;

void Dialog::Create() {
    if (m_created) return;
    const DialogTemplate* t = FindTemplate(m_templateId);
    if (!t) throw UiError("dialog template " + std::to_string(m_templateId) + " not found");
    m_templateCaption = t->caption;
    m_cx = DluToPixelsX(t->cx);
    m_cy = DluToPixelsY(t->cy);
    for (const auto& ct : t->controls) AddControl(ct);
    m_created = true;
}

Control& Dialog::AddControl(const ControlTemplate& ct) {
    Control c;
    c.id = ct.id;
    c.kind = ct.kind;
    c.text = ct.text;
    c.enabled = ct.enabled;
    c.visible = ct.visible;
    c.group = ct.group;
    c.rangeMin = ct.rangeMin;
    c.rangeMax = ct.rangeMax;
    c.pos = ct.rangeMin;
    c.maxLength = ct.maxLength;
    c.readOnly = ct.readOnly;
    c.multiSelect = ct.multiSelect;
    c.sorted = ct.sorted;
    c.multiline = ct.multiline;
    c.checkBoxes = ct.checkBoxes;
    c.spin = ct.spin;
    c.fixedPitch = ct.fixedPitch;
    c.defaultButton = ct.defaultButton;
    c.columns = ct.columns;
    c.keySet = ct.keySet;
    c.x = DluToPixelsX(ct.x);
    c.y = DluToPixelsY(ct.y);
    c.cx = DluToPixelsX(ct.cx);
    c.cy = DluToPixelsY(ct.cy);
    if (!m_controls.count(ct.id)) m_order.push_back(ct.id);
    return m_controls[ct.id] = std::move(c);
}

int Dialog::DoModal() {
    struct ModalEntry {
        Dialog* d;
        explicit ModalEntry(Dialog* dd) : d(dd) { t_modal.push_back(d); d->m_running = true; }
        ~ModalEntry() {
            d->m_running = false;
            std::erase(t_modal, d);
        }
    };
    m_ended = false;
    m_result = 0;
    Create();
    {
        ModalEntry entry(this);
        OnInitDialog();
        if (!m_ended) CurrentDriver().RunModal(*this);
    }
    OnDestroy();
    return m_result;
}

void Dialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    PostMessage(Handle(), 0, 0, 0);  // wakes a loop that waits for messages
}

Control& Dialog::Item(int id) {
    auto it = m_controls.find(id);
    if (it == m_controls.end())
        throw UiError("dialog " + std::to_string(m_templateId) + " has no control " + std::to_string(id));
    return it->second;
}

const Control& Dialog::Item(int id) const { return const_cast<Dialog*>(this)->Item(id); }

Control* Dialog::FindControl(int id) {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : &it->second;
}

void Dialog::Changed(int id) {
    if (onChanged) onChanged(id);
}

void Dialog::SetItemText(int id, std::string text) {
    Item(id).text = std::move(text);
    Changed(id);
}
void Dialog::EnableItem(int id, bool enable) {
    Item(id).enabled = enable;
    Changed(id);
}
void Dialog::ShowItem(int id, bool show) {
    Item(id).visible = show;
    Changed(id);
}
void Dialog::SetTicked(int id, bool ticked) {
    Item(id).ticked = ticked;
    Changed(id);
}
void Dialog::SetPos(int id, int pos) {
    auto& c = Item(id);
    c.pos = std::clamp(pos, std::min(c.rangeMin, c.rangeMax), std::max(c.rangeMin, c.rangeMax));
    Changed(id);
}
void Dialog::SetSelection(int id, int index) {
    auto& c = Item(id);
    c.selection = (index >= 0 && index < c.ItemCount()) ? index : -1;
    Changed(id);
}

Dialog& Dialog::Target(int id) {
    if (PropertySheet* sheet = EmbeddedSheet())
        if (PropertyPage* page = sheet->ActivePage(); page && page->HasControl(id)) return *page;
    return *this;
}

void Dialog::CheckUsable(int id, const char* action) {
    Control* c = FindControl(id);
    std::string where = "dialog " + std::to_string(m_templateId);
    if (!c) throw UiError(std::string(action) + ": " + where + " has no control " + std::to_string(id));
    if (!c->visible) throw UiError(std::string(action) + ": control " + std::to_string(id) + " of " + where + " is hidden");
    if (!c->enabled) throw UiError(std::string(action) + ": control " + std::to_string(id) + " of " + where + " is disabled");
}

void Dialog::OnClick(int id) {
    if (id == 1) OnOK();
    else if (id == 2) OnCancel();
}

void Dialog::OperatorClick(int id) {
    Dialog& d = Target(id);
    if (&d != this) return d.OperatorClick(id);
    CheckUsable(id, "click");
    Control& c = Item(id);
    if (c.kind == ControlKind::Check) {
        c.ticked = !c.ticked;
        Changed(id);
    } else if (c.kind == ControlKind::Radio) {
        OperatorTick(id, true);
        return;
    }
    OnClick(id);
}

void Dialog::OperatorTick(int id, bool ticked) {
    Dialog& d = Target(id);
    if (&d != this) return d.OperatorTick(id, ticked);
    CheckUsable(id, "tick");
    Control& c = Item(id);
    if (c.kind != ControlKind::Check && c.kind != ControlKind::Radio)
        throw UiError("tick: control " + std::to_string(id) + " is a " + KindName(c.kind) + ", not a check box or radio");
    if (c.kind == ControlKind::Radio) {
        if (!ticked) throw UiError("tick: a radio button cannot be cleared, choose another one");
        if (c.group)
            for (auto& [oid, other] : m_controls)
                if (oid != id && other.kind == ControlKind::Radio && other.group == c.group) other.ticked = false;
    }
    c.ticked = ticked;
    Changed(id);
    OnClick(id);
}

void Dialog::OperatorSetText(int id, const std::string& text) {
    Dialog& d = Target(id);
    if (&d != this) return d.OperatorSetText(id, text);
    CheckUsable(id, "set");
    Control& c = Item(id);
    if (c.kind != ControlKind::Edit && c.kind != ControlKind::TimeEdit)
        throw UiError("set: control " + std::to_string(id) + " is a " + KindName(c.kind) + ", not an edit" +
                      (c.kind == ControlKind::Combo ? " (a drop-down list takes no text: select an entry)" : ""));
    if (c.readOnly) throw UiError("set: control " + std::to_string(id) + " is read-only");
    // An edit takes no NUL (typing cannot enter one): the text ends there.
    std::string t = text.substr(0, text.find('\0'));
    if (c.maxLength > 0 && static_cast<int>(t.size()) > c.maxLength) t.resize(c.maxLength);
    c.text = t;
    c.selStart = c.selEnd = static_cast<int>(t.size());
    Changed(id);
    OnTextChanged(id);
}

void Dialog::OperatorSelect(int id, int index) {
    Dialog& d = Target(id);
    if (&d != this) return d.OperatorSelect(id, index);
    CheckUsable(id, "select");
    Control& c = Item(id);
    if (c.kind != ControlKind::List && c.kind != ControlKind::ReportList && c.kind != ControlKind::Combo)
        throw UiError("select: control " + std::to_string(id) + " is a " + KindName(c.kind) + ", not a list");
    if (index < -1 || index >= c.ItemCount())
        throw UiError("select: list " + std::to_string(id) + " has no item " + std::to_string(index));
    c.selection = index;
    if (c.multiSelect) {
        for (auto& it : c.items) it.selected = false;
        if (index >= 0) c.items[index].selected = true;
    }
    if (c.kind == ControlKind::Combo && index >= 0) c.text = c.items[index].cells.at(0);
    Changed(id);
    OnSelChange(id);
}

void Dialog::OperatorSlide(int id, int pos) {
    Dialog& d = Target(id);
    if (&d != this) return d.OperatorSlide(id, pos);
    CheckUsable(id, "slide");
    Control& c = Item(id);
    if (c.kind != ControlKind::Slider)
        throw UiError("slide: control " + std::to_string(id) + " is a " + KindName(c.kind) + ", not a slider");
    SetPos(id, pos);
    OnSliderMoved(id, c.pos);
}

void Dialog::OperatorDoubleClick(int id, int row) {
    Dialog& d = Target(id);
    if (&d != this) return d.OperatorDoubleClick(id, row);
    CheckUsable(id, "dblclick");
    Control& c = Item(id);
    if (c.kind != ControlKind::List && c.kind != ControlKind::ReportList)
        throw UiError("dblclick: control " + std::to_string(id) + " is not a list");
    if (row < 0 || row >= c.ItemCount())
        throw UiError("dblclick: list " + std::to_string(id) + " has no row " + std::to_string(row));
    c.selection = row;
    if (c.multiSelect) {
        for (auto& it : c.items) it.selected = false;
        c.items[row].selected = true;
    }
    Changed(id);
    OnSelChange(id);
    OnDoubleClick(id, row);
}

void Dialog::OperatorCheckItem(int id, int row, bool checked) {
    Dialog& d = Target(id);
    if (&d != this) return d.OperatorCheckItem(id, row, checked);
    CheckUsable(id, "check");
    Control& c = Item(id);
    if (c.kind != ControlKind::ReportList || !c.checkBoxes)
        throw UiError("check: control " + std::to_string(id) + " is not a check-box list");
    if (row < 0 || row >= c.ItemCount())
        throw UiError("check: list " + std::to_string(id) + " has no row " + std::to_string(row));
    c.items[row].checked = checked;
    Changed(id);
    OnItemChecked(id, row);
}

void Dialog::OperatorSetDateTime(int id, std::int64_t value) {
    Dialog& d = Target(id);
    if (&d != this) return d.OperatorSetDateTime(id, value);
    CheckUsable(id, "datetime");
    Item(id).dateTime = value;
    Changed(id);
    OnDateTimeChanged(id);
}

void Dialog::OperatorClose() { OnClose(); }

void Dialog::OperatorSelectPage(const std::string& title) {
    PropertySheet* sheet = EmbeddedSheet();
    if (!sheet) throw UiError("page: dialog " + std::to_string(m_templateId) + " has no property sheet");
    int index = sheet->FindPage(title);
    if (index < 0) throw UiError("page: the sheet has no page \"" + title + "\"");
    sheet->SetActivePage(index);
    Changed(0);
}

// ---- property pages and sheets ---------------------------------------------------------

PropertyPage::PropertyPage(int templateId) : Dialog(templateId, nullptr) {}

std::string PropertyPage::Title() const {
    if (HasWindow()) return TemplateCaption();
    const DialogTemplate* t = FindTemplate(TemplateId());
    return t ? t->caption : std::string{};
}

PropertySheet::PropertySheet() : Window(nullptr) {}
PropertySheet::~PropertySheet() = default;

void PropertySheet::AddPage(PropertyPage* page) {
    if (!page) return;
    page->m_sheet = this;
    page->SetParent(this);
    m_pages.push_back(page);
}

PropertyPage* PropertySheet::Page(int index) const {
    return index >= 0 && index < PageCount() ? m_pages[index] : nullptr;
}

int PropertySheet::FindPage(const std::string& title) const {
    for (int i = 0; i < PageCount(); ++i)
        if (m_pages[i]->Title() == title) return i;
    return -1;
}

bool PropertySheet::SetActivePage(int index) {
    PropertyPage* next = Page(index);
    if (!next) return false;
    if (index == m_active) return true;
    if (PropertyPage* cur = ActivePage(); cur && !cur->OnKillActive()) return false;
    if (!next->HasWindow()) {
        next->Create();
        static_cast<Dialog*>(next)->OnInitDialog();
    }
    m_active = index;
    next->OnSetActive();
    if (onChanged) onChanged();
    return true;
}

bool PropertySheet::SetActivePage(PropertyPage* page) {
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    return it != m_pages.end() && SetActivePage(static_cast<int>(it - m_pages.begin()));
}

void PropertySheet::Create(Window* parent) {
    SetParent(parent);
    m_created = true;
    if (PageCount() > 0 && m_active < 0) SetActivePage(0);
}

int PropertySheet::Width() const {
    int w = 0;
    for (auto* p : m_pages) {
        const DialogTemplate* t = FindTemplate(p->TemplateId());
        if (t) w = std::max(w, DluToPixelsX(t->cx));
    }
    return w + 8;
}

int PropertySheet::Height() const {
    int h = 0;
    for (auto* p : m_pages) {
        const DialogTemplate* t = FindTemplate(p->TemplateId());
        if (t) h = std::max(h, DluToPixelsY(t->cy));
    }
    return h + 28;  // tab row
}

bool PropertySheet::ApplyAll() {
    for (auto* p : m_pages) {
        if (p->OnApply()) continue;
        // The page that refused comes to the front, so the operator sees
        // the field it refused (its own message has said why).
        if (m_created && p != ActivePage()) SetActivePage(p);
        return false;
    }
    return true;
}

void PropertySheet::CancelActive() {
    if (PropertyPage* p = ActivePage()) p->OnCancelPage();
}

// ---- drivers -------------------------------------------------------------------------------

Driver& CurrentDriver() { return g_driver ? *g_driver : DefaultScriptDriver(); }
void SetDriver(Driver* driver) { g_driver = driver; }
std::vector<Dialog*> ModalStack() { return t_modal; }

}  // namespace ui
