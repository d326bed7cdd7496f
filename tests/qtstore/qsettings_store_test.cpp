#include "fakes/fakes.h"
#include "settings/qt/qsettings_store.h"
#include "temp_dir.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace kavo {
namespace {

// Whatever a file held, awkward values saved over it read back byte for byte from a fresh store
// and what could be read survives; what could not be read is kept aside byte for byte and
// reported once; a file that cannot be written is reported once however many saves fail.
TEST(QSettingsStore, ValuesReadBackAndNothingIsLost) {
    const std::string big(1024 * 1024, 'v');
    // What a file held ("" for one that cannot be written), an entry it must hold after, damaged.
    const std::tuple<std::string, std::string_view, std::string, bool> cases[] = {
        {"[Settings]\nForce 8-bit Sound=1\n", key::kForce8bit, "1", false},
        {"[Settings]\nSPCDir=" + big + "\n", key::kSpcDir, big, false},
        {"\x01\xff\x80", key::kSpcDir, "", true},
        {"[Settings]\nSPCDir=/p/S.EXE\n\x01\xff\x80", key::kSpcDir, "/p/S.EXE", true},
        {"[Settings]\nSampling%20Rate=4\nSter", key::kSamplingRate, "4", true},
        {"[Settings]\nStereo=0\n[Sett", key::kStereo, "0", true},
        {"", key::kStereo, "", false},
    };
    for (const auto& [bytes, key, value, damaged] : cases) {
        test::TempDir temp;
        const bool writable = !bytes.empty();
        const std::string file = writable ? temp.file("s.ini", bytes) : temp.file("f") + "/s.ini";
        const auto get = [&file](std::string_view section, std::string_view name) {
            return QSettingsStore(QString::fromStdString(file)).get(kSettingsApp, section, name);
        };
        fake::Messages messages;
        QSettingsStore store(QString::fromStdString(file));
        store.setMessages(&messages);
        int i = 0;
        for (const std::string v :
             {"", "  blanks  ", "; a=b \"q\" 'q' C:\\P %20 [S] a,b", "@ByteArray(x)",
              "\xC3\xA9 \xE6\x97\xA5", "\xFF\xFE\x80", "a\nb\r\n\tc"}) {
            const std::string name = "Key " + std::to_string(i++);
            EXPECT_EQ(store.save(kSettingsApp, "Other", name, v), writable);
            EXPECT_EQ(get("Other", name), writable ? v : "") << name;
        }
        EXPECT_EQ(get(kSettingsSection, key), value) << key;
        const std::string told = damaged    ? "The settings file \"" + file + "\" is damaged"
                                 : writable ? ""
                                            : "Could not save the settings in \"" + file + "\"";
        std::string seen;
        for (const auto& shown : messages.shown)
            seen += shown.title + ": " + shown.text.substr(0, told.size()) + "\n";
        EXPECT_EQ(seen, told.empty() ? "" : "Error: " + told + "\n");
        const std::string copy = file + ".damaged";
        EXPECT_EQ(std::filesystem::exists(copy) ? test::readAll(copy) : "none",
                  damaged ? bytes : "none");
        EXPECT_EQ(QSettings(QString::fromStdString(file), QSettings::IniFormat).status(),
                  QSettings::NoError);
    }
}

} // namespace
} // namespace kavo
