// Writes sample pictures of every readable kind into OUTPUT_FOLDER, one
// sub-folder per reader (picture_jpeg, picture_wmf, picture_emf, picture_bmp, other):
// the fuzzers' seed corpora, and pictures to try the picture window with.
#include "PictureFixtures.h"
#include "ui/AppIcon.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <cstdio>

#include <uemf.h>
#include <uemf_utf.h>
#include <uwmf.h>

namespace {

void save(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "could not write %s\n", qPrintable(file.fileName()));
}

QByteArray readBack(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A landscape with soft gradients, like a photograph, larger than the window.
QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(70, 130, 200));
    sky.setColorAt(0.6, QColor(200, 225, 245));
    sky.setColorAt(0.61, QColor(90, 150, 70));
    sky.setColorAt(1, QColor(40, 90, 30));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(250, 220, 90));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(width * 0.75, height * 0.2), height * 0.08, height * 0.08);
    painter.setBrush(QColor(120, 60, 40));
    painter.drawRect(QRectF(width * 0.2, height * 0.45, width * 0.25, height * 0.25));
    painter.setBrush(QColor(180, 40, 40));
    painter.drawPolygon(QPolygonF({ QPointF(width * 0.17, height * 0.45), QPointF(width * 0.325, height * 0.3),
        QPointF(width * 0.48, height * 0.45) }));
    return image;
}

// Clip art as a drawing program of the time would store it: 3 x 2 inches.
QByteArray clipArtWmf(const QString &scratch)
{
    WMFTRACK *wt = nullptr;
    WMFHANDLES *wht = nullptr;
    wmf_start(scratch.toLocal8Bit().constData(), 100000, 100000, &wt);
    wmf_htable_create(64, 64, &wht);
    U_PAIRF *inches = U_PAIRF_set(3, 2);
    wmf_header_append(reinterpret_cast<U_METARECORD *>(U_WMRHEADER_set(inches, 1440)), wt, 1);
    std::free(inches);
    auto add = [&](char *record) { wmf_append(reinterpret_cast<U_METARECORD *>(record), wt, 1); };
    auto box = [](int l, int t, int r, int b) { return U_RECT16_set(point16_set(l, t), point16_set(r, b)); };
    uint32_t ih = 0;
    add(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    add(U_WMRSETWINDOWORG_set(point16_set(0, 0)));
    add(U_WMRSETWINDOWEXT_set(point16_set(4320, 2880)));
    add(U_WMRSETBKMODE_set(U_TRANSPARENT));
    add(wcreatepenindirect_set(&ih, wht, U_PEN_set(U_PS_NULL, 0, colorref_set(0, 0, 0))));
    add(wselectobject_set(ih, wht));
    add(wcreatebrushindirect_set(&ih, wht, U_WLOGBRUSH_set(U_BS_SOLID, colorref_set(200, 228, 250), 0)));
    add(wselectobject_set(ih, wht));
    add(U_WMRRECTANGLE_set(box(0, 0, 4320, 2880)));
    add(wcreatepenindirect_set(&ih, wht, U_PEN_set(U_PS_SOLID, 40, colorref_set(230, 140, 0))));
    add(wselectobject_set(ih, wht));
    add(wcreatebrushindirect_set(&ih, wht, U_WLOGBRUSH_set(U_BS_SOLID, colorref_set(255, 220, 60), 0)));
    add(wselectobject_set(ih, wht));
    add(U_WMRELLIPSE_set(box(3300, 200, 4000, 900)));
    add(U_WMRSAVEDC_set());
    add(wcreatepenindirect_set(&ih, wht, U_PEN_set(U_PS_SOLID, 30, colorref_set(60, 30, 10))));
    add(wselectobject_set(ih, wht));
    add(wcreatebrushindirect_set(&ih, wht, U_WLOGBRUSH_set(U_BS_SOLID, colorref_set(170, 100, 60), 0)));
    add(wselectobject_set(ih, wht));
    add(U_WMRRECTANGLE_set(box(600, 1200, 2000, 2400)));
    add(wcreatebrushindirect_set(&ih, wht, U_WLOGBRUSH_set(U_BS_HATCHED, colorref_set(160, 20, 20), U_HS_DIAGCROSS)));
    add(wselectobject_set(ih, wht));
    const U_POINT16 roof[] = { point16_set(450, 1200), point16_set(1300, 500), point16_set(2150, 1200) };
    add(U_WMRPOLYGON_set(3, roof));
    add(wcreatebrushindirect_set(&ih, wht, U_WLOGBRUSH_set(U_BS_SOLID, colorref_set(90, 50, 20), 0)));
    add(wselectobject_set(ih, wht));
    add(U_WMRROUNDRECT_set(120, 120, box(1100, 1700, 1500, 2400)));
    add(U_WMRRESTOREDC_set(-1));
    add(wcreatepenindirect_set(&ih, wht, U_PEN_set(U_PS_SOLID, 30, colorref_set(0, 110, 0))));
    add(wselectobject_set(ih, wht));
    std::vector<U_POINT16> zigzag;
    for (int i = 0; i <= 16; ++i)
        zigzag.push_back(point16_set(int16_t(2300 + i * 120), int16_t(i % 2 ? 2300 : 2500)));
    add(U_WMRPOLYLINE_set(uint16_t(zigzag.size()), zigzag.data()));
    add(wcreatebrushindirect_set(&ih, wht, U_WLOGBRUSH_set(U_BS_SOLID, colorref_set(200, 30, 120), 0)));
    add(wselectobject_set(ih, wht));
    add(U_WMRPIE_set(point16_set(3900, 1500), point16_set(2900, 1500), box(2900, 1100, 3900, 2100)));
    add(U_WMRARC_set(point16_set(3900, 1900), point16_set(2700, 1900), box(2700, 1300, 4100, 2300)));
    U_FONT *font
        = U_FONT_set(-300, 0, 0, 0, U_FW_BOLD, 0, 0, 0, U_ANSI_CHARSET, 0, 0, 0, 0, const_cast<char *>("Arial"));
    add(wcreatefontindirect_set(&ih, wht, font));
    std::free(font);
    add(wselectobject_set(ih, wht));
    add(U_WMRSETTEXTCOLOR_set(colorref_set(0, 0, 128)));
    char text[] = "Purlwise";
    add(U_WMRTEXTOUT_set(point16_set(200, 150), text));
    add(U_WMREOF_set());
    wmf_finish(wt);
    wmf_free(&wt);
    wmf_htable_free(&wht);
    return readBack(scratch);
}

// The same kind of clip art as an EMF of 76.2 x 50.8 mm, with a path, curves,
// a turned text and Cyrillic letters.
QByteArray clipArtEmf(const QString &scratch)
{
    EMFTRACK *et = nullptr;
    EMFHANDLES *eht = nullptr;
    emf_start(scratch.toLocal8Bit().constData(), 100000, 100000, &et);
    emf_htable_create(64, 64, &eht);
    auto add = [&](char *record) { emf_append(reinterpret_cast<U_ENHMETARECORD *>(record), et, 1); };
    auto rect = [](int l, int t, int r, int b) { return rectl_set(pointl_set(l, t), pointl_set(r, b)); };
    const U_RECTL bounds = rect(0, 0, 287, 191);
    add(U_EMRHEADER_set(
        bounds, rect(0, 0, 7620, 5080), nullptr, 0, nullptr, sizel_set(960, 960), sizel_set(254, 254), 0));
    uint32_t ih = 0;
    add(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    add(U_EMRSETWINDOWEXTEX_set(sizel_set(2880, 1920)));
    add(U_EMRSETVIEWPORTEXTEX_set(sizel_set(288, 192)));
    add(U_EMRSETBKMODE_set(U_TRANSPARENT));
    add(createpen_set(&ih, eht, logpen_set(U_PS_NULL, point32_set(0, 0), colorref_set(0, 0, 0))));
    add(selectobject_set(ih, eht));
    add(createbrushindirect_set(&ih, eht, logbrush_set(U_BS_SOLID, colorref_set(250, 245, 225), 0)));
    add(selectobject_set(ih, eht));
    add(U_EMRRECTANGLE_set(rect(0, 0, 2880, 1920)));
    add(createpen_set(&ih, eht, logpen_set(U_PS_SOLID, point32_set(25, 0), colorref_set(0, 70, 140))));
    add(selectobject_set(ih, eht));
    add(createbrushindirect_set(&ih, eht, logbrush_set(U_BS_SOLID, colorref_set(120, 180, 230), 0)));
    add(selectobject_set(ih, eht));
    // A heart as a filled path of two curves.
    add(U_EMRBEGINPATH_set());
    add(U_EMRMOVETOEX_set(pointl_set(700, 600)));
    const U_POINTL heart[] = { pointl_set(700, 300), pointl_set(200, 300), pointl_set(250, 750), pointl_set(300, 1100),
        pointl_set(700, 1300), pointl_set(700, 1400), pointl_set(700, 1300), pointl_set(1100, 1100),
        pointl_set(1150, 750), pointl_set(1200, 300), pointl_set(700, 300), pointl_set(700, 600) };
    add(U_EMRPOLYBEZIERTO_set(bounds, 12, heart));
    add(U_EMRCLOSEFIGURE_set());
    add(U_EMRENDPATH_set());
    add(U_EMRSTROKEANDFILLPATH_set(bounds));
    add(createbrushindirect_set(&ih, eht, logbrush_set(U_BS_SOLID, colorref_set(230, 90, 40), 0)));
    add(selectobject_set(ih, eht));
    add(U_EMRCHORD_set(rect(1500, 300, 2500, 1300), pointl_set(2500, 800), pointl_set(1500, 800)));
    const uint32_t counts[] = { 4, 3 };
    const U_POINT16 shapes[] = { point16_set(1500, 1400), point16_set(2500, 1400), point16_set(2500, 1800),
        point16_set(1500, 1800), point16_set(1700, 1450), point16_set(2300, 1450), point16_set(2000, 1750) };
    add(U_EMRPOLYPOLYGON16_set(bounds, 2, counts, 7, shapes));
    U_LOGFONT font = logfont_set(-220, 0, 0, 0, U_FW_BOLD, 1, 0, 0, U_RUSSIAN_CHARSET, 0, 0, 0, 0, nullptr);
    size_t faceLength = 0;
    uint16_t *face = U_Utf8ToUtf16le("Times New Roman", 0, &faceLength);
    std::memcpy(font.lfFaceName, face, (faceLength + 1) * 2);
    std::free(face);
    add(extcreatefontindirectw_set(&ih, eht, reinterpret_cast<const char *>(&font), nullptr));
    add(selectobject_set(ih, eht));
    add(U_EMRSETTEXTCOLOR_set(colorref_set(120, 0, 60)));
    size_t length = 0;
    uint16_t *word = U_Utf8ToUtf16le("Вязание", 0, &length);
    std::vector<uint32_t> advances(length, 150);
    char *text = emrtext_set(pointl_set(150, 1500), uint32_t(length), 2, word, U_ETO_NONE, U_RCL_DEF, advances.data());
    add(U_EMREXTTEXTOUTW_set(bounds, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(text)));
    std::free(text);
    std::free(word);
    add(U_EMREOF_set(0, nullptr, et));
    emf_finish(et, eht);
    emf_free(&et);
    emf_htable_free(&eht);
    return readBack(scratch);
}

QByteArray icon()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    for (const int size : { 48, 32, 16 })
        writer.write(applicationIcon(size));
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QDir root(QString::fromLocal8Bit(argv[1]));
    for (const char *sub : { "picture_jpeg", "picture_wmf", "picture_emf", "picture_bmp", "other" })
        root.mkpath(QString::fromLatin1(sub));
    const QDir jpeg(root.filePath("picture_jpeg")), wmf(root.filePath("picture_wmf")),
        emf(root.filePath("picture_emf")), other(root.filePath("other"));

    const QImage small = markedImage(16, 8);
    save(jpeg, "rgb.jpg", jpegBytes(small, JpegKind::Rgb));
    save(jpeg, "gray.jpg", jpegBytes(small, JpegKind::Gray));
    save(jpeg, "cmyk.jpg", jpegBytes(small, JpegKind::Cmyk));
    save(jpeg, "progressive.jpg", jpegBytes(small, JpegKind::Progressive));
    save(wmf, "shapes.wmf", wmfBytes(other.filePath("scratch")));
    save(wmf, "clipart.wmf", clipArtWmf(other.filePath("scratch")));
    save(emf, "shapes.emf", emfBytes(other.filePath("scratch")));
    save(emf, "clipart.emf", clipArtEmf(other.filePath("scratch")));
    QFile::remove(other.filePath("scratch"));
    save(other, "photo.jpg", jpegBytes(photo(900, 640), JpegKind::Rgb));
    save(other, "photo.bmp", bmpBytes(photo(180, 120)));
    const QDir bmp(root.filePath("picture_bmp"));
    save(bmp, "photo.bmp", bmpBytes(photo(24, 16)));
    save(bmp, "indexed.bmp", bmpBytes(photo(24, 16).convertToFormat(QImage::Format_Indexed8)));
    save(bmp, "mono.bmp", bmpBytes(photo(24, 16).convertToFormat(QImage::Format_Mono)));
    save(other, "icon.ico", icon());
    std::printf("%s\n", qPrintable(root.absolutePath()));
    return 0;
}
