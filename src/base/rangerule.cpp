#include "base/rangerule.h"

#include <cstdlib>

namespace RangeRule {

std::optional<Range> apply(bool all, const QString &fromText, const QString &toText, int n)
{
    if (all)
        return Range { 1, n };
    bool fromOk = false;
    bool toOk = false;
    const qlonglong from = fromText.trimmed().toLongLong(&fromOk);
    const qlonglong to = toText.trimmed().toLongLong(&toOk);
    if (!fromOk || !toOk || std::llabs(from) > 0x7fffffff || std::llabs(to) > 0x7fffffff)
        return std::nullopt;
    Range range { static_cast<int>(std::llabs(from)), static_cast<int>(std::llabs(to)) };
    if (range.to < range.from)
        std::swap(range.from, range.to);
    if (range.to > n)
        range.to = n;
    if (range.from == 0)
        range.from = 1;
    return range;
}

} // namespace RangeRule
