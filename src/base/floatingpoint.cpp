#include "base/floatingpoint.h"

#include <cfenv>
#include <cmath>

void FloatingPointOption::setDiscard(bool discard)
{
    m_discard = discard;
    if (!discard)
        clearFlags();
}

void FloatingPointOption::clearFlags()
{
    std::feclearexcept(FE_ALL_EXCEPT);
}

bool FloatingPointOption::faultPending()
{
    return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
}

bool FloatingPointOption::failed(double result) const
{
    const bool fault = !std::isfinite(result) || faultPending();
    clearFlags();
    return fault && !m_discard;
}
