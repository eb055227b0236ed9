#pragma once

#include <QDateTime>
#include <functional>

namespace orvanrx {

// The source of "now" for everything that stamps a time (log file names, the DateTime cell
// of a race). Production code uses SystemClock(); tests pass a fixed or stepping clock so
// that their results do not depend on when they run.
using Clock = std::function<QDateTime()>;

// Local wall-clock time.
Clock SystemClock();

// Always answers `when`.
Clock FixedClock(const QDateTime& when);

}  // namespace orvanrx
