// Draws the program's icon at build time, one picture per size:
//   appicons OUTPUT_FOLDER SIZE...   PNG files for the hicolor icon theme (16.png, ...)
//   appicons --source FILE SIZE...   C++ holding the pixels, for the window icon
#include "ui/AppIcon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

bool writeSource(const QString &path, const QList<int> &sizes)
{
    QByteArray text = "// Drawn by drawApplicationIcon() when the program was built.\n"
                      "#include \"ui/AppIcon.h\"\n\nnamespace {\n\n";
    for (int size : sizes) {
        const QImage icon = drawApplicationIcon(size);
        text += "alignas(4) const unsigned char icon" + QByteArray::number(size) + "[] = {";
        for (qsizetype i = 0; i < icon.sizeInBytes(); ++i)
            text += (i % 24 ? " " : "\n    ") + QByteArray::number(icon.constBits()[i]) + ",";
        text += "\n};\n\n";
    }
    text += "} // namespace\n\nQImage applicationIcon(int size)\n{\n    switch (size) {\n";
    for (int size : sizes)
        text += "    case " + QByteArray::number(size) + ":\n        return QImage(icon" + QByteArray::number(size)
            + ", size, size, size * 4, QImage::Format_ARGB32_Premultiplied);\n";
    text += "    default:\n        return drawApplicationIcon(size);\n    }\n}\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

} // namespace

int main(int argc, char **argv)
{
    const bool source = argc > 1 && QByteArray(argv[1]) == "--source";
    if (argc < (source ? 4 : 3)) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER SIZE...\n       %s --source FILE SIZE...\n", argv[0], argv[0]);
        return 2;
    }
    // Drawing needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QList<int> sizes;
    for (int i = source ? 3 : 2; i < argc; ++i) {
        sizes.append(QByteArray(argv[i]).toInt());
        if (sizes.last() < 1) {
            std::fprintf(stderr, "not a size: %s\n", argv[i]);
            return 2;
        }
    }
    if (source) {
        if (!writeSource(QString::fromLocal8Bit(argv[2]), sizes)) {
            std::fprintf(stderr, "could not write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    for (int size : sizes) {
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(size));
        if (!drawApplicationIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "could not write the %d-pixel icon to %s\n", size, qPrintable(path));
            return 1;
        }
    }
    return 0;
}
