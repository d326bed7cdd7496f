#include "fakes/fakes.h"
#include "present/picker_host.h"
#include "temp_dir.h"
#include "ui/qt/pickers/picker_window.h"
#include "ui/qt/pickers/player_dir_picker.h"
#include "ui/qt/pickers/spc_file_picker.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace kavo::ui::test {
namespace {

class RecordingHost : public PickerHost {
public:
    explicit RecordingHost(fake::Store& store) : store_(store) {}
    void loadspc(const std::string& path) override { calls.push_back("loadspc " + path); }
    void setdir(const std::string& directoryText) override {
        calls.push_back("setdir " + directoryText);
        writesBeforeSetdir = store_.writes.size();
    }
    void enableMain() override { calls.push_back("enableMain"); }
    std::vector<std::string> calls;
    std::size_t writesBeforeSetdir = 0;

private:
    fake::Store& store_;
};

// A picker over a private tree, started from inside it, with $HOME as the tree.
class PickerTest : public ::testing::Test {
protected:
    PickerTest() : saved_(std::filesystem::current_path()), savedHome_(qgetenv("HOME")) {
        qputenv("HOME", QByteArray::fromStdString(tree.str()));
        std::filesystem::current_path(tree.path());
        for (const char* name : {"b.spc", "A.SPC", "tune.zs2", "notes.txt", "music/deep.spc"})
            tree.file(name);
        tree.mkdir("player");
    }
    ~PickerTest() override {
        delete window.data();
        std::filesystem::current_path(saved_);
        qputenv("HOME", savedHome_);
    }
    PickerTest(const PickerTest&) = delete;
    PickerTest& operator=(const PickerTest&) = delete;

    void open(bool spc = true) {
        if (spc)
            window = new SpcFilePicker(host, store, messages);
        else
            window = new PlayerDirPicker(host, store);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    template <typename T> T* find(const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    std::string dirPath() const {
        return static_cast<const PickerWindow*>(window.data())->directoryPath();
    }
    // Keys go where a real keyboard's would: to the widget with the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, modifiers);
    }
    // An access key clicks its button once the click animation ends.
    void pressAccessKey(Qt::Key key) {
        press(key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !host.calls.empty(); }));
    }
    bool closedAndDeleted() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
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

    kavo::test::TempDir tree;
    fake::Store store;
    fake::Messages messages;
    RecordingHost host{store};
    QPointer<QWidget> window;

private:
    std::filesystem::path saved_;
    QByteArray savedHome_;
};

struct Control {
    const char* name;
    QRect geometry;
    QString caption;
};

TEST_F(PickerTest, WindowsControlsAndTabOrderAreAsDesigned) {
    const struct {
        bool spc;
        QString title;
        QSize size;
        std::vector<Control> controls; // in tab order, from the one focused on opening
    } pickers[] = {
        {true,
         "Load SPC File",
         {342, 143},
         {{"Drive1", {0, 0, 161, 21}, {}},
          {"Dir1", {0, 24, 161, 96}, {}},
          {"File1", {164, 0, 177, 97}, {}},
          {"Check1", {166, 104, 57, 17}, "(*.SPC)"},
          {"Check2", {232, 104, 57, 17}, "(*.ZS*)"},
          {"Check3", {296, 104, 41, 17}, "(*.*)"},
          {"Command1", {96, 123, 65, 17}, "&Load"},
          {"Command2", {184, 123, 65, 17}, "&Cancel"}}},
        {false,
         "Set SPCPLAY.EXE Dir",
         {178, 153},
         {{"Drive1", {0, 0, 177, 21}, {}},
          {"Dir1", {0, 24, 177, 111}, {}},
          {"Command1", {24, 136, 57, 17}, "&Set"},
          {"Command2", {96, 136, 57, 17}, "Cancel"}}},
    };
    for (const auto& p : pickers) {
        SCOPED_TRACE(p.title.toStdString());
        open(p.spc);
        EXPECT_EQ(window->windowTitle(), p.title);
        EXPECT_EQ(window->size(), p.size);
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_EQ(window->parentWidget(), nullptr);
        EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        // The focus frame shows at once, and directory rows are one line of text high.
        EXPECT_TRUE(window->testAttribute(Qt::WA_KeyboardFocusChange));
        if (p.spc) {
            EXPECT_LE(find<QListWidget>("Dir1")->sizeHintForRow(0), 16);
        }
        for (const Control& c : p.controls) {
            const auto* widget = find<QWidget>(c.name);
            EXPECT_EQ(QApplication::focusWidget(), widget) << c.name;
            EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
            if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
                EXPECT_EQ(button->text(), c.caption) << c.name;
            }
            if (const auto* check = qobject_cast<const QCheckBox*>(widget)) {
                EXPECT_LE(check->sizeHint().width(), check->width()) << c.name << " is clipped";
            }
            press(Qt::Key_Tab);
        }
        EXPECT_EQ(QApplication::focusWidget()->objectName(), "Drive1");
        delete window.data();
    }
}

TEST_F(PickerTest, FilterBoxClicksRedrawBoxesAndFiles) {
    open();
    QTest::mouseClick(find<QCheckBox>("Check2"), Qt::LeftButton);
    EXPECT_EQ(checks(), "110");
    EXPECT_EQ(files(), (QStringList{"A.SPC", "b.spc", "tune.zs2"}));
    QTest::mouseClick(find<QCheckBox>("Check3"), Qt::LeftButton);
    EXPECT_EQ(checks(), "001");
    EXPECT_EQ(files().size(), 4);
}

// Selecting a file with the keyboard shows what its tag says; a file without one shows nothing.
TEST_F(PickerTest, SelectedFileShowsItsTag) {
    std::string header = "SNES-SPC700 Sound File Data v0.30";
    header.resize(256, '\0');
    header[0x23] = 26;
    header.replace(0x2E, 10, "Title Song");
    header.replace(0x4E, 9, "Some Game");
    header.replace(0xA9, 3, "125");
    header.replace(0xB1, 6, "Artist");
    tree.file("b.spc", header);
    open();
    auto* file1 = find<QListWidget>("File1");
    file1->setFocus();
    file1->setCurrentRow(0);
    press(Qt::Key_Down);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), "Title: Title Song\nGame: Some Game\nArtist: Artist\nLength: 2:05");
    press(Qt::Key_Up);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
}

TEST_F(PickerTest, DoubleClickingAFileOnlySelectsIt) {
    open();
    auto* file1 = find<QListWidget>("File1");
    const QPoint at = file1->visualItemRect(file1->item(1)).center();
    QTest::mouseClick(file1->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(file1->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(file1->selectedItems().size(), 1);
    EXPECT_EQ(file1->selectedItems().front()->text(), "b.spc");
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(PickerTest, EveryWayOfClosingGivesTheMainWindowBackOnce) {
    enum class Way { Cancel, Escape, AltC, CloseBox, EnterInFileList, AltL };
    for (Way way :
         {Way::Cancel, Way::Escape, Way::AltC, Way::CloseBox, Way::EnterInFileList, Way::AltL}) {
        host.calls.clear();
        store.writes.clear();
        open();
        switch (way) {
        case Way::Cancel:
            QTest::mouseClick(find<QPushButton>("Command2"), Qt::LeftButton);
            break;
        case Way::Escape:
            press(Qt::Key_Escape);
            break;
        case Way::AltC:
            pressAccessKey(Qt::Key_C);
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
            pressAccessKey(Qt::Key_L);
            break;
        }
        const bool loads = way == Way::EnterInFileList || way == Way::AltL;
        const int n = static_cast<int>(way);
        EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "enableMain"), 1) << n;
        ASSERT_FALSE(host.calls.empty()) << n;
        EXPECT_EQ(host.calls.back(), "enableMain") << n;
        EXPECT_EQ(host.calls.size(), loads ? 2U : 1U) << n;
        EXPECT_EQ(store.writes.size(), loads ? 2U : 0U) << n;
        EXPECT_TRUE(closedAndDeleted()) << n;
    }
}

TEST_F(PickerTest, EntersDirectoriesAndKeepsThePlaceWhenOneVanished) {
    tree.mkdir("vanishing");
    open();
    auto* dir1 = find<QListWidget>("Dir1");
    const auto rowOf = [dir1](const QString& label) {
        const auto found = dir1->findItems(label, Qt::MatchExactly);
        return found.isEmpty() ? -1 : dir1->row(found.front());
    };
    std::filesystem::remove(tree.dir() + "vanishing");
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
    EXPECT_EQ(dirPath(), tree.dir() + "music");
    EXPECT_EQ(files(), QStringList{"deep.spc"});
    EXPECT_TRUE(host.calls.empty()) << "Enter on another directory only enters it";
    press(Qt::Key_Return);
    EXPECT_EQ(messages.shown.size(), 1U) << "Enter on the current directory is Load's";
}

TEST_F(PickerTest, SetCallsSetdirThenSavesThePlaceAndCloses) {
    store.put("SPCDir3", tree.str());
    store.put("SPCDir4", tree.dir() + "player");
    store.put("SPCDir1", "untouched");
    open(false);
    pressAccessKey(Qt::Key_S);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"setdir " + tree.dir() + "player/", "enableMain"}));
    EXPECT_EQ(host.writesBeforeSetdir, 0U) << "setdir comes first";
    EXPECT_EQ(store.writes.size(), 2U);
    EXPECT_EQ(store.value("SPCDir3"), tree.str());
    EXPECT_EQ(store.value("SPCDir4"), tree.dir() + "player");
    EXPECT_EQ(store.value("SPCDir1"), "untouched");
    EXPECT_TRUE(closedAndDeleted());
}

} // namespace
} // namespace kavo::ui::test
