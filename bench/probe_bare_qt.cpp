// The bare Qt program the start-up and memory figures are measured against: an empty
// QMainWindow, shown.
#include "shown_probe.h"

#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kavo::bench::ShownProbe probe(kavo::bench::ShownProbe::idleFrom(argc, argv));
    QMainWindow window;
    window.show();
    return QApplication::exec();
}
