#include "present/picker_actions.h"

#include "picker/picker_paths.h"

namespace kavo {

bool confirmLoad(const PickerPlace& place, const std::string& fileName, PickerHost& host,
                 SettingsStore& store, MessageSink& messages) {
    if (fileName.empty()) {
        messages.show(kChooseFileMessage, kErrorTitle, MessageIcon::Error);
        return false;
    }
    host.loadspc(fullPath(place.path, fileName));
    store.save(kSettingsApp, kSettingsSection, key::kSpcPickerDrive, place.driveText);
    store.save(kSettingsApp, kSettingsSection, key::kSpcPickerDir, place.path);
    return true;
}

void confirmSet(const PickerPlace& place, PickerHost& host, SettingsStore& store) {
    host.setdir(directoryText(place.path));
    store.save(kSettingsApp, kSettingsSection, key::kDirPickerDrive, place.driveText);
    store.save(kSettingsApp, kSettingsSection, key::kDirPickerDir, place.path);
}

PickerPlace storedSpcPlace(SettingsStore& store) {
    return {store.get(kSettingsApp, kSettingsSection, key::kSpcPickerDrive),
            store.get(kSettingsApp, kSettingsSection, key::kSpcPickerDir)};
}

PickerPlace storedDirPlace(SettingsStore& store) {
    return {store.get(kSettingsApp, kSettingsSection, key::kDirPickerDrive),
            store.get(kSettingsApp, kSettingsSection, key::kDirPickerDir)};
}

} // namespace kavo
