#include "engine/row_pipeline.h"

#include "engine/early_escape.h"
#include "engine/extended_precision.h"
#include "engine/kernels.h"
#include "engine/proven_run.h"

#include <algorithm>

namespace nimbra {
namespace {

// Rows the workers may run ahead of the row being taken, per worker: enough that a worker rarely
// waits while the taking thread, which shares the cores with them, waits for its turn. Wide rows
// take fewer, within a bound on their memory.
constexpr std::size_t RowsAheadPerWorker = 64, FewestRowsAheadPerWorker = 4;
constexpr std::size_t RowsAheadBytes = std::size_t{64} << 20;

std::size_t SlotCount(int threads, std::int32_t width)
{
    const auto workers = static_cast<std::size_t>(threads);
    const std::size_t rowBytes = std::max<std::size_t>(static_cast<std::size_t>(width), 1) * sizeof(std::int32_t);
    const std::size_t wanted = std::min(workers * RowsAheadPerWorker, RowsAheadBytes / rowBytes);
    return std::max(workers * FewestRowsAheadPerWorker, wanted);
}

}  // namespace

void PassTally::Add(const PassTally& other)
{
    for (std::size_t end = 0; end < Ends; ++end) {
        Pixels[end] += other.Pixels[end];
        Passes[end] += other.Passes[end];
    }
}

void ComputeRowCounts(const FractalParams& params, std::int32_t row, const std::atomic<bool>& stop,
                      EngineShortcuts shortcuts, RegionMemory& regions, RowCounts& out, PassTally* tally)
{
    out.Counts.resize(static_cast<std::size_t>(params.Width));
    out.Columns = 0;
    out.OutOfRangeColumn = -1;
    out.UniformFormula = LoadFormula(params);
    NoPassHook noHook;
    PlainPassesChoice plainPasses(params.MaxIterations);
    ProvenRuns runs;
    EarlyEscapes early;
    std::int32_t previousCount = 0;
    const long double ci = PointImag(params, row);
    auto counted = [&](std::int32_t column, std::int32_t count) {
        plainPasses.Counted(count);
        previousCount = count;
        out.Counts[static_cast<std::size_t>(column)] = count;
        out.Columns = column + 1;
    };
    for (std::int32_t column = 0; column < params.Width; ++column) {
        const std::uint8_t formula = LoadFormula(params);
        if (formula != out.UniformFormula) out.UniformFormula = -1;
        if (const ProvenRun run = runs.From(formula, params, column, ci, previousCount, shortcuts, regions.LastCycle());
            run.Pixels > 0) {
            if (tally) {
                tally->Pixels[static_cast<std::size_t>(OrbitEnd::RunProven)] += run.Pixels;
                tally->Passes[static_cast<std::size_t>(OrbitEnd::RunProven)] += run.Passes;
            }
            std::fill_n(out.Counts.begin() + column, run.Pixels, params.MaxIterations);
            plainPasses.Counted(params.MaxIterations);
            column += run.Pixels - 1;
            out.Columns = column + 1;
            continue;
        }
        if (const std::int32_t count = EarlyCount(early, formula, params, column, ci, previousCount, shortcuts);
            count != Undecided) {
            if (tally) {
                tally->Pixels[static_cast<std::size_t>(OrbitEnd::Escaped)] += 1;
                tally->Passes[static_cast<std::size_t>(OrbitEnd::Escaped)] += count + 1;
            }
            counted(column, count);
            continue;
        }
        const PointResult result = IteratePoint(formula, params, PointReal(params, column), ci, stop, noHook,
                                                shortcuts, {plainPasses.Next(), &regions});
        if (stop.load(std::memory_order_relaxed)) return;
        if (tally) {
            tally->Pixels[static_cast<std::size_t>(result.End)] += 1;
            tally->Passes[static_cast<std::size_t>(result.End)] += result.Passes;
        }
        if (result.OutOfRange && out.OutOfRangeColumn < 0) out.OutOfRangeColumn = column;
        counted(column, result.Count);
    }
}

RowPipeline::RowPipeline(const FractalParams& params, const std::atomic<bool>& stop, int threads,
                         EngineShortcuts shortcuts, std::int32_t firstRow)
    : params_(params),
      stop_(stop),
      shortcuts_(shortcuts),
      slots_(SlotCount(threads, params.Width)),
      nextRow_(firstRow),
      firstHeld_(firstRow),
      mirrored_(params)
{
    for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
}

RowPipeline::~RowPipeline()
{
    {
        std::lock_guard lock(mutex_);
        shutdown_ = true;
    }
    workAvailable_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

const RowCounts& RowPipeline::Row(std::int32_t row, PumpHook& pump)
{
    Slot& slot = slots_[static_cast<std::size_t>(row) % slots_.size()];
    // Rows seen ready before are taken without the lock while the formula stays: the workers
    // reuse no slot from firstHeld_ on, which moves only under the lock.
    if (row <= readyThrough_ && slot.Counts.UniformFormula == LoadFormula(params_)) return slot.Counts;
    std::unique_lock lock(mutex_);
    firstHeld_ = row;
    for (;;) {
        // The formula changes only on this thread, in a poll: checked after each one.
        RedoStaleRows(row);
        workAvailable_.notify_all();
        if (slot.ReadyRow == row) {
            readyThrough_ = LastReadyRow();
            return slot.Counts;
        }
        // Waiting, this thread is woken once half the rows ahead are ready rather than for every
        // row: on a machine whose cores the workers fill, each wake-up takes one from them.
        lastAwaited_ = std::min(row + static_cast<std::int32_t>(slots_.size()) / 2, params_.Height) - 1;
        if (!rowReady_.wait_for(lock, pump.WaitBeforePoll(), [&] { return AwaitedRowsReady(); })) {
            lock.unlock();
            pump.Poll();
            lock.lock();
        }
    }
}

std::int32_t RowPipeline::LastReadyRow() const
{
    const auto slotCount = static_cast<std::int32_t>(slots_.size());
    std::int32_t row = firstHeld_;
    while (row < firstHeld_ + slotCount && slots_[static_cast<std::size_t>(row % slotCount)].ReadyRow == row) ++row;
    return row - 1;
}

bool RowPipeline::AwaitedRowsReady() const
{
    // The last awaited row settles most calls without a walk over the slots, which the workers
    // would make for every row they finish.
    if (lastAwaited_ < firstHeld_) return true;
    const auto slotCount = static_cast<std::int32_t>(slots_.size());
    if (slots_[static_cast<std::size_t>(lastAwaited_ % slotCount)].ReadyRow != lastAwaited_) return false;
    return LastReadyRow() >= lastAwaited_;
}

void RowPipeline::RedoStaleRows(std::int32_t firstRow)
{
    const std::uint8_t formula = LoadFormula(params_);
    const auto slotCount = static_cast<std::int32_t>(slots_.size());
    for (std::int32_t row = firstRow; row < nextRow_ && row < firstRow + slotCount; ++row) {
        Slot& slot = slots_[static_cast<std::size_t>(row % slotCount)];
        // A row still being computed is judged when it is ready; a stopped one is not needed.
        if (slot.ReadyRow != row || slot.Counts.UniformFormula == formula || stop_.load(std::memory_order_relaxed))
            continue;
        slot.ReadyRow = -1;
        redo_.insert(row);
    }
}

void RowPipeline::Work()
{
    KeepExtendedPrecision();
    const std::int32_t slotCount = static_cast<std::int32_t>(slots_.size());
    RegionMemory regions;
    std::unique_lock lock(mutex_);
    // Waits for work until the end of the run, as any row may have to be computed again.
    for (;;) {
        workAvailable_.wait(lock, [&] {
            return shutdown_ || !redo_.empty() || (nextRow_ < params_.Height && nextRow_ < firstHeld_ + slotCount);
        });
        if (shutdown_) return;
        std::int32_t row = nextRow_;
        if (redo_.empty())
            ++nextRow_;
        else
            row = redo_.extract(redo_.begin()).value();
        Slot& slot = slots_[static_cast<std::size_t>(row % slotCount)];
        const bool reused = shortcuts_.ReuseMirroredRows && mirrored_.Take(row, slot.Counts);
        if (!reused) {
            lock.unlock();
            ComputeRowCounts(params_, row, stop_, shortcuts_, regions, slot.Counts);
            lock.lock();
            if (shortcuts_.ReuseMirroredRows) mirrored_.Keep(row, slot.Counts, nextRow_);
        }
        slot.ReadyRow = row;
        if (AwaitedRowsReady()) rowReady_.notify_one();
    }
}

}  // namespace nimbra
