#include "analysis/CarTrend.h"

#include <QDateTime>

#include "analysis/LogFigures.h"

namespace orvanrx {

namespace {

std::optional<double> FigureOf(const CarRun& run, TrendFigure figure) {
    switch (figure) {
        case TrendFigure::SixtyFoot:
            return run.sixtyFoot;
        case TrendFigure::Et:
            return run.et;
        case TrendFigure::Mph:
            return run.mph;
        case TrendFigure::Rt:
            return run.rt;
    }
    return std::nullopt;
}

QDateTime TimeOf(const QString& dateTime) {
    QDateTime at = QDateTime::fromString(dateTime, QString::fromLatin1(kDateTimeCellFormat));
    if (!at.isValid()) {
        at = QDateTime::fromString(dateTime, Qt::ISODate);
    }
    return at;
}

}  // namespace

QString TrendFigureTitle(TrendFigure figure) {
    switch (figure) {
        case TrendFigure::SixtyFoot:
            return QStringLiteral("60 ft");
        case TrendFigure::Et:
            return QStringLiteral("1/4 mile ET");
        case TrendFigure::Mph:
            return QStringLiteral("1/4 mile MPH");
        case TrendFigure::Rt:
            return QStringLiteral("Reaction time");
    }
    return {};
}

CarTrend TrendOf(const std::vector<CarRun>& runs, TrendFigure figure) {
    CarTrend trend;
    std::vector<QDateTime> times;
    times.reserve(runs.size());
    trend.timed = true;
    for (const CarRun& run : runs) {
        times.push_back(TimeOf(run.dateTime));
        trend.timed = trend.timed && times.back().isValid();
        trend.oneDay = trend.oneDay && DayOf(run.dateTime) == DayOf(runs.front().dateTime);
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (const std::optional<double> value = FigureOf(runs[i], figure)) {
            const double x = trend.timed ? static_cast<double>(times[i].toMSecsSinceEpoch())
                                         : static_cast<double>(i + 1);
            trend.points.push_back({x, *value, runs[i].result});
        }
    }
    return trend;
}

}  // namespace orvanrx
