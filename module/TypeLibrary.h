// The type library MIRELLELib 1.0 as data: names, dispatch ids, parameters
// and help strings.  Dispatch and the type information of ISetupUI read it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

namespace mirelle {

struct TypeLibParam {
    const char* name;
    com::VARIANT::Type vt;  // as Invoke takes it
    unsigned short flags;   // com::PARAMFLAG_*
};

struct TypeLibMethod {
    int dispid;
    const char* name;
    const char* help;
    std::vector<TypeLibParam> params;
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
    std::vector<TypeLibEntry> entries;          // the library, its coclasses and interfaces
    std::vector<TypeLibMethod> setupUIMethods;  // ISetupUI, dispids 1..16 in order
    std::vector<TypeLibMethod> callbackMethods; // SetProgressRange, SetProgress, SetWindow
};

const TypeLibrary& MirelleTypeLibrary();

// The ISetupUI method of that name (any letter case, as automation allows),
// or null.
const TypeLibMethod* FindSetupUIMethod(std::string_view name);
// The ISetupUI method of that dispatch id, or null.
const TypeLibMethod* SetupUIMethod(std::int32_t dispid);

// The type information of ISetupUI (a new object holding one reference).
com::ITypeInfo* CreateSetupUITypeInfo();

}  // namespace mirelle
