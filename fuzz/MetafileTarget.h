#pragma once
// The body both metafile fuzz targets share; each names its walker.
#include "picture/MetafileReader.h"

#include <QGuiApplication>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text records need fonts, and fonts need an application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

template <typename Render> int renderFuzzInput(const std::uint8_t *data, std::size_t size, Render render)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // A small canvas keeps each run quick; the walk is the same at any size.
    QImage canvas(48, 32, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    render(bytes, canvas);
    return 0;
}
