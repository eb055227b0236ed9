#include "GeneratedLog.h"

#include "sim/RaceDayGenerator.h"

namespace orvanrx::bench {

RunTables GeneratedLog(int races) {
    QDateTime now(QDate(2026, 5, 2), QTime(8, 0));
    RunTables tables([now]() mutable {
        now = now.addSecs(60);
        return now;
    });
    for (const RunRecord& race : GenerateRaceDay({races, 7, 0.0, false}).races) {
        tables.StoreRun(race);
    }
    return tables;
}

}  // namespace orvanrx::bench
