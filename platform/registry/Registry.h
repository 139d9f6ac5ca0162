// Hierarchical key/value store standing in for the system registry.
//
// Keys are reached through handles; the three predefined roots are always
// open.  Key and value names compare without case (ASCII); subkeys enumerate
// in the order of their lower-case names, values in the order they were first
// written.  Values are typed (REG_DWORD, REG_SZ, REG_BINARY, ...).
//
// The hives live in two stores, as on the platform: the machine's
// (HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT; /var/lib/mirelle/registry.db,
// read by every user, written by root) and the user's (HKEY_CURRENT_USER;
// $XDG_DATA_HOME/mirelle/registry.db or ~/.local/share/mirelle/registry.db).
// MIRELLE_REGISTRY names one file that holds every hive instead (tests, the
// demo).  A store is an SQLite database shared by every process that opens
// it, or a private in-memory database.  Each call that changes a store is one
// transaction (or part of a Transaction); every read sees what other
// processes committed before it.
//
// Text values (REG_SZ and its kin) are kept as Unicode; the calls take and
// give them in the system code page (Windows-1252), as the platform's 8-bit
// calls do, unless the process chose UTF-8 text with UseUtf8Text.  A change notification fires for changes
// made by any process (within a fraction of a second for other processes).
//
// Faults: a store that is not a registry database or is corrupt answers
// ERROR_BADDB on every call, one that cannot be opened ERROR_REGISTRY_IO_FAILED;
// the file is never written then, and one diagnostic line names it.  A store
// the process may not write answers reads and refuses changes with
// ERROR_ACCESS_DENIED; so does the machine's store for a user who may not
// write it, while reads work.  A store locked by another writer is waited
// for (3 s), then the call answers ERROR_BUSY, and so do the calls of the
// next 10 s at once (one diagnostic line says so).
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
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

constexpr DWORD REG_NOTIFY_CHANGE_NAME = 1;
constexpr DWORD REG_NOTIFY_CHANGE_LAST_SET = 4;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Which stores the process uses.  UseFile and UseMemory put every hive in
// one store (UseMemory is for tests); UseHives gives the machine's hives and
// the user's a file each; UseDefaultFile goes back to the default (the file
// MIRELLE_REGISTRY names, else the machine's and the user's stores).
void UseFile(const std::string& path);
void UseMemory();
void UseDefaultFile();
void UseHives(const std::string& machine, const std::string& user);
std::string MachineStorePath();  // the machine's store's fixed path
// The file of the store that holds a root's hive (empty when in memory).
std::string StorePath(HKEY root = HKEY_LOCAL_MACHINE);
void Clear();  // drop every key (tests)

// Text values in and out of this process's calls in UTF-8 instead of the
// system code page (tools whose input and output are UTF-8).
void UseUtf8Text(bool on);

// Makes the changes of the calling thread, from construction to Commit, one
// transaction: they are all made or none is (a destroyed Transaction without
// Commit, a change that failed, a process killed before Commit).  The stores
// stay locked for other threads of the process meanwhile.  Changes in both
// stores commit the machine's first.
class Transaction {
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    // The first failure of a change made within it, or the commit's own.
    LONG Commit();

private:
    bool m_done = false;
};

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
