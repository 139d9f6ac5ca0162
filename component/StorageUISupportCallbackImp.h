// The storage progress callback: turns the host's progress calls, on any
// thread, into messages posted to the storage dialog (positions newest wins:
// at most one position message waits in the queue).
#pragma once
#include <atomic>
#include <mutex>

#include "interfaces/HostInterfaces.h"
#include "platform/ui/Window.h"

constexpr ui::UINT WM_STORAGE_PROGRESS_RANGE = ui::WM_USER + 101;  // 1125: wParam lower, lParam upper
constexpr ui::UINT WM_STORAGE_PROGRESS_POS = ui::WM_USER + 102;    // 1126: wParam position, lParam 0

class CStorageUISupportCallbackImp final : public com::ComObjectBase, public host::IStorageUISupportCallbackImp {
public:
    explicit CStorageUISupportCallbackImp(com::IUnknown* outer) : com::ComObjectBase(outer) {}
    MIRELLE_IUNKNOWN_IMPL()

    com::HRESULT SetProgressRange(std::int32_t lower, std::int32_t upper) override;
    com::HRESULT SetProgress(std::int32_t position) override;
    com::HRESULT SetWindow(std::int32_t hwnd) override;

    // Creates an object for the class factory (one reference on its inner
    // IUnknown), aggregated under outer when given.
    static com::IUnknown* Create(com::IUnknown* outer);

protected:
    com::HRESULT QueryInterfaceImpl(const com::IID& iid, void** ppv) override;

private:
    // The object lock lives and dies with the object; the operations touch
    // only the atomic handle and post, so none of them takes it.
    std::mutex m_lock;
    // Target window; 0 until SetWindow.  A SetWindow racing a progress call
    // delivers that message to either the old or the new window.
    std::atomic<std::int32_t> m_hwnd{0};
};
