// Any bytes given to the JPEG reader give a picture of the size its header
// claims or a message; the library never ends the process.
#include "picture/JpegReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // Large pictures only cost time here; the limit itself is still crossed.
    const PictureOutcome result = decodeJpeg(bytes, 1 << 20);
    if (result.ok() && result.value().isNull())
        std::abort();
    return 0;
}
