// Arbitrary bytes as the analysis file kept beside a collection. An accepted file must write and
// read back to the same analysis; a refused one must say which line is wrong.

#include "survey/analysisfile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const AnalysisFile::Decoded decoded = AnalysisFile::decode(bytes);
    if (!decoded.sets) {
        if (decoded.error.isEmpty())
            std::abort();
        return 0;
    }
    const AnalysisFile::Decoded again = AnalysisFile::decode(AnalysisFile::encode(*decoded.sets));
    // Every number read is finite, so the sets compare exactly.
    if (!again.sets || !(*again.sets == *decoded.sets))
        std::abort();
    return 0;
}
