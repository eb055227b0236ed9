// The logbook window's My Car tab: the racer's own runs, their notes and set-up typed in place.
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

#include "gui/LogbookTables.h"
#include "gui/frmLogbook.h"

namespace orvanrx {

using enum RunColumn;

namespace {

// The notes' columns of the My Car table, after the run's own columns.
const char* const kMyRunColumns[] = {
    "Date / Time",   "Track",  "Category", "Car",           "Lane",
    "Opponent",      "Dial",   "RT",       "60 ft",         "ET",
    "MPH",           "Result", "Delay",    "Throttle stop", "Dial-in given",
    "Tyre pressure", "Weight", "Notes"};
constexpr int kFirstNoteColumn = 12;

QString ResultOf(const LogbookRun& run) {
    if (run.opponent.isEmpty()) {
        return QStringLiteral("Bye");
    }
    const bool won = !run.row[win].isEmpty();
    const bool lost = !run.otherWin.isEmpty();
    return won && !lost ? QStringLiteral("Won") : lost && !won ? QStringLiteral("Lost") : QString();
}

}  // namespace

QWidget* frmLogbook::NewMyCarPage() {
    // The racer's own runs: notes and set-up typed in place.
    grdMyRuns_ = NewLogbookTable(this);
    grdMyRuns_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    grdMyRuns_->setSelectionBehavior(QAbstractItemView::SelectItems);
    connect(grdMyRuns_, &QTableWidget::cellChanged, this, &frmLogbook::MyRunEdited);

    return grdMyRuns_;
}

void frmLogbook::RefreshMyRuns() {
    filling_ = true;
    ClearWithHeaders(*grdMyRuns_, kMyRunColumns);
    std::vector<LogbookRun> runs;
    if (!myCars_.isEmpty()) {
        RaceSelection selection = Selection();
        selection.cars = myCars_;
        runs = logbook_->SelectRuns(selection);
    }
    grdMyRuns_->setRowCount(static_cast<int>(runs.size()));
    int r = 0;
    for (auto it = runs.rbegin(); it != runs.rend(); ++it, ++r) {
        const LogbookRun& run = *it;
        const QString cells[] = {run.row[DateTime],
                                 run.track,
                                 run.row[Category].simplified(),
                                 run.row[Car],
                                 run.row[Lane],
                                 run.opponent,
                                 run.row[Dial],
                                 run.row[RT],
                                 run.row[et60],
                                 run.row[et1320],
                                 run.row[mph1320],
                                 ResultOf(run),
                                 run.notes.delay,
                                 run.notes.throttleStop,
                                 run.notes.dialGiven,
                                 run.notes.tyrePressure,
                                 run.notes.weight,
                                 run.notes.text};
        for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
            QTableWidgetItem* item = LogbookItem(cells[c], c >= kFirstNoteColumn);
            if (c >= kFirstNoteColumn) {
                item->setBackground(QColor(255, 255, 225));
            }
            grdMyRuns_->setItem(r, c, item);
        }
        grdMyRuns_->item(r, 0)->setData(Qt::UserRole, static_cast<qlonglong>(run.id));
    }
    grdMyRuns_->resizeColumnsToContents();
    grdMyRuns_->horizontalHeader()->setStretchLastSection(true);
    filling_ = false;
}

void frmLogbook::MyRunEdited(int row, int column) {
    if (filling_ || column < kFirstNoteColumn || !logbook_) {
        return;
    }
    const auto text = [this, row](int c) {
        const QTableWidgetItem* item = grdMyRuns_->item(row, c);
        return item ? item->text().trimmed() : QString();
    };
    const RunNotes notes{text(12), text(13), text(14), text(15), text(16), text(17)};
    const qint64 runId = grdMyRuns_->item(row, 0)->data(Qt::UserRole).toLongLong();
    if (!logbook_->SaveNotes(runId, notes)) {
        lblStatus_->setText(QStringLiteral("Notes not saved: ") + logbook_->ErrorText());
    }
}

}  // namespace orvanrx
