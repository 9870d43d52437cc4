#include "sdk/kvTwRound.h"

#include "sdk/kvInterfaces.h"

#include <cmath>

double twRound(kvIAppDocument1* document, double value)
{
    if (!std::isfinite(value))
        return value;
    int decimals = 3;
    int asked = 0;
    if (document && document->getDisplayDecimals(&asked) == 0 && asked >= 0 && asked <= 9)
        decimals = asked;
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    // Beyond the doubles' integer range there are no decimals left to round.
    if (std::fabs(scaled) >= 4.5e15)
        return value;
    const double rounded = std::round(scaled) / scale;
    return rounded == 0.0 ? 0.0 : rounded;
}
