#include "support/Clock.h"

namespace orvanrx {

Clock SystemClock() {
    return [] { return QDateTime::currentDateTime(); };
}

Clock FixedClock(const QDateTime& when) {
    return [when] { return when; };
}

}  // namespace orvanrx
