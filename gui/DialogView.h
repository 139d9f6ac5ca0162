// The window of one modal dialog of the model: its controls, the tabs of an
// embedded property sheet with one pane per page, and the on-screen keyboard
// when the dialog's background control has it switched on.
#pragma once
#include <vector>

#include <QDialog>
#include <QPointer>

#include "gui/ControlPane.h"

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

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape (QDialog's cancel key).
    void reject() override;

private:
    void Type(const QString& text, bool backspace);
    // Brings the pages up to their models and reserves the room the sheet
    // needs in the dialog's layout; PlaceSheet puts it there.
    void SyncPages();
    void PlaceSheet();
    // The laid-out size of page index before it is shown, from its template.
    QSize EstimatePage(int index, int templateId);
    void OrderFocus();

    ui::Dialog& m_model;
    ActionSink m_sink;
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
