#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "analysis/CarStats.h"
#include "analysis/CarTrend.h"

class QAbstractAxis;
class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace orvanrx {

// The charts of one car in the statistics window: 60 ft, 1/4-mile ET, 1/4-mile MPH and
// reaction time run by run over the day, two by two. Each run is a point on a thin line in
// log order, drawn by its result: a green dot for a win, a red square for a loss, a grey dot
// for a bye or a race without a decision. The time axis shows the time of day (with seconds
// when the runs are minutes apart, with the date when they span days), or the run's number
// when a run's time cannot be read.
class StatsCharts final : public QWidget {
    Q_OBJECT
public:
    static constexpr std::array<TrendFigure, 4> kFigures{TrendFigure::SixtyFoot, TrendFigure::Et,
                                                         TrendFigure::Mph, TrendFigure::Rt};

    explicit StatsCharts(QWidget* parent = nullptr);
    ~StatsCharts() override;

    // The runs' figures; no runs: empty charts.
    void Show(const std::vector<CarRun>& runs);

    // For tests: a figure's chart and how many points of each result it shows (wins, losses,
    // others).
    QChart* Chart(TrendFigure figure) const;
    std::array<int, 3> PointCounts(TrendFigure figure) const;

private:
    struct Panel;
    void ShowTrend(Panel& panel, const CarTrend& trend);
    void UseTimeAxis(Panel& panel, bool timed);

    std::vector<Panel> panels_;
};

}  // namespace orvanrx
