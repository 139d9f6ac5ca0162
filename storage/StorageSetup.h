// Entry of the storage volume manager, called by ShowStorage.
#pragma once
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Window.h"

namespace storage {
// Runs the storage dialog; answers its result (1 = OK).
int RunStorageDialog(host::IStorageUISupport* support, ui::Window* parent);
}  // namespace storage
