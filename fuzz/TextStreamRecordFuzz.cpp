// The text stream record line and the identifier list readers on arbitrary
// text.  What a reader accepts must write back to a text that reads again to
// the same value.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "textstreams/TextStreamRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace textstreams;
    std::string_view text(reinterpret_cast<const char*>(data), size);

    if (auto ids = ParseIdentifierList(text)) {
        std::string written = FormatIdentifierList(*ids);
        auto again = ParseIdentifierList(written);
        if (!again || *again != *ids) std::abort();
    }
    (void)SplitNameList(text);

    std::string error;
    if (auto record = ParseStreamRecord(text, &error)) {
        std::string written = FormatStreamRecord(*record);
        auto again = ParseStreamRecord(written);
        if (!again || !(*again == *record)) std::abort();
    } else if (error.empty()) {
        std::abort();  // a refused line always says why
    }
    return 0;
}
