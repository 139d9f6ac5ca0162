// The text form of registry keys and values that mirelle-reg exports and
// imports, close to the platform's .reg files:
//
//   Mirelle Registry Export 1
//   ; a comment
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Marvessa-KDM\KdmObjects\DbgLogger\LogVerbosity]
//   "Mirelle"=dword:00000005
//   "Caption"="Text with \"quotes\" and a \\ backslash"
//   "Blob"=hex:01,02,ff
//   "Other"=hex(7):41,00
//   @="the unnamed value"
//   "Gone"=-
//   [-HKEY_CURRENT_USER\Obsolete]
//
// The first line names the format ("REGEDIT4" is accepted too).  A key line
// creates the key, "[-KEY]" deletes it with its subtree; "NAME"=- deletes a
// value.  Texts are the bytes of a REG_SZ without its terminating zero; in
// them \\ is a backslash, \" a quote, \n \r \t those control characters and
// \xHH any byte.  A hex list may go on over lines that end with a backslash.
// A REG_SZ that is not one text with its zero, or a REG_DWORD that is not
// four bytes, is written as hex(1) or hex(4).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"

namespace regtext {

constexpr const char* kHeader = "Mirelle Registry Export 1";

struct Entry {
    enum Kind { Key, DeleteKey, Value, DeleteValue } kind;
    std::string key;   // full path, root name first
    std::string name;  // value name ("" for the unnamed value)
    reg::DWORD type = reg::REG_NONE;
    std::vector<std::uint8_t> data;
};

// One value as a line of the format (without line end).
std::string FormatValue(const std::string& name, reg::DWORD type, const std::vector<std::uint8_t>& data);

struct Parsed {
    std::vector<Entry> entries;
    std::string error;  // "line N: ..." when the text is not in the format
};
Parsed Parse(const std::string& text);

// The root of a full key path ("HKLM\X", "HKEY_LOCAL_MACHINE\X"), 0 when it
// names none; rest receives the path below the root.
reg::HKEY SplitRoot(const std::string& path, std::string* rest);
std::string RootName(reg::HKEY root);

}  // namespace regtext
