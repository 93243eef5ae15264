// The settings store's read and write rules against the prefix's registry.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/Exception.h"
#include "platform/Cp1250.h"
#include "ui/toolkit/TRegistryIniFile.h"

namespace brenvik {
namespace {

const char kKey[] = "Software\\BrenvikTest";
const char kSection[] = "Section";

class SettingsStoreWineTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
    void Raw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kKey) + "\\" + kSection).c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    DWORD TypeOf(const char* name) {
        DWORD type = REG_NONE;
        HKEY key = nullptr;
        RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kKey) + "\\" + kSection).c_str(), 0, KEY_READ, &key);
        RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr);
        RegCloseKey(key);
        return type;
    }
};

TEST_F(SettingsStoreWineTest, IntegersReadFromTextOrNumbersAndKeepTheirType) {
    TRegistryIniFile store(kKey);
    Raw("Text", REG_SZ, "12", 3);
    Raw("Junk", REG_SZ, "abc", 4);
    DWORD number = 42;
    Raw("Number", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(store.ReadInteger(kSection, "Text", 10), 12);
    EXPECT_EQ(store.ReadInteger(kSection, "Junk", 10), 10);
    EXPECT_EQ(store.ReadInteger(kSection, "Number", 10), 42);
    EXPECT_EQ(store.ReadInteger(kSection, "Absent", 10), 10);

    store.WriteInteger(kSection, "Text", 30);  // stays text
    store.WriteInteger(kSection, "Fresh", 30);
    EXPECT_EQ(TypeOf("Text"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(TypeOf("Fresh"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(store.ReadString(kSection, "Text", ""), "30");
}

TEST_F(SettingsStoreWineTest, FlagsAndTextsFollowTheStoredForm) {
    TRegistryIniFile store(kKey);
    EXPECT_TRUE(store.ReadBool(kSection, "Refresh", true));
    store.WriteBool(kSection, "Refresh", false);
    EXPECT_EQ(store.ReadString(kSection, "Refresh", "?"), "0");
    EXPECT_FALSE(store.ReadBool(kSection, "Refresh", true));
    Raw("Many", REG_SZ, "7", 2);
    EXPECT_TRUE(store.ReadBool(kSection, "Many", false));  // any non-zero value is on

    store.WriteString(kSection, "ComPort", "Port \xb3\xb9" "cza");
    EXPECT_EQ(store.ReadString(kSection, "ComPort", ""), "Port \xb3\xb9" "cza");
}

TEST_F(SettingsStoreWineTest, UnusableTypesRaiseTheReadError) {
    TRegistryIniFile store(kKey);
    DWORD number = 1;
    Raw("Number", REG_DWORD, &number, sizeof number);
    Raw("Blob", REG_BINARY, "\x01\x02", 2);
    EXPECT_THROW(store.ReadString(kSection, "Number", ""), ERegistryException);
    EXPECT_THROW(store.ReadInteger(kSection, "Blob", 0), ERegistryException);
}

TEST(Cp1250Conversion, PolishTextsReachWindowsIntact) {
    std::string summary = "Zaimportowano 9 kod(\xf3w) z czego 2 odrzucono. \xb3\xb9\xea\x9c\x9f\xbf\xf1\xe6";
    std::wstring wide = WideFromCp1250(summary);
    EXPECT_EQ(wide, L"Zaimportowano 9 kod(\u00f3w) z czego 2 odrzucono. \u0142\u0105\u0119\u015b\u017a\u017c\u0144\u0107");
    EXPECT_EQ(Cp1250FromWide(wide), summary);
}

}  // namespace
}  // namespace brenvik
