#pragma once
#include "engine/fractal_params.h"
#include "engine/row_source.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace nimbra {

// The other row whose imaginary coordinate, as computed, is exactly the negative of row's; -1 if none.
std::int32_t ExactMirrorRow(const FractalParams& params, std::int32_t row);

// Counts of done rows kept for their exact mirror rows further down, where the formula's orbits
// mirror exactly; never more than a fixed number of bytes, whatever the image height.
class MirroredRows {
public:
    explicit MirroredRows(const FractalParams& params) : params_(params) {}

    // Keeps the counts of row for its mirror row, unless they are cut short or out of range, or
    // the mirror row has been started already (rows from firstUnstarted on have not).
    void Keep(std::int32_t row, const RowCounts& counts, std::int32_t firstUnstarted);
    // Gives row the counts kept for it, when there are any and the formula is still the one
    // they were made with; those counts are dropped either way.
    bool Take(std::int32_t row, RowCounts& out);

private:
    // Neighbouring pixels mostly share their counts: a row is kept as runs, each a count and
    // how many pixels in a row have it, in far fewer bytes than it is long.
    struct KeptRow {
        std::vector<std::int32_t> Runs;
        int Formula = -1;
    };

    const FractalParams& params_;
    std::unordered_map<std::int32_t, KeptRow> kept_;  // by the row that will use them
    std::size_t keptBytes_ = 0;
};

}  // namespace nimbra
