// The window of one modal dialog of the model: its controls, the tabs of an
// embedded property sheet with one pane per page, and the on-screen keyboard
// when the dialog's background control has it switched on.
#pragma once
#include <vector>

#include <QDialog>
#include <QPointer>

class QLineEdit;
class QPushButton;

#include "gui/ControlPane.h"

class QScrollArea;
class QTabWidget;

namespace gui {

class Keyboard;

class DialogView : public QDialog {
    Q_OBJECT
public:
    DialogView(ui::Dialog& model, ActionSink sink, QWidget* parent);
    ~DialogView() override;

    ui::Dialog& Model() const { return m_model; }
    // Brings the window up to the model (caption, size, controls, pages, keyboard).
    void Sync();
    // The widget of control id where an operator action on id goes: the
    // active page's when it has the control, else the dialog's own.
    QWidget* ControlWidget(int id) const;
    QTabWidget* Tabs() const { return m_tabs; }
    // Every page of the sheet has its laid-out size (shown, or sized from
    // its template once the window was painted); true without a sheet.
    bool PagesSized() const;
    Keyboard* OnScreenKeyboard() const { return m_keyboard; }
    // Focus for a dialog that set none: its first control (after showing).
    void TakeInitialFocus();
    // The button Enter presses: the one the template marks, else OK (IDOK).
    QPushButton* DefaultButton() const;
    bool Touch() const { return m_touch; }

    // Keeping to the screen: the window never leaves the available area of
    // its screen; a dialog larger than that scrolls (the on-screen keyboard
    // stays in view below), so every control stays reachable.
    QScrollArea* Scroller() const { return m_scroll; }
    // Scrolls the window's content so that w shows (part of it, in its
    // own coordinates, when given).
    void Reveal(QWidget* w, const QRect& part = QRect());
    // Whether the point at of w (in its coordinates) shows in the window,
    // and the window there on its screen: a finger can touch it.
    bool Reachable(QWidget* w, QPoint at) const;
    // Moves the window back into the available area where it sticks out.
    void KeepOnScreen();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape (QDialog's cancel key).
    void reject() override;

private:
    void Type(const QString& text, bool backspace);
    void Clear();
    void MoveCaret(int delta);
    // Where the on-screen keyboard types, or null.
    QLineEdit* TypingField() const;
    // Brings the pages up to their models and reserves the room the sheet
    // needs in the dialog's layout; PlaceSheet puts it there.
    void SyncPages();
    void PlaceSheet();
    // The laid-out size of page index before it is shown, from its template.
    QSize EstimatePage(int index, int templateId);
    void OrderFocus();
    // The room the window's client area may take on its screen.
    QRect AvailableArea() const;
    QMargins FrameMargins() const;

    ui::Dialog& m_model;
    ActionSink m_sink;
    bool m_touch = false;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;  // the pane and the sheet, scrolled when larger than the screen
    ControlPane* m_pane = nullptr;
    QTabWidget* m_tabs = nullptr;
    std::vector<ControlPane*> m_pages;  // by page index; null until the page exists
    std::vector<QSize> m_estimates;     // by page index: sizes of pages not shown yet
    Keyboard* m_keyboard = nullptr;
    QPointer<QWidget> m_lastEdit;  // where the on-screen keyboard types
    bool m_syncing = false;
    bool m_painted = false;  // the window has been painted once
    std::vector<QWidget*> m_chain;  // the tab order last set
};

}  // namespace gui
