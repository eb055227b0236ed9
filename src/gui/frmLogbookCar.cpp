// The logbook window's Car tab: a car over the season, its figures and runs.
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/StatsTables.h"
#include "gui/LogbookTables.h"
#include "gui/frmLogbook.h"
#include "logbook/CarAir.h"
#include "logbook/SeasonStats.h"

namespace orvanrx {

QWidget* frmLogbook::NewCarPage() {
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
    lblDialIn_ = new QLabel(carPage);
    lblDialIn_->setObjectName(QStringLiteral("lblDialIn"));
    lblDialIn_->setWordWrap(true);
    lblDialIn_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grdFigures_ = NewLogbookTable(carPage);
    grdCarRuns_ = NewLogbookTable(carPage);
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
    carLayout->addWidget(lblDialIn_);
    carLayout->addWidget(split, 1);

    return carPage;
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
        lblDialIn_->clear();
        grdFigures_->clear();
        grdCarRuns_->clear();
        return;
    }
    // The next dial-in rests on every run of the car before now, whatever the choice of races:
    // its answer to the air is learned across tracks and days.
    lblDialIn_->setText(DialInText(
        PredictCarEt(*logbook_, car_, now_().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))));
    const CarSeason season = ReadCarSeason(*logbook_, Selection(), car_);
    if (season.runs.empty()) {
        lblCar_->setText(QStringLiteral("Car %1 has no runs in the chosen races.").arg(car_));
    } else {
        // The next dial-in stands on its own line below, so one dial-in shows.
        lblCar_->setText(
            QStringLiteral("<b>%1</b> · %2").arg(car_, CarSummaryText(season.figures, false)));
    }
    FillLogbookTable(*grdFigures_, CarFiguresTable(season.figures));
    grdFigures_->horizontalHeader()->setStretchLastSection(true);
    // Newest first, as the statistics window lists them.
    std::vector<CarRun> newest(season.runs.rbegin(), season.runs.rend());
    FillLogbookTable(*grdCarRuns_, CarRunsTable(newest));
}

}  // namespace orvanrx
