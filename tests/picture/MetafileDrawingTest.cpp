// Metafile drawings compared whole: against pictures painted here from the
// same coordinates, or, for text, against the same words drawn another way.
#include "PictureFixtures.h"
#include "ui/MetafileReader.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

#include <cstring>

namespace {

QImage whiteWithBoxes(QSize size, const std::vector<QRect> &redBoxes)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (const QRect &box : redBoxes)
        painter.fillRect(box, Qt::red);
    return image;
}

void wmfRedNoPen(const RecordAdder &add, WMFHANDLES *table)
{
    uint32_t pen = 0, brush = 0;
    add(wcreatepenindirect_set(&pen, table, U_PEN_set(U_PS_NULL, 0, colorref_set(0, 0, 0))));
    add(wselectobject_set(pen, table));
    add(wcreatebrushindirect_set(&brush, table, U_WLOGBRUSH_set(U_BS_SOLID, colorref_set(255, 0, 0), 0)));
    add(wselectobject_set(brush, table));
}

void emfRedNoPen(const RecordAdder &add, EMFHANDLES *table)
{
    uint32_t pen = 0, brush = 0;
    add(createpen_set(&pen, table, logpen_set(U_PS_NULL, point32_set(0, 0), colorref_set(0, 0, 0))));
    add(selectobject_set(pen, table));
    add(createbrushindirect_set(&brush, table, logbrush_set(U_BS_SOLID, colorref_set(255, 0, 0), 0)));
    add(selectobject_set(brush, table));
}

U_RECT16 rect16(int left, int top, int right, int bottom)
{
    return U_RECT16_set(point16_set(int16_t(left), int16_t(top)), point16_set(int16_t(right), int16_t(bottom)));
}

U_RECTL rectl(int left, int top, int right, int bottom)
{
    return rectl_set(pointl_set(left, top), pointl_set(right, bottom));
}

QImage shown(const DecodedPicture &picture)
{
    EXPECT_TRUE(picture.ok()) << picture.error.toStdString();
    return picture.picture().toImage().convertToFormat(QImage::Format_RGB32);
}

// Where two pictures first differ, for the failure message.
std::string firstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("at %1,%2: %3 instead of %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 0, 16)
                    .arg(b.pixel(x, y), 0, 16)
                    .toStdString();
    return "none";
}

// "Привет" in Windows-1251.
const char PrivetCp1251[] = "\xCF\xF0\xE8\xE2\xE5\xF2";

} // namespace

TEST(MetafileDrawing, WindowlessPicturesAndClipRectanglesDrawAsTheirCoordinatesSay)
{
    QTemporaryDir dir;
    const QString scratch = dir.filePath("scratch");
    const struct {
        const char *label;
        DecodedPicture picture;
        QImage expected;
    } cases[] = {
        { "WMF without window extent, in pixels from the top left",
            decodeWmf(wmfDrawing(scratch, 0, 0,
                [](const RecordAdder &add, WMFHANDLES *table) {
                    wmfRedNoPen(add, table);
                    add(U_WMRRECTANGLE_set(rect16(10, 5, 41, 21)));
                })),
            whiteWithBoxes({ 41, 21 }, { QRect(10, 5, 31, 16) }) },
        { "WMF clipped to a rectangle less a corner",
            decodeWmf(wmfDrawing(scratch, 96, 64,
                [](const RecordAdder &add, WMFHANDLES *table) {
                    wmfRedNoPen(add, table);
                    add(U_WMRINTERSECTCLIPRECT_set(rect16(0, 0, 48, 64)));
                    add(U_WMREXCLUDECLIPRECT_set(rect16(0, 0, 24, 16)));
                    add(U_WMRRECTANGLE_set(rect16(0, 0, 97, 65)));
                })),
            whiteWithBoxes({ 96, 64 }, { QRect(24, 0, 24, 16), QRect(0, 16, 48, 48) }) },
        { "WMF polygon under a moved window origin",
            decodeWmf(wmfDrawing(scratch, 96, 64,
                [](const RecordAdder &add, WMFHANDLES *table) {
                    wmfRedNoPen(add, table);
                    add(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC));
                    add(U_WMRSETWINDOWORG_set(point16_set(100, 200)));
                    add(U_WMRSETWINDOWEXT_set(point16_set(96, 64)));
                    const U_POINT16 corners[] = { point16_set(110, 205), point16_set(141, 205), point16_set(141, 221),
                        point16_set(110, 221) };
                    add(U_WMRPOLYGON_set(4, corners));
                })),
            whiteWithBoxes({ 96, 64 }, { QRect(10, 5, 31, 16) }) },
        { "EMF polygon",
            decodeEmf(emfDrawing(scratch, 96, 72,
                [](const RecordAdder &add, EMFHANDLES *table) {
                    emfRedNoPen(add, table);
                    const U_POINTL corners[] = { pointl_set(10, 5), pointl_set(41, 5), pointl_set(41, 21),
                        pointl_set(10, 21) };
                    add(U_EMRPOLYGON_set(rectl(10, 5, 41, 21), 4, corners));
                })),
            whiteWithBoxes({ 96, 72 }, { QRect(10, 5, 31, 16) }) },
        { "EMF clipped to a rectangle less a corner, until restored",
            decodeEmf(emfDrawing(scratch, 96, 72,
                [](const RecordAdder &add, EMFHANDLES *table) {
                    emfRedNoPen(add, table);
                    add(U_EMRSAVEDC_set());
                    add(U_EMRINTERSECTCLIPRECT_set(rectl(0, 0, 48, 40)));
                    add(U_EMREXCLUDECLIPRECT_set(rectl(0, 0, 24, 16)));
                    add(U_EMRRECTANGLE_set(rectl(0, 0, 97, 73)));
                    add(U_EMRRESTOREDC_set(-1));
                    add(U_EMRRECTANGLE_set(rectl(70, 50, 80, 60)));
                })),
            whiteWithBoxes({ 96, 72 }, { QRect(24, 0, 24, 16), QRect(0, 16, 48, 24), QRect(70, 50, 10, 10) }) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        const QImage picture = shown(c.picture);
        EXPECT_TRUE(picture == c.expected) << firstDifference(picture, c.expected);
    }
}

TEST(MetafileDrawing, EightBitTextReadsAsWindows1251UnderDefaultAndAnsiFonts)
{
    QTemporaryDir dir;
    const QString scratch = dir.filePath("scratch");
    const auto wmfText = [&](uint8_t charset) {
        return shown(decodeWmf(wmfDrawing(scratch, 160, 48, [charset](const RecordAdder &add, WMFHANDLES *table) {
            uint32_t font = 0;
            char face[] = "DejaVu Sans";
            add(wcreatefontindirect_set(&font, table, U_FONT_set(-24, 0, 0, 0, 400, 0, 0, 0, charset, 0, 0, 0, 0, face)));
            add(wselectobject_set(font, table));
            char text[sizeof PrivetCp1251];
            std::memcpy(text, PrivetCp1251, sizeof text);
            add(U_WMRTEXTOUT_set(point16_set(8, 8), text));
        })));
    };
    const auto emfText = [&](uint8_t charset, bool wide) {
        return shown(decodeEmf(emfDrawing(scratch, 160, 48, [=](const RecordAdder &add, EMFHANDLES *table) {
            uint16_t face[] = { 'D', 'e', 'j', 'a', 'V', 'u', ' ', 'S', 'a', 'n', 's', 0 };
            const U_LOGFONT logFont = logfont_set(-24, 0, 0, 0, 400, 0, 0, 0, charset, 0, 0, 0, 0, face);
            uint32_t font = 0;
            add(extcreatefontindirectw_set(&font, table, reinterpret_cast<const char *>(&logFont), nullptr));
            add(selectobject_set(font, table));
            const QString privet = QStringLiteral("Привет");
            std::vector<uint32_t> advances(6, 20);
            char *text = wide ? emrtext_set(pointl_set(8, 8), 6, 2, const_cast<ushort *>(privet.utf16()), U_ETO_NONE,
                                    rectl(0, 0, 0, 0), advances.data())
                              : emrtext_set(pointl_set(8, 8), 6, 1, const_cast<char *>(PrivetCp1251), U_ETO_NONE,
                                    rectl(0, 0, 0, 0), advances.data());
            const U_RECTL bounds = rectl(0, 0, 159, 47);
            add(wide ? U_EMREXTTEXTOUTW_set(bounds, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(text))
                     : U_EMREXTTEXTOUTA_set(bounds, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(text)));
            std::free(text);
        })));
    };
    QImage blank(160, 48, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const QImage russian = wmfText(U_RUSSIAN_CHARSET);
    EXPECT_NE(russian, blank);
    EXPECT_EQ(wmfText(U_ANSI_CHARSET), russian);
    EXPECT_EQ(wmfText(U_DEFAULT_CHARSET), russian);
    // The wide form carries the letters themselves: the bytes must give the same.
    const QImage wide = emfText(U_DEFAULT_CHARSET, true);
    EXPECT_NE(wide, blank);
    for (const uint8_t charset : { U_RUSSIAN_CHARSET, U_ANSI_CHARSET, U_DEFAULT_CHARSET })
        EXPECT_EQ(emfText(charset, false), wide) << int(charset);
}

// A metafile of many fills the size of the largest picture is kept as its
// drawing, not a raster of its natural size, and the part the window shows
// is painted alone.
TEST(MetafileDrawing, LargeMetafilesAreKeptAsDrawingsAndPaintedOnlyWhereShown)
{
    QTemporaryDir dir;
    const int width = 16384, height = 4096;
    const DecodedPicture decoded
        = decodeEmf(emfDrawing(dir.filePath("large.emf"), width, height, [&](const RecordAdder &add, EMFHANDLES *table) {
              emfRedNoPen(add, table);
              for (int i = 0; i < 200; ++i)
                  add(U_EMRELLIPSE_set(rectl(0, 0, width, height)));
          }));
    ASSERT_TRUE(decoded.ok());
    EXPECT_TRUE(decoded.image.isNull());
    const Picture picture = decoded.picture();
    EXPECT_EQ(picture.size(), QSize(width, height));
    QImage shown(200, 150, QImage::Format_RGB32);
    shown.fill(Qt::black);
    QPainter painter(&shown);
    const QRect centre(width / 2 - 100, height / 2 - 75, 200, 150);
    painter.translate(-centre.topLeft());
    picture.paint(painter, centre);
    painter.end();
    EXPECT_TRUE(shown == whiteWithBoxes(shown.size(), { shown.rect() }));
}

// Where a drawing's ink lies: a pie's quadrant, a bitmap's corners, text
// against its reference point under top and baseline alignment.
TEST(MetafileDrawing, PiesBitmapsAndTextLandWhereTheirRecordsPutThem)
{
    QTemporaryDir dir;
    const QString scratch = dir.filePath("scratch");
    const auto redIn = [](const QImage &image, const QRect &area) {
        int red = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                red += image.pixel(x, y) == qRgb(255, 0, 0);
        return double(red) / (area.width() * area.height());
    };
    // Counter-clockwise from east to north: the top right quarter only.
    const QImage pie = shown(decodeEmf(emfDrawing(scratch, 96, 96, [](const RecordAdder &add, EMFHANDLES *table) {
        emfRedNoPen(add, table);
        add(U_EMRPIE_set(rectl(0, 0, 96, 96), pointl_set(96, 48), pointl_set(48, 0)));
    })));
    EXPECT_GT(redIn(pie, QRect(52, 20, 24, 24)), 0.99);
    for (const QRect &other : { QRect(20, 20, 24, 24), QRect(20, 52, 24, 24), QRect(52, 52, 24, 24) })
        EXPECT_EQ(redIn(pie, other), 0.0);

    // A 2 x 2 bottom-up bitmap, red at its top left, stretched over 64 x 64.
    const QImage bitmap = shown(decodeEmf(emfDrawing(scratch, 96, 72, [](const RecordAdder &add, EMFHANDLES *) {
        const char bgra[16] = { 0, 0, 0, 0, char(255), char(255), char(255), 0, // bottom row: black, white
            0, 0, char(255), 0, char(255), 0, 0, 0 }; // top row: red, blue
        const U_BITMAPINFOHEADER header = bitmapinfoheader_set(2, 2, 1, U_BCBM_COLOR32, U_BI_RGB, 0, 0, 0, 0, 0);
        PU_BITMAPINFO info = bitmapinfo_set(header, nullptr);
        add(U_EMRSTRETCHDIBITS_set(rectl(0, 0, 95, 71), pointl_set(0, 0), pointl_set(64, 64), pointl_set(0, 0),
            pointl_set(2, 2), U_DIB_RGB_COLORS, U_SRCCOPY, info, 16, const_cast<char *>(bgra)));
        std::free(info);
    })));
    EXPECT_EQ(bitmap.pixel(16, 16), qRgb(255, 0, 0));
    EXPECT_EQ(bitmap.pixel(48, 16), qRgb(0, 0, 255));
    EXPECT_EQ(bitmap.pixel(16, 48), qRgb(0, 0, 0));
    EXPECT_EQ(bitmap.pixel(48, 48), qRgb(255, 255, 255));

    // The letters' ink, from a reference point away from the diagonal.
    const auto inkBox = [&](std::uint32_t align, QPoint reference) {
        const QImage text = shown(decodeEmf(emfDrawing(scratch, 160, 72, [&](const RecordAdder &add, EMFHANDLES *table) {
            uint16_t face[] = { 'D', 'e', 'j', 'a', 'V', 'u', ' ', 'S', 'a', 'n', 's', 0 };
            const U_LOGFONT logFont = logfont_set(-24, 0, 0, 0, 400, 0, 0, 0, U_DEFAULT_CHARSET, 0, 0, 0, 0, face);
            uint32_t font = 0;
            add(extcreatefontindirectw_set(&font, table, reinterpret_cast<const char *>(&logFont), nullptr));
            add(selectobject_set(font, table));
            add(U_EMRSETBKMODE_set(U_TRANSPARENT));
            add(U_EMRSETTEXTALIGN_set(align));
            uint16_t letters[] = { 'H', 'H' };
            std::vector<uint32_t> advances(2, 20);
            char *run = emrtext_set(pointl_set(reference.x(), reference.y()), 2, 2, letters, U_ETO_NONE,
                rectl(0, 0, 0, 0), advances.data());
            add(U_EMREXTTEXTOUTW_set(rectl(0, 0, 159, 71), U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(run)));
            std::free(run);
        })));
        QRect ink;
        for (int y = 0; y < text.height(); ++y)
            for (int x = 0; x < text.width(); ++x)
                if (qGray(text.pixel(x, y)) < 128)
                    ink |= QRect(x, y, 1, 1);
        return ink;
    };
    const QRect top = inkBox(U_TA_TOP | U_TA_LEFT, QPoint(30, 10));
    EXPECT_NEAR(top.left(), 32, 3);
    EXPECT_GT(top.top(), 10);
    EXPECT_LT(top.top(), 20);
    const QRect baseline = inkBox(U_TA_BASELINE | U_TA_LEFT, QPoint(30, 50));
    EXPECT_NEAR(baseline.bottom(), 49, 1);
    EXPECT_NEAR(baseline.height(), top.height(), 1);
}
