#pragma once

#include <QAbstractTableModel>

#include "analysis/StatsTables.h"

namespace orvanrx {

// A table of texts as the statistics lay them out (a car's runs), read-only: headers and
// cells as they are, figures centred and texts left-aligned by column. Load replaces the whole
// table (one model reset) and does nothing when the table is the same.
class TextTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TextTableModel(QObject* parent = nullptr);

    void Load(TextTable table);
    const TextTable& Table() const { return table_; }
    // The column with this heading, or -1.
    int ColumnOf(const QString& header) const;
    // Columns left-aligned (by heading); the others are centred.
    void SetTextColumns(const QStringList& headers) { textColumns_ = headers; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    TextTable table_;
    QStringList textColumns_;
};

}  // namespace orvanrx
