#include "network/NetworkSetup.h"

namespace network {
std::unique_ptr<ui::Dialog> CreatePortAddressDlg(com::IUnknown*, host::ISetupUISupport*, std::int32_t*, std::int32_t*,
                                                 std::int32_t*, std::int16_t*, std::int16_t, ui::Window*) {
    return nullptr;
}
std::unique_ptr<CSetupSheet> CreateIPSourceSheet(host::ISetupUISupport*, host::ICameraControlUISupport*) { return nullptr; }
}  // namespace network
