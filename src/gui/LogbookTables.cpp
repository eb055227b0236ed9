#include "gui/LogbookTables.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>

namespace orvanrx {

QTableWidget* NewLogbookTable(QWidget* parent) {
    auto* table = new QTableWidget(parent);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setHighlightSections(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

QTableWidgetItem* LogbookItem(const QString& text, bool editable) {
    auto* item = new QTableWidgetItem(text);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable) {
        flags |= Qt::ItemIsEditable;
    }
    item->setFlags(flags);
    return item;
}

void FillLogbookTable(QTableWidget& table, const TextTable& text) {
    table.clear();
    table.setColumnCount(static_cast<int>(text.headers.size()));
    table.setHorizontalHeaderLabels(text.headers);
    table.setRowCount(static_cast<int>(text.rows.size()));
    for (int r = 0; r < static_cast<int>(text.rows.size()); ++r) {
        const QStringList& cells = text.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < cells.size(); ++c) {
            table.setItem(r, c, LogbookItem(cells[c]));
        }
    }
    table.resizeColumnsToContents();
}

void ClearWithHeaders(QTableWidget& table, std::span<const char* const> headers) {
    table.clear();
    table.setColumnCount(static_cast<int>(headers.size()));
    QStringList labels;
    for (const char* header : headers) {
        labels.append(QString::fromLatin1(header));
    }
    table.setHorizontalHeaderLabels(labels);
}

bool EditingIn(const QTableWidget& table) {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus != &table && table.isAncestorOf(focus);
}

}  // namespace orvanrx
