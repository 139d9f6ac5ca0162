// Strings and dialog templates of the camera setup.
#include "resources/Builders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {0, ""},
};
}  // namespace

std::span<const StringEntry> CameraStrings() { return kStrings; }

void AddCameraTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace tpl;
    (void)out;
}

}  // namespace res
