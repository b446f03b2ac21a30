// Any bytes read as a yarn list give a list that is written and read back
// unchanged.
#include "model/YarnList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const model::YarnList yarns = model::DecodeYarnList({ reinterpret_cast<const char *>(data), size });
    for (const model::Yarn &yarn : yarns) {
        if (yarn.Name.find('\0') != std::string::npos || yarn.Name.find('\n') != std::string::npos)
            std::abort();
    }
    if (model::DecodeYarnList(model::EncodeYarnList(yarns)) != yarns)
        std::abort();
    return 0;
}
