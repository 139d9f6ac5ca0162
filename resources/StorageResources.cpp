// Strings and dialog templates of the storage setup.
#include "resources/Builders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {0, ""},
};
}  // namespace

std::span<const StringEntry> StorageStrings() { return kStrings; }

void AddStorageTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace tpl;
    (void)out;
}

}  // namespace res
