#pragma once

#include "settings/settings_store.h"

#include <QString>

namespace kavo {

// Per-user INI file under the XDG configuration directory, one file per application name:
// $XDG_CONFIG_HOME/kavofe/<app>.ini, one group per section.
class QSettingsStore : public SettingsStore {
public:
    QSettingsStore() = default;
    // Keeps every application's entries in this one file instead (tests, portable use).
    explicit QSettingsStore(QString fileName) : fileName_(std::move(fileName)) {}

    std::string get(std::string_view app, std::string_view section,
                    std::string_view key) override;
    bool save(std::string_view app, std::string_view section, std::string_view key,
              std::string_view value) override;

private:
    QString fileName_;
};

} // namespace kavo
