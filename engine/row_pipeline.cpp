#include "engine/row_pipeline.h"

#include "engine/kernels.h"

#include <chrono>

namespace nimbra {
namespace {

// Rows a worker may run ahead of the row being taken, per worker.
constexpr int RowsAheadPerWorker = 4;
// How long the taking thread sleeps before it lets the windows handle their events.
constexpr auto PollInterval = std::chrono::milliseconds(10);

}  // namespace

void ComputeRowCounts(const FractalParams& params, std::int32_t row, const std::atomic<bool>& stop, RowCounts& out)
{
    out.Counts.resize(static_cast<std::size_t>(params.Width));
    out.Columns = 0;
    out.OutOfRangeColumn = -1;
    NoPassHook noHook;
    const long double ci = PointImag(params, row);
    std::int32_t previous = 0;
    for (std::int32_t column = 0; column < params.Width; ++column) {
        const PointResult result =
            IteratePoint(LoadFormula(params), params, PointReal(params, column), ci, previous, stop, noHook);
        if (stop.load(std::memory_order_relaxed)) return;
        if (result.OutOfRange && out.OutOfRangeColumn < 0) out.OutOfRangeColumn = column;
        out.Counts[static_cast<std::size_t>(column)] = previous = result.Count;
        out.Columns = column + 1;
    }
}

RowPipeline::RowPipeline(const FractalParams& params, const std::atomic<bool>& stop, int threads)
    : params_(params), stop_(stop), slots_(static_cast<std::size_t>(threads * RowsAheadPerWorker))
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
    std::unique_lock lock(mutex_);
    firstHeld_ = row;
    workAvailable_.notify_all();
    while (slot.ReadyRow != row) {
        if (!rowReady_.wait_for(lock, PollInterval, [&] { return slot.ReadyRow == row; })) {
            lock.unlock();
            pump.Poll();
            lock.lock();
        }
    }
    return slot.Counts;
}

void RowPipeline::Work()
{
    const std::int32_t slotCount = static_cast<std::int32_t>(slots_.size());
    std::unique_lock lock(mutex_);
    for (;;) {
        workAvailable_.wait(lock, [&] {
            return shutdown_ || nextRow_ >= params_.Height || nextRow_ < firstHeld_ + slotCount;
        });
        if (shutdown_ || nextRow_ >= params_.Height) return;
        const std::int32_t row = nextRow_++;
        Slot& slot = slots_[static_cast<std::size_t>(row % slotCount)];
        lock.unlock();
        ComputeRowCounts(params_, row, stop_, slot.Counts);
        lock.lock();
        slot.ReadyRow = row;
        rowReady_.notify_one();
    }
}

}  // namespace nimbra
