// mirelle-run's script reader together with its --fail options on arbitrary
// text: the leading lines that start with "--fail " are failure options, the
// rest is the script.  Each option is taken or refused with a reason, a
// taken one names a call and a failing result whose name reads back as the
// same result, and the script is read as the runner reads it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "apps/run/FailOption.h"
#include "platform/ui/Script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (text.rfind("--fail ", 0) == 0) {
        size_t nl = text.find('\n');
        std::string option(text.substr(7, nl == std::string_view::npos ? std::string_view::npos : nl - 7));
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        std::string why;
        auto failure = apps::ParseFailOption(option, why);
        if (!failure) {
            if (why.empty()) std::abort();
            continue;
        }
        if (failure->call.empty() || failure->nth < 0 || !com::FAILED(failure->hr)) std::abort();
        auto back = apps::ParseHresult(apps::HresultName(failure->hr));
        if (!back || *back != failure->hr) std::abort();
    }
    auto script = ui::ParseScript(text);
    if (!script.ok() && script.error.empty()) std::abort();
    return 0;
}
