#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

#include "views/LogGridModel.h"
#include "views/LogGridStyle.h"

namespace orvanrx {

// What a log grid holds and shows, read out once for the exports and the print layout.

struct LogGridSheetColumn {
    int column = 0;  // the grid column
    QString key;
    QString caption;
    int widthTwips = 0;
};

struct LogGridSheetCell {
    // As the grid holds it: QString, or for the filter window's typed columns qint32, float or
    // QDateTime; invalid for an empty cell.
    QVariant value;
    // As text: the run table's text, empty for an empty cell.
    QString text;
    Qt::Alignment alignment = Qt::AlignCenter;
};

struct LogGridSheetRow {
    LogGridRowKind kind = LogGridRowKind::Data;
    QString styleName;
    // A group header's text; for a data row, its group's text (empty when ungrouped).
    QString groupText;
    // Group headers: whether the grid shows the group's rows.
    bool expanded = true;
    // Data rows: one cell per sheet column.
    std::vector<LogGridSheetCell> cells;
};

struct LogGridSheet {
    // The shown columns, in grid order.
    std::vector<LogGridSheetColumn> columns;
    // The shown rows in grid order, each group header followed by its rows.
    std::vector<LogGridSheetRow> rows;
    // The grouping column's key, empty when the rows are not grouped.
    QString groupBy;
    int background = 0;
    QHash<QString, LogGridStyle> styles;

    // The style a row is drawn with ("Normal" for a data row whose own style is not set);
    // nothing when neither is set.
    std::optional<LogGridStyle> StyleOf(const LogGridSheetRow& row) const;
    std::optional<LogGridStyle> HeadingStyle() const;
};

enum class CollapsedGroups {
    Include,  // every row the filters keep (the exports)
    Skip,     // only the headers of closed groups (what the screen shows)
};

// The sheet of `grid` with the rows as `shown` presents them: `shown` is the grid itself or a
// proxy over it (such as LogGridFilterModel), whose filtering and sorting the rows follow.
LogGridSheet ReadLogGridSheet(const LogGridModel& grid, const QAbstractItemModel& shown,
                              CollapsedGroups collapsed = CollapsedGroups::Include);
inline LogGridSheet ReadLogGridSheet(const LogGridModel& grid,
                                     CollapsedGroups collapsed = CollapsedGroups::Include) {
    return ReadLogGridSheet(grid, grid, collapsed);
}

// The sheet's columns as the printed pages take them, whatever widths a window gave them on
// screen (stretched to its edge, fitted in the screen's fonts): every column its width at load
// (StartColumnWidth), and `fittedColumn` (Name) 0, so that the page layout makes each as wide
// as its texts in the pages' own fonts. The pages of one log then look alike from a narrow or a
// wide window, from either log window and from orvanrx-cli.
void UsePageWidths(LogGridSheet& sheet, QAnyStringView fittedColumn);

}  // namespace orvanrx
