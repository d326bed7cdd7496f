#include "picker_fixture.h"
#include "ui/qt/pickers/player_dir_picker.h"

#include <QComboBox>
#include <QPushButton>

namespace kavo::ui::test {
namespace {

class PlayerDirPickerTest : public PickerTest {
protected:
    PlayerDirPickerTest() { tree.dir("player"); }
    PlayerDirPicker& open() {
        auto* picker = new PlayerDirPicker(host, store);
        window = picker;
        return *picker;
    }
};

TEST_F(PlayerDirPickerTest, WindowAndControlsAreAsDesigned) {
    open();
    EXPECT_EQ(window->windowTitle(), "Set SPCPLAY.EXE Dir");
    EXPECT_EQ(window->size(), QSize(178, 153));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_EQ(window->parentWidget(), nullptr);
    struct Control {
        const char* name;
        QRect geometry;
        QString caption;
    };
    for (const Control& c :
         {Control{"Drive1", {0, 0, 177, 21}, {}}, Control{"Dir1", {0, 24, 177, 111}, {}},
          Control{"Command1", {24, 136, 57, 17}, "&Set"},
          Control{"Command2", {96, 136, 57, 17}, "Cancel"}}) {
        const auto* widget = find<QWidget>(c.name);
        EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), c.caption) << c.name;
        }
    }
}

TEST_F(PlayerDirPickerTest, OpensFocusedOnTheDrivesAndTabsInDesignOrder) {
    open();
    showActive();
    std::vector<std::string> order;
    for (int i = 0; i < 5; ++i) {
        order.push_back(QApplication::focusWidget()->objectName().toStdString());
        press(Qt::Key_Tab);
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"Drive1", "Dir1", "Command1", "Command2", "Drive1"}));
}

TEST_F(PlayerDirPickerTest, SetCallsSetdirThenSavesThePlaceAndCloses) {
    store.put("SPCDir3", tree.str());
    store.put("SPCDir4", (tree.path() / "player").string());
    store.put("SPCDir1", "untouched");
    open();
    showActive();
    press(Qt::Key_S, Qt::AltModifier);
    // An access key clicks its button once the click animation ends.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !host.calls.empty(); }));
    EXPECT_EQ(host.calls, (std::vector<std::string>{
                              "setdir " + (tree.path() / "player").string() + "/", "enableMain"}));
    EXPECT_EQ(host.writesBeforeSetdir, 0U) << "setdir comes first";
    EXPECT_EQ(store.writes.size(), 2U);
    EXPECT_EQ(store.value("SPCDir3"), tree.str());
    EXPECT_EQ(store.value("SPCDir4"), (tree.path() / "player").string());
    EXPECT_EQ(store.value("SPCDir1"), "untouched");
    EXPECT_TRUE(closedAndDeleted());
}

} // namespace
} // namespace kavo::ui::test
