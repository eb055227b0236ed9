#include "Commands.h"
#include "sim/RaceDayGenerator.h"
#include "trace/TraceFile.h"

namespace orvanrx::cli {

int RunSimulateSeason(const SimulateOptions& options, Console& console);

int RunSimulate(const SimulateOptions& options, Console& console) {
    if (!options.weatherFile.isEmpty()) {
        return RunSimulateSeason(options, console);
    }
    const RaceDay day = GenerateRaceDay(options.day);
    console.out << QString::fromStdString(FormatTrace(day.steps));
    return kExitOk;
}

}  // namespace orvanrx::cli
