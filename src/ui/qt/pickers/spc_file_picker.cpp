#include "ui/qt/pickers/spc_file_picker.h"

#include "ui/qt/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

namespace kavo::ui {

namespace {

struct CheckItem {
    const char* name;
    const char* caption;
    int left;
    int width;
};

constexpr std::array<CheckItem, 3> kChecks{{
    {"Check1", "(*.SPC)", 2490, 855},
    {"Check2", "(*.ZS*)", 3480, 855},
    {"Check3", "(*.*)", 4440, 615},
}};

} // namespace

SpcFilePicker::SpcFilePicker(PickerHost& host, SettingsStore& store, MessageSink& messages,
                             QWidget* parent)
    : PickerWindow(host, tr("Load SPC File"), {5130, 2145}, 2415, 1440, parent), store_(store),
      messages_(messages), file1_(new QListWidget(this)) {
    file1_->setObjectName("File1");
    file1_->setGeometry(twipRect(2460, 0, 2655, 1455));
    file1_->setSelectionMode(QAbstractItemView::SingleSelection);
    file1_->setUniformItemSizes(true);

    for (std::size_t i = 0; i < kChecks.size(); ++i) {
        auto* check = new QCheckBox(tr(kChecks[i].caption), this);
        check->setObjectName(kChecks[i].name);
        check->setGeometry(twipRect(kChecks[i].left, 1560, kChecks[i].width, 255));
        const auto box = static_cast<CheckFilter::Box>(i);
        connect(check, &QCheckBox::clicked, this, [this, box] { clickCheck(box); });
        checks_[i] = check;
    }

    auto* command1 = new QPushButton(tr("&Load"), this);
    command1->setObjectName("Command1");
    command1->setGeometry(twipRect(1440, 1840, 975, 255));
    connect(command1, &QPushButton::clicked, this, &SpcFilePicker::load);
    auto* command2 = new QPushButton(tr("&Cancel"), this);
    command2->setObjectName("Command2");
    command2->setGeometry(twipRect(2760, 1840, 975, 255));
    setButtons(command1, command2);

    setTabOrder(driveList(), directoryList());
    setTabOrder(directoryList(), file1_);
    setTabOrder(file1_, checks_[0]);
    setTabOrder(checks_[0], checks_[1]);
    setTabOrder(checks_[1], checks_[2]);
    setTabOrder(checks_[2], command1);
    setTabOrder(command1, command2);

    fitFont({checks_.begin(), checks_.end()});

    restorePlace(storedSpcPlace(store_));
    filter_.open();
    showChecks();
}

void SpcFilePicker::updatechecks() {
    filter_.updatechecks();
    showChecks();
}

void SpcFilePicker::directoryChanged() {
    shownPattern_ = filter_.pattern();
    shownFiles_ = currentFiles(shownPattern_);
    QStringList names;
    names.reserve(static_cast<qsizetype>(shownFiles_.size()));
    for (const std::string& name : shownFiles_)
        names.append(QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(name.size())));
    file1_->setUpdatesEnabled(false);
    file1_->clear();
    file1_->addItems(names);
    file1_->setUpdatesEnabled(true);
}

void SpcFilePicker::clickCheck(CheckFilter::Box box) {
    // The box has flipped itself already; the filter makes the same flip and reacts.
    filter_.click(box);
    showChecks();
}

void SpcFilePicker::showChecks() {
    for (std::size_t i = 0; i < checks_.size(); ++i)
        checks_[i]->setChecked(filter_.value(static_cast<CheckFilter::Box>(i)) == 1);
    if (filter_.pattern() != shownPattern_)
        directoryChanged();
}

void SpcFilePicker::load() {
    const QList<QListWidgetItem*> selected = file1_->selectedItems();
    const int row = selected.isEmpty() ? -1 : file1_->row(selected.front());
    const std::string name = row >= 0 && static_cast<std::size_t>(row) < shownFiles_.size()
                                 ? shownFiles_[static_cast<std::size_t>(row)]
                                 : std::string();
    if (confirmLoad(currentPlace(), name, host(), store_, messages_))
        close();
    else
        activateWindow(); // the message box hands the focus to the disabled main window
}

} // namespace kavo::ui
