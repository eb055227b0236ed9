#include "shell/RaceText.h"

#include <QStringList>

namespace orvanrx {

namespace {

QString LaneText(const RunRow& row) {
    QStringList parts;
    parts << row[RunColumn::Lane];
    QString entrant = row[RunColumn::Car];
    if (!row[RunColumn::Class].isEmpty()) {
        entrant = row[RunColumn::Class] + u'/' + entrant;
    }
    parts << entrant;
    if (!row[RunColumn::Name].isEmpty()) {
        parts << row[RunColumn::Name];
    }
    const auto add = [&parts, &row](const char* label, RunColumn column) {
        if (!row[column].isEmpty()) {
            parts << QString::fromLatin1(label) + row[column];
        }
    };
    add("dial ", RunColumn::Dial);
    add("RT ", RunColumn::RT);
    add("60' ", RunColumn::et60);
    add("330' ", RunColumn::et330);
    add("1/8 ", RunColumn::et660);
    add("@ ", RunColumn::mph660);
    add("1000' ", RunColumn::et1000);
    add("ET ", RunColumn::et1320);
    add("@ ", RunColumn::mph1320);
    add("margin ", RunColumn::margin);
    add("+/- ", RunColumn::overund);
    if (!row[RunColumn::win].isEmpty()) {
        parts << row[RunColumn::win];
    }
    return parts.join(u' ');
}

}  // namespace

QString RaceLine(const RunTable& table, int leftRow) {
    const RunRow* left = table.Row(leftRow);
    const RunRow* right = table.Row(leftRow + 1);
    if (!left || !right) {
        return {};
    }
    QString line = (*left)[RunColumn::Category];
    if (!(*left)[RunColumn::Bump].isEmpty()) {
        line += QStringLiteral(" (bump ") + (*left)[RunColumn::Bump] + u')';
    }
    return line + QStringLiteral(" | ") + LaneText(*left) + QStringLiteral(" | ") +
           LaneText(*right);
}

}  // namespace orvanrx
