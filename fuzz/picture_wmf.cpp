// Any bytes given to the WMF walker are drawn or refused as not valid; no
// count or size in a record reads outside the file.
#include "ui/MetafileReader.h"

#include <QGuiApplication>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text records need fonts, and fonts need an application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // A small canvas keeps each run quick; the walk is the same at any size.
    QImage canvas(48, 32, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    renderWmf(bytes, canvas);
    return 0;
}
