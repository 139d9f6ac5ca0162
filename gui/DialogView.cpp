#include "gui/DialogView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include "platform/ui/MessageBox.h"
#include "util/Util.h"
#include "gui/Keyboard.h"
#include "gui/Touch.h"

namespace gui {

namespace {

// The custom control look of the unit, when the controls run in that mode.
constexpr const char* kUnitLook =
    "QDialog, QTabWidget > QWidget { background:#1f3550; color:#f0f0f0; }"
    "QLabel, QCheckBox, QRadioButton, QGroupBox { color:#f0f0f0; }"
    "QPushButton { background:#3c5f8a; color:white; border:1px solid #9fb8d8; border-radius:3px; }"
    "QPushButton:disabled { color:#8090a0; }";

// Room the tab widget takes beside its row of tabs (frame and base line).
constexpr int kTabRowMargin = 6;

ui::Control* KeyboardControl(ui::Dialog& d) {
    for (int id : d.ControlIds())
        if (ui::Control* c = d.FindControl(id); c && c->kind == ui::ControlKind::Background) return c;
    return nullptr;
}

}  // namespace

DialogView::DialogView(ui::Dialog& model, ActionSink sink, QWidget* parent)
    : QDialog(parent), m_model(model), m_sink(std::move(sink)) {
    setObjectName(QString("dialog%1").arg(model.TemplateId()));
    QFont f = font();
    f.setPixelSize(11);  // the unit's 8-point dialog font, for which the templates are laid out
    setFont(f);
    m_touch = TouchMode();
    QString sheetStyle = CWWRegistry::GetControlsWWMode() == 1 ? kUnitLook : "";
    if (m_touch) sheetStyle += TouchStyleSheet();
    if (!sheetStyle.isEmpty()) setStyleSheet(sheetStyle);
    setSizeGripEnabled(false);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName("scroller");
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    // See-through: the dialog paints its own background under the controls
    // (and so gets the paint events that tell it is on screen).
    m_scroll->setAutoFillBackground(false);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_content = new QWidget;
    m_content->setObjectName("content");
    m_scroll->setWidget(m_content);
    m_content->setAutoFillBackground(false);  // which setWidget turned on
    m_pane = new ControlPane(model, m_sink, m_content);
    if (ui::PropertySheet* sheet = model.EmbeddedSheet()) {
        m_tabs = new QTabWidget(m_content);
        m_tabs->setObjectName("sheet");
        // Every tab in view at once, as the unit's sheets show them.
        m_tabs->setUsesScrollButtons(false);
        m_tabs->setStyleSheet(m_touch ? "QTabBar::tab { padding: 3px 8px; min-height: 40px; min-width: 40px; }"
                                      : "QTabBar::tab { padding: 3px 5px; }");
        for (int i = 0; i < sheet->PageCount(); ++i) {
            auto* holder = new QWidget;
            m_tabs->addTab(holder, ToQt(sheet->Page(i)->Title()));
        }
        m_pages.assign(sheet->PageCount(), nullptr);
        connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
            if (m_syncing || index < 0) return;
            ui::Action a;
            a.kind = ui::Action::Kind::Page;
            a.text = FromQt(m_tabs->tabText(index));
            m_sink(a);
        });
    }
    m_keyboard = new Keyboard(this);
    m_keyboard->hide();
    connect(m_keyboard, &Keyboard::typed, this, [this](const QString& t) { Type(t, false); });
    connect(m_keyboard, &Keyboard::backspace, this, [this] { Type({}, true); });
    connect(m_keyboard, &Keyboard::cleared, this, [this] { Clear(); });
    connect(m_keyboard, &Keyboard::caret, this, [this](int delta) { MoveCaret(delta); });
    connect(m_keyboard, &Keyboard::entered, this, [this] {
        if (QPushButton* b = DefaultButton(); b && b->isEnabled() && b->isVisible()) b->click();
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && qobject_cast<QLineEdit*>(now) && isAncestorOf(now)) m_lastEdit = now;
        // A field the focus moves to shows, however the window scrolls.
        if (now && m_content && m_content->isAncestorOf(now)) Reveal(now);
    });
    if (m_tabs) {
        // Ctrl+Tab and Ctrl+Shift+Tab turn the pages wherever the focus is.
        auto turn = [this](int step) {
            const int count = m_tabs->count();
            if (count < 2) return;
            const int next = (m_tabs->currentIndex() + step + count) % count;
            ui::Action a;
            a.kind = ui::Action::Kind::Page;
            a.text = FromQt(m_tabs->tabText(next));
            m_sink(a);
        };
        for (auto seq : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
            connect(new QShortcut(seq, this), &QShortcut::activated, this, [turn] { turn(1); });
        for (auto seq : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                         QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
            connect(new QShortcut(seq, this), &QShortcut::activated, this, [turn] { turn(-1); });
    }
    Sync();
}

void DialogView::TakeInitialFocus() {
    // As the dialog manager does when the dialog set no focus of its own:
    // the first control that takes the focus (on a sheet, the first of the
    // page in front), an edit with its text selected.
    ControlPane* page = nullptr;
    if (ui::PropertySheet* sheet = m_model.EmbeddedSheet()) {
        const int active = sheet->ActiveIndex();
        if (active >= 0 && active < static_cast<int>(m_pages.size())) page = m_pages[active];
    }
    if (m_model.FocusCount() > 0 || (page && page->Model().FocusCount() > 0)) return;
    std::vector<QWidget*> chain = page ? page->FocusChain() : std::vector<QWidget*>{};
    for (QWidget* w : m_pane->FocusChain()) chain.push_back(w);
    for (QWidget* w : chain) {
        if (!w->isVisible() || !w->isEnabled()) continue;
        w->setFocus(Qt::TabFocusReason);
        if (auto* le = qobject_cast<QLineEdit*>(w)) le->selectAll();
        return;
    }
}

void DialogView::OrderFocus() {
    // The template's control order, with an embedded sheet (its tab row,
    // then the fields of its pages) before the frame's own buttons.
    std::vector<QWidget*> chain;
    if (m_tabs) {
        chain.push_back(m_tabs->tabBar());
        for (ControlPane* page : m_pages)
            if (page)
                for (QWidget* w : page->FocusChain()) chain.push_back(w);
    }
    for (QWidget* w : m_pane->FocusChain()) chain.push_back(w);
    if (chain == m_chain) return;
    m_chain = chain;
    for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

DialogView::~DialogView() {
    // No focus change while the children go may reach the handlers above.
    disconnect(qApp, nullptr, this, nullptr);
}

QWidget* DialogView::ControlWidget(int id) const {
    if (m_tabs) {
        const int active = m_model.EmbeddedSheet()->ActiveIndex();
        if (active >= 0 && active < static_cast<int>(m_pages.size()) && m_pages[active])
            if (QWidget* w = m_pages[active]->ControlWidget(id)) return w;
    }
    return m_pane->ControlWidget(id);
}

void DialogView::SyncPages() {
    ui::PropertySheet* sheet = m_model.EmbeddedSheet();
    int pageWidth = 0, pageHeight = 0, laidOutWidth = 0, laidOutHeight = 0;
    for (int i = 0; i < sheet->PageCount() && i < static_cast<int>(m_pages.size()); ++i) {
        ui::PropertyPage* page = sheet->Page(i);
        if (!m_pages[i] && page->HasWindow()) {
            QWidget* holder = m_tabs->widget(i);
            m_pages[i] = new ControlPane(*page, m_sink, holder);
            m_pages[i]->setObjectName(QString("page%1").arg(page->TemplateId()));
            m_pages[i]->show();
        }
        QSize size;
        if (m_pages[i]) {
            m_pages[i]->Sync();
            size = m_pages[i]->LaidOutSize();
            if (m_pages[i]->size() != size) m_pages[i]->setGeometry(QRect(QPoint(0, 0), size));
        } else if (m_painted) {
            size = EstimatePage(i, page->TemplateId());
        }
        // The page's own size, as its template gives it.
        const ui::DialogTemplate* t = ui::FindTemplate(page->TemplateId());
        pageWidth = std::max(pageWidth, t ? ui::DluToPixelsX(t->cx) : page->Width());
        pageHeight = std::max(pageHeight, t ? ui::DluToPixelsY(t->cy) : page->Height());
        laidOutWidth = std::max(laidOutWidth, size.width());
        laidOutHeight = std::max(laidOutHeight, size.height());
    }
    // The sheet grows by what its largest page grew, and so that every tab
    // shows its whole title in one row.
    const QRect place(m_model.SheetX(), m_model.SheetY(), sheet->Width(), sheet->Height());
    QSize need(place.width() + std::max(0, laidOutWidth - pageWidth), place.height() + std::max(0, laidOutHeight - pageHeight));
    need.setWidth(std::max(need.width(), m_tabs->tabBar()->sizeHint().width() + kTabRowMargin));
    // Taller tabs (touch mode) take their height from the pages' room.
    need.rheight() += std::max(0, m_tabs->tabBar()->sizeHint().height() - (m_tabs->fontMetrics().height() + 12));
    m_pane->Reserve(place, need);
}

bool DialogView::PagesSized() const {
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (!m_pages[i] && (i >= m_estimates.size() || !m_estimates[i].isValid())) return false;
    return true;
}

bool DialogView::event(QEvent* e) {
    if (e->type() == QEvent::Paint && !m_painted) {
        // The pages not shown yet are sized once the window is up, so that
        // it opens as fast as it can.
        m_painted = true;
        if (m_tabs)
            QTimer::singleShot(0, this, [this] {
                if (!m_model.IsEnded()) Sync();
            });
    }
    return QDialog::event(e);
}

QSize DialogView::EstimatePage(int index, int templateId) {
    // A page not shown yet has no controls: it is laid out once from its
    // template's texts, so that the sheet takes its size right after it
    // opens instead of growing when the operator first turns to the page.
    if (static_cast<int>(m_estimates.size()) <= index) m_estimates.resize(index + 1);
    if (m_estimates[index].isValid()) return m_estimates[index];
    QSize size;
    try {
        ui::Dialog probe(templateId, nullptr);
        probe.Create();
        // Out of view, where the pages sit: their font and style.
        QWidget holder(m_tabs);
        holder.hide();
        ControlPane pane(probe, [](const ui::Action&) {}, &holder);
        size = pane.LaidOutSize();
    } catch (const ui::UiError&) {
        size = QSize(0, 0);  // no template: the sheet's own size stands
    }
    return m_estimates[index] = size;
}

void DialogView::PlaceSheet() {
    ui::PropertySheet* sheet = m_model.EmbeddedSheet();
    const QRect place = m_pane->MapRect(QRect(m_model.SheetX(), m_model.SheetY(), sheet->Width(), sheet->Height()));
    if (m_tabs->geometry() != place) m_tabs->setGeometry(place);
    if (m_tabs->currentIndex() != sheet->ActiveIndex()) {
        m_tabs->setCurrentIndex(sheet->ActiveIndex());
        // The page now in front takes the focus its dialog asked for.
        if (ControlPane* page = m_pages[sheet->ActiveIndex()]) page->Sync();
    }
    m_tabs->raise();
}

void DialogView::Sync() {
    m_syncing = true;
    // The dialog's own caption, or its template's when it set none.
    const QString caption = ToQt(m_model.Caption().empty() ? m_model.TemplateCaption() : m_model.Caption());
    if (windowTitle() != caption) setWindowTitle(caption);
    if (m_tabs) SyncPages();
    m_pane->Sync();
    if (m_tabs) PlaceSheet();
    // Enter presses the dialog's default button when the focus is on a
    // control that does not take Enter itself.
    if (QPushButton* def = DefaultButton(); def && !def->isDefault()) def->setDefault(true);
    OrderFocus();
    const QSize laidOut = m_pane->LaidOutSize();
    const int w = std::max(laidOut.width(), 120), h = std::max(laidOut.height(), 40);
    if (m_pane->size() != QSize(w, h)) m_pane->setGeometry(0, 0, w, h);
    if (m_content->size() != QSize(w, h)) m_content->setFixedSize(w, h);

    // The window: the content as large as the screen lets it be, the
    // keyboard below it across the window's width.
    const QRect avail = AvailableArea();
    ui::Control* kb = KeyboardControl(m_model);
    const bool keyboard = kb && kb->keyboardOn;
    if (keyboard) m_keyboard->SetKeys(ToQt(kb->keySet));
    int width = std::min(std::max(w, keyboard ? m_keyboard->MinimumWidth() : 0), std::max(avail.width(), 200));
    const int keyboardHeight = keyboard ? m_keyboard->HeightFor(width) : 0;
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
    const int room = std::max(avail.height() - keyboardHeight, 4 * bar);
    bool across = w > width;
    int height = h + (across ? bar : 0);
    if (height > room) {
        height = room;
        // The bar down the side takes room across too.
        if (!across && w + bar > width) {
            if (w + bar <= avail.width()) width = w + bar;
            else across = true;
        }
    }
    const auto across_ = across ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    const auto down = height < h + (across ? bar : 0) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (m_scroll->horizontalScrollBarPolicy() != across_) m_scroll->setHorizontalScrollBarPolicy(across_);
    if (m_scroll->verticalScrollBarPolicy() != down) m_scroll->setVerticalScrollBarPolicy(down);
    if (m_scroll->geometry() != QRect(0, 0, width, height)) m_scroll->setGeometry(0, 0, width, height);
    if (keyboard) {
        m_keyboard->Arrange(width);
        m_keyboard->move(0, height);
        m_keyboard->show();
    } else {
        m_keyboard->hide();
    }
    if (size() != QSize(width, height + keyboardHeight)) {
        setFixedSize(width, height + keyboardHeight);
        if (isVisible()) KeepOnScreen();
    }
    m_syncing = false;
}

QPushButton* DialogView::DefaultButton() const {
    int id = ui::IDOK;
    for (int c : m_model.ControlIds())
        if (const ui::Control* b = m_model.FindControl(c); b && b->kind == ui::ControlKind::Button && b->defaultButton) {
            id = c;
            break;
        }
    return qobject_cast<QPushButton*>(m_pane->ControlWidget(id));
}

QMargins DialogView::FrameMargins() const {
    // Known once the window is up; before, those of the last window shown
    // (a caption and thin borders at first).
    static QMargins last(4, 30, 4, 4);
    if (isVisible() && windowHandle()) {
        const QRect frame = frameGeometry(), client = geometry();
        const QMargins m(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                         frame.bottom() - client.bottom());
        if (m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0) last = m;
    }
    return last;
}

QRect DialogView::AvailableArea() const {
    QScreen* s = screen();
    if (!s && parentWidget()) s = parentWidget()->screen();
    if (!s) s = QGuiApplication::primaryScreen();
    if (!s) return QRect(0, 0, 1 << 14, 1 << 14);
    return s->availableGeometry().marginsRemoved(FrameMargins());
}

void DialogView::KeepOnScreen() {
    const QRect avail = AvailableArea();
    const QRect client(pos() + QPoint(FrameMargins().left(), FrameMargins().top()), size());
    QPoint to = client.topLeft();
    to.setX(std::max(avail.left(), std::min(to.x(), avail.right() + 1 - client.width())));
    to.setY(std::max(avail.top(), std::min(to.y(), avail.bottom() + 1 - client.height())));
    if (to != client.topLeft()) move(pos() + (to - client.topLeft()));
}

void DialogView::Reveal(QWidget* w, const QRect& part) {
    if (!w || !m_content->isAncestorOf(w) || m_scroll->viewport()->size() == m_content->size()) return;
    const QRect r = part.isValid() ? part : w->rect();
    // The whole of it where the view has the room, else its middle.
    const QPoint centre = w->mapTo(m_content, r.center());
    const QSize port = m_scroll->viewport()->size();
    m_scroll->ensureVisible(centre.x(), centre.y(), std::min(r.width() / 2 + 2, port.width() / 2),
                            std::min(r.height() / 2 + 2, port.height() / 2));
}

bool DialogView::Reachable(QWidget* w, QPoint at) const {
    if (!w || !w->isVisible()) return false;
    const QPoint global = w->mapToGlobal(at);
    const QWidget* port = m_content->isAncestorOf(w) ? m_scroll->viewport() : static_cast<const QWidget*>(this);
    const QRect shown(port->mapToGlobal(QPoint(0, 0)), port->size());
    QScreen* s = screen();
    const QRect area = s ? s->availableGeometry() : shown;
    return shown.contains(global) && area.contains(global) && w->rect().contains(at);
}

void DialogView::Clear() {
    QLineEdit* edit = TypingField();
    if (!edit) return;
    ui::Action a;
    a.kind = ui::Action::Kind::Set;
    a.id = edit->property("controlId").toInt();
    m_sink(a);
    edit->setCursorPosition(0);
}

void DialogView::MoveCaret(int delta) {
    if (QLineEdit* edit = TypingField()) {
        const int at = edit->hasSelectedText() ? (delta < 0 ? edit->selectionStart() : edit->selectionEnd())
                                               : edit->cursorPosition() + delta;
        edit->deselect();
        edit->setCursorPosition(std::clamp(at, 0, static_cast<int>(edit->text().size())));
    }
}

QLineEdit* DialogView::TypingField() const {
    // The field with the focus (the one the dialog gave it, or the one the
    // operator touched last).
    auto* edit = qobject_cast<QLineEdit*>(focusWidget());
    if (!edit) edit = qobject_cast<QLineEdit*>(m_lastEdit.data());
    if (!edit || !edit->isEnabled() || edit->isReadOnly() || !edit->isVisible()) return nullptr;
    return edit;
}

void DialogView::Type(const QString& text, bool backspace) {
    QLineEdit* edit = TypingField();
    if (!edit) return;
    const int id = edit->property("controlId").toInt();
    QString t = edit->text();
    int cursor = edit->cursorPosition();
    if (edit->hasSelectedText()) {
        cursor = edit->selectionStart();
        t.remove(cursor, static_cast<int>(edit->selectedText().size()));
    } else if (backspace && cursor > 0) {
        t.remove(--cursor, 1);
    }
    if (!backspace) {
        t.insert(cursor, text);
        cursor += static_cast<int>(text.size());
    }
    ui::Action a;
    a.kind = ui::Action::Kind::Set;
    a.id = id;
    a.text = FromQt(t);
    m_sink(a);
    edit->setCursorPosition(cursor);
}

void DialogView::closeEvent(QCloseEvent* event) {
    // The window's close request goes to the dialog, which decides; the
    // window closes when the modal run ends.
    event->ignore();
    if (m_model.IsEnded()) return;
    ui::Action a;
    a.kind = ui::Action::Kind::Close;
    m_sink(a);
}

void DialogView::reject() {
    // Escape.  As the dialog manager has it, Escape is the Cancel command:
    // it presses the dialog's Cancel button (id 2, whatever its caption)
    // and does nothing while that button is disabled or hidden; a dialog
    // without one gets the window's close request.
    if (m_model.IsEnded()) return;
    ui::Action a;
    if (const ui::Control* cancel = m_model.FindControl(ui::IDCANCEL)) {
        if (!cancel->enabled || !cancel->visible) {
            QApplication::beep();
            return;
        }
        a.kind = ui::Action::Kind::Click;
        a.id = ui::IDCANCEL;
    } else {
        a.kind = ui::Action::Kind::Close;
    }
    m_sink(a);
}

}  // namespace gui
