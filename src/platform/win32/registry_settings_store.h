#pragma once

#include "settings/settings_store.h"

#include <string>

namespace kavo {

// Entries as string values under HKEY_CURRENT_USER\<root>\<app>\<section>, one value per key.
// Values round-trip byte for byte, NUL characters included; a value that is not valid UTF-8 is
// refused rather than stored altered.
class RegistrySettingsStore : public SettingsStore {
public:
    RegistrySettingsStore() = default;
    // Another root than "Software" keeps tests away from the user's real entries.
    explicit RegistrySettingsStore(std::wstring root) : root_(std::move(root)) {}

    std::string get(std::string_view app, std::string_view section, std::string_view key) override;
    bool save(std::string_view app, std::string_view section, std::string_view key,
              std::string_view value) override;

private:
    std::wstring root_ = L"Software";
};

} // namespace kavo
