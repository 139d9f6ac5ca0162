#include "cameras/CameraControlXml.h"

#include <algorithm>

#include "foundation/TextNumbers.h"
#include "foundation/XmlDocument.h"

namespace cameras {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

long LeadingInteger(std::string_view text) { return textnum::ToLong(text, 10); }

std::string WriteCameraControlXml(const AssociationList& associations) {
    CXmlDocument doc;
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
    doc.SetText(text);
    doc.Rewind();

    bool inside = false;
    long camera = -1, address = -1, monitor = -1;
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
            std::string_view n = name.substr(std::min(name.find_first_not_of('/'), name.size()));
            if (EqualsNoCase(n, "Handler")) {
                // The camera travels as a 16-bit number: only 0 to 15 is a camera.
                auto cam16 = static_cast<std::int16_t>(camera);
                if (cam16 >= 0 && cam16 <= 15 && !progId.empty()) {
                    CameraHandlerAssociation& a = out.emplace_back();
                    a.CameraNumber = cam16;
                    a.ProgramID = progId;
                    a.SerialPort = port;
                    a.CameraAddress = static_cast<std::int16_t>(address);
                    a.MonitorNum = static_cast<std::int16_t>(monitor);
                }
            } else if (EqualsNoCase(n, "Associations")) {
                inside = false;
            }
            continue;
        }
        if (EqualsNoCase(name, "Handler")) {
            camera = address = monitor = -1;
            progId = port = {};
        } else if (EqualsNoCase(name, "CameraNumber")) {
            camera = LeadingInteger(value);
        } else if (EqualsNoCase(name, "CameraAddress")) {
            address = LeadingInteger(value);
        } else if (EqualsNoCase(name, "MonitorNum")) {
            monitor = LeadingInteger(value);
        } else if (EqualsNoCase(name, "SerialPort")) {
            port = value;
        } else if (EqualsNoCase(name, "ProgramID")) {
            progId = value;
        }
    }
    return out;
}

}  // namespace cameras
