#pragma once

// Window sizes and positions are stored in twips, 1440 to the logical inch.
namespace Twips {

constexpr int kPerInch = 1440;

int toPixels(int twips, double logicalDpi);
int fromPixels(int pixels, double logicalDpi);

} // namespace Twips
