#pragma once
#include "common/pump_hook.h"
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"
#include "engine/mirrored_rows.h"
#include "engine/row_source.h"
#include "engine/shortcut_loop.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace nimbra {

// Pixels and the passes made for them, by how their counts were settled.
struct PassTally {
    static constexpr std::size_t Ends = static_cast<std::size_t>(OrbitEnd::RunProven) + 1;
    std::array<double, Ends> Pixels{};
    std::array<double, Ends> Passes{};

    void Add(const PassTally& other);
};

// Computes the counts of one row (from column 0) until done or stopped; no pumping. regions
// keeps what the thread built for the rows it computes next. Adds the pixels and their passes
// to tally when there is one.
void ComputeRowCounts(const FractalParams& params, std::int32_t row, const std::atomic<bool>& stop,
                      EngineShortcuts shortcuts, RegionMemory& regions, RowCounts& out, PassTally* tally = nullptr);

// Worker threads compute the rows of an image a bounded number of rows ahead of the one
// thread that takes them in order. A formula chosen meanwhile (on the taking thread) applies
// from the next row taken: rows computed ahead with another formula are computed again.
class RowPipeline final : public RowSource {
public:
    RowPipeline(const FractalParams& params, const std::atomic<bool>& stop, int threads, EngineShortcuts shortcuts,
                std::int32_t firstRow = 0);
    ~RowPipeline();
    RowPipeline(const RowPipeline&) = delete;
    RowPipeline& operator=(const RowPipeline&) = delete;

    // The counts of row, asked for in order from the first row on, all made with the formula of the
    // moment; the previous row's slot is given back. Polls pump while waiting, so the windows
    // stay responsive.
    const RowCounts& Row(std::int32_t row, PumpHook& pump) override;

private:
    struct Slot {
        RowCounts Counts;
        std::int32_t ReadyRow = -1;
    };

    void Work();
    void RedoStaleRows(std::int32_t firstRow);  // under the lock
    std::int32_t LastReadyRow() const;          // of those ready from firstHeld_ on, under the lock
    bool AwaitedRowsReady() const;              // from firstHeld_ to lastAwaited_, under the lock

    const FractalParams& params_;
    const std::atomic<bool>& stop_;
    const EngineShortcuts shortcuts_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::condition_variable rowReady_;
    std::int32_t nextRow_ = 0;    // the next new row a worker takes
    std::set<std::int32_t> redo_;  // rows to compute again, taken before new ones
    std::int32_t firstHeld_ = 0;  // rows below this are given back
    std::int32_t lastAwaited_ = -1;  // the taking thread waits for the rows from firstHeld_ to this one
    std::int32_t readyThrough_ = -1;  // the taking thread's own: rows up to this one were ready
    bool shutdown_ = false;
    MirroredRows mirrored_;  // under the lock
    std::vector<std::thread> workers_;
};

}  // namespace nimbra
