// Renders the application icon at the sizes the desktop's icon theme asks
// for, at build time, so that the pictures always match the drawing.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: render_icon ICON.svg SIZE OUT.png\n", stderr);
        return 2;
    }
    const int size = QString::fromLocal8Bit(argv[2]).toInt();
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    if (image.isNull() || size <= 0) {
        std::fprintf(stderr, "render_icon: %s\n", qPrintable(reader.errorString()));
        return 1;
    }
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "render_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
