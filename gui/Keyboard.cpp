#include "gui/Keyboard.h"

#include <QPushButton>

#include <algorithm>

namespace gui {

namespace {
constexpr int kGap = 4;
constexpr int kStep = Keyboard::kKeySize + kGap;
// The character keys of a row: as many as fit, within these bounds.
constexpr int kMinPerRow = 6, kMaxPerRow = 13;
// The row of editing keys, in key widths: Clear 2, left, right, space 3, Back 2, Enter 2.
constexpr int kEditRowUnits = 11;
// The keypad: three columns of digits and one of caret keys and Enter.
constexpr int kPadColumns = 4, kPadRows = 4;

int Span(int units) { return units * kStep - kGap; }
}  // namespace

Keyboard::Keyboard(QWidget* parent) : QWidget(parent) { setObjectName("keyboard"); }

QPushButton* Keyboard::AddKey(const QString& caption, const QString& name) {
    auto* key = new QPushButton(caption, this);
    key->setAutoDefault(false);
    key->setFocusPolicy(Qt::NoFocus);  // typing must not take the focus from the edit
    key->setObjectName("key_" + name);
    key->setMinimumSize(kKeySize, kKeySize);
    return key;
}

void Keyboard::SetKeys(const QString& keys) {
    if (keys == m_keys && !children().isEmpty()) return;
    m_keys = keys;
    m_digitsOnly = !keys.isEmpty() && std::all_of(keys.begin(), keys.end(), [](QChar c) { return c.isDigit(); });
    qDeleteAll(findChildren<QPushButton*>(Qt::FindDirectChildrenOnly));
    bool space = false;
    for (QChar ch : keys) {
        if (ch == ' ') {
            space = true;  // the space bar sits in the row of editing keys
            continue;
        }
        if (Key(QString(ch))) continue;  // a character given twice has one key
        auto* key = AddKey(QString(ch), QString::number(ch.unicode()));
        connect(key, &QPushButton::clicked, this, [this, ch] { emit typed(QString(ch)); });
    }
    if (space || !m_digitsOnly)
        connect(AddKey("Space", "space"), &QPushButton::clicked, this, [this] { emit typed(" "); });
    connect(AddKey("Back", "back"), &QPushButton::clicked, this, [this] { emit backspace(); });
    connect(AddKey("Clear", "clear"), &QPushButton::clicked, this, [this] { emit cleared(); });
    connect(AddKey(QString(QChar(0x25C0)), "left"), &QPushButton::clicked, this, [this] { emit caret(-1); });
    connect(AddKey(QString(QChar(0x25B6)), "right"), &QPushButton::clicked, this, [this] { emit caret(1); });
    connect(AddKey("Enter", "enter"), &QPushButton::clicked, this, [this] { emit entered(); });
    Key("left")->setAccessibleName("Caret left");
    Key("right")->setAccessibleName("Caret right");
}

QPushButton* Keyboard::Key(const QString& name) const {
    const QString object = name.size() == 1 && name != " " ? "key_" + QString::number(name[0].unicode()) : "key_" + name;
    return findChild<QPushButton*>(object, Qt::FindDirectChildrenOnly);
}

int Keyboard::MinimumWidth() const {
    return (m_digitsOnly ? Span(kPadColumns) : Span(std::max(kEditRowUnits, kMinPerRow))) + 2 * kGap;
}

int Keyboard::Place(int width, bool place) const {
    auto put = [place](QPushButton* key, int x, int y, int w, int h) {
        if (key && place) key->setGeometry(x, y, w, h);
    };
    const int room = std::max(width, MinimumWidth()) - 2 * kGap;
    if (m_digitsOnly) {
        // 7 8 9 | left        the rows of a telephone keypad turned over,
        // 4 5 6 | right       as calculators and recorders have them
        // 1 2 3 | Enter
        // Clear 0 Back
        const int x0 = kGap + (room - Span(kPadColumns)) / 2;
        const QString rows[] = {"789", "456", "123"};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) put(Key(rows[r].mid(c, 1)), x0 + c * kStep, kGap + r * kStep, kKeySize, kKeySize);
        const int y3 = kGap + 3 * kStep;
        put(Key("clear"), x0, y3, kKeySize, kKeySize);
        put(Key("0"), x0 + kStep, y3, kKeySize, kKeySize);
        put(Key("back"), x0 + 2 * kStep, y3, kKeySize, kKeySize);
        put(Key("left"), x0 + 3 * kStep, kGap, kKeySize, kKeySize);
        put(Key("right"), x0 + 3 * kStep, kGap + kStep, kKeySize, kKeySize);
        put(Key("enter"), x0 + 3 * kStep, kGap + 2 * kStep, kKeySize, Span(2));
        return Span(kPadRows) + 2 * kGap;
    }
    const int perRow = std::clamp((room + kGap) / kStep, kMinPerRow, kMaxPerRow);
    int i = 0;
    for (int at = 0; at < m_keys.size(); ++at) {
        const QChar ch = m_keys[at];
        if (ch == ' ' || m_keys.indexOf(ch) != at) continue;  // the space bar; a character given twice
        put(Key(QString(ch)), kGap + (i % perRow) * kStep, kGap + (i / perRow) * kStep, kKeySize, kKeySize);
        ++i;
    }
    const int rows = (i + perRow - 1) / perRow;
    const int y = kGap + rows * kStep;
    // The editing row across the whole width: the space bar takes what the others leave.
    const int spaceWidth = room - Span(kEditRowUnits - 3) - 3 * kGap;
    int x = kGap;
    for (auto [name, w] : {std::pair<const char*, int>{"clear", Span(2)}, {"left", kKeySize}, {"right", kKeySize},
                           {"space", spaceWidth}, {"back", Span(2)}, {"enter", Span(2)}}) {
        put(Key(name), x, y, w, kKeySize);
        x += w + kGap;
    }
    return y + kStep;  // the last row and the gap below it
}

int Keyboard::HeightFor(int width) const { return Place(width, false); }

void Keyboard::Arrange(int width) {
    const int w = std::max(width, MinimumWidth());
    setFixedSize(w, Place(w, true));
}

}  // namespace gui
