// The program itself, put together as its own main() does, reporting when its window is first
// shown. With --remote it stays running and also reports where the "&5" button is on screen.
#include "shown_probe.h"
#include "ui/qt/program.h"

#include <QAbstractButton>
#include <QApplication>
#include <cstring>

int main(int argc, char** argv) {
    bool remoteMode = false;
    for (int i = 1; i < argc; ++i)
        remoteMode |= std::strcmp(argv[i], "--remote") == 0;

    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kavofe.png")));
    QApplication::setDesktopFileName(QStringLiteral("kavofe"));

    kavo::ui::Program program;
    kavo::ui::MainWindow& window = program.window();
    kavo::bench::ShownProbe probe(
        remoteMode ? -1 : kavo::bench::ShownProbe::idleFrom(argc, argv), [&window, remoteMode] {
            if (!remoteMode)
                return;
            for (auto* button : window.findChildren<QAbstractButton*>())
                if (button->text() == QLatin1String("&5")) {
                    const QPoint centre = button->mapToGlobal(button->rect().center());
                    std::printf("button %d %d\n", centre.x(), centre.y());
                }
        });
    program.show();
    return QApplication::exec();
}
