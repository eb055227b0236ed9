#pragma once

#include <QWidget>

#include "logbook/CarAir.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace orvanrx {

// The chosen car's 1/4-mile ETs against the air they were run in: a point per run whose air is
// known, at the density altitude of its air (a red-lit run as an open square), and the
// least-squares line through the full runs when there is one. Below it, what it shows in words,
// which is also the chart's accessible description.
class StatsAirChart final : public QWidget {
    Q_OBJECT
public:
    explicit StatsAirChart(QWidget* parent = nullptr);

    void Show(const EtAgainstAir& chart);

    // For tests.
    QChart* Chart() const { return chart_; }
    int PointCount() const;
    int LinePointCount() const;
    QString SummaryText() const;

private:
    QChartView* view_;
    QChart* chart_;
    QScatterSeries* runs_;
    QScatterSeries* redLights_;
    QLineSeries* line_;
    QValueAxis* x_;
    QValueAxis* y_;
    QLabel* lblSummary_;
};

}  // namespace orvanrx
