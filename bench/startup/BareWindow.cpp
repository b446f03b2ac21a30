// The floor for start-up: a main window of the size the program's main window
// takes (the desktop, 30 pixels short of its height) that shows one line of
// text in the application font, so fonts are found and loaded as the program's are.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Purlwise"), &window));
    const QRect desktop = window.screen()->geometry();
    window.move(0, 0);
    window.resize(desktop.width(), desktop.height() - 30);
    window.show();
    return app.exec();
}
