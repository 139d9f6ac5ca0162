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

#include "gui/Stretch.h"
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
    // The pane's size once laid out to fit its texts (the template's size
    // when they all fit).
    QSize LaidOutSize() const;
    // Where a rectangle of the template lies once laid out.
    QRect MapRect(const QRect& templateRect) const;
    // A part of the pane its owner fills (the embedded property sheet), at
    // templateRect, whose content needs the size need: the layout makes
    // room for it as for a control.  Takes effect with the next Sync.
    void Reserve(const QRect& templateRect, const QSize& need);
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
        bool columnsSized = false;
    };
    QWidget* Make(const ui::Control& c);
    // covered: another control at the same place hides this one.
    void SyncOne(Entry& e, const ui::Control& c, bool covered);
    void SyncRows(Entry& e, const ui::Control& c);
    void Act(ui::Action::Kind kind, int id, int n = 0, std::string text = {});
    // Places every widget: the template's places, moved and grown where a
    // text needs more room than the template gives it (see Stretch.h); a
    // control whose text fits into free room beside it only widens there.
    void Layout();
    // Rows of buttons at the right edge keep to it (right to left, each
    // as wide as its text needs, needs by id) in the places Layout found.
    void AnchorButtonRows(std::map<int, QRect>& places, const std::map<int, int>& needs) const;
    // How far right control c may widen on its line without running into
    // another control, with the template coordinates mapped by map.
    int RoomRight(const ui::Control& c, const AxisMap& map, int paneWidth) const;
    void ApplyFocus();
    // Accessible names of fields from their labels.
    void NameControls();
    void SizeColumns(QTreeWidget& t, Entry& e);
    // Controls the model shows that the pane keeps out of view: those
    // another control covers, and labels whose fields are all out of view.
    std::set<int> HiddenControls() const;
    bool LabelOutOfView(const std::vector<int>& fields, const std::set<int>& hidden) const;

    // Rows of push buttons that end at the right edge, each sorted left to right.
    std::vector<std::vector<const ui::Control*>> RightButtonRows() const;
    // The room a control needs in touch mode (0 where the template's is enough).
    QSize TouchNeed(const ui::Control& c, QWidget* w) const;

    ui::Dialog& m_model;
    ActionSink m_sink;
    bool m_touch = false;
    std::map<int, Entry> m_entries;
    AxisMap m_mapX, m_mapY;
    // The most room each control's text asked for beyond its template size
    // while the window lives: the layout only grows, so it does not jump
    // as texts change.
    std::map<int, int> m_needX, m_needY;
    QRect m_reserved;
    QSize m_reservedNeed;
    std::map<int, std::vector<int>> m_labelFields;  // label id -> the fields it names
    bool m_syncing = false;
    int m_focusSeen = 0;        // the model's focus count last applied
    bool m_focusPending = false;
};

// The model's 8-bit text (system code page) to Qt and back.
QString ToQt(const std::string& ansi);
std::string FromQt(const QString& text);

}  // namespace gui
