// The floor for start-up: an empty main window of the size the program's
// main window takes (the desktop, 30 pixels short of its height).
#include <QApplication>
#include <QMainWindow>
#include <QScreen>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    const QRect desktop = window.screen()->geometry();
    window.move(0, 0);
    window.resize(desktop.width(), desktop.height() - 30);
    window.show();
    return app.exec();
}
