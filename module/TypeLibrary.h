// The type library MIRELLELib 1.0 as data: names, dispatch ids, help strings.
#pragma once
#include <string>
#include <vector>

#include "platform/com/Guid.h"

namespace mirelle {

struct TypeLibMethod {
    int dispid;
    const char* name;
    const char* help;
};

struct TypeLibEntry {
    const char* name;
    const char* help;
    com::GUID id;
};

struct TypeLibrary {
    const char* name = "MIRELLELib";
    int major = 1, minor = 0;
    unsigned lcid = 0x409;
    const char* help = "Mirelle 1.0 Type Library";
    std::vector<TypeLibEntry> entries;          // coclasses and interfaces
    std::vector<TypeLibMethod> setupUIMethods;  // ISetupUI, dispids 1..16
    std::vector<TypeLibMethod> callbackMethods; // SetProgressRange, SetProgress, SetWindow
};

const TypeLibrary& MirelleTypeLibrary();

}  // namespace mirelle
