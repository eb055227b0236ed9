#include "views/TextTableModel.h"

namespace orvanrx {

TextTableModel::TextTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TextTableModel::Load(TextTable table) {
    if (table.headers == table_.headers && table.rows == table_.rows) {
        return;
    }
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

int TextTableModel::ColumnOf(const QString& header) const {
    return static_cast<int>(table_.headers.indexOf(header));
}

int TextTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.headers.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return table_.rows[static_cast<std::size_t>(index.row())].value(index.column());
        case Qt::TextAlignmentRole:
            return static_cast<int>(textColumns_.contains(table_.headers.value(index.column()))
                                        ? Qt::AlignLeft | Qt::AlignVCenter
                                        : Qt::AlignCenter);
        default:
            return {};
    }
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return table_.headers.value(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace orvanrx
