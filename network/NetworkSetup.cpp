#include "network/NetworkSetup.h"

#include "network/IPSourcePropSheet.h"
#include "network/PortAddressDlg.h"

namespace network {
std::unique_ptr<ui::Dialog> CreatePortAddressDlg(com::IUnknown* rmtResMgrSupport, host::ISetupUISupport* setup,
                                                 std::int32_t* portNumber, std::int32_t* livePort,
                                                 std::int32_t* eventPort, std::int16_t* maxLiveClients,
                                                 std::int16_t clientLimit, ui::Window* parent) {
    return std::make_unique<CPortAddressDlg>(rmtResMgrSupport, setup, portNumber, livePort, eventPort, maxLiveClients,
                                             clientLimit, parent);
}
std::unique_ptr<CSetupSheet> CreateIPSourceSheet(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl) {
    return std::make_unique<CIPSourcePropSheet>(setup, cameraControl);
}
}  // namespace network
