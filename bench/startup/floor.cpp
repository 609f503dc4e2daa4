// The floor the program's start is measured against: a Qt Widgets program
// that shows one window the size of the program's first one and leaves on
// its first turn of the event loop. Nothing a real program would skip is
// left out, and nothing the program needs beyond one window is put in.
#include <QApplication>
#include <QLabel>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("起動しました"));
    window.resize(760, 562);
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
