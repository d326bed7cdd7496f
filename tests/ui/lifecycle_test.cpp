#include "window_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace kavo::fake {
void PrintTo(const Store::Write& write, std::ostream* os) {
    *os << write.key << '=' << write.value;
}
} // namespace kavo::fake

namespace kavo::ui::test {
namespace {

using Writes = std::vector<fake::Store::Write>;

Writes round(const char* volume) {
    const auto write = [](std::string_view key, std::string value) {
        return fake::Store::Write{"KAVO FE", "Settings", std::string(key), std::move(value)};
    };
    return {write(key::kSpcDir, ""), write(key::kSamplingRate, "3"), write(key::kStereo, "1"),
            write(key::kForce8bit, "0"), write(key::kVolume, volume)};
}

TEST_F(WindowTest, ClosingSavesAtUnloadAndAgainAtFinalRelease) {
    openActive();
    find("mnuup5")->trigger();
    EXPECT_TRUE(store.writes.empty());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(store.writes, round("80"));
    window.reset();
    Writes twice = round("80");
    const Writes again = twice;
    twice.insert(twice.end(), again.begin(), again.end());
    EXPECT_EQ(store.writes, twice);
}

TEST_F(WindowTest, ExitEndsTheEventLoopAtOnceAndClosesAPicker) {
    openActive();
    find("mnudir")->trigger();
    QPointer<QWidget> picker = window->picker();
    ASSERT_FALSE(picker.isNull());
    QTimer::singleShot(0, window.get(), [this] { find("mnuquit")->trigger(); });
    // Should the loop keep running, this ends it with a code that fails the test.
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(picker.isNull());
    EXPECT_EQ(store.writes, round("75"));
}

TEST_F(WindowTest, PickerCommandsOpenAWindowOfTheirOwnAndDisableTheMainWindow) {
    for (const char* item : {"mnuloadspc", "mnudir"}) {
        SCOPED_TRACE(item);
        openActive();
        find(item)->trigger();
        QPointer<QWidget> picker = window->picker();
        ASSERT_FALSE(picker.isNull());
        EXPECT_TRUE(picker->isWindow());
        EXPECT_TRUE(picker->isVisible());
        EXPECT_TRUE(picker->isEnabled());
        EXPECT_EQ(picker->windowHandle()->transientParent(), window->windowHandle());
        EXPECT_FALSE(window->isEnabled());

        // The disabled window ignores its buttons and boxes.
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        EXPECT_TRUE(windows.log.empty());
        QTest::keyClicks(find<QLineEdit>("Text1"), "abc");
        EXPECT_EQ(text("Text1"), "");

        picker->close();
        EXPECT_TRUE(window->isEnabled());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(picker.isNull());
        EXPECT_EQ(window->picker(), nullptr);
        window.reset();
    }
}

TEST_F(WindowTest, ClosingTheWindowClosesAnOpenPicker) {
    openActive();
    find("mnuloadspc")->trigger();
    QPointer<QWidget> picker = window->picker();
    ASSERT_FALSE(picker.isNull());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(picker.isNull());
    EXPECT_EQ(store.writes.size(), 5u);
}

} // namespace
} // namespace kavo::ui::test
