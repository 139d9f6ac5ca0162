#include "apps/inspect/Commands.h"

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

const std::vector<InspectCommand>& InspectCommands() {
    static const std::vector<InspectCommand> commands = {
        {"xml-nodes", XmlNodes},
    };
    return commands;
}

}  // namespace apps
