#include "storage/StorageSetup.h"

#include "component/NotAvailableDlg.h"

namespace storage {
int RunStorageDialog(host::IStorageUISupport*, ui::Window* parent) { return ShowNotAvailable("ShowStorage", parent); }
}  // namespace storage
