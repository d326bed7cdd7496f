// The INI settings store with arbitrary bytes: whatever the file held before, every entry that
// is saved reads back byte for byte, and saving one entry never changes what another reads.
#include "fuzz_check.h"
#include "settings/qt/qsettings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr std::array<std::string_view, 9> kKeys = {
    kavo::key::kSpcDir,       kavo::key::kSamplingRate,   kavo::key::kStereo,
    kavo::key::kForce8bit,    kavo::key::kVolume,         kavo::key::kSpcPickerDrive,
    kavo::key::kSpcPickerDir, kavo::key::kDirPickerDrive, kavo::key::kDirPickerDir};

std::array<std::string, kKeys.size()> readAll(kavo::QSettingsStore& store) {
    std::array<std::string, kKeys.size()> values;
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        values[i] = store.get(kavo::kSettingsApp, kavo::kSettingsSection, kKeys[i]);
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir temp;
    const QString fileName = temp.path() + QStringLiteral("/settings.ini");
    FuzzedDataProvider input(data, size);

    // A file left behind by anything at all: another program, a crash, a disk error.
    const std::string previous = input.ConsumeRandomLengthString(512);
    {
        QFile file(fileName);
        KAVO_FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(previous.data(), static_cast<qint64>(previous.size()));
    }

    kavo::QSettingsStore store(fileName);
    std::array<std::string, kKeys.size()> expected = readAll(store);
    while (input.remaining_bytes() > 0) {
        const std::size_t which = input.ConsumeIntegralInRange<std::size_t>(0, kKeys.size() - 1);
        const std::string value = input.ConsumeRandomLengthString(128);
        KAVO_FUZZ_CHECK(
            store.save(kavo::kSettingsApp, kavo::kSettingsSection, kKeys[which], value));
        expected[which] = value;
        KAVO_FUZZ_CHECK(readAll(store) == expected);
    }
    // A fresh store reading the same file sees the same entries.
    kavo::QSettingsStore reread(fileName);
    KAVO_FUZZ_CHECK(readAll(reread) == expected);
    return 0;
}
