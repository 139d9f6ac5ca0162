// The definitions text reader (the host's import of criteria files) on
// arbitrary text: what it accepts is a list of complete definitions with
// identifiers 0 to 127, each of which can be described, and writing the list
// out and reading it again gives the same list.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "simulator/DefinitionsText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto list = host::ReadDefinitionsText(std::string(reinterpret_cast<const char*>(data), size));
    if (!list) return 0;
    if (!list->is_array()) std::abort();
    for (const auto& d : *list) {
        if (!d.is_object() || d.size() != host::BlankDefinition().size()) std::abort();
        int id = d["Id"].get<int>();
        if (id < 0 || id > 127) std::abort();
        (void)host::DescribeDefinition(d);
    }
    auto again = host::ReadDefinitionsText(list->dump());
    if (!again || *again != *list) std::abort();
    return 0;
}
