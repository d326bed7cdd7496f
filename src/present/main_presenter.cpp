#include "present/main_presenter.h"

#include "picker/setdir.h"

namespace kavo {

MainPresenter::MainPresenter(MainView& view, const MainServices& services)
    : view_(view), store_(services.store), files_(services.files), messages_(services.messages),
      launcher_(services.files, services.shortPaths, services.starter, services.messages) {}

void MainPresenter::load() {
    settings_.loadreg(store_);
    adoptStoredPlayer(files_, settings_);
    view_.setText(TextBox::PlayerPath, settings_.pathBoxText());
    refresh();
}

void MainPresenter::run(MainCommand command) {
    const auto rate = static_cast<int>(command) - static_cast<int>(MainCommand::Rate8000);
    if (rate >= 0 && rate < static_cast<int>(kRateItems.size())) {
        settings_.setrate(kRateItems[static_cast<std::size_t>(rate)].code);
        refresh();
        return;
    }
    switch (command) {
    case MainCommand::LoadSpc:
        openPicker(PickerKind::SpcFile);
        return;
    case MainCommand::PlayerDir:
        openPicker(PickerKind::PlayerDir);
        return;
    case MainCommand::Exit:
        exit();
        return;
    case MainCommand::VolumeUp:
        settings_.volup();
        break;
    case MainCommand::VolumeDown:
        settings_.voldown();
        break;
    case MainCommand::Force8bit:
        settings_.toggle8bit();
        break;
    case MainCommand::Stereo:
        settings_.togglestereo();
        break;
    case MainCommand::LogToWav:
        display_.logToWav = !display_.logToWav;
        display_.wavBoxEnabled = display_.logToWav;
        break;
    case MainCommand::Launch:
        launcher_.launch(settings_, {view_.text(TextBox::Spc), view_.text(TextBox::PlayerPath),
                                     view_.text(TextBox::Wav), display_.logToWav});
        return;
    case MainCommand::About:
        messages_.show(kAboutText, kAboutTitle, MessageIcon::Information);
        return;
    default:
        return;
    }
    refresh();
}

void MainPresenter::unload() {
    if (!unloaded_ && !ended_) {
        unloaded_ = true;
        settings_.savereg(store_);
    }
    if (pickerOpen_)
        view_.closePicker();
}

void MainPresenter::release() {
    if (!ended_) {
        ended_ = true;
        settings_.savereg(store_);
    }
}

void MainPresenter::loadspc(const std::string& path) {
    view_.setText(TextBox::Spc, path);
}

void MainPresenter::setdir(const std::string& directoryText) {
    if (kavo::setdir(directoryText, files_, messages_, settings_) == SetdirOutcome::Adopted)
        view_.setText(TextBox::PlayerPath, settings_.playerPath());
}

void MainPresenter::enableMain() {
    pickerOpen_ = false;
    view_.setInputEnabled(true);
}

void MainPresenter::openPicker(PickerKind kind) {
    if (pickerOpen_)
        view_.closePicker();
    pickerOpen_ = true;
    view_.openPicker(kind, *this);
    view_.setInputEnabled(false);
}

void MainPresenter::refresh() {
    for (std::size_t i = 0; i < kRateItems.size(); ++i)
        display_.rates[i] = settings_.rateChecked(kRateItems[i].code);
    display_.stereo = settings_.stereoChecked();
    display_.force8bit = settings_.force8bitChecked();
    display_.levelCaption = settings_.levelCaption();
    view_.showDisplay(display_);
}

void MainPresenter::exit() {
    settings_.savereg(store_);
    ended_ = true;
    if (pickerOpen_)
        view_.closePicker();
    view_.end();
}

} // namespace kavo
