#include "window_fixture.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

namespace kavo::ui::test {
namespace {

// Twips as the window was designed; 15 twips make one logical pixel.
QRect fromTwips(int left, int top, int width, int height) {
    const auto px = [](int twips) { return static_cast<int>(std::lround(twips / 15.0)); };
    return {px(left), px(top), px(width), px(height)};
}

TEST_F(WindowTest, ControlsSitAtTheirDesignedPositions) {
    open();
    struct Place {
        const char* name;
        int left, top, width, height;
    };
    const Place places[] = {
        {"Label1", 120, 120, 735, 255},    {"Text1", 120, 360, 4095, 285},
        {"Label2", 120, 720, 1455, 255},   {"Text2", 120, 960, 4095, 285},
        {"Text3", 120, 1560, 4095, 285},   {"Label3", 120, 1320, 1215, 255},
        {"Frame1", 4320, 120, 1575, 1695}, {"Command1", 120, 240, 1335, 255},
        {"Command3", 660, 1320, 255, 255}, {"Command4", 1040, 1320, 255, 255},
    };
    for (const Place& place : places) {
        auto* widget = find<QWidget>(place.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), fromTwips(place.left, place.top, place.width, place.height))
            << place.name;
    }
    EXPECT_EQ(find<QWidget>("Command4")->geometry(), QRect(69, 88, 17, 17));

    const QPoint digitPlaces[] = {{120, 600}, {480, 600}, {840, 600},  {1200, 600}, {120, 960},
                                  {480, 960}, {840, 960}, {1200, 960}, {300, 1320}};
    auto* digits = find<QButtonGroup>("Command2");
    ASSERT_NE(digits, nullptr);
    ASSERT_EQ(digits->buttons().size(), 9);
    for (int index = 0; index < 9; ++index) {
        QAbstractButton* member = digits->button(index);
        ASSERT_NE(member, nullptr) << index;
        EXPECT_EQ(member->objectName(), "Command2");
        EXPECT_EQ(member->text(), QStringLiteral("&%1").arg(index + 1));
        EXPECT_EQ(member->parentWidget(), find<QWidget>("Frame1"));
        EXPECT_EQ(member->geometry(),
                  fromTwips(digitPlaces[index].x(), digitPlaces[index].y(), 255, 255));
    }
}

TEST_F(WindowTest, CaptionsAndInitialTexts) {
    open();
    EXPECT_EQ(window->windowTitle(), "KAVOfe - Version 1.03j");
    EXPECT_EQ(find<QLabel>("Label1")->text(), "Filename:");
    EXPECT_EQ(find<QLabel>("Label2")->text(), "SPCPLAY Directory:");
    EXPECT_EQ(find<QLabel>("Label3")->text(), "WAV Filename:");
    EXPECT_EQ(find<QGroupBox>("Frame1")->title(), "SPCPlay Controls");
    EXPECT_EQ(find<QPushButton>("Command1")->text(), "&Stop Playing");
    EXPECT_EQ(find<QPushButton>("Command3")->text(), "&+");
    EXPECT_EQ(find<QPushButton>("Command4")->text(), "&-");
    for (const char* name : {"Text1", "Text2", "Text3"}) {
        auto* box = find<QLineEdit>(name);
        EXPECT_FALSE(box->isReadOnly()) << name;
        EXPECT_TRUE(box->isEnabled()) << name;
    }
    EXPECT_EQ(text("Text1"), "");
    EXPECT_EQ(text("Text2"), "(No directory specified)");
    EXPECT_EQ(text("Text3"), "");
}

TEST_F(WindowTest, LabelsShowTheirWholeCaptions) {
    open();
    for (const char* name : {"Label1", "Label2", "Label3"}) {
        const auto* label = find<QLabel>(name);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
    }
}

TEST_F(WindowTest, FixedClientAreaBelowTheMenuBarWithoutMinimiseOrMaximise) {
    openActive();
    const QWidget* client = window->centralWidget();
    EXPECT_EQ(client->size(), QSize(397, 126));
    EXPECT_EQ(client->y(), window->menuBar()->geometry().bottom() + 1);
    EXPECT_EQ(window->size(), QSize(397, window->menuBar()->height() + 126));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());

    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags.testFlag(Qt::Tool));

    const QRect screen = window->screen()->availableGeometry();
    // Off by the frame at most: its size is not known before the window is first mapped.
    const QRect outer = window->frameGeometry();
    const QPoint offset = outer.center() - screen.center();
    EXPECT_LE(std::abs(offset.x()), outer.width() - window->width() + 1);
    EXPECT_LE(std::abs(offset.y()), outer.height() - window->height() + 1);
}

TEST_F(WindowTest, CarriesItsOwnIcon) {
    open();
    const QIcon icon = window->windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(48, 48).size(), QSize(48, 48));
}

TEST_F(WindowTest, TabVisitsBoxesThenPanelButtonsInOrder) {
    openActive();
    find<QWidget>("Text1")->setFocus();
    auto* digits = find<QButtonGroup>("Command2");
    std::vector<QWidget*> expected{find<QWidget>("Text2"), find<QWidget>("Text3"),
                                   find<QWidget>("Command1")};
    for (int index = 0; index < 9; ++index)
        expected.push_back(digits->button(index));
    expected.push_back(find<QWidget>("Command3"));
    expected.push_back(find<QWidget>("Command4"));
    expected.push_back(find<QWidget>("Text1"));
    for (QWidget* next : expected) {
        press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next)
            << QApplication::focusWidget()->objectName().toStdString() << " instead of "
            << next->objectName().toStdString();
    }
}

} // namespace
} // namespace kavo::ui::test
