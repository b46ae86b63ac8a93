#pragma once
#include "cli/mpi_link.h"
#include "engine/mirrored_rows.h"
#include "engine/row_source.h"
#include "engine/row_workers.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <vector>

namespace nimbra {

// Rank 0's rows, computed by all ranks, rank 0's own worker threads among them: each takes rows
// as it becomes free, as many as it asked to hold, and every row it sends back asks for the next
// one. Rows are handed out only a bounded window ahead of the row taken next, so that the counts
// held here stay bounded whatever the image height. Exact mirror rows of rows received are not
// handed out at all. Every message is checked against what a rank of this build sends: a row of
// the image's length, of a number handed to that rank and not yet returned.
class MpiRowSource final : public RowSource {
public:
    // Sends the run to the other ranks of the job and starts this rank's own threads; the rows
    // are handed out from firstRow on.
    MpiRowSource(const FractalParams& params, const std::atomic<bool>& stop, const RunOrder& order, MpiLink& link,
                 std::int32_t firstRow);

    const RowCounts& Row(std::int32_t row, PumpHook& pump) override;

private:
    bool Exchange(PumpHook& pump);  // whether a message came
    void Take(const Message& message);
    void Keep(std::int32_t row, RowCounts&& counts);
    void HandOut();
    std::int32_t WindowRows() const;

    const FractalParams& params_;
    const std::atomic<bool>& stop_;
    const bool reuseMirrored_;
    MpiLink& link_;
    std::vector<std::int32_t> wanted_;  // by rank: rows it would take now; rank 0 is this one
    std::int32_t held_ = 0;             // rows all ranks take at a time
    std::int32_t nextRow_ = 0;          // the next row to hand out
    std::int32_t firstHeld_ = 0;        // the row taken next
    std::map<std::int32_t, int> handedOut_;  // row -> the rank computing it
    std::map<std::int32_t, RowCounts> ready_;
    MirroredRows mirrored_;
    RowCounts stopped_;
    RowWorkers local_;
};

// Tells every other rank that no run (or no more rows) will come and waits for their answers,
// dropping rows still on their way.
void EndWorkers(MpiLink& link);

}  // namespace nimbra
