#pragma once

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace orvanrx {

// The race-day generator's source of chance. The engine's output is fixed by the C++ standard
// for a given seed, and every distribution is written out here rather than taken from the
// standard library (whose distributions differ between implementations), so one seed gives
// the same race day with every compiler.
class RaceDayRandom {
public:
    explicit RaceDayRandom(std::uint32_t seed) : engine_(seed) {}

    std::uint32_t Next() { return static_cast<std::uint32_t>(engine_()); }

    // A whole number from lo to hi inclusive, every value equally likely (lo <= hi, and the
    // range at most 2^32 values).
    long long Between(long long lo, long long hi) {
        const std::uint64_t range = static_cast<std::uint64_t>(hi - lo) + 1;
        constexpr std::uint64_t kOutcomes = std::uint64_t{1} << 32;
        // Draws at or above the last whole multiple of the range would favour small values.
        const std::uint64_t limit = kOutcomes - kOutcomes % range;
        std::uint64_t draw = Next();
        while (draw >= limit) {
            draw = Next();
        }
        return lo + static_cast<long long>(draw % range);
    }

    // True with probability p (never for p <= 0, always for p >= 1).
    bool Chance(double p) {
        if (p <= 0.0) {
            return false;
        }
        if (p >= 1.0) {
            return true;
        }
        return static_cast<double>(Next()) < p * 4294967296.0;
    }

    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(
            Between(0, static_cast<long long>(items.size()) - 1))];
    }

    // Fisher-Yates, drawing with Between.
    template <typename T>
    void Shuffle(std::vector<T>& items) {
        for (std::size_t i = items.size(); i > 1; --i) {
            const auto j = static_cast<std::size_t>(Between(0, static_cast<long long>(i) - 1));
            std::swap(items[i - 1], items[j]);
        }
    }

private:
    std::mt19937 engine_;
};

}  // namespace orvanrx
