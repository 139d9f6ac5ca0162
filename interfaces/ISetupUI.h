// The component's automation interface: one operation per setup task.
#pragma once
#include <cstdint>

#include "platform/com/Unknown.h"

namespace mirelle {

using com::BSTR;
using com::HRESULT;
using com::IUnknown;
using std::int16_t;
using std::int32_t;
using WindowParam = std::intptr_t;  // address of the host's window object (opaque)

struct ISetupUI : com::IDispatch {
    static constexpr com::IID IID_ = com::MakeGuid(0x3F2B7A10, 0x8C4E, 0x4D21, {0xA7, 0x5E, 0x10, 0x4D, 0x6C, 0x0B, 0x00, 0x01});

    virtual HRESULT ShowDisplay(IUnknown* pISetupUISupport, int16_t bEnableKeyboard, WindowParam wndMain,
                                int32_t* lDisplayInfo, int16_t* bVal) = 0;
    virtual HRESULT ShowRecordModeDlg(IUnknown* pISetupUISupport, WindowParam wndMain, int32_t* lRecordInfo,
                                      int16_t* bVal) = 0;
    virtual HRESULT ShowCameras(IUnknown* pISetupUISupport, IUnknown* pICameraControlUISupport, int16_t bEnableKeyboard,
                                WindowParam wndMain, int16_t* bVal) = 0;
    virtual HRESULT ShowPortAddressDlg(IUnknown* pIRmtResMgrUISupport, IUnknown* pISetupUISupport, WindowParam wndMain,
                                       int32_t* lPortNumber, int32_t* lLivePort, int32_t* lEventPort,
                                       int16_t* iMaxLiveClients, int16_t iClientLimit, int16_t* bVal) = 0;
    virtual HRESULT ConnectTimeout() = 0;
    virtual HRESULT ShowStorage(IUnknown* pIStorageUISupport, WindowParam pWndMain, int32_t* pbRet) = 0;
    virtual HRESULT ShowTextStreams(IUnknown* pISetupUISupport, IUnknown* pITextStreamsUISupport, int32_t bEnableKeyboard,
                                    int32_t bRemote, WindowParam pWndMain, int32_t* pbRet) = 0;
    virtual HRESULT ShowAudio(IUnknown* pISetupUISupport, int16_t bEnableKeyboard, WindowParam pWndMain,
                              int32_t* lAudioAssocInfo, int32_t* lAudioMixerInfo, int16_t* bVal) = 0;
    virtual HRESULT UpdateLevelMeter(int32_t lPeakLevel, int16_t* bVal) = 0;
    virtual HRESULT ShowTextExceptions(IUnknown* pISetupUISupport, IUnknown* pITextExceptionsUISupport,
                                       int32_t bEnableKeyboard, int32_t bRemote, WindowParam pWndMain,
                                       int32_t* pRetVal) = 0;
    virtual HRESULT ShowTextReceipts(IUnknown* pISetupUISupport, IUnknown* pITextExceptionsUISupport,
                                     int32_t bEnableKeyboard, int32_t bRemote, WindowParam pWndMain,
                                     int32_t* pRetVal) = 0;
    virtual HRESULT ShowODSetup(IUnknown* pISetupUISupport, int32_t bEnableKeyboard, int32_t bRemote, WindowParam pWndMain,
                                int32_t* pbShowCustomerEntries, int32_t* pbShowJournalEntries, int32_t* pRetVal) = 0;
    virtual HRESULT ShowIPSourceConfig(IUnknown* pISetupUISupport, IUnknown* pICameraControlUISupport,
                                       int16_t bEnableKeyboard, WindowParam wndMain, int16_t* bVal) = 0;
    virtual HRESULT ShowRawTextSetup(IUnknown* pISetupUISupport, int32_t bEnableKeyboard, int32_t bRemote,
                                     WindowParam pWndMain, BSTR* pbstrEOL, int32_t* pRetVal) = 0;
    virtual HRESULT ShowCOMPortSetup(IUnknown* pISetupUISupport, IUnknown* pITextStreamsUISupport, int32_t bEnableKeyboard,
                                     int32_t bRemote, WindowParam pWndMain, int32_t bEditOperation, int32_t* pnPortID,
                                     int32_t* pnBaudRate, int32_t* pnDataBits, int32_t* pnParity, int32_t* pnStopBits,
                                     int32_t* pnFlowControl, int32_t* pRetVal) = 0;
    virtual HRESULT ShowTextIPPortSetup(IUnknown* pISetupUISupport, IUnknown* pITextStreamsUISupport,
                                        int32_t bEnableKeyboard, int32_t bRemote, WindowParam pWndMain,
                                        int32_t* plTextPort, int32_t* pRetVal) = 0;
};

// Identity of the module's classes and type library (stable across builds).
constexpr com::CLSID CLSID_SetupUI = com::MakeGuid(0x3F2B7A10, 0x8C4E, 0x4D21, {0xA7, 0x5E, 0x10, 0x4D, 0x6C, 0x0B, 0x01, 0x00});
constexpr com::CLSID CLSID_StorageUISupportCallbackImp =
    com::MakeGuid(0x3F2B7A10, 0x8C4E, 0x4D21, {0xA7, 0x5E, 0x10, 0x4D, 0x6C, 0x0B, 0x01, 0x01});
constexpr com::GUID LIBID_MIRELLELib = com::MakeGuid(0x3F2B7A10, 0x8C4E, 0x4D21, {0xA7, 0x5E, 0x10, 0x4D, 0x6C, 0x0B, 0x02, 0x00});

// The window object behind a window parameter (null for 0).
class ParentWindow;
}  // namespace mirelle
