#include "gui/StatsAirChart.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "gui/DialogKit.h"

namespace orvanrx {

namespace {

const QColor kRunColor(40, 110, 190);
const QColor kRedLightColor(205, 35, 35);
const QColor kLineColor(235, 140, 20);

// The round step (1, 2 or 5 times a power of ten) nearest above `rough`.
double RoundStep(double rough) {
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= rough) {
            return m * power;
        }
    }
    return 10.0 * power;
}

}  // namespace

StatsAirChart::StatsAirChart(QWidget* parent)
    : QWidget(parent),
      chart_(new QChart),
      runs_(new QScatterSeries),
      redLights_(new QScatterSeries),
      line_(new QLineSeries),
      x_(new QValueAxis),
      y_(new QValueAxis),
      lblSummary_(new QLabel(this)) {
    setObjectName(QStringLiteral("StatsAirChart"));
    QFont titleFont = TahomaFont(9);
    titleFont.setBold(true);
    chart_->setTitle(QStringLiteral("1/4-mile ET against density altitude"));
    chart_->setTitleFont(titleFont);
    chart_->setMargins(QMargins(2, 2, 6, 2));
    chart_->setBackgroundRoundness(3);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->legend()->setFont(TahomaFont(8));
    runs_->setName(QStringLiteral("Run"));
    runs_->setColor(kRunColor);
    runs_->setBorderColor(kRunColor.darker(130));
    runs_->setMarkerSize(9.0);
    redLights_->setName(QStringLiteral("Red light"));
    redLights_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    redLights_->setColor(Qt::transparent);
    redLights_->setBorderColor(kRedLightColor);
    redLights_->setMarkerSize(9.0);
    line_->setName(QStringLiteral("Least-squares line"));
    line_->setPen(QPen(kLineColor, 2.0));
    chart_->addSeries(line_);
    chart_->addSeries(runs_);
    chart_->addSeries(redLights_);
    x_->setTitleText(QStringLiteral("Density altitude (ft)"));
    x_->setLabelFormat(QStringLiteral("%.0f"));
    y_->setTitleText(QStringLiteral("ET (s)"));
    y_->setLabelFormat(QStringLiteral("%.3f"));
    for (QValueAxis* axis : {x_, y_}) {
        axis->setLabelsFont(TahomaFont(8));
        axis->setTitleFont(TahomaFont(8));
        axis->setTickCount(5);
    }
    chart_->addAxis(x_, Qt::AlignBottom);
    chart_->addAxis(y_, Qt::AlignLeft);
    for (QXYSeries* series : {static_cast<QXYSeries*>(line_), static_cast<QXYSeries*>(runs_),
                              static_cast<QXYSeries*>(redLights_)}) {
        series->attachAxis(x_);
        series->attachAxis(y_);
    }
    view_ = new QChartView(chart_, this);
    view_->setObjectName(QStringLiteral("chtEtAgainstAir"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(240, 180);
    view_->setAccessibleName(chart_->title());
    lblSummary_->setObjectName(QStringLiteral("lblAirSummary"));
    lblSummary_->setWordWrap(true);
    lblSummary_->setTextFormat(Qt::PlainText);
    lblSummary_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblSummary_->setAccessibleName(QStringLiteral("ET against the air, in words"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(view_, 1);
    layout->addWidget(lblSummary_);
    Show({});
}

void StatsAirChart::Show(const EtAgainstAir& chart) {
    QList<QPointF> full;
    QList<QPointF> red;
    for (const EtAirPoint& point : chart.points) {
        (point.redLight ? red : full).append(QPointF(point.densityAltitudeFt, point.et));
    }
    runs_->replace(full);
    redLights_->replace(red);
    const QString summary = EtAgainstAirText(chart);
    lblSummary_->setText(summary);
    view_->setAccessibleDescription(summary);
    if (chart.points.empty()) {
        line_->clear();
        for (QValueAxis* axis : {x_, y_}) {
            axis->setTickType(QValueAxis::TicksFixed);  // no interval of another range
        }
        x_->setRange(0, 1000);
        y_->setRange(0, 1);
        return;
    }
    const auto [lowX, highX] = std::minmax_element(
        chart.points.begin(), chart.points.end(), [](const EtAirPoint& a, const EtAirPoint& b) {
            return a.densityAltitudeFt < b.densityAltitudeFt;
        });
    const auto [lowY, highY] =
        std::minmax_element(chart.points.begin(), chart.points.end(),
                            [](const EtAirPoint& a, const EtAirPoint& b) { return a.et < b.et; });
    const double x0 = lowX->densityAltitudeFt;
    const double x1 = highX->densityAltitudeFt;
    double y0 = lowY->et;
    double y1 = highY->et;
    if (chart.slope && chart.intercept) {
        const QPointF from(x0, *chart.intercept + *chart.slope * x0);
        const QPointF to(x1, *chart.intercept + *chart.slope * x1);
        line_->replace({from, to});
        y0 = std::min({y0, from.y(), to.y()});
        y1 = std::max({y1, from.y(), to.y()});
    } else {
        line_->clear();
    }
    const double roomX = std::max((x1 - x0) / 20.0, 100.0);
    x_->setRange(x0 - roomX, x1 + roomX);
    const double roomY = std::max((y1 - y0) / 20.0, 0.01);
    y_->setRange(y0 - roomY, y1 + roomY);
    // Ticks at round figures (1, 2 or 5 times a power of ten) inside the data's own range.
    for (QValueAxis* axis : {x_, y_}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
        axis->setTickInterval(RoundStep((axis->max() - axis->min()) / 6.0));
    }
}

int StatsAirChart::PointCount() const {
    return static_cast<int>(runs_->count() + redLights_->count());
}

int StatsAirChart::LinePointCount() const {
    return static_cast<int>(line_->count());
}

QString StatsAirChart::SummaryText() const {
    return lblSummary_->text();
}

}  // namespace orvanrx
