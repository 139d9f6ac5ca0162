// The unit-file loader's text handling on arbitrary text: parsing, the check
// against the unit schema (which answers, never throws), the layout (a
// formatted file reads back as the same value and formats to the same text)
// and the edit of a file by a change (the edited file holds the change).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "simulator/UnitFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using nlohmann::json;
    using nlohmann::ordered_json;
    ordered_json file = ordered_json::parse(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size,
                                            nullptr, false);
    if (file.is_discarded()) return 0;
    json value(file);
    (void)host::CheckUnitData(value);
    std::string text = host::FormatUnitFile(file);
    ordered_json back = ordered_json::parse(text, nullptr, false);
    if (back.is_discarded() || back != file || host::FormatUnitFile(back) != text) std::abort();
    if (value.is_object()) {
        json changed = value;
        changed["recordInfo"] = {{"fillThreshold", 75}};
        if (!changed.contains("cameras")) changed["cameras"] = json::array({{{"name", "A"}}});
        ordered_json edited = file;
        host::EditUnitFile(edited, value, changed);
        if (json(edited) != changed) std::abort();
    }
    return 0;
}
