// Typed front ends of the product's custom controls over the dialog model.
// Each wrapper is bound to a dialog and a control id; binding to an id the
// dialog lacks raises ui::UiError at first use.
#pragma once
#include <string>
#include <vector>

#include "platform/ui/Dialog.h"

class CWWControl {
public:
    CWWControl() = default;
    CWWControl(ui::Dialog& dialog, int id) : m_dialog(&dialog), m_id(id) {}
    void Bind(ui::Dialog& dialog, int id) { m_dialog = &dialog; m_id = id; }
    bool IsBound() const { return m_dialog && m_dialog->HasControl(m_id); }
    int Id() const { return m_id; }
    ui::Control& Ctl() const { return m_dialog->Item(m_id); }

    std::string GetCaption() const { return Ctl().text; }
    void SetCaption(const std::string& text) { m_dialog->SetItemText(m_id, text); }
    bool GetEnabled() const { return Ctl().enabled; }
    void SetEnabled(bool enable) { m_dialog->EnableItem(m_id, enable); }
    bool GetVisible() const { return Ctl().visible; }
    void SetVisible(bool show) { m_dialog->ShowItem(m_id, show); }

protected:
    ui::Dialog* m_dialog = nullptr;
    int m_id = 0;
};

class CWWButton : public CWWControl { public: using CWWControl::CWWControl; };
class CWWStatic : public CWWControl { public: using CWWControl::CWWControl; };
class CWWGroup : public CWWControl { public: using CWWControl::CWWControl; };
class CWWPanel : public CWWControl { public: using CWWControl::CWWControl; };

class CWWCheck : public CWWControl {
public:
    using CWWControl::CWWControl;
    bool GetValue() const { return Ctl().ticked; }
    void SetValue(bool ticked) { m_dialog->SetTicked(m_id, ticked); }
};

class CWWRadio : public CWWControl {
public:
    using CWWControl::CWWControl;
    bool GetValue() const { return Ctl().ticked; }
    void SetValue(bool selected) { m_dialog->SetTicked(m_id, selected); }
};

class CWWLed : public CWWControl {
public:
    using CWWControl::CWWControl;
    bool GetLit() const { return Ctl().ticked; }
    void SetLit(bool lit) { m_dialog->SetTicked(m_id, lit); }
};

class CWWEdit : public CWWControl {
public:
    using CWWControl::CWWControl;
    std::string GetText() const { return Ctl().text; }
    void SetText(const std::string& text) { m_dialog->SetItemText(m_id, text); }
    void SetMaxLength(int n) { Ctl().maxLength = n; }
    void SelectAll() { auto& c = Ctl(); c.selStart = 0; c.selEnd = static_cast<int>(c.text.size()); }
};

class CWWSlider : public CWWControl {
public:
    using CWWControl::CWWControl;
    int GetPosition() const { return Ctl().pos; }
    void SetPosition(int pos) { m_dialog->SetPos(m_id, pos); }
};

class CWWProgress : public CWWControl {
public:
    using CWWControl::CWWControl;
    void SetRange(int lo, int hi) { auto& c = Ctl(); c.rangeMin = lo; c.rangeMax = hi; m_dialog->Changed(m_id); }
    void SetPos(int pos) { Ctl().pos = pos; m_dialog->Changed(m_id); }
    int GetPos() const { return Ctl().pos; }
};

// Lists and report lists: rows with column texts and item data.
class CWWListCtrl : public CWWControl {
public:
    using CWWControl::CWWControl;
    int GetCount() const { return Ctl().ItemCount(); }
    int AddRow(const std::vector<std::string>& cells, std::intptr_t data = 0) {
        auto& c = Ctl();
        int i = c.AddItem(cells.empty() ? std::string{} : cells[0], data);
        for (size_t k = 1; k < cells.size(); ++k) c.SetItemText(i, static_cast<int>(k), cells[k]);
        m_dialog->Changed(m_id);
        return i;
    }
    void DeleteRow(int index) { Ctl().DeleteItem(index); m_dialog->Changed(m_id); }
    void Clear() { Ctl().ClearItems(); m_dialog->Changed(m_id); }
    std::string GetCell(int row, int column) const { return Ctl().ItemText(row, column); }
    void SetCell(int row, int column, const std::string& t) { Ctl().SetItemText(row, column, t); m_dialog->Changed(m_id); }
    std::intptr_t GetData(int row) const { return Ctl().ItemData(row); }
    int GetSelection() const { return Ctl().selection; }
    void SetSelection(int row) { m_dialog->SetSelection(m_id, row); }
    // Header set-up from a comma-separated text.
    void SetColumns(const std::string& commaSeparated);
};

class CWwlist_user_handlers : public CWWListCtrl { public: using CWWListCtrl::CWWListCtrl; };

class CWWCalendar : public CWWControl {
public:
    using CWWControl::CWWControl;
    std::int64_t GetValue() const { return Ctl().dateTime; }
    void SetValue(std::int64_t t) { Ctl().dateTime = t; m_dialog->Changed(m_id); }
};
class CWWTimeEdit : public CWWCalendar { public: using CWWCalendar::CWWCalendar; };

class CWWBckgrd : public CWWControl {
public:
    using CWWControl::CWWControl;
    bool GetKeyboardOn() const { return Ctl().keyboardOn; }
    void SetKeyboardOn(bool on) { Ctl().keyboardOn = on; m_dialog->Changed(m_id); }
    std::string GetKeySet() const { return Ctl().keySet; }
    void SetKeySet(const std::string& keys) { Ctl().keySet = keys; m_dialog->Changed(m_id); }
};
