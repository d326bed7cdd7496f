#pragma once

#include "common/message_sink.h"
#include "picker/check_filter.h"
#include "present/picker_presenter.h"
#include "settings/settings_store.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kavo {

class SpcPickerView : public PickerView {
public:
    virtual void showFiles(const std::vector<std::string>& names) = 0;
    // Ticked state of "(*.SPC)", "(*.ZS*)" and "(*.*)".
    virtual void showChecks(const std::array<bool, 3>& ticked) = 0;
};

// "Load SPC File": the type filter over the file list, and "&Load".
class SpcPickerPresenter : public PickerPresenter {
public:
    SpcPickerPresenter(SpcPickerView& view, PickerHost& host, DirectorySource& source,
                       SettingsStore& store, MessageSink& messages);

    // The opening steps: the stored place, then "(*.SPC)" alone.
    void open();
    // The box has been clicked: it flips, and the filter reacts.
    void clickCheck(CheckFilter::Box box);
    // "&Load" with File1's selected row, if any. False when the picker stays open.
    bool load(std::optional<std::size_t> fileRow);

    const std::vector<std::string>& files() const { return files_; }
    // What the file's tag says (title, game, artist, length), "" when it has none. Reads at
    // most the file's header, so it may be asked on every hover.
    std::string fileTooltip(std::size_t fileRow) const;
    const CheckFilter& filter() const { return filter_; }

private:
    void listsChanged() override;
    void showChecks();

    SpcPickerView& view_;
    SettingsStore& store_;
    MessageSink& messages_;
    CheckFilter filter_;
    std::vector<std::string> files_;
    std::string filesPattern_;
};

} // namespace kavo
