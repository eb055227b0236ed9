#include "shell/RaceText.h"

#include <QStringList>

namespace orvanrx {

namespace {

QString LaneText(const RunRow& row) {
    QStringList parts;
    parts << row[Lane];
    QString entrant = row[Car];
    if (!row[Class].isEmpty()) {
        entrant = row[Class] + u'/' + entrant;
    }
    parts << entrant;
    if (!row[Name].isEmpty()) {
        parts << row[Name];
    }
    const auto add = [&parts, &row](const char* label, RunColumn column) {
        if (!row[column].isEmpty()) {
            parts << QString::fromLatin1(label) + row[column];
        }
    };
    add("dial ", Dial);
    add("RT ", RT);
    add("60' ", et60);
    add("330' ", et330);
    add("1/8 ", et660);
    add("@ ", mph660);
    add("1000' ", et1000);
    add("ET ", et1320);
    add("@ ", mph1320);
    add("margin ", margin);
    add("+/- ", overund);
    if (!row[win].isEmpty()) {
        parts << row[win];
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
    QString line = (*left)[Category];
    if (!(*left)[Bump].isEmpty()) {
        line += QStringLiteral(" (bump ") + (*left)[Bump] + u')';
    }
    return line + QStringLiteral(" | ") + LaneText(*left) + QStringLiteral(" | ") +
           LaneText(*right);
}

}  // namespace orvanrx
