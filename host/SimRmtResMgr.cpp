#include "host/SimRmtResMgr.h"

namespace host {
void RegisterNetworkHostClasses(SimulatedUnit&) {}
}  // namespace host
