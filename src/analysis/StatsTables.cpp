#include "analysis/StatsTables.h"

#include <algorithm>

#include "analysis/FigureText.h"

namespace orvanrx {

namespace {

// A column of the car tables: its short heading, its name written out, and its text.
struct CarColumn {
    const char* header;
    const char* label;
    QString (*text)(const CarFigures&);
};

QString Count(int n) {
    return QString::number(n);
}

// clang-format off
const CarColumn kCarColumns[] = {
    {"Car", "Car", [](const CarFigures& c) { return c.car; }},
    {"Categories", "Categories", [](const CarFigures& c) { return c.categories.join(QStringLiteral(" / ")); }},
    {"Names", "Names", [](const CarFigures& c) { return c.names.join(QStringLiteral(" / ")); }},
    {"Runs", "Runs", [](const CarFigures& c) { return Count(c.runs); }},
    {"W", "Wins", [](const CarFigures& c) { return Count(c.wins); }},
    {"L", "Losses", [](const CarFigures& c) { return Count(c.losses); }},
    {"Bye", "Byes", [](const CarFigures& c) { return Count(c.byes); }},
    {"NoDec", "Races without a decision", [](const CarFigures& c) { return Count(c.undecided); }},
    {"RT best", "Reaction time, best", [](const CarFigures& c) { return TimeText(c.rt.best); }},
    {"RT mean", "Reaction time, mean", [](const CarFigures& c) { return TimeText(c.rt.mean); }},
    {"RT sd", "Reaction time, standard deviation", [](const CarFigures& c) { return TimeText(c.rt.stdDev); }},
    {"Red", "Red lights", [](const CarFigures& c) { return Count(c.redLights); }},
    {"60ft best", "60 ft, best", [](const CarFigures& c) { return TimeText(c.sixtyFoot.best); }},
    {"60ft mean", "60 ft, mean", [](const CarFigures& c) { return TimeText(c.sixtyFoot.mean); }},
    {"60ft sd", "60 ft, standard deviation", [](const CarFigures& c) { return TimeText(c.sixtyFoot.stdDev); }},
    {"60ft last 3", "60 ft, last three", [](const CarFigures& c) { return TimesText(c.lastSixtyFoot); }},
    {"ET best", "1/4 mile ET, best", [](const CarFigures& c) { return TimeText(c.et.best); }},
    {"ET mean", "1/4 mile ET, mean", [](const CarFigures& c) { return TimeText(c.et.mean); }},
    {"ET sd", "1/4 mile ET, standard deviation", [](const CarFigures& c) { return TimeText(c.et.stdDev); }},
    {"ET last 3", "1/4 mile ET, last three", [](const CarFigures& c) { return TimesText(c.lastEt); }},
    {"MPH best", "1/4 mile MPH, best", [](const CarFigures& c) { return SpeedText(c.mph.best); }},
    {"MPH mean", "1/4 mile MPH, mean", [](const CarFigures& c) { return SpeedText(c.mph.mean); }},
    {"Dial runs", "Dial-in runs", [](const CarFigures& c) { return Count(c.dialInRuns); }},
    {"Breakouts", "Breakouts", [](const CarFigures& c) { return Count(c.breakouts); }},
    {"O/U mean", "Over/under, mean", [](const CarFigures& c) { return TimeText(c.meanOverUnder); }},
    {"Pkg best", "Package, best", [](const CarFigures& c) { return TimeText(c.bestPackage); }},
    {"Pkg mean", "Package, mean", [](const CarFigures& c) { return TimeText(c.meanPackage); }},
    {"Next dial", "Next dial-in", [](const CarFigures& c) { return TimeText(c.nextDial.dial); }},
    {"Spread", "Next dial-in, spread", [](const CarFigures& c) { return TimeText(c.nextDial.spread); }},
    {"Of", "Next dial-in, runs", [](const CarFigures& c) { return Count(c.nextDial.basis); }},
};
// clang-format on

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

TextTable CarsTable(const std::vector<CarFigures>& cars) {
    TextTable table;
    for (const CarColumn& column : kCarColumns) {
        table.headers.append(QString::fromLatin1(column.header));
    }
    for (const CarFigures& car : cars) {
        QStringList row;
        for (const CarColumn& column : kCarColumns) {
            row.append(column.text(car));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

TextTable CarFiguresTable(const CarFigures& car) {
    TextTable table;
    table.headers = QStringList{QStringLiteral("Figure"), QStringLiteral("Value")};
    for (const CarColumn& column : kCarColumns) {
        table.rows.push_back(QStringList{QString::fromLatin1(column.label), column.text(car)});
    }
    return table;
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
