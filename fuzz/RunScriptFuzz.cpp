// The operator script parser of mirelle-run on arbitrary text: it answers
// actions or an error on a line of the text, never anything else.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/ui/Script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto result = ui::ParseScript(text);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (!result.ok()) {
        if (result.errorLine < 1 || result.errorLine > lines || result.error.empty()) std::abort();
        return 0;
    }
    if (static_cast<int>(result.actions.size()) > lines) std::abort();
    for (auto& a : result.actions)
        if (a.line < 1 || a.line > lines) std::abort();
    return 0;
}
