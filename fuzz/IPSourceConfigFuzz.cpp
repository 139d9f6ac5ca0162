// The IPSourceConfig reader on arbitrary text: it never fails to answer, the
// source list's texts can be asked for every row and column, and the
// assigned-camera mask is computed from whatever sources were read.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "network/IPSourceConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    network::IPSourceConfig config;
    bool complete = network::ReadIPSourceConfig(text, config);
    const int rows = static_cast<int>(config.sources.size());
    for (int row = 0; row <= rows; ++row)
        for (int column = 0; column < 3; ++column) {
            std::string cell = network::SourceRowText(config, row, column);
            if (row == rows && cell.rfind("Invalid Source Row", 0) != 0) std::abort();
        }
    (void)network::AssignedCameraMask(config.sources);
    (void)network::ReadConfigNumber(text.substr(0, 40));
    (void)complete;
    return 0;
}
