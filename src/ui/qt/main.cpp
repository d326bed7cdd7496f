#include "ui/qt/program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kavofe.png")));
    QApplication::setDesktopFileName(QStringLiteral("kavofe"));

    kavo::ui::Program program;
    program.show();
    return QApplication::exec();
}
