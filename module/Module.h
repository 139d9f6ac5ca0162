// The loadable module: class table, entry points, start-up and shut-down.
#pragma once
#include <string>

#include "platform/com/ClassTable.h"

namespace mirelle {

// Attach: hosts the component in this process (class table, class provider
// for creation by class identifier, resources, localised resource module).
// modulePath defaults to the running executable.  Idempotent.
void ModuleAttach(const std::string& modulePath = {});
void ModuleDetach();
bool ModuleAttached();
std::string ModulePath();

// Chooses the resource module for the system language; answers the path
// loaded, or empty when the own resources stay in force.  Search order for
// the localised file name: each folder of MIRELLE_RESOURCE_PATH, the current
// folder, then the module's folder.
std::string ChooseResourceModule();

}  // namespace mirelle

com::HRESULT DllGetClassObject(const com::CLSID& clsid, const com::IID& iid, void** ppv);
com::HRESULT DllCanUnloadNow();
com::HRESULT DllRegisterServer();
com::HRESULT DllUnregisterServer();
