#include "ui/NotesText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr const char *EightBitCodePage = "windows-1251";

QByteArray encodeUtf8WithBom(const QString &text)
{
    return QByteArray(Utf8Bom) + text.toUtf8();
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
    QString text;
    if (bytes.startsWith(Utf8Bom)) {
        // Only the one mark written before the text is dropped; any that follow are text.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        text = utf8.decode(QByteArrayView(bytes).sliced(3));
    } else {
        QStringDecoder decoder(EightBitCodePage);
        text = decoder.isValid() ? QString(decoder.decode(bytes)) : QString::fromLatin1(bytes);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
