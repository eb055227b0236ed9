// LogGridModel as a QAbstractItemModel: indexes, data roles and headings.
#include <QStringList>

#include "views/LogGridCells.h"
#include "views/LogGridModel.h"

namespace orvanrx {

namespace {

constexpr int kLastColumn = kLogGridColumnCount - 1;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

// A group header's index has internal id 0; a data row's under a header, the header's row + 1.
// Ungrouped, every index is a data row's with internal id 0.

LogGridRowKind LogGridModel::KindOf(const QModelIndex& index) const {
    return IsGroupHeader(index) ? LogGridRowKind::GroupHeader : LogGridRowKind::Data;
}

bool LogGridModel::IsGroupHeader(const QModelIndex& index) const {
    return IsGrouped() && index.isValid() && index.internalId() == 0;
}

int LogGridModel::RowPosition(const QModelIndex& index) const {
    if (!IsGrouped()) {
        return index.row();
    }
    return rows_.Groups()[At(static_cast<int>(index.internalId()) - 1)].first + index.row();
}

QModelIndex LogGridModel::index(int row, int column, const QModelIndex& parent) const {
    // The view asks for every row after each load: the checks are done here directly.
    if (row < 0 || column < 0 || column > kLastColumn || (parent.isValid() && !Owns(parent)) ||
        row >= rowCount(parent) || (parent.isValid() && parent.column() != 0)) {
        return {};
    }
    return parent.isValid() ? createIndex(row, column, static_cast<quintptr>(parent.row()) + 1)
                            : createIndex(row, column, quintptr{0});
}

QModelIndex LogGridModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0) {
        return {};
    }
    return createIndex(static_cast<int>(child.internalId()) - 1, 0, quintptr{0});
}

int LogGridModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return IsGrouped() ? static_cast<int>(rows_.Groups().size()) : rows_.Count();
    }
    return IsGroupHeader(parent) && parent.column() == 0 ? rows_.Groups()[At(parent.row())].count
                                                         : 0;
}

bool LogGridModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

int LogGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() && !IsGroupHeader(parent) ? 0 : kLogGridColumnCount;
}

QVariant LogGridModel::data(const QModelIndex& index, int role) const {
    if (!Owns(index)) {
        return {};
    }
    if (IsGroupHeader(index)) {
        switch (role) {
            case Qt::DisplayRole:
            case TextRole:
            case Qt::AccessibleTextRole:
                return rows_.Groups()[At(index.row())].text;
            case RowKindRole:
                return static_cast<int>(LogGridRowKind::GroupHeader);
            case StyleNameRole:
                return QString(kGroupHeaderStyle);
            case StyleRole:
                return StyleData(kGroupHeaderStyle);
            case Qt::TextAlignmentRole:
                return static_cast<int>(AlignmentOf(-1, kGroupHeaderStyle));
            case ExpandedRole:
                return static_cast<bool>(expanded_[At(index.row())]);
            default:
                return {};
        }
    }
    const int position = RowPosition(index);
    const int c = index.column();
    switch (role) {
        case Qt::DisplayRole:
            if (TypeOf(c) != CellType::Text) {
                return CellValue(rows_.Number(position, c), TypeOf(c));
            }
            return rows_.Text(position, c);
        case TextRole:
        case Qt::AccessibleTextRole:  // what assistive technology reads: the text drawn
            return rows_.Text(position, c);
        case Qt::AccessibleDescriptionRole: {
            // The row as a screen reader announces the row cursor: each shown column's
            // caption and text, the empty ones left out.
            QStringList parts;
            for (int shown = 0; shown < kLogGridColumnCount; ++shown) {
                const QString text = rows_.Text(position, shown);
                if (!columns_[At(shown)].hidden && !text.isEmpty()) {
                    parts << QString(kLogGridColumns[At(shown)].caption) + QLatin1Char(' ') + text;
                }
            }
            return parts.join(QStringLiteral(", "));
        }
        case RowKindRole:
            return static_cast<int>(LogGridRowKind::Data);
        case StyleNameRole:
            return StyleNameOf(position);
        case StyleRole:
            return RowStyleData(position);
        case Qt::TextAlignmentRole:
            return static_cast<int>(AlignmentOf(c, StyleNameOf(position)));
        default:
            return {};
    }
}

QVariant LogGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kLogGridColumnCount) {
        return {};
    }
    const LogGridColumn& column = kLogGridColumns[At(section)];
    const ColumnSettings& settings = columns_[At(section)];
    switch (role) {
        case Qt::DisplayRole:
            return QString(column.caption);
        case ColumnKeyRole:
            return QString(column.key);
        case HiddenRole:
            return settings.hidden;
        case WidthTwipsRole:
            return settings.widthTwips;
        case StyleNameRole:
            return QString(kHeadingStyle);
        case StyleRole: {
            const std::optional<LogGridStyle> heading = Style(kHeadingStyle);
            return heading ? QVariant::fromValue(*heading) : QVariant();
        }
        case Qt::TextAlignmentRole: {
            const std::optional<LogGridStyle> heading = Style(kHeadingStyle);
            return static_cast<int>(heading ? heading->alignment : Qt::AlignCenter);
        }
        default:
            return {};
    }
}

Qt::ItemFlags LogGridModel::flags(const QModelIndex& index) const {
    if (!Owns(index)) {
        return Qt::NoItemFlags;
    }
    return IsGroupHeader(index) ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void LogGridModel::EmitDataRowsChanged(const QList<int>& roles) {
    if (!IsGrouped()) {
        if (rows_.Count() > 0) {
            Q_EMIT dataChanged(index(0, 0), index(rows_.Count() - 1, kLastColumn), roles);
        }
        return;
    }
    const auto& groups = rows_.Groups();
    for (int g = 0; g < static_cast<int>(groups.size()); ++g) {
        const QModelIndex header = index(g, 0);
        Q_EMIT dataChanged(index(0, 0, header), index(groups[At(g)].count - 1, kLastColumn, header),
                           roles);
    }
    if (!groups.empty()) {
        Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(groups.size()) - 1, kLastColumn),
                           roles);
    }
}

}  // namespace orvanrx
