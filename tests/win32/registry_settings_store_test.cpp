#include "platform/win32/registry_settings_store.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace kavo {
namespace {

using namespace std::string_literals;

class RegistryStoreTest : public ::testing::Test {
protected:
    // A root of the tests' own, removed afterwards: the real entries are never touched.
    const std::wstring root = L"Software\\KAVO FE tests\\" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{root};

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str()); }

    std::string get(std::string_view key) { return store.get(kSettingsApp, kSettingsSection, key); }
    bool save(std::string_view key, std::string_view value) {
        return store.save(kSettingsApp, kSettingsSection, key, value);
    }
};

TEST_F(RegistryStoreTest, EveryEntryOfAnEmptyStoreReadsEmpty) {
    for (auto key :
         {key::kSpcDir, key::kSamplingRate, key::kStereo, key::kForce8bit, key::kVolume,
          key::kSpcPickerDrive, key::kSpcPickerDir, key::kDirPickerDrive, key::kDirPickerDir})
        EXPECT_EQ(get(key), "") << key;
}

TEST_F(RegistryStoreTest, AwkwardValuesComeBackByteForByte) {
    const std::string values[] = {
        "",
        " 75 ",
        "   ",
        "C:\\Program Files\\SPC Player\\SPCPLAY.EXE",
        "%SystemRoot%\\not expanded",
        "key = value; [section]",
        "\"quoted\"",
        "line\r\nbreak\rand\ttab",
        "nul\0inside"s,
        "ends in nul\0"s,
        "Músic ♫ 音楽 \xF0\x9F\x8E\xB5",
        std::string(20000, 'x'),
    };
    for (const std::string& value : values) {
        ASSERT_TRUE(save(key::kSpcDir, value)) << value;
        EXPECT_EQ(get(key::kSpcDir), value);
    }
}

TEST_F(RegistryStoreTest, EntriesAreStringValuesOfAKeyPerApplicationAndSection) {
    ASSERT_TRUE(save(key::kForce8bit, "1"));
    wchar_t data[16] = {};
    DWORD size = sizeof data;
    const std::wstring subkey = root + L"\\KAVO FE\\Settings";
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), L"Force 8-bit Sound", RRF_RT_REG_SZ,
                           nullptr, data, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(data, L"1");
}

TEST_F(RegistryStoreTest, WritesReplaceOnlyTheirOwnEntry) {
    ASSERT_TRUE(save(key::kSpcPickerDrive, "c:"));
    ASSERT_TRUE(save(key::kDirPickerDrive, "d:"));
    ASSERT_TRUE(save(key::kSpcPickerDrive, "e: [DATA]"));
    ASSERT_TRUE(store.save("Other App", kSettingsSection, key::kSpcPickerDrive, "f:"));
    ASSERT_TRUE(store.save(kSettingsApp, "Other Section", key::kSpcPickerDrive, "g:"));
    EXPECT_EQ(get(key::kSpcPickerDrive), "e: [DATA]");
    EXPECT_EQ(get(key::kDirPickerDrive), "d:");
    EXPECT_EQ(store.get("Other App", kSettingsSection, key::kSpcPickerDrive), "f:");
    EXPECT_EQ(store.get(kSettingsApp, "Other Section", key::kSpcPickerDrive), "g:");
}

TEST_F(RegistryStoreTest, RefusedWritesAreReportedAndKeepWhatWasStored) {
    ASSERT_TRUE(save(key::kVolume, "75"));
    struct Case {
        std::string app, key, value;
    };
    const Case cases[] = {
        {"KAVO FE", "Volume", "\xFF\xFE not UTF-8"},
        {"KAVO FE", "Vol\0ume"s, "20"},
        {"KAVO FE\\Settings", "Volume", "20"},   // would address another key
        {std::string(300, 'a'), "Volume", "20"}, // longer than any key name may be
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(store.save(c.app, kSettingsSection, c.key, c.value)) << c.app << c.key;
        EXPECT_EQ(get(key::kVolume), "75");
    }
    HKEY nested = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, (root + L"\\KAVO FE\\Settings\\Settings").c_str(), 0,
                            KEY_READ, &nested),
              ERROR_SUCCESS);
}

TEST_F(RegistryStoreTest, ValueOfAnotherTypeReadsEmpty) {
    ASSERT_TRUE(save(key::kStereo, "1"));
    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (root + L"\\KAVO FE\\Settings").c_str(), 0,
                            KEY_SET_VALUE, &handle),
              ERROR_SUCCESS);
    const DWORD number = 1;
    RegSetValueExW(handle, L"Stereo", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    RegCloseKey(handle);
    EXPECT_EQ(get(key::kStereo), "");
}

} // namespace
} // namespace kavo
