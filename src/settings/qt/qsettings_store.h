#pragma once

#include "common/message_sink.h"
#include "settings/settings_store.h"

#include <QString>

class QSettings;

namespace kavo {

// Per-user INI file under the XDG configuration directory, one file per application name:
// $XDG_CONFIG_HOME/kavofe/<app>.ini, one group per section.
class QSettingsStore : public SettingsStore {
public:
    QSettingsStore() = default;
    // Keeps every application's entries in this one file instead (tests, portable use).
    explicit QSettingsStore(QString fileName) : fileName_(std::move(fileName)) {}

    // Where the user is told of a damaged file (once) and of writes that fail (once for each
    // run of failures). Without it both pass silently.
    void setMessages(MessageSink* messages) { messages_ = messages; }

    std::string get(std::string_view app, std::string_view section, std::string_view key) override;
    // True only when the value reads back from the file.
    bool save(std::string_view app, std::string_view section, std::string_view key,
              std::string_view value) override;

private:
    void checkDamage(QSettings& settings);
    void noteSaveFailure(const QString& path);

    QString fileName_;
    MessageSink* messages_ = nullptr;
    bool checkedDamage_ = false;
    bool toldSaveFailure_ = false;
};

} // namespace kavo
