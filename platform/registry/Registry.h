// Hierarchical key/value store standing in for the system registry.
//
// Keys are reached through handles; the three predefined roots are always
// open.  Key and value names compare without case (ASCII); subkeys enumerate
// in the order of their lower-case names, values in the order they were first
// written.  Values are typed (REG_DWORD, REG_SZ, REG_BINARY, ...).
//
// The store is an SQLite database shared by every process that opens it (path
// from MIRELLE_REGISTRY, else $XDG_DATA_HOME/mirelle/registry.db or
// ~/.local/share/mirelle/registry.db), or a private in-memory database.  Each
// call that changes the store is one transaction; every read sees what other
// processes committed before it.  A change notification fires for changes
// made by any process (within a fraction of a second for other processes).
//
// Faults: a store that is not a registry database or is corrupt answers
// ERROR_BADDB on every call, one that cannot be opened ERROR_REGISTRY_IO_FAILED;
// the file is never written then, and one diagnostic line names it.  A store
// the process may not write answers reads and refuses changes with
// ERROR_ACCESS_DENIED.  A store locked by another writer is waited for (a
// bounded time), then the call answers ERROR_BUSY.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/Event.h"

namespace reg {

using LONG = std::int32_t;
using DWORD = std::uint32_t;
using HKEY = std::uintptr_t;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_OUTOFMEMORY = 14;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_BUSY = 170;
constexpr LONG ERROR_BADDB = 1009;
constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
constexpr LONG ERROR_KEY_HAS_CHILDREN = 1020;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_NOTIFY_CHANGE_NAME = 1;
constexpr DWORD REG_NOTIFY_CHANGE_LAST_SET = 4;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Which backing the process-wide store uses.  Memory() is for tests.
void UseFile(const std::string& path);
void UseMemory();
void UseDefaultFile();
std::string StorePath();  // empty when in memory
void Clear();             // drop every key (tests)

// Where the store's diagnostic lines go (standard error unless replaced; null
// restores it).  One line per fault of the store, not one per call.
void SetDiagnosticOutput(std::function<void(const std::string&)> sink);

// Make the named operation ("RegOpenKeyEx", "RegCreateKeyEx", "RegEnumValue",
// "RegNotifyChangeKeyValue", ...) fail with code from now on; 0 clears.
void FailOperation(const std::string& op, LONG code);

LONG RegOpenKeyEx(HKEY parent, const std::string& subKey, HKEY* result);
LONG RegCreateKeyEx(HKEY parent, const std::string& subKey, HKEY* result, DWORD* disposition = nullptr);
LONG RegCloseKey(HKEY key);
LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const void* data, DWORD size);
LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, void* data, DWORD* size);
// nameLen: in = buffer size in characters (zero included), out = name length.
// dataLen: in = buffer size in bytes, out = data size.  A name or data larger
// than its buffer answers ERROR_MORE_DATA.
LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, void* data, DWORD* dataLen);
LONG RegEnumKey(HKEY key, DWORD index, std::string* name);
LONG RegDeleteValue(HKEY key, const std::string& name);
// Deletes a key without subkeys.
LONG RegDeleteKey(HKEY parent, const std::string& subKey);
// Deletes a key and its whole subtree.
LONG RegDeleteTree(HKEY parent, const std::string& subKey);
// Arms a one-shot notification: the event is set at the next change of the
// key's values (or of its subtree's when watchSubtree).
LONG RegNotifyChangeKeyValue(HKEY key, bool watchSubtree, DWORD filter, std::shared_ptr<Event> event);

// Conveniences over the calls above (path relative to root).
bool SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
bool SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value);
std::optional<DWORD> GetDword(HKEY root, const std::string& path, const std::string& name);
std::optional<std::string> GetString(HKEY root, const std::string& path, const std::string& name);
bool KeyExists(HKEY root, const std::string& path);

}  // namespace reg
