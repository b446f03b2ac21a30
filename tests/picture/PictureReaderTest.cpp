// Every reader through the picture window, as the user loads a file: a good
// file shows at its natural size with the right pixels; a damaged or
// over-large one reports its message and keeps the picture shown before.
#include "PictureFixtures.h"
#include "support/WindowFixture.h"
#include "picture/JpegReader.h"
#include "ui/Messages.h"
#include "ui/Picture.h"
#include "ui/SystemError.h"

#include "model/Outcome.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cerrno>
#include <jerror.h>
#include <sys/stat.h>

namespace {

struct Probe {
    QPoint at;
    QRgb colour;
};

struct LoadCase {
    const char *label;
    QString fileName;
    QByteArray bytes;
    QSize size; // expected on success
    std::vector<Probe> probes;
    QString message {}; // expected in the error report instead
};

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QByteArray truncated(const QByteArray &bytes)
{
    return bytes.left(bytes.size() / 2);
}

class PictureReaderTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        newPattern(4, 4);
        form->ShowHidePictureButton->click();
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // A double click on the window, the file chosen in the open dialog.
    void doubleClickAndChoose(const QString &path)
    {
        dialogs.openAnswers.push_back(path);
        QTest::mouseDClick(PictureForm->ScrollBox->viewport(), Qt::LeftButton);
        PictureForm->finishLoading();
    }

    void check(const std::vector<LoadCase> &cases, int tolerance)
    {
        const QString previous = write("previous.bmp", bmpBytes(markedImage(7, 5)));
        for (const LoadCase &c : cases) {
            SCOPED_TRACE(c.label);
            doubleClickAndChoose(previous);
            ASSERT_EQ(PictureForm->picture().size(), QSize(7, 5));
            dialogs.messages.clear();
            const QString path = write(c.fileName, c.bytes);
            const QString message = QString(c.message).replace("%PATH%", path);
            if (!message.isEmpty())
                dialogs.messageAnswers.push_back(QMessageBox::Ok);
            doubleClickAndChoose(path);
            if (!message.isEmpty()) {
                ASSERT_EQ(dialogs.messages.size(), 1u);
                EXPECT_EQ(dialogs.messages[0].text, message);
                EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
                EXPECT_EQ(PictureForm->picture().size(), QSize(7, 5));
                EXPECT_EQ(PictureForm->picture().pixel(1, 1), qRgb(255, 0, 0));
                EXPECT_EQ(PictureForm->Image->size(), QSize(7, 5));
                continue;
            }
            EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
            const QImage shown = PictureForm->picture();
            EXPECT_EQ(shown.size(), c.size);
            EXPECT_EQ(PictureForm->Image->size(), c.size);
            EXPECT_EQ(PictureForm->Image->pos(), QPoint(0, 0));
            for (const Probe &probe : c.probes)
                EXPECT_TRUE(near(shown.pixel(probe.at), probe.colour, tolerance))
                    << probe.at.x() << "," << probe.at.y() << " is " << std::hex << shown.pixel(probe.at);
        }
    }

    QTemporaryDir dir;
};

const QString BitmapInvalid = QStringLiteral("Bitmap image is not valid.");
const QString IconInvalid = QStringLiteral("Icon image is not valid.");
const QString MetafileInvalid = QStringLiteral("Metafile is not valid.");
const QString TooLarge = QStringLiteral("Рисунок в файле «%PATH%» слишком велик: %1 × %2.");

// A bitmap header's width field, rewritten to claim a huge picture.
QByteArray withBmpWidth(QByteArray bytes, qint32 width)
{
    std::memcpy(bytes.data() + 18, &width, 4);
    return bytes;
}

} // namespace

TEST_F(PictureReaderTest, BitmapsAndIcons)
{
    const QImage marked = markedImage(40, 30);
    const QImage second = markedImage(16, 16);
    const QByteArray bmp = bmpBytes(marked);
    const QByteArray ico = icoBytes(markedImage(32, 24), second);
    check(
        {
            { "bitmap", "a.bmp", bmp, { 40, 30 }, { { { 1, 1 }, qRgb(255, 0, 0) }, { { 38, 28 }, qRgb(0, 0, 255) } } },
            { "upper-case extension", "b.BMP", bmp, { 40, 30 }, { { { 5, 5 }, qRgb(40, 160, 80) } } },
            { "icon shows its first image", "c.ico", ico, { 32, 24 }, { { { 1, 1 }, qRgb(255, 0, 0) } } },
            { "PNG named .bmp", "d.bmp", pngBytes(marked), {}, {}, BitmapInvalid },
            { "truncated bitmap", "e.bmp", truncated(bmp), {}, {}, BitmapInvalid },
            { "bitmap header only", "f.bmp", bmp.left(20), {}, {}, BitmapInvalid },
            { "bitmap too wide", "g.bmp", withBmpWidth(bmp, 20000), {}, {}, TooLarge.arg(20000).arg(30) },
            { "truncated icon", "h.ico", truncated(ico), {}, {}, IconInvalid },
            { "bitmap named .ico", "i.ico", bmp, {}, {}, IconInvalid },
            { "text file", "notes.txt", "hello", {}, {}, QStringLiteral("Unknown picture file extension (.txt)") },
            { "no extension", "picture", bmp, {}, {}, QStringLiteral("Unknown picture file extension (.)") },
        },
        0);
}

TEST_F(PictureReaderTest, Jpegs)
{
    const QImage marked = markedImage(48, 32);
    QImage halves(48, 32, QImage::Format_RGB32);
    halves.fill(Qt::white);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 24; ++x)
            halves.setPixel(x, y, qRgb(200, 30, 30));
    const QByteArray rgb = jpegBytes(marked, JpegKind::Rgb);
    const QByteArray progressive = jpegBytes(halves, JpegKind::Progressive);
    QByteArray corrupted = rgb;
    corrupted[1] = char(0x00); // no start-of-image marker
    // The frame header claims 4096 rows; the data holds 32 and then ends.
    QByteArray tall = rgb;
    const qsizetype frame = tall.indexOf(QByteArray("\xFF\xC0", 2));
    tall[frame + 5] = char(0x10);
    tall[frame + 6] = char(0x00);
    const QString error = QStringLiteral("JPEG error #%1.");
    check(
        {
            { "baseline RGB", "a.jpg", rgb, { 48, 32 }, { { { 20, 16 }, qRgb(40, 160, 80) } } },
            { "grayscale", "b.jpeg", jpegBytes(halves, JpegKind::Gray), { 48, 32 },
                { { { 4, 16 }, qRgb(qGray(200, 30, 30), qGray(200, 30, 30), qGray(200, 30, 30)) },
                    { { 40, 16 }, qRgb(255, 255, 255) } } },
            { "CMYK", "c.JPG", jpegBytes(halves, JpegKind::Cmyk), { 48, 32 },
                { { { 4, 16 }, qRgb(200, 30, 30) }, { { 40, 16 }, qRgb(255, 255, 255) } } },
            { "progressive", "d.jpg", progressive, { 48, 32 },
                { { { 4, 16 }, qRgb(200, 30, 30) }, { { 40, 16 }, qRgb(255, 255, 255) } } },
            { "truncated", "e.jpg", truncated(rgb), {}, {}, error.arg(JWRN_JPEG_EOF) },
            { "corrupted marker", "f.jpg", corrupted, {}, {}, error.arg(JERR_NO_SOI) },
            { "empty", "g.jpg", QByteArray(), {}, {}, error.arg(JERR_INPUT_EMPTY) },
            { "rows missing", "j.jpg", tall, {}, {}, error.arg(JWRN_HIT_MARKER) },
            { "too many scans", "h.jpg", withRepeatedScans(progressive, MaxJpegScans), {}, {},
                error.arg(JERR_BAD_PROGRESSION) },
            { "too tall", "i.jpg", jpegBytes(markedImage(4, 16400), JpegKind::Rgb), {}, {},
                TooLarge.arg(4).arg(16400) },
        },
        12);
}

// The work a progressive file asks for is counted in coefficient blocks over
// all its scans: a valid file of 694 scans runs out of a budget that an
// ordinary progressive file of the same size stays well within.
TEST(JpegWork, ScansTimesBlocksAreBounded)
{
    const QImage picture = markedImage(256, 256);
    const QByteArray ordinary = jpegBytes(picture, JpegKind::Progressive);
    const QByteArray heavy = jpegBytes(picture, JpegKind::ScanHeavy);
    const std::int64_t blocksAPass = 32 * 32 + 2 * 16 * 16; // luma and two halved chroma planes
    const std::int64_t budget = 20 * blocksAPass;
    EXPECT_TRUE(decodeJpeg(ordinary, MaxPicturePixels, budget).ok());
    EXPECT_TRUE(decodeJpeg(heavy).ok());
    const PictureOutcome refused = decodeJpeg(heavy, MaxPicturePixels, budget);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(PictureFailureText(refused.failure()), Messages::JpegError(JERR_BAD_PROGRESSION));
}

// Files larger than any picture within the limits needs are refused before a byte is read.
TEST_F(PictureReaderTest, OversizedFilesAreRefusedUnread)
{
    const QString previous = write("previous.bmp", bmpBytes(markedImage(7, 5)));
    const qint64 pixelBytes = 4 * MaxPicturePixels;
    const std::pair<QString, qint64> cases[] = { { "zeros.jpg", pixelBytes + 1 }, { "zeros.wmf", 2 * pixelBytes },
        { "zeros.bmp", pixelBytes + qint64(MaxBitmapHeaderBytes) + 1 } };
    for (const auto &[name, size] : cases) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size)); // sparse: no disk used
        file.close();
        doubleClickAndChoose(previous);
        dialogs.messages.clear();
        dialogs.messageAnswers.push_back(QMessageBox::Ok);
        doubleClickAndChoose(path);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Файл «%1» слишком велик.").arg(path));
        EXPECT_EQ(PictureForm->picture().size(), QSize(7, 5));
    }
}

TEST_F(PictureReaderTest, Metafiles)
{
    const QByteArray wmf = wmfBytes(dir.filePath("scratch.wmf"));
    const QByteArray emf = emfBytes(dir.filePath("scratch.emf"));
    const std::vector<Probe> drawing { { { 10, 10 }, qRgb(255, 0, 0) }, { { 48, 48 }, qRgb(0, 255, 0) },
        { { 144, 48 }, qRgb(0, 0, 255) } };
    // A POLYLINE whose point count would wrap a 32-bit size check.
    QByteArray wrapping = emf;
    const QByteArray polyline = [] {
        QByteArray record(28, '\0');
        const quint32 fields[] = { 4, 28, 0, 0, 10, 10, 0x20000001 };
        std::memcpy(record.data(), fields, sizeof fields);
        return record;
    }();
    const quint32 headerSize = *reinterpret_cast<const quint32 *>(emf.constData() + 4);
    wrapping.insert(headerSize, polyline);
    QByteArray overrun = wmf;
    overrun[22 + 18] = char(0xFF); // the first record claims more words than the file holds
    overrun[22 + 19] = char(0x7F);
    check(
        {
            { "placeable WMF", "a.wmf", wmf, { 192, 96 }, drawing },
            { "EMF", "b.EMF", emf, { 192, 96 }, drawing },
            { "truncated WMF", "c.wmf", truncated(wmf), {}, {}, MetafileInvalid },
            { "truncated EMF", "d.emf", truncated(emf), {}, {}, MetafileInvalid },
            { "WMF record past the end", "e.wmf", overrun, {}, {}, MetafileInvalid },
            { "EMF point count that wraps", "f.emf", wrapping, {}, {}, MetafileInvalid },
            { "EMF named .wmf", "g.wmf", emf, {}, {}, MetafileInvalid },
            { "WMF too wide", "h.wmf", wmfBytes(dir.filePath("wide.wmf"), 20000, 96, 96), {}, {},
                TooLarge.arg(20000).arg(96) },
            { "EMF too large", "i.emf", emfBytes(dir.filePath("big.emf"), 900000, 900000), {}, {},
                TooLarge.arg(34016).arg(34016) },
        },
        0);
}

TEST_F(PictureReaderTest, PipesAndFoldersAreRefusedAtOnceAndTheOldPictureStays)
{
    const QString previous = write("previous.bmp", bmpBytes(markedImage(7, 5)));
    const QString pipe = dir.filePath("pipe.bmp"), folder = dir.filePath("folder.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const auto &[path, error] : { std::pair { pipe, int(model::NotRegularFileError) }, { folder, EISDIR } }) {
        doubleClickAndChoose(previous);
        dialogs.messages.clear();
        dialogs.messageAnswers.push_back(QMessageBox::Ok);
        // A pipe read like a file would wait here for a writer that never comes.
        doubleClickAndChoose(path);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text,
            QStringLiteral("Не удалось прочитать файл «%1»: %2.").arg(path, SystemErrorText(error)));
        EXPECT_EQ(PictureForm->picture().size(), QSize(7, 5));
    }
}
