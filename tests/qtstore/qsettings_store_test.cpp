#include "fakes/fakes.h"
#include "settings/player_settings.h"
#include "settings/qt/qsettings_store.h"
#include "temp_dir.h"

#include <QSettings>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kavo {
namespace {

using test::readAll;
using test::TempDir;

const std::string kApp(kSettingsApp);
const std::string kSection(kSettingsSection);

std::string get(const std::string& file, std::string_view key) {
    return QSettingsStore(QString::fromStdString(file)).get(kApp, kSection, key);
}

TEST(QSettingsStore, AwkwardValuesRoundTripByteForByte) {
    TempDir temp;
    const std::string file = temp.file("s.ini", "[Settings]\nForce 8-bit Sound=1\n");
    QSettingsStore store(QString::fromStdString(file));
    const std::string values[] = {"",
                                  "  leading and trailing  ",
                                  "a=b=c",
                                  "; not a comment",
                                  "\"quoted\" 'single'",
                                  "C:\\Program Files\\SPCPLAY\\SPCPLAY.EXE",
                                  "non-ASCII \xC3\xA9 \xE6\x97\xA5",
                                  "not UTF-8 \xFF\xFE\x80",
                                  "line\nbreak\r\n\ttab",
                                  "@ByteArray(looks special)",
                                  "%20 percent [Section] a,b,c"};
    for (std::size_t i = 0; i < std::size(values); ++i)
        ASSERT_TRUE(store.save(kApp, kSection, "Key " + std::to_string(i), values[i]));
    // A fresh store proves the file, not a cache, holds them.
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(get(file, "Key " + std::to_string(i)), values[i]) << i;
    EXPECT_EQ(get(file, "Force 8-bit Sound"), "1") << "hand-written keys with blanks";
    EXPECT_EQ(QSettingsStore(QString::fromStdString(file)).get(kApp, "Other", "Key 1"), "");
    EXPECT_EQ(get(temp.dir() + "none.ini", key::kSpcDir), "");
    EXPECT_FALSE(std::filesystem::exists(temp.dir() + "none.ini"));
}

TEST(QSettingsStore, DefaultFileLivesUnderTheXdgConfigDirectory) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr) << "tests must run with a temporary XDG_CONFIG_HOME";
    ASSERT_TRUE(QSettingsStore().save(kApp, kSection, "Stereo", "0"));
    EXPECT_NE(readAll(std::string(config) + "/kavofe/KAVO FE.ini").find("Stereo=0"),
              std::string::npos);
}

// Root ignores permission bits: the write is tried as nobody.
TEST(QSettingsStore, FailedWritesReturnFalseAndTouchNothing) {
    TempDir temp;
    std::filesystem::permissions(temp.path(), std::filesystem::perms::all);
    const std::string file = temp.dir() + "settings.ini";
    ASSERT_TRUE(QSettingsStore(QString::fromStdString(file)).save(kApp, kSection, "Volume", "80"));
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::others_read);
    std::filesystem::permissions(temp.path(), std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    const std::string before = readAll(file);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        QSettingsStore store(QString::fromStdString(file));
        if (store.save(kApp, kSection, "Volume", "20"))
            ::_exit(0);
        // However many entries fail, the user is told once.
        fake::Messages messages;
        store.setMessages(&messages);
        PlayerSettings settings;
        settings.loadreg(store);
        settings.savereg(store);
        settings.savereg(store);
        ::_exit(messages.shown.size() == 1 && messages.shown[0].text.starts_with(
                                                  "Could not save the settings in \"" + file)
                    ? 1
                    : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(readAll(file), before);

    for (const std::string& where :
         {temp.file("plain") + "/settings.ini", std::string("/proc/self/kavo-settings.ini")}) {
        QSettingsStore store(QString::fromStdString(where));
        EXPECT_FALSE(store.save(kApp, kSection, "Volume", "75")) << where;
        EXPECT_EQ(store.get(kApp, kSection, "Volume"), "") << where;
    }
}

// What could not be read is kept aside byte for byte, the user is told once, what could be
// read survives the next save, and the file is clean again.
TEST(QSettingsStore, DamagedFileIsKeptAsideAndReportedOnce) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    const std::string big(1024 * 1024, 'v');
    const struct {
        std::string bytes;
        bool damaged;
        std::vector<std::pair<std::string_view, std::string>> kept;
    } cases[] = {
        {garbage, true, {}},
        {"[Settings]\nSPCDir=/p/SPCPLAY.EXE\nSPCDir2=/music\n" + garbage,
         true,
         {{key::kSpcDir, "/p/SPCPLAY.EXE"}, {key::kSpcPickerDir, "/music"}}},
        {"[Settings]\nSampling%20Rate=4\nSter", true, {{key::kSamplingRate, "4"}}},
        {"[Settings]\nStereo=0\n[Sett", true, {{key::kStereo, "0"}}},
        {"[Settings]\nSPCDir=" + big + "\n", false, {{key::kSpcDir, big}}},
    };
    for (const auto& c : cases) {
        TempDir temp;
        const std::string file = temp.file("KAVO FE.ini", c.bytes);
        fake::Messages messages;
        QSettingsStore store(QString::fromStdString(file));
        store.setMessages(&messages);
        PlayerSettings settings;
        settings.loadreg(store);
        settings.volup();
        settings.savereg(store);
        settings.savereg(store);
        for (const auto& [key, value] : c.kept)
            EXPECT_EQ(get(file, key), value) << key;
        EXPECT_EQ(get(file, key::kVolume), "80");
        if (c.damaged) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].title, "Error");
            EXPECT_NE(messages.shown[0].text.find("\"" + file + "\" is damaged"), std::string::npos)
                << messages.shown[0].text;
            EXPECT_EQ(readAll(file + ".damaged"), c.bytes);
        } else {
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_FALSE(std::filesystem::exists(file + ".damaged"));
        }
        EXPECT_EQ(QSettings(QString::fromStdString(file), QSettings::IniFormat).status(),
                  QSettings::NoError);
    }
}

} // namespace
} // namespace kavo
