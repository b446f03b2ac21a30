// Writes the program's icon as PNG files for the hicolor icon theme, one per
// size: appicons OUTPUT_FOLDER SIZE... (16.png, 22.png, ...). Run at build time.
#include "ui/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    // Drawing needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(size));
        const QImage icon = size > 0 ? applicationIcon(size) : QImage();
        if (icon.size() != QSize(size, size) || !icon.save(path, "PNG")) {
            std::fprintf(stderr, "could not write the %s-pixel icon to %s\n", argv[i], qPrintable(path));
            return 1;
        }
    }
    return 0;
}
