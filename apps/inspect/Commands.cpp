#include "apps/inspect/Commands.h"

#include "cameras/PTZTriggerDefinition.h"
#include "foundation/XmlDocument.h"

namespace apps {

namespace {
std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}
}  // namespace

std::string XmlNodes(const std::string& text) {
    CXmlDocument doc;
    doc.SetText(text);
    doc.Rewind();
    std::string out, name, value;
    bool isEnd, isAttr;
    while (doc.ReadNode(name, value, isEnd, isAttr)) {
        if (isEnd)
            out += "end\t" + Escape(name) + "\n";
        else if (isAttr)
            out += "attr\t" + Escape(name) + "\t" + Escape(value) + "\n";
        else
            out += "start\t" + Escape(name) + "\t" + Escape(value) + "\n";
    }
    return out;
}

namespace {
// Reads a PTZTriggerList text into typed definitions; false when unreadable.
bool ReadPtzDefinitions(const std::string& text, std::vector<cameras::PTZTriggerDefinition>& defs) {
    cameras::PTZTriggerListDocument doc;
    if (!doc.Read(text)) return false;
    cameras::RecordsToDefinitions(doc, defs);
    return true;
}
}  // namespace

std::string PtzRead(const std::string& text) {
    std::vector<cameras::PTZTriggerDefinition> defs;
    if (!ReadPtzDefinitions(text, defs)) return "failed\n";
    std::string out = "ok " + std::to_string(defs.size()) + "\n";
    for (const auto& d : defs) out += cameras::DescribeDefinition(d) + "\n";
    return out;
}

std::string PtzCheck(const std::string& text) {
    std::vector<cameras::PTZTriggerDefinition> defs;
    if (!ReadPtzDefinitions(text, defs)) return "failed\n";
    std::string out;
    for (const auto& d : defs) out += std::to_string(cameras::CheckDefinition(d)) + "\n";
    return out;
}

const std::vector<InspectCommand>& InspectCommands() {
    static const std::vector<InspectCommand> commands = {
        {"xml-nodes", XmlNodes},
        {"ptz-read", PtzRead},
        {"ptz-check", PtzCheck},
    };
    return commands;
}

}  // namespace apps
