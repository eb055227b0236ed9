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

// "yyyy-MM-dd HH:mm:ss" read by position (QDateTime's parser is slow), else ISO 8601; an
// invalid date and time when neither reads.
std::pair<QDate, QTime> WallClockOf(const QString& text) {
    const auto number = [&text](int from, int length) {
        int value = 0;
        for (int i = from; i < from + length; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9') {
                return -1;
            }
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    if (text.size() == 19 && text[4] == u'-' && text[7] == u'-' && text[10] == u' ' &&
        text[13] == u':' && text[16] == u':') {
        const QDate date(number(0, 4), number(5, 2), number(8, 2));
        const QTime time(number(11, 2), number(14, 2), number(17, 2));
        if (date.isValid() && time.isValid()) {
            return {date, time};
        }
    }
    const QDateTime iso = QDateTime::fromString(text, Qt::ISODate);
    return {iso.date(), iso.time()};
}

// Each run's time as milliseconds since the epoch; nothing when a run's time cannot be read.
std::optional<std::vector<double>> RunTimes(const std::vector<CarRun>& runs) {
    std::vector<double> times;
    times.reserve(runs.size());
    std::optional<int> offset;  // seconds east of UTC, of the first run's local time
    for (const CarRun& run : runs) {
        const auto [date, time] = WallClockOf(run.dateTime);
        if (!date.isValid() || !time.isValid()) {
            return std::nullopt;
        }
        if (!offset) {
            offset = QDateTime(date, time).offsetFromUtc();
        }
        constexpr qint64 kUnixEpochJulianDay = 2440588;
        constexpr double kDayMs = 86400000.0;
        times.push_back(static_cast<double>(date.toJulianDay() - kUnixEpochJulianDay) * kDayMs +
                        time.msecsSinceStartOfDay() - *offset * 1000.0);
    }
    return times;
}

CarTrend TrendWith(const std::vector<CarRun>& runs, const std::optional<std::vector<double>>& times,
                   TrendFigure figure) {
    CarTrend trend;
    trend.timed = times.has_value();
    for (const CarRun& run : runs) {
        trend.oneDay = trend.oneDay && DayOf(run.dateTime) == DayOf(runs.front().dateTime);
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (const std::optional<double> value = FigureOf(runs[i], figure)) {
            const double x = times ? (*times)[i] : static_cast<double>(i + 1);
            trend.points.push_back({x, *value, runs[i].result});
        }
    }
    return trend;
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
    return TrendWith(runs, RunTimes(runs), figure);
}

std::array<CarTrend, 4> TrendsOf(const std::vector<CarRun>& runs) {
    const std::optional<std::vector<double>> times = RunTimes(runs);
    return {TrendWith(runs, times, TrendFigure::SixtyFoot), TrendWith(runs, times, TrendFigure::Et),
            TrendWith(runs, times, TrendFigure::Mph), TrendWith(runs, times, TrendFigure::Rt)};
}

}  // namespace orvanrx
