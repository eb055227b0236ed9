#include "Commands.h"
#include "sim/RaceDayGenerator.h"
#include "trace/TraceFile.h"

namespace orvanrx::cli {

int RunSimulate(const SimulateOptions& options, Console& console) {
    const RaceDay day = GenerateRaceDay(options.day);
    console.out << QString::fromStdString(FormatTrace(day.steps));
    return kExitOk;
}

}  // namespace orvanrx::cli
