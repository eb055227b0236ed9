#pragma once

#include <QString>
#include <span>

#include "analysis/StatsTables.h"

class QTableWidget;
class QTableWidgetItem;
class QWidget;

// The tables of the logbook window: how they look, their cells, and whether the racer is
// typing in one.
namespace orvanrx {

// A read-only table, rows chosen whole, without row numbers.
QTableWidget* NewLogbookTable(QWidget* parent);
// A cell, editable in place when asked.
QTableWidgetItem* LogbookItem(const QString& text, bool editable = false);
// The table holds `text` (its headers and rows), columns fitted to their contents.
void FillLogbookTable(QTableWidget& table, const TextTable& text);
// The table emptied, with these column headers.
void ClearWithHeaders(QTableWidget& table, std::span<const char* const> headers);
// A cell's editor is open in the table.
bool EditingIn(const QTableWidget& table);

}  // namespace orvanrx
