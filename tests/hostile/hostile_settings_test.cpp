// Damaged, huge and unreachable settings files, and two copies of the program saving at once.
#include "fakes/fakes.h"
#include "hostile_support.h"
#include "settings/player_settings.h"
#include "settings/qt/qsettings_store.h"
#include "settings/volume_text.h"

#include <QSettings>
#include <fstream>

namespace kavo {
namespace {

using test::readAll;
using test::TempDir;

const std::string kSettingsFile = "KAVO FE.ini";

const std::string kStoredEntries = "[Settings]\n"
                                   "SPCDir=/opt/spc/SPCPLAY.EXE\n"
                                   "Sampling%20Rate=4\n"
                                   "Stereo=0\n"
                                   "Force%208-bit%20Sound=1\n"
                                   "Volume=80\n"
                                   "SPCDir1=/\n"
                                   "SPCDir2=/music\n";

std::string writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

struct DamagedCase {
    const char* name;
    std::string bytes;
    bool damaged; // the user must be told
    // Entries that were readable before and must survive a load and save.
    std::vector<std::pair<std::string_view, std::string>> kept;
};

std::vector<DamagedCase> damagedCases() {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    const std::string bigValue(1024 * 1024, 'v');
    return {
        {"binary garbage", garbage, true, {}},
        {"garbage after the entries",
         kStoredEntries + garbage,
         true,
         {{key::kSpcDir, "/opt/spc/SPCPLAY.EXE"}, {key::kSpcPickerDir, "/music"}}},
        {"truncated inside a key",
         "[Settings]\nSPCDir=/opt/spc/SPCPLAY.EXE\nSampling%20Rate=4\nSter",
         true,
         {{key::kSpcDir, "/opt/spc/SPCPLAY.EXE"}, {key::kSamplingRate, "4"}}},
        {"truncated inside a section name",
         "[Settings]\nStereo=0\n[Sett",
         true,
         {{key::kStereo, "0"}}},
        {"a one-megabyte value",
         "[Settings]\nSPCDir=" + bigValue + "\nVolume=80\n",
         false,
         {{key::kSpcDir, bigValue}}},
    };
}

TEST(HostileSettings, DamagedOrHugeFilesLoadAndSaveWithoutLosingEntries) {
    for (const DamagedCase& c : damagedCases()) {
        SCOPED_TRACE(c.name);
        TempDir temp;
        const std::string file = writeFile(temp.dir() + kSettingsFile, c.bytes);
        fake::Messages messages;
        QSettingsStore store(QString::fromStdString(file));
        store.setMessages(&messages);

        PlayerSettings settings;
        settings.loadreg(store);
        settings.volup();
        settings.savereg(store);
        settings.savereg(store);

        QSettingsStore reread(QString::fromStdString(file));
        for (const auto& [key, value] : c.kept)
            EXPECT_EQ(reread.get(kSettingsApp, kSettingsSection, key), value) << key;
        EXPECT_EQ(reread.get(kSettingsApp, kSettingsSection, key::kVolume),
                  volumeText(settings.volume()));

        if (c.damaged) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].title, "Error");
            EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
            EXPECT_NE(messages.shown[0].text.find("\"" + file + "\" is damaged"), std::string::npos)
                << messages.shown[0].text;
            // What could not be read is kept aside, byte for byte.
            EXPECT_EQ(readAll(file + ".damaged"), c.bytes);
        } else {
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_FALSE(std::filesystem::exists(file + ".damaged"));
        }
        // Saved once, the file is clean again.
        EXPECT_EQ(QSettings(QString::fromStdString(file), QSettings::IniFormat).status(),
                  QSettings::NoError);
    }
}

TEST(HostileSettings, TenMegabyteFileKeepsEveryEntry) {
    TempDir temp;
    std::string huge = kStoredEntries + "[Other]\n";
    int entries = 0;
    for (; huge.size() < 10 * 1024 * 1024; ++entries)
        huge += "Entry" + std::to_string(entries) + "=" + std::string(100, 'x') + "\n";
    const std::string file = writeFile(temp.dir() + kSettingsFile, huge);
    fake::Messages messages;
    QSettingsStore store(QString::fromStdString(file));
    store.setMessages(&messages);
    PlayerSettings settings;
    settings.loadreg(store);
    EXPECT_EQ(settings.playerPath(), "/opt/spc/SPCPLAY.EXE");
    EXPECT_EQ(settings.volume(), 80);
    settings.setrate("2");
    settings.savereg(store);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(store.get(kSettingsApp, kSettingsSection, key::kSamplingRate), "2");
    EXPECT_EQ(store.get(kSettingsApp, kSettingsSection, key::kSpcPickerDir), "/music");
    QSettings check(QString::fromStdString(file), QSettings::IniFormat);
    check.beginGroup("Other");
    EXPECT_EQ(check.childKeys().size(), entries);
    EXPECT_EQ(check.value("Entry" + QString::number(entries - 1)).toString(),
              QString(100, QLatin1Char('x')));
}

// The user is told once however many entries fail, and nothing stored is touched.
void expectSaveRefused(const std::string& file, const std::string& dirToOpen) {
    const std::string before = std::filesystem::exists(file) ? readAll(file) : std::string();
    if (!dirToOpen.empty())
        test::openToEveryone(dirToOpen);
    const std::string result = test::runUnprivileged([&file] {
        fake::Messages messages;
        QSettingsStore store(QString::fromStdString(file));
        store.setMessages(&messages);
        PlayerSettings settings;
        settings.loadreg(store);
        settings.setrate("0");
        settings.savereg(store);
        settings.savereg(store);
        std::string out = std::to_string(messages.shown.size());
        for (const auto& shown : messages.shown)
            out += "|" + shown.title + "|" + shown.text;
        // What the child read, to prove the entries were there for it.
        return out + "|rate=" + settings.rateCode() + "|volume=" + volumeText(settings.volume());
    });
    EXPECT_TRUE(result.starts_with("1|Error|Could not save the settings in \"" + file)) << result;
    if (!before.empty()) {
        EXPECT_NE(result.find("|volume=80"), std::string::npos) << result;
        EXPECT_EQ(readAll(file), before);
    }
}

TEST(HostileSettings, ReadOnlyConfigDirectoryIsReportedOnce) {
    TempDir temp;
    const std::string config = temp.dir() + "kavofe";
    std::filesystem::create_directory(config);
    const std::string file = writeFile(config + "/" + kSettingsFile, kStoredEntries);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    std::filesystem::permissions(
        config, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                    std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                    std::filesystem::perms::others_exec);
    test::openToEveryone(temp.dir());
    expectSaveRefused(file, {});
}

TEST(HostileSettings, ConfigDirectoryThatIsAFileIsReportedOnce) {
    TempDir temp;
    const std::string config = writeFile(temp.dir() + "kavofe", "not a directory");
    expectSaveRefused(config + "/" + kSettingsFile, temp.dir());
    EXPECT_EQ(readAll(config), "not a directory");
}

TEST(HostileSettings, TwoCopiesSavingAtOnceNeverCorruptTheFile) {
    TempDir temp;
    const std::string file = writeFile(temp.dir() + kSettingsFile, kStoredEntries);
    const QString qfile = QString::fromStdString(file);
    auto copy = [&qfile](const char* rate, int steps) {
        const pid_t child = ::fork();
        if (child != 0)
            return child;
        QSettingsStore store(qfile);
        fake::Messages messages;
        store.setMessages(&messages);
        PlayerSettings settings;
        settings.loadreg(store);
        settings.setrate(rate);
        for (int i = 0; i < 40; ++i) {
            for (int s = 0; s < steps; ++s)
                settings.voldown();
            settings.savereg(store);
        }
        ::_exit(messages.shown.empty() ? 0 : 1);
    };
    const pid_t first = copy("1", 1);
    const pid_t second = copy("2", 2);
    for (pid_t child : {first, second}) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "a copy was told of a failure";
    }

    QSettings check(qfile, QSettings::IniFormat);
    EXPECT_EQ(check.status(), QSettings::NoError);
    QSettingsStore store(qfile);
    const std::string rate = store.get(kSettingsApp, kSettingsSection, key::kSamplingRate);
    EXPECT_TRUE(rate == "1" || rate == "2") << rate;
    // Each copy ends at 0 and writes it last.
    EXPECT_EQ(store.get(kSettingsApp, kSettingsSection, key::kVolume), "0");
    EXPECT_EQ(store.get(kSettingsApp, kSettingsSection, key::kSpcDir), "/opt/spc/SPCPLAY.EXE");
    // Entries neither copy writes survive both.
    EXPECT_EQ(store.get(kSettingsApp, kSettingsSection, key::kSpcPickerDir), "/music");

    // The last writer wins.
    PlayerSettings last;
    last.loadreg(store);
    last.setrate("5");
    last.savereg(store);
    EXPECT_EQ(QSettingsStore(qfile).get(kSettingsApp, kSettingsSection, key::kSamplingRate), "5");
}

} // namespace
} // namespace kavo
