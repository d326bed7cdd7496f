#include "window_fixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

namespace kavo::ui::test {
namespace {

struct MenuRow {
    int level;
    QString name, caption, shortcut;
    bool operator==(const MenuRow&) const = default;
};

void PrintTo(const MenuRow& row, std::ostream* os) {
    *os << row.level << ' ' << row.name.toStdString() << " \"" << row.caption.toStdString() << "\" "
        << row.shortcut.toStdString();
}

void flatten(const QList<QAction*>& actions, int level, std::vector<MenuRow>& rows) {
    for (const QAction* action : actions) {
        rows.push_back({level, action->objectName(),
                        action->isSeparator() ? QStringLiteral("-") : action->text(),
                        action->shortcut().toString(QKeySequence::PortableText)});
        if (action->menu())
            flatten(action->menu()->actions(), level + 1, rows);
    }
}

TEST_F(WindowTest, MenuTreeHasItsNamesCaptionsSeparatorsAndShortcutsInOrder) {
    open();
    std::vector<MenuRow> rows;
    flatten(window->menuBar()->actions(), 1, rows);
    const std::vector<MenuRow> expected{
        {1, "mnufile", "&File", ""},
        {2, "mnuloadspc", "&Load SPC. . .", "Ctrl+L"},
        {2, "mnudir", "&SPCPLAY Dir. . .", ""},
        {2, "mnusep", "-", ""},
        {2, "mnuquit", "&Exit", "Ctrl+X"},
        {1, "mnusound", "&Sound", ""},
        {2, "mnusr", "&Sampling Rate", ""},
        {3, "mnu8000", "8000Hz", ""},
        {3, "mnu11025", "11025Hz", ""},
        {3, "mnu16000", "16000Hz", ""},
        {3, "mnu22050", "22050Hz", ""},
        {3, "mnu32000", "32000Hz", ""},
        {3, "mnu44100", "44100Hz", ""},
        {2, "mnuvol", "&Volume", ""},
        {3, "mnuup5", "&Up 5", "Ctrl+U"},
        {3, "mnudown5", "&Down 5", "Ctrl+D"},
        {3, "mnusep5", "-", ""},
        {3, "mnucurlev", "Current Level:  75", ""},
        {2, "mnuforce8bit", "&Force 8-bit Sound", ""},
        {2, "mnulogtowav", "&Log to WAV File", ""},
        {2, "mnustereo", "S&tereo", ""},
        {1, "mnulaunch", "&Launch", ""},
        {1, "mnuabout", "&About", ""},
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(find("mnulaunch")->menu(), nullptr);
    EXPECT_EQ(find("mnuabout")->menu(), nullptr);
}

TEST_F(WindowTest, LevelItemIsDisabledAndCannotBeChosen) {
    open();
    QAction* level = find("mnucurlev");
    EXPECT_FALSE(level->isEnabled());
    level->trigger();
    EXPECT_EQ(level->text(), "Current Level:  75");
    EXPECT_TRUE(store.writes.empty());
}

struct LoadCase {
    const char* rate;
    const char* stereo;
    const char* force8bit;
    const char* checkedRate; // nullptr: none
    bool stereoChecked, force8bitChecked;
};

TEST_F(WindowTest, CheckMarksAfterLoadFollowTheStoredTexts) {
    const LoadCase cases[] = {
        {"", "", "", "mnu44100", true, false},       {"0", "1", "1", "mnu8000", true, true},
        {"1", "0", "0", "mnu11025", false, false},   {"5", "x", "x", "mnu16000", false, false},
        {"2", " 1", " 1", "mnu22050", false, false}, {"4", "1", "0", "mnu32000", true, false},
        {"7", "1", "0", nullptr, true, false},       {" 3", "1", "0", nullptr, true, false},
        {"03", "1", "0", nullptr, true, false},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(std::string("rate \"") + c.rate + "\" stereo \"" + c.stereo + "\" 8-bit \"" +
                     c.force8bit + "\"");
        store.put(key::kSamplingRate, c.rate);
        store.put(key::kStereo, c.stereo);
        store.put(key::kForce8bit, c.force8bit);
        open();
        for (const RateItem& item : kRateItems) {
            const QString name = QString::fromUtf8(item.name.data(), item.name.size());
            EXPECT_EQ(find(name.toLatin1().constData())->isChecked(),
                      c.checkedRate != nullptr && name == QLatin1String(c.checkedRate))
                << name.toStdString();
        }
        EXPECT_EQ(find("mnustereo")->isChecked(), c.stereoChecked);
        EXPECT_EQ(find("mnuforce8bit")->isChecked(), c.force8bitChecked);
        EXPECT_FALSE(find("mnulogtowav")->isChecked());
        window.reset();
    }
}

TEST_F(WindowTest, ChoosingARateChecksOnlyThatItemEvenWhenChosenAgain) {
    store.put(key::kSamplingRate, "7");
    open();
    for (const RateItem& chosen : kRateItems) {
        const std::string name(chosen.name);
        SCOPED_TRACE(name);
        for (int round = 0; round < 2; ++round) {
            find(name.c_str())->trigger();
            for (const RateItem& item : kRateItems)
                EXPECT_EQ(find(std::string(item.name).c_str())->isChecked(), &item == &chosen)
                    << item.name;
        }
        window->savereg();
        EXPECT_EQ(store.value(key::kSamplingRate), chosen.code);
    }
}

TEST_F(WindowTest, TogglesFollowTheRecordFromAnUnexpectedText) {
    for (const auto& [item, entry] :
         {std::pair{"mnustereo", key::kStereo}, std::pair{"mnuforce8bit", key::kForce8bit}}) {
        SCOPED_TRACE(item);
        store.put(entry, "yes");
        open();
        QAction* action = find(item);
        EXPECT_FALSE(action->isChecked());
        const char* const expected[] = {"1", "0", "1"};
        for (const char* flag : expected) {
            action->trigger();
            EXPECT_EQ(action->isChecked(), std::string_view(flag) == "1");
            window->savereg();
            EXPECT_EQ(store.value(entry), flag);
        }
        window.reset();
    }
}

TEST_F(WindowTest, VolumeItemsRewriteTheLevelCaption) {
    struct Step {
        const char* stored;
        const char* item;
        const char* loaded;
        const char* after;
    };
    const Step steps[] = {
        {"80.5", "mnuup5", "Current Level:  80.5", "Current Level:  85"},
        {"100", "mnuup5", "Current Level:  100", "Current Level:  100"},
        {"0", "mnudown5", "Current Level:  0", "Current Level:  0"},
        {"3", "mnudown5", "Current Level:  3", "Current Level:  -2"},
        {"loud", "mnuup5", "Current Level:  loud", "Current Level:  5"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.stored);
        store.put(key::kVolume, step.stored);
        open();
        EXPECT_EQ(find("mnucurlev")->text(), step.loaded);
        find(step.item)->trigger();
        EXPECT_EQ(find("mnucurlev")->text(), step.after);
        window.reset();
    }
}

TEST_F(WindowTest, SettingsItemsLeaveTypedPlayerPathAlone) {
    store.put(key::kSpcDir, "/opt/spc/SPCPLAY.EXE");
    open();
    EXPECT_EQ(text("Text2"), "/opt/spc/SPCPLAY.EXE");
    find<QLineEdit>("Text2")->setText("/elsewhere/SPCPLAY.EXE");
    for (const char* item : {"mnuup5", "mnudown5", "mnustereo", "mnuforce8bit", "mnu8000"})
        find(item)->trigger();
    EXPECT_EQ(text("Text2"), "/elsewhere/SPCPLAY.EXE");
    window->savereg();
    EXPECT_EQ(store.value(key::kSpcDir), "/opt/spc/SPCPLAY.EXE");
}

TEST_F(WindowTest, LogToWavSwitchEnablesTheWavBoxExactlyWhenChecked) {
    open();
    QAction* logToWav = find("mnulogtowav");
    auto* wavBox = find<QLineEdit>("Text3");
    EXPECT_FALSE(logToWav->isChecked());
    EXPECT_TRUE(wavBox->isEnabled());
    EXPECT_TRUE(wavBox->text().isEmpty());
    for (const bool checked : {true, false, true, false}) {
        logToWav->trigger();
        EXPECT_EQ(logToWav->isChecked(), checked);
        EXPECT_EQ(wavBox->isEnabled(), checked);
    }
}

} // namespace
} // namespace kavo::ui::test
