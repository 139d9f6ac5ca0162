// Strings and dialog templates of the network setup.
#include "resources/Builders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {0, ""},
};
}  // namespace

std::span<const StringEntry> NetworkStrings() { return kStrings; }

void AddNetworkTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace tpl;
    (void)out;
}

}  // namespace res
