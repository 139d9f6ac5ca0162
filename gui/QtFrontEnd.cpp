#include "gui/QtFrontEnd.h"

#include <algorithm>
#include <future>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include "gui/DialogView.h"
#include "gui/Touch.h"
#include "platform/ui/Window.h"

namespace gui {

namespace {

struct StyleButtons {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton escape;
};

StyleButtons ButtonsOf(unsigned style) {
    switch (style & 0xF) {
        case ui::MB_OKCANCEL: return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel};
        case 2: return {QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Abort};
        case ui::MB_YESNOCANCEL: return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel};
        case ui::MB_YESNO: return {QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
        case 5: return {QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Cancel};
        default: return {QMessageBox::Ok, QMessageBox::Ok};
    }
}

QMessageBox::Icon IconOf(unsigned style) {
    switch (style & 0xF0) {
        case ui::MB_ICONERROR: return QMessageBox::Critical;
        case ui::MB_ICONQUESTION: return QMessageBox::Question;
        case ui::MB_ICONWARNING: return QMessageBox::Warning;
        case ui::MB_ICONINFORMATION: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

// A message box speaks about a field of the dialog it sits over (the one
// the operator was in, or the one the dialog turns to after it): it goes
// below or above the field that has the focus, else beside the dialog,
// where the screen has the room, so the field stays in view; where it has
// none, where Qt puts it (over the dialog).
void PlaceBeside(QMessageBox& box, QWidget* parent) {
    if (!parent || !parent->isVisible()) return;
    QScreen* screen = parent->screen();
    if (!screen) return;
    box.ensurePolished();
    constexpr int kGap = 8;
    constexpr QMargins kFrame(4, 30, 4, 4);  // room for the box's own frame and caption
    const QSize size = box.sizeHint().expandedTo(box.minimumSizeHint()).grownBy(kFrame);
    const QRect area = screen->availableGeometry();
    auto fits = [&](QPoint at) { return area.contains(QRect(at, size)); };
    auto across = [&](int centre) { return std::clamp(centre - size.width() / 2, area.left(), std::max(area.left(), area.right() + 1 - size.width())); };
    auto down = [&](int centre) { return std::clamp(centre - size.height() / 2, area.top(), std::max(area.top(), area.bottom() + 1 - size.height())); };
    std::vector<QPoint> places;
    QWidget* field = parent->focusWidget();
    if (field && field->isVisible() && !qobject_cast<QAbstractButton*>(field)) {
        const QRect at(field->mapToGlobal(QPoint(0, 0)), field->size());
        places.push_back({across(at.center().x()), at.bottom() + kGap});
        places.push_back({across(at.center().x()), at.top() - kGap - size.height()});
    }
    const QRect dialog = parent->frameGeometry();
    places.push_back({across(dialog.center().x()), dialog.bottom() + kGap});
    places.push_back({across(dialog.center().x()), dialog.top() - kGap - size.height()});
    places.push_back({dialog.right() + kGap, down(dialog.center().y())});
    places.push_back({dialog.left() - kGap - size.width(), down(dialog.center().y())});
    for (QPoint at : places)
        if (fits(at)) {
            box.move(at);
            return;
        }
}

}  // namespace

int MessageBoxAnswer(unsigned style, int button) {
    switch (button) {
        case QMessageBox::Ok: return ui::IDOK;
        case QMessageBox::Cancel: return ui::IDCANCEL;
        case QMessageBox::Abort: return ui::IDABORT;
        case QMessageBox::Retry: return ui::IDRETRY;
        case QMessageBox::Ignore: return ui::IDIGNORE;
        case QMessageBox::Yes: return ui::IDYES;
        case QMessageBox::No: return ui::IDNO;
        default: break;
    }
    // The box went away some other way: the answer its escape gives.
    return MessageBoxAnswer(style, ButtonsOf(style).escape);
}

QtFrontEnd::QtFrontEnd(QWidget* owner) : m_owner(owner) {
    ui::SetDriver(this);
    ui::SetMessageBoxService(this);
}

QtFrontEnd::~QtFrontEnd() {
    ui::SetDriver(nullptr);
    ui::SetMessageBoxService(nullptr);
}

DialogView* QtFrontEnd::TopView() const { return m_runs.empty() ? nullptr : m_runs.back().view; }

void QtFrontEnd::Refresh() {
    for (auto& run : m_runs) {
        if (run.view->Model().IsEnded()) {
            run.loop->quit();
        } else {
            run.view->Sync();
        }
    }
}

void QtFrontEnd::Dispatch(DialogView& view, const ui::Action& action) {
    ui::Dialog& d = view.Model();
    if (d.IsEnded()) return;
    if (recorder) recorder->BeginAction(action);
    bool applied = true;
    try {
        ui::ApplyAction(d, action);
    } catch (const ui::UiError& e) {
        applied = false;
        qWarning("mirelle: %s", e.what());
    } catch (...) {
        // A failure inside the dialog's logic (a host object that cannot be
        // had, ...) ends the dialog and leaves the modal run with it.
        if (!m_error) m_error = std::current_exception();
        d.EndDialog(ui::IDCANCEL);
    }
    if (recorder) recorder->EndAction(applied, !d.IsEnded() && d.IsBusy());
    Refresh();
}

void QtFrontEnd::RunModal(ui::Dialog& dialog) {
    QWidget* parent = TopView() ? static_cast<QWidget*>(TopView()) : m_owner;
    if (m_box) parent = m_box;
    QEventLoop loop;
    DialogView* viewPtr = nullptr;
    DialogView view(
        dialog, [this, &viewPtr](const ui::Action& a) { if (viewPtr) Dispatch(*viewPtr, a); }, parent);
    viewPtr = &view;
    view.setWindowModality(Qt::ApplicationModal);
    m_runs.push_back({&view, &loop});

    auto queue = ui::ThreadQueue();
    QTimer pump;
    pump.setInterval(pumpIntervalMs);
    QObject::connect(&pump, &QTimer::timeout, &view, [&] {
        queue->Pump();
        Refresh();
    });
    queue->Pump();
    view.Sync();
    // Over the window it belongs to; a dialog opened on its own (or over a
    // window not on screen) in the middle of the screen.
    if (parent && parent->isVisible()) {
        view.move(parent->frameGeometry().center() - view.rect().center());
    } else if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        view.move(screen->availableGeometry().center() - view.rect().center());
    }
    view.KeepOnScreen();
    view.show();
    view.KeepOnScreen();  // its frame is known now
    view.raise();
    view.activateWindow();
    view.Sync();  // the focus the dialog set goes to its control once it shows
    view.TakeInitialFocus();
    if (onDialogShown) onDialogShown(view);
    pump.start();
    if (!dialog.IsEnded()) loop.exec();
    if (dialog.IsBusy()) {
        // A worker still runs: its messages and message boxes go on being
        // served until it is done.  Leaving now would let the dialog wait
        // for the worker (as it is destroyed) on this thread, while the
        // worker waits for this thread to show its message box.
        QEventLoop drain;
        QObject::connect(&pump, &QTimer::timeout, &drain, [&] {
            if (!dialog.IsBusy()) drain.quit();
        });
        drain.exec();
    }
    pump.stop();
    queue->Pump();
    view.hide();
    m_runs.pop_back();
    viewPtr = nullptr;
    if (m_error && m_runs.empty()) {
        auto e = m_error;
        m_error = nullptr;
        std::rethrow_exception(e);
    }
    if (m_error) {
        // Leave every enclosing dialog too; the outermost run raises.
        for (auto& run : m_runs) run.view->Model().EndDialog(ui::IDCANCEL);
    }
}

int QtFrontEnd::ShowHere(const std::string& text, const std::string& caption, unsigned style) {
    QWidget* parent = TopView() ? static_cast<QWidget*>(TopView()) : m_owner;
    const StyleButtons sb = ButtonsOf(style);
    QMessageBox box(IconOf(style), caption.empty() ? QApplication::applicationDisplayName() : ToQt(caption),
                    ToQt(text), sb.buttons, parent);
    box.setObjectName("messageBox");
    box.setEscapeButton(sb.escape);
    // The platform's default button: the first unless MB_DEFBUTTON2/3 asks.
    const auto buttons = box.buttons();
    const int def = static_cast<int>((style >> 8) & 0xF);
    if (!buttons.isEmpty()) {
        // QMessageBox orders buttons by role; the platform counts from the left.
        QList<QAbstractButton*> ordered;
        for (auto b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Abort, QMessageBox::Retry,
                       QMessageBox::Ignore, QMessageBox::Cancel})
            if (QAbstractButton* ab = box.button(b)) ordered << ab;
        if (def < ordered.size()) box.setDefaultButton(qobject_cast<QPushButton*>(ordered[def]));
    }
    if (TouchMode()) box.setStyleSheet(TouchStyleSheet());
    PlaceBeside(box, parent);
    QMessageBox* outer = m_box;
    m_box = &box;
    box.exec();
    m_box = outer;
    QAbstractButton* clicked = box.clickedButton();
    const int answer = MessageBoxAnswer(style, clicked ? box.standardButton(clicked) : QMessageBox::NoButton);
    if (recorder) recorder->Answered(answer);
    if (onMessage) onMessage(ui::ShownMessage{text, caption, style, answer});
    return answer;
}

int QtFrontEnd::Show(ui::Window*, const std::string& text, const std::string& caption, unsigned style) {
    if (QThread::currentThread() == qApp->thread()) return ShowHere(text, caption, style);
    // A worker's box: shown on the GUI thread while the worker waits for the
    // answer.  The hand-over is a promise (not Qt's blocking connection) so
    // that the thread checkers see the worker's text read before it goes.
    std::promise<int> shown;
    std::future<int> answer = shown.get_future();
    QMetaObject::invokeMethod(
        qApp, [&] { shown.set_value(ShowHere(text, caption, style)); }, Qt::QueuedConnection);
    return answer.get();
}

}  // namespace gui
