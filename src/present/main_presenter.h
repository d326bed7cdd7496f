#pragma once

#include "common/message_sink.h"
#include "launch/file_system.h"
#include "launch/launcher.h"
#include "launch/process_starter.h"
#include "launch/short_path.h"
#include "present/picker_host.h"
#include "settings/player_settings.h"
#include "settings/settings_store.h"

#include <array>
#include <string>
#include <string_view>

namespace kavo {

inline constexpr std::string_view kWindowCaption = "KAVOfe - Version 1.03j";
inline constexpr std::string_view kAboutTitle = "About";
inline constexpr std::string_view kAboutText =
    "KAVO FrontEnd 1.03j\rProgrammed by Vorlane\rhttp://kavofe.example.org/";

// The main window's menu commands, in menu order; the rates follow kRateItems.
enum class MainCommand {
    LoadSpc,
    PlayerDir,
    Exit,
    Rate8000,
    Rate11025,
    Rate16000,
    Rate22050,
    Rate32000,
    Rate44100,
    VolumeUp,
    VolumeDown,
    Force8bit,
    LogToWav,
    Stereo,
    Launch,
    About,
};

enum class PickerKind { SpcFile, PlayerDir };

// What the menus and the WAV box show; the views draw exactly this.
struct MainDisplay {
    std::array<bool, kRateItems.size()> rates{};
    bool stereo = false;
    bool force8bit = false;
    bool logToWav = false;
    bool wavBoxEnabled = true;
    std::string levelCaption = "Current Level:";

    bool operator==(const MainDisplay&) const = default;
};

enum class TextBox { Spc, PlayerPath, Wav };

class MainView {
public:
    virtual ~MainView() = default;
    virtual void showDisplay(const MainDisplay& display) = 0;
    virtual void setText(TextBox box, const std::string& text) = 0;
    virtual std::string text(TextBox box) const = 0;
    // Creates and shows a fresh picker that reports to host; does not wait for it.
    virtual void openPicker(PickerKind kind, PickerHost& host) = 0;
    virtual void closePicker() = 0;
    virtual void setInputEnabled(bool enabled) = 0;
    // Ends the program at once, without the window's unload steps.
    virtual void end() = 0;
};

struct MainServices {
    SettingsStore& store;
    FileSystem& files;
    ShortPathApi& shortPaths;
    ProcessStarter& starter;
    MessageSink& messages;
};

// The main window's rules: what it shows, what each command does, and when settings are saved.
class MainPresenter : public PickerHost {
public:
    MainPresenter(MainView& view, const MainServices& services);

    // loadreg and the display it gives; the window is shown after this.
    void load();
    void run(MainCommand command);
    // The window unloads (close box, Alt+F4): saves unless Exit ended the run.
    void unload();
    // The window object goes away as the program ends: saves once more unless Exit ended it.
    void release();

    void loadspc(const std::string& path) override;
    void setdir(const std::string& directoryText) override;
    void enableMain() override;

    const MainDisplay& display() const { return display_; }
    const PlayerSettings& settings() const { return settings_; }
    bool pickerOpen() const { return pickerOpen_; }
    bool ended() const { return ended_; }

private:
    void openPicker(PickerKind kind);
    void refresh();
    void exit();

    MainView& view_;
    SettingsStore& store_;
    FileSystem& files_;
    MessageSink& messages_;
    Launcher launcher_;
    PlayerSettings settings_;
    MainDisplay display_;
    bool pickerOpen_ = false;
    bool unloaded_ = false;
    bool ended_ = false;
};

} // namespace kavo
