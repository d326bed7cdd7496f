#include "present/spc_picker_presenter.h"

#include "picker/picker_paths.h"
#include "picker/spc_tag.h"

namespace kavo {

SpcPickerPresenter::SpcPickerPresenter(SpcPickerView& view, PickerHost& host,
                                       DirectorySource& source, SettingsStore& store,
                                       MessageSink& messages)
    : PickerPresenter(view, host, source), view_(view), store_(store), messages_(messages) {}

void SpcPickerPresenter::open() {
    restore(storedSpcPlace(store_));
    filter_.open();
    showChecks();
}

void SpcPickerPresenter::clickCheck(CheckFilter::Box box) {
    filter_.click(box);
    showChecks();
}

bool SpcPickerPresenter::load(std::optional<std::size_t> fileRow) {
    const std::string name = fileRow && *fileRow < files_.size() ? files_[*fileRow] : std::string();
    if (!confirmLoad(place(), name, host(), store_, messages_))
        return false;
    giveBack();
    view_.discard();
    return true;
}

std::string SpcPickerPresenter::fileTooltip(std::size_t fileRow) const {
    if (fileRow >= files_.size())
        return {};
    const auto tag = readSpcTagFile(fullPath(lists().path(), files_[fileRow]));
    return tag ? spcTagTooltip(*tag) : std::string();
}

void SpcPickerPresenter::listsChanged() {
    filesPattern_ = filter_.pattern();
    files_ = lists().files(filesPattern_);
    view_.showFiles(files_);
}

void SpcPickerPresenter::showChecks() {
    view_.showChecks({filter_.value(CheckFilter::Spc) == 1, filter_.value(CheckFilter::Zs) == 1,
                      filter_.value(CheckFilter::All) == 1});
    if (filter_.pattern() != filesPattern_)
        listsChanged();
}

} // namespace kavo
