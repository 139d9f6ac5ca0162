#include "host/SimTextStreams.h"

namespace host {
void RegisterTextStreamHostClasses(SimulatedUnit&) {}
}  // namespace host
