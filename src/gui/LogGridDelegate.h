#pragma once

#include <QModelIndex>
#include <optional>

#include "views/LogGridStyle.h"

class QHeaderView;
class QStyledItemDelegate;

// What the race log grid draws with: its cells' painter and its heading bar (which also drags
// a heading to the group-by area), and the two questions about a row both ask.
namespace orvanrx {

class LogGridView;

// The style the model gives the row of `index`; none for a cell without one.
std::optional<LogGridStyle> StyleAt(const QModelIndex& index);
// Whether `index` is on a group's header row rather than a race's.
bool IsGroupHeader(const QModelIndex& index);

// The painter of the grid's cells, owned by `view`.
QStyledItemDelegate* NewLogGridDelegate(LogGridView* view);
// The grid's heading bar, owned by `view`.
QHeaderView* NewLogGridHeader(LogGridView* view);

}  // namespace orvanrx
