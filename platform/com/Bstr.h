// Counted UTF-16 strings as exchanged with the host.
//
// A BSTR points at the first character; the length in bytes is stored in the
// four bytes before it and a terminating zero follows the characters.  A null
// BSTR is the empty string.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace com {

using OLECHAR = char16_t;
using BSTR = OLECHAR*;

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length);
BSTR SysAllocString(std::u16string_view text);
void SysFreeString(BSTR text);
std::uint32_t SysStringLen(BSTR text);
std::u16string_view BstrView(BSTR text);

// Number of BSTRs alive; tests use it to find strings that were not freed.
long LiveBstrCount();

// Owning wrapper: frees its string when destroyed.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::u16string_view text) : m_str(SysAllocString(text)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : m_str(other.m_str) { other.m_str = nullptr; }
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) { SysFreeString(m_str); m_str = other.m_str; other.m_str = nullptr; }
        return *this;
    }
    ~Bstr() { SysFreeString(m_str); }

    BSTR get() const { return m_str; }
    // Frees the current string and hands out the slot for an out-parameter.
    BSTR* out() { SysFreeString(m_str); m_str = nullptr; return &m_str; }
    BSTR detach() { BSTR s = m_str; m_str = nullptr; return s; }
    std::u16string_view view() const { return BstrView(m_str); }

private:
    BSTR m_str = nullptr;
};

}  // namespace com
