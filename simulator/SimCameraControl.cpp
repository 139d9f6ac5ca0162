// ICameraControlUISupport over the unit's handler and camera data, and the
// host objects of the camera setup created by class identifier.
#include "simulator/SimCameraControl.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <pugixml.hpp>

#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "platform/registry/Registry.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TemplateBuilders.h"

namespace host {

using nlohmann::json;

namespace camdata {

namespace {
bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
bool NamedNoCase(const pugi::xml_node& node, const char* name) { return SameNoCase(node.name(), name); }
}  // namespace

// The host reads the association text with an XML library of its own, as a
// real unit would: every Handler element, at any depth, with its children.
std::vector<Association> ParseAssociations(const std::string& xml) {
    std::vector<Association> out;
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size())) return out;
    auto number = [](const pugi::xml_node& n) { return static_cast<int>(std::strtol(n.child_value(), nullptr, 10)); };
    struct Walker : pugi::xml_tree_walker {
        std::vector<pugi::xml_node> handlers;
        bool for_each(pugi::xml_node& n) override {
            if (n.type() == pugi::node_element && NamedNoCase(n, "Handler")) handlers.push_back(n);
            return true;
        }
    } walker;
    doc.traverse(walker);
    for (const auto& h : walker.handlers) {
        Association cur;
        for (auto c = h.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            if (NamedNoCase(c, "CameraNumber"))
                cur.camera = number(c);
            else if (NamedNoCase(c, "ProgramID"))
                cur.progId = c.child_value();
            else if (NamedNoCase(c, "CameraAddress"))
                cur.address = number(c);
            else if (NamedNoCase(c, "SerialPort"))
                cur.port = c.child_value();
            else if (NamedNoCase(c, "MonitorNum"))
                cur.monitor = number(c);
        }
        if (cur.camera >= 0 && cur.camera < 16 && !cur.progId.empty()) out.push_back(cur);
    }
    return out;
}

std::string WriteAssociations(const std::vector<Association>& list) {
    std::string s = "<CameraControl>\r\n\t<Associations>\r\n";
    for (const auto& a : list) {
        s += "\t\t<Handler>\r\n";
        s += "\t\t\t<CameraNumber>" + std::to_string(a.camera) + "</CameraNumber>\r\n";
        s += "\t\t\t<ProgramID>" + a.progId + "</ProgramID>\r\n";
        if (a.address > 0) s += "\t\t\t<CameraAddress>" + std::to_string(a.address) + "</CameraAddress>\r\n";
        if (!a.port.empty()) s += "\t\t\t<SerialPort>" + a.port + "</SerialPort>\r\n";
        s += "\t\t\t<MonitorNum>" + std::to_string(a.monitor) + "</MonitorNum>\r\n";
        s += "\t\t</Handler>\r\n";
    }
    return s + "\t</Associations>\r\n</CameraControl>\r\n";
}

int FindHandler(const json& data, const std::string& progId) {
    auto it = data.find("handlers");
    if (it == data.end() || !it->is_array()) return -1;
    for (size_t i = 0; i < it->size(); ++i) {
        const auto& h = (*it)[i];
        if (h.is_object() && h.contains("progId") && h["progId"].is_string() &&
            SameNoCase(cp::Utf8ToAnsi(h["progId"].get<std::string>()), progId))
            return static_cast<int>(i);
    }
    return -1;
}

bool HandlerDefaults(const json& data, const std::string& progId, std::string& port, int& monitor) {
    int i = FindHandler(data, progId);
    if (i < 0) return false;
    const auto& h = data["handlers"][static_cast<size_t>(i)];
    port = h.contains("defaultPort") && h["defaultPort"].is_string() ? cp::Utf8ToAnsi(h["defaultPort"].get<std::string>())
                                                                     : "";
    monitor = h.contains("defaultMonitor") && h["defaultMonitor"].is_number_integer() ? h["defaultMonitor"].get<int>()
                                                                                       : -1;
    return true;
}

}  // namespace camdata

namespace {

std::string Text(const json& data, const char* key) {
    auto it = data.find(key);
    return it != data.end() && it->is_string() ? cp::Utf8ToAnsi(it->get<std::string>()) : std::string{};
}

json& Handlers(json& data) {
    auto& h = data["handlers"];
    if (!h.is_array()) h = json::array();
    return h;
}

std::string HandlerField(const json& h, const char* key) {
    return h.is_object() && h.contains(key) && h[key].is_string() ? cp::Utf8ToAnsi(h[key].get<std::string>())
                                                                  : std::string{};
}

std::vector<camdata::Association> Stored(const json& data) {
    return camdata::ParseAssociations(Text(data, "cameraControlXml"));
}

void Store(json& data, const std::vector<camdata::Association>& list) {
    data["cameraControlXml"] = cp::AnsiToUtf8(camdata::WriteAssociations(list));
}

camdata::Association* ForCamera(std::vector<camdata::Association>& list, int camera) {
    for (auto& a : list)
        if (a.camera == camera) return &a;
    return nullptr;
}

}  // namespace

HRESULT SimCameraControlUISupport::GetHandlerCount(std::int32_t* count) {
    if (HRESULT hr = m_unit.Enter("GetHandlerCount", "", false); com::FAILED(hr)) return hr;
    if (!count) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *count = static_cast<std::int32_t>(Handlers(m_unit.Data()).size());
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::GetHandler(std::int32_t index, BSTR* displayName, BSTR* progId) {
    if (HRESULT hr = m_unit.Enter("GetHandler", std::to_string(index), false); com::FAILED(hr)) return hr;
    if (!displayName || !progId) return com::E_POINTER;
    *displayName = *progId = nullptr;
    std::lock_guard l(m_unit.DataMutex());
    const auto& h = Handlers(m_unit.Data());
    if (index < 0 || index >= static_cast<int>(h.size())) return com::E_INVALIDARG;
    const auto& e = h[static_cast<size_t>(index)];
    // An entry without a name is known to the host but not usable.
    if (!e.is_object() || HandlerField(e, "progId").empty()) return com::S_FALSE;
    *displayName = cp::ToBstr(HandlerField(e, "displayName"));
    *progId = cp::ToBstr(HandlerField(e, "progId"));
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::GetCameraControlXml(BSTR* xml) {
    if (HRESULT hr = m_unit.Enter("GetCameraControlXml", "", false); com::FAILED(hr)) return hr;
    if (!xml) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *xml = cp::ToBstr(Text(m_unit.Data(), "cameraControlXml"));
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::SetCameraControlXml(BSTR xml) {
    if (HRESULT hr = m_unit.Enter("SetCameraControlXml", ArgText(xml), true); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    m_unit.Data()["cameraControlXml"] = cp::AnsiToUtf8(cp::FromBstr(xml));
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::GetHandlerDefaults(BSTR progId, BSTR* serialPort, std::int16_t* monitor) {
    if (HRESULT hr = m_unit.Enter("GetHandlerDefaults", ArgText(progId), false); com::FAILED(hr)) return hr;
    if (!serialPort || !monitor) return com::E_POINTER;
    *serialPort = nullptr;
    std::lock_guard l(m_unit.DataMutex());
    std::string port;
    int mon = -1;
    if (!camdata::HandlerDefaults(m_unit.Data(), cp::FromBstr(progId), port, mon)) return com::E_INVALIDARG;
    *serialPort = port.empty() ? nullptr : cp::ToBstr(port);
    *monitor = static_cast<std::int16_t>(mon);
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::GetSerialPorts(BSTR* ports) {
    if (HRESULT hr = m_unit.Enter("GetSerialPorts", "", false); com::FAILED(hr)) return hr;
    if (!ports) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *ports = cp::ToBstr(Text(m_unit.Data(), "serialPorts"));
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::GetCameraSettings(std::int32_t camera, std::int16_t* address, BSTR* serialPort,
                                                     std::int16_t* monitor) {
    if (HRESULT hr = m_unit.Enter("GetCameraSettings", std::to_string(camera), false); com::FAILED(hr)) return hr;
    if (!address || !serialPort || !monitor) return com::E_POINTER;
    *address = -1;
    *monitor = -1;
    *serialPort = nullptr;
    std::lock_guard l(m_unit.DataMutex());
    auto list = Stored(m_unit.Data());
    const auto* a = ForCamera(list, camera);
    if (!a) return com::S_FALSE;  // no settings for a camera without a handler
    *address = static_cast<std::int16_t>(a->address);
    *monitor = static_cast<std::int16_t>(a->monitor);
    *serialPort = a->port.empty() ? nullptr : cp::ToBstr(a->port);
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::GetCameraHandler(std::int32_t camera, std::int32_t* handlerIndex) {
    if (HRESULT hr = m_unit.Enter("GetCameraHandler", std::to_string(camera), false); com::FAILED(hr)) return hr;
    if (!handlerIndex) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    auto list = Stored(m_unit.Data());
    const auto* a = ForCamera(list, camera);
    *handlerIndex = a ? camdata::FindHandler(m_unit.Data(), a->progId) : -1;
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::SetCameraHandler(std::int32_t camera, std::int32_t handlerIndex) {
    if (HRESULT hr = m_unit.Enter("SetCameraHandler", std::to_string(camera) + " " + std::to_string(handlerIndex), true);
        com::FAILED(hr))
        return hr;
    std::lock_guard l(m_unit.DataMutex());
    auto& data = m_unit.Data();
    const auto& h = Handlers(data);
    if (camera < 0 || camera > 15 || handlerIndex < 0 || handlerIndex >= static_cast<int>(h.size()))
        return com::E_INVALIDARG;
    auto list = Stored(data);
    auto* a = ForCamera(list, camera);
    if (!a) {
        list.push_back({});
        a = &list.back();
        a->camera = camera;
    }
    a->progId = HandlerField(h[static_cast<size_t>(handlerIndex)], "progId");
    Store(data, list);
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::SetCameraSettings(std::int32_t camera, std::int16_t address, BSTR serialPort,
                                                     std::int16_t monitor, std::int32_t zero) {
    if (HRESULT hr = m_unit.Enter("SetCameraSettings",
                                  std::to_string(camera) + " " + std::to_string(address) + " " + ArgText(serialPort) +
                                      " " + std::to_string(monitor) + " " + std::to_string(zero),
                                  true);
        com::FAILED(hr))
        return hr;
    std::lock_guard l(m_unit.DataMutex());
    auto list = Stored(m_unit.Data());
    auto* a = ForCamera(list, camera);
    if (!a) return com::E_INVALIDARG;  // settings belong to a camera with a handler
    a->address = address;
    a->port = cp::FromBstr(serialPort);
    a->monitor = monitor;
    Store(m_unit.Data(), list);
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::ClearCameraHandler(std::int32_t camera) {
    if (HRESULT hr = m_unit.Enter("ClearCameraHandler", std::to_string(camera), true); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    auto list = Stored(m_unit.Data());
    std::erase_if(list, [&](const camdata::Association& a) { return a.camera == camera; });
    Store(m_unit.Data(), list);
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::CommitCameraHandlers(std::int32_t zero) {
    return m_unit.Enter("CommitCameraHandlers", std::to_string(zero), true);
}

HRESULT SimCameraControlUISupport::StoreXMLCameraHandlerDefinition(BSTR definition, BSTR* progId) {
    if (HRESULT hr = m_unit.Enter("StoreXMLCameraHandlerDefinition",
                                  ArgText(definition) + " " + (progId ? ArgText(*progId) : std::string("null")), true);
        com::FAILED(hr))
        return hr;
    if (!progId) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    auto& data = m_unit.Data();
    auto& defs = data["userHandlerDefinitions"];
    if (!defs.is_object()) defs = json::object();
    std::string id = cp::FromBstr(*progId);
    if (id.empty()) {
        // A new handler gets the next free ProgID of the XML handler component.
        for (int n = 1;; ++n) {
            id = "QllnXmlCameraHandler.User" + std::to_string(n);
            if (!defs.contains(id) && camdata::FindHandler(data, id) < 0) break;
        }
        com::SysFreeString(*progId);
        *progId = cp::ToBstr(id);
    }
    defs[cp::AnsiToUtf8(id)] = cp::AnsiToUtf8(cp::FromBstr(definition));
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::RegisterCameraHandler(BSTR displayName, BSTR progId, std::int32_t* reserved) {
    if (HRESULT hr = m_unit.Enter("RegisterCameraHandler", ArgText(displayName) + " " + ArgText(progId), true);
        com::FAILED(hr))
        return hr;
    if (reserved) *reserved = 0;
    const std::string id = cp::FromBstr(progId);
    if (id.empty()) return com::E_INVALIDARG;
    std::lock_guard l(m_unit.DataMutex());
    auto& data = m_unit.Data();
    const std::string name = cp::AnsiToUtf8(cp::FromBstr(displayName));
    int i = camdata::FindHandler(data, id);
    if (i >= 0)
        Handlers(data)[static_cast<size_t>(i)]["displayName"] = name;
    else
        Handlers(data).push_back({{"displayName", name}, {"progId", cp::AnsiToUtf8(id)}});
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::RefreshCameraHandler(std::int32_t camera) {
    return m_unit.Enter("RefreshCameraHandler", std::to_string(camera), true);
}

HRESULT SimCameraControlUISupport::UnregisterCameraHandler(BSTR progId) {
    if (HRESULT hr = m_unit.Enter("UnregisterCameraHandler", ArgText(progId), true); com::FAILED(hr)) return hr;
    std::lock_guard l(m_unit.DataMutex());
    auto& data = m_unit.Data();
    int i = camdata::FindHandler(data, cp::FromBstr(progId));
    if (i < 0) return com::E_INVALIDARG;
    Handlers(data).erase(static_cast<size_t>(i));
    return com::S_OK;
}

HRESULT SimCameraControlUISupport::DeleteXMLCameraHandlerDefinition(BSTR progId) {
    if (HRESULT hr = m_unit.Enter("DeleteXMLCameraHandlerDefinition", ArgText(progId), true); com::FAILED(hr))
        return hr;
    std::lock_guard l(m_unit.DataMutex());
    auto& defs = m_unit.Data()["userHandlerDefinitions"];
    const std::string id = cp::AnsiToUtf8(cp::FromBstr(progId));
    if (!defs.is_object() || !defs.contains(id)) return com::E_INVALIDARG;
    defs.erase(id);
    return com::S_OK;
}

// ---- host objects created by class identifier ------------------------------------

namespace {

class HostCameraControlObject final : public SimHostObject<IHostCameraControlObject> {
public:
    using SimHostObject::SimHostObject;
    HRESULT GetHandlerDefaults(BSTR progId, BSTR* serialPort, std::int16_t* monitor, std::int32_t* result) override {
        if (HRESULT hr = m_unit.Enter("HostCameraControlObject.GetHandlerDefaults", ArgText(progId), false);
            com::FAILED(hr))
            return hr;
        if (!serialPort || !monitor || !result) return com::E_POINTER;
        *serialPort = nullptr;
        std::lock_guard l(m_unit.DataMutex());
        std::string port;
        int mon = -1;
        *result = camdata::HandlerDefaults(m_unit.Data(), cp::FromBstr(progId), port, mon) ? 1 : 0;
        if (*result == 1) {
            *serialPort = port.empty() ? nullptr : cp::ToBstr(port);
            *monitor = static_cast<std::int16_t>(mon);
        }
        return com::S_OK;
    }
};

// Reads a handler definition file: its DisplayName element names the handler.
class XmlCameraHandler final : public SimHostObject<IXmlCameraHandler> {
public:
    using SimHostObject::SimHostObject;
    HRESULT ReadDefinitionFile(BSTR path, BSTR* text, VARIANT_BOOL* ok) override {
        if (HRESULT hr = m_unit.Enter("XmlCameraHandler.ReadDefinitionFile", ArgText(path), false); com::FAILED(hr))
            return hr;
        if (!text || !ok) return com::E_POINTER;
        const std::string file = cp::FromBstr(path);
        std::ifstream in(file, std::ios::binary);
        if (!in) return Answer(text, ok, false, "Cannot open " + file + ".");
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string content = ss.str();
        pugi::xml_document doc;
        const bool parsed = static_cast<bool>(doc.load_buffer(content.data(), content.size()));
        pugi::xml_node rootNode = parsed ? doc.document_element() : pugi::xml_node{};
        const bool root = rootNode && std::string_view(rootNode.name()) == "CameraHandler";
        if (root) {
            pugi::xml_node name = rootNode.find_node(
                [](const pugi::xml_node& n) { return std::string_view(n.name()) == "DisplayName"; });
            if (name) {
                std::string value = name.child_value();
                if (value.empty()) return Answer(text, ok, false, "The DisplayName element is empty.");
                return Answer(text, ok, true, value);
            }
        }
        return Answer(text, ok, false, root ? "The definition has no DisplayName element."
                                            : "The file is not a camera handler definition.");
    }

private:
    static HRESULT Answer(BSTR* text, VARIANT_BOOL* ok, bool good, const std::string& t) {
        *text = cp::ToBstr(t);
        *ok = good ? -1 : 0;
        return com::S_OK;
    }
};

// The host's file browser: a modal "Browse for File" dialog with a path
// field (template 9305, field 9302) that the operator or a script fills in.
class HostFileBrowser final : public SimHostObject<IHostFileBrowser> {
public:
    using SimHostObject::SimHostObject;
    HRESULT SetFileDefaults(std::int32_t a, std::int32_t b, BSTR ext, BSTR name) override {
        if (HRESULT hr = m_unit.Enter("HostFileBrowser.SetFileDefaults",
                                      std::to_string(a) + " " + std::to_string(b) + " " + ArgText(ext) + " " +
                                          ArgText(name),
                                      false);
            com::FAILED(hr))
            return hr;
        m_name = cp::FromBstr(name);
        return com::S_OK;
    }
    HRESULT SetFileMustExist(std::int32_t mustExist) override {
        if (HRESULT hr = m_unit.Enter("HostFileBrowser.SetFileMustExist", std::to_string(mustExist), false);
            com::FAILED(hr))
            return hr;
        m_mustExist = mustExist != 0;
        return com::S_OK;
    }
    HRESULT BrowseForFile(std::int32_t a, std::int32_t b, std::int32_t c, BSTR* path) override {
        if (HRESULT hr = m_unit.Enter("HostFileBrowser.BrowseForFile",
                                      std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c), false);
            com::FAILED(hr))
            return hr;
        if (!path) return com::E_POINTER;
        *path = nullptr;
        Browser dlg(m_name, m_mustExist);
        if (dlg.DoModal() != 1) return com::S_FALSE;
        *path = cp::ToBstr(dlg.chosen);
        return com::S_OK;
    }

private:
    static constexpr int kTemplate = 9305, kPath = 9302;
    class Browser : public ui::Dialog {
    public:
        Browser(std::string initial, bool mustExist)
            : ui::Dialog(kTemplate, nullptr), m_initial(std::move(initial)), m_mustExist(mustExist) {}
        std::string chosen;

    protected:
        bool OnInitDialog() override {
            SetItemText(kPath, m_initial);
            return true;
        }
        void OnOK() override {
            std::string p = GetItemText(kPath);
            if (p.empty() || p.find_first_of("*?") != std::string::npos) return;
            if (m_mustExist && !std::ifstream(p)) {
                // Said, as the platform's file dialog says it, rather than an
                // OK that does nothing.
                ui::ShowMessageBox(this, p + "\nFile not found.\nCheck the file name and try again.",
                                   "Browse for File", ui::MB_OK | ui::MB_ICONEXCLAMATION);
                SetFocus(kPath);
                return;
            }
            chosen = p;
            EndDialog(1);
        }

    private:
        std::string m_initial;
        bool m_mustExist;
    };
    std::string m_name;
    bool m_mustExist = false;
};

}  // namespace

namespace {
// The host's own dialogs: the file browser.
const ui::DialogTemplate* HostTemplate(int id) {
    using namespace ui::tpl;
    static const ui::DialogTemplate browser =
        Dlg(9305, "Browse for File", 260, 70,
            {Static(9301, "File name:", 10, 12, 50), Edit(9302, 62, 10, 188, 260), Button(1, "OK", 140, 44),
             Button(2, "Cancel", 200, 44)});
    return id == browser.id ? &browser : nullptr;
}
}  // namespace

void RegisterCameraHostClasses(SimulatedUnit& unit) {
    ui::AddTemplateProvider("simulator", &HostTemplate);
    unit.AddHostClass(CLSID_HostCameraControlObject,
                      [](SimulatedUnit& u) -> com::IUnknown* { return new HostCameraControlObject(u); });
    unit.AddHostClass(CLSID_XmlCameraHandler, [](SimulatedUnit& u) -> com::IUnknown* { return new XmlCameraHandler(u); });
    unit.AddHostClass(CLSID_HostFileBrowser, [](SimulatedUnit& u) -> com::IUnknown* { return new HostFileBrowser(u); });
    // The XML camera handler component is found by its ProgID, as installed.
    reg::SetString(reg::HKEY_CLASSES_ROOT, std::string(kXmlCameraHandlerProgId) + "\\CLSID", "",
                   com::GuidToString(CLSID_XmlCameraHandler));
}

}  // namespace host
