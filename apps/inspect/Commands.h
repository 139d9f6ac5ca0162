// The commands of mirelle-inspect: each turns a file's text into its report.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace apps {

struct InspectCommand {
    std::string name;
    std::function<std::string(const std::string& text)> run;
    std::string summary;  // one line for --help
};

const std::vector<InspectCommand>& InspectCommands();

// "start NAME VALUE", "attr NAME VALUE", "end NAME", tab-separated, one node a
// line; tabs, line breaks and backslashes inside names and values are escaped.
std::string XmlNodes(const std::string& text);

// "ok N" then one typed PTZ trigger definition a line, or "failed".
std::string PtzRead(const std::string& text);
// The validity code of each definition, one a line ("failed" when unreadable).
std::string PtzCheck(const std::string& text);

// "ok N" then one association a line: "camera C<TAB>progId P<TAB>port S<TAB>
// address A<TAB>monitor M" (the reader never fails: unusable entries are
// dropped).
std::string CameraControlRead(const std::string& text);
// "ok unassigned MASK devices N sources M", then "device<TAB>GUID<TAB>NAME"
// and "source<TAB>ID<TAB>GUID<TAB>ADDRESS<TAB>CAMERAS" lines; "failed" when
// the text ends inside an element.
std::string IpConfigRead(const std::string& text);

}  // namespace apps
