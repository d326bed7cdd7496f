#include "ui/qt/platform_choice.h"
#include "ui/qt/qt_message_sink.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kavo::ui::test {
namespace {

struct SeenBox {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
};

// Shows a message through the sink and reads the box back while it waits for the user.
SeenBox showAndRead(std::string_view text, std::string_view title, MessageIcon icon,
                    QWidget* fallback = nullptr) {
    SeenBox seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {box->text(),       box->windowTitle(),     box->icon(),
                box->textFormat(), box->standardButtons(), box->parentWidget()};
        box->accept();
    });
    QtMessageSink sink;
    sink.setParent(fallback);
    sink.show(text, title, icon);
    return seen;
}

// A box belongs to, and is centred over, the window of ours that is active when it is raised.
TEST(QtMessageSink, BelongsToTheActiveWindow) {
    QWidget main;
    QWidget picker;
    EXPECT_EQ(showAndRead("x", "Error", MessageIcon::Error, &main).parent, &main);
    picker.show();
    picker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
    EXPECT_EQ(showAndRead("x", "Error", MessageIcon::Error, &main).parent, &picker);
}

TEST(QtMessageSink, ShowsCarriageReturnsAsLineBreaks) {
    const SeenBox seen =
        showAndRead("KAVO FrontEnd 1.03j\rProgrammed by Vorlane\rhttp://kavofe.example.org/",
                    "About", MessageIcon::Information);
    EXPECT_EQ(seen.text, "KAVO FrontEnd 1.03j\nProgrammed by Vorlane\nhttp://kavofe.example.org/");
    EXPECT_EQ(seen.text.split('\n').size(), 3);
    EXPECT_EQ(seen.title, "About");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

TEST(QtMessageSink, ErrorsUseTheErrorIconAndPlainText) {
    const SeenBox seen =
        showAndRead("Could not open \"<b>a.wav</b>\".\r\nRetry.", "Error", MessageIcon::Error);
    EXPECT_EQ(seen.text, "Could not open \"<b>a.wav</b>\".\nRetry.");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.format, Qt::PlainText);
}

TEST(Platform, XWhereBothDisplaysExistAndNoneWasChosen) {
    EXPECT_EQ(preferredPlatform(nullptr, "wayland-0", ":0"), "xcb");
    EXPECT_EQ(preferredPlatform("", "wayland-0", ":0"), "xcb");
    EXPECT_EQ(preferredPlatform("wayland", "wayland-0", ":0"), "");
    EXPECT_EQ(preferredPlatform(nullptr, "wayland-0", nullptr), "");
    EXPECT_EQ(preferredPlatform(nullptr, nullptr, ":0"), "");
}

} // namespace
} // namespace kavo::ui::test
