#include "gui/ControlPane.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimeEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTreeWidget>

#include <algorithm>
#include <set>

#include "gui/Touch.h"
#include "gui/Widgets.h"

#include "platform/codepage/CodePage.h"

namespace gui {

QString ToQt(const std::string& ansi) { return QString::fromStdString(cp::AnsiToUtf8(ansi)); }
std::string FromQt(const QString& text) { return cp::Utf8ToAnsi(text.toStdString()); }

namespace {

using ui::ControlKind;

// An edit control of several lines keeps its line breaks as CR LF; Qt's
// text editor works with LF alone.
QString ToCrLf(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}
QString FromCrLf(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")); }

// The LED: a round lamp, green when lit.
class Led : public QLabel {
public:
    explicit Led(QWidget* parent) : QLabel(parent) { SetLit(false); }
    void SetLit(bool lit) {
        if (property("lit").isValid() && property("lit").toBool() == lit) return;
        setProperty("lit", lit);
        setStyleSheet(lit ? "background:#2fd02f; border:1px solid #205020; border-radius:5px;"
                          : "background:#3a4a3a; border:1px solid #202020; border-radius:5px;");
    }
};

// The height a control shows at in the template: a drop-down list's
// template gives the height of its dropped list.
int TemplateHeight(const ui::Control& c) { return c.kind == ControlKind::Combo ? std::min(c.cy, 24) : c.cy; }

// Windows-style "&" mnemonics are shown without the ampersand.
QString Caption(const std::string& text) {
    QString s = ToQt(text);
    s.replace("&&", QChar(0x1));
    s.remove('&');
    s.replace(QChar(0x1), "&");
    return s;
}

bool SameRows(const std::vector<ui::ListItem>& a, const std::vector<ui::ListItem>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].cells != b[i].cells) return false;
    return true;
}

// The dialog font's fixed-pitch counterpart, for controls that ask for it.
QFont FixedPitchFont(const QFont& like) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (like.pixelSize() > 0) f.setPixelSize(like.pixelSize());
    return f;
}

// A row of push buttons that ends this close to the right edge of its
// dialog stays at that edge when the dialog grows (OK, Cancel, Help).
constexpr int kRightRowMargin = 24;

// Width a control needs to show its text whole on one line, or 0 when the
// text may wrap or the widget has no text of its own.
int NeededWidth(QWidget* w, const QFont& font) {
    const QFontMetrics fm(font);
    if (auto* g = qobject_cast<PaneGrid*>(w)) return g->Columns() * g->NeededPaneWidth();
    if (auto* b = qobject_cast<QPushButton*>(w)) return fm.horizontalAdvance(b->text()) + 10;
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        auto* b = static_cast<QAbstractButton*>(w);
        if (b->text().isEmpty()) return 0;
        const bool check = qobject_cast<QCheckBox*>(w) != nullptr;
        QStyle* st = w->style();
        return st->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
               st->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing, nullptr, w) +
               fm.horizontalAdvance(b->text()) + 4;
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->wordWrap() || l->text().isEmpty()) return 0;
        return fm.horizontalAdvance(l->text()) + 2;
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title().isEmpty() ? 0 : fm.horizontalAdvance(g->title()) + 20;
    if (auto* cb = qobject_cast<QComboBox*>(w)) {
        // Any item may come to show in the box: room for the widest.
        int widest = 0;
        for (int i = 0; i < cb->count(); ++i) widest = std::max(widest, fm.horizontalAdvance(cb->itemText(i)));
        if (widest == 0) return 0;
        QStyleOptionComboBox opt;
        opt.initFrom(cb);
        opt.editable = cb->isEditable();
        return cb->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, QSize(widest, fm.height()), cb).width();
    }
    return 0;
}

// Of visible controls at the very same place, the one later in the template
// covers the others, as the window system paints its opaque controls in
// that order (Qt's would show through one another): the ids covered.
std::set<int> CoveredControls(ui::Dialog& d) {
    std::set<int> covered;
    const std::vector<int> ids = d.ControlIds();
    for (size_t i = 0; i < ids.size(); ++i) {
        const ui::Control* a = d.FindControl(ids[i]);
        if (!a || !a->visible || a->kind == ControlKind::Background) continue;
        for (size_t j = i + 1; j < ids.size(); ++j) {
            const ui::Control* b = d.FindControl(ids[j]);
            if (b && b->visible && b->kind == a->kind && b->x == a->x && b->y == a->y && b->cx == a->cx &&
                b->cy == a->cy) {
                covered.insert(a->id);
                break;
            }
        }
    }
    return covered;
}

}  // namespace

// A click anywhere on a row of a check-box list toggles the row's check,
// as a click on its box does: the row's state when the button went down
// tells whether the box already took the click.
class RowToggle : public QObject {
public:
    RowToggle(QTreeWidget* tree, std::function<bool()> checkable) : QObject(tree), m_tree(tree), m_checkable(std::move(checkable)) {
        tree->viewport()->installEventFilter(this);
        connect(tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
            if (!item || item != m_pressed || !m_checkable() || !(item->flags() & Qt::ItemIsUserCheckable) ||
                !(item->flags() & Qt::ItemIsEnabled))
                return;
            if (item->checkState(0) == m_was) item->setCheckState(0, m_was == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        });
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(event);
            m_pressed = me->button() == Qt::LeftButton ? m_tree->itemAt(me->position().toPoint()) : nullptr;
            if (m_pressed) m_was = m_pressed->checkState(0);
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            m_pressed = nullptr;  // the second click of a double click opens, it does not toggle back
        }
        return false;
    }

private:
    QTreeWidget* m_tree;
    std::function<bool()> m_checkable;
    QTreeWidgetItem* m_pressed = nullptr;
    Qt::CheckState m_was = Qt::Unchecked;
};

ControlPane::ControlPane(ui::Dialog& model, ActionSink sink, QWidget* parent)
    : QWidget(parent), m_model(model), m_sink(std::move(sink)), m_touch(TouchMode()) {
    Sync();
}

QWidget* ControlPane::ControlWidget(int id) const {
    auto it = m_entries.find(id);
    return it == m_entries.end() ? nullptr : it->second.widget;
}

void ControlPane::Act(ui::Action::Kind kind, int id, int n, std::string text) {
    if (m_syncing) return;
    ui::Action a;
    a.kind = kind;
    a.id = id;
    a.n = n;
    a.text = std::move(text);
    m_sink(a);
}

QWidget* ControlPane::Make(const ui::Control& c) {
    const int id = c.id;
    switch (c.kind) {
        case ControlKind::Button: {
            auto* b = new QPushButton(this);
            b->setAutoDefault(false);
            connect(b, &QPushButton::clicked, this, [this, id] { Act(ui::Action::Kind::Click, id); });
            return b;
        }
        case ControlKind::Check: {
            auto* b = new QCheckBox(this);
            connect(b, &QCheckBox::clicked, this, [this, id] { Act(ui::Action::Kind::Click, id); });
            return b;
        }
        case ControlKind::Radio: {
            auto* b = new QRadioButton(this);
            b->setAutoExclusive(false);  // the model keeps the group
            connect(b, &QRadioButton::clicked, this, [this, id] { Act(ui::Action::Kind::Click, id); });
            return b;
        }
        case ControlKind::Edit:
            if (c.multiline) {
                auto* e = new QPlainTextEdit(this);
                connect(e, &QPlainTextEdit::textChanged, this,
                        [this, id, e] { Act(ui::Action::Kind::Set, id, 0, FromQt(ToCrLf(e->toPlainText()))); });
                return e;
            } else {
                auto* e = new QLineEdit(this);
                connect(e, &QLineEdit::textEdited, this,
                        [this, id](const QString& t) { Act(ui::Action::Kind::Set, id, 0, FromQt(t)); });
                return e;
            }
        case ControlKind::Static: {
            auto* l = new QLabel(this);
            l->setTextFormat(Qt::PlainText);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return l;
        }
        case ControlKind::Group: return new QGroupBox(this);
        case ControlKind::Panel: {
            auto* f = new QFrame(this);
            f->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
            return f;
        }
        case ControlKind::Led: return new Led(this);
        case ControlKind::Slider: {
            if (c.spin) {
                auto* arrows = new SpinArrows(this);
                connect(arrows, &SpinArrows::stepped, this, [this, id](int delta) {
                    const ui::Control* now = m_model.FindControl(id);
                    if (!now) return;
                    const int lo = std::min(now->rangeMin, now->rangeMax), hi = std::max(now->rangeMin, now->rangeMax);
                    const int pos = std::clamp(now->pos + delta, lo, hi);
                    if (pos != now->pos) Act(ui::Action::Kind::Slide, id, pos);
                });
                return arrows;
            }
            auto* s = new QSlider(c.cy > c.cx ? Qt::Vertical : Qt::Horizontal, this);
            s->setPageStep(10);
            connect(s, &QSlider::valueChanged, this, [this, id](int v) { Act(ui::Action::Kind::Slide, id, v); });
            return s;
        }
        case ControlKind::List: {
            if (c.paneGrid > 0) {
                auto* g = new PaneGrid(c.paneGrid, this);
                connect(g, &PaneGrid::picked, this, [this, id](int pane) { Act(ui::Action::Kind::Select, id, pane); });
                return g;
            }
            auto* l = new QListWidget(this);
            if (m_touch) UseTallRows(*l);
            connect(l, &QListWidget::currentRowChanged, this,
                    [this, id](int row) { Act(ui::Action::Kind::Select, id, row); });
            connect(l, &QListWidget::itemDoubleClicked, this,
                    [this, id, l](QListWidgetItem* item) { Act(ui::Action::Kind::DblClick, id, l->row(item)); });
            return l;
        }
        case ControlKind::ReportList: {
            auto* t = new QTreeWidget(this);
            if (m_touch) UseTallRows(*t);
            new RowToggle(t, [this, id] {
                const ui::Control* now = m_model.FindControl(id);
                return now && now->checkBoxes && now->enabled;
            });
            t->setRootIsDecorated(false);
            t->setUniformRowHeights(true);
            t->setAllColumnsShowFocus(true);
            // Columns keep the width they need (a horizontal scroll bar when
            // they do not fit); the last one takes what room is left.
            t->header()->setStretchLastSection(false);
            t->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            connect(t, &QTreeWidget::currentItemChanged, this, [this, id, t](QTreeWidgetItem* item) {
                Act(ui::Action::Kind::Select, id, item ? t->indexOfTopLevelItem(item) : -1);
            });
            connect(t, &QTreeWidget::itemDoubleClicked, this, [this, id, t](QTreeWidgetItem* item) {
                Act(ui::Action::Kind::DblClick, id, t->indexOfTopLevelItem(item));
            });
            connect(t, &QTreeWidget::itemChanged, this, [this, id, t](QTreeWidgetItem* item, int column) {
                if (m_syncing || column != 0 || !(item->flags() & Qt::ItemIsUserCheckable)) return;
                ui::Action a;
                a.kind = ui::Action::Kind::Check;
                a.id = id;
                a.n = t->indexOfTopLevelItem(item);
                a.value = item->checkState(0) == Qt::Checked ? 1 : 0;
                m_sink(a);
            });
            return t;
        }
        case ControlKind::Combo: {
            auto* b = new QComboBox(this);
            if (m_touch) UseTallRows(*b->view());
            connect(b, &QComboBox::currentIndexChanged, this,
                    [this, id](int index) { Act(ui::Action::Kind::Select, id, index); });
            return b;
        }
        case ControlKind::Calendar: {
            auto* cal = new QCalendarWidget(this);
            connect(cal, &QCalendarWidget::selectionChanged, this, [this, id, cal] {
                if (m_syncing) return;
                const std::int64_t value = QDateTime(cal->selectedDate(), QTime(0, 0)).toSecsSinceEpoch();
                ui::Action a;
                a.kind = ui::Action::Kind::Call;
                a.id = id;
                a.call = [id, value](ui::Dialog& d) { d.OperatorSetDateTime(id, value); };
                m_sink(a);
            });
            return cal;
        }
        case ControlKind::TimeEdit: {
            // Minutes and seconds, as text in the model ("m:ss").
            auto* t = new QTimeEdit(this);
            t->setDisplayFormat("m:ss");
            connect(t, &QTimeEdit::timeChanged, this, [this, id](QTime v) {
                Act(ui::Action::Kind::Set, id, 0, FromQt(v.toString("m:ss")));
            });
            return t;
        }
        case ControlKind::Progress: {
            auto* p = new QProgressBar(this);
            p->setTextVisible(true);
            p->setFormat("%p%");
            p->setAlignment(Qt::AlignCenter);
            return p;
        }
        case ControlKind::Background: return nullptr;  // the keyboard is the dialog view's
    }
    return nullptr;
}

void ControlPane::SyncRows(Entry& e, const ui::Control& c) {
    const bool rowsChanged = !e.filled || !SameRows(e.items, c.items) || e.columns != c.columns;
    if (auto* g = qobject_cast<PaneGrid*>(e.widget)) {
        QStringList texts;
        for (const auto& item : c.items) texts << ToQt(item.cells.empty() ? std::string{} : item.cells[0]);
        g->SetTexts(texts);
        g->SetCurrent(c.selection);
    } else if (auto* l = qobject_cast<QListWidget*>(e.widget)) {
        if (rowsChanged) {
            l->clear();
            for (const auto& item : c.items) l->addItem(ToQt(item.cells.empty() ? std::string{} : item.cells[0]));
        }
        // Set after every refill, also to none: a list view that never had
        // its current row set takes the first when it gets the focus, and
        // reaching a list with Tab selects nothing in it.
        // (Through the view: QListWidget::setCurrentRow goes around it.)
        if (rowsChanged || l->currentRow() != c.selection) l->setCurrentIndex(l->model()->index(c.selection, 0));
    } else if (auto* t = qobject_cast<QTreeWidget*>(e.widget)) {
        if (rowsChanged) {
            t->clear();
            QStringList headers;
            for (const auto& h : c.columns) headers << ToQt(h);
            if (headers.isEmpty()) headers << QString();
            t->setColumnCount(static_cast<int>(headers.size()));
            t->setHeaderLabels(headers);
            t->setHeaderHidden(c.columns.empty());
            for (const auto& item : c.items) {
                QStringList cells;
                for (const auto& cell : item.cells) cells << ToQt(cell);
                t->addTopLevelItem(new QTreeWidgetItem(cells));
            }
            if (e.columns != c.columns) e.columnsSized = false;
        }
        if (c.checkBoxes) {
            for (int r = 0; r < t->topLevelItemCount() && r < c.ItemCount(); ++r) {
                QTreeWidgetItem* item = t->topLevelItem(r);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                const Qt::CheckState want = c.items[static_cast<size_t>(r)].checked ? Qt::Checked : Qt::Unchecked;
                // A new row has no check state at all (and so no box) until one is set.
                if (!item->data(0, Qt::CheckStateRole).isValid() || item->checkState(0) != want)
                    item->setCheckState(0, want);
            }
        }
        // Sized once the rows have their check boxes, which take room too.
        if (rowsChanged) SizeColumns(*t, e);
        QTreeWidgetItem* want = c.selection >= 0 ? t->topLevelItem(c.selection) : nullptr;
        if (rowsChanged || t->currentItem() != want) t->setCurrentItem(want);  // as for the list box
        if (!want) t->clearSelection();
    } else if (auto* b = qobject_cast<QComboBox*>(e.widget)) {
        if (rowsChanged) {
            b->clear();
            for (const auto& item : c.items) b->addItem(ToQt(item.cells.empty() ? std::string{} : item.cells[0]));
        }
        if (b->currentIndex() != c.selection) b->setCurrentIndex(c.selection);
    }
    e.items = c.items;
    e.columns = c.columns;
    e.filled = true;
}

void ControlPane::SyncOne(Entry& e, const ui::Control& c, bool covered) {
    QWidget* w = e.widget;
    if (w->isEnabled() != c.enabled) w->setEnabled(c.enabled);
    const QString caption = Caption(c.text);
    switch (c.kind) {
        case ControlKind::Button: {
            auto* b = static_cast<QPushButton*>(w);
            if (b->text() != caption) b->setText(caption);
            break;
        }
        case ControlKind::Check:
        case ControlKind::Radio: {
            auto* b = static_cast<QAbstractButton*>(w);
            if (b->text() != caption) b->setText(caption);
            if (b->isChecked() != c.ticked) b->setChecked(c.ticked);
            break;
        }
        case ControlKind::Edit:
            if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
                const QString shown = FromCrLf(ToQt(c.text));
                if (pe->toPlainText() != shown) pe->setPlainText(shown);
                pe->setReadOnly(c.readOnly);
            } else {
                auto* le = static_cast<QLineEdit*>(w);
                const int max = c.maxLength > 0 ? c.maxLength : 32767;
                if (le->maxLength() != max) le->setMaxLength(max);
                if (le->text() != ToQt(c.text)) le->setText(ToQt(c.text));
                le->setReadOnly(c.readOnly);
            }
            break;
        case ControlKind::Static: {
            auto* l = static_cast<QLabel*>(w);
            if (l->text() != caption) l->setText(caption);
            l->setWordWrap(c.cy >= 2 * l->fontMetrics().height());
            break;
        }
        case ControlKind::Group: {
            auto* g = static_cast<QGroupBox*>(w);
            if (g->title() != caption) g->setTitle(caption);
            break;
        }
        case ControlKind::Led: static_cast<Led*>(w)->SetLit(c.ticked); break;
        case ControlKind::Slider: {
            if (c.spin) break;  // the arrows keep no value: the buddy edit shows it
            auto* s = static_cast<QSlider*>(w);
            s->setRange(std::min(c.rangeMin, c.rangeMax), std::max(c.rangeMin, c.rangeMax));
            if (s->value() != c.pos) s->setValue(c.pos);
            break;
        }
        case ControlKind::Progress: {
            auto* p = static_cast<QProgressBar*>(w);
            p->setRange(std::min(c.rangeMin, c.rangeMax), std::max(c.rangeMin, c.rangeMax));
            if (p->value() != c.pos) p->setValue(c.pos);
            break;
        }
        case ControlKind::List:
        case ControlKind::ReportList:
        case ControlKind::Combo: SyncRows(e, c); break;
        case ControlKind::Calendar: {
            auto* cal = static_cast<QCalendarWidget*>(w);
            const QDate d = QDateTime::fromSecsSinceEpoch(c.dateTime).date();
            if (cal->selectedDate() != d) cal->setSelectedDate(d);
            break;
        }
        case ControlKind::TimeEdit: {
            auto* t = static_cast<QTimeEdit*>(w);
            const QTime v = QTime::fromString(ToQt(c.text), "m:ss");
            if (v.isValid() && t->time() != v) t->setTime(v);
            break;
        }
        case ControlKind::Panel:
        case ControlKind::Background: break;
    }
    if (const bool shown = c.visible && !covered; w->isVisibleTo(this) != shown) w->setVisible(shown);
}

void ControlPane::Sync() {
    m_syncing = true;
    bool added = false;
    const std::set<int> hidden = HiddenControls();
    for (int id : m_model.ControlIds()) {
        const ui::Control* c = m_model.FindControl(id);
        if (!c) continue;
        auto it = m_entries.find(id);
        if (it == m_entries.end()) {
            Entry e;
            e.kind = c->kind;
            e.widget = Make(*c);
            if (e.widget) {
                e.widget->setObjectName(QString("control%1").arg(id));
                e.widget->setProperty("controlId", id);
                if (c->fixedPitch) e.widget->setFont(FixedPitchFont(font()));
            }
            it = m_entries.emplace(id, e).first;
            added = true;
        }
        if (it->second.widget) SyncOne(it->second, *c, hidden.count(id) != 0);
    }
    if (added) {
        // Frames (group boxes, panels) lie behind the controls they surround.
        for (auto& [id, e] : m_entries)
            if (e.widget && (e.kind == ControlKind::Group || e.kind == ControlKind::Panel)) e.widget->lower();
        NameControls();
        // Labels now known: those of fields out of view go too.
        for (const auto& [label, fields] : m_labelFields) {
            const ui::Control* c = m_model.FindControl(label);
            QWidget* w = ControlWidget(label);
            if (c && w && c->visible && hidden.count(label) == 0 && LabelOutOfView(fields, hidden)) w->hide();
        }
    }
    Layout();
    if (m_model.FocusCount() != m_focusSeen) {
        m_focusSeen = m_model.FocusCount();
        m_focusPending = true;
    }
    if (m_focusPending) ApplyFocus();
    m_syncing = false;
}

bool ControlPane::LabelOutOfView(const std::vector<int>& fields, const std::set<int>& covered) const {
    for (int id : fields)
        if (const ui::Control* f = m_model.FindControl(id); f && f->visible && covered.count(id) == 0) return false;
    return true;
}

std::set<int> ControlPane::HiddenControls() const {
    std::set<int> hidden = CoveredControls(m_model);
    // A label goes with its fields: one whose fields are all out of view
    // would stand alone (the record level label of the input not recorded).
    std::vector<int> orphans;
    for (const auto& [label, fields] : m_labelFields)
        if (LabelOutOfView(fields, hidden)) orphans.push_back(label);
    hidden.insert(orphans.begin(), orphans.end());
    return hidden;
}

void ControlPane::SizeColumns(QTreeWidget& t, Entry& e) {
    // Widths only grow while the list lives, so a refill does not make
    // the columns jump.
    const int count = t.columnCount();
    int total = 0;
    for (int col = 0; col < count; ++col) {
        const int was = t.columnWidth(col);
        t.resizeColumnToContents(col);  // contents and header
        const int want = std::max(t.columnWidth(col), 30);
        const int width = e.columnsSized ? std::max(was, want) : want;
        if (t.columnWidth(col) != width) t.setColumnWidth(col, width);
        total += width;
    }
    const int room = t.viewport()->width() > 1 ? t.viewport()->width() : t.width() - 4;
    if (count > 0 && total < room) t.setColumnWidth(count - 1, t.columnWidth(count - 1) + room - total);
    e.columnsSized = true;
}

void ControlPane::NameControls() {
    // A field's label is the static text before it in the template that
    // sits on its line or just above it, as labels are laid out; else a
    // static text just left of it on its line (one label for fields that
    // take turns at the same place).
    auto sameLine = [](const ui::Control& a, const ui::Control& b) {
        return a.y < b.y + std::max(b.cy, 1) && a.y + std::max(a.cy, 1) > b.y;
    };
    auto name = [this](QWidget* w, const ui::Control& label) {
        QString text = Caption(label.text).trimmed();
        if (text.endsWith(':')) text.chop(1);
        w->setAccessibleName(text);
        m_labelFields[label.id].push_back(w->property("controlId").toInt());
        if (auto* l = qobject_cast<QLabel*>(ControlWidget(label.id)); l && !l->buddy()) l->setBuddy(w);
    };
    const std::vector<int> ids = m_model.ControlIds();
    const ui::Control* label = nullptr;
    for (int id : ids) {
        const ui::Control* c = m_model.FindControl(id);
        if (!c) continue;
        if (c->kind == ControlKind::Static) {
            label = c->text.empty() ? nullptr : c;
            continue;
        }
        QWidget* w = ControlWidget(id);
        const bool field = c->kind == ControlKind::Edit || c->kind == ControlKind::Combo || c->kind == ControlKind::List ||
                           c->kind == ControlKind::ReportList || c->kind == ControlKind::Slider ||
                           c->kind == ControlKind::TimeEdit || c->kind == ControlKind::Calendar ||
                           c->kind == ControlKind::Progress;
        if (w && field && w->accessibleName().isEmpty()) {
            const bool above = label && label->y + label->cy <= c->y && c->y - (label->y + label->cy) < 24;
            if (label && (sameLine(*label, *c) || above)) {
                name(w, *label);
            } else {
                const ui::Control* left = nullptr;
                for (int other : ids) {
                    const ui::Control* s = m_model.FindControl(other);
                    if (!s || s->kind != ControlKind::Static || s->text.empty() || !sameLine(*s, *c)) continue;
                    const int gap = c->x - (s->x + s->cx);
                    if (gap < -4 || gap > 24) continue;
                    if (!left || s->x > left->x) left = s;
                }
                if (left) name(w, *left);
            }
        }
        if (c->kind != ControlKind::Group && c->kind != ControlKind::Panel) label = nullptr;
    }
}

void ControlPane::ApplyFocus() {
    QWidget* w = ControlWidget(m_model.Focus());
    // A hidden pane (a page not in front, a window not yet shown) takes
    // the focus when it shows.
    if (!w || !w->isVisible() || !w->isEnabled()) return;
    m_focusPending = false;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* le = qobject_cast<QLineEdit*>(w)) {
        const ui::Control& c = m_model.Item(m_model.Focus());
        // The selection the dialog set; without one the whole text, as
        // the dialog manager selects a field it moves the focus to.
        if (c.selEnd > c.selStart)
            le->setSelection(c.selStart, c.selEnd - c.selStart);
        else
            le->selectAll();
    }
}

std::vector<QWidget*> ControlPane::FocusChain() const {
    std::vector<QWidget*> out;
    for (int id : m_model.ControlIds()) {
        QWidget* w = ControlWidget(id);
        if (w && w->focusPolicy() != Qt::NoFocus) out.push_back(w);
    }
    return out;
}

QSize ControlPane::LaidOutSize() const {
    return QSize(m_mapX.Map(std::max(m_model.Width(), 1)), m_mapY.Map(std::max(m_model.Height(), 1)));
}

QRect ControlPane::MapRect(const QRect& r) const {
    const int x = m_mapX.Map(r.x()), y = m_mapY.Map(r.y());
    return QRect(x, y, m_mapX.Map(r.x() + r.width()) - x, m_mapY.Map(r.y() + r.height()) - y);
}

void ControlPane::Reserve(const QRect& templateRect, const QSize& need) {
    m_reserved = templateRect;
    m_reservedNeed = need.expandedTo(m_reservedNeed);
}

int ControlPane::RoomRight(const ui::Control& c, const AxisMap& map, int paneWidth) const {
    // Up to the next control on the same line (frames around the control
    // do not count) or the edge of the pane.
    int limit = std::max(paneWidth, map.Map(c.x + c.cx));
    const QRect self(c.x, c.y, c.cx, std::max(c.cy, 1));
    for (const auto& [id, e] : m_entries) {
        const ui::Control* o = m_model.FindControl(id);
        if (!o || o->id == c.id || !e.widget || !e.widget->isVisibleTo(this)) continue;
        const QRect other(o->x, o->y, std::max(o->cx, 1), std::max(o->cy, 1));
        if (other.contains(self)) continue;  // a group box or panel around it
        if (other.top() > self.bottom() || other.bottom() < self.top()) continue;
        if (o->x >= c.x + c.cx / 2) limit = std::min(limit, map.Map(o->x) - 2);
    }
    return limit;
}

std::vector<std::vector<const ui::Control*>> ControlPane::RightButtonRows() const {
    // Rows of push buttons (one top and height) grouped by row.
    std::map<std::pair<int, int>, std::vector<const ui::Control*>> rows;
    for (const auto& [id, e] : m_entries) {
        const ui::Control* c = m_model.FindControl(id);
        if (c && e.kind == ControlKind::Button && e.widget->isVisibleTo(this)) rows[{c->y, c->cy}].push_back(c);
    }
    const int paneWidth = std::max(m_model.Width(), 1);
    std::vector<std::vector<const ui::Control*>> out;
    for (auto& [key, row] : rows) {
        std::sort(row.begin(), row.end(), [](auto* a, auto* b) { return a->x < b->x; });
        const ui::Control* last = row.back();
        const int margin = paneWidth - (last->x + last->cx);
        if (margin >= 0 && margin <= kRightRowMargin) out.push_back(row);
    }
    return out;
}

void ControlPane::AnchorButtonRows(std::map<int, QRect>& places, const std::map<int, int>& needs) const {
    const int paneWidth = std::max(m_model.Width(), 1);
    for (const auto& row : RightButtonRows()) {
        const ui::Control* last = row.back();
        const int margin = paneWidth - (last->x + last->cx);
        // The row keeps its margin to the right edge; each button keeps its
        // own width (the one its text needs) and its gap to the next.
        int right = m_mapX.Map(paneWidth) - margin;
        for (auto it = row.rbegin(); it != row.rend(); ++it) {
            const ui::Control* c = *it;
            const auto need = needs.find(c->id);
            const int width = std::max(c->cx, need == needs.end() ? 0 : need->second);
            QRect& place = places[c->id];
            place.setRect(right - width, place.y(), width, place.height());
            if (std::next(it) != row.rend()) right = place.x() - (c->x - ((*std::next(it))->x + (*std::next(it))->cx));
        }
    }
}

QSize ControlPane::TouchNeed(const ui::Control& c, QWidget* w) const {
    if (!m_touch) return {};
    switch (c.kind) {
        case ControlKind::Button:
        case ControlKind::Check:
        case ControlKind::Radio: return {kMinTarget, kMinTarget};
        case ControlKind::Combo:
        case ControlKind::TimeEdit: return {0, kMinTarget};
        case ControlKind::Edit: return c.multiline ? QSize() : QSize(kMinTarget, kMinTarget);
        case ControlKind::Slider: return c.spin ? QSize(2 * kMinTarget, kMinTarget) : QSize();
        case ControlKind::List:
            if (auto* g = qobject_cast<PaneGrid*>(w)) return {g->Columns() * kMinTarget, g->Columns() * kMinTarget};
            return {};
        default: return {};
    }
}

void ControlPane::Layout() {
    QFont font = this->font();
    if (font.pixelSize() <= 0) font.setPixelSize(QFontInfo(font).pixelSize());
    // Widths: a text that neither fits its template width nor the free room
    // beside it asks the layout for its width.
    const AxisMap identity;
    std::map<int, int> needs;  // the width each visible control's text needs
    for (auto& [id, e] : m_entries) {
        const ui::Control* c = m_model.FindControl(id);
        if (!c || !e.widget) continue;
        // The pane grid draws its names in the panes' own font.
        const QFont f = c->fixedPitch ? FixedPitchFont(font) : font;
        if (!qobject_cast<PaneGrid*>(e.widget) && e.widget->font() != f) e.widget->setFont(f);
        if (!e.widget->isVisibleTo(this)) continue;
        needs[id] = std::max(NeededWidth(e.widget, e.widget->font()), TouchNeed(*c, e.widget).width());
    }
    // Buttons stacked in a column (one left edge, one width) stay lined up:
    // each as wide as the widest needs.
    std::map<std::pair<int, int>, int> columns;
    for (const auto& [id, need] : needs)
        if (const ui::Control* c = m_model.FindControl(id); c && c->kind == ControlKind::Button)
            columns[{c->x, c->cx}] = std::max(columns[{c->x, c->cx}], need);
    for (auto& [id, need] : needs)
        if (const ui::Control* c = m_model.FindControl(id); c && c->kind == ControlKind::Button)
            need = columns[{c->x, c->cx}];
    for (const auto& [id, need] : needs) {
        const ui::Control* c = m_model.FindControl(id);
        if (c && need > c->cx && (c->x + need > RoomRight(*c, identity, m_model.Width()) || TouchNeed(*c, nullptr).width() > c->cx))
            m_needX[id] = std::max(m_needX[id], need);
    }
    std::vector<Span> spans;
    for (const auto& [id, need] : m_needX)
        if (const ui::Control* c = m_model.FindControl(id)) spans.push_back({c->x, c->cx, need});
    if (!m_reserved.isEmpty()) spans.push_back({m_reserved.x(), m_reserved.width(), m_reservedNeed.width()});
    // A row of buttons kept at the right edge needs room for all of them,
    // each as wide as its text, with the template's gaps between them.
    for (const auto& row : RightButtonRows()) {
        int total = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            const auto need = needs.find(row[i]->id);
            total += std::max(row[i]->cx, need == needs.end() ? 0 : need->second);
            if (i + 1 < row.size()) total += row[i + 1]->x - (row[i]->x + row[i]->cx);
        }
        const int start = row.front()->x, size = row.back()->x + row.back()->cx - start;
        if (total > size) spans.push_back({start, size, total});
    }
    m_mapX = AxisMap::Fit(spans);
    const int paneWidth = m_mapX.Map(std::max(m_model.Width(), 1));

    // Places and widths; heights as the template has them for now.
    std::map<int, QRect> places;
    for (auto& [id, e] : m_entries) {
        const ui::Control* c = m_model.FindControl(id);
        if (!c || !e.widget) continue;
        const int x = m_mapX.Map(c->x);
        int width = m_mapX.Extent(c->x, c->cx);
        if (auto need = needs.find(id); need != needs.end() && need->second > width)
            width = std::max(width, std::min(need->second, RoomRight(*c, m_mapX, paneWidth) - x));
        places[id] = QRect(x, c->y, std::max(width, 1), c->cy);
    }
    AnchorButtonRows(places, needs);

    // Heights: a label that wraps its text (or breaks it into lines) at
    // the width it now has asks for the height of its lines.
    for (auto& [id, e] : m_entries) {
        auto* l = qobject_cast<QLabel*>(e.widget);
        const ui::Control* c = m_model.FindControl(id);
        if (!l || !c || l->text().isEmpty() || !l->isVisibleTo(this)) continue;
        const QFontMetrics fm(l->font());
        const int width = places[id].width();
        const int need = l->wordWrap() ? fm.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, l->text()).height()
                                       : fm.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), 0, l->text()).height();
        if (need > c->cy) m_needY[id] = std::max(m_needY[id], need);
    }
    // Touch mode: targets a finger can hit.
    for (auto& [id, e] : m_entries) {
        const ui::Control* c = m_model.FindControl(id);
        if (!c || !e.widget || !e.widget->isVisibleTo(this)) continue;
        if (const int need = TouchNeed(*c, e.widget).height(); need > TemplateHeight(*c))
            m_needY[id] = std::max(m_needY[id], need);
    }
    spans.clear();
    for (const auto& [id, need] : m_needY)
        if (const ui::Control* c = m_model.FindControl(id)) spans.push_back({c->y, TemplateHeight(*c), need});
    if (!m_reserved.isEmpty()) spans.push_back({m_reserved.y(), m_reserved.height(), m_reservedNeed.height()});
    m_mapY = AxisMap::Fit(spans);

    for (auto& [id, e] : m_entries) {
        const ui::Control* c = m_model.FindControl(id);
        if (!c || !e.widget) continue;
        QRect place = places[id];
        int height = m_mapY.Extent(c->y, TemplateHeight(*c));
        if (c->kind == ControlKind::Led) height = std::min(place.width(), height);
        place.moveTop(m_mapY.Map(c->y));
        place.setHeight(std::max(height, 1));
        if (e.widget->geometry() != place) e.widget->setGeometry(place);
    }
}

}  // namespace gui
