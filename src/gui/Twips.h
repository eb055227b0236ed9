#pragma once

class QWidget;

namespace orvanrx {

// Stored sizes and positions are in twips: 1440 to the logical inch of the screen the window
// stands on. Without a screen, 96 logical dots per inch are assumed.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr double kFallbackLogicalDpi = 96.0;

// The logical dots per inch of `widget`'s screen (kFallbackLogicalDpi when it has none).
double LogicalDpi(const QWidget& widget);

// Conversions at a given logical resolution, rounding to the nearest whole unit (a half goes
// to the even neighbour). A resolution that is not positive counts as kFallbackLogicalDpi.
int PixelsToTwips(int pixels, double logicalDpi);
int TwipsToPixels(int twips, double logicalDpi);

// The same at the resolution of `widget`'s screen.
int PixelsToTwips(const QWidget& widget, int pixels);
int TwipsToPixels(const QWidget& widget, int twips);

}  // namespace orvanrx
