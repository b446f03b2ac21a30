// Any bytes given to the bitmap reader, as a .bmp file and as a packed
// bitmap inside a metafile, give a picture or a refusal; every size a header
// gives is checked before it is used.
#include "picture/BitmapReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const PictureOutcome file = decodeBmp(bytes);
    if (file.ok() && file.value().isNull())
        std::abort();
    bool fault = false;
    decodePackedDib(RecordBytes(data, size, fault));
    return 0;
}
