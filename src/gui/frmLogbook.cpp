#include "gui/frmLogbook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/Appearance.h"
#include "gui/LogbookTables.h"
#include "gui/Twips.h"

namespace orvanrx {

namespace {

inline constexpr QLatin1String kLogbookScreenSettingsKey{
    "SOFTWARE\\OrvanRX\\Logbook\\ScreenSettings\\"};

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

    tabs_->addTab(NewEventsPage(), QStringLiteral("Events"));
    tabs_->addTab(NewCarPage(), QStringLiteral("Car"));
    tabs_->addTab(NewMyCarPage(), QStringLiteral("My Car"));
    tabs_->addTab(NewPartsPage(), QStringLiteral("Parts"));

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
        if (refreshDue_ && !EditingIn(*grdMyRuns_) && !EditingIn(*grdParts_)) {
            Refresh();
        } else {
            refreshDue_ = false;
        }
    });
}

QWidget* frmLogbook::NewEventsPage() {
    // Events: a tick chooses the events the figures are taken over (none ticked: all).
    grdEvents_ = NewLogbookTable(this);
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

    return eventsPage;
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
        QTableWidgetItem* day = LogbookItem(it->day);
        day->setFlags(day->flags() | Qt::ItemIsUserCheckable);
        day->setCheckState(ticked.contains(it->id) ? Qt::Checked : Qt::Unchecked);
        day->setData(Qt::UserRole, static_cast<qlonglong>(it->id));
        grdEvents_->setItem(r, 0, day);
        grdEvents_->setItem(
            r, 1,
            LogbookItem(it->track.isEmpty() ? QStringLiteral("(track not named)") : it->track));
        QTableWidgetItem* races = LogbookItem(QString::number(it->races));
        races->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdEvents_->setItem(r, 2, races);
        grdEvents_->setItem(r, 3, LogbookItem(it->first.mid(11)));
        grdEvents_->setItem(r, 4, LogbookItem(it->last.mid(11)));
    }
    grdEvents_->resizeColumnsToContents();
    grdEvents_->horizontalHeader()->setStretchLastSection(true);
    filling_ = false;
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

}  // namespace orvanrx
