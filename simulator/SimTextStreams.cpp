#include "simulator/SimTextStreams.h"

#include <algorithm>

#include "simulator/SimTextExceptions.h"

#include "simulator/UnitData.h"
#include "platform/codepage/CodePage.h"

namespace host {

HRESULT SimTextStreamsUISupport::QueryInterface(const com::IID& iid, void** ppv) {
    if (ppv && iid == ITextExceptionsUISupport::IID_ && m_unit.TextExceptionsUISupport())
        return m_unit.TextExceptionsUISupport()->QueryInterface(iid, ppv);
    return SimObject::QueryInterface(iid, ppv);
}

namespace {
using json = nlohmann::json;

// A text entry of the text stream section ("" when absent or not text).
std::string SectionText(const json& data, const char* key) {
    auto s = data.find("textStreams");
    if (s == data.end() || !s->is_object()) return {};
    auto it = s->find(key);
    return it != s->end() && it->is_string() ? cp::Utf8ToAnsi(it->get<std::string>()) : std::string{};
}
}  // namespace

HRESULT SimTextStreamsUISupport::GetAvailableComPorts(BSTR* ports) {
    return m_unit.Query("GetAvailableComPorts", "", ports, [&](const json& data) {
        *ports = cp::ToBstr(SectionText(data, "availableComPorts"));
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::GetUsedTextIPPorts(BSTR* ports) {
    // The ports of the TCP/IP streams the unit holds, each once, in stream
    // order: a stream created or changed is counted at once.
    return m_unit.Query("GetUsedTextIPPorts", "", ports, [&](const json& data) {
        std::vector<std::int32_t> used;
        auto s = data.find("textStreams");
        if (s != data.end() && s->is_object() && s->contains("streams") && (*s)["streams"].is_array())
            for (const json& stream : (*s)["streams"]) {
                if (!stream.is_object() || JsonInt<std::int32_t>(stream, "ConnectionType", 0) != 2) continue;
                const auto port = JsonInt<std::int32_t>(stream, "IpPort", -1);
                if (port >= 0 && std::find(used.begin(), used.end(), port) == used.end()) used.push_back(port);
            }
        std::string text;
        for (auto port : used) text += (text.empty() ? "" : ",") + std::to_string(port);
        *ports = cp::ToBstr(text);
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::GetNetworkIdentity(BSTR* networkName, BSTR* ipAddress) {
    if (HRESULT hr = m_unit.Enter("GetNetworkIdentity", "", false); com::FAILED(hr)) return hr;
    if (!networkName || !ipAddress) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *networkName = cp::ToBstr(SectionText(m_unit.Data(), "networkName"));
    *ipAddress = cp::ToBstr(SectionText(m_unit.Data(), "ipAddress"));
    return com::S_OK;
}

namespace {

json& Section(SimulatedUnit& unit) {
    json& s = unit.Data()["textStreams"];
    if (!s.is_object()) s = json::object();
    if (!s["streams"].is_array()) s["streams"] = json::array();
    return s;
}

json* Stream(SimulatedUnit& unit, std::int32_t index) {
    json& list = Section(unit)["streams"];
    if (index < 0 || static_cast<std::size_t>(index) >= list.size() || !list[static_cast<std::size_t>(index)].is_object())
        return nullptr;
    return &list[static_cast<std::size_t>(index)];
}

std::string Text(BSTR s) { return s ? cp::FromBstr(s) : std::string{}; }


std::string StringField(const json& o, const char* key) {
    auto it = o.find(key);
    return it != o.end() && it->is_string() ? cp::Utf8ToAnsi(it->get<std::string>()) : std::string{};
}

// The names of a list of objects, joined with ",".
std::string Names(const json& list) {
    std::string out;
    if (!list.is_array()) return out;
    for (const json& e : list)
        if (e.is_object()) out += (out.empty() ? "" : ",") + StringField(e, "name");
    return out;
}

const json* Named(const json& list, const std::string& name) {
    if (!list.is_array()) return nullptr;
    for (const json& e : list)
        if (e.is_object() && StringField(e, "name") == name) return &e;
    return nullptr;
}

std::string FieldsArgs(const TextStreamFields& f) {
    return Quote(Text(f.Name)) + " " + std::to_string(f.StreamId) + " " + Quote(Text(f.ConnectionName)) + " " +
           Quote(Text(f.HandlerName)) + " " + std::to_string(f.ComPort) + " " + std::to_string(f.BaudRate) + " " +
           std::to_string(f.DataBits) + " " + std::to_string(f.Parity) + " " + std::to_string(f.StopBits) + " " +
           std::to_string(f.FlowControl) + " " + std::to_string(f.CameraMask) + " " +
           std::to_string(f.ShowCustomerEntries) + " " + std::to_string(f.ShowJournalEntries) + " " +
           std::to_string(f.ApplyExceptionsAsGroup) + " " + Quote(Text(f.EndOfLine)) + " " +
           std::to_string(f.ConnectionType) + " " + std::to_string(f.IpPort);
}

}  // namespace

HRESULT SimTextStreamsUISupport::GetStreamCount(std::int16_t* count) {
    return m_unit.Query("GetStreamCount", "", count != nullptr, [&](json&) {
        *count = static_cast<std::int16_t>(Section(m_unit)["streams"].size());
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::GetStream(std::int32_t index, TextStreamFields* f) {
    return m_unit.Query("GetStream", std::to_string(index), f != nullptr, [&](json&) {
        const json* s = Stream(m_unit, index);
        if (!s) return com::E_INVALIDARG;
        f->Name = cp::ToBstr(StringField(*s, "Name"));
        f->StreamId = JsonInt<std::int32_t>(*s, "StreamId", -1);
        f->ConnectionName = cp::ToBstr(StringField(*s, "ConnectionName"));
        f->HandlerName = cp::ToBstr(StringField(*s, "HandlerName"));
        f->ComPort = JsonInt<std::int16_t>(*s, "ComPort", -1);
        f->BaudRate = JsonInt<std::int32_t>(*s, "BaudRate", 9600);
        f->DataBits = JsonInt<std::int16_t>(*s, "DataBits", 8);
        f->Parity = JsonInt<std::int16_t>(*s, "Parity", 0);
        f->StopBits = JsonInt<std::int16_t>(*s, "StopBits", 0);
        f->FlowControl = JsonInt<std::int16_t>(*s, "FlowControl", 2);
        f->CameraMask = JsonInt<std::int32_t>(*s, "CameraMask", 0);
        f->ShowCustomerEntries = JsonInt<std::int32_t>(*s, "ShowCustomerEntries", 0);
        f->ShowJournalEntries = JsonInt<std::int32_t>(*s, "ShowJournalEntries", 0);
        f->ApplyExceptionsAsGroup = JsonInt<std::int32_t>(*s, "ApplyExceptionsAsGroup", 0);
        f->EndOfLine = cp::ToBstr(StringField(*s, "EndOfLine"));
        f->ConnectionType = JsonInt<std::int32_t>(*s, "ConnectionType", 0);
        f->IpPort = JsonInt<std::int32_t>(*s, "IpPort", -1);
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::UpdateStream(std::int32_t index, const TextStreamFields* f, std::int32_t zero) {
    if (!f) {
        if (HRESULT hr = m_unit.Enter("UpdateStream", std::to_string(index), true); com::FAILED(hr)) return hr;
        return com::E_POINTER;
    }
    if (HRESULT hr = m_unit.Enter("UpdateStream", std::to_string(index) + " " + FieldsArgs(*f) + " " +
                                                      std::to_string(zero),
                                  true);
        com::FAILED(hr))
        return hr;
    std::lock_guard l(m_unit.DataMutex());
    json* s = Stream(m_unit, index);
    if (!s) return com::E_INVALIDARG;
    auto str = [](BSTR b) { return cp::AnsiToUtf8(Text(b)); };
    std::int32_t id = JsonInt<std::int32_t>(*s, "StreamId", f->StreamId);  // the host's identifier stays
    *s = json{{"Name", str(f->Name)},
              {"StreamId", id},
              {"ConnectionName", str(f->ConnectionName)},
              {"HandlerName", str(f->HandlerName)},
              {"ComPort", f->ComPort},
              {"BaudRate", f->BaudRate},
              {"DataBits", f->DataBits},
              {"Parity", f->Parity},
              {"StopBits", f->StopBits},
              {"FlowControl", f->FlowControl},
              {"CameraMask", f->CameraMask},
              {"ShowCustomerEntries", f->ShowCustomerEntries},
              {"ShowJournalEntries", f->ShowJournalEntries},
              {"ApplyExceptionsAsGroup", f->ApplyExceptionsAsGroup},
              {"EndOfLine", str(f->EndOfLine)},
              {"ConnectionType", f->ConnectionType},
              {"IpPort", f->IpPort}};
    return com::S_OK;
}

HRESULT SimTextStreamsUISupport::DeleteStream(std::int32_t index, std::int32_t zero) {
    if (HRESULT hr = m_unit.Enter("DeleteStream", std::to_string(index) + " " + std::to_string(zero), true);
        com::FAILED(hr))
        return hr;
    std::lock_guard l(m_unit.DataMutex());
    if (!Stream(m_unit, index)) return com::E_INVALIDARG;
    json& list = Section(m_unit)["streams"];
    list.erase(list.begin() + index);
    return com::S_OK;
}

HRESULT SimTextStreamsUISupport::CreateStream(std::int16_t comPort, std::int32_t* index, std::int32_t* streamId,
                                              BSTR* connectionName, BSTR* handlerName, std::int32_t zero) {
    std::string conn = connectionName ? Text(*connectionName) : std::string{};
    std::string handler = handlerName ? Text(*handlerName) : std::string{};
    if (HRESULT hr = m_unit.Enter("CreateStream", std::to_string(comPort) + " " + Quote(conn) + " " + Quote(handler) +
                                                      " " + std::to_string(zero),
                                  true);
        com::FAILED(hr))
        return hr;
    if (!index || !streamId || !connectionName || !handlerName) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    json& sec = Section(m_unit);
    if (sec.value("createRefused", false)) return m_unit.Refuse(com::S_FALSE);
    json& list = sec["streams"];
    std::int32_t id = 0;
    for (const json& s : list)
        if (s.is_object()) id = std::max(id, JsonInt<std::int32_t>(s, "StreamId", -1) + 1);
    // The host stores names as it lists them: an unknown handler or
    // connection name becomes the first one it has.
    if (!Named(sec["handlers"], handler) && sec["handlers"].is_array() && !sec["handlers"].empty())
        handler = StringField(sec["handlers"][0], "name");
    if (!Named(sec["connectionTypes"], conn) && sec["connectionTypes"].is_array() && !sec["connectionTypes"].empty())
        conn = StringField(sec["connectionTypes"][0], "name");
    list.push_back({{"Name", ""}, {"StreamId", id}, {"ConnectionName", cp::AnsiToUtf8(conn)},
                    {"HandlerName", cp::AnsiToUtf8(handler)}, {"ComPort", comPort}});
    *index = static_cast<std::int32_t>(list.size()) - 1;
    *streamId = id;
    com::SysFreeString(*connectionName);
    com::SysFreeString(*handlerName);
    *connectionName = cp::ToBstr(conn);
    *handlerName = cp::ToBstr(handler);
    return com::S_OK;
}

HRESULT SimTextStreamsUISupport::GetStreamDefinitions(std::int32_t streamId, BSTR* ids) {
    return m_unit.Query("GetStreamDefinitions", std::to_string(streamId), ids != nullptr, [&](json&) {
        const json& d = Section(m_unit)["definitions"];
        std::string key = std::to_string(streamId);
        *ids = cp::ToBstr(d.is_object() && d.contains(key) && d[key].is_string() ? d[key].get<std::string>() : "");
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::SetStreamDefinitions(std::int32_t streamId, BSTR ids) {
    std::string list = Text(ids);
    if (HRESULT hr = m_unit.Enter("SetStreamDefinitions", std::to_string(streamId) + " " + Quote(list), true);
        com::FAILED(hr))
        return hr;
    std::lock_guard l(m_unit.DataMutex());
    json& d = Section(m_unit)["definitions"];
    if (!d.is_object()) d = json::object();
    d[std::to_string(streamId)] = list;
    return com::S_OK;
}

HRESULT SimTextStreamsUISupport::GetHandlerNames(BSTR* names) {
    return m_unit.Query("GetHandlerNames", "", names != nullptr, [&](json&) {
        *names = cp::ToBstr(Names(Section(m_unit)["handlers"]));
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::GetHandlerInfo(BSTR name, std::int16_t* kind, std::int16_t* hasSetup) {
    return m_unit.Query("GetHandlerInfo", Quote(Text(name)), kind && hasSetup, [&](json&) {
        const json* h = Named(Section(m_unit)["handlers"], Text(name));
        if (!h) return com::E_INVALIDARG;
        *kind = JsonInt<std::int16_t>(*h, "kind", 0);
        *hasSetup = JsonInt<std::int16_t>(*h, "hasSetup", 0);
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::GetConnectionTypeInfo(BSTR name, std::int32_t* type, std::int32_t* flag) {
    return m_unit.Query("GetConnectionTypeInfo", Quote(Text(name)), type && flag, [&](json&) {
        const json* c = Named(Section(m_unit)["connectionTypes"], Text(name));
        if (!c) return com::E_INVALIDARG;
        *type = JsonInt<std::int32_t>(*c, "type", 0);
        *flag = JsonInt<std::int32_t>(*c, "flag", 0);
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::GetConnectionTypeNames(BSTR* names) {
    return m_unit.Query("GetConnectionTypeNames", "", names != nullptr, [&](json&) {
        *names = cp::ToBstr(Names(Section(m_unit)["connectionTypes"]));
        return com::S_OK;
    });
}

void RegisterTextStreamHostClasses(SimulatedUnit& unit) { RegisterTextDefinitionHostClasses(unit); }

}  // namespace host
