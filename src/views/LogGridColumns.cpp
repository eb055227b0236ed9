#include "views/LogGridColumns.h"

namespace orvanrx {

int LogGridColumnOf(QAnyStringView key) {
    for (int c = 0; c < kLogGridColumnCount; ++c) {
        if (QAnyStringView::equal(key, kLogGridColumns[static_cast<std::size_t>(c)].key)) {
            return c;
        }
    }
    return -1;
}

}  // namespace orvanrx
