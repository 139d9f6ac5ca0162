// The setups as an operator looks for them, by what they set up: the groups
// both launchers (the Qt demo and the browser console) show.  Each entry
// names the ISetupUI operation behind it.
#pragma once
#include <string>
#include <vector>

namespace apps {

struct SetupEntry {
    std::string title;
    std::string operation;
};

struct SetupGroup {
    std::string title;
    std::vector<SetupEntry> entries;
};

const std::vector<SetupGroup>& SetupGroups();

}  // namespace apps
