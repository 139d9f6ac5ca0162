#include "gui/Keyboard.h"

#include <QPushButton>

namespace gui {

namespace {
constexpr int kKeyWidth = 30, kKeyHeight = 26, kGap = 3;

int KeysPerRow(int width) { return std::max(1, (width - kGap) / (kKeyWidth + kGap)); }
}  // namespace

Keyboard::Keyboard(QWidget* parent) : QWidget(parent) { setObjectName("keyboard"); }

void Keyboard::SetKeys(const QString& keys) {
    if (keys == m_keys && !children().isEmpty()) return;
    m_keys = keys;
    qDeleteAll(findChildren<QPushButton*>(Qt::FindDirectChildrenOnly));
    for (QChar ch : keys) {
        if (ch == ' ') continue;  // the space bar comes last
        auto* key = new QPushButton(QString(ch), this);
        key->setAutoDefault(false);
        key->setFocusPolicy(Qt::NoFocus);  // typing must not take the focus from the edit
        key->setObjectName(QString("key_%1").arg(ch.unicode()));
        connect(key, &QPushButton::clicked, this, [this, ch] { emit typed(QString(ch)); });
    }
    auto* space = new QPushButton("Space", this);
    space->setObjectName("key_space");
    space->setFocusPolicy(Qt::NoFocus);
    connect(space, &QPushButton::clicked, this, [this] { emit typed(" "); });
    auto* back = new QPushButton("Back", this);
    back->setObjectName("key_back");
    back->setFocusPolicy(Qt::NoFocus);
    connect(back, &QPushButton::clicked, this, [this] { emit backspace(); });
}

int Keyboard::HeightFor(int width) const {
    const int keys = static_cast<int>(findChildren<QPushButton*>(Qt::FindDirectChildrenOnly).size()) - 2;
    const int rows = (std::max(keys, 0) + KeysPerRow(width) - 1) / KeysPerRow(width) + 1;
    return rows * (kKeyHeight + kGap) + kGap;
}

void Keyboard::Arrange(int width) {
    const int perRow = KeysPerRow(width);
    int i = 0;
    QPushButton *space = nullptr, *back = nullptr;
    for (auto* key : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        if (key->objectName() == "key_space") { space = key; continue; }
        if (key->objectName() == "key_back") { back = key; continue; }
        key->setGeometry(kGap + (i % perRow) * (kKeyWidth + kGap), kGap + (i / perRow) * (kKeyHeight + kGap),
                         kKeyWidth, kKeyHeight);
        ++i;
    }
    const int lastRow = (i + perRow - 1) / perRow;
    const int y = kGap + lastRow * (kKeyHeight + kGap);
    const int backWidth = 3 * kKeyWidth;
    if (space) space->setGeometry(kGap, y, std::max(kKeyWidth, width - 3 * kGap - backWidth), kKeyHeight);
    if (back) back->setGeometry(width - kGap - backWidth, y, backWidth, kKeyHeight);
    setFixedSize(width, HeightFor(width));
}

}  // namespace gui
