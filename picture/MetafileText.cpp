#include "picture/MetafileText.h"

#include <uemf.h>

#include <QStringDecoder>

namespace {

const char *codePage(std::uint8_t charset)
{
    switch (charset) {
    case U_ANSI_CHARSET:
    case U_DEFAULT_CHARSET:
    case U_RUSSIAN_CHARSET:
        return "windows-1251";
    case U_EASTEUROPE_CHARSET:
        return "windows-1250";
    case U_GREEK_CHARSET:
        return "windows-1253";
    case U_TURKISH_CHARSET:
        return "windows-1254";
    case U_HEBREW_CHARSET:
        return "windows-1255";
    case U_ARABIC_CHARSET:
        return "windows-1256";
    case U_BALTIC_CHARSET:
        return "windows-1257";
    case U_KOI8_CHARSET:
        return "KOI8-R";
    case U_THAI_CHARSET:
        return "windows-874";
    case U_SHIFTJIS_CHARSET:
        return "Shift_JIS";
    case U_HANGUL_CHARSET:
        return "windows-949";
    case U_GB2312_CHARSET:
        return "GBK";
    case U_CHINESEBIG5_CHARSET:
        return "Big5";
    case U_MAC_CHARSET:
        return "macintosh";
    case U_OEM_CHARSET:
        return "IBM866";
    default: // the symbol set names glyphs, not letters
        return nullptr;
    }
}

} // namespace

QString decodeCharsetText(const unsigned char *bytes, std::uint64_t length, std::uint8_t charset)
{
    const QByteArrayView view(reinterpret_cast<const char *>(bytes), qsizetype(length));
    if (const char *name = codePage(charset)) {
        QStringDecoder decoder(name);
        if (decoder.isValid())
            return decoder.decode(view);
    }
    return QString::fromLatin1(view);
}
