#include "component/StorageUISupportCallbackImp.h"

#include <new>

com::HRESULT CStorageUISupportCallbackImp::QueryInterfaceImpl(const com::IID& iid, void** ppv) {
    if (iid == host::IStorageUISupportCallback::IID_ || iid == host::IStorageUISupportCallbackImp::IID_) {
        *ppv = static_cast<host::IStorageUISupportCallbackImp*>(this);
        return com::S_OK;
    }
    return com::E_NOINTERFACE;
}

com::HRESULT CStorageUISupportCallbackImp::SetProgressRange(std::int32_t lower, std::int32_t upper) {
    ui::PostMessage(static_cast<ui::HWND>(m_hwnd.load()), WM_STORAGE_PROGRESS_RANGE, static_cast<ui::WPARAM>(lower),
                    upper);
    return com::S_OK;
}

// A position only counts at its newest: a host may report it far faster than
// anyone can look, so a report replaces the one still waiting in the dialog's
// queue and goes behind whatever was posted since (every range posted before
// it still comes first), which keeps the queue short and the operator's
// clicks undelayed however often the host calls.
com::HRESULT CStorageUISupportCallbackImp::SetProgress(std::int32_t position) {
    ui::PostLatestMessage(static_cast<ui::HWND>(m_hwnd.load()), WM_STORAGE_PROGRESS_POS, static_cast<ui::WPARAM>(position),
                    0);
    return com::S_OK;
}

com::HRESULT CStorageUISupportCallbackImp::SetWindow(std::int32_t hwnd) {
    m_hwnd = hwnd;
    return com::S_OK;
}

com::IUnknown* CStorageUISupportCallbackImp::Create(com::IUnknown* outer) {
    auto* obj = new (std::nothrow) CStorageUISupportCallbackImp(outer);
    if (!obj) return nullptr;
    com::IUnknown* inner = obj->InnerUnknown();
    inner->AddRef();
    return inner;
}
