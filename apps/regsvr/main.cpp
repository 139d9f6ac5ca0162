// mirelle-regsvr [-u] [-s] MODULE
//
// Registers a module's classes into the registry store in use (or removes
// them with -u) by loading the file and calling its DllRegisterServer or
// DllUnregisterServer.  Exit status: 0 done, 1 bad command line, 3 the file
// cannot be loaded, 4 it lacks the entry point, 5 the entry point failed.
// -u with a file that is gone removes the registrations that name it (the
// module cannot unregister itself then).
#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "platform/com/ClassTable.h"
#include "platform/com/Hresult.h"
#include "platform/registry/Registry.h"

namespace {

enum Exit { kDone = 0, kBadArgs = 1, kLoadFailed = 3, kNoEntry = 4, kEntryFailed = 5 };

std::vector<std::string> Subkeys(reg::HKEY root, const std::string& path) {
    std::vector<std::string> names;
    reg::HKEY k;
    if (reg::RegOpenKeyEx(root, path, &k) != reg::ERROR_SUCCESS) return names;
    std::string name;
    for (reg::DWORD i = 0; reg::RegEnumKey(k, i, &name) == reg::ERROR_SUCCESS; ++i) names.push_back(name);
    reg::RegCloseKey(k);
    return names;
}

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Removes the classes registered with the module file `path` and the ProgIDs
// that lead to them, in one transaction.  The number of classes removed, or
// -1 when the store refused.
int RemoveStaleRegistrations(const std::string& path) {
    reg::Transaction t;
    std::vector<std::string> classes;
    for (auto& clsid : Subkeys(reg::HKEY_CLASSES_ROOT, "CLSID")) {
        auto file = reg::GetString(reg::HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InprocServer32", "");
        if (file && *file == path) classes.push_back(Lower(clsid));
    }
    if (classes.empty()) return 0;
    for (auto& name : Subkeys(reg::HKEY_CLASSES_ROOT, "")) {
        auto clsid = reg::GetString(reg::HKEY_CLASSES_ROOT, name + "\\CLSID", "");
        if (name != "CLSID" && clsid && std::find(classes.begin(), classes.end(), Lower(*clsid)) != classes.end() &&
            reg::RegDeleteTree(reg::HKEY_CLASSES_ROOT, name) != reg::ERROR_SUCCESS)
            return -1;
    }
    for (auto& clsid : classes)
        if (reg::RegDeleteTree(reg::HKEY_CLASSES_ROOT, "CLSID\\" + clsid) != reg::ERROR_SUCCESS) return -1;
    return t.Commit() == reg::ERROR_SUCCESS ? static_cast<int>(classes.size()) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Registers the classes of a Mirelle module in the machine's registry store (or the file MIRELLE_REGISTRY "
                 "names), or "
                 "removes them.",
                 "mirelle-regsvr"};
    bool unregister = false, silent = false;
    std::string module;
    app.add_flag("-u,--unregister", unregister, "remove the module's classes instead of adding them");
    app.add_flag("-s,--silent", silent, "print nothing, answer with the exit status only");
    app.add_option("MODULE", module, "the module file (a shared library)")->required();
    app.set_version_flag("--version", "mirelle-regsvr 1.0");
    app.footer("Exit status: 0 done, 1 bad command line, 3 the module cannot be loaded, 4 it has no such entry "
               "point, 5 the entry point failed.");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? kDone : kBadArgs;
    }

    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto say = [&](std::ostream& out, const std::string& text) {
        if (!silent) out << text << std::endl;
    };

    std::error_code ec;
    std::string path = std::filesystem::absolute(module, ec).string();
    if (ec) path = module;
    if (!std::filesystem::is_regular_file(path, ec)) {
        if (unregister) {
            int removed = RemoveStaleRegistrations(std::filesystem::weakly_canonical(path, ec).string());
            if (removed < 0) {
                say(std::cerr, "The registrations of \"" + module + "\" could not be removed: the registry store "
                               "refused the change (" + reg::StorePath(reg::HKEY_CLASSES_ROOT) + ").");
                return kEntryFailed;
            }
            if (removed > 0) {
                say(std::cout, "The module \"" + module + "\" is gone; its " + std::to_string(removed) +
                                   " class registration(s) were removed.");
                return kDone;
            }
        }
        say(std::cerr, "The module \"" + module + "\" failed to load.\n\nMake sure the file is stored at the "
                       "specified path.\n\nThe specified module could not be found.");
        return kLoadFailed;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        say(std::cerr, "The module \"" + module + "\" failed to load.\n\nMake sure the file is a module built for "
                       "this system and that the libraries it needs are installed.\n\n" +
                       std::string(why ? why : "The file is not a loadable library."));
        return kLoadFailed;
    }
    auto fn = reinterpret_cast<com::DllRegisterServerFn>(::dlsym(handle, entry));
    if (!fn) {
        say(std::cerr, "The module \"" + module + "\" was loaded but the entry-point " + entry +
                       " was not found.\n\nMake sure that \"" + module + "\" is a valid module file and then "
                       "try again.");
        ::dlclose(handle);
        return kNoEntry;
    }
    const com::HRESULT hr = fn();
    ::dlclose(handle);
    if (com::FAILED(hr)) {
        say(std::cerr, "The module \"" + module + "\" was loaded but the call to " + entry +
                       " failed with error code " + com::HresultText(hr) + ".");
        return kEntryFailed;
    }
    say(std::cout, std::string(entry) + " in " + module + " succeeded.");
    return kDone;
}
