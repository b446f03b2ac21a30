// Any bytes given to the pattern-file reader give a pattern within the
// program's limits that survives a save and a read unchanged, or a refusal.
#include "model/Limits.h"
#include "model/PatternFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const model::Outcome<model::LoadedPattern> result = model::DecodePatternFile({ data, size });
    if (!result.ok())
        return 0;
    const model::Pattern &pattern = result.value().pattern;
    if (!model::fitsLimits(pattern.StitchCount, pattern.RowCount)
        || pattern.Cells.size() != std::size_t(pattern.StitchCount) * std::size_t(pattern.RowCount))
        std::abort();
    const std::vector<std::uint8_t> saved = model::EncodePatternFile(pattern, result.value().palette);
    const model::Outcome<model::LoadedPattern> again = model::DecodePatternFile(saved);
    if (!again.ok() || again.value().pattern != pattern || again.value().palette != result.value().palette)
        std::abort();
    return 0;
}
