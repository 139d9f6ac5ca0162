// Storage volume manager (template 204): lists the unit's recording volumes
// and adds, adds all, relabels, removes (excludes) and repairs them.
//
// Threads: the dialog's own thread fills the list and handles the buttons;
// each long operation (Add, Add All, Remove, Repair) runs on one worker
// thread at a time, which calls the host, shows its messages and posts the
// operation-finished message back.  The host reports progress through the
// StorageUISupportCallbackImp object, on any thread, as posted messages.  The
// label dialog that Add and Add All need is run on the dialog's thread: the
// worker asks for it with a posted request and waits for the answer.
#pragma once
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "component/StorageUISupportCallbackImp.h"
#include "interfaces/HostInterfaces.h"
#include "platform/com/Unknown.h"
#include "platform/ui/Dialog.h"

class CStorageDlg : public ui::Dialog {
public:
    enum {
        IDD = 204,
        IDC_VOLUMES = 1000,
        IDC_KEYBOARD = 1002,
        IDC_PROGRESS = 1003,
        IDC_ADD = 1004,
        IDC_ADD_ALL = 1005,
        IDC_LABEL = 1006,
        IDC_REMOVE = 1007,
        IDC_REPAIR = 1008,
        IDC_EXIT = 1,
        IDC_HELP = 4,
        kHelpTopic = 85,
    };
    enum eOperation { eOperationNone = -1, eOperationAdd = 0, eOperationAddAll = 1, eOperationRemove = 2, eOperationRepair = 3 };

    static constexpr ui::UINT WM_OPERATION_FINISHED = ui::WM_USER + 100;  // 1124, posted by the worker
    static constexpr ui::UINT WM_PROGRESS_RANGE = WM_STORAGE_PROGRESS_RANGE;  // 1125, from the callback
    static constexpr ui::UINT WM_PROGRESS_POS = WM_STORAGE_PROGRESS_POS;      // 1126, from the callback
    static constexpr ui::UINT WM_LABEL_REQUEST = ui::WM_USER + 110;       // the worker needs the label dialog

    CStorageDlg(host::IStorageUISupport* support, ui::Window* parent);
    ~CStorageDlg() override;

    // True from the start of an operation until its finished message has
    // been handled.
    bool IsBusy() override;

    bool HasCallback() const { return static_cast<bool>(m_pCallback); }
    int Operation() const { return m_nOperation; }
    int OperationVolume() const { return m_nVolume; }
    // Column headings and widths of the volume list.
    const std::vector<std::pair<std::string, int>>& Columns() const { return m_columns; }
    // Operation-finished messages handled so far.
    int FinishedCount() const { return m_nFinished; }

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnSelChange(int id) override;
    void OnMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose() override;
    void OnDestroy() override;

private:
    struct LabelRequest {
        bool showLabel = false;
        bool showPercent = false;
        std::string label;
        std::string percent = "100";
        int result = 2;
        bool done = false;
    };

    // Dialog thread.
    void FillList();
    void FillRow(int row, std::int32_t index, bool& addable);
    void OnSelectionChanged();
    void StartOperation(eOperation op);
    void OnOperationFinished();
    void OnLabel();
    void OnLabelRequest();
    int SelectedVolume() const;
    void SetProgressRange(int lower, int upper);
    void SetProgressPos(int pos);

    // Worker thread.
    void Worker(eOperation op, int index);
    void RunAdd(std::int32_t index);
    void RunAddAll();
    void RunRemove(std::int32_t index);
    void RunRepair(std::int32_t index);
    int Message(const std::string& text, unsigned style);
    // Runs the label dialog on the dialog's thread; answers its result.
    int AskLabel(bool showPercent, std::string& label, int& percent);

    // Host calls (either thread); failures are raised as COM errors.
    host::IStorageUISupport& Host() const;
    std::int32_t VolumeCount();
    std::int32_t VolumeState(std::int32_t index, bool* marker = nullptr);
    std::string VolumePath(std::int32_t index, bool* valid = nullptr);
    std::string VolumeLabel(std::int32_t index, bool* valid = nullptr);
    std::int32_t VolumeSize(std::int32_t index);
    bool SetVolumeLabel(std::int32_t index, const std::string& label);
    bool InitializeVolume(std::int32_t index, std::int32_t allocationKB);
    bool ConvertVolume(std::int32_t index);

    // Ends a worker: answers a pending label request with Cancel and waits
    // without limit for the thread.
    void WaitForWorker();

    com::ComPtr<host::IStorageUISupport> m_pSupport;
    com::ComPtr<host::IStorageUISupportCallbackImp> m_pCallback;
    std::vector<std::pair<std::string, int>> m_columns;
    int m_nOperation = eOperationNone;
    int m_nVolume = -1;
    int m_nFinished = 0;
    std::thread m_worker;
    std::atomic<bool> m_bRunning{false};

    std::mutex m_requestLock;
    std::condition_variable m_requestDone;
    LabelRequest* m_pRequest = nullptr;  // the worker's request waiting for the dialog thread
    bool m_bClosing = false;
};
