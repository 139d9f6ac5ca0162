#include "textstreams/OwnSetupUI.h"

namespace textstreams {

com::ComPtr<mirelle::ISetupUI> CreateOwnSetupUI() {
    try {
        return com::CreateRunningObject<mirelle::ISetupUI>(mirelle::CLSID_SetupUI, "SetupUI");
    } catch (const com::ComError&) {
        return {};
    }
}

}  // namespace textstreams
