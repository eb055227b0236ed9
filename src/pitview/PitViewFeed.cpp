#include "pitview/PitViewFeed.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "analysis/CarStats.h"
#include "analysis/FigureText.h"

namespace orvanrx {

namespace {

QJsonObject LaneJson(const RunTable& table, int row, bool mine) {
    const auto cell = [&](RunColumn column) { return table.Cell(row, column).trimmed(); };
    return QJsonObject{{QStringLiteral("lane"), cell(RunColumn::Lane)},
                       {QStringLiteral("car"), cell(RunColumn::Car)},
                       {QStringLiteral("name"), cell(RunColumn::Name)},
                       {QStringLiteral("class"), cell(RunColumn::Class)},
                       {QStringLiteral("bump"), cell(RunColumn::Bump)},
                       {QStringLiteral("dial"), cell(RunColumn::Dial)},
                       {QStringLiteral("rt"), cell(RunColumn::RT)},
                       {QStringLiteral("et60"), cell(RunColumn::et60)},
                       {QStringLiteral("et330"), cell(RunColumn::et330)},
                       {QStringLiteral("et660"), cell(RunColumn::et660)},
                       {QStringLiteral("mph660"), cell(RunColumn::mph660)},
                       {QStringLiteral("et1000"), cell(RunColumn::et1000)},
                       {QStringLiteral("mph1000"), cell(RunColumn::mph1000)},
                       {QStringLiteral("et1320"), cell(RunColumn::et1320)},
                       {QStringLiteral("mph1320"), cell(RunColumn::mph1320)},
                       {QStringLiteral("margin"), cell(RunColumn::margin)},
                       {QStringLiteral("overund"), cell(RunColumn::overund)},
                       {QStringLiteral("win"), !cell(RunColumn::win).isEmpty()},
                       {QStringLiteral("mine"), mine}};
}

// The page leaves a race without a decision blank rather than showing the dash.
QString ResultText(RunResult result) {
    return result == RunResult::Undecided ? QString() : RunResultText(result);
}

QString Signed(std::optional<double> value) {
    const QString text = TimeText(value);
    return value && *value > 0 && text != NoFigureText() ? u'+' + text : text;
}

}  // namespace

PitViewFeed::PitViewFeed(PollObserver& next, const SettingsStore& settings)
    : next_(next), settings_(settings) {}

void PitViewFeed::Attach(const RunTables& tables) {
    tables_ = &tables;
    watch_.SetNumbers(ReadMyCarNumbers(settings_));
    watch_.TakeAsSeen(tables.AllRunsTable());
    lastLeft_ = tables.AllRunsTable().LeftRow();
}

void PitViewFeed::ReloadMyCars() {
    watch_.SetNumbers(ReadMyCarNumbers(settings_));
    if (tables_ != nullptr) {
        Emit(QJsonDocument::fromJson(Greeting().toUtf8()).object());
    }
}

QJsonObject PitViewFeed::RaceJson(const RunTable& table, int leftRow) const {
    const QString dateTime = table.Cell(leftRow, RunColumn::DateTime);
    return QJsonObject{
        {QStringLiteral("id"), leftRow},
        {QStringLiteral("time"), dateTime.mid(11, 5)},
        {QStringLiteral("category"), table.Cell(leftRow, RunColumn::Category).trimmed()},
        {QStringLiteral("lanes"),
         QJsonArray{
             LaneJson(table, leftRow, watch_.IsMine(table.Cell(leftRow, RunColumn::Car).trimmed())),
             LaneJson(table, leftRow + 1,
                      watch_.IsMine(table.Cell(leftRow + 1, RunColumn::Car).trimmed()))}}};
}

QJsonObject PitViewFeed::MineJson(const RunTable& table) const {
    QJsonArray cars;
    for (const QString& number : watch_.Numbers()) {
        const std::vector<CarRun> all = ReadCarRuns(table, number);
        if (all.empty()) {
            cars.append(QJsonObject{{QStringLiteral("car"), number},
                                    {QStringLiteral("runs"), QJsonArray{}}});
            continue;
        }
        // The day of its latest run.
        const QString day = all.back().dateTime.left(10);
        std::vector<CarRun> today;
        for (const CarRun& run : all) {
            if (run.dateTime.left(10) == day) {
                today.push_back(run);
            }
        }
        const CarFigures figures = SummarizeRuns(number, today);
        QJsonArray runs;
        for (auto it = today.rbegin(); it != today.rend(); ++it) {
            runs.append(QJsonObject{
                {QStringLiteral("id"), it->leftLane ? it->row : it->otherRow},
                {QStringLiteral("time"), it->dateTime.mid(11, 5)},
                {QStringLiteral("category"), it->category.trimmed()},
                {QStringLiteral("lane"), it->leftLane ? QStringLiteral("L") : QStringLiteral("R")},
                {QStringLiteral("opponent"), it->opponent},
                {QStringLiteral("dial"), TimeText(it->dial)},
                {QStringLiteral("rt"), TimeText(it->rt)},
                {QStringLiteral("et60"), TimeText(it->sixtyFoot)},
                {QStringLiteral("et"), TimeText(it->et)},
                {QStringLiteral("mph"), SpeedText(it->mph)},
                {QStringLiteral("overund"), Signed(it->overUnder)},
                {QStringLiteral("result"), ResultText(it->result)}});
        }
        const DialSuggestion& next = figures.nextDial;
        cars.append(QJsonObject{
            {QStringLiteral("car"), number},
            {QStringLiteral("name"), figures.names.value(figures.names.size() - 1)},
            {QStringLiteral("day"), day},
            {QStringLiteral("runs"), runs},
            {QStringLiteral("next"), QJsonObject{{QStringLiteral("dial"), TimeText(next.dial)},
                                                 {QStringLiteral("spread"), TimeText(next.spread)},
                                                 {QStringLiteral("basis"), next.basis}}}});
    }
    return QJsonObject{{QStringLiteral("cars"), cars}};
}

QString PitViewFeed::Greeting() const {
    QJsonArray races;
    QJsonObject mine{{QStringLiteral("cars"), QJsonArray{}}};
    if (tables_ != nullptr) {
        const RunTable& table = tables_->AllRunsTable();
        for (int left = table.LeftRow(), n = 0; left >= 0 && n < kPitViewRaceCount;
             left -= 2, ++n) {
            races.append(RaceJson(table, left));
        }
        mine = MineJson(table);
    }
    const QJsonObject hello{{QStringLiteral("t"), QStringLiteral("hello")},
                            {QStringLiteral("races"), races},
                            {QStringLiteral("mine"), mine}};
    return QString::fromUtf8(QJsonDocument(hello).toJson(QJsonDocument::Compact));
}

void PitViewFeed::Emit(const QJsonObject& message) {
    if (!send_) {
        return;
    }
    ++messagesSent_;
    send_(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void PitViewFeed::RunTablesChanged() {
    next_.RunTablesChanged();
    if (tables_ == nullptr) {
        return;
    }
    const RunTable& table = tables_->AllRunsTable();
    const int left = table.LeftRow();
    if (left < lastLeft_) {
        // The log was replaced or cleared: everything anew.
        lastLeft_ = left;
        watch_.TakeAsSeen(table);
        Emit(QJsonDocument::fromJson(Greeting().toUtf8()).object());
        return;
    }
    if (left != lastLeft_) {
        // A new race: the car numbers may have been changed meanwhile.
        watch_.SetNumbers(ReadMyCarNumbers(settings_));
    }
    lastLeft_ = left;
    if (left < 0) {
        return;
    }
    const QJsonObject race = RaceJson(table, left);
    Emit(
        QJsonObject{{QStringLiteral("t"), QStringLiteral("race")}, {QStringLiteral("race"), race}});
    const MyCarWatch::Result mine = watch_.Check(table);
    if (mine.lanes.Any()) {
        QJsonObject message = MineJson(table);
        message.insert(QStringLiteral("t"), QStringLiteral("mine"));
        Emit(message);
    }
    if (mine.arrived) {
        const MyCarAlertText text = MyCarRaceText(table, mine.lanes);
        Emit(QJsonObject{{QStringLiteral("t"), QStringLiteral("banner")},
                         {QStringLiteral("summary"), text.summary},
                         {QStringLiteral("body"), text.body},
                         {QStringLiteral("id"), left}});
    }
}

void PitViewFeed::DataReplyStored() {
    next_.DataReplyStored();
}

}  // namespace orvanrx
