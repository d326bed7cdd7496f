#pragma once

#include "common/message_sink.h"
#include "present/picker_host.h"
#include "settings/settings_store.h"

#include <string>

namespace kavo {

// Where a picker's lists stand when it is confirmed.
struct PickerPlace {
    std::string driveText;
    std::string path;
};

// "&Load" of the SPC file picker, up to closing: hands the chosen file to the host and keeps
// the place. With no file chosen it only shows the message. True when the picker should close.
bool confirmLoad(const PickerPlace& place, const std::string& fileName, PickerHost& host,
                 SettingsStore& store, MessageSink& messages);

// "&Set" of the player directory picker, up to closing. The place is kept whatever the host's
// setdir made of the directory.
void confirmSet(const PickerPlace& place, PickerHost& host, SettingsStore& store);

// The stored places each picker opens at.
PickerPlace storedSpcPlace(SettingsStore& store);
PickerPlace storedDirPlace(SettingsStore& store);

} // namespace kavo
