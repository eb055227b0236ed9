#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "support/Support.h"

namespace orvanrx {

// The number a settings text stands for: blanks around it are ignored, then an optional
// sign, digits with an optional decimal point (the point is always "."), and an optional
// exponent ("1e3"). Anything else, and infinities or NaN, is not numeric.
std::optional<double> NumericTextValue(const QString& text);

// x rounded half to even, when the result lies in lowest..highest.
std::optional<std::int64_t> RoundedInRange(double x, std::int64_t lowest, std::int64_t highest);

}  // namespace orvanrx
