#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <new>

#include "platform/com/ClassTable.h"
#include "platform/com/Hresult.h"
#include "platform/com/Unknown.h"

namespace com {

std::string HresultText(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
    return buf;
}

ComError::ComError(HRESULT hr, const GUID& iid)
    : std::runtime_error("COM error " + HresultText(hr)), m_hr(hr), m_iid(iid) {}

std::string GuidToString(const GUID& g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                  g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return buf;
}

std::optional<GUID> GuidFromString(std::string_view t) {
    if (t.size() != 38 || t.front() != '{' || t.back() != '}') return std::nullopt;
    auto hex = [&](size_t pos, size_t n, std::uint64_t& out) {
        out = 0;
        for (size_t i = 0; i < n; ++i) {
            char c = t[pos + i];
            int v = (c >= '0' && c <= '9') ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
            if (v < 0) return false;
            out = out * 16 + static_cast<unsigned>(v);
        }
        return true;
    };
    if (t[9] != '-' || t[14] != '-' || t[19] != '-' || t[24] != '-') return std::nullopt;
    GUID g;
    std::uint64_t v;
    if (!hex(1, 8, v)) return std::nullopt;
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!hex(10, 4, v)) return std::nullopt;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!hex(15, 4, v)) return std::nullopt;
    g.Data3 = static_cast<std::uint16_t>(v);
    const size_t pos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!hex(pos[i], 2, v)) return std::nullopt;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    return g;
}

// ---- BSTR ----------------------------------------------------------------

static std::atomic<long> g_liveBstrs{0};

BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length) {
    auto* block = static_cast<std::uint32_t*>(
        ::operator new(sizeof(std::uint32_t) + (static_cast<size_t>(length) + 1) * sizeof(OLECHAR), std::nothrow));
    if (!block) return nullptr;
    *block = length * sizeof(OLECHAR);
    auto* chars = reinterpret_cast<OLECHAR*>(block + 1);
    if (text)
        std::memcpy(chars, text, length * sizeof(OLECHAR));
    else
        std::memset(chars, 0, length * sizeof(OLECHAR));
    chars[length] = 0;
    ++g_liveBstrs;
    return chars;
}

BSTR SysAllocString(const OLECHAR* text) {
    if (!text) return nullptr;
    std::uint32_t n = 0;
    while (text[n]) ++n;
    return SysAllocStringLen(text, n);
}

BSTR SysAllocString(std::u16string_view text) {
    return SysAllocStringLen(text.data(), static_cast<std::uint32_t>(text.size()));
}

void SysFreeString(BSTR text) {
    if (!text) return;
    --g_liveBstrs;
    ::operator delete(reinterpret_cast<std::uint32_t*>(text) - 1);
}

std::uint32_t SysStringLen(BSTR text) {
    return text ? reinterpret_cast<std::uint32_t*>(text)[-1] / sizeof(OLECHAR) : 0;
}

std::u16string_view BstrView(BSTR text) { return text ? std::u16string_view(text, SysStringLen(text)) : u""; }

long LiveBstrCount() { return g_liveBstrs.load(); }

}  // namespace com
