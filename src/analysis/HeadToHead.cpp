#include "analysis/HeadToHead.h"

#include <cmath>

namespace orvanrx {

HeadToHead ComputeHeadToHead(const RunTable& table, const QString& carA, const QString& carB) {
    HeadToHead meeting;
    meeting.carA = carA.trimmed();
    meeting.carB = carB.trimmed();
    if (meeting.carA.isEmpty() || meeting.carB.isEmpty() || meeting.carA == meeting.carB) {
        return meeting;
    }
    for (int left = 0; left + 1 < table.RowCount(); left += 2) {
        const QStringView carL = QStringView(table.Row(left)->at(RunColumn::Car)).trimmed();
        const QStringView carR = QStringView(table.Row(left + 1)->at(RunColumn::Car)).trimmed();
        int rowA = -1;
        if (carL == meeting.carA && carR == meeting.carB) {
            rowA = left;
        } else if (carR == meeting.carA && carL == meeting.carB) {
            rowA = left + 1;
        } else {
            continue;
        }
        HeadToHeadRace race{ReadCarRun(table, rowA), ReadCarRun(table, rowA ^ 1), {}};
        const std::optional<double> margin = race.a.margin ? race.a.margin : race.b.margin;
        if (margin) {
            race.margin = std::fabs(*margin);
        }
        meeting.winsA += race.a.result == RunResult::Win ? 1 : 0;
        meeting.winsB += race.b.result == RunResult::Win ? 1 : 0;
        meeting.races.push_back(std::move(race));
    }
    return meeting;
}

}  // namespace orvanrx
