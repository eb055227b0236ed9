#include "analysis/MyCar.h"

#include <QRegularExpression>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace orvanrx {

namespace {

bool IsCarNumber(QStringView item) {
    if (item.isEmpty() || item.size() > kMaxCarNumberLength) {
        return false;
    }
    for (const QChar c : item) {
        const char16_t u = c.unicode();
        if (u <= u' ' || u > u'~' || u == u'[' || u == u':' || u == u']') {
            return false;
        }
    }
    return true;
}

QString CarIn(const RunTable& table, int row) {
    return table.Cell(row, RunColumn::Car).trimmed();
}

}  // namespace

MyCarNumbers ParseMyCarNumbers(QStringView text) {
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    MyCarNumbers result;
    for (const QString& item : text.toString().split(separators, Qt::SkipEmptyParts)) {
        QStringList& list = IsCarNumber(item) ? result.numbers : result.rejected;
        if (!list.contains(item)) {
            list.append(item);
        }
    }
    return result;
}

QString MyCarNumbersText(const QStringList& numbers) {
    return numbers.join(QStringLiteral(", "));
}

QStringList ReadMyCarNumbers(const SettingsStore& settings) {
    const QString stored = settings.QueryValue(kMyCarKey, kMyCarNumbersValue);
    if (stored == kNoKeyValue) {
        return {};
    }
    return ParseMyCarNumbers(stored).numbers;
}

void SaveMyCarNumbers(const SettingsStore& settings, const QStringList& numbers) {
    settings.SetKeyValue(kMyCarKey, kMyCarNumbersValue, MyCarNumbersText(numbers),
                         ValueType::RegSz);
}

bool MyCarWatch::IsMine(const QString& car) const {
    return !car.isEmpty() && numbers_.contains(car);
}

MyCarLanes MyCarWatch::LanesOf(const RunTable& table) const {
    if (table.IsEmpty()) {
        return {};
    }
    return {IsMine(CarIn(table, table.LeftRow())), IsMine(CarIn(table, table.RightRow()))};
}

MyCarWatch::Result MyCarWatch::Check(const RunTable& table) {
    const int pair = table.IsEmpty() ? -1 : table.LeftRow();
    if (pair != pairRow_) {
        pairRow_ = pair;
        seenCars_.clear();
    }
    lanes_ = LanesOf(table);
    Result result{lanes_, false};
    const auto report = [&](bool mine, int row) {
        const QString car = CarIn(table, row);
        if (mine && !seenCars_.contains(car)) {
            seenCars_.append(car);
            result.arrived = true;
        }
    };
    report(lanes_.left, table.LeftRow());
    report(lanes_.right, table.RightRow());
    return result;
}

void MyCarWatch::TakeAsSeen(const RunTable& table) {
    Check(table);
}

MyCarAlertText MyCarRaceText(const RunTable& table, MyCarLanes lanes) {
    if (table.IsEmpty() || !lanes.Any()) {
        return {};
    }
    const int left = table.LeftRow();
    const int right = table.RightRow();
    const QString category = table.Cell(left, RunColumn::Category).simplified();
    if (lanes.left && lanes.right) {
        return {QStringLiteral("Cars %1 and %2 race each other")
                    .arg(CarIn(table, left), CarIn(table, right)),
                category};
    }
    const int mine = lanes.left ? left : right;
    const int other = lanes.left ? right : left;
    const QString opponent = CarIn(table, other);
    MyCarAlertText text;
    text.summary =
        QStringLiteral("Car %1 in the %2 lane")
            .arg(CarIn(table, mine), lanes.left ? QStringLiteral("left") : QStringLiteral("right"));
    text.body = opponent.isEmpty()
                    ? QStringLiteral("%1, a bye run").arg(category)
                    : QStringLiteral("%1 against %2 %3")
                          .arg(category, opponent, table.Cell(other, RunColumn::Name).trimmed())
                          .trimmed();
    return text;
}

}  // namespace orvanrx
