#include "fakes/fakes.h"
#include "settings/qt/qsettings_store.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

// Whatever a file held, awkward values saved over it read back byte for byte from a fresh store
// and what could be read survives; what could not be read is kept aside byte for byte and
// reported once; a file that cannot be written is reported once however many saves fail.
TEST(QSettingsStore, ValuesReadBackAndNothingIsLost) {
    // What a file held ("" for one that cannot be written), an entry it must hold after, damaged.
    const std::tuple<std::string, std::string_view, std::string, bool> cases[] = {
        {"[Settings]\nForce 8-bit Sound=1\n", key::kForce8bit, "1", false},
        {"\x01\xff\x80", key::kSpcDir, "", true},
        {"[Settings]\nSPCDir=/p/S.EXE\n\x01\xff\x80", key::kSpcDir, "/p/S.EXE", true},
        {"[Settings]\nSampling%20Rate=4\nSter", key::kSamplingRate, "4", true},
        {"[Settings]\nStereo=0\n[Sett", key::kStereo, "0", true},
        {"", key::kStereo, "", false}};
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
        for (const std::string v :
             {"", "  blanks  ", "; a=b \"q\" 'q' C:\\P %20 [S] a,b", "@ByteArray(x)",
              "\xC3\xA9 \xE6\x97\xA5", "\xFF\xFE\x80", "a\nb\r\n\tc"}) {
            const std::string name = "Key " + std::to_string(v.size()); // one for each value
            EXPECT_EQ(store.save(kSettingsApp, "Other", name, v), writable);
            EXPECT_EQ(get("Other", name), writable ? v : "") << name;
        }
        EXPECT_EQ(get(kSettingsSection, key), value) << key;
        const std::string told = damaged    ? "The settings file \"" + file + "\" is damaged"
                                 : writable ? ""
                                            : "Could not save the settings in \"" + file + "\"";
        ASSERT_EQ(messages.shown.size(), told.empty() ? 0U : 1U);
        EXPECT_TRUE(told.empty() || (messages.shown[0].title == "Error" &&
                                     messages.shown[0].text.starts_with(told)));
        EXPECT_EQ(test::readAll(file + ".damaged"), damaged ? bytes : "") << "the copy aside";
    }
}

} // namespace
} // namespace kavo
