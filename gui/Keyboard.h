// The on-screen keyboard of a dialog's background control, laid out for
// fingers: one key per character of the key set in rows, then a row of
// Clear, caret left and right, the space bar, Back and Enter.  A key set of
// digits only is a telephone-style keypad (three columns, four rows, no
// space bar) with the caret keys and Enter beside it.
#pragma once
#include <QWidget>

class QPushButton;

namespace gui {

class Keyboard : public QWidget {
    Q_OBJECT
public:
    // Every key is at least this large, a finger's width.
    static constexpr int kKeySize = 48;

    explicit Keyboard(QWidget* parent);
    // Rebuilds the keys when the set changed.
    void SetKeys(const QString& keys);
    const QString& Keys() const { return m_keys; }
    bool DigitsOnly() const { return m_digitsOnly; }
    // The narrowest width the keys fit in.
    int MinimumWidth() const;
    // Height the keyboard needs for a given width.
    int HeightFor(int width) const;
    void Arrange(int width);
    // The key of a character of the set, or of one of the named keys
    // ("space", "back", "clear", "enter", "left", "right"); null for none.
    QPushButton* Key(const QString& name) const;

signals:
    void typed(const QString& text);
    void backspace();
    void cleared();
    void entered();
    // The caret moves by delta characters.
    void caret(int delta);

private:
    QPushButton* AddKey(const QString& caption, const QString& name);
    // Places the keys for width (when place is set) and answers the height.
    int Place(int width, bool place) const;

    QString m_keys;
    bool m_digitsOnly = false;
};

}  // namespace gui
