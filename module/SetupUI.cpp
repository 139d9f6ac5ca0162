#include "module/SetupUI.h"

#include <new>
#include <thread>

#include "audio/AudioSetup.h"
#include "cameras/CameraSetup.h"
#include "component/NotAvailableDlg.h"
#include "component/PrinterInterfaceDlg.h"
#include "component/RecordModeDlg.h"
#include "component/SetupSheetDlg.h"
#include "foundation/Numbers.h"
#include "module/TypeLibrary.h"
#include "display/DisplaySetup.h"
#include "foundation/DebugLog.h"
#include "util/AudioInfo.h"
#include "util/DisplayInfo.h"
#include "network/NetworkSetup.h"
#include "platform/com/ClassTable.h"
#include "platform/codepage/CodePage.h"
#include "platform/ui/Window.h"
#include "storage/StorageSetup.h"
#include "textstreams/TextStreamSetup.h"

using com::HRESULT;
using com::S_OK;

namespace {

ui::Window* Parent(mirelle::WindowParam w) { return reinterpret_cast<ui::Window*>(w); }

template <class I>
I* As(com::IUnknown* p) {
    // Support pointers are used as the interface their parameter names,
    // without QueryInterface.
    return static_cast<I*>(p);
}

// A COM error raised while an operation builds or runs its dialog becomes the
// operation's result.  No exception leaves the component: anything else is
// logged and answered as a failure of its own kind (the window system keeps
// the text of an operator action it could not apply for the host).
template <class F>
HRESULT RaisedAsResultOf(F&& body) {
    try {
        return body();
    } catch (const com::ComError& e) {
        return e.Error();
    } catch (const std::bad_alloc&) {
        return com::E_OUTOFMEMORY;
    } catch (const ui::UiError&) {
        return com::E_ABORT;
    } catch (const std::exception& e) {
        LogMirelle(std::string("unexpected error: ") + e.what());
        return com::E_UNEXPECTED;
    } catch (...) {
        return com::E_UNEXPECTED;
    }
}

// The same, and a host object the operation could not create is named in the
// debug log (the result alone says E_POINTER).
template <class F>
HRESULT RaisedAsResult(F&& body) {
    const std::string before = com::CoLastCreateError();
    HRESULT hr = RaisedAsResultOf(std::forward<F>(body));
    if (std::string now = com::CoLastCreateError(); !now.empty() && now != before) LogMirelle(now);
    return hr;
}

}  // namespace

CSetupUI::CSetupUI(com::IUnknown* outer) : com::ComObjectBase(outer) {}

CSetupUI::~CSetupUI() {
    m_pRecordModeDlg.reset();
    m_pDisplayDlg.reset();
    m_pCameraDlg.reset();
    m_pPortAddressDlg.reset();
    m_pAudioDlg.reset();
}

com::IUnknown* CSetupUI::Create(com::IUnknown* outer) {
    auto* obj = new (std::nothrow) CSetupUI(outer);
    if (!obj) return nullptr;
    com::IUnknown* inner = obj->InnerUnknown();
    inner->AddRef();
    return inner;
}

HRESULT CSetupUI::QueryInterfaceImpl(const com::IID& iid, void** ppv) {
    if (iid == mirelle::ISetupUI::IID_ || iid == com::IDispatch::IID_) {
        *ppv = static_cast<mirelle::ISetupUI*>(this);
        return S_OK;
    }
    return com::E_NOINTERFACE;
}

HRESULT CSetupUI::RunFrame(std::unique_ptr<CSetupSheetDlg>& slot, com::IUnknown* setup, int titleId,
                           CSetupSheet* sheet, bool keyboard, mirelle::WindowParam parent, int closeOnly,
                           const char* operation, int16_t* bVal) {
    if (!sheet) {
        int r = ShowNotAvailable(operation, Parent(parent));
        if (bVal) *bVal = static_cast<int16_t>(r);
        return S_OK;
    }
    if (slot) {
        // The slot's dialog belongs to a call still running: refuse the nested one.
        if (bVal) *bVal = 2;
        return S_OK;
    }
    auto frame = std::make_unique<CSetupSheetDlg>(As<host::ISetupUISupport>(setup), titleId, sheet, 1, keyboard,
                                                  Parent(parent), closeOnly);
    CSetupSheetDlg* running = frame.get();
    FillSlot(slot, std::move(frame));
    struct SlotGuard {
        CSetupUI* self;
        std::unique_ptr<CSetupSheetDlg>& s;
        ~SlotGuard() { self->EmptySlot(s); }
    } guard{this, slot};
    int r = running->DoModal();
    if (bVal) *bVal = static_cast<int16_t>(r);
    return S_OK;
}

HRESULT CSetupUI::ShowDisplay(com::IUnknown* pISetupUISupport, int16_t bEnableKeyboard, mirelle::WindowParam wndMain,
                              int32_t* lDisplayInfo, int16_t* bVal) {
    return RaisedAsResult([&]() -> HRESULT {
        auto* hostInfo = reinterpret_cast<CDisplayInfo*>(lDisplayInfo);
        CDisplayInfo local;
        if (hostInfo) local.CopyFrom(*hostInfo);
        auto sheet = display::CreateDisplaySheet(local, As<host::ISetupUISupport>(pISetupUISupport));
        struct CopyBack {
            CDisplayInfo* host;
            CDisplayInfo& local;
            bool armed = false;
            ~CopyBack() { if (armed && host) host->CopyFrom(local); }
        } copyBack{hostInfo, local};
        if (sheet) copyBack.armed = true;
        return RunFrame(m_pDisplayDlg, pISetupUISupport, 1021, sheet.get(), bEnableKeyboard != 0, wndMain, 0,
                        "ShowDisplay", bVal);
    });
}

HRESULT CSetupUI::ShowRecordModeDlg(com::IUnknown* pISetupUISupport, mirelle::WindowParam wndMain,
                                    int32_t* lRecordInfo, int16_t* bVal) {
    return RaisedAsResult([&]() -> HRESULT {
        if (m_pRecordModeDlg) {
            if (bVal) *bVal = 2;
            return S_OK;
        }
        auto* hostInfo = reinterpret_cast<CRecordInfo*>(lRecordInfo);
        CRecordInfo local;
        if (hostInfo) local.CopyFrom(*hostInfo);
        auto dlg = std::make_unique<CRecordModeDlg>(As<host::ISetupUISupport>(pISetupUISupport), local, Parent(wndMain));
        ui::Dialog* running = dlg.get();
        FillSlot(m_pRecordModeDlg, std::move(dlg));
        struct Finish {
            CSetupUI* self;
            CRecordInfo* host;
            CRecordInfo& local;
            ~Finish() {
                if (host) host->CopyFrom(local);
                self->EmptySlot(self->m_pRecordModeDlg);
            }
        } finish{this, hostInfo, local};
        int r = running->DoModal();
        if (bVal) *bVal = static_cast<int16_t>(r);
        return S_OK;
    });
}

HRESULT CSetupUI::ShowCameras(com::IUnknown* pISetupUISupport, com::IUnknown* pICameraControlUISupport,
                              int16_t bEnableKeyboard, mirelle::WindowParam wndMain, int16_t* bVal) {
    return RaisedAsResult([&]() -> HRESULT {
        auto sheet = cameras::CreateCameraSheet(As<host::ISetupUISupport>(pISetupUISupport),
                                                As<host::ICameraControlUISupport>(pICameraControlUISupport));
        return RunFrame(m_pCameraDlg, pISetupUISupport, 1020, sheet.get(), bEnableKeyboard != 0, wndMain, 0,
                        "ShowCameras", bVal);
    });
}

HRESULT CSetupUI::ShowPortAddressDlg(com::IUnknown* pIRmtResMgrUISupport, com::IUnknown* pISetupUISupport,
                                     mirelle::WindowParam wndMain, int32_t* lPortNumber, int32_t* lLivePort,
                                     int32_t* lEventPort, int16_t* iMaxLiveClients, int16_t iClientLimit,
                                     int16_t* bVal) {
    return RaisedAsResult([&]() -> HRESULT {
        if (m_pPortAddressDlg) {
            if (bVal) *bVal = 2;
            return S_OK;
        }
        auto dlg = network::CreatePortAddressDlg(pIRmtResMgrUISupport, As<host::ISetupUISupport>(pISetupUISupport),
                                                 lPortNumber, lLivePort, lEventPort, iMaxLiveClients, iClientLimit,
                                                 Parent(wndMain));
        if (!dlg) {
            int r = ShowNotAvailable("ShowPortAddressDlg", Parent(wndMain));
            if (bVal) *bVal = static_cast<int16_t>(r);
            return S_OK;
        }
        ui::Dialog* running = dlg.get();
        FillSlot(m_pPortAddressDlg, std::move(dlg));
        struct Clear {
            CSetupUI* self;
            ~Clear() { self->EmptySlot(self->m_pPortAddressDlg); }
        } clear{this};
        int r = running->DoModal();
        if (bVal) *bVal = static_cast<int16_t>(r);
        return S_OK;
    });
}

HRESULT CSetupUI::ConnectTimeout() {
    std::lock_guard l(m_slotLock);
    if (m_pRecordModeDlg)
        m_pRecordModeDlg->EndDialog(0);
    else if (m_pDisplayDlg)
        m_pDisplayDlg->EndDialog(0);
    else if (m_pCameraDlg)
        m_pCameraDlg->EndDialog(0);
    else if (m_pPortAddressDlg)
        m_pPortAddressDlg->EndDialog(0);
    return S_OK;
}

HRESULT CSetupUI::ShowStorage(com::IUnknown* pIStorageUISupport, mirelle::WindowParam pWndMain, int32_t* pbRet) {
    return RaisedAsResult([&]() -> HRESULT {
        int r = storage::RunStorageDialog(As<host::IStorageUISupport>(pIStorageUISupport), Parent(pWndMain));
        if (pbRet) *pbRet = r == 1 ? 1 : 0;
        return S_OK;
    });
}

HRESULT CSetupUI::ShowTextStreams(com::IUnknown* pISetupUISupport, com::IUnknown* pITextStreamsUISupport,
                                  int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                  int32_t* pbRet) {
    return RaisedAsResult([&]() -> HRESULT {
        int r = textstreams::RunTextStreamList(As<host::ISetupUISupport>(pISetupUISupport),
                                               As<host::ITextStreamsUISupport>(pITextStreamsUISupport),
                                               bEnableKeyboard != 0, bRemote != 0, Parent(pWndMain));
        if (pbRet) *pbRet = r == 1 ? 1 : 0;
        return S_OK;
    });
}

HRESULT CSetupUI::ShowAudio(com::IUnknown* pISetupUISupport, int16_t bEnableKeyboard, mirelle::WindowParam pWndMain,
                            int32_t* lAudioAssocInfo, int32_t* lAudioMixerInfo, int16_t* bVal) {
    return RaisedAsResult([&]() -> HRESULT {
        // A missing data object is answered as the other operations answer
        // one: the sheet edits a local object with the library's defaults,
        // and nothing is handed back for it.
        CAudioAssocInfo localAssoc;
        CAudioMixerInfo localMixer;
        auto* assoc = lAudioAssocInfo ? reinterpret_cast<CAudioAssocInfo*>(lAudioAssocInfo) : &localAssoc;
        auto* mixer = lAudioMixerInfo ? reinterpret_cast<CAudioMixerInfo*>(lAudioMixerInfo) : &localMixer;
        auto sheet = audio::CreateAudioSheet(*mixer, *assoc, As<host::ISetupUISupport>(pISetupUISupport));
        if (sheet && m_pAudioDlg) {
            // The slot's sheet belongs to a call still running: the nested
            // call is refused before it touches the meter, which keeps
            // reaching the open sheet.
            if (bVal) *bVal = 2;
            return S_OK;
        }
        // The meter is fed through m_meterSheet while the sheet runs; it is
        // withdrawn (and its callers waited for) before the sheet goes.
        struct MeterFeed {
            CSetupUI* self;
            MeterFeed(CSetupUI* s, CSetupSheet* sheet) : self(s) { self->m_meterSheet.store(sheet); }
            ~MeterFeed() {
                self->m_meterSheet.store(nullptr);
                while (self->m_meterCallers.load() != 0) std::this_thread::yield();
            }
        } feed(this, sheet.get());
        return RunFrame(m_pAudioDlg, pISetupUISupport, 1052, sheet.get(), bEnableKeyboard != 0, pWndMain, 0,
                        "ShowAudio", bVal);
    });
}

HRESULT CSetupUI::UpdateLevelMeter(int32_t lPeakLevel, int16_t*) {
    // The host's audio thread: atomic operations only, never a lock shared
    // with the dialog's thread.  Counting this call in before reading the
    // sheet lets ShowAudio know when no call can still be using it.
    m_meterCallers.fetch_add(1);
    if (CSetupSheet* sheet = m_meterSheet.load()) sheet->UpdateLevelMeter(lPeakLevel);
    m_meterCallers.fetch_sub(1);
    return S_OK;
}

HRESULT CSetupUI::ShowTextExceptions(com::IUnknown* pISetupUISupport, com::IUnknown* pITextExceptionsUISupport,
                                     int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                     int32_t* pRetVal) {
    return RaisedAsResult([&]() -> HRESULT {
        int r = textstreams::RunTextExceptions(As<host::ISetupUISupport>(pISetupUISupport),
                                               As<host::ITextExceptionsUISupport>(pITextExceptionsUISupport),
                                               bEnableKeyboard != 0, bRemote != 0, Parent(pWndMain));
        if (pRetVal) *pRetVal = r;
        return S_OK;
    });
}

HRESULT CSetupUI::ShowTextReceipts(com::IUnknown* pISetupUISupport, com::IUnknown* pITextExceptionsUISupport,
                                   int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                   int32_t* pRetVal) {
    return RaisedAsResult([&]() -> HRESULT {
        int r = textstreams::RunTextReceipts(As<host::ISetupUISupport>(pISetupUISupport),
                                             As<host::ITextExceptionsUISupport>(pITextExceptionsUISupport),
                                             bEnableKeyboard != 0, bRemote != 0, Parent(pWndMain));
        if (pRetVal) *pRetVal = r;
        return S_OK;
    });
}

HRESULT CSetupUI::ShowODSetup(com::IUnknown* pISetupUISupport, int32_t bEnableKeyboard, int32_t bRemote,
                              mirelle::WindowParam pWndMain, int32_t* pbShowCustomerEntries,
                              int32_t* pbShowJournalEntries, int32_t* pRetVal) {
    return RaisedAsResult([&]() -> HRESULT {
        CPrinterInterfaceDlg dlg(As<host::ISetupUISupport>(pISetupUISupport), bEnableKeyboard != 0, bRemote != 0,
                                 Parent(pWndMain));
        if (pbShowCustomerEntries) dlg.m_bShowCustomerEntries = *pbShowCustomerEntries;
        if (pbShowJournalEntries) dlg.m_bShowJournalEntries = *pbShowJournalEntries;
        int r = dlg.DoModal();
        if (pbShowCustomerEntries) *pbShowCustomerEntries = dlg.m_bShowCustomerEntries;
        if (pbShowJournalEntries) *pbShowJournalEntries = dlg.m_bShowJournalEntries;
        if (pRetVal) *pRetVal = r;
        return S_OK;
    });
}

HRESULT CSetupUI::ShowIPSourceConfig(com::IUnknown* pISetupUISupport, com::IUnknown* pICameraControlUISupport,
                                     int16_t bEnableKeyboard, mirelle::WindowParam wndMain, int16_t* bVal) {
    return RaisedAsResult([&]() -> HRESULT {
        auto sheet = network::CreateIPSourceSheet(As<host::ISetupUISupport>(pISetupUISupport),
                                                  As<host::ICameraControlUISupport>(pICameraControlUISupport));
        return RunFrame(m_pCameraDlg, pISetupUISupport, 1072, sheet.get(), bEnableKeyboard != 0, wndMain, 1,
                        "ShowIPSourceConfig", bVal);
    });
}

HRESULT CSetupUI::ShowRawTextSetup(com::IUnknown* pISetupUISupport, int32_t bEnableKeyboard, int32_t bRemote,
                                   mirelle::WindowParam pWndMain, com::BSTR* pbstrEOL, int32_t* pRetVal) {
    return RaisedAsResult([&]() -> HRESULT {
        std::string eol = pbstrEOL ? cp::FromBstr(*pbstrEOL) : std::string{};
        int r = textstreams::RunRawTextSetup(As<host::ISetupUISupport>(pISetupUISupport), bEnableKeyboard != 0,
                                             bRemote != 0, Parent(pWndMain), eol);
        if (pbstrEOL) {
            com::SysFreeString(*pbstrEOL);
            *pbstrEOL = cp::ToBstr(eol);
        }
        if (pRetVal) *pRetVal = r;
        return S_OK;
    });
}

HRESULT CSetupUI::ShowCOMPortSetup(com::IUnknown* pISetupUISupport, com::IUnknown* pITextStreamsUISupport,
                                   int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                   int32_t bEditOperation, int32_t* pnPortID, int32_t* pnBaudRate,
                                   int32_t* pnDataBits, int32_t* pnParity, int32_t* pnStopBits,
                                   int32_t* pnFlowControl, int32_t* pRetVal) {
    return RaisedAsResult([&]() -> HRESULT {
        textstreams::SerialSettings s;
        int32_t* fields[] = {pnPortID, pnBaudRate, pnDataBits, pnParity, pnStopBits, pnFlowControl};
        int32_t* members[] = {&s.portId, &s.baudRate, &s.dataBits, &s.parity, &s.stopBits, &s.flowControl};
        for (int i = 0; i < 6; ++i)
            if (fields[i]) *members[i] = *fields[i];
        int r = textstreams::RunCOMPortSetup(As<host::ISetupUISupport>(pISetupUISupport),
                                             As<host::ITextStreamsUISupport>(pITextStreamsUISupport),
                                             bEnableKeyboard != 0, bRemote != 0, Parent(pWndMain), bEditOperation != 0, s);
        for (int i = 0; i < 6; ++i)
            if (fields[i]) *fields[i] = *members[i];
        if (pRetVal) *pRetVal = r;
        return S_OK;
    });
}

HRESULT CSetupUI::ShowTextIPPortSetup(com::IUnknown* pISetupUISupport, com::IUnknown* pITextStreamsUISupport,
                                      int32_t bEnableKeyboard, int32_t bRemote, mirelle::WindowParam pWndMain,
                                      int32_t* plTextPort, int32_t* pRetVal) {
    return RaisedAsResult([&]() -> HRESULT {
        std::string portText = std::to_string(plTextPort ? static_cast<long>(*plTextPort) : 0L);
        int r = textstreams::RunTextIPPortSetup(As<host::ISetupUISupport>(pISetupUISupport),
                                                As<host::ITextStreamsUISupport>(pITextStreamsUISupport),
                                                bEnableKeyboard != 0, bRemote != 0, Parent(pWndMain), portText);
        // The leading decimal integer of the port text; 0 when it has none.
        if (plTextPort) *plTextPort = StrToLong32(portText, 10);
        if (pRetVal) *pRetVal = r;
        return S_OK;
    });
}
