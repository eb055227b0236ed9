#include "analysis/FigureText.h"

#include <QStringList>
#include <array>
#include <cmath>

namespace orvanrx {

QString NoFigureText() {
    return QString(QChar(0x2013));
}

QString FigureText(std::optional<double> value, int decimals) {
    if (!value || !std::isfinite(*value)) {
        return NoFigureText();
    }
    long long scale = 1;
    for (int i = 0; i < decimals && i < 10; ++i) {
        scale *= 10;
    }
    const double scaled = *value * static_cast<double>(scale);
    if (decimals < 0 || decimals > 9 || std::fabs(scaled) > 1e15) {
        return QString::number(*value, 'f', decimals);
    }
    // A half that binary fractions hold a hair below .5 (the mean of 9.512 and 9.513) still
    // rounds away from zero, as it reads.
    const auto units = static_cast<long long>(std::round(scaled + std::copysign(1e-6, scaled)));
    // The digits are written backwards into a buffer: a figure is one allocation.
    std::array<char16_t, 32> buffer{};
    std::size_t end = buffer.size();
    unsigned long long rest = static_cast<unsigned long long>(units < 0 ? -units : units);
    for (int place = 0; place <= decimals || rest > 0; ++place) {
        if (place == decimals && decimals > 0) {
            buffer[--end] = u'.';
        }
        buffer[--end] = static_cast<char16_t>(u'0' + rest % 10);
        rest /= 10;
    }
    if (units < 0) {
        buffer[--end] = u'-';
    }
    return QString(reinterpret_cast<const QChar*>(buffer.data() + end),
                   static_cast<qsizetype>(buffer.size() - end));
}

QString TimesText(const std::vector<double>& times) {
    if (times.empty()) {
        return NoFigureText();
    }
    QStringList texts;
    for (const double t : times) {
        texts.append(TimeText(t));
    }
    return texts.join(u' ');
}

QString RunResultText(RunResult result) {
    switch (result) {
        case RunResult::Win:
            return QStringLiteral("W");
        case RunResult::Loss:
            return QStringLiteral("L");
        case RunResult::Bye:
            return QStringLiteral("Bye");
        case RunResult::Undecided:
            break;
    }
    return NoFigureText();
}

QString DialSuggestionText(const DialSuggestion& suggestion) {
    if (!suggestion.dial) {
        return NoFigureText();
    }
    if (!suggestion.spread) {
        return QStringLiteral("%1 (%2 run)").arg(TimeText(suggestion.dial)).arg(suggestion.basis);
    }
    return QStringLiteral("%1 (spread %2 over %3 runs)")
        .arg(TimeText(suggestion.dial), TimeText(suggestion.spread))
        .arg(suggestion.basis);
}

}  // namespace orvanrx
