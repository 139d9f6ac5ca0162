// The commands of mirelle-inspect: each turns a file's text into its report.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace apps {

struct InspectCommand {
    std::string name;
    std::function<std::string(const std::string& text)> run;
};

const std::vector<InspectCommand>& InspectCommands();

// "start NAME VALUE", "attr NAME VALUE", "end NAME", tab-separated, one node a
// line; tabs, line breaks and backslashes inside names and values are escaped.
std::string XmlNodes(const std::string& text);

// "ok N" then one typed PTZ trigger definition a line, or "failed".
std::string PtzRead(const std::string& text);
// The validity code of each definition, one a line ("failed" when unreadable).
std::string PtzCheck(const std::string& text);

}  // namespace apps
