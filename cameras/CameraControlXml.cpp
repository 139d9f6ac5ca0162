#include "cameras/CameraControlXml.h"

#include <algorithm>

#include "foundation/XmlDocument.h"

namespace cameras {

std::string WriteCameraControlXml(const AssociationList& associations) {
    CXmlDocument doc;
    // A handler takes about 200 characters.
    doc.Reserve(64 + associations.size() * 256);
    doc.StartElement("CameraControl", 0, true);
    doc.StartElement("Associations", 1, true);
    for (const auto& a : associations) {
        doc.StartElement("Handler", 2, true);
        doc.WriteElement("CameraNumber", static_cast<long>(a.CameraNumber), 3, true);
        doc.WriteElement("ProgramID", a.ProgramID, 3, true);
        if (a.CameraAddress > 0) doc.WriteElement("CameraAddress", static_cast<long>(a.CameraAddress), 3, true);
        if (!a.SerialPort.empty()) doc.WriteElement("SerialPort", a.SerialPort, 3, true);
        doc.WriteElement("MonitorNum", static_cast<long>(a.MonitorNum), 3, true);
        doc.EndElement("Handler", 2, true);
    }
    doc.EndElement("Associations", 1, true);
    doc.EndElement("CameraControl", 0, true);
    return doc.TakeText();
}

AssociationList ReadCameraControlXml(const std::string& text) {
    AssociationList out;
    CXmlDocument doc;
    doc.ReadText(text);

    bool inside = false;
    std::int32_t camera = -1, address = -1, monitor = -1;
    // Values are views into the document's text, which outlives the loop.
    std::string_view progId, port;
    std::string_view name, value;
    bool isEnd = false, isAttr = false;
    while (doc.ReadNode(name, value, isEnd, isAttr)) {
        if (isAttr) continue;
        if (!inside) {
            if (!isEnd && EqualsNoCase(name, "Associations")) inside = true;
            continue;
        }
        if (isEnd) {
            // The end tag's name without its one leading slash.
            const std::string_view n = name.empty() || name[0] != '/' ? name : name.substr(1);
            if (EqualsNoCase(n, "Handler")) {
                // The camera travels as a 16-bit number: only 0 to 15 is a camera.
                auto cam16 = static_cast<std::int16_t>(camera);
                if (cam16 >= 0 && cam16 <= 15 && !progId.empty())
                    out.push_back({cam16, std::string(progId), std::string(port), static_cast<std::int16_t>(address),
                                   static_cast<std::int16_t>(monitor)});
            } else if (EqualsNoCase(n, "Associations")) {
                inside = false;
            }
            continue;
        }
        // Names of different lengths never match: one comparison a node.
        switch (name.size()) {
            case 7:
                if (EqualsNoCase(name, "Handler")) {
                    camera = address = monitor = -1;
                    progId = port = {};
                }
                break;
            case 9:
                if (EqualsNoCase(name, "ProgramID")) progId = value;
                break;
            case 10:
                if (EqualsNoCase(name, "MonitorNum")) monitor = LeadingInteger(value);
                else if (EqualsNoCase(name, "SerialPort")) port = value;
                break;
            case 12:
                if (EqualsNoCase(name, "CameraNumber")) camera = LeadingInteger(value);
                break;
            case 13:
                if (EqualsNoCase(name, "CameraAddress")) address = LeadingInteger(value);
                break;
            default:
                break;
        }
    }
    return out;
}

}  // namespace cameras
