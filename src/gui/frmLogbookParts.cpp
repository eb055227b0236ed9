// The logbook window's Parts tab: the racer's parts and the runs made on them.
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/LogbookTables.h"
#include "gui/frmLogbook.h"

namespace orvanrx {

namespace {

const char* const kPartColumns[] = {"Car", "Part", "Since", "Runs", "Notes"};

}  // namespace

QWidget* frmLogbook::NewPartsPage() {
    // Parts and their runs.
    auto* partsPage = new QWidget(this);
    grdParts_ = NewLogbookTable(partsPage);
    grdParts_->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    grdParts_->setSelectionBehavior(QAbstractItemView::SelectItems);
    connect(grdParts_, &QTableWidget::cellChanged, this, &frmLogbook::PartEdited);
    auto* cmdAdd = new QPushButton(QStringLiteral("Add Part"), partsPage);
    auto* cmdRemove = new QPushButton(QStringLiteral("Remove Part"), partsPage);
    connect(cmdAdd, &QPushButton::clicked, this, &frmLogbook::AddPart);
    connect(cmdRemove, &QPushButton::clicked, this, &frmLogbook::RemovePart);
    auto* partButtons = new QHBoxLayout;
    partButtons->addWidget(cmdAdd);
    partButtons->addWidget(cmdRemove);
    partButtons->addStretch(1);
    auto* partsLayout = new QVBoxLayout(partsPage);
    partsLayout->addLayout(partButtons);
    partsLayout->addWidget(grdParts_, 1);

    return partsPage;
}

void frmLogbook::RefreshParts() {
    filling_ = true;
    const std::vector<LogbookPart> parts = logbook_->Parts();
    ClearWithHeaders(*grdParts_, kPartColumns);
    grdParts_->setRowCount(static_cast<int>(parts.size()));
    for (int r = 0; r < static_cast<int>(parts.size()); ++r) {
        const LogbookPart& part = parts[static_cast<std::size_t>(r)];
        grdParts_->setItem(r, 0, LogbookItem(part.car, true));
        grdParts_->setItem(r, 1, LogbookItem(part.name, true));
        grdParts_->setItem(r, 2, LogbookItem(part.since, true));
        QTableWidgetItem* runs = LogbookItem(QString::number(part.runs));
        runs->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdParts_->setItem(r, 3, runs);
        grdParts_->setItem(r, 4, LogbookItem(part.notes, true));
        grdParts_->item(r, 0)->setData(Qt::UserRole, static_cast<qlonglong>(part.id));
    }
    grdParts_->resizeColumnsToContents();
    grdParts_->horizontalHeader()->setStretchLastSection(true);
    filling_ = false;
}

void frmLogbook::PartEdited(int row, int column) {
    if (filling_ || column == 3 || !logbook_) {
        return;
    }
    const auto text = [this, row](int c) {
        const QTableWidgetItem* item = grdParts_->item(row, c);
        return item ? item->text().trimmed() : QString();
    };
    LogbookPart part;
    part.id = grdParts_->item(row, 0)->data(Qt::UserRole).toLongLong();
    part.car = text(0);
    part.name = text(1);
    part.since = text(2);
    part.notes = text(4);
    if (!QDate::fromString(part.since, QStringLiteral("yyyy-MM-dd")).isValid()) {
        lblStatus_->setText(QStringLiteral("A part's day is written YYYY-MM-DD."));
        return;
    }
    logbook_->UpdatePart(part);
    // The run count follows the car and the day.
    QTimer::singleShot(0, this, &frmLogbook::RefreshParts);
}

void frmLogbook::AddPart() {
    if (!logbook_) {
        return;
    }
    LogbookPart part;
    part.car = myCars_.value(0, car_);
    part.name = QStringLiteral("New part");
    part.since = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    logbook_->AddPart(part);
    RefreshParts();
    tabs_->setCurrentIndex(3);
}

void frmLogbook::RemovePart() {
    const int row = grdParts_->currentRow();
    if (!logbook_ || row < 0) {
        return;
    }
    logbook_->RemovePart(grdParts_->item(row, 0)->data(Qt::UserRole).toLongLong());
    RefreshParts();
}

}  // namespace orvanrx
