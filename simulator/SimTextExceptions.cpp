#include "simulator/SimTextExceptions.h"

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/codepage/CodePage.h"
#include "simulator/DefinitionsText.h"

namespace host {

using nlohmann::json;

namespace {

std::string Utf8(BSTR s) { return cp::AnsiToUtf8(s ? cp::FromBstr(s) : std::string{}); }

json& Section(SimulatedUnit& unit) {
    json& s = unit.Data()["textDefinitions"];
    if (!s.is_object()) s = json::object();
    if (!s["definitions"].is_array()) s["definitions"] = json::array();
    return s;
}

// A member of the section read without adding it (null when absent): a read
// leaves the unit as it was.
const json& Member(const json& section, const char* key) {
    static const json none;
    auto it = section.find(key);
    return it != section.end() ? *it : none;
}

std::int32_t IdOf(const json& d) { return d.value("Id", -1); }

// One definition, owned by whoever created it.
class SimTextDefinition final : public SimHostObject<ITextDefinition> {
public:
    SimTextDefinition(SimulatedUnit& unit, json data = BlankDefinition()) : SimHostObject(unit), m_d(std::move(data)) {}
    const json& Data() const { return m_d; }

    HRESULT get_Name(BSTR* v) override { return Text("Name", v); }
    HRESULT put_Name(BSTR v) override { return Put("Name", Utf8(v)); }
    HRESULT get_Match(BSTR* v) override { return Text("Match", v); }
    HRESULT put_Match(BSTR v) override { return Put("Match", Utf8(v)); }
    HRESULT get_JumpCount(std::int16_t* v) override { return Number("JumpCount", v); }
    HRESULT put_JumpCount(std::int16_t v) override { return Put("JumpCount", v); }
    HRESULT get_Operator(std::int16_t* v) override { return Number("Operator", v); }
    HRESULT put_Operator(std::int16_t v) override { return Put("Operator", v); }
    HRESULT get_Forward(std::int32_t* v) override { return Number("Forward", v); }
    HRESULT put_Forward(std::int32_t v) override { return Put("Forward", v); }
    HRESULT get_IsString(std::int32_t* v) override { return Number("IsString", v); }
    HRESULT put_IsString(std::int32_t v) override { return Put("IsString", v); }
    HRESULT get_StringValue(BSTR* v) override { return Text("StringValue", v); }
    HRESULT put_StringValue(BSTR v) override { return Put("StringValue", Utf8(v)); }
    HRESULT get_Value1(double* v) override { return Number("Value1", v); }
    HRESULT put_Value1(double v) override { return Put("Value1", v); }
    HRESULT get_Value2(double* v) override { return Number("Value2", v); }
    HRESULT put_Value2(double v) override { return Put("Value2", v); }
    HRESULT Reset() override {
        std::int32_t id = IdOf(m_d);
        m_d = BlankDefinition();
        m_d["Id"] = id;  // the identifier is the list's, not the rule's
        return com::S_OK;
    }
    HRESULT get_Id(std::int32_t* v) override { return Number("Id", v); }
    HRESULT put_Id(std::int32_t v) override {
        if (v < 0 || v > 127) return com::E_INVALIDARG;
        return Put("Id", v);
    }
    HRESULT get_Description(BSTR* v) override {
        if (!v) return com::E_POINTER;
        *v = cp::ToBstr(cp::Utf8ToAnsi(DescribeDefinition(m_d)));
        return com::S_OK;
    }
    HRESULT get_IsReceipt(std::int32_t* v) override { return Number("IsReceipt", v); }
    HRESULT put_ToLastEntry(std::int32_t v) override { return Put("ToLastEntry", v); }
    HRESULT get_ToLastEntry(std::int32_t* v) override { return Number("ToLastEntry", v); }
    HRESULT put_IsReceipt(std::int32_t v) override { return Put("IsReceipt", v); }
    HRESULT put_ReceiptFlag(std::int32_t v) override { return Put("ReceiptFlag", v); }
    HRESULT put_EndMarkerFlag(std::int32_t v) override { return Put("EndMarkerFlag", v); }
    HRESULT get_BeginMarker(BSTR* v) override { return Text("BeginMarker", v); }
    HRESULT put_BeginMarker(BSTR v) override { return Put("BeginMarker", Utf8(v)); }
    HRESULT get_EndMarker(BSTR* v) override { return Text("EndMarker", v); }
    HRESULT put_EndMarker(BSTR v) override { return Put("EndMarker", Utf8(v)); }

private:
    HRESULT Text(const char* key, BSTR* v) const {
        if (!v) return com::E_POINTER;
        *v = cp::ToBstr(cp::Utf8ToAnsi(m_d.value(key, std::string{})));
        return com::S_OK;
    }
    template <class T>
    HRESULT Number(const char* key, T* v) const {
        if (!v) return com::E_POINTER;
        *v = static_cast<T>(m_d.value(key, 0.0));
        return com::S_OK;
    }
    template <class T>
    HRESULT Put(const char* key, T v) {
        m_d[key] = v;
        return com::S_OK;
    }
    json m_d;
};

// Parses definitions texts into definition objects and formats them back.
class SimDefinitionListCodec final : public SimHostObject<IDefinitionListCodec> {
public:
    using SimHostObject::SimHostObject;
    HRESULT Parse(BSTR text, std::int32_t* count) override {
        if (!count) return com::E_POINTER;
        *count = 0;
        m_parsed.clear();
        auto list = ReadDefinitionsText(text ? cp::AnsiToUtf8(cp::FromBstr(text)) : std::string{});
        if (!list) return com::E_INVALIDARG;
        if (list->empty()) return com::S_FALSE;
        for (const json& d : *list) m_parsed.push_back(d);
        *count = static_cast<std::int32_t>(m_parsed.size());
        return com::S_OK;
    }
    HRESULT GetParsed(std::int32_t index, ITextDefinition** definition) override {
        if (!definition) return com::E_POINTER;
        *definition = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= m_parsed.size()) return com::E_INVALIDARG;
        *definition = new SimTextDefinition(m_unit, m_parsed[static_cast<std::size_t>(index)]);
        (*definition)->AddRef();
        return com::S_OK;
    }
    HRESULT Format(ITextDefinition* const* definitions, std::int32_t count, BSTR* text) override {
        if (!text || (count > 0 && !definitions)) return com::E_POINTER;
        json list = json::array();
        for (std::int32_t i = 0; i < count; ++i) {
            // Only the unit's own definition objects can be written.
            auto* d = dynamic_cast<SimTextDefinition*>(definitions[i]);
            if (!d) return com::E_INVALIDARG;
            list.push_back(d->Data());
        }
        *text = cp::ToBstr(cp::Utf8ToAnsi(list.dump()));
        return com::S_OK;
    }

private:
    std::vector<json> m_parsed;
};

// The stored definitions, as the stream pages list them.
class SimTextDefinitionCollection final : public SimHostObject<ITextDefinitionCollection> {
public:
    using SimHostObject::SimHostObject;
    HRESULT get_Count(std::int16_t* count) override {
        return m_unit.Query("DefinitionCount", "", count != nullptr, [&](json&) {
            *count = static_cast<std::int16_t>(Section(m_unit)["definitions"].size());
            return com::S_OK;
        });
    }
    HRESULT Item(std::int16_t index, ITextDefinition** definition) override {
        return m_unit.Query("DefinitionItem", std::to_string(index), definition != nullptr, [&](json&) {
            *definition = nullptr;
            const json& list = Section(m_unit)["definitions"];
            if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return com::E_INVALIDARG;
            auto d = ReadDefinition(list[static_cast<std::size_t>(index)]);
            if (!d) return com::E_FAIL;
            *definition = new SimTextDefinition(m_unit, *d);
            (*definition)->AddRef();
            return com::S_OK;
        });
    }
};

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) out += (out.empty() ? "" : ",") + p;
    return out;
}

}  // namespace

HRESULT SimTextExceptionsUISupport::GetDefinitionsText(BSTR* text) {
    return m_unit.Query("GetDefinitionsText", "", text != nullptr, [&](json&) {
        *text = cp::ToBstr(cp::Utf8ToAnsi(Section(m_unit)["definitions"].dump()));
        return com::S_OK;
    });
}

HRESULT SimTextExceptionsUISupport::SetDefinitionsText(BSTR text, std::int16_t* result) {
    std::string t = text ? cp::AnsiToUtf8(cp::FromBstr(text)) : std::string{};
    if (HRESULT hr = m_unit.Enter("SetDefinitionsText", Quote(t), true); com::FAILED(hr)) return hr;
    if (!result) return com::E_POINTER;
    auto list = ReadDefinitionsText(t);
    std::lock_guard l(m_unit.DataMutex());
    if (!list) {
        *result = 1;  // not a definitions text: the stored list stays
        return com::S_OK;
    }
    Section(m_unit)["definitions"] = *list;
    *result = 0;
    return com::S_OK;
}

HRESULT SimTextExceptionsUISupport::ImportDefinitionsText(BSTR fileContent, std::int16_t* result) {
    std::string t = fileContent ? cp::AnsiToUtf8(cp::FromBstr(fileContent)) : std::string{};
    if (HRESULT hr = m_unit.Enter("ImportDefinitionsText", std::to_string(t.size()) + " bytes", true);
        com::FAILED(hr))
        return hr;
    if (!result) return com::E_POINTER;
    auto list = ReadDefinitionsText(t);
    std::lock_guard l(m_unit.DataMutex());
    if (!list) {
        *result = 1;
        return com::S_OK;
    }
    // Imported definitions are added; one whose identifier is taken gets a
    // free one, and with no identifier left the import is refused whole.
    json& stored = Section(m_unit)["definitions"];
    std::vector<bool> used(128, false);
    for (const json& d : stored) used[static_cast<std::size_t>(std::clamp(IdOf(d), 0, 127))] = true;
    json added = json::array();
    for (json d : *list) {
        std::int32_t id = IdOf(d);
        if (used[static_cast<std::size_t>(id)]) {
            auto free = std::find(used.begin(), used.end(), false);
            if (free == used.end()) {
                *result = 2;
                return com::S_OK;
            }
            id = static_cast<std::int32_t>(free - used.begin());
            d["Id"] = id;
        }
        used[static_cast<std::size_t>(id)] = true;
        added.push_back(d);
    }
    for (auto& d : added) stored.push_back(d);
    *result = 0;
    return com::S_OK;
}

HRESULT SimTextExceptionsUISupport::ExportDefinitionsText(const std::int32_t* ids, std::int32_t count, BSTR* text,
                                                          std::int32_t* reserved) {
    std::vector<std::string> idText;
    for (std::int32_t i = 0; ids && i < count; ++i) idText.push_back(std::to_string(ids[i]));
    return m_unit.Query("ExportDefinitionsText", Join(idText), text && reserved && (ids || count == 0), [&](json&) {
        json out = json::array();
        for (const json& d : Section(m_unit)["definitions"])
            for (std::int32_t i = 0; i < count; ++i)
                if (IdOf(d) == ids[i]) out.push_back(d);
        *text = cp::ToBstr(cp::Utf8ToAnsi(out.dump(1)));
        *reserved = 0;
        return com::S_OK;
    });
}

HRESULT SimTextExceptionsUISupport::GetTextStreamList(BSTR* names, BSTR* ids) {
    return m_unit.Query("GetTextStreamList", "", names && ids, [&](json& data) {
        std::vector<std::string> n, i;
        const json& own = Member(Section(m_unit), "streams");
        if (own.is_array()) {
            for (const json& s : own) {
                if (!s.is_object()) continue;
                n.push_back(cp::Utf8ToAnsi(s.value("name", std::string{})));
                i.push_back(std::to_string(s.value("id", 0)));
            }
        } else if (data.contains("textStreams") && data["textStreams"].is_object() &&
                   data["textStreams"].contains("streams") && data["textStreams"]["streams"].is_array()) {
            for (const json& s : data["textStreams"]["streams"]) {
                if (!s.is_object()) continue;
                n.push_back(cp::Utf8ToAnsi(s.value("Name", std::string{})));
                i.push_back(std::to_string(s.value("StreamId", 0)));
            }
        }
        *names = cp::ToBstr(Join(n));
        *ids = cp::ToBstr(Join(i));
        return com::S_OK;
    });
}

HRESULT SimTextExceptionsUISupport::GetTransactionData(std::int32_t mode, std::int32_t streamId, std::int32_t* pos1,
                                                       std::int32_t* pos2, std::int32_t* pos3, BSTR* piece,
                                                       std::int32_t* count) {
    std::string args = std::to_string(mode) + " " + std::to_string(streamId);
    return m_unit.Query("GetTransactionData", args, pos1 && pos2 && pos3 && piece && count, [&](json&) {
        // The first position is the index of the next piece; the others are
        // carried back as given.
        const json& t = Member(Section(m_unit), "transactions");
        std::string key = std::to_string(streamId);
        const json* pieces = t.is_object() && t.contains(key) && t[key].is_array() ? &t[key] : nullptr;
        *piece = nullptr;
        *count = 0;
        if (!pieces || *pos1 < 0 || static_cast<std::size_t>(*pos1) >= pieces->size()) {
            *piece = cp::ToBstr("");
            return com::S_OK;
        }
        const json& p = (*pieces)[static_cast<std::size_t>(*pos1)];
        std::string text = p.is_string() ? cp::Utf8ToAnsi(p.get<std::string>()) : std::string{};
        *piece = cp::ToBstr(text);
        *count = static_cast<std::int32_t>(text.size());
        ++*pos1;
        return com::S_OK;
    });
}

HRESULT SimTextExceptionsUISupport::IsDefinitionInUse(std::int32_t id, std::int16_t* inUse) {
    return m_unit.Query("IsDefinitionInUse", std::to_string(id), inUse != nullptr, [&](json&) {
        const json& u = Member(Section(m_unit), "inUse");
        bool used = u.is_array() && std::find(u.begin(), u.end(), json(id)) != u.end();
        *inUse = used ? -1 : 0;
        return com::S_OK;
    });
}

void RegisterTextDefinitionHostClasses(SimulatedUnit& unit) {
    unit.AddHostClass(CLSID_TextDefinition, [](SimulatedUnit& u) -> com::IUnknown* { return new SimTextDefinition(u); });
    unit.AddHostClass(CLSID_DefinitionListCodec,
                      [](SimulatedUnit& u) -> com::IUnknown* { return new SimDefinitionListCodec(u); });
    unit.AddHostClass(CLSID_TextDefinitionCollection,
                      [](SimulatedUnit& u) -> com::IUnknown* { return new SimTextDefinitionCollection(u); });
}

}  // namespace host
