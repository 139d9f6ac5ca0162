// mirelle-reg: reads and changes the registry store that the component and
// its hosts share, for the people who set the component up.  Arguments follow
// the platform's reg tool ("/v NAME", "/t REG_DWORD", "/d DATA").
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "apps/reg/RegText.h"
#include "platform/registry/Registry.h"

namespace {

constexpr int kOk = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;
constexpr int kStoreError = 3;

constexpr const char* kHelp = R"(mirelle-reg: query and change the Mirelle registry store

Usage:
  mirelle-reg query KEY [/v NAME | /ve] [/s]
  mirelle-reg add KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]
  mirelle-reg delete KEY [/v NAME | /ve] [/f]
  mirelle-reg export KEY FILE
  mirelle-reg import FILE
  mirelle-reg --help

KEY    ROOT\path\below, ROOT one of HKEY_LOCAL_MACHINE (HKLM),
       HKEY_CURRENT_USER (HKCU), HKEY_CLASSES_ROOT (HKCR); names ignore case.
/v     the value's name; /ve the unnamed value.
/t     REG_SZ (default), REG_DWORD or REG_BINARY.
/d     the data: text for REG_SZ; a number for REG_DWORD (decimal, or hex
       with 0x); hex digits for REG_BINARY ("0a1bff").  Default: empty or 0.
/s     query: the subkeys' values too.
/f     accepted for habit; nothing asks for confirmation.

query prints the key, its values ("    NAME    TYPE    DATA") and its subkeys.
add without /v creates the key only.  delete without /v deletes the key with
everything below it.  export writes KEY and its subtree to FILE ("-" is the
standard output) in the text form below; import applies such a file (checked
whole before anything changes).

  Mirelle Registry Export 1
  [HKEY_LOCAL_MACHINE\SOFTWARE\Example]
  "Level"=dword:00000005
  "Caption"="text, with \\ and \" escaped"
  "Blob"=hex:01,02,ff
  @="the unnamed value"
  "Obsolete"=-
  [-HKEY_LOCAL_MACHINE\SOFTWARE\Example\Old]

HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT are the machine's store,
/var/lib/mirelle/registry.db (only root changes it); HKEY_CURRENT_USER is
the user's, $XDG_DATA_HOME/mirelle/registry.db or
~/.local/share/mirelle/registry.db.  MIRELLE_REGISTRY names one file that
holds every hive instead.  Text is UTF-8.

Exit codes: 0 done; 1 the key or value does not exist; 2 bad command line or
import file; 3 the store failed (corrupt, unreadable, read-only or locked).
)";

struct Usage {
    std::string message;
};

std::string Describe(reg::LONG code) {
    switch (code) {
        case reg::ERROR_FILE_NOT_FOUND: return "not found";
        case reg::ERROR_ACCESS_DENIED: return "access denied (the store may not be written)";
        case reg::ERROR_BUSY: return "the store stayed locked by another process";
        case reg::ERROR_BADDB: return "the store is corrupt or not a registry database";
        case reg::ERROR_REGISTRY_IO_FAILED: return "the store cannot be read or written";
        case reg::ERROR_OUTOFMEMORY: return "out of memory";
        case reg::ERROR_KEY_HAS_CHILDREN: return "the key has subkeys";
        default: return "error " + std::to_string(code);
    }
}

int ExitFor(reg::LONG code) { return code == reg::ERROR_FILE_NOT_FOUND ? kNotFound : kStoreError; }

// The root of the key the command works on last (whose store a failure names).
reg::HKEY g_root = reg::HKEY_LOCAL_MACHINE;

int Report(const std::string& what, reg::LONG code) {
    std::string store = reg::StorePath(g_root);
    std::cerr << "mirelle-reg: " << what << ": " << Describe(code) << " (store " << (store.empty() ? "in memory" : store)
              << ")\n";
    return ExitFor(code);
}

// The command line after the command word: positional words and the options
// /v /ve /t /d /s /f (also with '-', any case).  Other words starting with
// '/' are positional, so that absolute file names work.
struct Args {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;

    Args(const std::vector<std::string>& argv, const std::vector<std::string>& allowed) {
        static const std::map<std::string, bool> known = {{"v", true}, {"ve", false}, {"t", true},
                                                          {"d", true}, {"s", false},  {"f", false}};
        for (std::size_t i = 0; i < argv.size(); ++i) {
            const std::string& a = argv[i];
            std::string opt;
            if (a.size() > 1 && (a[0] == '/' || a[0] == '-')) {
                for (char c : a.substr(1)) opt += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            auto it = known.find(opt);
            if (it == known.end()) {
                if (a.size() > 1 && a[0] == '-' && a != "-") throw Usage{"unknown option " + a};
                words.push_back(a);
                continue;
            }
            if (std::find(allowed.begin(), allowed.end(), opt) == allowed.end())
                throw Usage{"option " + a + " does not go with this command"};
            if (options.count(opt)) throw Usage{"option " + a + " given twice"};
            if (it->second) {
                if (i + 1 >= argv.size()) throw Usage{"option " + a + " needs a value"};
                options[opt] = argv[++i];
            } else {
                options[opt] = "";
            }
        }
        if (options.count("v") && options.count("ve")) throw Usage{"give /v or /ve, not both"};
    }
    bool Has(const std::string& o) const { return options.count(o) != 0; }
    // The value name of /v or /ve; false when neither is given.
    bool ValueName(std::string* name) const {
        if (Has("ve")) {
            name->clear();
            return true;
        }
        auto it = options.find("v");
        if (it == options.end()) return false;
        *name = it->second;
        return true;
    }
};

struct KeyPath {
    reg::HKEY root;
    std::string below;
    std::string full;  // root name written out
};

KeyPath ParseKey(const std::string& text) {
    KeyPath k;
    k.root = regtext::SplitRoot(text, &k.below);
    if (!k.root)
        throw Usage{"\"" + text + "\" does not start with HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER or HKEY_CLASSES_ROOT"};
    while (!k.below.empty() && (k.below.back() == '\\' || k.below.back() == '/')) k.below.pop_back();
    k.full = regtext::RootName(k.root) + (k.below.empty() ? "" : "\\" + k.below);
    g_root = k.root;
    return k;
}

struct ValueRead {
    std::string name;
    reg::DWORD type = 0;
    std::vector<std::uint8_t> data;
};

// The values of an open key, in their order.
reg::LONG ReadValues(reg::HKEY key, std::vector<ValueRead>* out) {
    for (reg::DWORD i = 0;; ++i) {
        std::vector<char> name(16384);
        reg::DWORD nameLen = static_cast<reg::DWORD>(name.size()), size = 0, type = 0;
        reg::LONG r = reg::RegEnumValue(key, i, name.data(), &nameLen, &type, nullptr, &size);
        if (r == reg::ERROR_NO_MORE_ITEMS) return reg::ERROR_SUCCESS;
        if (r != reg::ERROR_SUCCESS) return r;
        ValueRead v{std::string(name.data(), nameLen), type, std::vector<std::uint8_t>(size)};
        nameLen = static_cast<reg::DWORD>(name.size());
        r = reg::RegEnumValue(key, i, name.data(), &nameLen, &type, v.data.data(), &size);
        if (r != reg::ERROR_SUCCESS) return r;
        v.data.resize(size);
        out->push_back(std::move(v));
    }
}

reg::LONG ReadSubkeys(reg::HKEY key, std::vector<std::string>* out) {
    for (reg::DWORD i = 0;; ++i) {
        std::string name;
        reg::LONG r = reg::RegEnumKey(key, i, &name);
        if (r == reg::ERROR_NO_MORE_ITEMS) return reg::ERROR_SUCCESS;
        if (r != reg::ERROR_SUCCESS) return r;
        out->push_back(name);
    }
}

std::string TypeName(reg::DWORD type) {
    switch (type) {
        case reg::REG_NONE: return "REG_NONE";
        case reg::REG_SZ: return "REG_SZ";
        case reg::REG_BINARY: return "REG_BINARY";
        case reg::REG_DWORD: return "REG_DWORD";
        default: return "REG_TYPE_" + std::to_string(type);
    }
}

std::string ShowData(const ValueRead& v) {
    if (v.type == reg::REG_DWORD && v.data.size() == 4) {
        reg::DWORD d;
        std::memcpy(&d, v.data.data(), 4);
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%x", d);
        return buf;
    }
    if (v.type == reg::REG_SZ) {
        std::string s(v.data.begin(), v.data.end());
        if (auto z = s.find('\0'); z != std::string::npos) s.resize(z);
        return s;
    }
    std::string hex;
    for (auto b : v.data) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", b);
        hex += buf;
    }
    return hex;
}

std::string ShowName(const std::string& name) { return name.empty() ? "(Default)" : name; }

// Opens a key for reading; on failure reports it and gives the exit code.
int OpenKey(const KeyPath& k, reg::HKEY* key) {
    reg::LONG r = reg::RegOpenKeyEx(k.root, k.below, key);
    if (r == reg::ERROR_SUCCESS) return kOk;
    if (r == reg::ERROR_FILE_NOT_FOUND) {
        std::cerr << "mirelle-reg: the key " << k.full << " does not exist\n";
        return kNotFound;
    }
    return Report("cannot open " + k.full, r);
}

int QueryKey(const KeyPath& k, const Args& args, bool recurse) {
    reg::HKEY key;
    if (int rc = OpenKey(k, &key)) return rc;
    std::string only;
    bool single = args.ValueName(&only);
    std::vector<ValueRead> values;
    std::vector<std::string> subkeys;
    reg::LONG r = reg::ERROR_SUCCESS;
    if (single) {
        // One value: looked up by its name, not found by walking the key.
        ValueRead v{only, 0, {}};
        reg::DWORD size = 0;
        r = reg::RegQueryValueEx(key, only, &v.type, nullptr, &size);
        if (r == reg::ERROR_SUCCESS) {
            v.data.resize(size);
            r = reg::RegQueryValueEx(key, only, &v.type, v.data.data(), &size);
            v.data.resize(size);
        }
        if (r == reg::ERROR_SUCCESS) values.push_back(std::move(v));
        if (r == reg::ERROR_FILE_NOT_FOUND) r = reg::ERROR_SUCCESS;
    } else {
        r = ReadValues(key, &values);
        if (r == reg::ERROR_SUCCESS) r = ReadSubkeys(key, &subkeys);
    }
    reg::RegCloseKey(key);
    if (r != reg::ERROR_SUCCESS) return Report("cannot read " + k.full, r);
    std::cout << k.full << "\n";
    auto lower = [](std::string s) {
        for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    bool found = false;
    for (auto& v : values) {
        if (single && lower(v.name) != lower(only)) continue;
        found = true;
        std::cout << "    " << ShowName(v.name) << "    " << TypeName(v.type) << "    " << ShowData(v) << "\n";
    }
    if (single && !found) {
        std::cerr << "mirelle-reg: the value " << ShowName(only) << " does not exist under " << k.full << "\n";
        return kNotFound;
    }
    if (single) return kOk;
    std::cout << "\n";
    for (auto& sub : subkeys) {
        KeyPath child{k.root, k.below.empty() ? sub : k.below + "\\" + sub, k.full + "\\" + sub};
        if (recurse) {
            if (int rc = QueryKey(child, args, true)) return rc;
        } else {
            std::cout << child.full << "\n";
        }
    }
    return kOk;
}

std::vector<std::uint8_t> ParseAddData(const std::string& type, const std::string& data, reg::DWORD* regType) {
    std::vector<std::uint8_t> out;
    if (type == "REG_SZ") {
        *regType = reg::REG_SZ;
        out.assign(data.begin(), data.end());
        out.push_back(0);
    } else if (type == "REG_DWORD") {
        *regType = reg::REG_DWORD;
        std::string d = data.empty() ? "0" : data;
        bool hex = d.size() > 2 && d[0] == '0' && (d[1] == 'x' || d[1] == 'X');
        std::string digits = hex ? d.substr(2) : d;
        const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
        if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos)
            throw Usage{"REG_DWORD data must be a number (decimal, or hex with 0x): " + data};
        unsigned long long v = 0;
        try {
            v = std::stoull(digits, nullptr, hex ? 16 : 10);
        } catch (const std::out_of_range&) {
            v = 1ull << 32;
        }
        if (v > 0xffffffffull) throw Usage{"REG_DWORD data out of range (0 to 4294967295): " + data};
        reg::DWORD dw = static_cast<reg::DWORD>(v);
        out.resize(4);
        std::memcpy(out.data(), &dw, 4);
    } else if (type == "REG_BINARY") {
        *regType = reg::REG_BINARY;
        std::string digits;
        for (char c : data)
            if (c != ',' && c != ' ') digits += c;
        if (digits.size() % 2 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            throw Usage{"REG_BINARY data must be pairs of hex digits: " + data};
        for (std::size_t i = 0; i < digits.size(); i += 2)
            out.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    } else {
        throw Usage{"unknown type " + type + " (REG_SZ, REG_DWORD or REG_BINARY)"};
    }
    return out;
}

int Add(const KeyPath& k, const Args& args) {
    std::string name;
    bool withValue = args.ValueName(&name);
    if (!withValue && (args.Has("t") || args.Has("d"))) throw Usage{"/t and /d need /v NAME or /ve"};
    std::string type = args.Has("t") ? args.options.at("t") : "REG_SZ";
    for (auto& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    reg::DWORD regType = reg::REG_SZ;
    std::vector<std::uint8_t> data;
    if (withValue) data = ParseAddData(type, args.Has("d") ? args.options.at("d") : "", &regType);
    if (k.below.empty() && !withValue) throw Usage{"add needs a key below the root"};
    reg::HKEY key;
    reg::LONG r = reg::RegCreateKeyEx(k.root, k.below, &key);
    if (r != reg::ERROR_SUCCESS) return Report("cannot create " + k.full, r);
    if (withValue) r = reg::RegSetValueEx(key, name, regType, data.data(), static_cast<reg::DWORD>(data.size()));
    reg::RegCloseKey(key);
    if (r != reg::ERROR_SUCCESS) return Report("cannot set " + ShowName(name) + " under " + k.full, r);
    return kOk;
}

int Delete(const KeyPath& k, const Args& args) {
    std::string name;
    if (args.ValueName(&name)) {
        reg::HKEY key;
        if (int rc = OpenKey(k, &key)) return rc;
        reg::LONG r = reg::RegDeleteValue(key, name);
        reg::RegCloseKey(key);
        if (r == reg::ERROR_FILE_NOT_FOUND) {
            std::cerr << "mirelle-reg: the value " << ShowName(name) << " does not exist under " << k.full << "\n";
            return kNotFound;
        }
        return r == reg::ERROR_SUCCESS ? kOk : Report("cannot delete " + ShowName(name) + " under " + k.full, r);
    }
    if (k.below.empty()) throw Usage{"a root key cannot be deleted"};
    reg::LONG r = reg::RegDeleteTree(k.root, k.below);
    if (r == reg::ERROR_FILE_NOT_FOUND) {
        std::cerr << "mirelle-reg: the key " << k.full << " does not exist\n";
        return kNotFound;
    }
    return r == reg::ERROR_SUCCESS ? kOk : Report("cannot delete " + k.full, r);
}

int ExportKey(const KeyPath& k, std::ostream& out) {
    reg::HKEY key;
    if (int rc = OpenKey(k, &key)) return rc;
    std::vector<ValueRead> values;
    std::vector<std::string> subkeys;
    reg::LONG r = ReadValues(key, &values);
    if (r == reg::ERROR_SUCCESS) r = ReadSubkeys(key, &subkeys);
    reg::RegCloseKey(key);
    if (r != reg::ERROR_SUCCESS) return Report("cannot read " + k.full, r);
    out << "\n[" << k.full << "]\n";
    for (auto& v : values) out << regtext::FormatValue(v.name, v.type, v.data) << "\n";
    for (auto& sub : subkeys) {
        KeyPath child{k.root, k.below.empty() ? sub : k.below + "\\" + sub, k.full + "\\" + sub};
        if (int rc = ExportKey(child, out)) return rc;
    }
    return kOk;
}

int Export(const KeyPath& k, const std::string& file) {
    std::ostringstream text;
    text << regtext::kHeader << "\n";
    if (int rc = ExportKey(k, text)) return rc;
    if (file == "-") {
        std::cout << text.str();
        return kOk;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!(out << text.str()) || !out.flush()) {
        std::cerr << "mirelle-reg: cannot write " << file << ": " << std::strerror(errno) << "\n";
        return kUsage;
    }
    return kOk;
}

int Import(const std::string& file) {
    std::string text;
    if (file == "-") {
        std::ostringstream all;
        all << std::cin.rdbuf();
        text = all.str();
    } else {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cerr << "mirelle-reg: cannot read " << file << ": " << std::strerror(errno) << "\n";
            return kUsage;
        }
        std::ostringstream all;
        all << in.rdbuf();
        text = all.str();
    }
    auto parsed = regtext::Parse(text);
    if (!parsed.error.empty()) {
        std::cerr << "mirelle-reg: " << file << ": " << parsed.error << "\n";
        return kUsage;
    }
    // The whole file is one transaction: a failure, or the process killed
    // half way, leaves the store as it was.
    reg::Transaction transaction;
    for (auto& e : parsed.entries) {
        KeyPath k = ParseKey(e.key);
        reg::LONG r = reg::ERROR_SUCCESS;
        std::string what;
        if (e.kind == regtext::Entry::DeleteKey) {
            r = reg::RegDeleteTree(k.root, k.below);
            if (r == reg::ERROR_FILE_NOT_FOUND) r = reg::ERROR_SUCCESS;  // already gone
            what = "delete " + k.full;
        } else {
            reg::HKEY key = 0;
            r = reg::RegCreateKeyEx(k.root, k.below, &key);
            what = "create " + k.full;
            if (r == reg::ERROR_SUCCESS && e.kind == regtext::Entry::Value) {
                r = reg::RegSetValueEx(key, e.name, e.type, e.data.data(), static_cast<reg::DWORD>(e.data.size()));
                what = "set " + ShowName(e.name) + " under " + k.full;
            } else if (r == reg::ERROR_SUCCESS && e.kind == regtext::Entry::DeleteValue) {
                r = reg::RegDeleteValue(key, e.name);
                if (r == reg::ERROR_FILE_NOT_FOUND) r = reg::ERROR_SUCCESS;
                what = "delete " + ShowName(e.name) + " under " + k.full;
            }
            if (key) reg::RegCloseKey(key);
        }
        if (r != reg::ERROR_SUCCESS) return Report("cannot " + what + " (nothing was imported)", r);
    }
    if (reg::LONG r = transaction.Commit()) return Report("cannot commit the import (nothing was imported)", r);
    return kOk;
}

int Run(const std::vector<std::string>& argv) {
    if (argv.empty()) throw Usage{"no command"};
    std::string cmd = argv[0];
    for (auto& c : cmd) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::vector<std::string> rest(argv.begin() + 1, argv.end());
    auto expect = [](const Args& a, std::size_t n, const char* what) {
        if (a.words.size() != n) throw Usage{std::string("expected ") + what};
    };
    if (cmd == "query") {
        Args a(rest, {"v", "ve", "s"});
        expect(a, 1, "query KEY [/v NAME | /ve] [/s]");
        return QueryKey(ParseKey(a.words[0]), a, a.Has("s"));
    }
    if (cmd == "add") {
        Args a(rest, {"v", "ve", "t", "d", "f"});
        expect(a, 1, "add KEY [/v NAME | /ve] [/t TYPE] [/d DATA]");
        return Add(ParseKey(a.words[0]), a);
    }
    if (cmd == "delete") {
        Args a(rest, {"v", "ve", "f"});
        expect(a, 1, "delete KEY [/v NAME | /ve]");
        return Delete(ParseKey(a.words[0]), a);
    }
    if (cmd == "export") {
        Args a(rest, {});
        expect(a, 2, "export KEY FILE");
        return Export(ParseKey(a.words[0]), a.words[1]);
    }
    if (cmd == "import") {
        Args a(rest, {});
        expect(a, 1, "import FILE");
        return Import(a.words[0]);
    }
    throw Usage{"unknown command " + argv[0]};
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (auto& a : args) {
        if (a == "--help" || a == "-h" || a == "/?") {
            std::cout << kHelp;
            return kOk;
        }
    }
    reg::SetDiagnosticOutput([](const std::string& line) { std::cerr << "mirelle-reg: " << line << "\n"; });
    // Arguments, files and the terminal are UTF-8.
    reg::UseUtf8Text(true);
    try {
        return Run(args);
    } catch (const Usage& u) {
        std::cerr << "mirelle-reg: " << u.message << " (mirelle-reg --help shows the usage)\n";
        return kUsage;
    }
}
