#include "ui/qt/platform_choice.h"
#include "ui/qt/program.h"

#include <QApplication>
#include <cstdlib>
#include <string>

int main(int argc, char* argv[]) {
    // NOLINTBEGIN(concurrency-mt-unsafe): no thread runs yet
    const std::string_view platform = kavo::ui::preferredPlatform(
        std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"));
    if (!platform.empty())
        ::setenv("QT_QPA_PLATFORM", std::string(platform).c_str(), 1);
    // NOLINTEND(concurrency-mt-unsafe)
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kavofe.png")));
    QApplication::setDesktopFileName(QStringLiteral("kavofe"));

    kavo::ui::Program program;
    program.show();
    return QApplication::exec();
}
