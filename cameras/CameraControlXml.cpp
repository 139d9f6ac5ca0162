#include "cameras/CameraControlXml.h"

#include <cctype>
#include <cstdlib>

#include "foundation/HostStrings.h"
#include "foundation/Numbers.h"
#include "foundation/XmlDocument.h"

namespace cameras {

std::int32_t LeadingInteger(const std::string& text) { return StrToLong32(text, 10); }

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
    return doc.GetText();
}

AssociationList ReadCameraControlXml(const std::string& text) {
    AssociationList out;
    CXmlDocument doc;
    doc.SetText(text);
    doc.Rewind();

    bool inside = false;
    std::int32_t camera = -1, address = -1, monitor = -1;
    std::string progId, port;
    std::string name, value;
    bool isEnd = false, isAttr = false;
    while (doc.ReadNode(name, value, isEnd, isAttr)) {
        if (isAttr) continue;
        if (!inside) {
            if (!isEnd && mirelle::EqualsNoCase(name, "Associations")) inside = true;
            continue;
        }
        if (isEnd) {
            // The end tag's name without its one leading slash.
            const std::string n = name.empty() || name[0] != '/' ? name : name.substr(1);
            if (mirelle::EqualsNoCase(n, "Handler")) {
                // The camera travels as a 16-bit number: only 0 to 15 is a camera.
                auto cam16 = static_cast<std::int16_t>(camera);
                if (cam16 >= 0 && cam16 <= 15 && !progId.empty()) {
                    CameraHandlerAssociation a;
                    a.CameraNumber = cam16;
                    a.ProgramID = progId;
                    a.SerialPort = port;
                    a.CameraAddress = static_cast<std::int16_t>(address);
                    a.MonitorNum = static_cast<std::int16_t>(monitor);
                    out.push_back(std::move(a));
                }
            } else if (mirelle::EqualsNoCase(n, "Associations")) {
                inside = false;
            }
            continue;
        }
        if (mirelle::EqualsNoCase(name, "Handler")) {
            camera = address = monitor = -1;
            progId.clear();
            port.clear();
        } else if (mirelle::EqualsNoCase(name, "CameraNumber")) {
            camera = LeadingInteger(value);
        } else if (mirelle::EqualsNoCase(name, "CameraAddress")) {
            address = LeadingInteger(value);
        } else if (mirelle::EqualsNoCase(name, "MonitorNum")) {
            monitor = LeadingInteger(value);
        } else if (mirelle::EqualsNoCase(name, "SerialPort")) {
            port = value;
        } else if (mirelle::EqualsNoCase(name, "ProgramID")) {
            progId = value;
        }
    }
    return out;
}

}  // namespace cameras
