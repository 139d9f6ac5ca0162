#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

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

}  // namespace
