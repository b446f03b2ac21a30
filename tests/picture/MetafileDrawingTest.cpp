// Metafile drawings compared whole against pictures painted here from the
// same coordinates; text by where its ink lies and against the same words
// drawn another way.
#include "PictureFixtures.h"
#include "picture/MetafileReader.h"

#include <gtest/gtest.h>

#include <QPaintEngine>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

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

QImage shown(const PictureOutcome &picture)
{
    EXPECT_TRUE(picture.ok());
    return picture.value().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect inkOf(const QImage &image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// "Привет" in Windows-1251.
const char PrivetCp1251[] = "\xCF\xF0\xE8\xE2\xE5\xF2";

} // namespace

TEST(MetafileDrawing, ShapesUnderWindowsOriginsAndClipsDrawAsTheirCoordinatesSay)
{
    QTemporaryDir dir;
    const QString scratch = dir.filePath("scratch");
    const QImage wide = whiteWithBoxes({ 96, 64 }, { QRect(10, 5, 31, 16) });
    const struct {
        const char *label;
        PictureOutcome picture;
        QImage expected;
    } cases[] = {
        { "WMF without window extent, in pixels from the top left",
            decodeWmf(wmfDrawing(scratch, 0, 0,
                [](const RecordAdder &add, WMFHANDLES *table) {
                    wmfRedNoPen(add, table);
                    add(U_WMRRECTANGLE_set(rect16(10, 5, 41, 21)));
                })),
            wide.copy(0, 0, 41, 21) },
        { "WMF polygon under a moved window origin",
            decodeWmf(wmfDrawing(scratch, 96, 64,
                [](const RecordAdder &add, WMFHANDLES *table) {
                    wmfRedNoPen(add, table);
                    add(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC));
                    add(U_WMRSETWINDOWORG_set(point16_set(100, 200)));
                    add(U_WMRSETWINDOWEXT_set(point16_set(96, 64)));
                    const U_POINT16 corners[] = { point16_set(110, 205), point16_set(141, 205),
                        point16_set(141, 221), point16_set(110, 221) };
                    add(U_WMRPOLYGON_set(4, corners));
                })),
            wide },
        { "EMF polygon",
            decodeEmf(emfDrawing(scratch, 96, 72,
                [](const RecordAdder &add, EMFHANDLES *table) {
                    emfRedNoPen(add, table);
                    const U_POINTL corners[]
                        = { pointl_set(10, 5), pointl_set(41, 5), pointl_set(41, 21), pointl_set(10, 21) };
                    add(U_EMRPOLYGON_set(rectl(10, 5, 41, 21), 4, corners));
                })),
            whiteWithBoxes({ 96, 72 }, { QRect(10, 5, 31, 16) }) },
        { "WMF clipped to a rectangle less a corner",
            decodeWmf(wmfDrawing(scratch, 96, 64,
                [](const RecordAdder &add, WMFHANDLES *table) {
                    wmfRedNoPen(add, table);
                    add(U_WMRINTERSECTCLIPRECT_set(rect16(0, 0, 48, 64)));
                    add(U_WMREXCLUDECLIPRECT_set(rect16(0, 0, 24, 16)));
                    add(U_WMRRECTANGLE_set(rect16(0, 0, 97, 65)));
                })),
            whiteWithBoxes({ 96, 64 }, { QRect(24, 0, 24, 16), QRect(0, 16, 48, 48) }) },
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
        EXPECT_TRUE(shown(c.picture) == c.expected);
    }
}

// A pie's quarter and a stretched bottom-up bitmap's corners.
TEST(MetafileDrawing, PiesRunCounterClockwiseAndBitmapsStandUpright)
{
    QTemporaryDir dir;
    const QImage pie = shown(decodeEmf(emfDrawing(dir.filePath("pie"), 96, 96, [](const RecordAdder &add, EMFHANDLES *t) {
        emfRedNoPen(add, t);
        add(U_EMRPIE_set(rectl(0, 0, 96, 96), pointl_set(96, 48), pointl_set(48, 0))); // east to north
    })));
    EXPECT_TRUE(pie.copy(52, 20, 24, 24) == whiteWithBoxes({ 24, 24 }, { QRect(0, 0, 24, 24) }));
    for (const QPoint quarter : { QPoint(20, 20), QPoint(20, 52), QPoint(52, 52) })
        EXPECT_TRUE(pie.copy(QRect(quarter, QSize(24, 24))) == whiteWithBoxes({ 24, 24 }, {}));

    const QImage bitmap = shown(decodeEmf(emfDrawing(dir.filePath("dib"), 96, 72, [](const RecordAdder &add, EMFHANDLES *) {
        const char bgra[16] = { 0, 0, 0, 0, char(255), char(255), char(255), 0, // bottom row: black, white
            0, 0, char(255), 0, char(255), 0, 0, 0 }; // top row: red, blue
        PU_BITMAPINFO info = bitmapinfo_set(bitmapinfoheader_set(2, 2, 1, 32, U_BI_RGB, 0, 0, 0, 0, 0), nullptr);
        add(U_EMRSTRETCHDIBITS_set(rectl(0, 0, 95, 71), pointl_set(0, 0), pointl_set(64, 64), pointl_set(0, 0),
            pointl_set(2, 2), U_DIB_RGB_COLORS, U_SRCCOPY, info, 16, const_cast<char *>(bgra)));
        std::free(info);
    })));
    const QRgb corners[] = { bitmap.pixel(16, 16), bitmap.pixel(48, 16), bitmap.pixel(16, 48), bitmap.pixel(48, 48) };
    EXPECT_EQ(std::vector<QRgb>(corners, corners + 4),
        std::vector<QRgb>({ qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 0, 0), qRgb(255, 255, 255) }));
}

// Eight-bit text reads as Windows-1251 under the default and ANSI fonts as
// under Russian ones, and gives the same letters as the wide form; the ink
// sits by the reference point as the alignment says.
TEST(MetafileDrawing, TextReadsAsWindows1251AndSitsWhereAligned)
{
    QTemporaryDir dir;
    const QString scratch = dir.filePath("scratch");
    const auto wmfText = [&](uint8_t charset) {
        return shown(decodeWmf(wmfDrawing(scratch, 160, 48, [charset](const RecordAdder &add, WMFHANDLES *table) {
            uint32_t font = 0;
            char face[] = "DejaVu Sans", text[sizeof PrivetCp1251];
            std::copy_n(PrivetCp1251, sizeof text, text);
            const std::unique_ptr<U_FONT, decltype(&std::free)> logFont(
                U_FONT_set(-24, 0, 0, 0, 400, 0, 0, 0, charset, 0, 0, 0, 0, face), &std::free);
            add(wcreatefontindirect_set(&font, table, logFont.get()));
            add(wselectobject_set(font, table));
            add(U_WMRTEXTOUT_set(point16_set(30, 10), text));
        })));
    };
    const auto emfText = [&](uint8_t charset, bool wide, uint32_t align = U_TA_TOP) {
        return shown(decodeEmf(emfDrawing(scratch, 160, 72, [=](const RecordAdder &add, EMFHANDLES *table) {
            uint16_t face[] = { 'D', 'e', 'j', 'a', 'V', 'u', ' ', 'S', 'a', 'n', 's', 0 };
            const U_LOGFONT logFont = logfont_set(-24, 0, 0, 0, 400, 0, 0, 0, charset, 0, 0, 0, 0, face);
            uint32_t font = 0;
            add(extcreatefontindirectw_set(&font, table, reinterpret_cast<const char *>(&logFont), nullptr));
            add(selectobject_set(font, table));
            add(U_EMRSETTEXTALIGN_set(align));
            const QString privet = QStringLiteral("Привет");
            std::vector<uint32_t> advances(6, 20);
            const void *letters = wide ? static_cast<const void *>(privet.utf16()) : PrivetCp1251;
            char *run = emrtext_set(pointl_set(30, align == U_TA_TOP ? 10 : 50), 6, wide ? 2 : 1,
                const_cast<void *>(letters), U_ETO_NONE, rectl(0, 0, 0, 0), advances.data());
            const auto record = wide ? U_EMREXTTEXTOUTW_set : U_EMREXTTEXTOUTA_set;
            add(record(rectl(0, 0, 159, 71), U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(run)));
            std::free(run);
        })));
    };
    const QImage russian = wmfText(U_RUSSIAN_CHARSET);
    const QRect ink = inkOf(russian);
    EXPECT_NEAR(ink.left(), 32, 3);
    EXPECT_GT(ink.top(), 10);
    EXPECT_LT(ink.top(), 20);
    EXPECT_EQ(wmfText(U_ANSI_CHARSET), russian);
    EXPECT_EQ(wmfText(U_DEFAULT_CHARSET), russian);

    const QImage wide = emfText(U_DEFAULT_CHARSET, true);
    EXPECT_EQ(inkOf(wide).topLeft(), ink.topLeft());
    for (const uint8_t charset : { U_RUSSIAN_CHARSET, U_ANSI_CHARSET, U_DEFAULT_CHARSET })
        EXPECT_EQ(emfText(charset, false), wide) << int(charset);
    // On the baseline the letters stand above the reference row; only the descender goes below.
    const QRect baseline = inkOf(emfText(U_DEFAULT_CHARSET, true, U_TA_BASELINE));
    EXPECT_LT(baseline.top(), 40);
    EXPECT_GT(baseline.bottom(), 50);
    EXPECT_LT(baseline.bottom(), 60);
}

// A metafile of many fills the size of the largest picture is kept as its
// drawing, not a raster of its natural size, and the part shown is painted alone.
TEST(MetafileDrawing, LargeMetafilesAreKeptAsDrawingsAndPaintedOnlyWhereShown)
{
    QTemporaryDir dir;
    const int width = 16384, height = 4096;
    const PictureOutcome decoded
        = decodeEmf(emfDrawing(dir.filePath("large.emf"), width, height, [&](const RecordAdder &add, EMFHANDLES *table) {
              emfRedNoPen(add, table);
              for (int i = 0; i < 200; ++i)
                  add(U_EMRELLIPSE_set(rectl(0, 0, width, height)));
          }));
    ASSERT_TRUE(decoded.ok());
    EXPECT_TRUE(decoded.value().isDrawing());
    EXPECT_EQ(decoded.value().size(), QSize(width, height));
    QImage part(200, 150, QImage::Format_RGB32);
    QPainter painter(&part);
    const QRect centre(width / 2 - 100, height / 2 - 75, 200, 150);
    painter.translate(-centre.topLeft());
    decoded.value().paint(painter, centre);
    painter.end();
    EXPECT_TRUE(part == whiteWithBoxes(part.size(), { part.rect() }));
}

// Counts the clip changes a painting makes: a drawing replays each it holds.
class ClipChanges : public QPaintDevice, public QPaintEngine {
public:
    int count = 0;
    QPaintEngine *paintEngine() const override { return const_cast<ClipChanges *>(this); }
    int metric(PaintDeviceMetric metric) const override
    {
        return metric == PdmWidth || metric == PdmHeight ? 100 : metric == PdmDepth ? 32 : 96;
    }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override
    {
        count += (state.state() & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled)) != 0;
    }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    Type type() const override { return User; }
};

// A clip set once holds for every shape after it without being set again.
TEST(MetafileDrawing, AClipIsRecordedOnceForTheShapesUnderIt)
{
    QTemporaryDir dir;
    const PictureOutcome decoded
        = decodeEmf(emfDrawing(dir.filePath("clipped.emf"), 100, 100, [&](const RecordAdder &add, EMFHANDLES *table) {
              emfRedNoPen(add, table);
              add(U_EMRINTERSECTCLIPRECT_set(rectl(10, 10, 90, 90)));
              for (int i = 0; i < 200; ++i)
                  add(U_EMRRECTANGLE_set(rectl(i % 50, 0, 100, 100)));
          }));
    ASSERT_TRUE(decoded.ok());
    ClipChanges device;
    QPainter painter(&device);
    decoded.value().paint(painter, QRect(0, 0, 100, 100));
    painter.end();
    EXPECT_LT(device.count, 10);
}
