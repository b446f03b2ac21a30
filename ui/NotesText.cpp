#include "ui/NotesText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <cstdint>

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr const char *EightBitCodePage = "windows-1251";

QByteArray encodeUtf8WithBom(const QString &text)
{
    return QByteArray(Utf8Bom) + text.toUtf8();
}

// The code page's character for every byte, from the system's own decoder;
// Latin-1 where the system lacks the code page.
std::array<char16_t, 256> eightBitCharacters()
{
    std::array<char16_t, 256> characters {};
    QStringDecoder decoder(EightBitCodePage);
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString one = decoder.isValid() ? decoder.decode(QByteArrayView(&byte, 1)) : QString();
        characters[std::size_t(b)] = one.size() == 1 ? one.front().unicode() : char16_t(b);
    }
    return characters;
}

QString unifyLineEnds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

QByteArray EncodeNotes(const QString &text)
{
    QString onDisk = text;
    onDisk.replace(QLatin1Char('\n'), QLatin1String("\r\n"));

    QStringEncoder encoder(EightBitCodePage);
    QStringDecoder decoder(EightBitCodePage);
    if (!encoder.isValid() || !decoder.isValid())
        return encodeUtf8WithBom(onDisk);
    const QByteArray bytes = encoder.encode(onDisk);
    // A character the code page lacks would come back changed. Bytes that
    // start like the byte-order mark would be read back as UTF-8.
    if (encoder.hasError() || bytes.startsWith(Utf8Bom) || decoder.decode(bytes) != onDisk)
        return encodeUtf8WithBom(onDisk);
    return bytes;
}

QString DecodeNotes(const QByteArray &bytes)
{
    if (bytes.startsWith(Utf8Bom)) {
        // Only the one mark written before the text is dropped; any that follow are text.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return unifyLineEnds(utf8.decode(QByteArrayView(bytes).sliced(3)));
    }
    // One character per byte, looked up and line ends made "\n" in a single
    // pass: notes may be many megabytes.
    static const std::array<char16_t, 256> characters = eightBitCharacters();
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const char *in = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype n = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = characters[std::uint8_t(in[i])];
        if (c == u'\r') {
            out[n++] = u'\n';
            if (i + 1 < size && in[i + 1] == '\n')
                ++i;
        } else {
            out[n++] = c;
        }
    }
    text.truncate(n);
    return text;
}
