#pragma once

#include <QAnyStringView>
#include <QString>
#include <QStringList>
#include <vector>

namespace orvanrx {

// How a row condition compares a row's cell with its values. Letter case always counts.
enum class RowComparison {
    // The cell equals value 1: text columns as text, the others as numbers or date-times (so
    // "9.5" equals "9.50"). An empty value 1 matches exactly the empty cells.
    Equal,
    // The cell's text begins (ends) with value 1; an empty value 1 matches every row.
    BeginsWith,
    EndsWith,
    // value 1 <= cell <= value 2, compared as Equal compares; an empty cell never matches.
    Between,
    // The cell's text, blanks around it aside, is one of `values`; an empty cell never matches.
    OneOf,
};

// A keyed condition on one column of a row.
struct RowCondition {
    QString key;
    QString columnKey;
    RowComparison comparison = RowComparison::Equal;
    QString value1;
    QString value2;
    QStringList values{};  // OneOf
    friend bool operator==(const RowCondition&, const RowCondition&) = default;
};

// Conditions by key, in the order their keys were first set.
class RowConditionList {
public:
    // Adds the condition, or replaces the one with the same key in its place.
    void Set(RowCondition condition);
    void Clear() { items_.clear(); }
    bool IsEmpty() const { return items_.empty(); }
    const std::vector<RowCondition>& Items() const { return items_; }
    const RowCondition* Find(QAnyStringView key) const;

private:
    std::vector<RowCondition> items_;
};

}  // namespace orvanrx
