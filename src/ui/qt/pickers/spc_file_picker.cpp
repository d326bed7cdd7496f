#include "ui/qt/pickers/spc_file_picker.h"

#include "ui/qt/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QListWidget>
#include <QPushButton>
#include <QToolTip>

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
    : PickerWindow(tr("Load SPC File"), {5130, 2145}, 2415, 1440, parent),
      file1_(new QListWidget(this)), presenter_(*this, host, source(), store, messages) {
    attach(presenter_);
    file1_->setObjectName("File1");
    file1_->setGeometry(twipRect(2460, 0, 2655, 1455));
    file1_->setSelectionMode(QAbstractItemView::SingleSelection);
    file1_->setUniformItemSizes(true);
    file1_->viewport()->installEventFilter(this);
    connect(file1_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && file1_->hasFocus())
            showTag(row, file1_->visualItemRect(file1_->item(row)).bottomLeft());
    });

    for (std::size_t i = 0; i < kChecks.size(); ++i) {
        auto* check = new QCheckBox(tr(kChecks[i].caption), this);
        check->setObjectName(kChecks[i].name);
        check->setGeometry(twipRect(kChecks[i].left, 1560, kChecks[i].width, 255));
        const auto box = static_cast<CheckFilter::Box>(i);
        connect(check, &QCheckBox::clicked, this, [this, box] { presenter_.clickCheck(box); });
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

    presenter_.open();
}

void SpcFilePicker::showFiles(const std::vector<std::string>& names) {
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        shown.append(QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(name.size())));
    file1_->setUpdatesEnabled(false);
    file1_->clear();
    file1_->addItems(shown);
    file1_->setUpdatesEnabled(true);
}

void SpcFilePicker::showChecks(const std::array<bool, 3>& ticked) {
    for (std::size_t i = 0; i < checks_.size(); ++i)
        checks_[i]->setChecked(ticked[i]);
}

bool SpcFilePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == file1_->viewport() && event->type() == QEvent::ToolTip) {
        const QPoint at = static_cast<QHelpEvent*>(event)->pos();
        showTag(file1_->row(file1_->itemAt(at)), at);
        return true;
    }
    return PickerWindow::eventFilter(watched, event);
}

void SpcFilePicker::showTag(int row, const QPoint& at) {
    const std::string text = row >= 0 ? presenter_.fileTooltip(static_cast<std::size_t>(row)) : "";
    if (text.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(file1_->viewport()->mapToGlobal(at), QString::fromStdString(text),
                           file1_->viewport());
}

void SpcFilePicker::load() {
    const QList<QListWidgetItem*> selected = file1_->selectedItems();
    const int row = selected.isEmpty() ? -1 : file1_->row(selected.front());
    if (!presenter_.load(row >= 0 ? std::optional(static_cast<std::size_t>(row)) : std::nullopt))
        activateWindow(); // the message box hands the focus to the disabled main window
}

} // namespace kavo::ui
