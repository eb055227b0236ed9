#pragma once

#include <QString>
#include <utility>

#include "decoding/RunTables.h"

// Races written by hand for the logbook's tests.
namespace orvanrx::testing {

using enum RunColumn;

// One lane's entrant and the figures it ran.
struct Entrant {
    Entrant(QString car = {}, QString rt = {}, QString et = {}, QString mph = {}, bool win = false,
            QString dial = {}, QString name = QStringLiteral("DRIVER"))
        : car(std::move(car)),
          rt(std::move(rt)),
          et(std::move(et)),
          mph(std::move(mph)),
          win(win),
          dial(std::move(dial)),
          name(std::move(name)) {}
    QString car;
    QString rt;
    QString et;
    QString mph;
    bool win;
    QString dial;
    QString name;
};

inline RunRow LaneRow(const QString& time, const QString& category, const Entrant& lane, bool left,
                      int generalId) {
    RunRow row;
    row[GeneralID] = QString::number(generalId);
    row[DateTime] = time;
    row[Category] = category;
    row[Class] = QStringLiteral("SP");
    row[Car] = lane.car;
    row[Name] = lane.name;
    row[Lane] = left ? QStringLiteral("L") : QStringLiteral("R");
    row[Dial] = lane.dial;
    row[RT] = lane.rt;
    row[et1320] = lane.et;
    row[mph1320] = lane.mph;
    row[win] = lane.win ? QStringLiteral("W") : QString();
    return row;
}

struct Race {
    RunRow left;
    RunRow right;
};

// Race number `index` of a file (GeneralIDs as the decoder gives them).
inline Race MakeRace(int index, const QString& time, const QString& category, const Entrant& l,
                     const Entrant& r) {
    return {LaneRow(time, category, l, true, 2 * index + 1),
            LaneRow(time, category, r, false, 2 * index)};
}

}  // namespace orvanrx::testing
