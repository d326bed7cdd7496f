#include "picker_fixture.h"
#include "ui/qt/pickers/spc_file_picker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QToolTip>

namespace kavo::ui::test {
namespace {

class SpcFilePickerTest : public PickerTest {
protected:
    SpcFilePickerTest() {
        tree.file("b.spc");
        tree.file("A.SPC");
        tree.file("tune.zs2");
        tree.file("notes.txt");
        tree.dir("music");
        tree.file("music/deep.spc");
    }
    SpcFilePicker& open() {
        auto* picker = new SpcFilePicker(host, store, messages);
        window = picker;
        return *picker;
    }
    QStringList files() const {
        QStringList names;
        const auto* file1 = find<QListWidget>("File1");
        for (int i = 0; i < file1->count(); ++i)
            names.append(file1->item(i)->text());
        return names;
    }
    std::string checks() const {
        std::string state;
        for (const char* name : {"Check1", "Check2", "Check3"})
            state += find<QCheckBox>(name)->isChecked() ? '1' : '0';
        return state;
    }
    void selectFile(const QString& name) {
        auto* file1 = find<QListWidget>("File1");
        const auto found = file1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        file1->setCurrentItem(found.front());
    }
};

TEST_F(SpcFilePickerTest, WindowAndControlsAreAsDesigned) {
    open();
    EXPECT_EQ(window->windowTitle(), "Load SPC File");
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_EQ(window->size(), QSize(342, 143));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    struct Control {
        const char* name;
        QRect geometry;
        QString caption;
    };
    for (const Control& c :
         {Control{"Drive1", {0, 0, 161, 21}, {}}, Control{"Dir1", {0, 24, 161, 96}, {}},
          Control{"File1", {164, 0, 177, 97}, {}}, Control{"Check1", {166, 104, 57, 17}, "(*.SPC)"},
          Control{"Check2", {232, 104, 57, 17}, "(*.ZS*)"},
          Control{"Check3", {296, 104, 41, 17}, "(*.*)"},
          Control{"Command1", {96, 123, 65, 17}, "&Load"},
          Control{"Command2", {184, 123, 65, 17}, "&Cancel"}}) {
        const auto* widget = find<QWidget>(c.name);
        EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), c.caption) << c.name;
        }
        if (const auto* check = qobject_cast<const QCheckBox*>(widget)) {
            EXPECT_LE(check->sizeHint().width(), check->width()) << c.name << " is clipped";
        }
    }
    EXPECT_EQ(find<QListWidget>("File1")->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(SpcFilePickerTest, OpensFocusedOnTheDrivesAndTabsInDesignOrder) {
    open();
    showActive();
    // The focus frame shows at once, and directory rows are one line of text high.
    EXPECT_TRUE(window->testAttribute(Qt::WA_KeyboardFocusChange));
    auto* dirs = find<QListWidget>("Dir1");
    ASSERT_GT(dirs->count(), 0);
    EXPECT_LE(dirs->sizeHintForRow(0), 16);
    std::vector<std::string> order;
    for (int i = 0; i < 9; ++i) {
        order.push_back(QApplication::focusWidget()->objectName().toStdString());
        press(Qt::Key_Tab);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Drive1", "Dir1", "File1", "Check1", "Check2",
                                               "Check3", "Command1", "Command2", "Drive1"}));
}

TEST_F(SpcFilePickerTest, FilterBoxClicksRedrawBoxesAndFiles) {
    open();
    showActive();
    QTest::mouseClick(find<QCheckBox>("Check2"), Qt::LeftButton);
    EXPECT_EQ(checks(), "110");
    EXPECT_EQ(files(), (QStringList{"A.SPC", "b.spc", "tune.zs2"}));
    QTest::mouseClick(find<QCheckBox>("Check3"), Qt::LeftButton);
    EXPECT_EQ(checks(), "001");
    EXPECT_EQ(files().size(), 4);
}

// Selecting a file with the keyboard shows what its tag says; a file without one shows nothing.
TEST_F(SpcFilePickerTest, SelectedFileShowsItsTag) {
    std::string header = "SNES-SPC700 Sound File Data v0.30";
    header.resize(256, '\0');
    header[0x23] = 26;
    header.replace(0x2E, 10, "Title Song");
    header.replace(0x4E, 9, "Some Game");
    header.replace(0xA9, 3, "125");
    header.replace(0xB1, 6, "Artist");
    std::ofstream(tree.file("b.spc"), std::ios::binary) << header;
    open();
    showActive();
    auto* file1 = find<QListWidget>("File1");
    file1->setFocus();
    file1->setCurrentRow(0);
    press(Qt::Key_Down);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), "Title: Title Song\nGame: Some Game\nArtist: Artist\nLength: 2:05");
    press(Qt::Key_Up);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
}

TEST_F(SpcFilePickerTest, DoubleClickingAFileOnlySelectsIt) {
    open();
    showActive();
    auto* file1 = find<QListWidget>("File1");
    const QPoint at = file1->visualItemRect(file1->item(1)).center();
    QTest::mouseClick(file1->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(file1->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(file1->selectedItems().size(), 1);
    EXPECT_EQ(file1->selectedItems().front()->text(), "b.spc");
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(SpcFilePickerTest, EveryWayOfClosingGivesTheMainWindowBackOnce) {
    enum class Way { Cancel, Escape, AltC, CloseBox, EnterInFileList, AltL };
    for (Way way :
         {Way::Cancel, Way::Escape, Way::AltC, Way::CloseBox, Way::EnterInFileList, Way::AltL}) {
        host.calls.clear();
        store.writes.clear();
        open();
        showActive();
        switch (way) {
        case Way::Cancel:
            QTest::mouseClick(find<QPushButton>("Command2"), Qt::LeftButton);
            break;
        case Way::Escape:
            press(Qt::Key_Escape);
            break;
        case Way::AltC:
            press(Qt::Key_C, Qt::AltModifier);
            // An access key clicks its button once the click animation ends.
            EXPECT_TRUE(QTest::qWaitFor([this] { return !host.calls.empty(); }));
            break;
        case Way::CloseBox:
            window->close();
            break;
        case Way::EnterInFileList:
            selectFile("A.SPC");
            find<QListWidget>("File1")->setFocus();
            press(Qt::Key_Return);
            break;
        case Way::AltL:
            selectFile("A.SPC");
            press(Qt::Key_L, Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([this] { return !host.calls.empty(); }));
            break;
        }
        const bool loads = way == Way::EnterInFileList || way == Way::AltL;
        const int n = static_cast<int>(way);
        EXPECT_EQ(enableCount(), 1) << n;
        ASSERT_FALSE(host.calls.empty()) << n;
        EXPECT_EQ(host.calls.back(), "enableMain") << n;
        EXPECT_EQ(host.calls.size(), loads ? 2U : 1U) << n;
        EXPECT_EQ(store.writes.size(), loads ? 2U : 0U) << n;
        EXPECT_TRUE(closedAndDeleted()) << n;
    }
}

TEST_F(SpcFilePickerTest, EntersDirectoriesAndKeepsThePlaceWhenOneVanished) {
    tree.dir("vanishing");
    open();
    showActive();
    auto* dir1 = find<QListWidget>("Dir1");
    const auto rowOf = [dir1](const QString& label) {
        const auto found = dir1->findItems(label, Qt::MatchExactly);
        return found.isEmpty() ? -1 : dir1->row(found.front());
    };
    std::filesystem::remove(tree.path() / "vanishing");
    const QRect gone = dir1->visualItemRect(dir1->item(rowOf("vanishing")));
    // The first click of a double-click, then the second.
    QTest::mouseClick(dir1->viewport(), Qt::LeftButton, {}, gone.center());
    QTest::mouseDClick(dir1->viewport(), Qt::LeftButton, {}, gone.center());
    EXPECT_EQ(dirPath(), tree.str());
    EXPECT_EQ(files(), (QStringList{"A.SPC", "b.spc"}));
    EXPECT_EQ(rowOf("vanishing"), -1) << "the vanished directory is no longer offered";

    dir1->setFocus();
    dir1->setCurrentRow(rowOf("music"));
    press(Qt::Key_Return);
    EXPECT_EQ(dirPath(), (tree.path() / "music").string());
    EXPECT_EQ(files(), QStringList{"deep.spc"});
    EXPECT_TRUE(host.calls.empty()) << "Enter on another directory only enters it";
    press(Qt::Key_Return);
    EXPECT_EQ(messages.shown.size(), 1U) << "Enter on the current directory is Load's";
}

} // namespace
} // namespace kavo::ui::test
