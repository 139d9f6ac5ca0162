// Entries of the network source setups: ShowPortAddressDlg, ShowIPSourceConfig.
#pragma once
#include <cstdint>
#include <memory>

#include "component/SetupSheet.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

namespace network {
// The port address dialog; it writes the four out-values itself.  Null when
// this build has no port address dialog.
std::unique_ptr<ui::Dialog> CreatePortAddressDlg(com::IUnknown* rmtResMgrSupport, host::ISetupUISupport* setup,
                                                 std::int32_t* portNumber, std::int32_t* livePort,
                                                 std::int32_t* eventPort, std::int16_t* maxLiveClients,
                                                 std::int16_t clientLimit, ui::Window* parent);
// The IP source sheet (raises ComError when the host system object cannot
// be had).
std::unique_ptr<CSetupSheet> CreateIPSourceSheet(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl);
}  // namespace network
