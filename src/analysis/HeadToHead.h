#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "analysis/CarStats.h"
#include "decoding/RunTables.h"

namespace orvanrx {

// One race two cars ran against each other.
struct HeadToHeadRace {
    CarRun a;  // the first car's run
    CarRun b;  // the second car's run
    // The gap at the finish line, without its sign: the margin cell of the first car's row
    // when it is a number, else that of the second's. The broadcaster shows the margin with
    // opposite signs in the two lanes.
    std::optional<double> margin;
};

struct HeadToHead {
    QString carA;
    QString carB;
    std::vector<HeadToHeadRace> races;  // in log order
    int winsA = 0;                      // races marked as won by the first car
    int winsB = 0;
};

// Every race in which one lane held carA and the other carB (car numbers compared with the
// trimmed Car cells). The same number twice, or an empty one, meets nobody.
HeadToHead ComputeHeadToHead(const RunTable& table, const QString& carA, const QString& carB);

}  // namespace orvanrx
