#include "window_fixture.h"

#include <QLineEdit>

namespace kavo::ui::test {

QString WindowTest::text(const char* box) const {
    auto* edit = find<QLineEdit>(box);
    return edit ? edit->text() : QString();
}

void WindowTest::press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
}

} // namespace kavo::ui::test
