#include "gui/Twips.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <limits>

#include "support/Support.h"

namespace orvanrx {

namespace {

double UsableDpi(double logicalDpi) {
    return logicalDpi > 0.0 ? logicalDpi : kFallbackLogicalDpi;
}

// x rounded half to even and held within the range of int.
int ToInt(double x) {
    const double rounded = RoundHalfEven(x);
    return static_cast<int>(std::clamp(rounded,
                                       static_cast<double>(std::numeric_limits<int>::min()),
                                       static_cast<double>(std::numeric_limits<int>::max())));
}

}  // namespace

double LogicalDpi(const QWidget& widget) {
    const QScreen* screen = widget.screen();
    return screen != nullptr ? UsableDpi(screen->logicalDotsPerInch()) : kFallbackLogicalDpi;
}

int PixelsToTwips(int pixels, double logicalDpi) {
    return ToInt(static_cast<double>(pixels) * kTwipsPerInch / UsableDpi(logicalDpi));
}

int TwipsToPixels(int twips, double logicalDpi) {
    return ToInt(static_cast<double>(twips) * UsableDpi(logicalDpi) / kTwipsPerInch);
}

int PixelsToTwips(const QWidget& widget, int pixels) {
    return PixelsToTwips(pixels, LogicalDpi(widget));
}

int TwipsToPixels(const QWidget& widget, int twips) {
    return TwipsToPixels(twips, LogicalDpi(widget));
}

}  // namespace orvanrx
