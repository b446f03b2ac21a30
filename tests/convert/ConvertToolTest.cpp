// purlwise-convert as a user runs it: exit codes on bad input, and a pattern
// to a one-pixel-per-stitch picture and back.
#include "model/PatternFile.h"
#include "support/FileSupport.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <random>

namespace {

struct ToolRun {
    int code;
    QString errors;
};

ToolRun convert(const QStringList &args)
{
    QProcess tool;
    tool.start(QStringLiteral(PURLWISE_CONVERT), args);
    tool.waitForFinished(60000);
    return { tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
        QString::fromLocal8Bit(tool.readAllStandardError()) };
}

} // namespace

TEST(ConvertTool, BadInputGivesItsExitCodeAndARussianMessage)
{
    ScratchFolder folder;
    const QString dir = QString::fromStdString(folder.path().string()) + "/";
    writeBytes(folder.file("junk.png"), "not a picture");
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(dir + "red.png");
    writeBytes(folder.file("taken.plw"), "keep");
    // A PNG that says it is 9000 x 9000, past the picture limit, and holds no pixels.
    // "IHDR", width and height 0x2328, 8-bit grey.
    const QByteArray header = QByteArray::fromHex("4948445200002328000023280800000000");
    quint32 crc = ~0u;
    for (const char byte : header) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    const QByteArray check = QByteArray::fromHex(QByteArray::number(~crc, 16).rightJustified(8, '0'));
    const QByteArray emptyData = QByteArray::fromHex("000000004944415435AF061E");
    writeBytes(folder.file("huge.png"),
        (QByteArray::fromHex("89504E470D0A1A0A0000000D") + header + check + emptyData).toStdString());
    struct Case {
        QStringList args;
        int code;
    };
    for (const Case &c : { Case { {}, 2 }, Case { { dir + "red.png", dir + "a.plw" }, 2 }, // no --stitches
             Case { { dir + "red.png", dir + "a.plw", "--stitches", "0" }, 2 },
             Case { { dir + "red.png", dir + "a.plw", "--stitches", "9000", "--rows", "9000" }, 2 },
             Case { { dir + "red.png", dir + "a.plw", "--stitches", "10", "--colours", "17" }, 2 },
             Case { { dir + "red.png", dir + "a.plw", "--stitches", "10", "--bogus" }, 2 },
             Case { { dir + "missing.jpg", dir + "a.plw", "--stitches", "10" }, 1 },
             Case { { dir + "junk.png", dir + "a.plw", "--stitches", "10" }, 1 },
             Case { { dir + "red.png", dir + "taken.plw", "--stitches", "10" }, 1 },
             Case { { dir + "missing.plw", dir + "a.png" }, 1 } }) {
        const ToolRun run = convert(c.args);
        EXPECT_EQ(run.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.errors.contains(QRegularExpression("[а-я]"))) << run.errors.toStdString();
    }
    EXPECT_TRUE(convert({ dir + "huge.png", dir + "a.plw", "--stitches", "10" }).errors.contains("9000 × 9000"));
    EXPECT_EQ(readBytes(folder.file("taken.plw")), "keep");
    EXPECT_EQ(folder.names(), (std::vector<std::string> { "huge.png", "junk.png", "red.png", "taken.plw" }));
    EXPECT_EQ(convert({ dir + "red.png", dir + "taken.plw", "--stitches", "10", "--force" }).code, 0);
    EXPECT_EQ(convert({ "--version" }).code, 0);
}

TEST(ConvertTool, PatternToPictureAndBackKeepsEveryCell)
{
    ScratchFolder folder;
    std::mt19937 random(7);
    const model::TColor yarns[] = { model::White, 0x102030, 0x0000C0, 0x00A000, 0x800080, 0x404040 };
    model::Pattern pattern;
    model::CreateBlank(pattern, 23, 17);
    for (model::TColor &cell : pattern.Cells)
        cell = yarns[random() % std::size(yarns)];
    ASSERT_TRUE(model::SavePatternFile(folder.file("in.plw"), pattern, model::WhitePalette(), {}).ok());
    const QString in = QString::fromStdString(folder.file("in.plw"));
    for (const char *name : { "out.png", "out.bmp" })
        for (bool mirror : { false, true }) {
            const QString picture = QString::fromStdString(folder.file(name));
            QStringList args { in, picture, "--force" };
            if (mirror)
                args << "--mirror";
            ASSERT_EQ(convert(args).code, 0);
            const QImage image(picture);
            ASSERT_EQ(image.size(), QSize(23, 17));
            for (int r = 0; r < 17; ++r)
                for (int s = 0; s < 23; ++s) {
                    const QRgb pixel = image.pixel(mirror ? 22 - s : s, r);
                    ASSERT_EQ(model::TColor(qRed(pixel) | qGreen(pixel) << 8 | qBlue(pixel) << 16), pattern.at(s, r));
                }
            if (mirror)
                continue;
            const QString back = QString::fromStdString(folder.file(std::string(name) + ".plw"));
            ASSERT_EQ(convert({ picture, back, "--stitches", "23", "--rows", "17", "--colours", "16" }).code, 0);
            const auto loaded = model::LoadPatternFile(back.toStdString());
            ASSERT_TRUE(loaded.ok());
            EXPECT_EQ(loaded.value().pattern, pattern);
            EXPECT_EQ(readBytes(back.toStdString() + ".txt"), "");
        }
}
