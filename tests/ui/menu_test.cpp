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

TEST_F(WindowTest, CommandsReachThePresenterAndItsDisplayIsDrawn) {
    store.put(key::kSamplingRate, "7");
    open();
    for (const char* item : {"mnu16000", "mnustereo", "mnuforce8bit", "mnulogtowav", "mnuup5"})
        find(item)->trigger();
    EXPECT_TRUE(find("mnu16000")->isChecked());
    EXPECT_FALSE(find("mnu44100")->isChecked());
    EXPECT_FALSE(find("mnustereo")->isChecked());
    EXPECT_TRUE(find("mnuforce8bit")->isChecked());
    EXPECT_TRUE(find("mnulogtowav")->isChecked());
    EXPECT_EQ(find("mnucurlev")->text(), "Current Level:  80");
    find("mnulogtowav")->trigger();
    EXPECT_FALSE(find<QLineEdit>("Text3")->isEnabled());
    EXPECT_EQ(text("Text2"), "(No directory specified)");
}

} // namespace
} // namespace kavo::ui::test
