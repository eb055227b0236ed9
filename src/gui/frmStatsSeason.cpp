// The statistics window's season side: the source bar, the logbook's answers, the next dial-in,
// ET against the air and the head-to-head.

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTimer>

#include "analysis/FigureText.h"
#include "analysis/StatsTables.h"
#include "decoding/RunTables.h"
#include "gui/StatsAirChart.h"
#include "gui/StatsCharts.h"
#include "gui/StatsHeadToHead.h"
#include "gui/StatsSourceBar.h"
#include "gui/frmStats.h"

namespace orvanrx {

namespace {

// New races reach the logbook off the tick and come in bursts: the season is read again this
// long after the first of them.
constexpr int kSeasonRereadMs = 2000;

}  // namespace

void frmStats::BuildSeasonParts() {
    lblDialIn_->setObjectName(QStringLiteral("lblDialIn"));
    lblDialIn_->setTextFormat(Qt::PlainText);
    lblDialIn_->setAccessibleName(QStringLiteral("Next dial-in"));
    lblDialIn_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Wrapped where the window is narrow; its width never moves the layout.
    lblDialIn_->setWordWrap(true);
    lblDialIn_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(source_, &StatsSourceBar::Changed, this, &frmStats::SourceChanged);
    connect(meeting_, &StatsHeadToHead::OpponentChosen, this, &frmStats::OpponentChosen);
}

void frmStats::UseLogbook(const QString& path) {
    logbookPath_ = path;
    reader_.reset();
    if (!path.isEmpty()) {
        // Answers come on the reader's thread: shown on the window's, the stale ones dropped.
        QPointer<frmStats> self(this);
        reader_ = std::make_unique<SeasonReader>(path, [self](SeasonAnswer answer) {
            if (self) {
                QMetaObject::invokeMethod(
                    self, [self, answer = std::move(answer)] { self->ShowAnswer(answer); },
                    Qt::QueuedConnection);
            }
        });
    }
    source_->SetSeasonAvailable(!path.isEmpty());
}

bool frmStats::Season() const {
    return source_ != nullptr && source_->Season() && reader_ != nullptr;
}

void frmStats::SourceChanged() {
    if (Season()) {
        AskLogbook(true);
        return;
    }
    // Back on the race log: its figures as they stand now.
    chosenFigures_.reset();
    Refresh();
    if (!chosenFigures_) {
        ShowChosenCar();
    }
}

void frmStats::SeasonRacesStored() {
    if (seasonDue_) {
        return;
    }
    seasonDue_ = true;
    QTimer::singleShot(kSeasonRereadMs, this, [this] {
        seasonDue_ = false;
        if (Season() && !paused_) {
            AskLogbook(true);
        }
    });
}

void frmStats::AskLogbook(bool allCars, std::vector<CarRun> logRuns) {
    if (!reader_) {
        return;
    }
    SeasonQuery query;
    query.serial = ++serial_;
    query.season = Season();
    pendingAllCars_ = query.season && (pendingAllCars_ || allCars);
    query.allCars = pendingAllCars_;
    query.selection = source_->Selection();
    query.car = chosen_;
    query.against = meeting_->Opponent();
    if (!query.season && !chosen_.isEmpty()) {
        query.logRuns =
            logRuns.empty() ? ReadCarRuns(tables_.AllRunsTable(), chosen_) : std::move(logRuns);
    }
    query.at = source_->PredictionMoment();
    if (query.at.isEmpty() && !query.allCars) {
        query.at = seasonMoment_;  // found with the chosen races' figures
    }
    reader_->Ask(std::move(query));
}

void frmStats::WaitForLogbook() {
    // An answer may ask again (another car chosen): until the latest question is answered.
    for (int round = 0; reader_ && round < 8 && answered_ != serial_; ++round) {
        reader_->Flush();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

void frmStats::ShowAnswer(const SeasonAnswer& answer) {
    if (answer.serial != serial_ || !open_) {
        return;  // a later question is on its way
    }
    answered_ = answer.serial;
    lastAnswerMs_ = answer.milliseconds;
    if (!answer.error.isEmpty()) {
        lblDialIn_->setText(QStringLiteral("The logbook could not be read: ") + answer.error);
        return;
    }
    if (answer.season != Season()) {
        return;
    }
    if (answer.cars) {
        pendingAllCars_ = false;
        seasonMoment_ = answer.at;
        source_->SetTracks(answer.tracks.value_or(QStringList()));
        const bool first = cars_.rowCount() == 0;
        cars_.Update(*answer.cars);
        if (first) {
            grdCars_->resizeColumnsToContents();
        }
        lblCount_->setText(QStringLiteral("%1 cars in %2 races of the season")
                               .arg(cars_.rowCount())
                               .arg(answer.races.value_or(0)));
        if (chosen_.isEmpty() || cars_.RowOf(chosen_) < 0) {
            const auto mine =
                std::find_if(myCars_.begin(), myCars_.end(),
                             [this](const QString& c) { return cars_.RowOf(c) >= 0; });
            const QString first = mine != myCars_.end()   ? *mine
                                  : shown_.rowCount() > 0 ? shown_.index(0, 0).data().toString()
                                                          : QString();
            if (!first.isEmpty() && first != chosen_) {
                ChooseCar(first);  // asks again for that car
                return;
            }
        }
    }
    if (answer.season) {
        ShowSeasonCar(answer.car);
        meeting_->Show(answer.meeting);
    }
    lblDialIn_->setText(chosen_.isEmpty() ? QString() : DialInText(answer.dialIn));
    airChart_->Show(answer.air);
}

void frmStats::ShowSeasonCar(const CarSeason& season) {
    const bool sameCar = lblCar_->property("car").toString() == chosen_;
    ShowRuns(season.runs, sameCar);
    lblCar_->setProperty("car", chosen_);
    if (chosen_.isEmpty()) {
        lblCar_->clear();
    } else if (season.runs.empty()) {
        lblCar_->setText(QStringLiteral("Car %1 has no runs in the chosen races.").arg(chosen_));
    } else {
        const QString summary = CarSummaryText(season.figures, false);
        lblCar_->setText(QStringLiteral("Car %1:  %2").arg(chosen_, summary));
        lblCar_->setToolTip(summary);
    }
}

void frmStats::OpponentChosen() {
    if (Season()) {
        AskLogbook(false);
        return;
    }
    if (!meeting_->isVisibleTo(this)) {
        return;  // figured when its tab is chosen
    }
    const QString against = meeting_->Opponent();
    meeting_->Show(chosen_.isEmpty() || against.isEmpty()
                       ? HeadToHead{}
                       : ComputeHeadToHead(tables_.AllRunsTable(), chosen_, against));
}

}  // namespace orvanrx
