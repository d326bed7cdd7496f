#pragma once

#include "present/main_presenter.h"
#include "remote/keyboard.h"
#include "remote/window_activator.h"

#include <QMainWindow>
#include <QPointer>
#include <string_view>

class QLineEdit;

namespace kavo::ui {

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

// The Qt view of the main window: it builds the widgets and forwards every event to the
// presenter.
class MainWindow : public QMainWindow, public MainView {
    Q_OBJECT

public:
    // Runs loadreg; the window is ready to be shown.
    explicit MainWindow(const Collaborators& with);
    // The final release of the window saves the settings once more, unless Exit ended the run.
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    MainPresenter& presenter() { return presenter_; }

    void showDisplay(const MainDisplay& display) override;
    void setText(TextBox box, const std::string& text) override;
    std::string text(TextBox box) const override;
    void openPicker(PickerKind kind, PickerHost& host) override;
    void closePicker() override;
    void setInputEnabled(bool enabled) override { setEnabled(enabled); }
    void end() override;

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
    QAction* addCommand(QMenu* menu, const char* name, const QString& caption, MainCommand command);
    QLineEdit* box(TextBox which) const;

    SettingsStore& store_;
    MessageSink& messages_;
    MainPresenter presenter_;

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
};

} // namespace kavo::ui
