// Any bytes given to the EMF walker are drawn or refused as not valid; no
// count or size in a record reads outside the file.
#include "fuzz/MetafileTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return renderFuzzInput(data, size, [](const QByteArray &bytes, QImage &canvas) { renderEmf(bytes, canvas); });
}
