// The thumbnailer as a file manager runs it: a PNG of exactly the cells, and
// no file but a non-zero exit for anything it cannot show.
#include "support/FileSupport.h"

#include "model/PatternFile.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

int runThumbnailer(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(PURLWISE_THUMBNAILER), arguments);
    if (!process.waitForFinished(10000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

TEST(ThumbnailerProgramTest, WritesTheCellsScaledWithoutAGrid)
{
    const ScratchFolder folder;
    // 3 x 2 cells: red, white, blue over white, green, white (0x00BBGGRR).
    model::Pattern pattern;
    model::CreateBlank(pattern, 3, 2);
    pattern.at(0, 0) = 0x000000FF;
    pattern.at(2, 0) = 0x00FF0000;
    pattern.at(1, 1) = 0x0000FF00;
    const std::vector<std::uint8_t> bytes = model::EncodePatternFile(pattern, model::WhitePalette());
    writeBytes(folder.file("motif.plw"), std::string(bytes.begin(), bytes.end()));

    const QString output = QString::fromStdString(folder.file("motif.png"));
    ASSERT_EQ(runThumbnailer({ "-s", "6", QString::fromStdString(folder.file("motif.plw")), output }), 0);
    QImage expected(6, 4, QImage::Format_RGB32);
    const QRgb colours[2][3] = { { qRgb(255, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 255) },
        { qRgb(255, 255, 255), qRgb(0, 255, 0), qRgb(255, 255, 255) } };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            expected.setPixel(x, y, colours[y / 2][x / 2]);
    EXPECT_EQ(QImage(output).convertToFormat(QImage::Format_RGB32), expected);
}

TEST(ThumbnailerProgramTest, RefusesWithoutWritingAnything)
{
    const ScratchFolder folder;
    writeBytes(folder.file("damaged.plw"), std::string("\x02\0\0\0\x05\0\0\0", 8));
    const QString output = QString::fromStdString(folder.file("out.png"));
    const QString damaged = QString::fromStdString(folder.file("damaged.plw"));
    const QStringList refused[] = {
        { "-s", "128", damaged, output },
        { "-s", "128", QString::fromStdString(folder.file("missing.plw")), output },
        { "-s", "0", damaged, output },
        { damaged, output },
    };
    for (const QStringList &arguments : refused) {
        EXPECT_NE(runThumbnailer(arguments), 0) << arguments.join(' ').toStdString();
        EXPECT_FALSE(fs::exists(folder.file("out.png"))) << arguments.join(' ').toStdString();
    }
}
