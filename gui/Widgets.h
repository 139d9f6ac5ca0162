// Widgets of the controls that Qt has no ready counterpart for: the pane
// grid of a monitor layout and the up/down arrow pair of a spin control.
#pragma once
#include <functional>
#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

class QToolButton;

namespace gui {

// A list drawn as a grid of panes (columns x columns), one row of the list
// per pane, row by row from the top left: grid lines in the line colour on
// the dark background, each pane's text centred in it.  A left click in a
// pane, or Space / Enter on the pane the arrow keys reached, picks that pane,
// also when it is the pane picked last.
class PaneGrid : public QWidget {
    Q_OBJECT
public:
    PaneGrid(int columns, QWidget* parent);

    void SetTexts(const QStringList& texts);
    const QStringList& Texts() const { return m_texts; }
    int Columns() const { return m_columns; }
    // The pane the model last picked (drawn highlighted), -1 for none.
    void SetCurrent(int pane);
    int Current() const { return m_current; }
    // The pane rectangle of index, in widget coordinates.
    QRect PaneRect(int index) const;
    int PaneAt(QPoint point) const;
    // The width a pane needs to show its name whole: the longest name
    // shown, and never less than a name of kNameLength characters.
    int NeededPaneWidth() const;
    static constexpr int kNameLength = 10;

signals:
    void picked(int pane);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_columns;
    QStringList m_texts;
    int m_current = -1;
    int m_cursor = 0;  // keyboard position
};

// The up/down arrows of a spin control: each press moves the value by one.
// They stand one above the other, or side by side (down, up) in a control
// at least twice as wide as it is high.
class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent);
    QToolButton* Up() const { return m_up; }
    QToolButton* Down() const { return m_down; }

signals:
    void stepped(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

}  // namespace gui
