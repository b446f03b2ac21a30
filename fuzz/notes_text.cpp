// Any notes file reads as text that is written back and read again unchanged.
#include "ui/NotesText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = DecodeNotes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (text.contains(QLatin1Char('\r')))
        std::abort();
    if (DecodeNotes(EncodeNotes(text)) != text)
        std::abort();
    return 0;
}
