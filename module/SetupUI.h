// CSetupUI: the object behind the SetupUI class, one operation per setup.
#pragma once
#include <atomic>
#include <memory>
#include <mutex>

#include "interfaces/ISetupUI.h"
#include "platform/ui/Dialog.h"

class CSetupSheetDlg;
class CSetupSheet;

class CSetupUI final : public com::ComObjectBase, public mirelle::ISetupUI {
public:
    explicit CSetupUI(com::IUnknown* outer);
    ~CSetupUI() override;
    MIRELLE_IUNKNOWN_IMPL()

    static com::IUnknown* Create(com::IUnknown* outer);

    // IDispatch through the type library.
    com::HRESULT GetTypeInfoCount(unsigned* count) override;
    com::HRESULT GetTypeInfo(unsigned index, std::uint32_t lcid, com::ITypeInfo** info) override;
    com::HRESULT GetIDsOfNames(const std::u16string& name, std::int32_t* dispid) override;
    com::HRESULT Invoke(std::int32_t dispid, std::vector<com::VARIANT>& args) override;

    com::HRESULT ShowDisplay(com::IUnknown* pISetupUISupport, int16_t bEnableKeyboard, mirelle::WindowParam wndMain,
                             int32_t* lDisplayInfo, int16_t* bVal) override;
    com::HRESULT ShowRecordModeDlg(com::IUnknown* pISetupUISupport, mirelle::WindowParam wndMain, int32_t* lRecordInfo,
                                   int16_t* bVal) override;
    com::HRESULT ShowCameras(com::IUnknown* pISetupUISupport, com::IUnknown* pICameraControlUISupport,
                             int16_t bEnableKeyboard, mirelle::WindowParam wndMain, int16_t* bVal) override;
    com::HRESULT ShowPortAddressDlg(com::IUnknown* pIRmtResMgrUISupport, com::IUnknown* pISetupUISupport,
                                    mirelle::WindowParam wndMain, int32_t* lPortNumber, int32_t* lLivePort,
                                    int32_t* lEventPort, int16_t* iMaxLiveClients, int16_t iClientLimit,
                                    int16_t* bVal) override;
    com::HRESULT ConnectTimeout() override;
    com::HRESULT ShowStorage(com::IUnknown* pIStorageUISupport, mirelle::WindowParam pWndMain, int32_t* pbRet) override;
    com::HRESULT ShowTextStreams(com::IUnknown* pISetupUISupport, com::IUnknown* pITextStreamsUISupport,
                                 int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                 int32_t* pbRet) override;
    com::HRESULT ShowAudio(com::IUnknown* pISetupUISupport, int16_t bEnableKeyboard, mirelle::WindowParam pWndMain,
                           int32_t* lAudioAssocInfo, int32_t* lAudioMixerInfo, int16_t* bVal) override;
    com::HRESULT UpdateLevelMeter(int32_t lPeakLevel, int16_t* bVal) override;
    com::HRESULT ShowTextExceptions(com::IUnknown* pISetupUISupport, com::IUnknown* pITextExceptionsUISupport,
                                    int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                    int32_t* pRetVal) override;
    com::HRESULT ShowTextReceipts(com::IUnknown* pISetupUISupport, com::IUnknown* pITextExceptionsUISupport,
                                  int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                  int32_t* pRetVal) override;
    com::HRESULT ShowODSetup(com::IUnknown* pISetupUISupport, int32_t bEnableKeyboard, int32_t bRemote,
                             mirelle::WindowParam pWndMain, int32_t* pbShowCustomerEntries,
                             int32_t* pbShowJournalEntries, int32_t* pRetVal) override;
    com::HRESULT ShowIPSourceConfig(com::IUnknown* pISetupUISupport, com::IUnknown* pICameraControlUISupport,
                                    int16_t bEnableKeyboard, mirelle::WindowParam wndMain, int16_t* bVal) override;
    com::HRESULT ShowRawTextSetup(com::IUnknown* pISetupUISupport, int32_t bEnableKeyboard, int32_t bRemote,
                                  mirelle::WindowParam pWndMain, com::BSTR* pbstrEOL, int32_t* pRetVal) override;
    com::HRESULT ShowCOMPortSetup(com::IUnknown* pISetupUISupport, com::IUnknown* pITextStreamsUISupport,
                                  int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                  int32_t bEditOperation, int32_t* pnPortID, int32_t* pnBaudRate, int32_t* pnDataBits,
                                  int32_t* pnParity, int32_t* pnStopBits, int32_t* pnFlowControl,
                                  int32_t* pRetVal) override;
    com::HRESULT ShowTextIPPortSetup(com::IUnknown* pISetupUISupport, com::IUnknown* pITextStreamsUISupport,
                                     int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                     int32_t* plTextPort, int32_t* pRetVal) override;

protected:
    com::HRESULT QueryInterfaceImpl(const com::IID& iid, void** ppv) override;

private:
    // Runs a frame-based setup in slot.
    com::HRESULT RunFrame(std::unique_ptr<CSetupSheetDlg>& slot, com::IUnknown* setup, int titleId, CSetupSheet* sheet,
                          bool keyboard, mirelle::WindowParam parent, int closeOnly, const char* operation,
                          int16_t* bVal);

    std::mutex m_objectLock;  // created and deleted with the object; no operation takes it
    // ConnectTimeout may come from another thread while a slot is filled or
    // emptied: the slots change and are read under this lock (never held
    // during a modal run).
    std::mutex m_slotLock;
    template <class T, class U>
    void FillSlot(std::unique_ptr<T>& slot, std::unique_ptr<U> dialog) {
        std::lock_guard l(m_slotLock);
        slot = std::move(dialog);
    }
    template <class T>
    void EmptySlot(std::unique_ptr<T>& slot) {
        std::unique_ptr<T> old;
        {
            std::lock_guard l(m_slotLock);
            old = std::move(slot);
        }
    }
    // The audio sheet while ShowAudio runs it, for UpdateLevelMeter on the
    // host's audio thread, and the number of such calls under way.
    std::atomic<CSetupSheet*> m_meterSheet{nullptr};
    std::atomic<int> m_meterCallers{0};
    // Tracked dialogs, in declaration order.
    std::unique_ptr<ui::Dialog> m_pRecordModeDlg;
    std::unique_ptr<CSetupSheetDlg> m_pDisplayDlg;
    std::unique_ptr<CSetupSheetDlg> m_pCameraDlg;
    std::unique_ptr<ui::Dialog> m_pPortAddressDlg;
    std::unique_ptr<CSetupSheetDlg> m_pAudioDlg;
};
