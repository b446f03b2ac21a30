// purlwise-thumbnailer -s SIZE INPUT OUTPUT: writes a PNG of a pattern file's
// cells for file managers. A file that is damaged or too large gives no
// picture and a non-zero exit.
#include "model/GridRaster.h"
#include "model/PatternThumbnail.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage()
{
    std::fputs("usage: purlwise-thumbnailer -s SIZE INPUT OUTPUT\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5 || std::strcmp(argv[1], "-s") != 0)
        return usage();
    char *end = nullptr;
    const long size = std::strtol(argv[2], &end, 10);
    if (*argv[2] == '\0' || *end != '\0' || size < 1)
        return usage();

    const model::Outcome<model::Thumbnail> made
        = model::PatternThumbnail(argv[3], int(std::min<long>(size, model::MaxThumbnailSize)));
    if (!made.ok()) {
        std::fprintf(stderr, "purlwise-thumbnailer: %s: no pattern to show\n", argv[3]);
        return 1;
    }
    const model::Thumbnail &thumbnail = made.value();
    QImage image(thumbnail.width, thumbnail.height, QImage::Format_RGB32);
    for (int y = 0; y < thumbnail.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const model::TColor *cells = thumbnail.pixels.data() + std::size_t(y) * std::size_t(thumbnail.width);
        for (int x = 0; x < thumbnail.width; ++x)
            line[x] = model::pixelOf(cells[x]);
    }
    if (!image.save(QString::fromLocal8Bit(argv[4]), "PNG")) {
        std::fprintf(stderr, "purlwise-thumbnailer: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
