#include "module/TypeLibrary.h"

#include "interfaces/ISetupUI.h"
#include "interfaces/HostInterfaces.h"

namespace mirelle {

const TypeLibrary& MirelleTypeLibrary() {
    static const TypeLibrary lib = [] {
        TypeLibrary t;
        t.entries = {
            {"MIRELLELib", "Mirelle 1.0 Type Library", LIBID_MIRELLELib},
            {"SetupUI", "SetupUI Class", CLSID_SetupUI},
            {"ISetupUI", "ISetupUI Interface", ISetupUI::IID_},
            {"StorageUISupportCallbackImp", "StorageUISupportCallbackImp Class", CLSID_StorageUISupportCallbackImp},
            {"IStorageUISupportCallbackImp", "IStorageUISupportCallbackImp Interface",
             host::IStorageUISupportCallbackImp::IID_},
            {"IStorageUISupportCallback", "IStorageUISupportCallback Interface", host::IStorageUISupportCallback::IID_},
        };
        t.setupUIMethods = {
            {1, "ShowDisplay", "method ShowDisplay"},
            {2, "ShowRecordModeDlg", "method ShowRecordModeDlg"},
            {3, "ShowCameras", "method ShowCameras"},
            {4, "ShowPortAddressDlg", "method ShowPortAddressDlg"},
            {5, "ConnectTimeout", "method ConnectTimeout"},
            {6, "ShowStorage", "DoModal() on the storage management dialog."},
            {7, "ShowTextStreams", "Show the Text Streams dialog."},
            {8, "ShowAudio", "method ShowAudio"},
            {9, "UpdateLevelMeter", "method UpdateLevelMeter"},
            {10, "ShowTextExceptions", "method ShowTextExceptions"},
            {11, "ShowTextReceipts", "method ShowTextReceipts"},
            {12, "ShowODSetup", "method ShowODSetup"},
            {13, "ShowIPSourceConfig", "Show the IP sources dialog an alternative to the camera dialog"},
            {14, "ShowRawTextSetup", "method ShowRawTextSetup"},
            {15, "ShowCOMPortSetup", "method ShowCOMPortSetup"},
            {16, "ShowTextIPPortSetup", "method ShowTextIPPortSetup"},
        };
        t.callbackMethods = {
            {1, "SetProgressRange", "Fired when the progress range should change."},
            {2, "SetProgress", "Fired when the progress bar should be changed."},
            {3, "SetWindow", "Set the window handle to post the callback events to."},
        };
        return t;
    }();
    return lib;
}

}  // namespace mirelle
