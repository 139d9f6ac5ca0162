#include "storage/StorageSetup.h"

#include "storage/StorageDlg.h"

namespace storage {

int RunStorageDialog(host::IStorageUISupport* support, ui::Window* parent) {
    CStorageDlg dlg(support, parent);
    return dlg.DoModal();
}

}  // namespace storage
