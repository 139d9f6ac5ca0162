// HRESULT values and the COM error raised out of operations.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/com/Guid.h"

namespace com {

using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);
constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = static_cast<HRESULT>(0x8002802Bu);

constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);

// A Win32 error code as a result (FACILITY_WIN32).
constexpr HRESULT HRESULT_FROM_WIN32(std::uint32_t code) {
    return code == 0 ? S_OK : static_cast<HRESULT>((code & 0x0000FFFFu) | 0x80070000u);
}
constexpr std::uint32_t ERROR_MOD_NOT_FOUND = 126;   // the module file is not there
constexpr std::uint32_t ERROR_PROC_NOT_FOUND = 127;  // the module lacks the entry point
constexpr std::uint32_t ERROR_BAD_EXE_FORMAT = 193;  // the file is not a loadable library

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// "0x80004005" style text of a result.
std::string HresultText(HRESULT hr);

// Raised out of an operation when a host object cannot be created, run or
// queried, or when a host call whose failure is fatal fails.
class ComError : public std::runtime_error {
public:
    explicit ComError(HRESULT hr, const GUID& iid = GUID{});
    HRESULT Error() const noexcept { return m_hr; }
    const GUID& Interface() const noexcept { return m_iid; }

private:
    HRESULT m_hr;
    GUID m_iid;
};

// Raises a ComError when hr is a failure; returns hr otherwise.
inline HRESULT ThrowIfFailed(HRESULT hr, const GUID& iid = GUID{}) {
    if (FAILED(hr)) throw ComError(hr, iid);
    return hr;
}

}  // namespace com
