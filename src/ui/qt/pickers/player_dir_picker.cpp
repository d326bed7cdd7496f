#include "ui/qt/pickers/player_dir_picker.h"

#include "ui/qt/twips.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

namespace kavo::ui {

PlayerDirPicker::PlayerDirPicker(PickerHost& host, SettingsStore& store, QWidget* parent)
    : PickerWindow(tr("Set SPCPLAY.EXE Dir"), {2670, 2295}, 2655, 1665, parent),
      presenter_(*this, host, source(), store) {
    attach(presenter_);
    auto* command1 = new QPushButton(tr("&Set"), this);
    command1->setObjectName("Command1");
    command1->setGeometry(twipRect(360, 2040, 855, 255));
    connect(command1, &QPushButton::clicked, this, [this] { presenter_.set(); });
    auto* command2 = new QPushButton(tr("Cancel"), this);
    command2->setObjectName("Command2");
    command2->setGeometry(twipRect(1440, 2040, 855, 255));
    setButtons(command1, command2);

    setTabOrder(driveList(), directoryList());
    setTabOrder(directoryList(), command1);
    setTabOrder(command1, command2);

    presenter_.open();
}

} // namespace kavo::ui
