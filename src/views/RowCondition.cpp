#include "views/RowCondition.h"

#include <algorithm>
#include <utility>

namespace orvanrx {

void RowConditionList::Set(RowCondition condition) {
    const auto same = std::find_if(items_.begin(), items_.end(),
                                   [&](const RowCondition& c) { return c.key == condition.key; });
    if (same != items_.end()) {
        *same = std::move(condition);
    } else {
        items_.push_back(std::move(condition));
    }
}

const RowCondition* RowConditionList::Find(QAnyStringView key) const {
    const auto found = std::find_if(items_.begin(), items_.end(), [&](const RowCondition& c) {
        return QAnyStringView::equal(c.key, key);
    });
    return found != items_.end() ? &*found : nullptr;
}

}  // namespace orvanrx
