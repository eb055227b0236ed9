#pragma once

#include <QString>
#include <optional>

namespace orvanrx {

// Text helpers shared by the export writers.

// `text` without the characters XML 1.0 cannot carry: control characters other than tab,
// line feed and carriage return, lone surrogates, U+FFFE and U+FFFF. HTML takes the same set.
QString XmlSafeText(const QString& text);

// A cell text that is a plain decimal number: blanks around it, then an optional sign, digits
// with at most one decimal point (".5" and "5." count), nothing else. A whole part with a
// leading zero before another digit ("0123", "00.5") is an identifier, not a number, and so is
// a text of more than 15 digits (a double would change it).
struct NumberText {
    double value = 0;
    int decimals = 0;  // digits after the point
    QChar sign;        // '+', '-' or null: the sign as written
};
std::optional<NumberText> ReadNumberText(const QString& text);

// The spreadsheet number format that shows the number as it was written: its decimals
// ("0.000"), and its sign where a plain number would not show it ("+0.012", "-0.000").
QString SpreadsheetNumberFormat(const NumberText& number);

}  // namespace orvanrx
