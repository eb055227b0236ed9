#include "gui/frmLogbook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include "analysis/StatsTables.h"
#include "gui/Appearance.h"
#include "gui/Twips.h"
#include "logbook/LogbookImport.h"
#include "logbook/SeasonStats.h"
#include "settings/SettingsStore.h"
#include "shell/DataFolder.h"

namespace orvanrx {

using enum RunColumn;

namespace {

inline constexpr QLatin1String kLogbookScreenSettingsKey{
    "SOFTWARE\\OrvanRX\\Logbook\\ScreenSettings\\"};

// The notes' columns of the My Car table, after the run's own columns.
const char* const kMyRunColumns[] = {
    "Date / Time",   "Track",  "Category", "Car",           "Lane",
    "Opponent",      "Dial",   "RT",       "60 ft",         "ET",
    "MPH",           "Result", "Delay",    "Throttle stop", "Dial-in given",
    "Tyre pressure", "Weight", "Notes"};
constexpr int kFirstNoteColumn = 12;

const char* const kPartColumns[] = {"Car", "Part", "Since", "Runs", "Notes"};

QTableWidget* NewTable(QWidget* parent) {
    auto* table = new QTableWidget(parent);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setHighlightSections(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

QTableWidgetItem* Item(const QString& text, bool editable = false) {
    auto* item = new QTableWidgetItem(text);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable) {
        flags |= Qt::ItemIsEditable;
    }
    item->setFlags(flags);
    return item;
}

void Fill(QTableWidget& table, const TextTable& text) {
    table.clear();
    table.setColumnCount(static_cast<int>(text.headers.size()));
    table.setHorizontalHeaderLabels(text.headers);
    table.setRowCount(static_cast<int>(text.rows.size()));
    for (int r = 0; r < static_cast<int>(text.rows.size()); ++r) {
        const QStringList& cells = text.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < cells.size(); ++c) {
            table.setItem(r, c, Item(cells[c]));
        }
    }
    table.resizeColumnsToContents();
}

// A cell's editor is open in the table.
bool Editing(const QTableWidget& table) {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus != &table && table.isAncestorOf(focus);
}

QString ResultOf(const LogbookRun& run) {
    if (run.opponent.isEmpty()) {
        return QStringLiteral("Bye");
    }
    const bool won = !run.row[win].isEmpty();
    const bool lost = !run.otherWin.isEmpty();
    return won && !lost ? QStringLiteral("Won") : lost && !won ? QStringLiteral("Lost") : QString();
}

}  // namespace

frmLogbook::frmLogbook(const QString& logbookPath, const SettingsStore& settings, QWidget* parent)
    : QWidget(parent), path_(logbookPath), settings_(settings) {
    setWindowTitle(QStringLiteral("Logbook"));
    setAttribute(Qt::WA_DeleteOnClose);

    cboTrack_ = new QComboBox(this);
    cboTrack_->setMinimumContentsLength(16);
    txtSince_ = new QLineEdit(this);
    txtUntil_ = new QLineEdit(this);
    for (QLineEdit* day : {txtSince_, txtUntil_}) {
        day->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
        day->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 24);
        connect(day, &QLineEdit::editingFinished, this, &frmLogbook::Refresh);
    }
    cboRounds_ = new QComboBox(this);
    cboRounds_->addItems({QStringLiteral("All rounds"), QStringLiteral("Qualifying"),
                          QStringLiteral("Eliminations")});
    auto* cmdRefresh = new QPushButton(QStringLiteral("Refresh"), this);
    lblStatus_ = new QLabel(this);
    connect(cboTrack_, &QComboBox::activated, this, &frmLogbook::Refresh);
    connect(cboRounds_, &QComboBox::activated, this, &frmLogbook::Refresh);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmLogbook::Refresh);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Track:"), this));
    top->addWidget(cboTrack_);
    top->addWidget(new QLabel(QStringLiteral("From:"), this));
    top->addWidget(txtSince_);
    top->addWidget(new QLabel(QStringLiteral("To:"), this));
    top->addWidget(txtUntil_);
    top->addWidget(cboRounds_);
    top->addWidget(cmdRefresh);
    top->addStretch(1);
    top->addWidget(lblStatus_);

    tabs_ = new QTabWidget(this);

    // Events: a tick chooses the events the figures are taken over (none ticked: all).
    grdEvents_ = NewTable(this);
    connect(grdEvents_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_ && item->column() == 0) {
            RefreshCar();
        }
    });
    auto* eventsPage = new QWidget(this);
    auto* eventsLayout = new QVBoxLayout(eventsPage);
    eventsLayout->addWidget(new QLabel(QStringLiteral("Tick events to take the Car and My Car "
                                                      "tabs over those only (none ticked: all)."),
                                       eventsPage));
    eventsLayout->addWidget(grdEvents_, 1);
    tabs_->addTab(eventsPage, QStringLiteral("Events"));

    // A car over the season.
    auto* carPage = new QWidget(this);
    txtCar_ = new QLineEdit(carPage);
    txtCar_->setPlaceholderText(QStringLiteral("Car number or driver's name"));
    txtCar_->setClearButtonEnabled(true);
    connect(txtCar_, &QLineEdit::returnPressed, this, [this] {
        const QStringList found = logbook_ ? logbook_->FindCars(txtCar_->text()) : QStringList();
        ChooseCar(found.value(0));
    });
    lblCar_ = new QLabel(carPage);
    lblCar_->setWordWrap(true);
    grdFigures_ = NewTable(carPage);
    grdCarRuns_ = NewTable(carPage);
    auto* split = new QSplitter(Qt::Horizontal, carPage);
    split->addWidget(grdFigures_);
    split->addWidget(grdCarRuns_);
    split->setSizes({430, 900});
    grdFigures_->horizontalHeader()->setStretchLastSection(true);
    auto* carLayout = new QVBoxLayout(carPage);
    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Car:"), carPage));
    search->addWidget(txtCar_, 1);
    carLayout->addLayout(search);
    carLayout->addWidget(lblCar_);
    carLayout->addWidget(split, 1);
    tabs_->addTab(carPage, QStringLiteral("Car"));

    // The racer's own runs: notes and set-up typed in place.
    grdMyRuns_ = NewTable(this);
    grdMyRuns_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    grdMyRuns_->setSelectionBehavior(QAbstractItemView::SelectItems);
    connect(grdMyRuns_, &QTableWidget::cellChanged, this, &frmLogbook::MyRunEdited);
    tabs_->addTab(grdMyRuns_, QStringLiteral("My Car"));

    // Parts and their runs.
    auto* partsPage = new QWidget(this);
    grdParts_ = NewTable(partsPage);
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
    tabs_->addTab(partsPage, QStringLiteral("Parts"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addLayout(top);
    layout->addWidget(tabs_, 1);
}

frmLogbook::~frmLogbook() = default;

void frmLogbook::Load(QMdiSubWindow& frame, const QStringList& myCars) {
    frame_ = &frame;
    open_ = true;
    QSize size(TwipsToPixels(frame, kDesignWidthTwips), TwipsToPixels(frame, kDesignHeightTwips));
    if (const QMdiArea* area = frame.mdiArea(); area != nullptr && area->isVisible()) {
        size = size.boundedTo(area->viewport()->size() - QSize(2 * frame.x(), 2 * frame.y()));
    }
    frame.resize(size);
    RestoreWindowPlacement(settings_, kLogbookScreenSettingsKey, frame);
    Logbook::OpenResult opened = Logbook::Open(path_);
    logbook_ = std::move(opened.logbook);
    error_ = opened.error;
    myCars_ = myCars;
    Refresh();
    if (!myCars_.isEmpty()) {
        ChooseCar(myCars_.first());
    }
}

RaceSelection frmLogbook::Selection() const {
    RaceSelection selection;
    if (cboTrack_->currentIndex() > 0) {
        selection.tracks = {cboTrack_->currentData().toString()};
    }
    for (QLineEdit* day : {txtSince_, txtUntil_}) {
        const QString text = day->text().trimmed();
        const bool valid =
            text.isEmpty() || QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid();
        day->setStyleSheet(valid ? QString() : QStringLiteral("color: red"));
        if (valid) {
            (day == txtSince_ ? selection.since : selection.until) = text;
        }
    }
    selection.rounds = static_cast<RoundChoice>(cboRounds_->currentIndex());
    for (int r = 0; r < grdEvents_->rowCount(); ++r) {
        const QTableWidgetItem* item = grdEvents_->item(r, 0);
        if (item && item->checkState() == Qt::Checked) {
            selection.events.append(item->data(Qt::UserRole).toLongLong());
        }
    }
    return selection;
}

void frmLogbook::Refresh() {
    refreshDue_ = false;
    if (!logbook_) {
        lblStatus_->setText(QStringLiteral("Logbook not open: ") + error_);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The tracks, keeping the one chosen.
    const QString track =
        cboTrack_->currentIndex() > 0 ? cboTrack_->currentData().toString() : QString();
    cboTrack_->clear();
    cboTrack_->addItem(QStringLiteral("All tracks"));
    for (const QString& name : logbook_->Tracks()) {
        cboTrack_->addItem(name.isEmpty() ? QStringLiteral("(track not named)") : name, name);
        if (!track.isNull() && name == track) {
            cboTrack_->setCurrentIndex(cboTrack_->count() - 1);
        }
    }
    RefreshEvents();
    RefreshCar();
    RefreshMyRuns();
    RefreshParts();
    lblStatus_->setText(QStringLiteral("%1 races · %2")
                            .arg(logbook_->RaceCount())
                            .arg(QDir::toNativeSeparators(path_)));
    QApplication::restoreOverrideCursor();
}

void frmLogbook::RaceStored() {
    if (refreshDue_ || !open_) {
        return;
    }
    refreshDue_ = true;
    QTimer::singleShot(2000, this, [this] {
        // Not while the racer types a note.
        if (refreshDue_ && !Editing(*grdMyRuns_) && !Editing(*grdParts_)) {
            Refresh();
        } else {
            refreshDue_ = false;
        }
    });
}

void frmLogbook::RefreshEvents() {
    QList<qint64> ticked;
    for (int r = 0; r < grdEvents_->rowCount(); ++r) {
        const QTableWidgetItem* item = grdEvents_->item(r, 0);
        if (item && item->checkState() == Qt::Checked) {
            ticked.append(item->data(Qt::UserRole).toLongLong());
        }
    }
    filling_ = true;
    const std::vector<LogbookEvent> events = logbook_->Events();
    grdEvents_->clear();
    grdEvents_->setColumnCount(5);
    grdEvents_->setHorizontalHeaderLabels({QStringLiteral("Day"), QStringLiteral("Track"),
                                           QStringLiteral("Races"), QStringLiteral("First race"),
                                           QStringLiteral("Last race")});
    grdEvents_->setRowCount(static_cast<int>(events.size()));
    // Newest first.
    int r = 0;
    for (auto it = events.rbegin(); it != events.rend(); ++it, ++r) {
        QTableWidgetItem* day = Item(it->day);
        day->setFlags(day->flags() | Qt::ItemIsUserCheckable);
        day->setCheckState(ticked.contains(it->id) ? Qt::Checked : Qt::Unchecked);
        day->setData(Qt::UserRole, static_cast<qlonglong>(it->id));
        grdEvents_->setItem(r, 0, day);
        grdEvents_->setItem(
            r, 1, Item(it->track.isEmpty() ? QStringLiteral("(track not named)") : it->track));
        QTableWidgetItem* races = Item(QString::number(it->races));
        races->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdEvents_->setItem(r, 2, races);
        grdEvents_->setItem(r, 3, Item(it->first.mid(11)));
        grdEvents_->setItem(r, 4, Item(it->last.mid(11)));
    }
    grdEvents_->resizeColumnsToContents();
    grdEvents_->horizontalHeader()->setStretchLastSection(true);
    filling_ = false;
}

void frmLogbook::ChooseCar(const QString& car) {
    car_ = car.trimmed();
    if (txtCar_->text().trimmed().isEmpty() || !car_.isEmpty()) {
        txtCar_->setText(car_);
    }
    RefreshCar();
}

void frmLogbook::RefreshCar() {
    if (!logbook_) {
        return;
    }
    if (car_.isEmpty()) {
        lblCar_->setText(QStringLiteral("Type a car number or a driver's name and press Enter."));
        grdFigures_->clear();
        grdCarRuns_->clear();
        return;
    }
    const CarSeason season = ReadCarSeason(*logbook_, Selection(), car_);
    if (season.runs.empty()) {
        lblCar_->setText(QStringLiteral("Car %1 has no runs in the chosen races.").arg(car_));
    } else {
        lblCar_->setText(
            QStringLiteral("<b>%1</b> · %2").arg(car_, CarSummaryText(season.figures)));
    }
    Fill(*grdFigures_, CarFiguresTable(season.figures));
    grdFigures_->horizontalHeader()->setStretchLastSection(true);
    // Newest first, as the statistics window lists them.
    std::vector<CarRun> newest(season.runs.rbegin(), season.runs.rend());
    Fill(*grdCarRuns_, CarRunsTable(newest));
}

void frmLogbook::RefreshMyRuns() {
    filling_ = true;
    grdMyRuns_->clear();
    grdMyRuns_->setColumnCount(static_cast<int>(std::size(kMyRunColumns)));
    QStringList headers;
    for (const char* header : kMyRunColumns) {
        headers.append(QString::fromLatin1(header));
    }
    grdMyRuns_->setHorizontalHeaderLabels(headers);
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
            QTableWidgetItem* item = Item(cells[c], c >= kFirstNoteColumn);
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

void frmLogbook::RefreshParts() {
    filling_ = true;
    const std::vector<LogbookPart> parts = logbook_->Parts();
    grdParts_->clear();
    grdParts_->setColumnCount(static_cast<int>(std::size(kPartColumns)));
    QStringList headers;
    for (const char* header : kPartColumns) {
        headers.append(QString::fromLatin1(header));
    }
    grdParts_->setHorizontalHeaderLabels(headers);
    grdParts_->setRowCount(static_cast<int>(parts.size()));
    for (int r = 0; r < static_cast<int>(parts.size()); ++r) {
        const LogbookPart& part = parts[static_cast<std::size_t>(r)];
        grdParts_->setItem(r, 0, Item(part.car, true));
        grdParts_->setItem(r, 1, Item(part.name, true));
        grdParts_->setItem(r, 2, Item(part.since, true));
        QTableWidgetItem* runs = Item(QString::number(part.runs));
        runs->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdParts_->setItem(r, 3, runs);
        grdParts_->setItem(r, 4, Item(part.notes, true));
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

void frmLogbook::SetMyCars(const QStringList& numbers) {
    myCars_ = numbers;
    if (logbook_) {
        RefreshMyRuns();
    }
}

void frmLogbook::Unload() {
    if (!open_) {
        return;
    }
    open_ = false;
    if (frame_ != nullptr) {
        SaveWindowPlacement(settings_, kLogbookScreenSettingsKey, *frame_);
    }
    Q_EMIT Unloaded();
}

void frmLogbook::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

void ImportRaceLogsWithDialog(QWidget* parent, const QString& logbookPath) {
    const QString folder = GetDataFolder(DataFolderBase(), QString::fromLatin1(kDataSubFolder));
    const QStringList files = QFileDialog::getOpenFileNames(
        parent, QStringLiteral("Import Race Logs"), folder,
        QStringLiteral("OrvanRX Race Log Files (*.csv);;All Files (*)"));
    if (files.isEmpty()) {
        return;
    }
    bool ok = false;
    const QString track =
        QInputDialog::getText(parent, QStringLiteral("Import Race Logs"),
                              QStringLiteral("Track of these races (empty when not known):"),
                              QLineEdit::Normal, QString(), &ok);
    if (!ok) {
        return;
    }
    Logbook::OpenResult opened = Logbook::Open(logbookPath);
    if (!opened.logbook) {
        QMessageBox::warning(parent, QStringLiteral("Import Race Logs"),
                             QStringLiteral("The logbook cannot be opened:\n") + opened.error);
        return;
    }
    std::atomic<int> done = 0;
    std::atomic<bool> finished = false;
    ImportReport report;
    std::thread worker([&] {
        report =
            ImportRaceLogs(*opened.logbook, files, track.trimmed(), [&](int d, int) { done = d; });
        finished = true;
    });
    QProgressDialog progress(QStringLiteral("Importing race logs..."), QString(), 0,
                             static_cast<int>(files.size()), parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
        progress.setValue(done);
        if (finished) {
            progress.reset();
            progress.close();
        }
    });
    poll.start(50);
    if (!finished) {
        progress.exec();
    }
    worker.join();
    QString text = QStringLiteral(
                       "%1 of %2 files read, %3 races: %4 new, %5 already in the "
                       "logbook.")
                       .arg(report.filesRead)
                       .arg(files.size())
                       .arg(report.races)
                       .arg(report.inserted)
                       .arg(report.duplicates + report.updated);
    if (!report.skipped.isEmpty()) {
        text += QStringLiteral("\n\nNot imported:\n") + report.skipped.join(u'\n');
    }
    QMessageBox::information(parent, QStringLiteral("Import Race Logs"), text);
}

}  // namespace orvanrx
