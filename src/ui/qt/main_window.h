#pragma once

#include "common/message_sink.h"
#include "launch/file_system.h"
#include "launch/launcher.h"
#include "launch/process_starter.h"
#include "launch/short_path.h"
#include "remote/keyboard.h"
#include "remote/window_activator.h"
#include "settings/player_settings.h"
#include "settings/settings_store.h"
#include "present/picker_host.h"

#include <QMainWindow>
#include <QPointer>
#include <string_view>

class QLineEdit;

namespace kavo::ui {

inline constexpr std::string_view kWindowCaption = "KAVOfe - Version 1.03j";
inline constexpr std::string_view kAboutTitle = "About";
inline constexpr std::string_view kAboutText =
    "KAVO FrontEnd 1.03j\rProgrammed by Vorlane\rhttp://kavofe.example.org/";

// What the main window works with. Without the three remote parts the control panel buttons
// do nothing.
struct Collaborators {
    SettingsStore& store;
    FileSystem& files;
    ShortPathApi& shortPaths;
    ProcessStarter& starter;
    MessageSink& messages;
    WindowActivator* windows = nullptr;
    KeyboardLayout* layout = nullptr;
    KeyInjector* injector = nullptr;
};

class MainWindow : public QMainWindow, public PickerHost {
    Q_OBJECT

public:
    // Runs loadreg; the window is ready to be shown.
    explicit MainWindow(const Collaborators& with);
    // The final release of the window saves the settings once more, unless Exit ended the run.
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void loadspc(const std::string& path) override;
    void setdir(const std::string& directoryText) override;
    void enableMain() override;
    void savereg();

    // The picker window now open, if any.
    QWidget* picker() const { return picker_.data(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControls(const Collaborators& with);
    QLineEdit* addTextBox(QWidget* parent, const char* name, QRect geometry);
    void updatechecks();

    void openSpcPicker();
    void openDirPicker();
    void showPicker(QWidget* picker);
    void logtowav();
    void launch();
    void about();
    void quit();

    SettingsStore& store_;
    FileSystem& files_;
    MessageSink& messages_;
    Launcher launcher_;
    PlayerSettings settings_;

    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QLineEdit* text3_ = nullptr;
    QAction* logToWav_ = nullptr;
    QAction* stereo_ = nullptr;
    QAction* force8bit_ = nullptr;
    QAction* level_ = nullptr;
    QList<QAction*> rates_;
    QList<QAction*> shortcutActions_;

    QPointer<QWidget> picker_;
    bool placed_ = false;
    bool unloaded_ = false;
    bool ended_ = false;
};

} // namespace kavo::ui
