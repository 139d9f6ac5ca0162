// The on-screen keyboard of a dialog's background control: one key per
// character of the key set, a space bar and a back space.
#pragma once
#include <QWidget>

namespace gui {

class Keyboard : public QWidget {
    Q_OBJECT
public:
    explicit Keyboard(QWidget* parent);
    // Rebuilds the keys when the set changed.
    void SetKeys(const QString& keys);
    const QString& Keys() const { return m_keys; }
    // Height the keyboard needs for a given width.
    int HeightFor(int width) const;
    void Arrange(int width);

signals:
    void typed(const QString& text);
    void backspace();

private:
    QString m_keys;
};

}  // namespace gui
