#include "weather/DialPrediction.h"

#include <algorithm>
#include <cmath>

namespace orvanrx::air {

namespace {

// The fleet default response is the textbook one (ET with the cube root of the power lost to the
// air, the power with the SAE J1349 factor) taken at the factor's standard air; cars answer the
// air by their own amounts around it, typically this fraction of the default either way.
constexpr double kResponseSpread = 0.35;
// A car's form wanders from one meet to the next (set-up, weight, tyres, the track surface) by
// about this much, seconds; runs on one day share their level.
constexpr double kFormWander = 0.006;
// A run's scatter before a car's own is known, and the least the fit assumes, seconds.
constexpr double kTypicalScatter = 0.012;
constexpr double kMinScatter = 0.005;
// The days of history the fit looks at.
constexpr int kMaxDays = 40;
// Runs this far off the median of the recent ones are no full runs.
constexpr double kGrossFraction = 0.15;
constexpr int kMedianOfRecent = 15;
// The fit gives runs beyond this many scatters less weight (Huber), and leaves out runs
// beyond the cut (and beyond the minimum): lifts, breakage.
constexpr double kHuberScatters = 1.345;
constexpr double kResidualScatters = 4.0;
constexpr double kMinResidualCut = 0.05;
constexpr int kRobustPasses = 10;

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
// SAE J1349 factor; slopes at the factor's standard air (25 °C, 990 hPa dry), seconds per °C
// and per hPa for a car running `et` there.
std::pair<double, double> DefaultResponse(double et) {
    const AirReading standard{25.0, 0.0, 990.0};
    const double h = 0.5;
    AirReading warmer = standard;
    warmer.tempC += h;
    AirReading denser = standard;
    denser.pressureHpa += h;
    const double cf = SaeCorrectionFactor(standard);
    const double perDegree = et / 3.0 * (SaeCorrectionFactor(warmer) - cf) / (h * cf);
    const double perHpa = et / 3.0 * (SaeCorrectionFactor(denser) - cf) / (h * cf);
    return {perDegree, perHpa};
}

struct Fit {
    std::vector<double> levels;  // by day, 0 the latest
    double perDegree = 0.0;
    double perHpa = 0.0;
    // The latest level's variance in units of the run scatter squared.
    double levelVariance = 0.0;
};

// Weighted least squares of ET on a level per day and the two responses, with the day-to-day
// changes of level and the responses' distance from the default penalised as a car's form
// and the fleet's responses vary, for runs of the given scatter.
Fit FitResponse(const std::vector<Point>& points, const std::vector<double>& weights, int days,
                std::pair<double, double> prior, double scatter) {
    const std::size_t n = static_cast<std::size_t>(days) + 2;
    const std::size_t t = n - 2;
    const std::size_t p = n - 1;
    std::vector<double> a(n * n, 0.0);
    std::vector<double> b(n, 0.0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point& q = points[i];
        const double w = weights[i];
        const auto d = static_cast<std::size_t>(q.day);
        const std::size_t index[3] = {d, t, p};
        const double x[3] = {1.0, q.dT, q.dP};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                a[index[r] * n + index[c]] += w * x[r] * x[c];
            }
            b[index[r]] += w * x[r] * q.et;
        }
    }
    const double ratio = scatter / kFormWander;
    const double stiffness = ratio * ratio;
    for (std::size_t d = 0; d + 1 < t; ++d) {
        a[d * n + d] += stiffness;
        a[(d + 1) * n + d + 1] += stiffness;
        a[d * n + d + 1] -= stiffness;
        a[(d + 1) * n + d] -= stiffness;
    }
    const double sdDegree = std::max(1e-6, kResponseSpread * std::abs(prior.first));
    const double sdHpa = std::max(1e-7, kResponseSpread * std::abs(prior.second));
    const double l1 = scatter * scatter / (sdDegree * sdDegree);
    const double l2 = scatter * scatter / (sdHpa * sdHpa);
    a[t * n + t] += l1;
    b[t] += l1 * prior.first;
    a[p * n + p] += l2;
    b[p] += l2 * prior.second;
    std::vector<double> unit(n, 0.0);
    unit[0] = 1.0;
    std::vector<double> copy = a;
    Fit fit;
    if (!Solve(a, b, n) || !Solve(copy, unit, n)) {
        return fit;
    }
    fit.levels.assign(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(t));
    fit.perDegree = b[t];
    fit.perHpa = b[p];
    fit.levelVariance = unit[0];
    return fit;
}

double Residual(const Fit& fit, const Point& q) {
    return q.et - fit.levels[static_cast<std::size_t>(q.day)] - fit.perDegree * q.dT -
           fit.perHpa * q.dP;
}

// The run scatter from the residuals: their robust deviation, counting the day levels as
// fitted (runs alone on their day say nothing about the scatter).
double ScatterOf(const Fit& fit, const std::vector<Point>& points, int days) {
    std::vector<int> perDay(static_cast<std::size_t>(days), 0);
    for (const Point& q : points) {
        ++perDay[static_cast<std::size_t>(q.day)];
    }
    std::vector<double> deviations;
    for (const Point& q : points) {
        const int m = perDay[static_cast<std::size_t>(q.day)];
        if (m >= 2) {
            // A residual of a day of m runs is about sqrt((m - 1) / m) of the scatter.
            deviations.push_back(std::abs(Residual(fit, q)) *
                                 std::sqrt(static_cast<double>(m) / (m - 1)));
        }
    }
    if (deviations.size() < 3) {
        return kTypicalScatter;
    }
    return std::max(kMinScatter, 1.4826 * Median(deviations));
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

    // A robust fit: runs far from the fit weigh less (Huber's weights, refitted until they
    // settle), then those beyond the cut are left out for good and the rest fitted plainly.
    const auto prior = DefaultResponse(median);
    std::vector<double> weights(points.size(), 1.0);
    double scatter = kTypicalScatter;
    Fit fit = FitResponse(points, weights, days, prior, scatter);
    for (int pass = 0; pass < kRobustPasses && !fit.levels.empty(); ++pass) {
        scatter = ScatterOf(fit, points, days);
        bool changed = false;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const double r = std::abs(Residual(fit, points[i]));
            const double w = r > kHuberScatters * scatter ? kHuberScatters * scatter / r : 1.0;
            changed = changed || std::abs(w - weights[i]) > 1e-3;
            weights[i] = w;
        }
        if (!changed) {
            break;
        }
        fit = FitResponse(points, weights, days, prior, scatter);
    }
    if (fit.levels.empty()) {
        return prediction;
    }
    const double cut = std::max(kMinResidualCut, kResidualScatters * scatter);
    std::erase_if(points, [&](const Point& q) { return std::abs(Residual(fit, q)) > cut; });
    if (points.empty()) {
        return prediction;
    }
    weights.assign(points.size(), 1.0);
    fit = FitResponse(points, weights, days, prior, scatter);
    if (fit.levels.empty()) {
        return prediction;
    }
    // The latest day's level: a new day is expected where the last one ended.
    prediction.et = fit.levels.front();
    prediction.usedAir = true;
    prediction.runs = static_cast<int>(points.size());
    prediction.perDegree = fit.perDegree;
    prediction.perHpa = fit.perHpa;
    // About 95 % of runs within: the run's own scatter and the level's uncertainty.
    prediction.spread = 2.0 * scatter * std::sqrt(1.0 + fit.levelVariance);
    return prediction;
}

}  // namespace orvanrx::air
