#pragma once

#include <QString>

#include "decoding/RunTables.h"

namespace orvanrx {

// One line describing the race whose rows start at `leftRow` of `table`, for the headless
// program's output, e.g.
//   SUPER PRO E1 | L SP/1234 JOHN DOE RT 0.512 ET 9.512 @ 140.11 W | R SP/567 JANE ROE ...
// Empty figures are left out.
QString RaceLine(const RunTable& table, int leftRow);

}  // namespace orvanrx
