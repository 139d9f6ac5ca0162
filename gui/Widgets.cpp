#include "gui/Widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace gui {

namespace {
const QColor kBackground(35, 35, 35);
const QColor kLine(240, 240, 240);
constexpr int kTextMargin = 2;  // between a pane's name and its grid lines
}  // namespace

PaneGrid::PaneGrid(int columns, QWidget* parent) : QWidget(parent), m_columns(std::max(columns, 1)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    QFont f("Arial");
    f.setPixelSize(10);
    f.setBold(true);
    setFont(f);
}

void PaneGrid::SetTexts(const QStringList& texts) {
    if (texts == m_texts) return;
    m_texts = texts;
    update();
}

void PaneGrid::SetCurrent(int pane) {
    if (pane == m_current) return;
    m_current = pane;
    if (pane >= 0) m_cursor = pane;
    update();
}

QRect PaneGrid::PaneRect(int index) const {
    const int w = width() / m_columns, h = height() / m_columns;
    return QRect((index % m_columns) * w, (index / m_columns) * h, w, h);
}

int PaneGrid::NeededPaneWidth() const {
    const QFontMetrics fm(font());
    // A name of the length a pane must show, of wide letters and digits.
    int widest = fm.horizontalAdvance(QString("Camera 16C").left(kNameLength));
    for (const QString& t : m_texts) widest = std::max(widest, fm.horizontalAdvance(t));
    return widest + 2 * kTextMargin + 1;  // the grid line
}

int PaneGrid::PaneAt(QPoint p) const {
    for (int i = 0; i < m_columns * m_columns; ++i)
        if (PaneRect(i).contains(p)) return i;
    return -1;
}

void PaneGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.setPen(QPen(kLine, 1));
    for (int k = 1; k < m_columns; ++k) {
        const int x = k * (width() / m_columns), y = k * (height() / m_columns);
        p.drawLine(x, 0, x, height() - 1);
        p.drawLine(0, y, width() - 1, y);
    }
    for (int i = 0; i < m_columns * m_columns && i < m_texts.size(); ++i) {
        if (m_texts[i].isEmpty()) continue;
        p.drawText(PaneRect(i).adjusted(kTextMargin, 8, -kTextMargin, -8), Qt::AlignCenter | Qt::TextSingleLine, m_texts[i]);
    }
    // The pane picked last, and where the arrow keys are when focused.
    if (m_current >= 0) {
        p.setPen(QPen(QColor(80, 160, 255), 2));
        p.drawRect(PaneRect(m_current).adjusted(2, 2, -2, -2));
    }
    if (hasFocus()) {
        p.setPen(QPen(kLine, 1, Qt::DotLine));
        p.drawRect(PaneRect(m_cursor).adjusted(4, 4, -5, -5));
    }
}

void PaneGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const int pane = PaneAt(event->position().toPoint());
    if (pane < 0) return;
    m_cursor = pane;
    emit picked(pane);
}

void PaneGrid::keyPressEvent(QKeyEvent* event) {
    const int n = m_columns;
    int row = m_cursor / n, col = m_cursor % n;
    switch (event->key()) {
        case Qt::Key_Left: col = std::max(col - 1, 0); break;
        case Qt::Key_Right: col = std::min(col + 1, n - 1); break;
        case Qt::Key_Up: row = std::max(row - 1, 0); break;
        case Qt::Key_Down: row = std::min(row + 1, n - 1); break;
        case Qt::Key_Space:
        case Qt::Key_Select:
            emit picked(m_cursor);
            return;
        default: return QWidget::keyPressEvent(event);
    }
    m_cursor = row * n + col;
    update();
}

SpinArrows::SpinArrows(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_up->setAutoRepeat(true);
    m_up->setFocusPolicy(Qt::NoFocus);
    m_up->setObjectName("up");
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    m_down->setAutoRepeat(true);
    m_down->setFocusPolicy(Qt::NoFocus);
    m_down->setObjectName("down");
    connect(m_up, &QToolButton::clicked, this, [this] { emit stepped(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

void SpinArrows::resizeEvent(QResizeEvent*) {
    if (width() >= 2 * height()) {
        const int half = width() / 2;
        m_down->setGeometry(0, 0, half, height());
        m_up->setGeometry(half, 0, width() - half, height());
        return;
    }
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

void SpinArrows::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) emit stepped(1);
    else if (event->key() == Qt::Key_Down) emit stepped(-1);
    else QWidget::keyPressEvent(event);
}

}  // namespace gui
