#include "Registry.h"

#include "ScopedXdgEnvironment.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class RegistryTest : public testing::Test {
protected:
    static HKEY CreateKey(HKEY root, const char* path, REGSAM access = KEY_READ | KEY_WRITE) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, &key, nullptr), ERROR_SUCCESS)
            << path;
        return key;
    }
    static LONG OpenKey(HKEY root, const char* path, REGSAM access, HKEY& key) {
        return RegOpenKeyExA(root, path, 0, access, &key);
    }
    static LONG SetText(HKEY key, const char* name, const std::string& text) {
        return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(text.size() + 1));
    }
    static std::string QueryText(HKEY key, const char* name) {
        char buffer[256] = {};
        DWORD size = sizeof buffer - 1;
        const LONG result =
            RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
        return result == ERROR_SUCCESS ? std::string(buffer) : "<error " + std::to_string(result) + ">";
    }

    ScopedXdgEnvironment environment_;
};

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCaseAndKeepTheFirstSpelling) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "SoftWare\\Larkspur\\Larkspur");
    ASSERT_EQ(SetText(key, "iWavLoc", "1"), ERROR_SUCCESS);
    ASSERT_EQ(SetText(key, "IWAVLOC", "2"), ERROR_SUCCESS);
    RegCloseKey(key);

    HKEY same = nullptr;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "software\\LARKSPUR\\larkspur", KEY_READ, same), ERROR_SUCCESS);
    EXPECT_EQ(QueryText(same, "iwavloc"), "2");
    char name[32] = {};
    DWORD nameSize = sizeof name;
    ASSERT_EQ(RegEnumValueA(same, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "iWavLoc");
    EXPECT_EQ(nameSize, 7U);
    EXPECT_EQ(RegEnumValueA(same, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(same);

    HKEY software = nullptr;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "Software", KEY_READ, software), ERROR_SUCCESS);
    ASSERT_EQ(RegEnumKeyA(software, 0, name, sizeof name), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Larkspur");
    RegCloseKey(software);
}

TEST_F(RegistryTest, EmptyAndNullNamesAddressTheDefaultValue) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "K");
    ASSERT_EQ(SetText(key, nullptr, "default"), ERROR_SUCCESS);
    EXPECT_EQ(QueryText(key, ""), "default");
    char text[16] = {};
    LONG size = sizeof text;
    EXPECT_EQ(RegQueryValueA(HKEY_CURRENT_USER, "K", text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "default");
    EXPECT_EQ(size, 8);
    EXPECT_EQ(RegDeleteValueA(key, ""), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueA(key, nullptr, text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "") << "a key without a default reads as empty text";
    RegCloseKey(key);
}

TEST_F(RegistryTest, TypeTagsAndBytesComeBackAsStored) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Types");
    const std::vector<std::pair<DWORD, std::vector<BYTE>>> values = {
        {REG_SZ, {'a', 0}},        {REG_EXPAND_SZ, {'$', 'H', 0}}, {REG_DWORD, {1, 2, 3, 4}},
        {REG_BINARY, {0, 255, 0}}, {REG_MULTI_SZ, {'a', 0, 0}},    {11, {9, 8, 7, 6, 5, 4, 3, 2}},
        {REG_BINARY, {}}};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string name = "v" + std::to_string(i);
        ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, values[i].first, values[i].second.data(),
                                 static_cast<DWORD>(values[i].second.size())),
                  ERROR_SUCCESS);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string name = "v" + std::to_string(i);
        DWORD type = 0;
        std::vector<BYTE> data(16, 0xEE);
        DWORD size = static_cast<DWORD>(data.size());
        ASSERT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size), ERROR_SUCCESS);
        data.resize(size);
        EXPECT_EQ(type, values[i].first) << name;
        EXPECT_EQ(data, values[i].second) << name;
    }
    RegCloseKey(key);
}

TEST_F(RegistryTest, BufferTooSmallGivesMoreDataAndTheSizeWithTheBufferUntouched) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "K");
    ASSERT_EQ(SetText(key, "v", "123456789"), ERROR_SUCCESS);
    char buffer[8] = "#######";
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 10U);
    EXPECT_STREQ(buffer, "#######");

    DWORD type = 0;
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, nullptr, &size), ERROR_SUCCESS) << "size only";
    EXPECT_EQ(size, 10U);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(RegQueryValueExA(key, "none", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, AccessRightsOfTheHandleAreEnforced) {
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, "K\\Sub"));
    HKEY reader = nullptr;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "K", KEY_READ, reader), ERROR_SUCCESS);
    EXPECT_EQ(SetText(reader, "v", "x"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(reader, "v"), ERROR_ACCESS_DENIED);
    HKEY created = nullptr;
    EXPECT_EQ(RegCreateKeyExA(reader, "New", 0, nullptr, 0, KEY_READ, nullptr, &created, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExA(reader, "Sub", 0, nullptr, 0, KEY_READ, nullptr, &created, nullptr),
              ERROR_SUCCESS)
        << "opening an existing sub-key needs no right to create";
    RegCloseKey(created);
    RegCloseKey(reader);

    HKEY queryOnly = nullptr;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "K", KEY_QUERY_VALUE, queryOnly), ERROR_SUCCESS);
    char name[16];
    EXPECT_EQ(RegEnumKeyA(queryOnly, 0, name, sizeof name), ERROR_ACCESS_DENIED);
    RegCloseKey(queryOnly);
}

TEST_F(RegistryTest, DeleteKeyRefusesAKeyWithSubKeysAndMissingKeys) {
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, "Tree\\Leaf"));
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "tree\\LEAF"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Tree\\Leaf"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED) << "a root cannot be deleted";

    RegCloseKey(CreateKey(HKEY_CURRENT_USER, "Whole\\a\\b"));
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Whole"), ERROR_SUCCESS);
    HKEY gone = nullptr;
    EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, "Whole", KEY_READ, gone), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(gone, nullptr);
}

TEST_F(RegistryTest, AHandleToADeletedKeyFailsInsteadOfRecreatingIt) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Doomed");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Doomed"), ERROR_SUCCESS);
    EXPECT_EQ(SetText(key, "v", "x"), ERROR_KEY_DELETED);
    HKEY check = nullptr;
    EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, "Doomed", KEY_READ, check), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, EnumKeyOrderEndAndShortBuffer) {
    for (const char* name : {"b", "C", "a"}) {
        RegCloseKey(CreateKey(HKEY_CURRENT_USER, (std::string("E\\") + name).c_str()));
    }
    HKEY key = nullptr;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "E", KEY_READ, key), ERROR_SUCCESS);
    std::string names;
    char name[8];
    DWORD index = 0;
    for (; RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
        names += name;
    }
    EXPECT_EQ(names, "abC");
    EXPECT_EQ(RegEnumKeyA(key, index, name, sizeof name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumKeyA(key, 0, name, 1), ERROR_MORE_DATA) << "a name needs room for its NUL";
    RegCloseKey(key);
}

TEST_F(RegistryTest, ClassesRootIsTheUsersSoftwareClasses) {
    HKEY verb = CreateKey(HKEY_CLASSES_ROOT, ".mp3\\Shell\\Larkspur");
    ASSERT_EQ(SetText(verb, "", "Make WAV File..."), ERROR_SUCCESS);
    RegCloseKey(verb);
    HKEY same = nullptr;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "Software\\Classes\\.mp3\\shell\\larkspur", KEY_READ, same),
              ERROR_SUCCESS);
    EXPECT_EQ(QueryText(same, ""), "Make WAV File...");
    RegCloseKey(same);
}

TEST_F(RegistryTest, ClassesRootOpensBeforeAnyClassIsStored) {
    HKEY classes = nullptr;
    ASSERT_EQ(OpenKey(HKEY_CLASSES_ROOT, "", KEY_READ, classes), ERROR_SUCCESS);
    char name[16];
    EXPECT_EQ(RegEnumKeyA(classes, 0, name, sizeof name), ERROR_NO_MORE_ITEMS);
    RegCloseKey(classes);
}

TEST_F(RegistryTest, PathsAndHandlesThatAreRefused) {
    HKEY key = nullptr;
    EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, "\\Leading", KEY_READ, key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "a\\\\b", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_BAD_PATHNAME);
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, "Trailing\\"));
    EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, "Trailing", KEY_READ, key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, "", KEY_READ, key), ERROR_SUCCESS) << "the root itself";
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE) << "closed twice";
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

} // namespace
