#include "platform/registry/Registry.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include <nlohmann/json.hpp>

namespace reg {
namespace {

struct Value {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

struct Node {
    std::vector<Value> values;                      // in order of first write
    std::map<std::string, std::unique_ptr<Node>> children;  // key = lower-case name
    std::map<std::string, std::string> displayNames;        // lower-case -> as created
};

struct Watch {
    std::string path;  // lower-case full path
    bool subtree;
    DWORD filter;
    std::shared_ptr<Event> event;
};

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

std::string RootName(HKEY root) {
    switch (root) {
        case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
        case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
        case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
        default: return {};
    }
}

class Store {
public:
    std::recursive_mutex m;
    Node root;
    std::string file;
    bool loaded = false;
    std::map<HKEY, std::string> handles;  // handle -> full path as given (with case)
    HKEY nextHandle = 0x1000;
    std::vector<Watch> watches;
    std::map<std::string, LONG> failures;

    LONG Fail(const char* op) {
        auto it = failures.find(op);
        return it == failures.end() ? ERROR_SUCCESS : it->second;
    }

    void EnsureLoaded() {
        if (loaded) return;
        loaded = true;
        if (file.empty()) return;
        std::ifstream in(file);
        if (!in) return;
        try {
            nlohmann::json j = nlohmann::json::parse(in);
            LoadNode(root, j);
        } catch (const std::exception&) {
            root = Node{};  // an unreadable store starts empty
        }
    }

    static void LoadNode(Node& n, const nlohmann::json& j) {
        if (j.contains("values"))
            for (auto& v : j["values"]) {
                Value val;
                val.name = v.at("name").get<std::string>();
                val.type = v.at("type").get<DWORD>();
                val.data = v.at("data").get<std::vector<std::uint8_t>>();
                n.values.push_back(std::move(val));
            }
        if (j.contains("keys"))
            for (auto& [name, child] : j["keys"].items()) {
                auto c = std::make_unique<Node>();
                LoadNode(*c, child);
                n.displayNames[Lower(name)] = name;
                n.children[Lower(name)] = std::move(c);
            }
    }

    static nlohmann::json SaveNode(const Node& n) {
        nlohmann::json j = nlohmann::json::object();
        nlohmann::json vals = nlohmann::json::array();
        for (auto& v : n.values) vals.push_back({{"name", v.name}, {"type", v.type}, {"data", v.data}});
        j["values"] = vals;
        nlohmann::json keys = nlohmann::json::object();
        for (auto& [lname, child] : n.children) keys[n.displayNames.at(lname)] = SaveNode(*child);
        j["keys"] = keys;
        return j;
    }

    void Save() {
        if (file.empty()) return;
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
        std::string tmp = file + ".tmp";
        {
            std::ofstream out(tmp, std::ios::trunc);
            if (!out) return;
            out << SaveNode(root).dump(1);
        }
        std::filesystem::rename(tmp, file, ec);
    }

    // Full path of a handle, empty optional when the handle is unknown.
    std::optional<std::string> PathOf(HKEY key) {
        std::string r = RootName(key);
        if (!r.empty()) return r;
        auto it = handles.find(key);
        if (it == handles.end()) return std::nullopt;
        return it->second;
    }

    Node* Find(const std::string& path, bool create, bool* created = nullptr) {
        EnsureLoaded();
        Node* n = &root;
        for (auto& part : Split(path)) {
            auto lname = Lower(part);
            auto it = n->children.find(lname);
            if (it == n->children.end()) {
                if (!create) return nullptr;
                n->displayNames[lname] = part;
                it = n->children.emplace(lname, std::make_unique<Node>()).first;
                if (created) *created = true;
            }
            n = it->second.get();
        }
        return n;
    }

    // The existing key behind a handle: ERROR_INVALID_HANDLE for an unknown
    // handle, ERROR_FILE_NOT_FOUND when its key is gone.
    LONG KeyOf(HKEY key, Node** node, std::string* path = nullptr) {
        auto p = PathOf(key);
        if (!p) return ERROR_INVALID_HANDLE;
        *node = Find(*p, false);
        if (!*node) return ERROR_FILE_NOT_FOUND;
        if (path) *path = *p;
        return ERROR_SUCCESS;
    }

    // A new handle for the key at path.
    HKEY Open(const std::string& path) {
        HKEY h = nextHandle++;
        handles[h] = path;
        return h;
    }

    // kind: REG_NOTIFY_CHANGE_NAME for a subkey added or removed,
    // REG_NOTIFY_CHANGE_LAST_SET for a value written or deleted.
    void Changed(const std::string& path, DWORD kind = REG_NOTIFY_CHANGE_LAST_SET) {
        auto lpath = Lower(path);
        auto canon = [](const std::string& p) {
            std::string out;
            for (auto& part : Split(p)) out += "\\" + part;
            return out;
        };
        std::string changed = canon(lpath);
        std::vector<std::shared_ptr<Event>> fire;
        std::erase_if(watches, [&](const Watch& w) {
            std::string watched = canon(Lower(w.path));
            if (!(w.filter & kind)) return false;
            bool hit = changed == watched ||
                       (w.subtree && changed.size() > watched.size() &&
                        changed.compare(0, watched.size(), watched) == 0 && changed[watched.size()] == '\\');
            if (hit) fire.push_back(w.event);
            return hit;
        });
        for (auto& e : fire) e->Set();
        Save();
    }
};

Store& S() {
    static Store s;
    return s;
}

std::string DefaultPath() {
    if (const char* p = std::getenv("MIRELLE_REGISTRY"); p && *p) return p;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return std::string(x) + "/mirelle/registry.json";
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.local/share/mirelle/registry.json";
    return "mirelle-registry.json";
}

struct DefaultInit {
    DefaultInit() { S().file = DefaultPath(); }
} g_defaultInit;

std::string Join(const std::string& a, const std::string& b) {
    if (b.empty()) return a;
    return a + "\\" + b;
}

}  // namespace

void UseFile(const std::string& path) {
    auto& s = S();
    std::lock_guard l(s.m);
    s.root = Node{};
    s.file = path;
    s.loaded = false;
}
void UseMemory() { UseFile(""); }
void UseDefaultFile() { UseFile(DefaultPath()); }
std::string StorePath() {
    std::lock_guard l(S().m);
    return S().file;
}
void Clear() {
    auto& s = S();
    std::lock_guard l(s.m);
    s.root = Node{};
    s.loaded = true;
    s.failures.clear();
    s.Save();
}

void FailOperation(const std::string& op, LONG code) {
    auto& s = S();
    std::lock_guard l(s.m);
    if (code == ERROR_SUCCESS)
        s.failures.erase(op);
    else
        s.failures[op] = code;
}

namespace {
// Copies a value's bytes out the way the platform does: with a buffer too
// small the needed size is reported with ERROR_MORE_DATA; without a buffer
// only the size is given.
LONG CopyOut(const std::vector<std::uint8_t>& bytes, void* data, DWORD* size) {
    if (!size) return ERROR_SUCCESS;
    DWORD need = static_cast<DWORD>(bytes.size());
    if (data && *size < need) {
        *size = need;
        return ERROR_MORE_DATA;
    }
    if (data && need) std::memcpy(data, bytes.data(), need);
    *size = need;
    return ERROR_SUCCESS;
}

std::vector<Value>::iterator FindValue(Node& n, const std::string& name) {
    return std::find_if(n.values.begin(), n.values.end(), [&](const Value& x) { return Lower(x.name) == Lower(name); });
}

// The path of the key above path.
std::string ParentOf(const std::string& path) {
    auto parts = Split(path);
    if (!parts.empty()) parts.pop_back();
    std::string parentPath;
    for (auto& p : parts) parentPath = Join(parentPath, p);
    return parentPath;
}
}  // namespace

LONG RegOpenKeyEx(HKEY parent, const std::string& subKey, HKEY* result) {
    auto& s = S();
    std::lock_guard l(s.m);
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = 0;
    if (LONG f = s.Fail("RegOpenKeyEx")) return f;
    auto base = s.PathOf(parent);
    if (!base) return ERROR_INVALID_HANDLE;
    std::string path = Join(*base, subKey);
    if (!s.Find(path, false)) return ERROR_FILE_NOT_FOUND;
    *result = s.Open(path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY parent, const std::string& subKey, HKEY* result, DWORD* disposition) {
    auto& s = S();
    std::lock_guard l(s.m);
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = 0;
    if (LONG f = s.Fail("RegCreateKeyEx")) return f;
    auto base = s.PathOf(parent);
    if (!base) return ERROR_INVALID_HANDLE;
    std::string path = Join(*base, subKey);
    bool created = false;
    s.Find(path, true, &created);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = s.Open(path);
    if (created) s.Changed(ParentOf(path), REG_NOTIFY_CHANGE_NAME);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    auto& s = S();
    std::lock_guard l(s.m);
    if (!RootName(key).empty()) return ERROR_SUCCESS;
    return s.handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const void* data, DWORD size) {
    auto& s = S();
    std::lock_guard l(s.m);
    if (LONG f = s.Fail("RegSetValueEx")) return f;
    Node* n;
    std::string path;
    if (LONG e = s.KeyOf(key, &n, &path)) return e;
    auto bytes = static_cast<const std::uint8_t*>(data);
    std::vector<std::uint8_t> v(bytes, bytes + (bytes ? size : 0));
    auto it = FindValue(*n, name);
    if (it == n->values.end())
        n->values.push_back({name, type, std::move(v)});
    else {
        it->type = type;
        it->data = std::move(v);
    }
    s.Changed(path);
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, void* data, DWORD* size) {
    auto& s = S();
    std::lock_guard l(s.m);
    if (LONG f = s.Fail("RegQueryValueEx")) return f;
    Node* n;
    if (LONG e = s.KeyOf(key, &n)) return e;
    auto it = FindValue(*n, name);
    if (it == n->values.end()) return ERROR_FILE_NOT_FOUND;
    if (type) *type = it->type;
    return CopyOut(it->data, data, size);
}

LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, void* data, DWORD* dataLen) {
    auto& s = S();
    std::lock_guard l(s.m);
    if (LONG f = s.Fail("RegEnumValue")) return f;
    Node* n;
    if (LONG e = s.KeyOf(key, &n)) return e;
    if (index >= n->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& v = n->values[index];
    if (!name || !nameLen) return ERROR_INVALID_PARAMETER;
    if (v.name.size() + 1 > *nameLen) return ERROR_MORE_DATA;
    std::memcpy(name, v.name.c_str(), v.name.size() + 1);
    *nameLen = static_cast<DWORD>(v.name.size());
    if (type) *type = v.type;
    return CopyOut(v.data, data, dataLen);
}

LONG RegEnumKey(HKEY key, DWORD index, std::string* name) {
    auto& s = S();
    std::lock_guard l(s.m);
    Node* n;
    if (LONG e = s.KeyOf(key, &n)) return e;
    if (index >= n->children.size()) return ERROR_NO_MORE_ITEMS;
    auto it = n->children.begin();
    std::advance(it, index);
    if (name) *name = n->displayNames.at(it->first);
    return ERROR_SUCCESS;
}

LONG RegDeleteValue(HKEY key, const std::string& name) {
    auto& s = S();
    std::lock_guard l(s.m);
    Node* n;
    std::string path;
    if (LONG e = s.KeyOf(key, &n, &path)) return e;
    auto it = FindValue(*n, name);
    if (it == n->values.end()) return ERROR_FILE_NOT_FOUND;
    n->values.erase(it);
    s.Changed(path);
    return ERROR_SUCCESS;
}

static LONG DeleteKeyImpl(HKEY parent, const std::string& subKey, bool tree) {
    auto& s = S();
    std::lock_guard l(s.m);
    auto base = s.PathOf(parent);
    if (!base) return ERROR_INVALID_HANDLE;
    std::string path = Join(*base, subKey);
    auto parts = Split(path);
    if (parts.size() < 2) return ERROR_ACCESS_DENIED;  // roots stay
    std::string leaf = Lower(parts.back());
    std::string parentPath = ParentOf(path);
    Node* pn = s.Find(parentPath, false);
    if (!pn) return ERROR_FILE_NOT_FOUND;
    auto it = pn->children.find(leaf);
    if (it == pn->children.end()) return ERROR_FILE_NOT_FOUND;
    if (!tree && !it->second->children.empty()) return ERROR_KEY_HAS_CHILDREN;
    pn->children.erase(it);
    pn->displayNames.erase(leaf);
    s.Changed(parentPath, REG_NOTIFY_CHANGE_NAME);
    return ERROR_SUCCESS;
}

LONG RegDeleteKey(HKEY parent, const std::string& subKey) { return DeleteKeyImpl(parent, subKey, false); }
LONG RegDeleteTree(HKEY parent, const std::string& subKey) { return DeleteKeyImpl(parent, subKey, true); }

LONG RegNotifyChangeKeyValue(HKEY key, bool watchSubtree, DWORD filter, std::shared_ptr<Event> event) {
    auto& s = S();
    std::lock_guard l(s.m);
    if (LONG f = s.Fail("RegNotifyChangeKeyValue")) return f;
    if (!event) return ERROR_INVALID_PARAMETER;
    auto path = s.PathOf(key);
    if (!path) return ERROR_INVALID_HANDLE;
    s.watches.push_back({*path, watchSubtree, filter, std::move(event)});
    return ERROR_SUCCESS;
}

bool SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    HKEY k;
    if (RegCreateKeyEx(root, path, &k) != ERROR_SUCCESS) return false;
    bool ok = RegSetValueEx(k, name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

bool SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
    HKEY k;
    if (RegCreateKeyEx(root, path, &k) != ERROR_SUCCESS) return false;
    bool ok = RegSetValueEx(k, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

std::optional<DWORD> GetDword(HKEY root, const std::string& path, const std::string& name) {
    HKEY k;
    if (RegOpenKeyEx(root, path, &k) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG r = RegQueryValueEx(k, name, &type, &value, &size);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
}

std::optional<std::string> GetString(HKEY root, const std::string& path, const std::string& name) {
    HKEY k;
    if (RegOpenKeyEx(root, path, &k) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    LONG r = RegQueryValueEx(k, name, &type, nullptr, &size);
    std::string out(size, '\0');
    if (r == ERROR_SUCCESS && size) r = RegQueryValueEx(k, name, &type, out.data(), &size);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    if (auto z = out.find('\0'); z != std::string::npos) out.resize(z);
    return out;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyEx(root, path, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

}  // namespace reg
