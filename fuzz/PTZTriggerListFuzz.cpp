// The PTZTriggerList reader on arbitrary text, then the conversions to typed
// definitions, their check, and writing them back, which must read again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cameras/PTZTriggerDefinition.h"
#include "platform/registry/Registry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    reg::UseMemory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cameras;
    PTZTriggerListDocument doc;
    if (!doc.Read(std::string(reinterpret_cast<const char*>(data), size))) {
        if (!doc.Records().empty()) std::abort();  // a failed read leaves no records
        return 0;
    }
    std::vector<PTZTriggerDefinition> defs;
    RecordsToDefinitions(doc, defs);
    for (auto& d : defs) {
        std::int32_t code = CheckDefinition(d);
        if (code < E_VALID || code >= E_MAX_ERROR_CODES) std::abort();
        (void)ValidityMessageId(code);
        (void)DescribeDefinition(d);
    }
    PTZTriggerListDocument out;
    DefinitionsToRecords(defs, out);
    PTZTriggerListDocument again;
    (void)again.Read(out.Write());
    return 0;
}
