#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Reading the race log's texts as numbers and keys. The run tables keep every value as the
// broadcaster's text; the statistics read them here, and only here.
namespace orvanrx {

// The number a cell holds, or nothing when the cell is not a plain decimal number: an
// optional sign ("-" or "+"), digits with at most one point and at least one digit, blanks
// around it allowed ("9.50", ".512", "-0.012", "+0.012"). Empty cells, a lone "-" or ".",
// letters, a second point or sign, exponents and more than 18 digits give nothing.
std::optional<double> ParseFigure(QStringView text);

// A timing figure that can only be positive (an elapsed time, a speed): nothing when the text
// is not a number or the number is zero or less, which is how a missed timing point shows.
std::optional<double> ParsePositiveFigure(QStringView text);

// Two rules give a category's name without its round code; each has its reader.
//
// FiguresCategoryName: the statistics' rule, which groups a car's runs by category. A Category
// cell ends with a two-character round code, a letter and a digit ("SUPER PRO     E1" gives
// "SUPER PRO", "TOP SPORTSMAN Q2" "TOP SPORTSMAN"); only such a code is dropped, so a cell
// without one ("STREET", "STREET 4") is the name as it stands, trimmed. The name is a view into
// the text.
QStringView FiguresCategoryName(QStringView category);

// FilterListCategoryName: the filter window's category list, whose names become a
// "begins with" condition on the Category cells. The round code takes the last two places of
// the cell, so the name is the cell less its last two characters, trimmed, whatever they are
// ("STREET" gives "STRE", which still begins the cells it came from); nothing for a cell of
// fewer than four characters.
std::optional<QString> FilterListCategoryName(const QString& category);

// The day a DateTime cell names: its text before the first blank ("2026-12-04 18:53:12"
// gives "2026-12-04"), the whole text when it has no blank. Log files written elsewhere use
// other date forms; their date part still tells one day from another.
QStringView DayOf(QStringView dateTime);

// True when car number a sorts before b: by the whole number they start with (7 before 77A
// before 123 before 1234), then by the text. Numbers without leading digits come last.
bool CarNumberLess(const QString& a, const QString& b);

}  // namespace orvanrx
