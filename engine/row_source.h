#pragma once
#include "common/pump_hook.h"

#include <cstdint>
#include <vector>

namespace nimbra {

// The counts of one row as computed; PreviousPixelCount where no kernel ran.
struct RowCounts {
    std::vector<std::int32_t> Counts;
    std::int32_t Columns = 0;            // computed columns; fewer when a stop came
    std::int32_t OutOfRangeColumn = -1;  // the first column whose values left the range
    int UniformFormula = -1;             // the formula of every pixel; -1 when it changed within the row
};

// Where a run takes the counts of its rows from: worker threads here, or other machines.
class RowSource {
public:
    virtual ~RowSource() = default;

    // The counts of row, asked for in order from the run's first row on; the previous row's counts may be
    // dropped then. Polls pump while waiting, so the windows stay responsive and a stop is
    // seen; after a stop the counts may be cut short.
    virtual const RowCounts& Row(std::int32_t row, PumpHook& pump) = 0;
};

}  // namespace nimbra
