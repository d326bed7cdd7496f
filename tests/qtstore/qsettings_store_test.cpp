#include "fakes/fakes.h"
#include "settings/player_settings.h"
#include "settings/qt/qsettings_store.h"
#include "temp_dir.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace kavo {
namespace {

using namespace std::literals;

// Whatever a file held, awkward values and the settings saved over it read back byte for byte
// from a fresh store; what could not be read is kept aside byte for byte and reported once, what
// could be read survives; a file that cannot be written is reported once and never made.
TEST(QSettingsStore, ValuesReadBackAndNothingIsLost) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr) << "tests must run with a temporary XDG_CONFIG_HOME";
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    const std::string big(1024 * 1024, 'v');
    const std::string values[] = {"",
                                  "  blanks  ",
                                  "; a=b=c \"q\" 'q' C:\\P\\S.EXE %20 [S] a,b",
                                  "@ByteArray(x)",
                                  "\xC3\xA9 \xE6\x97\xA5",
                                  "\xFF\xFE\x80",
                                  "line\nbreak\r\n\ttab"};
    // Where ("" for the default place), what it held, an entry it must hold after, damaged.
    const std::tuple<std::string, std::string, std::string_view, std::string, bool> cases[] = {
        {"KAVO FE.ini", "[Settings]\nForce 8-bit Sound=1\n", key::kForce8bit, "1", false},
        {"", "[Settings]\nStereo=0\n", key::kStereo, "0", false},
        {"KAVO FE.ini", "[Settings]\nSPCDir=" + big + "\n", key::kSpcDir, big, false},
        {"KAVO FE.ini", garbage, key::kSpcDir, "", true},
        {"KAVO FE.ini", "[Settings]\nSPCDir=/p/SPCPLAY.EXE\n" + garbage, key::kSpcDir,
         "/p/SPCPLAY.EXE", true},
        {"KAVO FE.ini", "[Settings]\nSampling%20Rate=4\nSter", key::kSamplingRate, "4", true},
        {"KAVO FE.ini", "[Settings]\nStereo=0\n[Sett", key::kStereo, "0", true},
        {"plain/KAVO FE.ini", "", key::kStereo, "", false},
    };
    for (const auto& [where, bytes, key, value, damaged] : cases) {
        test::TempDir temp;
        temp.file("plain");
        const std::string file =
            where.empty() ? config + "/kavofe/KAVO FE.ini"s : temp.dir() + where;
        const bool writable = !where.starts_with("plain");
        if (writable) {
            std::filesystem::create_directories(std::filesystem::path(file).parent_path());
            std::ofstream(file, std::ios::binary) << bytes;
        }
        const auto fresh = [&] {
            return where.empty() ? QSettingsStore() : QSettingsStore(QString::fromStdString(file));
        };
        fake::Messages messages;
        QSettingsStore store = fresh();
        store.setMessages(&messages);
        PlayerSettings settings;
        settings.loadreg(store);
        settings.volup();
        settings.savereg(store);
        settings.savereg(store);
        for (std::size_t i = 0; i < std::size(values); ++i) {
            const std::string name = "Key " + std::to_string(i);
            EXPECT_EQ(store.save(kSettingsApp, "Other", name, values[i]), writable);
            EXPECT_EQ(fresh().get(kSettingsApp, "Other", name), writable ? values[i] : "") << i;
        }
        EXPECT_EQ(fresh().get(kSettingsApp, kSettingsSection, key), value) << key;
        EXPECT_EQ(fresh().get(kSettingsApp, kSettingsSection, key::kVolume), writable ? "80" : "");
        const std::string told = damaged    ? "The settings file \"" + file + "\" is damaged"
                                 : writable ? ""
                                            : "Could not save the settings in \"" + file + "\"";
        ASSERT_EQ(messages.shown.size(), told.empty() ? 0U : 1U) << file;
        if (!told.empty()) {
            EXPECT_EQ(messages.shown[0].title, "Error");
            EXPECT_TRUE(messages.shown[0].text.starts_with(told)) << messages.shown[0].text;
        }
        const std::string copy = file + ".damaged";
        EXPECT_EQ(std::filesystem::exists(copy) ? test::readAll(copy) : "none",
                  damaged ? bytes : "none");
        EXPECT_EQ(std::filesystem::exists(file), writable);
        EXPECT_EQ(QSettings(QString::fromStdString(file), QSettings::IniFormat).status(),
                  QSettings::NoError);
    }
}

} // namespace
} // namespace kavo
