#include "module/TypeLibrary.h"

#include "foundation/HostStrings.h"
#include "interfaces/ISetupUI.h"
#include "interfaces/HostInterfaces.h"

namespace mirelle {

namespace {

using T = com::VARIANT::Type;
constexpr unsigned short kIn = com::PARAMFLAG_FIN;
constexpr unsigned short kOut = com::PARAMFLAG_FOUT;
constexpr unsigned short kInOut = com::PARAMFLAG_FIN | com::PARAMFLAG_FOUT;
constexpr unsigned short kRetVal = com::PARAMFLAG_FOUT | com::PARAMFLAG_FRETVAL;

// The parameters every text stream dialog begins with.
std::vector<TypeLibParam> TextDialog(const char* support, std::vector<TypeLibParam> rest) {
    std::vector<TypeLibParam> p = {{"pISetupUISupport", T::Unknown, kIn},
                                   {support, T::Unknown, kIn},
                                   {"bEnableKeyboard", T::I4, kIn},
                                   {"bRemote", T::I4, kIn},
                                   {"pWndMain", T::I4, kIn}};
    p.insert(p.end(), rest.begin(), rest.end());
    return p;
}

}  // namespace

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
        const TypeLibParam setup{"pISetupUISupport", T::Unknown, kIn};
        const TypeLibParam keyboard16{"bEnableKeyboard", T::I2, kIn};
        const TypeLibParam bVal{"bVal", T::ByRefI2, kRetVal};
        const TypeLibParam retVal{"pRetVal", T::ByRefI4, kRetVal};
        t.setupUIMethods = {
            {1, "ShowDisplay", "method ShowDisplay",
             {setup, keyboard16, {"wndMain", T::I4, kIn}, {"lDisplayInfo", T::ByRefI4, kInOut}, bVal}},
            {2, "ShowRecordModeDlg", "method ShowRecordModeDlg",
             {setup, {"wndMain", T::I4, kIn}, {"lRecordInfo", T::ByRefI4, kInOut}, bVal}},
            {3, "ShowCameras", "method ShowCameras",
             {setup, {"pICameraControlUISupport", T::Unknown, kIn}, keyboard16, {"wndMain", T::I4, kIn}, bVal}},
            {4, "ShowPortAddressDlg", "method ShowPortAddressDlg",
             {{"pIRmtResMgrUISupport", T::Unknown, kIn}, setup, {"wndMain", T::I4, kIn},
              {"lPortNumber", T::ByRefI4, kOut}, {"lLivePort", T::ByRefI4, kOut}, {"lEventPort", T::ByRefI4, kOut},
              {"iMaxLiveClients", T::ByRefI2, kOut}, {"iClientLimit", T::I2, kIn}, bVal}},
            {5, "ConnectTimeout", "method ConnectTimeout", {}},
            {6, "ShowStorage", "DoModal() on the storage management dialog.",
             {{"pIStorageUISupport", T::Unknown, kIn}, {"pWndMain", T::I4, kIn}, {"pbRet", T::ByRefI4, kRetVal}}},
            {7, "ShowTextStreams", "Show the Text Streams dialog.",
             TextDialog("pITextStreamsUISupport", {{"pbRet", T::ByRefI4, kRetVal}})},
            {8, "ShowAudio", "method ShowAudio",
             {setup, keyboard16, {"pWndMain", T::I4, kIn}, {"lAudioAssocInfo", T::ByRefI4, kInOut},
              {"lAudioMixerInfo", T::ByRefI4, kInOut}, bVal}},
            {9, "UpdateLevelMeter", "method UpdateLevelMeter", {{"lPeakLevel", T::I4, kIn}, bVal}},
            {10, "ShowTextExceptions", "method ShowTextExceptions", TextDialog("pITextExceptionsUISupport", {retVal})},
            {11, "ShowTextReceipts", "method ShowTextReceipts", TextDialog("pITextExceptionsUISupport", {retVal})},
            {12, "ShowODSetup", "method ShowODSetup",
             {setup, {"bEnableKeyboard", T::I4, kIn}, {"bRemote", T::I4, kIn}, {"pWndMain", T::I4, kIn},
              {"pbShowCustomerEntries", T::ByRefI4, kInOut}, {"pbShowJournalEntries", T::ByRefI4, kInOut}, retVal}},
            {13, "ShowIPSourceConfig", "Show the IP sources dialog an alternative to the camera dialog",
             {setup, {"pICameraControlUISupport", T::Unknown, kIn}, keyboard16, {"wndMain", T::I4, kIn}, bVal}},
            {14, "ShowRawTextSetup", "method ShowRawTextSetup",
             {setup, {"bEnableKeyboard", T::I4, kIn}, {"bRemote", T::I4, kIn}, {"pWndMain", T::I4, kIn},
              {"pbstrEOL", T::ByRefBstr, kInOut}, retVal}},
            {15, "ShowCOMPortSetup", "method ShowCOMPortSetup",
             TextDialog("pITextStreamsUISupport",
                        {{"bEditOperation", T::I4, kIn}, {"pnPortID", T::ByRefI4, kInOut},
                         {"pnBaudRate", T::ByRefI4, kInOut}, {"pnDataBits", T::ByRefI4, kInOut},
                         {"pnParity", T::ByRefI4, kInOut}, {"pnStopBits", T::ByRefI4, kInOut},
                         {"pnFlowControl", T::ByRefI4, kInOut}, retVal})},
            {16, "ShowTextIPPortSetup", "method ShowTextIPPortSetup",
             TextDialog("pITextStreamsUISupport", {{"plTextPort", T::ByRefI4, kInOut}, retVal})},
        };
        t.callbackMethods = {
            {1, "SetProgressRange", "Fired when the progress range should change.", {}},
            {2, "SetProgress", "Fired when the progress bar should be changed.", {}},
            {3, "SetWindow", "Set the window handle to post the callback events to.", {}},
        };
        return t;
    }();
    return lib;
}

const TypeLibMethod* FindSetupUIMethod(std::string_view name) {
    for (const auto& m : MirelleTypeLibrary().setupUIMethods)
        if (EqualsNoCase(name, m.name)) return &m;
    return nullptr;
}

const TypeLibMethod* SetupUIMethod(std::int32_t dispid) {
    const auto& methods = MirelleTypeLibrary().setupUIMethods;
    return dispid >= 1 && dispid <= static_cast<std::int32_t>(methods.size()) ? &methods[dispid - 1] : nullptr;
}

}  // namespace mirelle
