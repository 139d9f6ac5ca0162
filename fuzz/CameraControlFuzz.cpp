// The CameraControl reader on arbitrary text: what it answers holds only
// cameras 0 to 15 with a ProgramID, and writing it out and reading that again
// keeps the count.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cameras/CameraControlXml.h"
#include "platform/registry/Registry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    reg::UseMemory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cameras;
    auto list = ReadCameraControlXml(std::string(reinterpret_cast<const char*>(data), size));
    for (auto& a : list)
        if (a.CameraNumber < 0 || a.CameraNumber > 15 || a.ProgramID.empty()) std::abort();
    (void)ReadCameraControlXml(WriteCameraControlXml(list));
    return 0;
}
