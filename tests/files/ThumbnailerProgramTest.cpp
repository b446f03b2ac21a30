// The thumbnailer as a file manager runs it: every pixel of the PNG is the
// cell under its centre, no grid; anything it cannot show gives no file.
#include "support/FileSupport.h"

#include "model/PatternFile.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

TEST(ThumbnailerProgramTest, EveryPixelIsTheCellUnderItsCentreAndBadFilesGiveNone)
{
    const ScratchFolder folder;
    const auto run = [&](const QString &size, const std::string &input) {
        fs::remove(folder.file("out.png"));
        QProcess process;
        process.start(
            PURLWISE_THUMBNAILER, { "-s", size, QString::fromStdString(input), folder.file("out.png").c_str() });
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    };
    const struct {
        std::int32_t stitches, rows, size, width, height;
    } cases[] = {
        { 3, 2, 8, 6, 4 }, // cells grow by whole pixels only
        { 2, 5, 4, 2, 4 }, // shrunk, rounded
        { 1500, 900, 5000, 1024, 614 }, // the size is capped
        { (1 << 18) + 3, 3, 7, 7, 1 }, // rows too wide to read whole
    };
    for (const auto &c : cases) {
        model::Pattern pattern;
        model::CreateBlank(pattern, c.stitches, c.rows);
        for (std::size_t i = 0; i < pattern.Cells.size(); ++i)
            pattern.Cells[i] = i % 3 ? model::TColor(i * 2654435761u) & 0x00FFFFFFu : model::White;
        const std::vector<std::uint8_t> bytes = model::EncodePatternFile(pattern, model::WhitePalette());
        writeBytes(folder.file("in.plw"), std::string(bytes.begin(), bytes.end()));
        ASSERT_EQ(run(QString::number(c.size), folder.file("in.plw")), 0);
        const QImage image(folder.file("out.png").c_str());
        ASSERT_EQ(image.size(), QSize(c.width, c.height)) << c.stitches << " x " << c.rows;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const model::TColor cell = pattern.at(std::int32_t((x + 0.5) * c.stitches / c.width),
                    std::int32_t((y + 0.5) * c.rows / c.height)); // 0x00BBGGRR
                ASSERT_EQ(image.pixel(x, y), qRgb(int(cell & 0xFF), int(cell >> 8 & 0xFF), int(cell >> 16)))
                    << c.stitches << " x " << c.rows << " at " << x << "," << y;
            }
    }

    // Cut short after the header; counts of 2^14 x 2^14, over the limits; no file; no size.
    writeBytes(folder.file("short.plw"), std::string("\2\0\0\0\3\0\0\0\2\0\0\0", 12) + std::string(80, '\xFF'));
    writeBytes(folder.file("huge.plw"), std::string("\2\0\0\0\0\x40\0\0\0\x40\0\0", 12) + std::string(4096, '\0'));
    const std::pair<const char *, const char *> refused[]
        = { { "9", "short.plw" }, { "9", "huge.plw" }, { "9", "missing" }, { "0", "in.plw" } };
    for (const auto &[size, input] : refused) {
        EXPECT_NE(run(size, folder.file(input)), 0) << input;
        EXPECT_FALSE(fs::exists(folder.file("out.png"))) << input;
    }
}
