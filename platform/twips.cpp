#include "twips.h"

#include <cmath>

namespace Twips {

int toPixels(int twips, double logicalDpi)
{
    return int(std::lround(double(twips) * logicalDpi / kPerInch));
}

int fromPixels(int pixels, double logicalDpi)
{
    if (logicalDpi <= 0)
        return 0;
    return int(std::lround(double(pixels) * kPerInch / logicalDpi));
}

} // namespace Twips
