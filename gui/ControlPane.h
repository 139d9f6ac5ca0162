// The controls of one dialog or property page as Qt widgets.
//
// Each control of the model becomes one widget at its template place (the
// model keeps pixels after layout).  What the operator does to a widget is
// handed on as the operator action the scripted runner would feed, so the
// dialog's logic sees the same events from either front end.  Sync() brings
// every widget up to the model: text, enabled, visible, items, selection,
// ticks, positions; widgets of controls added at run time appear there too.
#pragma once
#include <functional>
#include <map>
#include <set>
#include <vector>

#include <QWidget>

class QTreeWidget;

#include "platform/ui/Dialog.h"
#include "platform/ui/Script.h"

namespace gui {

using ActionSink = std::function<void(const ui::Action&)>;

class ControlPane : public QWidget {
    Q_OBJECT
public:
    ControlPane(ui::Dialog& model, ActionSink sink, QWidget* parent);

    ui::Dialog& Model() const { return m_model; }
    void Sync();
    // The widget of a control, or null.
    QWidget* ControlWidget(int id) const;
    // The widgets that take the focus, in the template's control order.
    std::vector<QWidget*> FocusChain() const;

private:
    struct Entry {
        QWidget* widget = nullptr;
        ui::ControlKind kind = ui::ControlKind::Static;
        std::vector<ui::ListItem> items;  // rows the widget shows
        std::vector<std::string> columns;
        bool filled = false;
        int width = 0;  // widened to show the whole text; 0 = the template width
        bool columnsSized = false;
    };
    QWidget* Make(const ui::Control& c);
    // covered: another control at the same place hides this one.
    void SyncOne(Entry& e, const ui::Control& c, bool covered);
    void SyncRows(Entry& e, const ui::Control& c);
    void Act(ui::Action::Kind kind, int id, int n = 0, std::string text = {});
    // Widens a control into free room, or takes a smaller font, so that
    // its text shows whole.
    void Fit(Entry& e, const ui::Control& c);
    void ApplyFocus();
    // Accessible names of fields from their labels.
    void NameControls();
    void SizeColumns(QTreeWidget& t, Entry& e);
    // Controls the model shows that the pane keeps out of view: those
    // another control covers, and labels whose fields are all out of view.
    std::set<int> HiddenControls() const;
    bool LabelOutOfView(const std::vector<int>& fields, const std::set<int>& hidden) const;

    ui::Dialog& m_model;
    ActionSink m_sink;
    std::map<int, Entry> m_entries;
    std::map<int, std::vector<int>> m_labelFields;  // label id -> the fields it names
    bool m_syncing = false;
    int m_focusSeen = 0;        // the model's focus count last applied
    bool m_focusPending = false;
};

// The model's 8-bit text (system code page) to Qt and back.
QString ToQt(const std::string& ansi);
std::string FromQt(const QString& text);

}  // namespace gui
