#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/registry/Registry.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        reg::UseMemory();
        reg::Clear();
    }
};

TEST_F(RegistryTest, OpenMissingKeyFailsAndCreateMakesTheWholePath) {
    reg::HKEY k;
    EXPECT_EQ(reg::RegOpenKeyEx(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B", &k), reg::ERROR_FILE_NOT_FOUND);
    reg::DWORD disp = 0;
    ASSERT_EQ(reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B", &k, &disp), reg::ERROR_SUCCESS);
    EXPECT_EQ(disp, reg::REG_CREATED_NEW_KEY);
    reg::RegCloseKey(k);
    ASSERT_EQ(reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, "software\\a\\b", &k, &disp), reg::ERROR_SUCCESS);
    EXPECT_EQ(disp, reg::REG_OPENED_EXISTING_KEY);  // names compare without case
    reg::RegCloseKey(k);
    EXPECT_EQ(reg::RegCloseKey(k), reg::ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, EnumerationReportsSmallBuffersAndTheEnd) {
    reg::SetDword(reg::HKEY_CURRENT_USER, "K", "Level", 7);
    reg::SetString(reg::HKEY_CURRENT_USER, "K", "Text", "abcdef");
    reg::HKEY k;
    ASSERT_EQ(reg::RegOpenKeyEx(reg::HKEY_CURRENT_USER, "K", &k), reg::ERROR_SUCCESS);
    char name[8];
    reg::DWORD nameLen = sizeof name, type = 0, dataLen = 4;
    std::uint8_t data[4];
    ASSERT_EQ(reg::RegEnumValue(k, 0, name, &nameLen, &type, data, &dataLen), reg::ERROR_SUCCESS);
    EXPECT_STREQ(name, "Level");
    EXPECT_EQ(type, reg::REG_DWORD);
    nameLen = sizeof name;
    dataLen = 4;
    EXPECT_EQ(reg::RegEnumValue(k, 1, name, &nameLen, &type, data, &dataLen), reg::ERROR_MORE_DATA);
    EXPECT_EQ(dataLen, 7u);
    nameLen = 4;  // "Text" needs 5 with its zero
    dataLen = sizeof data;
    EXPECT_EQ(reg::RegEnumValue(k, 1, name, &nameLen, &type, data, &dataLen), reg::ERROR_MORE_DATA);
    nameLen = sizeof name;
    EXPECT_EQ(reg::RegEnumValue(k, 2, name, &nameLen, &type, data, &dataLen), reg::ERROR_NO_MORE_ITEMS);
    reg::RegCloseKey(k);
}

TEST_F(RegistryTest, NotificationFiresOnceForTheKeyOrItsSubtree) {
    reg::HKEY k;
    ASSERT_EQ(reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, "W", &k), reg::ERROR_SUCCESS);
    auto own = std::make_shared<reg::Event>(true, false);
    auto tree = std::make_shared<reg::Event>(true, false);
    ASSERT_EQ(reg::RegNotifyChangeKeyValue(k, false, reg::REG_NOTIFY_CHANGE_LAST_SET, own), reg::ERROR_SUCCESS);
    ASSERT_EQ(reg::RegNotifyChangeKeyValue(k, true, reg::REG_NOTIFY_CHANGE_LAST_SET, tree), reg::ERROR_SUCCESS);
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, "W\\Sub", "v", 1);
    EXPECT_FALSE(own->IsSignalled());
    EXPECT_TRUE(tree->IsSignalled());
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, "W", "v", 1);
    EXPECT_TRUE(own->IsSignalled());
    own->Reset();
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, "W", "v", 2);
    EXPECT_FALSE(own->IsSignalled()) << "a notification is one-shot until re-armed";
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, "Wx", "v", 2);
    reg::RegCloseKey(k);
}

TEST_F(RegistryTest, DeleteKeyRefusesChildrenDeleteTreeDoesNot) {
    reg::SetDword(reg::HKEY_CLASSES_ROOT, "A\\B\\C", "v", 1);
    EXPECT_EQ(reg::RegDeleteKey(reg::HKEY_CLASSES_ROOT, "A"), reg::ERROR_KEY_HAS_CHILDREN);
    EXPECT_EQ(reg::RegDeleteTree(reg::HKEY_CLASSES_ROOT, "A"), reg::ERROR_SUCCESS);
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "A"));
}

TEST_F(RegistryTest, PersistsToItsFile) {
    auto path = std::filesystem::temp_directory_path() / ("mirelle-reg-" + std::to_string(::getpid()) + ".db");
    std::filesystem::remove(path);
    reg::UseFile(path.string());
    reg::SetString(reg::HKEY_CURRENT_USER, "Control Panel\\International", "sCurrency", "\x80");
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, "X", "n", 42);
    reg::UseFile(path.string());  // a fresh connection
    EXPECT_EQ(reg::GetString(reg::HKEY_CURRENT_USER, "Control Panel\\International", "sCurrency"), "\x80");
    EXPECT_EQ(reg::GetDword(reg::HKEY_LOCAL_MACHINE, "X", "n"), 42u);
    std::string sub;
    EXPECT_EQ(reg::RegEnumKey(reg::HKEY_CURRENT_USER, 0, &sub), reg::ERROR_SUCCESS);
    EXPECT_EQ(sub, "Control Panel") << "names keep the case they were created with";
    reg::UseMemory();
    std::filesystem::remove(path);
}

TEST_F(RegistryTest, TypedGettersRejectOtherTypes) {
    reg::SetString(reg::HKEY_LOCAL_MACHINE, "T", "s", "1");
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, "T", "d", 1);
    EXPECT_FALSE(reg::GetDword(reg::HKEY_LOCAL_MACHINE, "T", "s").has_value());
    EXPECT_FALSE(reg::GetString(reg::HKEY_LOCAL_MACHINE, "T", "d").has_value());
}

// A folder of its own for tests of file stores; the process goes back to one
// in-memory store afterwards.
class RegistryFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/mirelle-hives-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        reg::UseMemory();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string dir;
};

std::vector<std::string> ValueNames(reg::HKEY root, const std::string& path) {
    std::vector<std::string> names;
    reg::HKEY k;
    if (reg::RegOpenKeyEx(root, path, &k) != reg::ERROR_SUCCESS) return names;
    for (reg::DWORD i = 0;; ++i) {
        char name[64];
        reg::DWORD len = sizeof name;
        if (reg::RegEnumValue(k, i, name, &len, nullptr, nullptr, nullptr) != reg::ERROR_SUCCESS) break;
        names.emplace_back(name, len);
    }
    reg::RegCloseKey(k);
    return names;
}

TEST_F(RegistryTest, TransactionCommitsAllOrNothing) {
    struct Case {
        const char* what;
        bool commit;
        bool failOne;  // a change in the middle fails
        std::size_t kept;
    };
    for (const Case& c : {Case{"committed", true, false, 3}, Case{"dropped without Commit", false, false, 0},
                          Case{"a change failed", true, true, 0}}) {
        SCOPED_TRACE(c.what);
        reg::Clear();
        {
            reg::Transaction t;
            EXPECT_TRUE(reg::SetDword(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Tx", "a", 1));
            EXPECT_TRUE(reg::SetDword(reg::HKEY_CURRENT_USER, "Software\\Tx", "b", 2));
            if (c.failOne) {
                reg::HKEY k;
                ASSERT_EQ(reg::RegOpenKeyEx(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Tx", &k), reg::ERROR_SUCCESS);
                EXPECT_EQ(reg::RegDeleteValue(k, "missing"), reg::ERROR_FILE_NOT_FOUND) << "a miss changes nothing";
                reg::RegCloseKey(k);
                reg::FailOperation("RegSetValueEx", reg::ERROR_OUTOFMEMORY);
                EXPECT_FALSE(reg::SetDword(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Tx", "c", 3));
                reg::FailOperation("RegSetValueEx", 0);
            }
            EXPECT_TRUE(reg::SetDword(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Tx", "d", 4));
            EXPECT_EQ(reg::GetDword(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Tx", "a"), 1u) << "seen within";
            if (c.commit && !c.failOne) {
                EXPECT_EQ(t.Commit(), reg::ERROR_SUCCESS);
            }
        }
        std::size_t kept = ValueNames(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Tx").size() +
                           ValueNames(reg::HKEY_CURRENT_USER, "Software\\Tx").size();
        EXPECT_EQ(kept, c.kept);
    }
}

TEST_F(RegistryTest, EnumerationFollowsChangesMadeWhileWalking) {
    for (int i = 0; i < 6; ++i) reg::SetDword(reg::HKEY_LOCAL_MACHINE, "E", "v" + std::to_string(i), i);
    for (int i = 0; i < 4; ++i) reg::SetDword(reg::HKEY_LOCAL_MACHINE, "E\\k" + std::to_string(i), "x", i);
    reg::HKEY k;
    ASSERT_EQ(reg::RegOpenKeyEx(reg::HKEY_LOCAL_MACHINE, "E", &k), reg::ERROR_SUCCESS);
    auto at = [&](reg::DWORD i) {
        char name[16];
        reg::DWORD len = sizeof name;
        return reg::RegEnumValue(k, i, name, &len, nullptr, nullptr, nullptr) == reg::ERROR_SUCCESS ? std::string(name)
                                                                                                   : std::string("-");
    };
    auto key = [&](reg::DWORD i) {
        std::string name;
        return reg::RegEnumKey(k, i, &name) == reg::ERROR_SUCCESS ? name : std::string("-");
    };
    // Indexes asked in any order answer as counted from the start.
    struct Step {
        reg::DWORD index;
        const char* name;
    };
    for (const Step& s : {Step{0, "v0"}, Step{1, "v1"}, Step{1, "v1"}, Step{2, "v2"}, Step{5, "v5"}, Step{6, "-"},
                          Step{3, "v3"}, Step{4, "v4"}})
        EXPECT_EQ(at(s.index), s.name) << s.index;
    for (const Step& s : {Step{0, "k0"}, Step{1, "k1"}, Step{1, "k1"}, Step{3, "k3"}, Step{4, "-"}, Step{2, "k2"}})
        EXPECT_EQ(key(s.index), s.name) << s.index;
    // A value deleted and one written between two calls of a walk.
    EXPECT_EQ(at(1), "v1");
    ASSERT_EQ(reg::RegDeleteValue(k, "v0"), reg::ERROR_SUCCESS);
    EXPECT_EQ(at(2), "v3");
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, "E", "v9", 9);
    EXPECT_EQ(at(5), "v9");
    EXPECT_EQ(key(1), "k1");
    ASSERT_EQ(reg::RegDeleteTree(reg::HKEY_LOCAL_MACHINE, "E\\k0"), reg::ERROR_SUCCESS);
    EXPECT_EQ(key(2), "k3");
    reg::RegCloseKey(k);
}

// The platform's 8-bit calls see text in the system code page; the store
// keeps Unicode, which a tool working in UTF-8 writes and reads.
TEST_F(RegistryTest, TextIsKeptAsUnicodeAndReadInTheCodePage) {
    struct Case {
        const char* what;
        bool writeUtf8;
        std::string written;
        bool readUtf8;
        std::string read;
    };
    const Case cases[] = {
        {"euro from UTF-8 to 8-bit", true, "\xE2\x82\xAC", false, "\x80"},
        {"euro from 8-bit to UTF-8", false, "\x80", true, "\xE2\x82\xAC"},
        {"8-bit both ways", false, "Caf\xE9 \x80", false, "Caf\xE9 \x80"},
        {"no 8-bit form", true, "\xCE\xA9", false, "?"},
        {"ASCII", true, "$", false, "$"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reg::UseUtf8Text(c.writeUtf8);
        ASSERT_TRUE(reg::SetString(reg::HKEY_CURRENT_USER, "Control Panel\\International", "sCurrency", c.written));
        reg::UseUtf8Text(c.readUtf8);
        EXPECT_EQ(reg::GetString(reg::HKEY_CURRENT_USER, "Control Panel\\International", "sCurrency"), c.read);
        // The size the platform answers is that of the text handed out.
        reg::HKEY k;
        ASSERT_EQ(reg::RegOpenKeyEx(reg::HKEY_CURRENT_USER, "Control Panel\\International", &k), reg::ERROR_SUCCESS);
        reg::DWORD size = 0, type = 0;
        EXPECT_EQ(reg::RegQueryValueEx(k, "sCurrency", &type, nullptr, &size), reg::ERROR_SUCCESS);
        EXPECT_EQ(size, c.read.size() + 1);
        char name[16], data[16] = {};
        reg::DWORD nameLen = sizeof name, dataLen = sizeof data;
        EXPECT_EQ(reg::RegEnumValue(k, 0, name, &nameLen, &type, data, &dataLen), reg::ERROR_SUCCESS);
        EXPECT_EQ(std::string(data), c.read);
        reg::RegCloseKey(k);
    }
    reg::UseUtf8Text(false);
    // Bytes and numbers are never converted.
    const char blob[] = "\xE2\x82\xAC";
    reg::HKEY k;
    ASSERT_EQ(reg::RegCreateKeyEx(reg::HKEY_CURRENT_USER, "B", &k), reg::ERROR_SUCCESS);
    ASSERT_EQ(reg::RegSetValueEx(k, "b", reg::REG_BINARY, blob, 3), reg::ERROR_SUCCESS);
    char out[8];
    reg::DWORD size = sizeof out;
    ASSERT_EQ(reg::RegQueryValueEx(k, "b", nullptr, out, &size), reg::ERROR_SUCCESS);
    EXPECT_EQ(std::string(out, size), std::string(blob, 3));
    reg::RegCloseKey(k);
}

TEST_F(RegistryFiles, MachineAndUserHivesLiveInTheirOwnStores) {
    std::string machine = dir + "/machine/registry.db", user = dir + "/user/registry.db";
    reg::UseHives(machine, user);
    EXPECT_EQ(reg::StorePath(reg::HKEY_LOCAL_MACHINE), machine);
    EXPECT_EQ(reg::StorePath(reg::HKEY_CLASSES_ROOT), machine);
    EXPECT_EQ(reg::StorePath(reg::HKEY_CURRENT_USER), user);
    ASSERT_TRUE(reg::SetDword(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\M", "n", 1));
    ASSERT_TRUE(reg::SetString(reg::HKEY_CLASSES_ROOT, "Mirelle.SetupUI\\CLSID", "", "{x}"));
    ASSERT_TRUE(reg::SetDword(reg::HKEY_CURRENT_USER, "Software\\U", "n", 2));
    // Handles of both stores open side by side.
    reg::HKEY m, u;
    ASSERT_EQ(reg::RegOpenKeyEx(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\M", &m), reg::ERROR_SUCCESS);
    ASSERT_EQ(reg::RegOpenKeyEx(reg::HKEY_CURRENT_USER, "Software\\U", &u), reg::ERROR_SUCCESS);
    reg::DWORD v = 0, size = sizeof v;
    EXPECT_EQ(reg::RegQueryValueEx(u, "n", nullptr, &v, &size), reg::ERROR_SUCCESS);
    EXPECT_EQ(v, 2u);
    size = sizeof v;
    EXPECT_EQ(reg::RegQueryValueEx(m, "n", nullptr, &v, &size), reg::ERROR_SUCCESS);
    EXPECT_EQ(v, 1u);
    reg::RegCloseKey(m);
    reg::RegCloseKey(u);
    // Each file holds its own hives only.
    reg::UseFile(machine);
    EXPECT_TRUE(reg::KeyExists(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\M"));
    EXPECT_TRUE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "Mirelle.SetupUI"));
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_CURRENT_USER, "Software\\U"));
    reg::UseFile(user);
    EXPECT_TRUE(reg::KeyExists(reg::HKEY_CURRENT_USER, "Software\\U"));
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\M"));
}

// A user who may not write the machine's store reads it, gets access denied
// for its changes, and keeps writing the user's own.
TEST_F(RegistryFiles, MachineStoreIsReadOnlyForOtherUsers) {
    std::string machine = dir + "/machine/registry.db", missing = dir + "/locked/registry.db";
    reg::UseHives(machine, dir + "/root-user.db");
    ASSERT_TRUE(reg::SetDword(reg::HKEY_CLASSES_ROOT, "CLSID\\{c}", "n", 7));
    ASSERT_TRUE(reg::SetDword(reg::HKEY_LOCAL_MACHINE, "SOFTWARE", "n", 7));
    reg::UseMemory();  // nothing of the store is open when the child starts
    std::filesystem::create_directories(dir + "/locked");
    std::filesystem::create_directories(dir + "/home");
    ::chmod(dir.c_str(), 0755);
    ::chmod((dir + "/machine").c_str(), 0755);
    ::chmod((dir + "/locked").c_str(), 0555);
    ::chmod((dir + "/home").c_str(), 0777);
    ::chmod(machine.c_str(), 0644);
    if (::geteuid() != 0) ::chmod(machine.c_str(), 0444);
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) || ::setuid(65534))) ::_exit(100);
        int failed = 0;
        for (const std::string& store : {machine, missing}) {
            reg::UseHives(store, dir + "/home/user.db");
            bool present = store == machine;
            if (reg::KeyExists(reg::HKEY_CLASSES_ROOT, "CLSID\\{c}") != present) failed |= 1;
            reg::HKEY k;
            if (reg::RegCreateKeyEx(reg::HKEY_CLASSES_ROOT, "CLSID\\{new}", &k) != reg::ERROR_ACCESS_DENIED) failed |= 2;
            if (reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, "SOFTWARE", &k) == reg::ERROR_SUCCESS) {
                reg::DWORD v = 1;
                if (reg::RegSetValueEx(k, "n", reg::REG_DWORD, &v, 4) != reg::ERROR_ACCESS_DENIED) failed |= 4;
                reg::RegCloseKey(k);
            } else if (!present) {
                // the store is empty: even its first key is a change
            } else {
                failed |= 8;
            }
            if (!reg::SetDword(reg::HKEY_CURRENT_USER, "Software\\Own", "n", 3)) failed |= 16;
            if (reg::GetDword(reg::HKEY_CURRENT_USER, "Software\\Own", "n") != 3u) failed |= 32;
        }
        reg::UseMemory();
        ::_exit(failed);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "bits: 1 read, 2 key, 4 value, 8 open, 16/32 own store";
    EXPECT_FALSE(std::filesystem::exists(missing)) << "nothing is made where the user may not write";
}

TEST_F(RegistryFiles, EnumeratingFourThousandValuesTakesLinearTime) {
    reg::UseFile(dir + "/registry.db");
    {
        reg::Transaction t;
        for (int i = 0; i < 4000; ++i) reg::SetDword(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Many", "v" + std::to_string(i), i);
        ASSERT_EQ(t.Commit(), reg::ERROR_SUCCESS);
    }
    auto t0 = std::chrono::steady_clock::now();
    auto names = ValueNames(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Many");
    auto took = std::chrono::steady_clock::now() - t0;
    ASSERT_EQ(names.size(), 4000u);
    EXPECT_EQ(names[3999], "v3999");
    // Counting rows from the start at every index took seconds here.
    EXPECT_LT(took, std::chrono::milliseconds(1500));
}

}  // namespace
