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

// What the module's four entry points do (module/Entry.cpp exports them
// with C linkage from the loadable module).
com::HRESULT GetClassObject(const com::CLSID& clsid, const com::IID& iid, void** ppv);
com::HRESULT CanUnloadNow();
com::HRESULT RegisterServer();
com::HRESULT UnregisterServer();

// For hosts that link the component's code into themselves (the unit tests
// of its inner classes): attaches it and registers its classes in this
// process, where creation by class finds them first.  The loadable module
// never does this.
void RegisterClassesInProcess();
void RevokeClassesInProcess();

}  // namespace mirelle

