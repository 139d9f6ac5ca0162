// Strings and dialog templates of the textstream setup.
#include "resources/Builders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {0, ""},
};
}  // namespace

std::span<const StringEntry> TextStreamStrings() { return kStrings; }

void AddTextStreamTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace tpl;
    (void)out;
}

}  // namespace res
