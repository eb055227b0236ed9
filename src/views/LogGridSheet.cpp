#include "views/LogGridSheet.h"

namespace orvanrx {

namespace {

void AppendDataRow(LogGridSheet& sheet, const QAbstractItemModel& shown, int row,
                   const QModelIndex& parent, const QString& groupText) {
    LogGridSheetRow out;
    out.kind = LogGridRowKind::Data;
    out.groupText = groupText;
    out.styleName = shown.index(row, 0, parent).data(LogGridModel::StyleNameRole).toString();
    out.cells.reserve(sheet.columns.size());
    for (const LogGridSheetColumn& column : sheet.columns) {
        const QModelIndex cell = shown.index(row, column.column, parent);
        out.cells.push_back({cell.data(Qt::DisplayRole),
                             cell.data(LogGridModel::TextRole).toString(),
                             Qt::Alignment(cell.data(Qt::TextAlignmentRole).toInt())});
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
    for (int top = 0; top < shown.rowCount(); ++top) {
        const QModelIndex index = shown.index(top, 0);
        const auto kind =
            static_cast<LogGridRowKind>(index.data(LogGridModel::RowKindRole).toInt());
        if (kind == LogGridRowKind::Data) {
            AppendDataRow(sheet, shown, top, {}, QString());
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
                AppendDataRow(sheet, shown, r, index, groupText);
            }
        }
    }
    return sheet;
}

}  // namespace orvanrx
