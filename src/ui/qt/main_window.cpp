#include "ui/qt/main_window.h"

#include "ui/qt/control_panel_frame.h"
#include "ui/qt/pickers/player_dir_picker.h"
#include "ui/qt/pickers/spc_file_picker.h"
#include "ui/qt/twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace kavo::ui {

namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* addSubmenu(QWidget* parent, const char* name, const QString& caption) {
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

// The fixed boxes were drawn for an 8-point sans serif of narrow metrics: take such a font
// where there is one, and shrink it until no label is clipped.
QFont fittingFont(QFont font, const QList<QLabel*>& labels) {
    QStringList families{QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                         QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")};
    families.append(font.families());
    font.setFamilies(families);
    for (int size = 11; size > 8; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        if (std::all_of(labels.begin(), labels.end(), [&metrics](const QLabel* label) {
                return metrics.horizontalAdvance(label->text()) <= label->width();
            }))
            break;
    }
    return font;
}

} // namespace

MainWindow::MainWindow(const Collaborators& with)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      store_(with.store), messages_(with.messages),
      presenter_(*this, {with.store, with.files, with.shortPaths, with.starter, with.messages}) {
    setWindowTitle(qtText(kWindowCaption));
    setWindowIcon(QIcon(QStringLiteral(":/kavofe.png")));
    buildMenus();
    buildControls(with);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    presenter_.load();
}

MainWindow::~MainWindow() {
    presenter_.release();
    delete picker_;
}

QAction* MainWindow::addCommand(QMenu* menu, const char* name, const QString& caption,
                                MainCommand command) {
    QAction* action = addItem(menu, name, caption);
    connect(action, &QAction::triggered, this, [this, command] { presenter_.run(command); });
    return action;
}

void MainWindow::buildMenus() {
    QMenu* file = addSubmenu(this, "mnufile", tr("&File"));
    QAction* loadSpc = addCommand(file, "mnuloadspc", tr("&Load SPC. . ."), MainCommand::LoadSpc);
    loadSpc->setShortcut(Qt::CTRL | Qt::Key_L);
    addCommand(file, "mnudir", tr("&SPCPLAY Dir. . ."), MainCommand::PlayerDir);
    file->addSeparator()->setObjectName(QStringLiteral("mnusep"));
    QAction* exit = addCommand(file, "mnuquit", tr("&Exit"), MainCommand::Exit);
    exit->setShortcut(Qt::CTRL | Qt::Key_X);

    QMenu* sound = addSubmenu(this, "mnusound", tr("&Sound"));
    QMenu* rate = addSubmenu(sound, "mnusr", tr("&Sampling Rate"));
    auto command = static_cast<int>(MainCommand::Rate8000);
    for (const RateItem& item : kRateItems) {
        QAction* action = addCommand(rate, std::string(item.name).c_str(), qtText(item.caption),
                                     static_cast<MainCommand>(command++));
        action->setCheckable(true);
        rates_.append(action);
    }
    sound->addMenu(rate);

    QMenu* volume = addSubmenu(sound, "mnuvol", tr("&Volume"));
    QAction* up = addCommand(volume, "mnuup5", tr("&Up 5"), MainCommand::VolumeUp);
    up->setShortcut(Qt::CTRL | Qt::Key_U);
    QAction* down = addCommand(volume, "mnudown5", tr("&Down 5"), MainCommand::VolumeDown);
    down->setShortcut(Qt::CTRL | Qt::Key_D);
    volume->addSeparator()->setObjectName(QStringLiteral("mnusep5"));
    level_ = addItem(volume, "mnucurlev", tr("Current Level:"));
    level_->setEnabled(false);
    sound->addMenu(volume);

    force8bit_ =
        addCommand(sound, "mnuforce8bit", tr("&Force 8-bit Sound"), MainCommand::Force8bit);
    logToWav_ = addCommand(sound, "mnulogtowav", tr("&Log to WAV File"), MainCommand::LogToWav);
    stereo_ = addCommand(sound, "mnustereo", tr("S&tereo"), MainCommand::Stereo);
    for (QAction* toggle : {force8bit_, logToWav_, stereo_})
        toggle->setCheckable(true);

    menuBar()->addMenu(file);
    menuBar()->addMenu(sound);
    QAction* launchItem = menuBar()->addAction(tr("&Launch"));
    launchItem->setObjectName(QStringLiteral("mnulaunch"));
    connect(launchItem, &QAction::triggered, this, [this] { presenter_.run(MainCommand::Launch); });
    QAction* aboutItem = menuBar()->addAction(tr("&About"));
    aboutItem->setObjectName(QStringLiteral("mnuabout"));
    connect(aboutItem, &QAction::triggered, this, [this] { presenter_.run(MainCommand::About); });

    shortcutActions_ = {loadSpc, exit, up, down};
}

QLineEdit* MainWindow::addTextBox(QWidget* parent, const char* name, QRect geometry) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->installEventFilter(this);
    return box;
}

void MainWindow::buildControls(const Collaborators& with) {
    auto* client = new QWidget(this);
    client->setFixedSize(px(5955), px(1890));
    setCentralWidget(client);

    const auto addLabel = [client](const char* name, const QString& caption, QRect geometry) {
        auto* label = new QLabel(caption, client);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(geometry);
    };
    addLabel("Label1", tr("Filename:"), twipRect(120, 120, 735, 255));
    text1_ = addTextBox(client, "Text1", twipRect(120, 360, 4095, 285));
    addLabel("Label2", tr("SPCPLAY Directory:"), twipRect(120, 720, 1455, 255));
    text2_ = addTextBox(client, "Text2", twipRect(120, 960, 4095, 285));
    text3_ = addTextBox(client, "Text3", twipRect(120, 1560, 4095, 285));
    addLabel("Label3", tr("WAV Filename:"), twipRect(120, 1320, 1215, 255));

    auto* panel = new ControlPanelFrame(with.windows, with.layout, with.injector, client);
    panel->setGeometry(twipRect(4320, 120, 1575, 1695));
    setFont(fittingFont(font(), client->findChildren<QLabel*>()));

    QWidget* previous = text1_;
    QList<QWidget*> chain{text2_, text3_};
    for (QPushButton* button : panel->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        chain.append(button);
    for (QWidget* next : chain) {
        setTabOrder(previous, next);
        previous = next;
    }
}

void MainWindow::showDisplay(const MainDisplay& display) {
    for (qsizetype i = 0; i < rates_.size(); ++i)
        rates_[i]->setChecked(display.rates[static_cast<std::size_t>(i)]);
    stereo_->setChecked(display.stereo);
    force8bit_->setChecked(display.force8bit);
    logToWav_->setChecked(display.logToWav);
    text3_->setEnabled(display.wavBoxEnabled);
    level_->setText(qtText(display.levelCaption));
}

QLineEdit* MainWindow::box(TextBox which) const {
    switch (which) {
    case TextBox::Spc:
        return text1_;
    case TextBox::PlayerPath:
        return text2_;
    case TextBox::Wav:
        break;
    }
    return text3_;
}

void MainWindow::setText(TextBox which, const std::string& text) {
    box(which)->setText(QString::fromStdString(text));
}

std::string MainWindow::text(TextBox which) const {
    return box(which)->text().toStdString();
}

void MainWindow::openPicker(PickerKind kind, PickerHost& host) {
    QWidget* picker = nullptr;
    if (kind == PickerKind::SpcFile)
        picker = new SpcFilePicker(host, store_, messages_);
    else
        picker = new PlayerDirPicker(host, store_);
    // A separate top-level window: as a child it would be disabled along with this one. Kept
    // above this window and modal, as a dialog would be: the window manager's close requests
    // for this window are ignored meanwhile, and activating it brings the picker back.
    delete picker_;
    picker_ = picker;
    picker->setWindowModality(Qt::ApplicationModal);
    picker->winId();
    if (QWindow* handle = picker->windowHandle())
        handle->setTransientParent(windowHandle());
    picker->show();
}

void MainWindow::closePicker() {
    if (picker_)
        picker_->close();
}

void MainWindow::end() {
    hide();
    // exit(), not quit(): quit() would close the windows first and so run the unload step.
    QCoreApplication::exit(0);
}

void MainWindow::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        if (const QScreen* shown = screen())
            move(shown->availableGeometry().center() - rect().center());
    }
    QMainWindow::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    presenter_.unload();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The menu shortcuts win over a text box's own bindings for the same keys (Ctrl+X would
    // otherwise cut, and Ctrl+U delete the line on X11).
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        if (std::any_of(
                shortcutActions_.begin(), shortcutActions_.end(),
                [&pressed](const QAction* action) { return action->shortcut() == pressed; })) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kavo::ui
