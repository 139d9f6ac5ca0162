#include "gui/DialogView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include "platform/ui/MessageBox.h"
#include "util/Util.h"
#include "gui/Keyboard.h"

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
    if (CWWRegistry::GetControlsWWMode() == 1) setStyleSheet(kUnitLook);
    setSizeGripEnabled(false);
    m_pane = new ControlPane(model, m_sink, this);
    if (ui::PropertySheet* sheet = model.EmbeddedSheet()) {
        m_tabs = new QTabWidget(this);
        m_tabs->setObjectName("sheet");
        // Every tab in view at once, as the unit's sheets show them.
        m_tabs->setUsesScrollButtons(false);
        m_tabs->setStyleSheet("QTabBar::tab { padding: 3px 5px; }");
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
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && qobject_cast<QLineEdit*>(now) && isAncestorOf(now)) m_lastEdit = now;
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

DialogView::~DialogView() = default;

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
    // Enter presses the dialog's default button, OK (control 1), when
    // the focus is on a control that does not take Enter itself.
    if (auto* ok = qobject_cast<QPushButton*>(m_pane->ControlWidget(1)); ok && !ok->isDefault()) ok->setDefault(true);
    OrderFocus();
    const QSize laidOut = m_pane->LaidOutSize();
    const int w = std::max(laidOut.width(), 120), h = std::max(laidOut.height(), 40);
    if (m_pane->size() != QSize(w, h)) m_pane->setGeometry(0, 0, w, h);
    int keyboardHeight = 0;
    ui::Control* kb = KeyboardControl(m_model);
    if (kb && kb->keyboardOn) {
        m_keyboard->SetKeys(ToQt(kb->keySet));
        m_keyboard->Arrange(w);
        m_keyboard->move(0, h);
        m_keyboard->show();
        keyboardHeight = m_keyboard->height();
    } else {
        m_keyboard->hide();
    }
    if (size() != QSize(w, h + keyboardHeight)) setFixedSize(w, h + keyboardHeight);
    m_syncing = false;
}

void DialogView::Type(const QString& text, bool backspace) {
    // The field with the focus (the one the dialog gave it, or the one the
    // operator touched last).
    auto* edit = qobject_cast<QLineEdit*>(focusWidget());
    if (!edit) edit = qobject_cast<QLineEdit*>(m_lastEdit.data());
    if (!edit || !edit->isEnabled() || edit->isReadOnly()) return;
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
