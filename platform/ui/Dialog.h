// Dialogs, property pages and property sheets of the headless dialog model.
#pragma once
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Control.h"
#include "platform/ui/Window.h"

namespace ui {

class PropertySheet;

// Template lookup used when a dialog creates its controls: each owner (the
// component's resources, a host with dialogs of its own) adds its source and
// takes it out again before its code goes away.  A missing template is an error.
using TemplateProvider = std::function<const DialogTemplate*(int templateId)>;
void AddTemplateProvider(const std::string& owner, TemplateProvider provider);
void RemoveTemplateProvider(const std::string& owner);
// The component's source (owner "component"); null takes it out.
void SetTemplateProvider(TemplateProvider provider);
const DialogTemplate* FindTemplate(int templateId);

// Dialog units to pixels (a 8 pt system font: 4 horizontal dialog units = 6
// pixels... as average character width 6, height 13).
int DluToPixelsX(int dlu);
int DluToPixelsY(int dlu);

// A dialog made from a template: modal when run with DoModal, or embedded as a
// property page.  Handlers run on the thread that runs the dialog.
class Dialog : public Window {
public:
    Dialog(int templateId, Window* parent);
    ~Dialog() override;

    int TemplateId() const { return m_templateId; }

    // Creates the controls, runs OnInitDialog and the modal loop of the
    // current driver; answers the value given to EndDialog.
    int DoModal();
    // Ends the modal run with result; safe from any thread.
    void EndDialog(int result);
    bool IsEnded() const { return m_ended; }
    int Result() const { return m_result; }
    bool IsRunning() const { return m_running; }
    // True once the controls exist (the "window" of the dialog).
    bool HasWindow() const { return m_created; }

    // Creates the controls from the template without running (pages, tests).
    void Create();

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption) { m_caption = std::move(caption); Changed(0); }
    const std::string& TemplateCaption() const { return m_templateCaption; }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    void SetSize(int cx, int cy) { m_cx = cx; m_cy = cy; Changed(0); }

    // Controls.
    bool HasControl(int id) const { return m_controls.count(id) != 0; }
    Control& Item(int id);              // UiError when missing
    const Control& Item(int id) const;
    Control* FindControl(int id);
    std::vector<int> ControlIds() const { return m_order; }
    // Adds a control at run time (placed by the caller).
    Control& AddControl(const ControlTemplate& t);

    std::string GetItemText(int id) const { return Item(id).text; }
    void SetItemText(int id, std::string text);
    void EnableItem(int id, bool enable);
    void ShowItem(int id, bool show);
    bool IsTicked(int id) const { return Item(id).ticked; }
    void SetTicked(int id, bool ticked);
    void SetPos(int id, int pos);
    void SetSelection(int id, int index);
    void SetFocus(int id) { m_focus = id; ++m_focusCount; Changed(id); }
    int Focus() const { return m_focus; }
    // Counts SetFocus calls, so a front end sees the focus set again to the
    // same control (after a refusal message, ...).
    int FocusCount() const { return m_focusCount; }
    // Marks a control as changed for front ends that mirror the model.
    void Changed(int id);

    // The embedded property sheet of a frame dialog, if any.
    virtual PropertySheet* EmbeddedSheet() { return nullptr; }
    // Where the embedded property sheet sits in the dialog, in pixels.
    int SheetX() const { return m_sheetX; }
    int SheetY() const { return m_sheetY; }
    void SetSheetOrigin(int x, int y) {
        m_sheetX = x;
        m_sheetY = y;
    }
    // The dialog that owns control id for operator actions: the active page of
    // an embedded sheet when it has the control, else this dialog.
    Dialog& Target(int id);

    // Operator actions.  Each checks that the control exists, is visible and
    // is enabled (UiError otherwise), changes the model as the control would,
    // and calls the handler.
    void OperatorClick(int id);
    void OperatorSetText(int id, const std::string& text);  // truncated to max length
    void OperatorSelect(int id, int index);
    void OperatorTick(int id, bool ticked);
    void OperatorSlide(int id, int pos);
    void OperatorDoubleClick(int id, int row);
    // Sets the check box of a row of a check-box list.
    void OperatorCheckItem(int id, int row, bool checked);
    void OperatorClose();
    void OperatorSetDateTime(int id, std::int64_t value);
    void OperatorSelectPage(const std::string& title);

    // Drivers wait while a dialog is busy (a worker runs) before they run out.
    virtual bool IsBusy() { return false; }

    // Observers of model changes (front ends); id 0 = the dialog itself.
    std::function<void(int id)> onChanged;

protected:
    virtual bool OnInitDialog() { return true; }
    // Click of a button, check box or radio (after the tick changed).
    virtual void OnClick(int id);
    virtual void OnTextChanged(int id) { (void)id; }
    virtual void OnSelChange(int id) { (void)id; }
    virtual void OnDoubleClick(int id, int row) { (void)id; (void)row; }
    // After the operator changed the check box of a row.
    virtual void OnItemChecked(int id, int row) { (void)id; (void)row; }
    virtual void OnSliderMoved(int id, int pos) { (void)id; (void)pos; }
    virtual void OnDateTimeChanged(int id) { (void)id; }
    virtual void OnClose() { OnCancel(); }
    virtual void OnOK() { EndDialog(1); }
    virtual void OnCancel() { EndDialog(2); }
    virtual void OnDestroy() {}

private:
    friend class PropertySheet;
    void CheckUsable(int id, const char* action);

    int m_templateId;
    int m_sheetX = 0, m_sheetY = 0;
    std::string m_caption;
    std::string m_templateCaption;
    int m_cx = 0, m_cy = 0;
    std::map<int, Control> m_controls;
    std::vector<int> m_order;
    int m_focus = 0;
    int m_focusCount = 0;
    bool m_created = false;
    bool m_running = false;
    // EndDialog may come from another thread (a connection time-out).
    std::atomic<bool> m_ended{false};
    std::atomic<int> m_result{0};
};

// A page of a property sheet: created when first activated.
class PropertyPage : public Dialog {
public:
    explicit PropertyPage(int templateId);

    // Tab title: the template caption.
    std::string Title() const;
    PropertySheet* Sheet() const { return m_sheet; }

    virtual bool OnApply() { SetModified(false); return true; }
    virtual void OnCancelPage() {}
    virtual bool OnSetActive() { return true; }
    virtual bool OnKillActive() { return true; }
    void SetModified(bool modified) { m_modified = modified; }
    bool IsModified() const { return m_modified; }

private:
    friend class PropertySheet;
    PropertySheet* m_sheet = nullptr;
    bool m_modified = false;
};

// An ordered set of pages, one active.  Pages are not owned: the sheet's
// derived class owns them.
class PropertySheet : public Window {
public:
    PropertySheet();
    ~PropertySheet() override;

    void AddPage(PropertyPage* page);
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    PropertyPage* Page(int index) const;
    const std::vector<PropertyPage*>& Pages() const { return m_pages; }
    int ActiveIndex() const { return m_active; }
    PropertyPage* ActivePage() const { return Page(m_active); }
    // Leaves the active page (unless it refuses) and activates the page,
    // creating it first when needed.  Answers false when refused.
    bool SetActivePage(int index);
    bool SetActivePage(PropertyPage* page);
    int FindPage(const std::string& title) const;

    // Creates the sheet window: the first page becomes active.
    virtual void Create(Window* parent);
    bool HasWindow() const { return m_created; }
    // Pixel size of the sheet: the largest page plus the tab row.
    int Width() const;
    int Height() const;

    // The help topic of the active page; 0 for none.
    virtual int GetActiveHelpTopic() { return 0; }

    // Frame operations: every page in order is asked to apply; stops at the
    // first refusal (answers false).  Cancel tells the active page only.
    bool ApplyAll();
    void CancelActive();

    std::function<void()> onChanged;

private:
    std::vector<PropertyPage*> m_pages;
    int m_active = -1;
    bool m_created = false;
};

// Runs the modal loop of a dialog until it ends.  One driver per process:
// the scripted driver by default, the Qt front end when it is running.
class Driver {
public:
    virtual ~Driver() = default;
    virtual void RunModal(Dialog& dialog) = 0;
};
Driver& CurrentDriver();
void SetDriver(Driver* driver);  // null restores the default scripted driver

// The stack of dialogs running modally on this thread (innermost last).
std::vector<Dialog*> ModalStack();

}  // namespace ui
