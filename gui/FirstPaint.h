// Measures how long the operator waits for a window: installed as an event
// filter on a dialog's view, it notes the time of the first paint on the
// clock given, then ends every dialog of the run.  Used by the first-paint
// test and benchmark.
#pragma once
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"

namespace gui {

class FirstPaint : public QObject {
public:
    explicit FirstPaint(QElapsedTimer& clock) : m_clock(clock) {}
    qint64 ns = -1;  // from the clock's start to the first paint; -1: none yet
    qint64 ms() const { return ns < 0 ? -1 : ns / 1000000; }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && ns < 0) {
            ns = m_clock.nsecsElapsed();
            QTimer::singleShot(0, [] {
                for (ui::Dialog* d : ui::ModalStack()) d->EndDialog(ui::IDCANCEL);
            });
        }
        return false;
    }

private:
    QElapsedTimer& m_clock;
};

}  // namespace gui
