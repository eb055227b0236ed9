#include "gui/frmStats.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/LogFigures.h"
#include "analysis/StatsTables.h"
#include "decoding/RunTables.h"
#include "gui/Appearance.h"
#include "gui/ColorValue.h"
#include "gui/DialogKit.h"
#include "gui/StatsAirChart.h"
#include "gui/StatsCellDelegate.h"
#include "gui/StatsCharts.h"
#include "gui/StatsHeadToHead.h"
#include "gui/StatsSourceBar.h"
#include "gui/Twips.h"
#include "settings/SettingsKeys.h"
#include "views/LogGridStyle.h"

namespace orvanrx {

namespace {

constexpr QLatin1String kCaption{"Statistics"};
constexpr QLatin1String kPausedCaption{"Statistics - Paused"};
// Rows read for the widths of the car table's columns.
constexpr int kWidthSampleRows = 200;

// A car's runs for a narrow pane: the time without the date when every run is of one day, the
// category without the blanks that align its round code.
TextTable Compact(TextTable runs) {
    const auto date = runs.headers.indexOf(QStringLiteral("Date/time"));
    const auto category = runs.headers.indexOf(QStringLiteral("Category"));
    const bool oneDay = std::all_of(
        runs.rows.begin(), runs.rows.end(),
        [&](const QStringList& row) { return DayOf(row[date]) == DayOf(runs.rows.front()[date]); });
    if (oneDay) {
        runs.headers[date] = QStringLiteral("Time");
    }
    for (QStringList& row : runs.rows) {
        if (oneDay) {
            row[date] = row[date].mid(DayOf(row[date]).size()).trimmed();
        }
        row[category] = row[category].simplified();
    }
    return runs;
}

QTableView* NewTable(const char* name, QAbstractItemModel& model, QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(&model);
    table->setFont(TahomaFont(9));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setResizeContentsPrecision(kWidthSampleRows);
    return table;
}

}  // namespace

frmStats::frmStats(const RunTables& tables, const SettingsStore& settings, QWidget* parent)
    : QWidget(parent),
      tables_(tables),
      settings_(settings),
      shown_(cars_),
      txtSearch_(new QLineEdit(this)),
      lblCount_(new QLabel(this)),
      cmdPause_(new QToolButton(this)),
      grdCars_(NewTable("grdCars", shown_, this)),
      lblCar_(new QLabel(this)),
      grdRuns_(NewTable("grdRuns", runs_, this)),
      charts_(new StatsCharts(this)),
      lblDialIn_(new QLabel(this)),
      source_(new StatsSourceBar(settings, this)),
      airChart_(new StatsAirChart(this)),
      meeting_(new StatsHeadToHead(this)) {
    setObjectName(QStringLiteral("frmStats"));
    setWindowTitle(kCaption);
    setAutoFillBackground(true);

    txtSearch_->setObjectName(QStringLiteral("txtSearch"));
    txtSearch_->setPlaceholderText(QStringLiteral("Search car # or driver"));
    txtSearch_->setToolTip(QStringLiteral("Car number (its start) or part of a driver's name"));
    txtSearch_->setClearButtonEnabled(true);
    txtSearch_->setAccessibleName(QStringLiteral("Search"));
    txtSearch_->setAccessibleDescription(txtSearch_->toolTip());
    grdCars_->setAccessibleName(QStringLiteral("Cars"));
    grdRuns_->setAccessibleName(QStringLiteral("Runs"));
    txtSearch_->setMinimumWidth(220);
    txtSearch_->setMaximumWidth(300);
    lblCount_->setObjectName(QStringLiteral("lblCount"));
    cmdPause_->setObjectName(QStringLiteral("cmdPause"));
    cmdPause_->setCheckable(true);
    cmdPause_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ShowPauseState();
    lblCar_->setObjectName(QStringLiteral("lblCar"));
    QFont heading = TahomaFont(10);
    heading.setBold(true);
    lblCar_->setFont(heading);
    lblCar_->setTextFormat(Qt::PlainText);
    // Its text changes with every race of the car on show: its width must not move the layout.
    lblCar_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    grdCars_->setItemDelegate(new StatsCellDelegate(-1, grdCars_));
    const auto resultColumn = CarRunsTable({}).headers.indexOf(QStringLiteral("Result"));
    grdRuns_->setItemDelegate(new StatsCellDelegate(static_cast<int>(resultColumn), grdRuns_));
    grdCars_->setSortingEnabled(true);
    grdCars_->sortByColumn(0, Qt::AscendingOrder);
    runs_.SetTextColumns({QStringLiteral("Date/time"), QStringLiteral("Time"),
                          QStringLiteral("Category"), QStringLiteral("Notes")});

    connect(txtSearch_, &QLineEdit::textChanged, &shown_, &CarFiguresFilterModel::SetSearch);
    connect(cmdPause_, &QToolButton::toggled, this, &frmStats::SetPaused);
    connect(grdCars_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmStats::SelectionChanged);
    // A reset of the table (a log opened) or a search drops the selection: the chosen car
    // is selected again where it is still shown.
    connect(&shown_, &QAbstractItemModel::modelReset, this, [this] { ChooseCar(chosen_); });
    connect(&shown_, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!grdCars_->selectionModel()->hasSelection()) {
            ChooseCar(chosen_);
        }
    });

    BuildSeasonParts();

    auto* top = new QHBoxLayout;
    top->setContentsMargins(6, 0, 6, 2);
    top->addWidget(txtSearch_);
    top->addSpacing(12);
    top->addWidget(lblCount_);
    top->addStretch(1);
    top->addWidget(cmdPause_);

    auto* carPage = new QWidget(this);
    auto* carLayout = new QVBoxLayout(carPage);
    carLayout->setContentsMargins(0, 0, 0, 0);
    carLayout->setSpacing(2);
    carLayout->addWidget(lblCar_);
    carLayout->addWidget(lblDialIn_);
    // The runs (or the head-to-head) and the charts (or ET against the air) side by side, half
    // and half; the car table above, on about a third of the height.
    auto* lists = new QTabWidget(carPage);
    lists->setObjectName(QStringLiteral("tabLists"));
    lists->setDocumentMode(true);
    lists->addTab(grdRuns_, QStringLiteral("&Runs"));
    lists->addTab(meeting_, QStringLiteral("Hea&d to head"));
    // On the race log the head-to-head is figured only while its tab shows (a scan of the log).
    connect(lists, &QTabWidget::currentChanged, this, &frmStats::OpponentChosen);
    auto* charts = new QTabWidget(carPage);
    charts->setObjectName(QStringLiteral("tabCharts"));
    charts->setDocumentMode(true);
    charts->addTab(charts_, QStringLiteral("Tr&ends"));
    charts->addTab(airChart_, QStringLiteral("ET against &air"));
    auto* detail = new QSplitter(Qt::Horizontal, carPage);
    detail->setObjectName(QStringLiteral("splDetail"));
    detail->addWidget(lists);
    detail->addWidget(charts);
    detail->setChildrenCollapsible(false);
    detail->setSizes({1000, 1000});
    carLayout->addWidget(detail, 1);

    auto* main = new QSplitter(Qt::Vertical, this);
    main->setObjectName(QStringLiteral("splMain"));
    main->addWidget(grdCars_);
    main->addWidget(carPage);
    main->setChildrenCollapsible(false);
    main->setSizes({700, 1300});

    // Everything in a scroll area: at twice the scale on a small screen the window may be
    // smaller than its tables and charts need, and then it scrolls rather than cuts them off.
    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("wgtBody"));
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrBody"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(4);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->setContentsMargins(6, 4, 6, 0);
    sourceRow->addWidget(source_);
    layout->addLayout(sourceRow);
    layout->addLayout(top);
    layout->addWidget(main, 1);
    scroll->setWidget(body);
    setFocusProxy(txtSearch_);
}

frmStats::~frmStats() = default;

void frmStats::Load(QMdiSubWindow& frame, int backColor, const QStringList& myCars) {
    frame_ = &frame;
    open_ = true;
    QSize size(TwipsToPixels(frame, kDesignWidthTwips), TwipsToPixels(frame, kDesignHeightTwips));
    if (const QMdiArea* area = frame.mdiArea(); area != nullptr && area->isVisible()) {
        size = size.boundedTo(area->viewport()->size() - QSize(2 * frame.x(), 2 * frame.y()));
    }
    frame.resize(size);
    RestoreWindowPlacement(settings_, kStatsScreenSettingsKey, frame);
    Activate(backColor);
    cars_.SetMyCars(myCars);
    myCars_ = myCars;
    if (Season()) {
        AskLogbook(true);  // the car is chosen when the figures arrive
        return;
    }
    Refresh();
    grdCars_->resizeColumnsToContents();
    const auto mine = std::find_if(myCars.begin(), myCars.end(),
                                   [this](const QString& car) { return cars_.RowOf(car) >= 0; });
    if (mine != myCars.end()) {
        ChooseCar(*mine);
    } else if (shown_.rowCount() > 0) {
        ChooseCar(shown_.index(0, 0).data().toString());
    }
    // Once the window has its size, the chosen car's row in the middle of the table.
    QTimer::singleShot(0, this, [this] {
        const QModelIndex current = grdCars_->currentIndex();
        if (current.isValid()) {
            grdCars_->scrollTo(current, QAbstractItemView::PositionAtCenter);
        }
    });
}

void frmStats::UpdateDisplay() {
    if (!paused_) {
        Refresh();
    }
}

void frmStats::Refresh() {
    if (Season()) {
        SeasonRacesStored();
        return;
    }
    tracker_.Update(tables_.AllRunsTable());
    cars_.Update(tracker_.Figures());
    ShowCount();
    const CarFigures* figures = chosen_.isEmpty() ? nullptr : tracker_.Find(chosen_);
    const bool same =
        figures != nullptr ? chosenFigures_ && *chosenFigures_ == *figures : !chosenFigures_;
    if (!same) {
        ShowChosenCar();
    }
}

void frmStats::ShowCount() {
    const RunTable& table = tables_.AllRunsTable();
    const int races = table.IsEmpty() ? 0 : (table.RightRow() + 1) / 2;
    lblCount_->setText(QStringLiteral("%1 cars in %2 races").arg(cars_.rowCount()).arg(races));
}

void frmStats::ShowChosenCar() {
    if (Season()) {
        AskLogbook(false);
        return;
    }
    const CarFigures* figures = chosen_.isEmpty() ? nullptr : tracker_.Find(chosen_);
    if (figures == nullptr) {
        chosenFigures_.reset();
        ShowRuns({}, false);
        lblCar_->clear();
        lblDialIn_->clear();
        airChart_->Show({});
        return;
    }
    const std::vector<CarRun> runs = ReadCarRuns(tables_.AllRunsTable(), chosen_);
    ShowRuns(runs, chosenFigures_ && chosenFigures_->car == figures->car);
    OpponentChosen();
    AskLogbook(false, runs);
    // With a logbook the next dial-in stands on its own line, corrected to the air.
    const QString summary = CarSummaryText(*figures, reader_ == nullptr);
    lblCar_->setText(QStringLiteral("Car %1:  %2").arg(chosen_, summary));
    lblCar_->setToolTip(summary);
    chosenFigures_ = *figures;
}

void frmStats::ShowRuns(const std::vector<CarRun>& runs, bool sameCar) {
    charts_->Show(runs);
    // The newest run on top, as in the race log.
    runs_.Load(runs.empty()
                   ? TextTable{}
                   : Compact(CarRunsTable(std::vector<CarRun>(runs.rbegin(), runs.rend()))));
    grdRuns_->setColumnHidden(runs_.ColumnOf(QStringLiteral("Row")), true);
    // Widths follow the car on show; the same car's next run keeps them (no second layout of
    // every cell on each race).
    if (!sameCar) {
        grdRuns_->resizeColumnsToContents();
    }
    meeting_->SetRuns(runs);
}

void frmStats::SelectionChanged() {
    const QModelIndex current = grdCars_->selectionModel()->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const QString car = shown_.index(current.row(), 0).data().toString();
    if (car != chosen_) {
        chosen_ = car;
        ShowChosenCar();
    }
}

void frmStats::ChooseCar(const QString& car) {
    const int row = cars_.RowOf(car);
    const QModelIndex shown = row >= 0 ? shown_.mapFromSource(cars_.index(row, 0)) : QModelIndex();
    if (shown.isValid()) {
        grdCars_->selectionModel()->setCurrentIndex(
            shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        grdCars_->scrollTo(shown);
    }
    if (car != chosen_) {
        chosen_ = car;
        ShowChosenCar();
    }
}

void frmStats::SetPaused(bool paused) {
    if (paused == paused_) {
        return;
    }
    paused_ = paused;
    cmdPause_->setChecked(paused);
    ShowPauseState();
    setWindowTitle(paused ? kPausedCaption : kCaption);
    if (!paused) {
        Refresh();
    }
}

void frmStats::ShowPauseState() {
    // The button says what a click does.
    cmdPause_->setText(paused_ ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    cmdPause_->setToolTip(paused_ ? QStringLiteral("Resume Statistics Updates")
                                  : QStringLiteral("Pause Statistics Updates"));
    cmdPause_->setIcon(paused_ ? QIcon::fromTheme(QStringLiteral("media-playback-start"),
                                                  style()->standardIcon(QStyle::SP_MediaPlay))
                               : QIcon::fromTheme(QStringLiteral("media-playback-pause"),
                                                  style()->standardIcon(QStyle::SP_MediaPause)));
}

void frmStats::Activate(int backColor) {
    const QColor color = ColorForValue(backColor, QPalette());
    QPalette around = palette();
    around.setColor(QPalette::Window, color);
    // Labels readable on a dark colour as on a light one.
    around.setColor(QPalette::WindowText, color.lightness() < 128 ? Qt::white : Qt::black);
    setPalette(around);
    for (QTableView* table : {grdCars_, grdRuns_}) {
        QPalette base = table->palette();
        base.setColor(QPalette::Base, color);
        table->setPalette(base);
    }
}

void frmStats::SetMyCars(const QStringList& numbers) {
    cars_.SetMyCars(numbers);
}

void frmStats::Unload() {
    if (!open_) {
        return;
    }
    open_ = false;
    if (frame_ != nullptr) {
        SaveWindowPlacement(settings_, kStatsScreenSettingsKey, *frame_);
    }
    Q_EMIT Unloaded();
}

void frmStats::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

}  // namespace orvanrx
