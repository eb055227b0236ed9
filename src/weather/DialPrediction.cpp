#include "weather/DialPrediction.h"

#include <algorithm>
#include <cmath>

namespace orvanrx::air {

namespace {

// How strongly the fleet default holds the response: as much as this many runs spread over a
// typical range of the air (a day's temperatures, the pressures of different tracks).
constexpr double kPriorRuns = 1.0;
constexpr double kTypicalDegrees = 6.0;
constexpr double kTypicalHpa = 25.0;
// A car's level wanders from day to day (set-up, weight, tyres, the track): the penalty on a
// day's change of level, in runs. Its square root is about the run scatter over the day-to-day
// wander; a larger value trusts the older days more.
constexpr double kLevelStiffness = 4.0;
// The days of history the fit looks at.
constexpr int kMaxDays = 40;
// Runs this far off the median of the recent ones are no full runs.
constexpr double kGrossFraction = 0.15;
constexpr int kMedianOfRecent = 15;
// Residuals beyond this many robust deviations (and beyond the minimum) are left out.
constexpr double kResidualDeviations = 4.0;
constexpr double kMinResidualCut = 0.08;
// The spread from the residuals of this many latest runs.
constexpr std::size_t kSpreadRuns = 20;

struct Point {
    double et = 0.0;
    double dT = 0.0;  // temperature less the moment's
    double dP = 0.0;  // dry-air pressure less the moment's
    int day = 0;      // 0 the car's latest day in the fit
};

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const auto mid = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    double m = *mid;
    if (values.size() % 2 == 0) {
        m = (m + *std::max_element(values.begin(), mid)) / 2.0;
    }
    return m;
}

// Solves a x = b (a n×n, row-major) by Gaussian elimination with partial pivoting; false when
// singular.
bool Solve(std::vector<double>& a, std::vector<double>& b, std::size_t n) {
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r) {
            if (std::abs(a[r * n + c]) > std::abs(a[pivot * n + c])) {
                pivot = r;
            }
        }
        if (std::abs(a[pivot * n + c]) < 1e-12) {
            return false;
        }
        if (pivot != c) {
            for (std::size_t k = 0; k < n; ++k) {
                std::swap(a[c * n + k], a[pivot * n + k]);
            }
            std::swap(b[c], b[pivot]);
        }
        for (std::size_t r = c + 1; r < n; ++r) {
            const double f = a[r * n + c] / a[c * n + c];
            if (f != 0.0) {
                for (std::size_t k = c; k < n; ++k) {
                    a[r * n + k] -= f * a[c * n + k];
                }
                b[r] -= f * b[c];
            }
        }
    }
    for (std::size_t c = n; c-- > 0;) {
        double sum = b[c];
        for (std::size_t k = c + 1; k < n; ++k) {
            sum -= a[c * n + k] * b[k];
        }
        b[c] = sum / a[c * n + c];
    }
    return true;
}

// The fleet default: ET with the cube root of the power lost to the air, the power with the
// SAE J1349 factor; slopes at the moment's air, seconds per °C and per hPa.
std::pair<double, double> DefaultResponse(double et, const AirReading& at) {
    const double cf = SaeCorrectionFactor(at);
    const double h = 0.5;
    AirReading warmer = at;
    warmer.tempC += h;
    AirReading denser = at;
    denser.pressureHpa += h;
    const double perDegree = et / 3.0 * (SaeCorrectionFactor(warmer) - cf) / (h * cf);
    const double perHpa = et / 3.0 * (SaeCorrectionFactor(denser) - cf) / (h * cf);
    return {perDegree, perHpa};
}

struct Fit {
    std::vector<double> levels;  // by day, 0 the latest
    double perDegree = 0.0;
    double perHpa = 0.0;
};

// Least squares of ET on a level per day and the two responses, the day-to-day changes of
// level and the responses' distance from the default penalised.
Fit FitResponse(const std::vector<Point>& points, int days, std::pair<double, double> prior) {
    const std::size_t n = static_cast<std::size_t>(days) + 2;
    const std::size_t t = n - 2;
    const std::size_t p = n - 1;
    std::vector<double> a(n * n, 0.0);
    std::vector<double> b(n, 0.0);
    for (const Point& q : points) {
        const auto d = static_cast<std::size_t>(q.day);
        const std::size_t index[3] = {d, t, p};
        const double x[3] = {1.0, q.dT, q.dP};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                a[index[r] * n + index[c]] += x[r] * x[c];
            }
            b[index[r]] += x[r] * q.et;
        }
    }
    for (std::size_t d = 0; d + 1 < t; ++d) {
        a[d * n + d] += kLevelStiffness;
        a[(d + 1) * n + d + 1] += kLevelStiffness;
        a[d * n + d + 1] -= kLevelStiffness;
        a[(d + 1) * n + d] -= kLevelStiffness;
    }
    const double l1 = kPriorRuns * kTypicalDegrees * kTypicalDegrees;
    const double l2 = kPriorRuns * kTypicalHpa * kTypicalHpa;
    a[t * n + t] += l1;
    b[t] += l1 * prior.first;
    a[p * n + p] += l2;
    b[p] += l2 * prior.second;
    Fit fit;
    if (!Solve(a, b, n)) {
        return fit;
    }
    fit.levels.assign(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(t));
    fit.perDegree = b[t];
    fit.perHpa = b[p];
    return fit;
}

double Residual(const Fit& fit, const Point& q) {
    return q.et - fit.levels[static_cast<std::size_t>(q.day)] - fit.perDegree * q.dT -
           fit.perHpa * q.dP;
}

}  // namespace

DialPrediction PredictEt(const std::vector<PredictorRun>& runs, std::int64_t at,
                         const std::optional<AirReading>& airAt) {
    // The usable runs before the moment, newest first.
    std::vector<const PredictorRun*> before;
    for (const PredictorRun& r : runs) {
        if (r.seconds < at && std::isfinite(r.et) && r.et > 0.0 && !(r.rt && *r.rt < 0.0)) {
            before.push_back(&r);
        }
    }
    std::stable_sort(
        before.begin(), before.end(),
        [](const PredictorRun* a, const PredictorRun* b) { return a->seconds > b->seconds; });
    DialPrediction prediction;
    if (before.empty()) {
        return prediction;
    }
    std::vector<double> recent;
    for (std::size_t i = 0; i < before.size() && i < static_cast<std::size_t>(kMedianOfRecent);
         ++i) {
        recent.push_back(before[i]->et);
    }
    const double median = Median(recent);
    std::erase_if(before, [median](const PredictorRun* r) {
        return std::abs(r->et - median) > kGrossFraction * median;
    });
    if (before.empty()) {
        return prediction;  // runs too far apart to say which is the car's usual
    }

    // The runs with their air, the days counted back from the latest.
    std::vector<Point> points;
    int days = 0;
    if (airAt) {
        const double pdAt = DryAirPressure(*airAt);
        std::int64_t lastDay = 0;
        for (const PredictorRun* r : before) {
            if (!r->air) {
                continue;
            }
            const std::int64_t day = r->seconds / 86400;
            if (points.empty() || day != lastDay) {
                if (days == kMaxDays) {
                    break;
                }
                ++days;
                lastDay = day;
            }
            points.push_back(
                {r->et, r->air->tempC - airAt->tempC, DryAirPressure(*r->air) - pdAt, days - 1});
        }
    }
    if (points.empty()) {
        // Blind to the air: the mean of the last three.
        const std::size_t n = std::min<std::size_t>(3, before.size());
        double sum = 0.0;
        double lo = before[0]->et;
        double hi = lo;
        for (std::size_t i = 0; i < n; ++i) {
            sum += before[i]->et;
            lo = std::min(lo, before[i]->et);
            hi = std::max(hi, before[i]->et);
        }
        prediction.et = sum / static_cast<double>(n);
        if (n >= 2) {
            prediction.spread = hi - lo;
        }
        prediction.runs = static_cast<int>(n);
        return prediction;
    }

    const auto prior = DefaultResponse(median, *airAt);
    Fit fit = FitResponse(points, days, prior);
    for (int pass = 0; pass < 2 && !fit.levels.empty() && points.size() >= 4; ++pass) {
        std::vector<double> deviations;
        deviations.reserve(points.size());
        for (const Point& q : points) {
            deviations.push_back(std::abs(Residual(fit, q)));
        }
        const double cut =
            std::max(kMinResidualCut, kResidualDeviations * 1.4826 * Median(deviations));
        const auto size = points.size();
        std::erase_if(points, [&](const Point& q) { return std::abs(Residual(fit, q)) > cut; });
        if (points.size() == size || points.empty()) {
            break;
        }
        fit = FitResponse(points, days, prior);
    }
    if (points.empty() || fit.levels.empty()) {
        return prediction;
    }
    // The latest day's level: a new day is expected where the last one ended.
    prediction.et = fit.levels.front();
    prediction.usedAir = true;
    prediction.runs = static_cast<int>(points.size());
    prediction.perDegree = fit.perDegree;
    prediction.perHpa = fit.perHpa;
    if (points.size() >= 2) {
        double sum = 0.0;
        const std::size_t m = std::min(points.size(), kSpreadRuns);
        for (std::size_t i = 0; i < m; ++i) {
            const double r = Residual(fit, points[i]);
            sum += r * r;
        }
        prediction.spread = 2.0 * std::sqrt(sum / static_cast<double>(m));
    }
    return prediction;
}

}  // namespace orvanrx::air
