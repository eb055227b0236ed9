#include "gui/StatsCharts.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGridLayout>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

#include "gui/DialogKit.h"

namespace orvanrx {

namespace {

const QColor kWinColor(0, 150, 70);
const QColor kLossColor(205, 35, 35);
const QColor kOtherColor(140, 140, 140);
const QColor kLineColor(170, 180, 195);

QScatterSeries* Marks(const QString& name, const QColor& color, QScatterSeries::MarkerShape shape) {
    auto* marks = new QScatterSeries;
    marks->setName(name);
    marks->setColor(color);
    marks->setBorderColor(color.darker(130));
    marks->setMarkerShape(shape);
    marks->setMarkerSize(9.0);
    return marks;
}

// [low, high] widened by a twentieth on each side (at least `least`); a single value gets
// `alone` on each side.
std::pair<double, double> Padded(double low, double high, double least, double alone) {
    const double room = high > low ? std::max((high - low) / 20.0, least) : alone;
    return {low - room, high + room};
}

constexpr double kMinuteMs = 60 * 1000.0;

QString Counted(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// What a chart plots, in words for a screen reader: how many runs, the lowest, highest and
// latest figure, and the results.
QString ChartSummary(const CarTrend& trend, TrendFigure figure) {
    if (trend.points.empty()) {
        return QStringLiteral("No runs");
    }
    const int decimals = figure == TrendFigure::Mph ? 2 : 3;
    const auto [low, high] =
        std::minmax_element(trend.points.begin(), trend.points.end(),
                            [](const TrendPoint& a, const TrendPoint& b) { return a.y < b.y; });
    const auto count = [&](RunResult result) {
        return std::count_if(trend.points.begin(), trend.points.end(),
                             [result](const TrendPoint& p) { return p.result == result; });
    };
    const qsizetype wins = count(RunResult::Win);
    const qsizetype losses = count(RunResult::Loss);
    const qsizetype others = static_cast<qsizetype>(trend.points.size()) - wins - losses;
    return QStringLiteral("%1 in log order: lowest %2, highest %3, last %4; %5, %6, %7")
        .arg(Counted(static_cast<qsizetype>(trend.points.size()), "run", "runs"))
        .arg(low->y, 0, 'f', decimals)
        .arg(high->y, 0, 'f', decimals)
        .arg(trend.points.back().y, 0, 'f', decimals)
        .arg(Counted(wins, "win", "wins"), Counted(losses, "loss", "losses"),
             Counted(others, "other", "others"));
}

}  // namespace

struct StatsCharts::Panel {
    TrendFigure figure;
    QChartView* view = nullptr;
    QChart* chart = nullptr;
    QLineSeries* line = nullptr;
    QScatterSeries* wins = nullptr;
    QScatterSeries* losses = nullptr;
    QScatterSeries* others = nullptr;
    QAbstractAxis* x = nullptr;
    QValueAxis* y = nullptr;
    bool timed = false;

    std::array<QXYSeries*, 4> Series() const { return {line, wins, losses, others}; }
};

StatsCharts::StatsCharts(QWidget* parent) : QWidget(parent) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    QFont titleFont = TahomaFont(9);
    titleFont.setBold(true);
    const QFont axisFont = TahomaFont(8);
    for (const TrendFigure figure : kFigures) {
        Panel panel;
        panel.figure = figure;
        panel.chart = new QChart;
        panel.chart->setTitle(TrendFigureTitle(figure));
        panel.chart->setTitleFont(titleFont);
        panel.chart->legend()->hide();
        panel.chart->setMargins(QMargins(2, 2, 6, 2));
        panel.chart->setBackgroundRoundness(3);
        panel.line = new QLineSeries;
        panel.line->setPen(QPen(kLineColor, 1.5));
        panel.wins = Marks(QStringLiteral("Win"), kWinColor, QScatterSeries::MarkerShapeCircle);
        panel.losses =
            Marks(QStringLiteral("Loss"), kLossColor, QScatterSeries::MarkerShapeRectangle);
        panel.others =
            Marks(QStringLiteral("Other"), kOtherColor, QScatterSeries::MarkerShapeCircle);
        panel.others->setMarkerSize(7.0);
        for (QXYSeries* series : panel.Series()) {
            panel.chart->addSeries(series);
        }
        panel.y = new QValueAxis;
        panel.y->setLabelsFont(axisFont);
        panel.y->setLabelFormat(figure == TrendFigure::Mph ? QStringLiteral("%.1f")
                                                           : QStringLiteral("%.3f"));
        panel.y->setTickCount(5);
        panel.chart->addAxis(panel.y, Qt::AlignLeft);
        for (QXYSeries* series : panel.Series()) {
            series->attachAxis(panel.y);
        }
        panel.view = new QChartView(panel.chart, this);
        panel.view->setRenderHint(QPainter::Antialiasing);
        panel.view->setMinimumSize(220, 150);
        panel.view->setAccessibleName(TrendFigureTitle(figure));
        panel.view->setAccessibleDescription(ChartSummary({}, figure));
        panels_.push_back(panel);
        UseTimeAxis(panels_.back(), true);
        const int at = static_cast<int>(panels_.size()) - 1;
        layout->addWidget(panel.view, at / 2, at % 2);
    }
}

StatsCharts::~StatsCharts() = default;

void StatsCharts::UseTimeAxis(Panel& panel, bool timed) {
    if (panel.x != nullptr && panel.timed == timed) {
        return;
    }
    if (panel.x != nullptr) {
        for (QXYSeries* series : panel.Series()) {
            series->detachAxis(panel.x);
        }
        panel.chart->removeAxis(panel.x);
        delete panel.x;
    }
    QAbstractAxis* axis = nullptr;
    if (timed) {
        auto* times = new QDateTimeAxis;
        times->setTickCount(5);
        axis = times;
    } else {
        auto* numbers = new QValueAxis;
        numbers->setLabelFormat(QStringLiteral("%d"));
        numbers->setTitleText(QStringLiteral("Run"));
        axis = numbers;
    }
    axis->setLabelsFont(TahomaFont(8));
    panel.chart->addAxis(axis, Qt::AlignBottom);
    for (QXYSeries* series : panel.Series()) {
        series->attachAxis(axis);
    }
    panel.x = axis;
    panel.timed = timed;
}

void StatsCharts::Show(const std::vector<CarRun>& runs) {
    const std::array<CarTrend, 4> trends = TrendsOf(runs);
    for (Panel& panel : panels_) {
        ShowTrend(panel, trends[static_cast<std::size_t>(panel.figure)]);
    }
}

void StatsCharts::ShowTrend(Panel& panel, const CarTrend& trend) {
    QList<QPointF> line;
    std::array<QList<QPointF>, 3> marks;  // wins, losses, others
    for (const TrendPoint& point : trend.points) {
        const QPointF at(point.x, point.y);
        line.append(at);
        const std::size_t kind = point.result == RunResult::Win    ? 0
                                 : point.result == RunResult::Loss ? 1
                                                                   : 2;
        marks[kind].append(at);
    }
    panel.line->replace(line);
    panel.wins->replace(marks[0]);
    panel.losses->replace(marks[1]);
    panel.others->replace(marks[2]);
    panel.view->setAccessibleDescription(ChartSummary(trend, panel.figure));
    UseTimeAxis(panel, trend.timed);
    if (trend.points.empty()) {
        panel.y->setRange(0, 1);
        return;
    }
    const auto [lowY, highY] =
        std::minmax_element(trend.points.begin(), trend.points.end(),
                            [](const TrendPoint& a, const TrendPoint& b) { return a.y < b.y; });
    const double least = panel.figure == TrendFigure::Mph ? 0.5 : 0.005;
    const auto [y0, y1] = Padded(lowY->y, highY->y, least, 2 * least);
    panel.y->setRange(y0, y1);
    const double firstX = trend.points.front().x;
    const double lastX = trend.points.back().x;
    if (trend.timed) {
        // Ten minutes either side of a lone run; seconds on the axis when the runs are close.
        const auto [x0, x1] = Padded(firstX, lastX, 5000.0, 10 * kMinuteMs);
        auto* times = static_cast<QDateTimeAxis*>(panel.x);
        const bool close = x1 - x0 < 10 * kMinuteMs;
        // Days apart (a season): the day alone.
        const bool days = x1 - x0 > 3 * 24 * 60 * kMinuteMs;
        times->setFormat(close          ? QStringLiteral("HH:mm:ss")
                         : trend.oneDay ? QStringLiteral("HH:mm")
                         : days         ? QStringLiteral("MM-dd")
                                        : QStringLiteral("MM-dd HH:mm"));
        times->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x0)),
                        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x1)));
    } else {
        auto* numbers = static_cast<QValueAxis*>(panel.x);
        numbers->setRange(firstX - 0.5, lastX + 0.5);
        numbers->setTickCount(std::min(static_cast<int>(lastX - firstX) + 2, 6));
    }
}

QChart* StatsCharts::Chart(TrendFigure figure) const {
    for (const Panel& panel : panels_) {
        if (panel.figure == figure) {
            return panel.chart;
        }
    }
    return nullptr;
}

std::array<int, 3> StatsCharts::PointCounts(TrendFigure figure) const {
    for (const Panel& panel : panels_) {
        if (panel.figure == figure) {
            return {static_cast<int>(panel.wins->count()), static_cast<int>(panel.losses->count()),
                    static_cast<int>(panel.others->count())};
        }
    }
    return {};
}

}  // namespace orvanrx
