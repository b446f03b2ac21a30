#include "PictureFixtures.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <vector>

#include <cstdio>
#include <jpeglib.h>
#include <uemf.h>
#include <uwmf.h>

namespace {

QByteArray written(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(image);
    return bytes;
}

QByteArray readBack(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

QImage markedImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 160, 80));
    image.setPixel(1, 1, qRgb(255, 0, 0));
    image.setPixel(width - 2, height - 2, qRgb(0, 0, 255));
    return image;
}

QByteArray bmpBytes(const QImage &image)
{
    return written(image, "bmp");
}
QByteArray pngBytes(const QImage &image)
{
    return written(image, "png");
}

QByteArray icoBytes(const QImage &first, const QImage &second)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    writer.write(first);
    writer.write(second);
    return bytes;
}

QByteArray jpegBytes(const QImage &source, JpegKind kind)
{
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(source.width());
    cinfo.image_height = JDIMENSION(source.height());
    const bool gray = kind == JpegKind::Gray || kind == JpegKind::ScanHeavy;
    cinfo.input_components = gray ? 1 : kind == JpegKind::Cmyk ? 4 : 3;
    cinfo.in_color_space = gray ? JCS_GRAYSCALE : kind == JpegKind::Cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&cinfo);
    std::vector<jpeg_scan_info> scans { { 1, { 0 }, 0, 0, 0, 0 } };
    if (kind == JpegKind::ScanHeavy) {
        for (int k = 1; k < 64; ++k) {
            scans.push_back({ 1, { 0 }, k, k, 0, 10 });
            for (int bit = 10; bit > 0; --bit)
                scans.push_back({ 1, { 0 }, k, k, bit, bit - 1 });
        }
        cinfo.scan_info = scans.data();
        cinfo.num_scans = int(scans.size());
    }
    if (kind == JpegKind::Cmyk)
        cinfo.write_Adobe_marker = TRUE; // inverted inks, as Adobe writes them
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(std::size_t(source.width()) * std::size_t(cinfo.input_components));
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb p = source.pixel(x, y);
            JSAMPLE *o = row.data() + std::size_t(x) * std::size_t(cinfo.input_components);
            if (gray) {
                o[0] = JSAMPLE(qGray(p));
            } else if (kind == JpegKind::Cmyk) {
                const int k = 255 - std::max({ qRed(p), qGreen(p), qBlue(p) });
                const auto ink = [k](int c) { return k == 255 ? 0 : (255 - c - k) * 255 / (255 - k); };
                o[0] = JSAMPLE(255 - ink(qRed(p)));
                o[1] = JSAMPLE(255 - ink(qGreen(p)));
                o[2] = JSAMPLE(255 - ink(qBlue(p)));
                o[3] = JSAMPLE(255 - k);
            } else {
                o[0] = JSAMPLE(qRed(p));
                o[1] = JSAMPLE(qGreen(p));
                o[2] = JSAMPLE(qBlue(p));
            }
        }
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

QByteArray withRepeatedScans(const QByteArray &progressive, int scans)
{
    const qsizetype lastScan = progressive.lastIndexOf(QByteArray("\xFF\xDA", 2));
    const qsizetype end = progressive.size() - 2; // the end-of-image marker
    const QByteArray scan = progressive.mid(lastScan, end - lastScan);
    QByteArray result = progressive.left(end);
    for (int i = 0; i < scans; ++i)
        result += scan;
    return result + QByteArray("\xFF\xD9", 2);
}

QByteArray wmfBytes(const QString &scratchPath, int widthUnits, int heightUnits, int unitsPerInch)
{
    const QByteArray name = scratchPath.toLocal8Bit();
    WMFTRACK *wt = nullptr;
    WMFHANDLES *wht = nullptr;
    wmf_start(name.constData(), 100000, 100000, &wt);
    wmf_htable_create(64, 64, &wht);
    U_PAIRF *inches = U_PAIRF_set(float(widthUnits) / float(unitsPerInch), float(heightUnits) / float(unitsPerInch));
    wmf_header_append(reinterpret_cast<U_METARECORD *>(U_WMRHEADER_set(inches, unsigned(unitsPerInch))), wt, 1);
    std::free(inches);
    auto add = [&](char *record) { wmf_append(reinterpret_cast<U_METARECORD *>(record), wt, 1); };
    add(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    add(U_WMRSETWINDOWORG_set(point16_set(0, 0)));
    add(U_WMRSETWINDOWEXT_set(point16_set(2880, 1440)));
    uint32_t pen = 0, red = 0, blue = 0, green = 0;
    add(wcreatepenindirect_set(&pen, wht, U_PEN_set(U_PS_NULL, 0, colorref_set(0, 0, 0))));
    add(wselectobject_set(pen, wht));
    add(wcreatebrushindirect_set(&red, wht, U_WLOGBRUSH_set(U_BS_SOLID, colorref_set(255, 0, 0), 0)));
    add(wselectobject_set(red, wht));
    add(U_WMRRECTANGLE_set(U_RECT16_set(point16_set(0, 0), point16_set(1440, 1440))));
    add(wcreatebrushindirect_set(&blue, wht, U_WLOGBRUSH_set(U_BS_SOLID, colorref_set(0, 0, 255), 0)));
    add(wselectobject_set(blue, wht));
    add(U_WMRELLIPSE_set(U_RECT16_set(point16_set(1440, 0), point16_set(2880, 1440))));
    add(wcreatebrushindirect_set(&green, wht, U_WLOGBRUSH_set(U_BS_SOLID, colorref_set(0, 255, 0), 0)));
    add(wselectobject_set(green, wht));
    const uint16_t counts[] = { 4 };
    const U_POINT16 square[]
        = { point16_set(480, 480), point16_set(960, 480), point16_set(960, 960), point16_set(480, 960) };
    add(U_WMRPOLYPOLYGON_set(1, counts, square));
    char text[] = "Purl";
    add(U_WMRTEXTOUT_set(point16_set(100, 1100), text));
    add(U_WMREOF_set());
    wmf_finish(wt);
    wmf_free(&wt);
    wmf_htable_free(&wht);
    return readBack(scratchPath);
}

QByteArray emfBytes(const QString &scratchPath, int frameWidth, int frameHeight)
{
    const QByteArray name = scratchPath.toLocal8Bit();
    EMFTRACK *et = nullptr;
    EMFHANDLES *eht = nullptr;
    emf_start(name.constData(), 100000, 100000, &et);
    emf_htable_create(64, 64, &eht);
    auto add = [&](char *record) { emf_append(reinterpret_cast<U_ENHMETARECORD *>(record), et, 1); };
    // A reference device of 96 pixels per 25.4 mm, so device pixels are picture pixels.
    const U_RECTL bounds = rectl_set(pointl_set(0, 0), pointl_set(191, 95));
    const U_RECTL frame = rectl_set(pointl_set(0, 0), pointl_set(frameWidth, frameHeight));
    add(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, sizel_set(960, 960), sizel_set(254, 254), 0));
    uint32_t pen = 0, red = 0, green = 0;
    add(createpen_set(&pen, eht, logpen_set(U_PS_NULL, point32_set(0, 0), colorref_set(0, 0, 0))));
    add(selectobject_set(pen, eht));
    add(createbrushindirect_set(&red, eht, logbrush_set(U_BS_SOLID, colorref_set(255, 0, 0), 0)));
    add(selectobject_set(red, eht));
    add(U_EMRRECTANGLE_set(rectl_set(pointl_set(0, 0), pointl_set(96, 96))));
    add(createbrushindirect_set(&green, eht, logbrush_set(U_BS_SOLID, colorref_set(0, 255, 0), 0)));
    add(selectobject_set(green, eht));
    add(U_EMRBEGINPATH_set());
    const U_POINTL square[] = { pointl_set(32, 32), pointl_set(64, 32), pointl_set(64, 64), pointl_set(32, 64) };
    add(U_EMRPOLYGON_set(bounds, 4, square));
    add(U_EMRENDPATH_set());
    add(U_EMRFILLPATH_set(bounds));
    // A 2 x 2 blue bitmap stretched over the right half.
    const char rgba[16] = { 0, 0, char(255), char(255), 0, 0, char(255), char(255), 0, 0, char(255), char(255), 0, 0,
        char(255), char(255) };
    char *px = nullptr;
    uint32_t cbPx = 0;
    PU_RGBQUAD ct = nullptr;
    int numCt = 0;
    RGBA_to_DIB(&px, &cbPx, &ct, &numCt, rgba, 2, 2, 8, U_BCBM_COLOR32, 0, 1);
    const U_BITMAPINFOHEADER header = bitmapinfoheader_set(2, 2, 1, U_BCBM_COLOR32, U_BI_RGB, 0, 0, 0, 0, 0);
    PU_BITMAPINFO info = bitmapinfo_set(header, ct);
    add(U_EMRSTRETCHDIBITS_set(bounds, pointl_set(96, 0), pointl_set(96, 96), pointl_set(0, 0), pointl_set(2, 2),
        U_DIB_RGB_COLORS, U_SRCCOPY, info, cbPx, px));
    std::free(info);
    std::free(px);
    std::free(ct);
    add(U_EMREOF_set(0, nullptr, et));
    emf_finish(et, eht);
    emf_free(&et);
    emf_htable_free(&eht);
    return readBack(scratchPath);
}

QByteArray wmfDrawing(const QString &scratchPath, int width, int height,
    const std::function<void(const RecordAdder &add, WMFHANDLES *table)> &body)
{
    const QByteArray name = scratchPath.toLocal8Bit();
    WMFTRACK *wt = nullptr;
    WMFHANDLES *wht = nullptr;
    wmf_start(name.constData(), 100000, 100000, &wt);
    wmf_htable_create(64, 64, &wht);
    U_PAIRF *inches = width > 0 ? U_PAIRF_set(float(width) / 96, float(height) / 96) : nullptr;
    wmf_header_append(reinterpret_cast<U_METARECORD *>(U_WMRHEADER_set(inches, 96)), wt, 1);
    std::free(inches);
    body([&](char *record) { wmf_append(reinterpret_cast<U_METARECORD *>(record), wt, 1); }, wht);
    wmf_append(reinterpret_cast<U_METARECORD *>(U_WMREOF_set()), wt, 1);
    wmf_finish(wt);
    wmf_free(&wt);
    wmf_htable_free(&wht);
    return readBack(scratchPath);
}

QByteArray emfDrawing(const QString &scratchPath, int width, int height,
    const std::function<void(const RecordAdder &add, EMFHANDLES *table)> &body)
{
    const QByteArray name = scratchPath.toLocal8Bit();
    EMFTRACK *et = nullptr;
    EMFHANDLES *eht = nullptr;
    emf_start(name.constData(), 100000, 100000, &et);
    emf_htable_create(64, 64, &eht);
    const auto add = [&](char *record) { emf_append(reinterpret_cast<U_ENHMETARECORD *>(record), et, 1); };
    const U_RECTL bounds = rectl_set(pointl_set(0, 0), pointl_set(width - 1, height - 1));
    const U_RECTL frame = rectl_set(pointl_set(0, 0), pointl_set(width * 2540 / 96, height * 2540 / 96));
    add(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, sizel_set(960, 960), sizel_set(254, 254), 0));
    body(add, eht);
    add(U_EMREOF_set(0, nullptr, et));
    emf_finish(et, eht);
    emf_free(&et);
    emf_htable_free(&eht);
    return readBack(scratchPath);
}
