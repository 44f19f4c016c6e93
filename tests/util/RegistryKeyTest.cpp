#include "RegistryKey.h"

#include "ScopedXdgEnvironment.h"

#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace {

constexpr const char* kKey = "Software\\Larkspur Test";

class RegistryKeyTest : public testing::Test {
protected:
    // Stores a value straight through the registry, bypassing the wrapper.
    static void Store(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void StoreText(const char* name, const std::string& text) {
        Store(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    static LONG StoredSize(const char* name, DWORD& size) {
        HKEY key = nullptr;
        LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key);
        if (result == ERROR_SUCCESS) {
            result = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
            RegCloseKey(key);
        }
        return result;
    }
    static bool KeyExists(const char* path) {
        HKEY key = nullptr;
        const bool exists = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
        RegCloseKey(key);
        return exists;
    }

    ScopedXdgEnvironment environment_;
};

TEST_F(RegistryKeyTest, FreshObjectRefusesValueOperationsWithoutACall) {
    CRegistryKey key;
    char buffer[16] = "untouched";
    int number = 5;
    EXPECT_TRUE(key.Close());
    EXPECT_FALSE(key.ReadString("x", buffer, 8));
    EXPECT_FALSE(key.WriteString("x", "y"));
    EXPECT_FALSE(key.ReadNumber("x", number));
    EXPECT_FALSE(key.WriteNumber("x", 1));
    EXPECT_FALSE(key.DeleteValue("x"));
    EXPECT_FALSE(key.EnumSubKey(0, buffer, 8));
    EXPECT_EQ(key.m_lResult, ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(number, 5);
}

TEST_F(RegistryKeyTest, OpenRefusesPathsOf260CharactersBeforeTheRegistry) {
    CRegistryKey key;
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, std::string(259, 'k').c_str()));
    EXPECT_EQ(key.m_lResult, ERROR_FILE_NOT_FOUND) << "259 characters reach the registry";
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kKey));
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, std::string(260, 'k').c_str()));
    EXPECT_EQ(key.m_lResult, ERROR_SUCCESS) << "260 characters make no call";
    EXPECT_EQ(key.m_hKey, nullptr) << "the key held before is closed";
}

TEST_F(RegistryKeyTest, OpenNeverCreatesAndCreateMakesEveryParent) {
    CRegistryKey key;
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, "A\\B\\C"));
    EXPECT_FALSE(KeyExists("A"));
    EXPECT_TRUE(key.Create(HKEY_CURRENT_USER, "A\\B\\C"));
    EXPECT_TRUE(KeyExists("A"));
    EXPECT_TRUE(KeyExists("a\\b"));
    EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, "A\\B\\C"));
}

TEST_F(RegistryKeyTest, ReadStringLimits) {
    StoreText("fits", std::string(511, 'f'));
    StoreText("long", std::string(512, 'l'));
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kKey));

    std::string buffer(513, '#');
    EXPECT_FALSE(key.ReadString("missing", buffer.data(), 512));
    EXPECT_EQ(key.m_lResult, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(buffer, std::string(513, '#'));

    EXPECT_FALSE(key.ReadString("long", buffer.data(), 512));
    EXPECT_EQ(key.m_lResult, ERROR_MORE_DATA);
    EXPECT_EQ(buffer, std::string(513, '#'));

    EXPECT_TRUE(key.ReadString("fits", buffer.data(), 512));
    EXPECT_EQ(std::string(buffer.c_str()), std::string(511, 'f'));
    EXPECT_EQ(buffer[512], '\0');
}

TEST_F(RegistryKeyTest, ReadStringOfAnotherTypeIsReadOnceAndRemovedWhenWritable) {
    const DWORD abc = 0x00434241; // "ABC" and a zero byte, little-endian
    Store("dword", REG_DWORD, &abc, sizeof abc);
    char buffer[65] = {};
    DWORD size = 0;

    CRegistryKey reader;
    ASSERT_TRUE(reader.Open(HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(reader.ReadString("dword", buffer, 64));
    EXPECT_STREQ(buffer, "ABC");
    EXPECT_EQ(StoredSize("dword", size), ERROR_SUCCESS) << "a key opened for reading keeps the value";

    CRegistryKey writer;
    ASSERT_TRUE(writer.Create(HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(writer.ReadString("dword", buffer, 64));
    EXPECT_STREQ(buffer, "ABC");
    EXPECT_EQ(StoredSize("dword", size), ERROR_FILE_NOT_FOUND);
}

struct NumberCase {
    const char* text;
    int expected;
};

void PrintTo(const NumberCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class RegistryKeyReadNumber : public RegistryKeyTest, public testing::WithParamInterface<NumberCase> {};

TEST_P(RegistryKeyReadNumber, ParsesDecimalText) {
    StoreText("n", GetParam().text);
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey));
    int value = 12345;
    EXPECT_TRUE(key.ReadNumber("n", value));
    EXPECT_EQ(value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, RegistryKeyReadNumber,
                         testing::Values(NumberCase{"42", 42}, NumberCase{" -7a", -7}, NumberCase{"+8", 8},
                                         NumberCase{"no digits", 0}, NumberCase{"", 0},
                                         NumberCase{"4294967295", -1}, NumberCase{"4294967298", 2},
                                         NumberCase{"\t 12 34", 12}));

TEST_F(RegistryKeyTest, ReadNumberLeavesOtherTypesAndMissingOrLongValuesAlone) {
    const DWORD seven = 7;
    Store("dword", REG_DWORD, &seven, sizeof seven);
    StoreText("long", std::string(63, '1'));
    StoreText("longest", std::string(62, '1'));
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kKey));
    int value = 99;
    EXPECT_TRUE(key.ReadNumber("dword", value));
    EXPECT_EQ(value, 99);
    EXPECT_FALSE(key.ReadNumber("missing", value));
    EXPECT_FALSE(key.ReadNumber("long", value));
    EXPECT_EQ(key.m_lResult, ERROR_MORE_DATA);
    EXPECT_EQ(value, 99);
    EXPECT_TRUE(key.ReadNumber("longest", value));
    DWORD size = 0;
    EXPECT_EQ(StoredSize("dword", size), ERROR_SUCCESS) << "ReadNumber never deletes";
}

TEST_F(RegistryKeyTest, WriteNumberAndWriteStringForms) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kKey));
    ASSERT_TRUE(key.WriteNumber("n", 4294967295U));
    char text[64] = {};
    ASSERT_TRUE(key.ReadString("n", text, 63));
    EXPECT_STREQ(text, "4294967295");
    int value = 0;
    ASSERT_TRUE(key.ReadNumber("n", value));
    EXPECT_EQ(value, -1);

    ASSERT_TRUE(key.WriteString("s", std::string(2000, 's').c_str()));
    DWORD size = 0;
    ASSERT_EQ(StoredSize("s", size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1024U) << "1023 characters and the NUL";
}

TEST_F(RegistryKeyTest, DeleteValueNeedsAKeyOpenedForWriting) {
    StoreText("v", "x");
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey));
    EXPECT_FALSE(key.DeleteValue("v"));
    EXPECT_EQ(key.m_lResult, ERROR_ACCESS_DENIED);
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(key.DeleteValue("v"));
    EXPECT_FALSE(key.DeleteValue("v"));
    EXPECT_EQ(key.m_lResult, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKeyTest, EnumSubKeyEndsWithNoMoreItemsAndRefusesLongNames) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, "E\\beta"));
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, "E\\Alpha"));
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, "E"));
    char name[257] = {};
    ASSERT_TRUE(key.EnumSubKey(0, name, 256));
    EXPECT_STREQ(name, "Alpha");
    ASSERT_TRUE(key.EnumSubKey(1, name, 256));
    EXPECT_STREQ(name, "beta");
    EXPECT_FALSE(key.EnumSubKey(2, name, 256));
    EXPECT_EQ(key.m_lResult, ERROR_NO_MORE_ITEMS);
    EXPECT_FALSE(key.EnumSubKey(0, name, 5));
    EXPECT_EQ(key.m_lResult, ERROR_MORE_DATA);
}

TEST_F(RegistryKeyTest, DeleteKeyTreeRemovesEveryLevel) {
    CRegistryKey key;
    for (const char* path : {"T\\one\\a\\x", "T\\one\\a\\y", "T\\one\\b", "T\\two"}) {
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path));
        ASSERT_TRUE(key.WriteString("v", path));
    }
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, "T sibling"));
    EXPECT_TRUE(key.DeleteKeyTree(HKEY_CURRENT_USER, "T"));
    EXPECT_EQ(key.m_hKey, nullptr);
    EXPECT_FALSE(KeyExists("T"));
    EXPECT_TRUE(KeyExists("T sibling"));

    EXPECT_FALSE(key.DeleteKeyTree(HKEY_CURRENT_USER, "T"));
    EXPECT_EQ(key.m_lResult, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(KeyExists("T sibling"));

    // An empty or missing path names the root, which is never emptied.
    EXPECT_FALSE(key.DeleteKeyTree(HKEY_CURRENT_USER, ""));
    EXPECT_FALSE(key.DeleteKeyTree(HKEY_CURRENT_USER, nullptr));
    EXPECT_TRUE(KeyExists("T sibling"));
}

TEST_F(RegistryKeyTest, ReadKeyDefault) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, "D\\none"));
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, "D\\some"));
    ASSERT_TRUE(key.WriteString("", "value"));
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, "D\\long"));
    ASSERT_TRUE(key.WriteString(nullptr, std::string(300, 'x').c_str()));
    key.Close();

    char out[260] = "untouched";
    EXPECT_EQ(ReadKeyDefault(HKEY_CURRENT_USER, "D\\missing", out), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(ReadKeyDefault(HKEY_CURRENT_USER, "D\\none", out), ERROR_SUCCESS);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(ReadKeyDefault(HKEY_CURRENT_USER, "D\\long", out), ERROR_SUCCESS);
    EXPECT_STREQ(out, "") << "a default too long for the buffer reads as nothing";

    // The output may be the very buffer that names the key.
    std::strcpy(out, "D\\some");
    EXPECT_EQ(ReadKeyDefault(HKEY_CURRENT_USER, out, out), ERROR_SUCCESS);
    EXPECT_STREQ(out, "value");
}

} // namespace
