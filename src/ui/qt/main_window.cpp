#include "ui/qt/main_window.h"

#include "picker/setdir.h"
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
      store_(with.store), files_(with.files), messages_(with.messages),
      launcher_(with.files, with.shortPaths, with.starter, with.messages) {
    setWindowTitle(qtText(kWindowCaption));
    setWindowIcon(QIcon(QStringLiteral(":/kavofe.png")));
    buildMenus();
    buildControls(with);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    settings_.loadreg(store_);
    text2_->setText(qtText(settings_.pathBoxText()));
    updatechecks();
}

MainWindow::~MainWindow() {
    if (!ended_)
        savereg();
    delete picker_;
}

void MainWindow::buildMenus() {
    QMenu* file = addSubmenu(this, "mnufile", tr("&File"));
    QAction* loadSpc = addItem(file, "mnuloadspc", tr("&Load SPC. . ."));
    loadSpc->setShortcut(Qt::CTRL | Qt::Key_L);
    connect(loadSpc, &QAction::triggered, this, &MainWindow::openSpcPicker);
    connect(addItem(file, "mnudir", tr("&SPCPLAY Dir. . .")), &QAction::triggered, this,
            &MainWindow::openDirPicker);
    file->addSeparator()->setObjectName(QStringLiteral("mnusep"));
    QAction* exit = addItem(file, "mnuquit", tr("&Exit"));
    exit->setShortcut(Qt::CTRL | Qt::Key_X);
    connect(exit, &QAction::triggered, this, &MainWindow::quit);

    QMenu* sound = addSubmenu(this, "mnusound", tr("&Sound"));
    QMenu* rate = addSubmenu(sound, "mnusr", tr("&Sampling Rate"));
    for (const RateItem& item : kRateItems) {
        QAction* action = rate->addAction(qtText(item.caption));
        action->setObjectName(qtText(item.name));
        action->setCheckable(true);
        const std::string_view code = item.code;
        connect(action, &QAction::triggered, this, [this, code] {
            settings_.setrate(code);
            updatechecks();
        });
        rates_.append(action);
    }
    sound->addMenu(rate);

    QMenu* volume = addSubmenu(sound, "mnuvol", tr("&Volume"));
    QAction* up = addItem(volume, "mnuup5", tr("&Up 5"));
    up->setShortcut(Qt::CTRL | Qt::Key_U);
    connect(up, &QAction::triggered, this, [this] {
        settings_.volup();
        updatechecks();
    });
    QAction* down = addItem(volume, "mnudown5", tr("&Down 5"));
    down->setShortcut(Qt::CTRL | Qt::Key_D);
    connect(down, &QAction::triggered, this, [this] {
        settings_.voldown();
        updatechecks();
    });
    volume->addSeparator()->setObjectName(QStringLiteral("mnusep5"));
    level_ = addItem(volume, "mnucurlev", tr("Current Level:"));
    level_->setEnabled(false);
    sound->addMenu(volume);

    force8bit_ = addItem(sound, "mnuforce8bit", tr("&Force 8-bit Sound"));
    force8bit_->setCheckable(true);
    connect(force8bit_, &QAction::triggered, this, [this] {
        settings_.toggle8bit();
        updatechecks();
    });
    logToWav_ = addItem(sound, "mnulogtowav", tr("&Log to WAV File"));
    logToWav_->setCheckable(true);
    connect(logToWav_, &QAction::triggered, this, &MainWindow::logtowav);
    stereo_ = addItem(sound, "mnustereo", tr("S&tereo"));
    stereo_->setCheckable(true);
    connect(stereo_, &QAction::triggered, this, [this] {
        settings_.togglestereo();
        updatechecks();
    });

    menuBar()->addMenu(file);
    menuBar()->addMenu(sound);
    QAction* launchItem = menuBar()->addAction(tr("&Launch"));
    launchItem->setObjectName(QStringLiteral("mnulaunch"));
    connect(launchItem, &QAction::triggered, this, &MainWindow::launch);
    QAction* aboutItem = menuBar()->addAction(tr("&About"));
    aboutItem->setObjectName(QStringLiteral("mnuabout"));
    connect(aboutItem, &QAction::triggered, this, &MainWindow::about);

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

void MainWindow::updatechecks() {
    for (qsizetype i = 0; i < rates_.size(); ++i)
        rates_[i]->setChecked(settings_.rateChecked(kRateItems[static_cast<std::size_t>(i)].code));
    stereo_->setChecked(settings_.stereoChecked());
    force8bit_->setChecked(settings_.force8bitChecked());
    level_->setText(qtText(settings_.levelCaption()));
}

void MainWindow::loadspc(const std::string& path) {
    text1_->setText(QString::fromStdString(path));
}

void MainWindow::setdir(const std::string& directoryText) {
    if (kavo::setdir(directoryText, files_, messages_, settings_) == SetdirOutcome::Adopted)
        text2_->setText(QString::fromStdString(settings_.playerPath()));
}

void MainWindow::enableMain() {
    setEnabled(true);
}

void MainWindow::savereg() {
    settings_.savereg(store_);
}

void MainWindow::openSpcPicker() {
    showPicker(new SpcFilePicker(*this, store_, messages_));
}

void MainWindow::openDirPicker() {
    showPicker(new PlayerDirPicker(*this, store_));
}

void MainWindow::showPicker(QWidget* picker) {
    // A separate top-level window: as a child it would be disabled along with this one. Kept
    // above this window all the same, as a dialog would be.
    delete picker_;
    picker_ = picker;
    picker->winId();
    if (QWindow* handle = picker->windowHandle())
        handle->setTransientParent(windowHandle());
    picker->show();
    setEnabled(false);
}

void MainWindow::logtowav() {
    // The action has already flipped its own check mark.
    text3_->setEnabled(logToWav_->isChecked());
}

void MainWindow::launch() {
    launcher_.launch(settings_, {text1_->text().toStdString(), text2_->text().toStdString(),
                                 text3_->text().toStdString(), logToWav_->isChecked()});
}

void MainWindow::about() {
    messages_.show(kAboutText, kAboutTitle, MessageIcon::Information);
}

void MainWindow::quit() {
    savereg();
    ended_ = true;
    if (picker_)
        picker_->close();
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
    if (!unloaded_ && !ended_) {
        unloaded_ = true;
        savereg();
    }
    if (picker_)
        picker_->close();
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
