#include "analysis/StatsTables.h"

#include <algorithm>
#include <variant>

#include "analysis/FigureText.h"

namespace orvanrx {

namespace {

// What a column of the car tables shows: a text, a count, a figure or a list of figures.
using CarValue = std::variant<QString, int, std::optional<double>, std::vector<double>>;

// A column of the car tables: its short heading, its name written out, the decimals of its
// figures, and its value.
struct CarColumn {
    const char* header;
    const char* label;
    int decimals;
    CarValue (*value)(const CarFigures&);
};

QString Count(int n) {
    return QString::number(n);
}

// clang-format off
const CarColumn kCarColumns[] = {
    {"Car", "Car", 0, [](const CarFigures& c) -> CarValue { return c.car; }},
    {"Categories", "Categories", 0, [](const CarFigures& c) -> CarValue { return c.categories.join(QStringLiteral(" / ")); }},
    {"Names", "Names", 0, [](const CarFigures& c) -> CarValue { return c.names.join(QStringLiteral(" / ")); }},
    {"Runs", "Runs", 0, [](const CarFigures& c) -> CarValue { return c.runs; }},
    {"W", "Wins", 0, [](const CarFigures& c) -> CarValue { return c.wins; }},
    {"L", "Losses", 0, [](const CarFigures& c) -> CarValue { return c.losses; }},
    {"Bye", "Byes", 0, [](const CarFigures& c) -> CarValue { return c.byes; }},
    {"NoDec", "Races without a decision", 0, [](const CarFigures& c) -> CarValue { return c.undecided; }},
    {"RT best", "Reaction time, best", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.rt.best; }},
    {"RT mean", "Reaction time, mean", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.rt.mean; }},
    {"RT sd", "Reaction time, standard deviation", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.rt.stdDev; }},
    {"Red", "Red lights", 0, [](const CarFigures& c) -> CarValue { return c.redLights; }},
    {"60ft best", "60 ft, best", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.sixtyFoot.best; }},
    {"60ft mean", "60 ft, mean", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.sixtyFoot.mean; }},
    {"60ft sd", "60 ft, standard deviation", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.sixtyFoot.stdDev; }},
    {"60ft last 3", "60 ft, last three", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.lastSixtyFoot; }},
    {"ET best", "1/4 mile ET, best", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.et.best; }},
    {"ET mean", "1/4 mile ET, mean", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.et.mean; }},
    {"ET sd", "1/4 mile ET, standard deviation", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.et.stdDev; }},
    {"ET last 3", "1/4 mile ET, last three", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.lastEt; }},
    {"MPH best", "1/4 mile MPH, best", kSpeedDecimals, [](const CarFigures& c) -> CarValue { return c.mph.best; }},
    {"MPH mean", "1/4 mile MPH, mean", kSpeedDecimals, [](const CarFigures& c) -> CarValue { return c.mph.mean; }},
    {"Dial runs", "Dial-in runs", 0, [](const CarFigures& c) -> CarValue { return c.dialInRuns; }},
    {"Breakouts", "Breakouts", 0, [](const CarFigures& c) -> CarValue { return c.breakouts; }},
    {"O/U mean", "Over/under, mean", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.meanOverUnder; }},
    {"Pkg best", "Package, best", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.bestPackage; }},
    {"Pkg mean", "Package, mean", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.meanPackage; }},
    {"Next dial", "Next dial-in", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.nextDial.dial; }},
    {"Spread", "Next dial-in, spread", kTimeDecimals, [](const CarFigures& c) -> CarValue { return c.nextDial.spread; }},
    {"Of", "Next dial-in, runs", 0, [](const CarFigures& c) -> CarValue { return c.nextDial.basis; }},
};
// clang-format on

const CarColumn& ColumnAt(int column) {
    return kCarColumns[static_cast<std::size_t>(column)];
}

QString CellText(const CarColumn& column, const CarFigures& car) {
    const CarValue value = column.value(car);
    if (const auto* text = std::get_if<QString>(&value)) {
        return *text;
    }
    if (const auto* count = std::get_if<int>(&value)) {
        return Count(*count);
    }
    if (const auto* figure = std::get_if<std::optional<double>>(&value)) {
        return FigureText(*figure, column.decimals);
    }
    return TimesText(std::get<std::vector<double>>(value));
}

QString Row(int row) {
    return QString::number(row);
}

QString LaneText(const CarRun& run) {
    return run.leftLane ? QStringLiteral("L") : QStringLiteral("R");
}

QString Notes(const CarRun& run) {
    QStringList notes;
    if (run.RedLight()) {
        notes.append(QStringLiteral("red light"));
    }
    if (run.Breakout()) {
        notes.append(QStringLiteral("breakout"));
    }
    return notes.join(QStringLiteral(", "));
}

QString OrDash(const QString& text) {
    return text.isEmpty() ? NoFigureText() : text;
}

}  // namespace

int CarsTableColumnCount() {
    return static_cast<int>(std::size(kCarColumns));
}

QString CarsTableHeader(int column) {
    return QString::fromLatin1(ColumnAt(column).header);
}

QString CarsTableLabel(int column) {
    return QString::fromLatin1(ColumnAt(column).label);
}

QString CarsTableCell(const CarFigures& car, int column) {
    return CellText(ColumnAt(column), car);
}

int CarsTableColumnOf(QStringView header) {
    for (int c = 0; c < CarsTableColumnCount(); ++c) {
        if (header == QLatin1String(ColumnAt(c).header)) {
            return c;
        }
    }
    return -1;
}

bool CarsTableIsNumeric(int column) {
    return !std::holds_alternative<QString>(ColumnAt(column).value(CarFigures{}));
}

std::optional<double> CarsTableNumber(const CarFigures& car, int column) {
    const CarValue value = ColumnAt(column).value(car);
    if (const auto* count = std::get_if<int>(&value)) {
        return *count;
    }
    if (const auto* figure = std::get_if<std::optional<double>>(&value)) {
        // As shown: two figures that look alike sort alike.
        return *figure ? std::optional<double>(CellText(ColumnAt(column), car).toDouble())
                       : std::nullopt;
    }
    if (const auto* times = std::get_if<std::vector<double>>(&value)) {
        return times->empty() ? std::nullopt : std::optional<double>(times->back());
    }
    return std::nullopt;
}

TextTable CarsTable(const std::vector<CarFigures>& cars) {
    TextTable table;
    for (const CarColumn& column : kCarColumns) {
        table.headers.append(QString::fromLatin1(column.header));
    }
    for (const CarFigures& car : cars) {
        QStringList row;
        for (const CarColumn& column : kCarColumns) {
            row.append(CellText(column, car));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

TextTable CarFiguresTable(const CarFigures& car) {
    TextTable table;
    table.headers = QStringList{QStringLiteral("Figure"), QStringLiteral("Value")};
    for (const CarColumn& column : kCarColumns) {
        table.rows.push_back(QStringList{QString::fromLatin1(column.label), CellText(column, car)});
    }
    return table;
}

QString CarSummaryText(const CarFigures& car, bool withNextDial) {
    const QString separator = QStringLiteral(" \u00b7 ");
    QStringList parts;
    if (!car.names.isEmpty()) {
        parts << car.names.join(QStringLiteral(" / "));
    }
    if (!car.categories.isEmpty()) {
        parts << car.categories.join(QStringLiteral(" / "));
    }
    QStringList record;
    const auto count = [&record](int n, const QString& what) {
        if (n > 0) {
            record << QStringLiteral("%1 %2").arg(n).arg(what);
        }
    };
    count(car.wins, QStringLiteral("W"));
    count(car.losses, QStringLiteral("L"));
    count(car.byes, car.byes == 1 ? QStringLiteral("bye") : QStringLiteral("byes"));
    count(car.undecided, QStringLiteral("no decision"));
    count(car.redLights,
          car.redLights == 1 ? QStringLiteral("red light") : QStringLiteral("red lights"));
    QString runs = QStringLiteral("%1 run%2")
                       .arg(car.runs)
                       .arg(car.runs == 1 ? QString() : QStringLiteral("s"));
    if (!record.isEmpty()) {
        runs += QStringLiteral(": ") + record.join(QStringLiteral(", "));
    }
    parts << runs;
    if (car.et.best) {
        parts << QStringLiteral("best ET ") + TimeText(car.et.best);
    }
    if (withNextDial && car.nextDial.dial) {
        parts << QStringLiteral("next dial-in ") + DialSuggestionText(car.nextDial);
    }
    return parts.join(separator);
}

TextTable CarRunsTable(const std::vector<CarRun>& runs) {
    TextTable table;
    table.headers = QStringList{
        QStringLiteral("Row"),    QStringLiteral("Date/time"), QStringLiteral("Category"),
        QStringLiteral("Lane"),   QStringLiteral("Opponent"),  QStringLiteral("Dial"),
        QStringLiteral("RT"),     QStringLiteral("60ft"),      QStringLiteral("ET"),
        QStringLiteral("MPH"),    QStringLiteral("O/U"),       QStringLiteral("Package"),
        QStringLiteral("Result"), QStringLiteral("Notes")};
    for (const CarRun& run : runs) {
        table.rows.push_back(QStringList{
            Row(run.row), run.dateTime, run.category.trimmed(), LaneText(run), OrDash(run.opponent),
            TimeText(run.dial), TimeText(run.rt), TimeText(run.sixtyFoot), TimeText(run.et),
            SpeedText(run.mph), TimeText(run.overUnder), TimeText(run.Package()),
            RunResultText(run.result), Notes(run)});
    }
    return table;
}

TextTable HeadToHeadTable(const HeadToHead& meeting) {
    TextTable table;
    table.headers =
        QStringList{QStringLiteral("Row"), QStringLiteral("Date/time"), QStringLiteral("Category")};
    for (const QString& car : {meeting.carA, meeting.carB}) {
        table.headers << car + QStringLiteral(" lane") << car + QStringLiteral(" RT")
                      << car + QStringLiteral(" ET");
    }
    table.headers << QStringLiteral("Margin") << QStringLiteral("Winner");
    for (const HeadToHeadRace& race : meeting.races) {
        const QString winner = race.a.result == RunResult::Win   ? meeting.carA
                               : race.b.result == RunResult::Win ? meeting.carB
                                                                 : NoFigureText();
        table.rows.push_back(QStringList{
            Row(std::min(race.a.row, race.b.row)), race.a.dateTime, race.a.category.trimmed(),
            LaneText(race.a), TimeText(race.a.rt), TimeText(race.a.et), LaneText(race.b),
            TimeText(race.b.rt), TimeText(race.b.et), MarginText(race.margin), winner});
    }
    return table;
}

QString HeadToHeadSummaryText(const HeadToHead& meeting) {
    if (meeting.races.empty()) {
        return QStringLiteral("%1 and %2 never met.").arg(meeting.carA, meeting.carB);
    }
    const auto count = static_cast<int>(meeting.races.size());
    return QStringLiteral("%1 won %2, %3 won %4 of %5 race%6.")
        .arg(meeting.carA)
        .arg(meeting.winsA)
        .arg(meeting.carB)
        .arg(meeting.winsB)
        .arg(count)
        .arg(count == 1 ? QString() : QStringLiteral("s"));
}

}  // namespace orvanrx
