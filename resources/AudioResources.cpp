// Strings and dialog templates of the audio setup.
#include "resources/Builders.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {0, ""},
};
}  // namespace

std::span<const StringEntry> AudioStrings() { return kStrings; }

void AddAudioTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace tpl;
    (void)out;
}

}  // namespace res
