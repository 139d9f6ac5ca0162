// A minimal host: creates SetupUI by its ProgID, opens the record mode
// dialog headless with a scripted operator (circular recording, OK) and
// prints what the dialog handed back in the host's record information.
#include <cstdio>
#include <cstring>

#include "interfaces/ISetupUI.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/Script.h"
#include "util/Util.h"

int main(int argc, char** argv) {
    // --registered: only through the registry (as a host installed apart
    // from the component would find it).
    const bool registeredOnly = argc > 1 && std::strcmp(argv[1], "--registered") == 0;
    // Registered (mirelle-regsvr, or the package): the registry names the
    // module.  If not, this host loads the installed module for itself.
    com::CLSID clsid = mirelle::CLSID_SetupUI;
    if (com::SUCCEEDED(com::CLSIDFromProgID("Mirelle.SetupUI", &clsid))) {
        std::printf("Mirelle.SetupUI found in the registry\n");
    } else if (registeredOnly) {
        std::fprintf(stderr, "Mirelle.SetupUI is not registered\n");
        return 1;
    } else if (com::FAILED(com::CoRegisterModuleClasses(MIRELLE_MODULE))) {
        std::fprintf(stderr, "cannot load %s: %s\n", MIRELLE_MODULE, com::CoLastLoadError().c_str());
        return 1;
    }
    com::ComPtr<mirelle::ISetupUI> setupUI;
    com::HRESULT hr = com::CoCreateInstance(clsid, nullptr, mirelle::ISetupUI::IID_, setupUI.outVoid());
    if (com::FAILED(hr)) {
        std::fprintf(stderr, "cannot create SetupUI: %s\n", com::HresultText(hr).c_str());
        return 1;
    }

    // The operator, as a script: tick "Circular", press OK.
    ui::DefaultScriptDriver().Queue(ui::ParseScript("tick 1019 1\nclick 1\n").actions);

    CRecordInfo info;  // the host's data object, passed by address
    info.m_bCircular = 0;
    std::int16_t result = -1;
    hr = setupUI->ShowRecordModeDlg(nullptr, 0, reinterpret_cast<std::int32_t*>(&info), &result);
    std::printf("hr %s result %d circular %d threshold %d\n", com::HresultText(hr).c_str(), result,
                info.m_bCircular, info.m_nFillThreshold);

    setupUI.reset();
    com::CoFreeUnusedLibraries();
    return com::SUCCEEDED(hr) && result == 1 && info.m_bCircular == 1 ? 0 : 1;
}
