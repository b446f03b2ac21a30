// The notes file's bytes: Windows-1251 with CR LF, or UTF-8 with a byte-order
// mark when the code page cannot hold the text.
#include "ui/NotesText.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

const QByteArray Bom("\xEF\xBB\xBF");

std::string hex(const QByteArray &bytes)
{
    return bytes.toHex(' ').toStdString();
}

} // namespace

TEST(NotesText, EveryKindOfLineEndReadsAsOne)
{
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        { "", "" },
        { "one", "one" },
        { "a\r\nb", "a\nb" },
        { "a\rb", "a\nb" },
        { "a\nb", "a\nb" },
        { "a\n\rb", "a\n\nb" },
        { "a\r\r\nb", "a\n\nb" },
        { "a\r\n\nb\r", "a\n\nb\n" },
        { "\r\n", "\n" },
        { Bom + "x\ry\nz\r\n", "x\ny\nz\n" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecodeNotes(c.bytes), c.text) << hex(c.bytes);
}

TEST(NotesText, CyrillicNotesAreWindows1251WithCrLfAndNoFinalLineEnd)
{
    const QString text = QStringLiteral("Пряжа №2\nПетли: «лицевые» — 24");
    const QByteArray expected("\xCF\xF0\xFF\xE6\xE0 \xB9"
                              "2\r\n\xCF\xE5\xF2\xEB\xE8: \xAB\xEB\xE8\xF6\xE5\xE2\xFB\xE5\xBB \x97 24");
    EXPECT_EQ(hex(EncodeNotes(text)), hex(expected));
    EXPECT_EQ(DecodeNotes(expected), text);

    EXPECT_EQ(EncodeNotes(QString()), QByteArray());
    EXPECT_EQ(EncodeNotes(QStringLiteral("ends\n")), QByteArray("ends\r\n"));
    EXPECT_EQ(EncodeNotes(QStringLiteral("nbsp\u00A0ёЁ")), QByteArray("nbsp\xA0\xB8\xA8"));
}

TEST(NotesText, TextOutsideTheCodePageIsWrittenAsUtf8AndReadBackEqual)
{
    const QString cases[] = {
        QStringLiteral("Узор ✓ 編み物\nвторая строка"),
        QStringLiteral("emoji \U0001F9F6"),
        QStringLiteral("Ω"),
        // A mark of its own at the start of the text is kept.
        QStringLiteral("\uFEFF\uFEFFtwo marks"),
        // Would start with the bytes of the byte-order mark in Windows-1251.
        QStringLiteral("п»їначало"),
    };
    for (const QString &text : cases) {
        const QByteArray bytes = EncodeNotes(text);
        EXPECT_TRUE(bytes.startsWith(Bom)) << text.toStdString();
        QString onDisk = text;
        onDisk.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        EXPECT_EQ(bytes.mid(3), onDisk.toUtf8()) << text.toStdString();
        EXPECT_EQ(DecodeNotes(bytes), text) << text.toStdString();
    }
    // Only the start matters: the same letters later stay in the code page.
    EXPECT_FALSE(EncodeNotes(QStringLiteral("а п»ї")).startsWith(Bom));
}

// Every byte but the line ends reads as the system's own decoder reads it,
// the bytes of the UTF-8 mark and the code page's gaps included.
TEST(NotesText, EveryByteReadsAsTheCodePageDecoderReadsIt)
{
    QByteArray bytes;
    for (int b = 255; b >= 0; --b)
        if (b != '\r' && b != '\n')
            bytes += char(b);
    QStringDecoder decoder("windows-1251");
    ASSERT_TRUE(decoder.isValid());
    EXPECT_EQ(DecodeNotes(bytes), QString(decoder.decode(bytes)));
}
