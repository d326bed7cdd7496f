#include "../posix/temp_dir.h"
#include "settings/qt/qsettings_store.h"

#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kavo {
namespace {

using test::readAll;
using test::TempDir;

const std::string kApp(kSettingsApp);
const std::string kSection(kSettingsSection);

// Runs save() in a process that may not write into dir: as an unprivileged user when we are
// root (root ignores permission bits), else after making dir read-only.
bool saveWithoutWriteAccess(const std::string& dir, const std::string& file,
                            const std::string& value) {
    if (::geteuid() != 0) {
        ::chmod(dir.c_str(), 0555);
        const bool saved =
            QSettingsStore(QString::fromStdString(file)).save(kApp, kSection, "Volume", value);
        ::chmod(dir.c_str(), 0755);
        return saved;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const bool saved =
            QSettingsStore(QString::fromStdString(file)).save(kApp, kSection, "Volume", value);
        ::_exit(saved ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 3) << "could not drop privileges";
    return WEXITSTATUS(status) == 0;
}

TEST(QSettingsStore, AwkwardValuesRoundTripByteForByte) {
    TempDir temp;
    QSettingsStore store(QString::fromStdString(temp.dir() + "settings.ini"));
    const std::string values[] = {
        "",
        "  leading and trailing  ",
        " ",
        "a=b=c",
        "; not a comment",
        "# nor this",
        "\"quoted\"",
        "'single'",
        "back\\slash\\",
        "C:\\Program Files\\SPCPLAY\\SPCPLAY.EXE",
        "/home/user/My Music/Track One.spc",
        "non-ASCII \xC3\xA9\xC3\xA8 \xE6\x97\xA5\xE6\x9C\xAC",
        "not UTF-8 \xFF\xFE\x80",
        "line\nbreak\r\n",
        "tab\there",
        "@ByteArray(looks special)",
        "@at start",
        "%20 percent",
        "[Section]",
        "a,b,c",
    };
    int i = 0;
    for (const std::string& value : values) {
        const std::string key = "Key " + std::to_string(i++);
        ASSERT_TRUE(store.save(kApp, kSection, key, value)) << key;
        EXPECT_EQ(store.get(kApp, kSection, key), value) << key;
    }
    // Reading again from a fresh store proves the file, not a cache, holds them.
    QSettingsStore reread(QString::fromStdString(temp.dir() + "settings.ini"));
    i = 0;
    for (const std::string& value : values)
        EXPECT_EQ(reread.get(kApp, kSection, "Key " + std::to_string(i++)), value);
}

TEST(QSettingsStore, AbsentEntriesReadEmptyAndHandWrittenKeysWork) {
    TempDir temp;
    const std::string file =
        temp.file("s.ini", "[Settings]\nForce 8-bit Sound=1\nSampling Rate=4\n");
    QSettingsStore store(QString::fromStdString(file));
    EXPECT_EQ(store.get(kApp, kSection, "Force 8-bit Sound"), "1");
    EXPECT_EQ(store.get(kApp, kSection, "Sampling Rate"), "4");
    EXPECT_EQ(store.get(kApp, kSection, "Volume"), "");
    EXPECT_EQ(store.get(kApp, "Other", "Sampling Rate"), "");
    EXPECT_EQ(QSettingsStore(QString::fromStdString(temp.dir() + "none.ini"))
                  .get(kApp, kSection, "SPCDir"),
              "");
    EXPECT_FALSE(std::filesystem::exists(temp.dir() + "none.ini"));
}

TEST(QSettingsStore, DefaultFileLivesUnderTheXdgConfigDirectory) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr) << "tests must run with a temporary XDG_CONFIG_HOME";
    QSettingsStore store;
    ASSERT_TRUE(store.save(kApp, kSection, "Stereo", "0"));
    EXPECT_EQ(store.get(kApp, kSection, "Stereo"), "0");
    const std::string file = std::string(config) + "/kavofe/KAVO FE.ini";
    EXPECT_NE(readAll(file).find("Stereo=0"), std::string::npos) << file;
}

TEST(QSettingsStore, FailedWriteKeepsStoredEntries) {
    TempDir temp;
    ::chmod(temp.dir().c_str(), 0755);
    const std::string file = temp.dir() + "settings.ini";
    QSettingsStore store(QString::fromStdString(file));
    ASSERT_TRUE(store.save(kApp, kSection, "SPCDir", "/opt/spc/SPCPLAY.EXE"));
    ASSERT_TRUE(store.save(kApp, kSection, "Volume", "80"));
    ::chmod(file.c_str(), 0644);
    const std::string before = readAll(file);

    EXPECT_FALSE(saveWithoutWriteAccess(temp.dir(), file, "20"));
    EXPECT_EQ(readAll(file), before);
    EXPECT_EQ(store.get(kApp, kSection, "Volume"), "80");
    EXPECT_EQ(store.get(kApp, kSection, "SPCDir"), "/opt/spc/SPCPLAY.EXE");
}

TEST(QSettingsStore, UnusableLocationsFailQuietly) {
    TempDir temp;
    const std::string notADirectory = temp.file("plain-file");
    for (const std::string& file :
         {notADirectory + "/settings.ini", std::string("/proc/self/kavo-settings.ini")}) {
        QSettingsStore store(QString::fromStdString(file));
        EXPECT_FALSE(store.save(kApp, kSection, "Volume", "75")) << file;
        EXPECT_EQ(store.get(kApp, kSection, "Volume"), "") << file;
    }
}

} // namespace
} // namespace kavo
