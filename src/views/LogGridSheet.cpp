#include "views/LogGridSheet.h"

#include <algorithm>

#include "views/LogGridSetup.h"

namespace orvanrx {

namespace {

// A grid cell's alignment follows from its column and its row's style alone, so it is asked
// once per style and column rather than once per cell.
class Alignments {
public:
    Qt::Alignment Of(const QString& styleName, int sheetColumn, const QModelIndex& cell) {
        auto found = std::find_if(styles_.begin(), styles_.end(),
                                  [&](const Style& style) { return style.name == styleName; });
        if (found == styles_.end()) {
            styles_.push_back({styleName, {}});
            found = std::prev(styles_.end());
        }
        std::vector<std::optional<Qt::Alignment>>& columns = found->columns;
        if (columns.size() <= static_cast<std::size_t>(sheetColumn)) {
            columns.resize(static_cast<std::size_t>(sheetColumn) + 1);
        }
        std::optional<Qt::Alignment>& alignment = columns[static_cast<std::size_t>(sheetColumn)];
        if (!alignment) {
            alignment = Qt::Alignment(cell.data(Qt::TextAlignmentRole).toInt());
        }
        return *alignment;
    }

private:
    struct Style {
        QString name;
        std::vector<std::optional<Qt::Alignment>> columns;
    };
    std::vector<Style> styles_;
};

void AppendDataRow(LogGridSheet& sheet, const LogGridModel& grid, const QAbstractItemModel& shown,
                   int row, const QModelIndex& parent, const QString& groupText,
                   Alignments& alignments) {
    LogGridSheetRow out;
    out.kind = LogGridRowKind::Data;
    out.groupText = groupText;
    out.styleName = shown.index(row, 0, parent).data(LogGridModel::StyleNameRole).toString();
    out.cells.reserve(sheet.columns.size());
    for (std::size_t c = 0; c < sheet.columns.size(); ++c) {
        const int column = sheet.columns[c].column;
        const QModelIndex cell = shown.index(row, column, parent);
        QString text = cell.data(LogGridModel::TextRole).toString();
        // A text column's value is its text; only the typed columns hold something else.
        QVariant value =
            grid.TypeOf(column) == CellType::Text ? QVariant(text) : cell.data(Qt::DisplayRole);
        out.cells.push_back({std::move(value), std::move(text),
                             alignments.Of(out.styleName, static_cast<int>(c), cell)});
    }
    sheet.rows.push_back(std::move(out));
}

}  // namespace

std::optional<LogGridStyle> LogGridSheet::StyleOf(const LogGridSheetRow& row) const {
    auto found = styles.constFind(row.styleName);
    if (found == styles.cend() && row.kind == LogGridRowKind::Data) {
        found = styles.constFind(QString(kNormalStyle));
    }
    return found != styles.cend() ? std::optional<LogGridStyle>(*found) : std::nullopt;
}

std::optional<LogGridStyle> LogGridSheet::HeadingStyle() const {
    const auto found = styles.constFind(QString(kHeadingStyle));
    return found != styles.cend() ? std::optional<LogGridStyle>(*found) : std::nullopt;
}

LogGridSheet ReadLogGridSheet(const LogGridModel& grid, const QAbstractItemModel& shown,
                              CollapsedGroups collapsed) {
    LogGridSheet sheet;
    sheet.groupBy = grid.GroupBy();
    sheet.background = grid.Background();
    sheet.styles = grid.Styles();
    for (int c = 0; c < kLogGridColumnCount; ++c) {
        const LogGridColumn& column = kLogGridColumns[static_cast<std::size_t>(c)];
        if (!grid.IsHidden(column.key)) {
            sheet.columns.push_back(
                {c, QString(column.key), QString(column.caption), grid.GetWidth(column.key)});
        }
    }
    Alignments alignments;
    for (int top = 0; top < shown.rowCount(); ++top) {
        const QModelIndex index = shown.index(top, 0);
        const auto kind =
            static_cast<LogGridRowKind>(index.data(LogGridModel::RowKindRole).toInt());
        if (kind == LogGridRowKind::Data) {
            AppendDataRow(sheet, grid, shown, top, {}, QString(), alignments);
            continue;
        }
        LogGridSheetRow header;
        header.kind = LogGridRowKind::GroupHeader;
        header.styleName = index.data(LogGridModel::StyleNameRole).toString();
        header.groupText = index.data(LogGridModel::TextRole).toString();
        header.expanded = index.data(LogGridModel::ExpandedRole).toBool();
        const QString groupText = header.groupText;
        const bool withRows = header.expanded || collapsed == CollapsedGroups::Include;
        sheet.rows.push_back(std::move(header));
        if (withRows) {
            for (int r = 0; r < shown.rowCount(index); ++r) {
                AppendDataRow(sheet, grid, shown, r, index, groupText, alignments);
            }
        }
    }
    return sheet;
}

void UsePageWidths(LogGridSheet& sheet, QAnyStringView fittedColumn) {
    for (LogGridSheetColumn& column : sheet.columns) {
        column.widthTwips = column.key == fittedColumn ? 0 : StartColumnWidth(column.key);
    }
}

}  // namespace orvanrx
